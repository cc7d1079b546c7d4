#include "ScriptCommands.h"

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"
#include "settings/TSettings.h"
#include "tools/ChannelWizard.h"
#include "tools/ScriptText.h"
#include "tools/Scripter.h"

using namespace Qt::StringLiterals;

void runScripter(Workspace &workspace, const QString &dataDir)
{
    TJscript dialog(dataDir, workspace.dialogParent());
    // Refused while the builder is open, so the script typed in it stays.
    dialog.acceptCheck = [&] { return workspace.roomForInsertion(wrapScript(dialog.Result).size()); };
    if (ui().exec(dialog) != QDialog::Accepted || dialog.Result.isEmpty())
        return;
    insertScript(workspace, dialog.Result);
}

bool insertScript(Workspace &workspace, const QString &script)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return false;
    const QString text = wrapScript(script);
    // The editor would cut the script at its limit; a script cut short is worse than none.
    // The selection stays: the script goes in before it.
    if (!workspace.roomForInsertion(text.size()))
        return false;
    buffer->InsertAtCaret(workspace.settings().SCRIPT, text);
    return true;
}

void runChannelWizard(Workspace &workspace)
{
    TChanelWizard dialog(workspace.dialogParent());
    // The channel becomes a new document of its own.
    dialog.acceptCheck = [&] {
        if (fitsInDocument(dialog.Result.size()))
            return true;
        ui().showError(doesNotFitMessage());
        return false;
    };
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    HtmlDocument *document = workspace.NewDocumentWindow();
    if (!document)
        return;
    // The new window holds unsaved work: closing it asks.
    document->SetText(dialog.Result);
    document->SetModified(true);
}
