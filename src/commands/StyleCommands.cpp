#include "commands/StyleCommands.h"

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "settings/TSettings.h"
#include "tools/Colorizer.h"
#include "tools/Stylemaker.h"

using namespace Qt::StringLiterals;

void insertStyle(HtmlDocument &buffer, const TSettings &settings, const QString &selector,
                 const QString &declarations, bool beforeStyleEnd)
{
    if (!beforeStyleEnd) {
        buffer.InsertAtCaret(settings.TAG, declarations);
        return;
    }
    // The buffer compares in upper case without changing lengths, so the offset found is
    // the document's own (CR LF counting two).
    const int end = buffer.findForward(0, u"</STYLE>"_s, true);
    if (end >= 0)
        buffer.SetSelStart(end);
    buffer.InsertAtCaret(settings.STYLE, composeStyleRule(selector, declarations));
}

void RunStyleBuilder(Workspace &workspace)
{
    TStyleForm dialog(workspace.dialogParent());
    dialog.acceptCheck = [&] {
        return workspace.roomForInsertion(composeStyleRule(dialog.selector(), dialog.declarations()).size());
    };
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    if (HtmlDocument *buffer = workspace.activeDocument())
        insertStyle(*buffer, workspace.settings(), dialog.selector(), dialog.declarations(),
                    dialog.insertBeforeStyleEnd());
}

std::optional<QString> composeStyleDeclarations(Workspace &workspace)
{
    TStyleForm dialog(workspace.dialogParent());
    dialog.acceptCheck = [&] { return workspace.roomForInsertion(dialog.declarations().size(), true); };
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.declarations();
}

void RunGradient(Workspace &workspace)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    TColorForm dialog(buffer->SelText(), workspace.dialogParent());
    dialog.acceptCheck = [&] { return workspace.roomForInsertion(dialog.Result().size(), true); };
    if (ui().exec(dialog) != QDialog::Accepted || workspace.activeDocument() != buffer)
        return;
    const QString result = dialog.Result();
    if (!workspace.roomForInsertion(result.size(), true))
        return;
    buffer->ReplaceSelection(result);
}
