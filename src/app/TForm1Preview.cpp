// The frame's side of the preview: the browser that takes the document area's place and
// the separate preview window among the document windows.
#include "app/TForm1.h"

#include "commands/Preview.h"
#include "preview/WebBrowser.h"

#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>
#include <QStackedWidget>

using namespace Qt::StringLiterals;

namespace {

// The window's own "Close" takes Ctrl+F4 and Ctrl+W here; Ctrl+W belongs to the "Okno"
// menu's preview command, so the window keeps Ctrl+F4 only.
void keepCtrlWForTheMenu(QMdiSubWindow *sub)
{
    const QKeySequence ctrlW(Qt::CTRL | Qt::Key_W);
    for (QAction *a : sub->systemMenu()->actions()) {
        QList<QKeySequence> keys = a->shortcuts();
        if (keys.removeAll(ctrlW))
            a->setShortcuts(keys);
    }
}

} // namespace

bool TForm1::documentAreaCovered() const
{
    return DocumentArea->currentWidget() == WebBrowser1;
}

void TForm1::setDocumentAreaCovered(bool covered)
{
    DocumentArea->setCurrentWidget(covered ? static_cast<QWidget *>(WebBrowser1) : m_mdi);
    if (covered)
        WebBrowser1->setFocus();
    else if (TForm2 *doc = activeDocument())
        doc->RichEdit1->setFocus();
}

void TForm1::showChildWindow(QWidget *window)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(window->parentWidget());
    if (!sub) {
        sub = m_mdi->addSubWindow(window);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        keepCtrlWForTheMenu(sub);
        sub->resize(std::max(m_mdi->width() * 2 / 3, 400), std::max(m_mdi->height() * 2 / 3, 300));
    }
    sub->show();
    m_mdi->setActiveSubWindow(sub);
}

void TForm1::previewWindowChanged(bool open)
{
    action(u"WinPreview"_s)->setText(previewWindowMenuCaption(open));
}
