#include "TextTransforms.h"

#include "editor/HtmlDocument.h"
#include "markup/SysUt.h"

#include <QAction>

using namespace Qt::StringLiterals;

void DeleteCurrentTag(HtmlDocument &buffer)
{
    buffer.SelectTagAtCaret();
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

void ApplyToSelectionOrWhole(HtmlDocument &buffer, TextTransform transform)
{
    if (buffer.SelLength() > 0)
        buffer.ReplaceSelection(transform(buffer.SelText()));
    else
        buffer.SetText(transform(buffer.GetText()));
}
