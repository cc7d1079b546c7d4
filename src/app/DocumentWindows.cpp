#include "app/DocumentWindows.h"

#include "app/DocumentManager.h"
#include "commands/EditCurrentTag.h"
#include "commands/StyleCommands.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace Qt::StringLiterals;

namespace {

// A document's window goes with the MDI frame around it.
void deleteWindow(TForm2 *window)
{
    if (QWidget *frame = window->parentWidget())
        delete frame;
    else
        delete window;
}

} // namespace

DocumentWindows::DocumentWindows(DocumentManager &documents, QMdiArea &area)
    : QObject(&documents)
    , m_documents(documents)
    , m_area(area)
{
    documents.attachWindows(this);
    connect(&documents, &DocumentManager::documentCreated, this, &DocumentWindows::makeWindow);
    connect(&area, &QMdiArea::subWindowActivated, this, &DocumentWindows::windowActivated);
}

DocumentWindows::~DocumentWindows()
{
    // The windows go with this part; their documents stay with the manager.
    m_closingAll = true;
    const QList<QPointer<TForm2>> windows = m_windows.values();
    for (const QPointer<TForm2> &w : windows) {
        if (w)
            deleteWindow(w);
    }
}

TForm2 *DocumentWindows::window(const HtmlDocument *document) const
{
    return m_windows.value(document);
}

void DocumentWindows::makeWindow(HtmlDocument *doc)
{
    auto *w = new TForm2(*doc, *this);
    m_windows.insert(doc, w);
    connect(w, &QObject::destroyed, this, [this, doc] {
        m_windows.remove(doc);
        // A window the user closed takes its document along.
        if (!m_closingAll)
            m_documents.releaseDocument(*doc);
    });
    // A document that goes without its window (the program ends) takes the window along.
    connect(doc, &HtmlDocument::destroying, w, [w] { deleteWindow(w); });
    connect(w->RichEdit1, &EditorBuffer::caretReported, &m_documents, [this](int line, int column) {
        m_documents.setStatusText(3, QString::number(line) + u':' + QString::number(column));
    });
    Q_EMIT m_documents.windowCreated(w);
    QMdiSubWindow *previous = m_area.activeSubWindow();
    QMdiSubWindow *sub = m_area.addSubWindow(w);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(QApplication::windowIcon()); // the program's icon, not Qt's logo
    Q_EMIT m_documents.documentWindowAdded();
    if (!previous || previous->isMaximized())
        sub->showMaximized();
    else
        sub->show();
    m_area.setActiveSubWindow(sub);
    windowActivated(sub);
    w->RichEdit1->setFocus();
}

void DocumentWindows::windowActivated(QMdiSubWindow *window)
{
    auto *w = window ? qobject_cast<TForm2 *>(window->widget()) : nullptr;
    if (w)
        m_documents.documentShown(w->document(), w);
}

void DocumentWindows::activate(HtmlDocument &document)
{
    TForm2 *w = window(&document);
    auto *sub = w ? qobject_cast<QMdiSubWindow *>(w->parentWidget()) : nullptr;
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    m_area.setActiveSubWindow(sub);
    w->RichEdit1->setFocus();
}

void DocumentWindows::tagItemDropped(HtmlDocument &document, const QString &itemText)
{
    QString text = itemText;
    if (DroppedTagSource *source = m_documents.droppedTagSource())
        text = source->droppedText(text);
    const TSettings &settings = m_documents.settings();
    ColorValue color = settings.TAG;
    if (text == u"<SCRIPT>"_s || text == u"</SCRIPT>"_s)
        color = settings.SCRIPT;
    else if (text == u"<STYLE>"_s || text == u"</STYLE>"_s)
        color = settings.STYLE;
    const qsizetype comma = text.indexOf(u',');
    const QString prefix = comma < 0 ? QString() : text.left(comma);
    const QString suffix = comma < 0 ? text : text.mid(comma + 1);
    document.WrapSelection(color, prefix, suffix);
    if (TForm2 *w = window(&document))
        w->RichEdit1->setFocus();
}

void DocumentWindows::editCurrentTag(HtmlDocument &)
{
    EditCurrentTag(m_documents);
}

std::optional<QString> DocumentWindows::composeStyle(HtmlDocument &)
{
    return composeStyleDeclarations(m_documents);
}
