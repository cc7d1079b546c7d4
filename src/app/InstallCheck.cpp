#include "app/InstallCheck.h"

#include "app/ProgramDir.h"
#include "preview/WebBrowser.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>
#include <QVBoxLayout>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace {

// The engine of a first start may take a while: it unpacks its resources and starts its
// helper processes. A check that fails should still end.
constexpr int kPageWaitMs = 90000;
// How often, and how many times, the screen is read while the page is drawn.
constexpr int kColourLookMs = 100;
constexpr int kColourLooks = 100;

bool nearColour(QColor seen, QColor wanted)
{
    return qAbs(seen.red() - wanted.red()) <= 8 && qAbs(seen.green() - wanted.green()) <= 8
           && qAbs(seen.blue() - wanted.blue()) <= 8;
}

} // namespace

InstallCheck::InstallCheck(QObject *parent)
    : QObject(parent)
{
}

InstallCheck::~InstallCheck() = default;

QString InstallCheck::pageColour()
{
    return u"#00A050"_s;
}

QString InstallCheck::pageText()
{
    return u"Brisko HTML Editor: the browser shows pages"_s;
}

int InstallCheck::reportData(QTextStream &out) const
{
    const QString dir = programDir();
    out << "programDir: " << dir << Qt::endl;
    int missing = 0;
    for (const QString &file : {u"data"_s, u"help/index.htm"_s, u"SABLONY"_s}) {
        const bool found = QFileInfo::exists(dir + file);
        out << (found ? "found: " : "missing: ") << file << Qt::endl;
        missing += found ? 0 : 1;
    }
    return missing == 0 ? 0 : 3;
}

void InstallCheck::run(std::function<void(int)> done)
{
    m_done = std::move(done);
    QTextStream out(stdout);
    m_dataResult = reportData(out);
    out << "browser module: " << WebBrowser::engineModulePath() << Qt::endl;

    m_dir = std::make_unique<QTemporaryDir>();
    const QString page = m_dir->filePath(u"check.htm"_s);
    QFile file(page);
    if (!file.open(QIODevice::WriteOnly)
        || file.write("<HTML><HEAD><TITLE>Brisko</TITLE></HEAD><BODY BGCOLOR=\"" + pageColour().toLatin1()
                      + "\"><P>" + pageText().toLatin1() + "</P></BODY></HTML>\r\n")
               < 0) {
        finish(4, u"page: not shown (the page could not be written: %1)"_s.arg(file.errorString()));
        return;
    }
    file.close();

    m_window = std::make_unique<QWidget>();
    m_window->setWindowTitle(u"Brisko HTML Editor – kontrola instalace"_s);
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_browser = new WebBrowser(m_window.get());
    layout->addWidget(m_browser);
    connect(m_browser, &WebBrowser::loadFinished, this, &InstallCheck::pageLoaded);
    m_window->resize(480, 320);
    m_window->show();
    m_browser->navigate(page);
    if (!m_browser->failureMessage().isEmpty()) {
        finish(4, u"missing: browser module (%1)"_s.arg(m_browser->failureMessage().simplified()));
        return;
    }
    QTimer::singleShot(kPageWaitMs, this, [this] { finish(4, u"page: not shown (no answer from the browser)"_s); });
}

void InstallCheck::pageLoaded(bool ok)
{
    if (!ok) {
        finish(4, u"page: not shown (the browser could not load it)"_s);
        return;
    }
    m_browser->readPageText([this](const QString &text) { pageTextRead(text); });
}

void InstallCheck::pageTextRead(const QString &text)
{
    if (m_finished)
        return;
    if (!text.contains(pageText())) {
        finish(4, u"page: not shown (the browser gave back \"%1\")"_s.arg(text.trimmed().left(200)));
        return;
    }
    QTextStream(stdout) << "page: shown" << Qt::endl;
    // Only a real display has a screen to read back what was drawn.
    if (QGuiApplication::platformName() != u"xcb"_s) {
        finish(m_dataResult, {});
        return;
    }
    lookForColour();
}

void InstallCheck::lookForColour()
{
    if (m_finished)
        return;
    // The page is drawn a moment after it loaded; the colour must fill the browser, so a
    // point near each corner is read.
    const QColor wanted(pageColour());
    const QSize size = m_browser->size();
    bool drawn = true;
    for (const QPoint p : {QPoint(20, 20), QPoint(size.width() - 20, size.height() - 20)}) {
        const QPoint global = m_browser->mapToGlobal(p);
        const QImage shot = m_browser->screen()->grabWindow(0, global.x(), global.y(), 1, 1).toImage();
        drawn = drawn && !shot.isNull() && nearColour(shot.pixelColor(0, 0), wanted);
    }
    if (drawn) {
        finish(m_dataResult, u"page: drawn"_s);
        return;
    }
    if (++m_colourLooks >= kColourLooks) {
        finish(4, u"page: not drawn (the screen does not show it where the browser is)"_s);
        return;
    }
    QTimer::singleShot(kColourLookMs, this, &InstallCheck::lookForColour);
}

void InstallCheck::finish(int exitCode, const QString &line)
{
    if (m_finished)
        return;
    m_finished = true;
    if (!line.isEmpty())
        QTextStream(stdout) << line << Qt::endl;
    // The result goes out from the event loop, not from inside the browser's own calls.
    QTimer::singleShot(0, this, [this, exitCode] { m_done(exitCode); });
}
