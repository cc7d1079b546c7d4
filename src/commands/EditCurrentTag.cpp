#include "commands/EditCurrentTag.h"

#include "commands/ElementTable.h"
#include "commands/InsideTag.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "markup/ElementContract.h"
#include "markup/MarkupStyle.h"
#include "settings/TSettings.h"

#include <algorithm>

void EditCurrentTag(Workspace &workspace)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    // Only a complete start tag is edited; of a selected element, its leading start tag.
    const std::optional<QString> tag = selectWholeTagAtCaret(*buffer);
    if (!tag)
        return;
    const int start = buffer->SelStart();
    const ElementRow *row = elementForTag(startTagName(*tag));
    if (!row || !row->edit)
        return;
    // An element whose dialog shows its children (a video's sources) edits them too.
    QString covered = *tag;
    if (row->extent) {
        const QString text = buffer->GetText();
        covered = text.mid(start, std::max(qsizetype(tag->size()),
                                           row->extent(QStringView(text).sliced(start))));
    }
    // HTML 4 pages are edited as they always were; with HTML5 chosen, a tag keeps the style
    // it was written in (an upper-case tag stays upper case).
    const MarkupStyle written = workspace.settings().markupStyle() == MarkupStyle::Html5
                                    ? styleOfTag(*tag)
                                    : MarkupStyle::Html4;
    const std::optional<QString> edited =
        row->edit(workspace, written == MarkupStyle::Html5 ? html4Reading(*tag) + covered.mid(tag->size()) : covered);
    if (!edited || workspace.activeDocument() != buffer)
        return;
    buffer->SetSelStart(start);
    buffer->SetSelLength(int(covered.size()));
    // The dialogs compose HTML 4; the tag keeps the style it was written in.
    const QString tagText = inStyle(written, *edited);
    // A tag cut at the editor's limit would be broken: the old one then stays.
    if (workspace.roomForInsertion(HtmlDocument::lengthOnceIn(tagText), true))
        buffer->ReplaceSelection(tagText);
}
