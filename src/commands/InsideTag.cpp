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

namespace {

// The caret after a ">" inside a quoted value: the document takes that ">" for the tag's
// end and finds the caret outside any tag. The nearest "<" before the caret is read on,
// quotes and all; the tag is the caret's when it ends after the caret.
std::optional<QString> selectTagAcrossQuotedGreater(HtmlDocument &buffer)
{
    constexpr int Reach = 65536; // longer than any tag written by hand
    const int caret = buffer.SelStart();
    const int lt = buffer.lastIndexBefore(caret, u'<');
    if (lt < 0 || caret - lt > Reach)
        return std::nullopt;
    const std::optional<QString> tag =
        leadingStartTag(buffer.textRange(lt, std::min(buffer.textLength() - lt, 2 * Reach)));
    if (!tag || lt + tag->size() <= caret)
        return std::nullopt;
    buffer.SetSelStart(lt);
    buffer.SetSelLength(int(tag->size()));
    return tag;
}

} // namespace

std::optional<QString> selectWholeTagAtCaret(HtmlDocument &buffer)
{
    buffer.SelectTagAtCaret();
    if (buffer.SelLength() == 0)
        return selectTagAcrossQuotedGreater(buffer);
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
