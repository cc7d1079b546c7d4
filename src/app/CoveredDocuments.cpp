#include "app/CoveredDocuments.h"

#include "app/MainMenu.h"
#include "editor/HtmlDocument.h"

#include <QAction>

void CoveredDocuments::setCovered(bool covered, MainMenu &menu, const QList<HtmlDocument *> &documents)
{
    // No edit may reach a document the user cannot see: its editor refuses every change
    // (typed, pasted, or from a command of a side window), and the commands that would
    // change it are greyed. A command not listed here is greyed too, so a new one is safe.
    static const QList<CommandId> kHarmless = [] {
        QList<CommandId> ids{Cmd::FileNew, Cmd::FileNewFromTemplate, Cmd::FileOpen, Cmd::FileSave,
                             Cmd::FileSaveAs, Cmd::FilePrint, Cmd::FilePrintSetup, Cmd::FileClose,
                             Cmd::FileCloseAll, Cmd::FileExit, Cmd::EditCopy, Cmd::HidCopy,
                             Cmd::EditSelectAll, Cmd::ToolPreview, Cmd::ToolLivePreview, Cmd::HidInternalPreview,
                             Cmd::ToolLinkAnalyzer, Cmd::ToolUpload, Cmd::ToolClipboard,
                             Cmd::ToolDownloadTimes, Cmd::UserCmdEdit, Cmd::OptWordWrap,
                             Cmd::OptTableWindow, Cmd::OptCommandPanel, Cmd::OptTagPanel,
                             Cmd::OptSourcePanel, Cmd::OptSettings, Cmd::WinTileH, Cmd::WinTileV,
                             Cmd::WinCascade, Cmd::WinArrange, Cmd::WinPreview, Cmd::HelpUsage,
                             Cmd::HelpSyntax, Cmd::HelpTips, Cmd::HelpAbout, Cmd::HidTagWindow,
                             Cmd::HidFileWindow, Cmd::HidTrimLeft, Cmd::HidAutoIndent};
        for (CommandId recent : Cmd::Recent)
            ids << recent;
        return ids;
    }();
    for (HtmlDocument *doc : documents)
        doc->setReadOnly(covered);
    if (covered) {
        const auto &actions = menu.actions();
        for (auto it = actions.cbegin(); it != actions.cend(); ++it) {
            const bool harmless = std::any_of(kHarmless.cbegin(), kHarmless.cend(),
                                              [&](CommandId id) { return it.key() == id.toString(); });
            if (!harmless && it.value()->isEnabled()) {
                it.value()->setEnabled(false);
                m_greyed << it.value();
            }
        }
    } else {
        for (const QPointer<QAction> &a : std::as_const(m_greyed)) {
            if (a)
                a->setEnabled(true);
        }
        m_greyed.clear();
    }
}
