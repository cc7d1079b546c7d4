#include "commands/MetaAndComment.h"

#include "commands/InsertCommands.h"
#include "commands/Workspace.h"
#include "dialogs/TextDialogs.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "settings/TSettings.h"

using namespace Qt::StringLiterals;

std::optional<Markup> runMetaInsert(Workspace &workspace)
{
    TWRKForm2 dialog(workspace.dialogParent());
    if (ui().exec(dialog) != QDialog::Accepted || !workspace.activeDocument())
        return std::nullopt;
    if (dialog.fields().beforeHead)
        MoveCaretBeforeHeadEnd(workspace);
    return Markup{dialog.OpeningMarkup, dialog.ClosingMarkup};
}

std::optional<Markup> runCommentCommand(Workspace &workspace)
{
    HtmlDocument *buffer = workspace.activeDocument();
    buffer->SelectTagAtCaret();
    // A comment ends at "-->", not at a ">" inside it: the whole comment is edited and
    // replaced, or its rest would be left behind as page text.
    if (buffer->SelText().startsWith(u"<!--"_s) && !buffer->SelText().endsWith(u"-->"_s)) {
        const int start = buffer->SelStart();
        const int end = buffer->findForward(start + 4, u"-->"_s, false);
        if (end >= 0)
            buffer->SetSelLength(end + 3 - start);
    }
    TForm10 dialog(workspace.dialogParent());
    // A selected comment is edited and another single tag replaced; anything else selected
    // (plain text, or a stretch of markup with several tags) starts the memo, so OK
    // comments it out instead of deleting it.
    const QString selected = buffer->SelText();
    // One tag: read whole to its end, or one left open (up to the caret) with no other after.
    const std::optional<QString> leadingTag = leadingStartTag(selected);
    const bool oneTag = selected.startsWith(u'<')
        && (leadingTag ? leadingTag->size() == selected.size() : selected.indexOf(u'<', 1) < 0);
    if (const std::optional<QString> comment = readComment(selected))
        dialog.setCommentText(*comment);
    else if (!oneTag)
        dialog.setCommentText(selected);
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    buffer = workspace.activeDocument();
    if (!buffer)
        return std::nullopt;
    HtmlDocument::EditGroup group(*buffer);
    buffer->ClearSelection();
    if (!dialog.OpeningMarkup.isEmpty())
        buffer->InsertAtCaret(workspace.settings().TAG, dialog.OpeningMarkup);
    return std::nullopt;
}
