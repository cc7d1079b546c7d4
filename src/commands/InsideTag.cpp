#include "commands/InsideTag.h"

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "settings/TSettings.h"

using namespace Qt::StringLiterals;

bool caretInsideTag(const HtmlDocument &b)
{
    const int caret = b.SelStart();
    const int lt = b.lastIndexBefore(caret, u'<');
    if (lt < 0 || b.lastIndexBefore(caret, u'>') > lt)
        return false;
    const int gt = b.firstIndexFrom(caret, u'>');
    if (gt < 0)
        return false;
    const int nextLt = b.firstIndexFrom(caret, u'<');
    return nextLt < 0 || gt < nextLt;
}

bool CheckNotInsideTag(Workspace &workspace)
{
    HtmlDocument *b = workspace.activeDocument();
    if (!b || !workspace.settings().InsideTagCheck || !caretInsideTag(*b))
        return true;
    ui().showError(u"Nelze vkladat tag uvnitř tagu!"_s);
    return false;
}

std::optional<QString> selectWholeTagAtCaret(HtmlDocument &buffer)
{
    buffer.SelectTagAtCaret();
    if (buffer.SelLength() == 0)
        return std::nullopt;
    // Mostly the selection holds the whole tag; only a quote left open in it sends the read
    // on through the rest of the page.
    std::optional<QString> tag = leadingStartTag(buffer.SelText());
    if (!tag) {
        const QString text = buffer.GetText();
        tag = leadingStartTag(QStringView(text).sliced(buffer.SelStart()));
    }
    if (tag)
        buffer.SetSelLength(int(tag->size()));
    return tag;
}
