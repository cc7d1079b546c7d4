#include "TextTransforms.h"

#include "commands/InsideTag.h"
#include "editor/HtmlDocument.h"
#include "markup/SysUt.h"
#include "markup/TagPairs.h"

#include <QAction>

using namespace Qt::StringLiterals;

void DeleteCurrentTag(HtmlDocument &buffer)
{
    // A tag whose quoted value holds a ">" goes whole, not up to that ">".
    selectWholeTagAtCaret(buffer);
    if (buffer.SelLength() == 0)
        return;
    const QString name = AsciiUpperCase(TagName(buffer.SelText()));
    HtmlDocument::EditGroup group(buffer);
    buffer.ClearSelection();
    // Case-sensitive on purpose: the closing tag of a lower-case tag stays.
    const QString closing = u"</"_s + name + u'>';
    const int at = buffer.findForward(buffer.SelStart(), closing, false);
    if (at < 0)
        return;
    buffer.SetSelStart(at);
    buffer.SetSelLength(int(closing.size()));
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
