#include "app/FrameCommands.h"

#include "app/DocumentArea.h"
#include "app/CommandToolbar.h"
#include "app/DocumentManager.h"
#include "app/InfoWindows.h"
#include "app/MainMenu.h"
#include "app/PaletteBar.h"
#include "app/SidePanel.h"
#include "commands/CommandRegistry.h"
#include "editor/EditorBuffer.h"

#include <QAction>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

// Registers a command that needs only the frame.
template<class Fn>
void addOwnCommand(const FrameParts &frame, CommandId id, Fn fn)
{
    frame.commands.add(id, [fn](Workspace &, Interaction &) { fn(); });
}

// A checkable item: the command sees the check mark as the click left it.
template<class Fn>
void addToggle(const FrameParts &frame, CommandId id, Fn fn)
{
    QAction *item = frame.menu.action(id);
    item->setChecked(true);
    addOwnCommand(frame, id, [item, fn] { fn(item->isChecked()); });
}

void addPanelCommands(const FrameParts &w)
{
    addOwnCommand(w, Cmd::OptWordWrap, [w] {
        QAction *item = w.menu.action(Cmd::OptWordWrap);
        if (EditorBuffer *b = w.documents.activeView())
            b->setLineWrapMode(item->isChecked() ? QPlainTextEdit::WidgetWidth
                                                 : QPlainTextEdit::NoWrap);
        else
            item->setChecked(!item->isChecked());
    });
    addToggle(w, Cmd::OptCommandPanel, [w](bool on) { w.toolbar.setVisible(on); });
    addToggle(w, Cmd::OptTagPanel, [w](bool on) { w.palette.setVisible(on); });
    addToggle(w, Cmd::OptSourcePanel, [w](bool on) { w.showSidePanel(on); });
    addOwnCommand(w, Cmd::HidTagWindow, [w] { w.sidePanel.focusTagTree(); });
    addOwnCommand(w, Cmd::HidFileWindow, [w] { w.sidePanel.focusFiles(); });
    addOwnCommand(w, Cmd::HidAutoIndent, [w] {
        // Only the button flips; the stored setting follows clicks on the button.
        w.toolbar.setAutoIndent(!w.toolbar.autoIndentOn());
    });
}

void addWindowCommands(const FrameParts &w)
{
    addOwnCommand(w, Cmd::WinTileH, [w] { w.documentArea.tile(Qt::Vertical); });
    addOwnCommand(w, Cmd::WinTileV, [w] { w.documentArea.tile(Qt::Horizontal); });
    addOwnCommand(w, Cmd::WinCascade, [w] { w.documentArea.windows()->cascadeSubWindows(); });
    addOwnCommand(w, Cmd::WinArrange, [w] { w.documentArea.arrangeIcons(); });
    QMenu *windowMenu = w.menu.menu(MenuId::MenuWindow.toString());
    QObject::connect(windowMenu, &QMenu::aboutToShow, &w.documentArea,
                     [w, windowMenu] { w.documentArea.listWindows(*windowMenu); });
}

} // namespace

void addFrameCommands(const FrameParts &w)
{
    // Asks about each modified document, as closing the window does.
    addOwnCommand(w, Cmd::FileExit, [w] { w.window.close(); });
    addPanelCommands(w);
    addWindowCommands(w);
    addOwnCommand(w, Cmd::ToolColorize, [w] { w.documents.colorizeActiveDocument(); });
    addOwnCommand(w, Cmd::ToolClipboard, [w] { showClipboardWindow(&w.window); });
    addOwnCommand(w, Cmd::HelpTips, [w] { w.showTips(); });
    addOwnCommand(w, Cmd::HelpAbout, [w] { showAboutBox(&w.window); });
    // The item only holds the submenu of the spelling choices.
    addOwnCommand(w, Cmd::OptSpelling, [] {});
    for (CommandId id : Cmd::Recent) {
        QAction *item = w.menu.action(id);
        addOwnCommand(w, id, [w, item] { w.documents.openInNewWindow(item->data().toString()); });
    }
}
