#include "UserCommandActions.h"

#include "Workspace.h"
#include "dialogs/UserCommands.h"
#include "editor/HtmlDocument.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QFileInfo>

void RunUserCommand(Workspace &workspace, int slot)
{
    if (slot < 1 || slot > UserCommandSlots)
        return;
    const UserCommand &command = workspace.settings().UserCommands[slot - 1];
    if (!command.active)
        return;
    if (command.Action) {
        if (!command.FilePath.isEmpty())
            ShellRun(command.FilePath, {}, QFileInfo(command.FilePath).absolutePath());
        return;
    }
    if (HtmlDocument *b = workspace.activeDocument())
        b->WrapSelection(workspace.settings().TAG, command.Tag1, command.Tag2);
}
