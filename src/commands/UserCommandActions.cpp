#include "UserCommandActions.h"

#include "Workspace.h"
#include "dialogs/UserCommands.h"
#include "editor/HtmlDocument.h"
#include "markup/SysUt.h"
#include "interaction/Interaction.h"
#include "settings/TSettings.h"

#include <QFileInfo>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

void RunUserCommand(Workspace &workspace, int slot)
{
    if (slot < 1 || slot > UserCommandSlots)
        return;
    const UserCommand &command = workspace.settings().UserCommands[slot - 1];
    if (!command.active)
        return;
    if (command.Action) {
        const QString &path = command.FilePath;
        if (path.isEmpty())
            return;
        // A moved or mistyped program would otherwise go to the desktop's file opener,
        // which finds nothing and says nothing: the command seemed to do nothing at all.
        const bool found = QFileInfo::exists(path)
                           || (!path.contains(u'/') && !QStandardPaths::findExecutable(path).isEmpty());
        if (!found) {
            ui().showError(u"Příkaz „%1“ nelze spustit: soubor %2 neexistuje."_s.arg(command.Caption, path));
            return;
        }
        ShellRun(path, {}, QFileInfo(path).absolutePath());
        return;
    }
    if (HtmlDocument *b = workspace.activeDocument())
        b->WrapSelection(workspace.settings().TAG, command.Tag1, command.Tag2);
}
