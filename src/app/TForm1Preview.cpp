// The frame's side of the preview: the browser that takes the document area's place and
// the separate preview window among the document windows.
#include "app/TForm1.h"

#include "commands/Preview.h"
#include "preview/WebBrowser.h"

#include <QAction>
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
    protectCoveredDocuments(covered);
    if (covered)
        WebBrowser1->setFocus();
    else if (HtmlDocument *doc = m_documents->activeDocument())
        m_documents->focusDocument(*doc);
}

void TForm1::protectCoveredDocuments(bool covered)
{
    // No edit may reach a document the user cannot see: its editor refuses every change
    // (typed, pasted, or from a command of a side window), and the commands that would
    // change it are greyed. A command not listed here is greyed too, so a new one is safe.
    static const QStringList kHarmless = [] {
        QStringList ids{u"FileNew"_s, u"FileNewFromTemplate"_s, u"FileOpen"_s, u"FileSave"_s,
                        u"FileSaveAs"_s, u"FilePrint"_s, u"FilePrintSetup"_s, u"FileClose"_s,
                        u"FileCloseAll"_s, u"FileExit"_s, u"EditCopy"_s, u"HidCopy"_s,
                        u"EditSelectAll"_s, u"ToolPreview"_s, u"HidInternalPreview"_s,
                        u"ToolLinkAnalyzer"_s, u"ToolUpload"_s, u"ToolClipboard"_s,
                        u"ToolDownloadTimes"_s, u"UserCmdEdit"_s, u"OptWordWrap"_s,
                        u"OptTableWindow"_s, u"OptCommandPanel"_s, u"OptTagPanel"_s,
                        u"OptSourcePanel"_s, u"OptSettings"_s, u"WinTileH"_s, u"WinTileV"_s,
                        u"WinCascade"_s, u"WinArrange"_s, u"WinPreview"_s, u"HelpUsage"_s,
                        u"HelpSyntax"_s, u"HelpTips"_s, u"HelpAbout"_s, u"HidTagWindow"_s,
                        u"HidFileWindow"_s, u"HidTrimLeft"_s, u"HidAutoIndent"_s};
        for (int i = 1; i <= 10; ++i)
            ids << u"Recent"_s + QString::number(i);
        return ids;
    }();
    for (HtmlDocument *doc : m_documents->documents())
        doc->setReadOnly(covered);
    if (covered) {
        const auto &actions = m_menu->actions();
        for (auto it = actions.cbegin(); it != actions.cend(); ++it) {
            if (!kHarmless.contains(it.key()) && it.value()->isEnabled()) {
                it.value()->setEnabled(false);
                m_greyedWhileCovered << it.value();
            }
        }
    } else {
        for (const QPointer<QAction> &a : std::as_const(m_greyedWhileCovered)) {
            if (a)
                a->setEnabled(true);
        }
        m_greyedWhileCovered.clear();
    }
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
