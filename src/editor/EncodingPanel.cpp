#include "EncodingPanel.h"

#include "editor/TForm2.h"

#include <QMenu>

using namespace Qt::StringLiterals;

EncodingPanel::EncodingPanel(QWidget *parent)
    : QToolButton(parent)
{
    setObjectName(u"EncodingPanel"_s);
    setAutoRaise(true);
    setPopupMode(QToolButton::InstantPopup);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto *menu = new QMenu(this);
    menu->setObjectName(u"EncodingMenu"_s);
    setMenu(menu);
    connect(menu, &QMenu::aboutToShow, this, &EncodingPanel::rebuildMenu);
    refresh();
}

void EncodingPanel::setDocument(TForm2 *document)
{
    if (document == m_document)
        return;
    disconnect(m_connection);
    disconnect(m_destroyedConnection);
    m_document = document;
    if (document) {
        m_connection = connect(document, &TForm2::encodingChanged, this, &EncodingPanel::refresh);
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
    setText(m_document ? m_document->encodingCaption() : QString());
    setToolTip(m_document ? u"Kódování dokumentu"_s : QString());
}

void EncodingPanel::rebuildMenu()
{
    fillMenu(*menu());
}

void EncodingPanel::fillMenu(QMenu &menu)
{
    QMenu *m = &menu;
    m->clear();
    TForm2 *doc = m_document;
    if (!doc)
        return;
    const TextEncoding current = doc->encoding().encoding;
    // Reading again would lose edits, and a never-saved document has no file to read.
    const bool canReopen = !doc->isUntitled() && !doc->RichEdit1->IsModified();
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
