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

namespace {

// The stretch where a transformed page differs from the page: [start, start + oldLength)
// of the old text became [start, start + newLength) of the new. Its ends never fall between
// the CR and the LF of a line break.
struct ChangedStretch
{
    qsizetype start = 0;
    qsizetype oldLength = 0;
    qsizetype newLength = 0;
};

ChangedStretch changedStretch(const QString &before, const QString &after)
{
    const qsizetype common = std::min(before.size(), after.size());
    qsizetype start = 0;
    while (start < common && before[start] == after[start])
        ++start;
    qsizetype tail = 0;
    while (tail < common - start
           && before[before.size() - 1 - tail] == after[after.size() - 1 - tail])
        ++tail;
    if (start > 0 && before[start - 1] == u'\r')
        --start;
    const qsizetype end = before.size() - tail;
    if (tail > 0 && end > 0 && before[end - 1] == u'\r')
        --tail;
    return {start, before.size() - tail - start, after.size() - tail - start};
}

} // namespace

void ApplyToSelectionOrWhole(HtmlDocument &buffer, TextTransform transform)
{
    if (buffer.SelLength() > 0) {
        buffer.ReplaceSelection(transform(buffer.SelText()));
        return;
    }
    // Without a selection the whole page is transformed, but only the stretch that changes
    // is written: the rest keeps its colours, a page the command leaves as it is stays
    // unmodified, and the caret stays on its place (the same offset, or the end of a page
    // that got shorter) rather than jumping to the end.
    const QString text = buffer.GetText();
    const QString changed = transform(text);
    if (changed == text)
        return;
    const ChangedStretch stretch = changedStretch(text, changed);
    const QString inserted = changed.mid(stretch.start, stretch.newLength);
    const int start = int(stretch.start);
    const int oldLength = int(stretch.oldLength);
    const int caret = buffer.SelStart();
    {
        HtmlDocument::EditGroup group(buffer);
        // The new text goes in before the old goes out where both fit: an undo then puts the
        // caret back where it stood, wherever the change began.
        if (fitsInDocument(buffer.textLength() + HtmlDocument::lengthOnceIn(inserted))) {
            buffer.SetSelStart(start + oldLength);
            buffer.ReplaceSelection(inserted);
            buffer.SetSelStart(start);
            buffer.SetSelLength(oldLength);
            buffer.ClearSelection();
        } else {
            buffer.SetSelStart(start);
            buffer.SetSelLength(oldLength);
            buffer.ReplaceSelection(inserted);
        }
    }
    buffer.SetSelStart(std::min(caret, buffer.textLength()));
}
