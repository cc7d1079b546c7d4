#include "UserCommandMenu.h"

#include "app/TForm1.h"
#include "commands/UserCommandActions.h"
#include "dialogs/UserCommands.h"
#include "interaction/Interaction.h"
#include "markup/KeyCode.h"

#include <QAction>
#include <QMenu>

using namespace Qt::StringLiterals;

namespace {

QAction *commandItem(TForm1 &window, int slot)
{
    return window.action(u"UserCmd"_s + QString::number(slot));
}

} // namespace

void refreshUserCommandMenu(TForm1 &window)
{
    QList<QKeySequence> given;
    for (int slot = 1; slot <= UserCommandSlots; ++slot) {
        const UserCommand &c = window.settings().UserCommands[slot - 1];
        QAction *item = commandItem(window, slot);
        item->setText(c.Caption);
        item->setData(slot);
        item->setVisible(c.active);
        QKeySequence key = c.active ? KeyCode::toKeySequence(c.Hotkey) : QKeySequence();
        // The first in menu order keeps a shared key, as for the fixed items.
        if (!key.isEmpty() && (window.mainMenu().shortcutTaken(key) || given.contains(key)))
            key = QKeySequence();
        if (!key.isEmpty())
            given << key;
        item->setShortcut(key);
    }
}

void bindUserCommands(TForm1 &window)
{
    QObject::connect(window.action(u"UserCmdEdit"_s), &QAction::triggered, &window, [&window] {
        TForm45 dialog(window.settings(), &window);
        ui().exec(dialog);
        refreshUserCommandMenu(window);
    });
    // The separator under "Upravit..." shows even when no command follows it.
    window.menu(u"UserCommands"_s)->setSeparatorsCollapsible(false);
    for (int slot = 1; slot <= UserCommandSlots; ++slot)
        QObject::connect(commandItem(window, slot), &QAction::triggered, &window,
                         [&window, slot] { RunUserCommand(window, slot); });
    refreshUserCommandMenu(window);
}
