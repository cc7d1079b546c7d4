#include "preview/LivePreview.h"

#include "markup/TagPairs.h"
#include "preview/WebBrowser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

LivePreview::LivePreview(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"LivePreview"_s);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    auto *top = new QHBoxLayout;
    top->setContentsMargins(4, 0, 0, 0);
    m_title = new QLabel(u"Živý náhled"_s, this);
    m_title->setObjectName(u"Title"_s);
    m_title->setTextFormat(Qt::PlainText);
    FollowCaretButton = new QToolButton(this);
    FollowCaretButton->setObjectName(u"FollowCaretButton"_s);
    FollowCaretButton->setText(u"Ke kurzoru"_s);
    FollowCaretButton->setToolTip(u"Posouvat náhled k prvku, ve kterém je kurzor"_s);
    FollowCaretButton->setCheckable(true);
    FollowCaretButton->setAutoRaise(true);
    SideButton = new QToolButton(this);
    SideButton->setObjectName(u"SideButton"_s);
    SideButton->setAutoRaise(true);
    CloseButton = new QToolButton(this);
    CloseButton->setObjectName(u"CloseButton"_s);
    CloseButton->setText(u"×"_s);
    CloseButton->setToolTip(u"Zavřít živý náhled"_s);
    CloseButton->setAutoRaise(true);
    top->addWidget(m_title, 1);
    top->addWidget(FollowCaretButton);
    top->addWidget(SideButton);
    top->addWidget(CloseButton);
    layout->addLayout(top);
    m_note = new QLabel(this);
    m_note->setObjectName(u"Note"_s);
    m_note->setWordWrap(true);
    m_note->hide();
    layout->addWidget(m_note);
    m_browser = new WebBrowser(this);
    m_browser->setObjectName(u"LiveBrowser"_s);
    layout->addWidget(m_browser, 1);
    setOnRight(true);

    m_pause = new QTimer(this);
    m_pause->setSingleShot(true);
    m_pause->setInterval(PauseMs);
    connect(m_pause, &QTimer::timeout, this, &LivePreview::update);
    connect(SideButton, &QToolButton::clicked, this, &LivePreview::sideChangeRequested);
    connect(FollowCaretButton, &QToolButton::toggled, this, &LivePreview::followCaretToggled);
    connect(CloseButton, &QToolButton::clicked, this, &LivePreview::closeRequested);
}

LivePreview::~LivePreview() = default;

void LivePreview::setOnRight(bool right)
{
    SideButton->setArrowType(right ? Qt::LeftArrow : Qt::RightArrow);
    SideButton->setToolTip(right ? u"Přesunout náhled vlevo od zdroje"_s
                                 : u"Přesunout náhled vpravo od zdroje"_s);
}

void LivePreview::setSource(PageSource source)
{
    m_source = std::move(source);
}

void LivePreview::sourceChanged()
{
    if (!isHidden())
        m_pause->start();
}

void LivePreview::showNow()
{
    m_pause->stop();
    update();
}

bool LivePreview::updatePending() const
{
    return m_pause->isActive();
}

void LivePreview::update()
{
    const std::optional<Page> page = m_source ? m_source() : std::nullopt;
    if (!page) {
        m_title->setText(u"Živý náhled"_s);
        // Without a page the engine is not started for nothing.
        if (m_browser->engineStarted())
            m_browser->showHtml(QString(), QUrl());
        Q_EMIT updated();
        return;
    }
    const bool saved = QFileInfo(page->path).isAbsolute();
    m_title->setText(u"Živý náhled – %1"_s.arg(saved ? QFileInfo(page->path).fileName() : page->path));
    QString html = page->text;
    QString scrollTo;
    if (followsCaret() && page->caret >= 0) {
        const qsizetype place = caretMarkPlace(html, page->caret);
        if (place >= 0) {
            scrollTo = CaretMarkId.toString();
            html.insert(place, u"<span id=\""_s + scrollTo + u"\"></span>"_s);
        }
    }
    html.replace(u"\r\n"_s, u"\n"_s);
    const QUrl base = saved ? QUrl::fromLocalFile(page->path) : QUrl();
    // A UTF-8 length is at most three bytes a character: most pages need no count.
    if (html.size() * 3 > MaxShownBytes && html.toUtf8().size() > MaxShownBytes) {
        showThroughCopy(html, base, scrollTo);
        Q_EMIT updated();
        return;
    }
    m_note->hide();
    m_browser->showHtml(html, base, scrollTo);
    Q_EMIT updated();
}

void LivePreview::setFollowCaret(bool follow)
{
    FollowCaretButton->setChecked(follow);
}

bool LivePreview::followsCaret() const
{
    return FollowCaretButton->isChecked();
}

void LivePreview::showThroughCopy(QString html, const QUrl &base, const QString &scrollTo)
{
    // Markup goes to the browser as one address, which has a limit; a larger page is shown
    // from a copy in a folder of the program's own, which only this user can enter. Its
    // relative addresses still resolve against the page's folder, and the byte order mark
    // makes the copy's UTF-8 win over the charset the page declares.
    if (!m_copyFolder)
        m_copyFolder = std::make_unique<QTemporaryDir>();
    const QString copy = m_copyFolder->isValid() ? m_copyFolder->filePath(u"zivy-nahled.html"_s) : QString();
    if (!base.isEmpty()) {
        // After a doctype, so that the page is not read in quirks mode.
        qsizetype at = 0;
        if (html.startsWith(u"<!doctype", Qt::CaseInsensitive))
            at = std::max<qsizetype>(html.indexOf(u'>') + 1, 0);
        html.insert(at, u"<base href=\""_s + base.toString(QUrl::FullyEncoded).toHtmlEscaped() + u"\">"_s);
    }
    QFile file(copy);
    if (copy.isEmpty() || !file.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || file.write("\xEF\xBB\xBF" + html.toUtf8()) < 0 || !file.flush()) {
        m_note->setText(u"Stránku se nepodařilo připravit pro živý náhled; zobrazuje se její "
                        u"poslední podoba."_s);
        m_note->show();
        return;
    }
    file.close();
    m_note->hide();
    QUrl address = QUrl::fromLocalFile(copy);
    if (!scrollTo.isEmpty())
        address.setFragment(scrollTo);
    m_browser->navigate(address);
}
