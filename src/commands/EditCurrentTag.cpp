#include "commands/EditCurrentTag.h"

#include "commands/ElementTable.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "markup/ElementContract.h"
#include "markup/MarkupStyle.h"
#include "settings/TSettings.h"

void EditCurrentTag(Workspace &workspace)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    buffer->SelectTagAtCaret();
    if (buffer->SelLength() == 0)
        return;
    // Only a complete start tag is edited; of a selected element, its leading start tag.
    const std::optional<QString> tag = leadingStartTag(buffer->SelText());
    if (!tag)
        return;
    const ElementRow *row = elementForTag(startTagName(*tag));
    if (!row || !row->edit)
        return;
    const int start = buffer->SelStart();
    // HTML 4 pages are edited as they always were; with HTML5 chosen, a tag keeps the style
    // it was written in (an upper-case tag stays upper case).
    const MarkupStyle written = workspace.settings().markupStyle() == MarkupStyle::Html5
                                    ? styleOfTag(*tag)
                                    : MarkupStyle::Html4;
    const std::optional<QString> edited =
        row->edit(workspace, written == MarkupStyle::Html5 ? html4Reading(*tag) : *tag);
    if (!edited || workspace.activeDocument() != buffer)
        return;
    buffer->SetSelStart(start);
    buffer->SetSelLength(int(tag->size()));
    // The dialogs compose HTML 4.
    buffer->ReplaceSelection(inStyle(written, *edited));
}
