#include "commands/EditCurrentTag.h"

#include "commands/ElementTable.h"
#include "commands/InsideTag.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "markup/ElementContract.h"
#include "markup/MarkupStyle.h"
#include "markup/SysUt.h"
#include "markup/TagPairs.h"
#include "settings/TSettings.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// The element name of a written start tag as it stands, case and all.
QStringView writtenTagName(QStringView tag)
{
    const qsizetype lt = tag.indexOf(u'<');
    if (lt < 0)
        return {};
    qsizetype end = lt + 1;
    while (end < tag.size() && tag[end] != u'>' && tag[end] != u'/' && !tag[end].isSpace())
        ++end;
    return tag.sliced(lt + 1, end - lt - 1);
}

// A table's BORDER and CELLPADDING reach into its cells, and HTML5 writes what they do there in the
// cells' own style: converted with the start tag alone they would be lost, and the cells
// with them their borders and padding. Written as attributes, they stay attributes; a
// table whose cells carry the style already (as the HTML5 commands write it) goes to style.
QString html5TableTag(const QString &written, const QString &html4)
{
    const AttributeReader before(written);
    AttributeReader reader(html4);
    QString kept;
    for (const char16_t *name : {u"BORDER", u"CELLPADDING"}) {
        if (!before.has(name) && !before.has(name, true))
            continue;
        if (const std::optional<QString> value = reader.text(name))
            kept += u' ' + QString::fromUtf16(name).toLower() + u'=' + QuotedValue(*value);
    }
    if (kept.isEmpty())
        return toHtml5(html4);
    QString tag = toHtml5(withLeftovers(u"<TABLE>", reader.leftovers()));
    tag.insert(tag.lastIndexOf(u'>'), kept);
    return tag;
}

} // namespace

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
    const QString tagText = written == MarkupStyle::Html5 && startTagName(*tag) == u"TABLE"_s
                                ? html5TableTag(*tag, *edited)
                                : inStyle(written, *edited);
    // HTML5 writes some elements under another name (a FONT becomes a span): its end tag
    // is renamed with it, or the page would close an element that was never opened.
    const QString newName = writtenTagName(tagText).toString();
    std::optional<TagPair> pair;
    if (!newName.isEmpty() && newName.compare(writtenTagName(*tag), Qt::CaseInsensitive) != 0)
        pair = tagPairAt(buffer->GetText(), start + 1);
    const QString endTag = pair ? u"</"_s + newName + u'>' : QString();
    const qint64 endGrowth = pair ? endTag.size() - pair->end.length : 0;
    // A tag cut at the editor's limit would be broken: the old one then stays.
    if (!workspace.roomForInsertion(HtmlDocument::lengthOnceIn(tagText) + endGrowth, true))
        return;
    if (!pair || pair->end.start < start + covered.size()) {
        buffer->ReplaceSelection(tagText);
        return;
    }
    // Both tags change in one undo step; the end tag first, so the start stays where it is.
    HtmlDocument::EditGroup group(*buffer);
    buffer->SetSelStart(int(pair->end.start));
    buffer->SetSelLength(int(pair->end.length));
    buffer->ReplaceSelection(endTag);
    buffer->SetSelStart(start);
    buffer->SetSelLength(int(covered.size()));
    buffer->ReplaceSelection(tagText);
}
