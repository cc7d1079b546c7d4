#include "commands/ChosenInsertions.h"

#include "commands/InsertTag.h"
#include "commands/Workspace.h"
#include "dialogs/TextDialogs.h"
#include "interaction/Interaction.h"

void InsertSpecialCharacter(Workspace &workspace, const QString &text)
{
    InsertTag(workspace, 58, InsertArgs::withItem(text));
}

void InsertUserTag(Workspace &workspace, const QString &opening, const QString &closing)
{
    InsertTag(workspace, 59, InsertArgs::withMarkup({opening, closing}));
}

void runCounterMenu(Workspace &workspace)
{
    if (!workspace.activeDocument())
        return;
    TCounterForm dialog(workspace.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    InsertTag(workspace, 22, InsertArgs::withItem(dialog.OpeningMarkup));
}
