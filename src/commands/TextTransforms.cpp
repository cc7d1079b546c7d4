#include "TextTransforms.h"

#include "commands/InsideTag.h"
#include "editor/HtmlDocument.h"
#include "markup/GuardedFile.h"
#include "markup/SysUt.h"
#include "markup/TagPairs.h"

#include <QAction>

#include <algorithm>

using namespace Qt::StringLiterals;

void DeleteCurrentTag(HtmlDocument &buffer)
{
    // A tag whose quoted value holds a ">" goes whole, not up to that ">".
    selectWholeTagAtCaret(buffer);
    // Outside any tag a selection of plain text stays as the user made it: the command
    // deletes tags, never the words between them.
    if (buffer.SelLength() == 0 || !buffer.SelText().startsWith(u'<'))
        return;
    const int start = buffer.SelStart();
    const int length = buffer.SelLength();
    // The end tag that goes with it is the tag's own partner, never the end tag of another
    // element further on (after a lower-case or an unclosed tag that was the next one of
    // the name). Case-sensitive on purpose: an end tag written in lower case stays.
    std::optional<TagRange> end;
    const std::optional<TagPair> pair = tagPairAt(buffer.GetText(), start + 1);
    if (pair && pair->start.start == start && pair->end.start > start) {
        const QString endText = buffer.textRange(int(pair->end.start), int(pair->end.length));
        if (AsciiUpperCase(endText) == endText)
            end = pair->end;
    }
    HtmlDocument::EditGroup group(buffer);
    // The end tag first, so the start tag's place stays where it is; the caret ends there.
    if (end) {
        buffer.SetSelStart(int(end->start));
        buffer.SetSelLength(int(end->length));
        buffer.ClearSelection();
    }
    buffer.SetSelStart(start);
    buffer.SetSelLength(length);
    buffer.ClearSelection();
}

void GoToPairTag(HtmlDocument &buffer)
{
    const int caret = buffer.SelStart();
    const std::optional<TagPair> pair = tagPairAt(buffer.GetText(), caret);
    if (!pair)
        return;
    const bool inStart = caret < pair->start.start + pair->start.length;
    buffer.SetSelStart(int((inStart ? pair->end : pair->start).start + 1));
    buffer.centerCaret();
}

void ApplyToSelectionOrWhole(HtmlDocument &buffer, TextTransform transform)
{
    if (buffer.SelLength() > 0)
        buffer.ReplaceSelection(transform(buffer.SelText()));
    else
        buffer.SetText(transform(buffer.GetText()));
}
