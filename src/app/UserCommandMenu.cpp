#include "UserCommandMenu.h"

#include "app/MainMenu.h"
#include "commands/Workspace.h"
#include "settings/TSettings.h"
#include "commands/CommandRegistry.h"
#include "dialogs/UserCommands.h"
#include "interaction/Interaction.h"
#include "markup/KeyCode.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

QAction *commandItem(MainMenu &menu, int slot)
{
    return menu.action(Cmd::UserCmd[slot - 1]);
}

// The caption of the program's own item that holds the key, empty when none does.
QString fixedItemHolding(const MainMenu &menu, const QKeySequence &key)
{
    if (key.isEmpty() || !menu.shortcutTaken(key))
        return {};
    for (auto it = menu.actions().cbegin(); it != menu.actions().cend(); ++it) {
        if (!it.key().startsWith(u"UserCmd"_s) && it.value()->shortcut() == key)
            return it.value()->text().remove(u'&');
    }
    return key.toString(QKeySequence::NativeText);
}

} // namespace

void refreshUserCommandMenu(MainMenu &menu, const TSettings &settings)
{
    QList<QKeySequence> given;
    for (int slot = 1; slot <= UserCommandSlots; ++slot) {
        const UserCommand &c = settings.UserCommands[slot - 1];
        QAction *item = commandItem(menu, slot);
        item->setText(c.Caption);
        item->setData(slot);
        item->setVisible(c.active);
        QKeySequence key = c.active ? KeyCode::toKeySequence(c.Hotkey) : QKeySequence();
        // The first in menu order keeps a shared key, as for the fixed items.
        if (!key.isEmpty() && (menu.shortcutTaken(key) || given.contains(key)))
            key = QKeySequence();
        if (!key.isEmpty())
            given << key;
        item->setShortcut(key);
    }
}

void bindUserCommands(MainMenu &menu, CommandRegistry &commands, Workspace &workspace)
{
    commands.add(Cmd::UserCmdEdit, [&menu](Workspace &w, Interaction &seam) {
        TForm45 dialog(w.settings(), w.dialogParent());
        dialog.setKeyHolder([&menu](int code) {
            return fixedItemHolding(menu, KeyCode::toKeySequence(code));
        });
        seam.exec(dialog);
        refreshUserCommandMenu(menu, w.settings());
    });
    // The separator under "Upravit..." shows even when no command follows it.
    menu.menu(MenuId::UserCommands.toString())->setSeparatorsCollapsible(false);
    refreshUserCommandMenu(menu, workspace.settings());
}
