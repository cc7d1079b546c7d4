#include "ScriptCommands.h"

#include "commands/Workspace.h"
#include "editor/TForm2.h"
#include "interaction/Interaction.h"
#include "settings/TSettings.h"
#include "tools/ChannelWizard.h"
#include "tools/ScriptText.h"
#include "tools/Scripter.h"

using namespace Qt::StringLiterals;

namespace {

QString tooLongMessage(const QString &what)
{
    return u"%1 se do dokumentu nevejde: editor pojme nejvýše %2 znaků."_s.arg(
        what, QString::number(EditorBuffer::MaxLength));
}

} // namespace

void runScripter(Workspace &workspace, const QString &dataDir)
{
    TJscript dialog(dataDir, workspace.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted || dialog.Result.isEmpty())
        return;
    insertScript(workspace, dialog.Result);
}

bool insertScript(Workspace &workspace, const QString &script)
{
    EditorBuffer *buffer = workspace.activeBuffer();
    if (!buffer)
        return false;
    const QString text = wrapScript(script);
    // The editor would cut the script at its limit; a script cut short is worse than none.
    // The selection stays: the script goes in before it.
    if (qint64(buffer->textLength()) + text.size() > EditorBuffer::MaxLength) {
        ui().showError(tooLongMessage(u"Script"_s));
        return false;
    }
    buffer->InsertAtCaret(workspace.settings().SCRIPT, text);
    return true;
}

void runChannelWizard(Workspace &workspace)
{
    TChanelWizard dialog(workspace.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    if (dialog.Result.size() > EditorBuffer::MaxLength) {
        ui().showError(tooLongMessage(u"Kanál"_s));
        return;
    }
    TForm2 *document = workspace.NewDocumentWindow();
    if (!document)
        return;
    // The new window holds unsaved work: closing it asks.
    document->buffer().SetText(dialog.Result);
    document->buffer().SetModified(true);
}
