#include "EncodingPanel.h"

#include "editor/HtmlDocument.h"

#include <QMenu>

using namespace Qt::StringLiterals;

EncodingPanel::EncodingPanel(QWidget *parent, Shows shows)
    : QToolButton(parent)
    , m_shows(shows)
{
    const bool encoding = shows == Shows::Encoding;
    setObjectName(encoding ? u"EncodingPanel"_s : u"LineBreakPanel"_s);
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *menu = new QMenu(this);
    menu->setObjectName(encoding ? u"EncodingMenu"_s : u"LineBreakMenu"_s);
    setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, &EncodingPanel::rebuildMenu);
    refresh();
}

void EncodingPanel::setDocument(HtmlDocument *document)
{
    if (document == m_document)
        return;
    disconnect(m_connection);
    disconnect(m_destroyedConnection);
    m_document = document;
    if (document) {
        m_connection = connect(document, &HtmlDocument::encodingChanged, this, &EncodingPanel::refresh);
        m_destroyedConnection = connect(document, &QObject::destroyed, this, [this] {
            m_document = nullptr;
            refresh();
        });
    }
    refresh();
}

void EncodingPanel::refresh()
{
    setEnabled(m_document != nullptr);
    const bool encoding = m_shows == Shows::Encoding;
    if (!m_document)
        setText(QString());
    else
        setText(encoding ? m_document->encodingCaption() : lineEndingName(m_document->lineEnding()));
    setToolTip(!m_document ? QString() : encoding ? u"Kódování dokumentu"_s : u"Konce řádků v souboru"_s);
}

void EncodingPanel::rebuildMenu()
{
    fillMenu(*menu());
}

void EncodingPanel::fillMenu(QMenu &menu)
{
    QMenu *m = &menu;
    m->clear();
    HtmlDocument *doc = m_document;
    if (!doc)
        return;
    if (m_shows == Shows::LineBreaks) {
        fillLineBreakMenu(menu);
        return;
    }
    const TextEncoding current = doc->encoding().encoding;
    // Reading again would lose edits, and a never-saved document has no file to read.
    const bool canReopen = !doc->isUntitled() && !doc->IsModified();
    for (TextEncoding e : knownEncodings()) {
        const QString name = encodingName(e);
        QAction *a = m->addAction(u"Znovu načíst soubor v kódování %1"_s.arg(name));
        a->setObjectName(u"ReopenAs "_s + name);
        a->setEnabled(canReopen && e != current);
        connect(a, &QAction::triggered, this, [this, e] {
            if (m_document && m_document->reopenInEncoding(e))
                Q_EMIT documentReloaded(m_document);
        });
    }
    m->addSeparator();
    for (TextEncoding e : knownEncodings()) {
        const QString name = encodingName(e);
        QAction *a = m->addAction(u"Převést dokument do kódování %1"_s.arg(name));
        a->setObjectName(u"ConvertTo "_s + name);
        a->setEnabled(e != current);
        connect(a, &QAction::triggered, this, [this, e] {
            if (m_document)
                m_document->convertToEncoding(e);
        });
    }
}

void EncodingPanel::fillLineBreakMenu(QMenu &menu)
{
    struct Choice
    {
        LineEnding ending;
        const char16_t *caption;
    };
    static constexpr Choice kChoices[] = {
        {LineEnding::CrLf, u"Konce řádků CR LF (Windows)"},
        {LineEnding::Lf, u"Konce řádků LF (Unix, Linux)"},
        {LineEnding::Cr, u"Konce řádků CR (Mac)"},
    };
    for (const Choice &c : kChoices) {
        QAction *a = menu.addAction(QString::fromUtf16(c.caption));
        a->setObjectName(u"LineBreaks "_s + lineEndingName(c.ending));
        a->setCheckable(true);
        a->setChecked(m_document->lineEnding() == c.ending);
        const LineEnding ending = c.ending;
        connect(a, &QAction::triggered, this, [this, ending] {
            if (m_document)
                m_document->convertLineEnding(ending);
        });
    }
}
