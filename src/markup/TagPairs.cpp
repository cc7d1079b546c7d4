#include "TagPairs.h"

#include <QHash>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// One tag as the walks meet it: its "<" and its name; the ">" is looked for only when needed.
struct Tag
{
    qsizetype start = -1;
    QStringView name;
    bool closing = false;
    bool found() const { return start >= 0; }
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'-' || c == u':' || c == u'_';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == u'\f';
}

// The ">" that ends the tag whose "<" is at from, quoted values skipped; -1 when none.
qsizetype closingBracketOf(QStringView text, qsizetype from)
{
    QChar quote;
    bool afterEquals = false; // a quote opens a value only right after "=" and blanks
    for (qsizetype i = from + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'>')
            return i;
        if ((c == u'"' || c == u'\'') && afterEquals)
            quote = c;
        else if (c == u'<')
            return -1; // a "<" before any ">": the tag was never closed
        afterEquals = c == u'=' || (afterEquals && isBlank(c));
    }
    return -1;
}

// Whether at lies inside a quoted value of the tag whose "<" is at from.
bool inQuotedValue(QStringView text, qsizetype from, qsizetype at)
{
    QChar quote;
    bool afterEquals = false;
    for (qsizetype i = from + 1; i < at; ++i) {
        const QChar c = text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
            continue;
        }
        if (c == u'>' || c == u'<')
            return false;
        if ((c == u'"' || c == u'\'') && afterEquals)
            quote = c;
        afterEquals = c == u'=' || (afterEquals && isBlank(c));
    }
    return !quote.isNull();
}

// The tag whose "<" is at at, or nothing when no tag starts there.
Tag tagAt(QStringView text, qsizetype at)
{
    qsizetype i = at + 1;
    const bool closing = i < text.size() && text[i] == u'/';
    if (closing)
        ++i;
    const qsizetype nameStart = i;
    if (i >= text.size() || !text[i].isLetter())
        return {};
    while (i < text.size() && isNameChar(text[i]))
        ++i;
    return {at, text.sliced(nameStart, i - nameStart), closing};
}

TagRange rangeOf(QStringView text, const Tag &tag)
{
    const qsizetype end = closingBracketOf(text, tag.start);
    return {tag.start, end < 0 ? 0 : end - tag.start + 1};
}

bool selfCloses(QStringView text, const TagRange &range)
{
    return range.length > 2 && text[range.start + range.length - 2] == u'/';
}

// Names compared without regard to case; the first letters first, as most names differ there.
bool sameTagName(QStringView a, QStringView b)
{
    return a.size() == b.size() && !a.isEmpty() && (a[0].unicode() | 0x20) == (b[0].unicode() | 0x20)
           && a.compare(b, Qt::CaseInsensitive) == 0;
}

bool isRawText(QStringView name)
{
    return sameTagName(name, u"script") || sameTagName(name, u"style");
}

// Where the raw text of a SCRIPT or STYLE that starts after from ends: its "</".
qsizetype rawTextEnd(QStringView text, qsizetype from, QStringView name)
{
    for (qsizetype i = text.indexOf(u"</", from); i >= 0; i = text.indexOf(u"</", i + 2)) {
        if (sameTagName(text.sliced(i + 2, std::min(name.size(), text.size() - i - 2)), name))
            return i;
    }
    return text.size();
}

// The next tag at or after from, past comments and declarations; the caller skips raw text.
Tag nextTag(QStringView text, qsizetype from)
{
    for (qsizetype i = text.indexOf(u'<', from); i >= 0; i = text.indexOf(u'<', i + 1)) {
        if (text.sliced(i).startsWith(u"<!--")) {
            const qsizetype close = text.indexOf(u"-->", i + 4);
            if (close < 0)
                return {};
            i = close + 2;
            continue;
        }
        const Tag tag = tagAt(text, i);
        if (tag.found())
            return tag;
    }
    return {};
}

// Walks the tags before a position backwards, past comments and the insides of scripts
// and styles, looking at each character once.
class BackwardTags
{
public:
    BackwardTags(QStringView text, qsizetype before)
        : m_text(text)
        , m_next(before - 1)
    {
    }

    Tag previous()
    {
        const QChar *d = m_text.data();
        for (qsizetype i = m_next; i >= 0; --i) {
            const char16_t c = d[i].unicode();
            if (c == u'>' && i >= 2 && d[i - 1] == u'-' && d[i - 2] == u'-') {
                // A comment's end: go on before its start ("-->" that opened nothing is text).
                const qsizetype open = m_text.lastIndexOf(u"<!--", i);
                if (open >= 0)
                    i = open;
                continue;
            }
            if (c != u'<')
                continue;
            const Tag tag = tagAt(m_text, i);
            if (!tag.found())
                continue;
            m_next = i - 1;
            if (tag.closing && isRawText(tag.name)) {
                // What lies between it and its start tag is not markup.
                const qsizetype open = m_text.lastIndexOf(u"<"_s + tag.name.toString(), i - 1, Qt::CaseInsensitive);
                if (open >= 0)
                    m_next = open;
            }
            return tag;
        }
        m_next = -1;
        return {};
    }

private:
    QStringView m_text;
    qsizetype m_next;
};

} // namespace

// The nearest of "<!--", "-->" and the script and style tags before pos tells.
QList<RawTextSpan> rawTextSpans(QStringView text)
{
    QList<RawTextSpan> spans;
    for (qsizetype i = text.indexOf(u'<'); i >= 0; i = text.indexOf(u'<', i)) {
        if (text.sliced(i).startsWith(u"<!--")) {
            const qsizetype end = text.indexOf(u"-->", i + 4);
            if (end < 0)
                break;
            i = end + 3;
            continue;
        }
        const Tag tag = tagAt(text, i);
        const qsizetype gt = tag.found() && !tag.closing && isRawText(tag.name) ? closingBracketOf(text, i) : -1;
        if (gt < 0) {
            ++i;
            continue;
        }
        const qsizetype end = rawTextEnd(text, gt + 1, tag.name);
        spans.append({gt + 1, end, sameTagName(tag.name, u"script")});
        i = end;
    }
    return spans;
}

bool inCommentOrRawText(QStringView text, qsizetype pos, qsizetype markupFrom)
{
    const QChar *d = text.data();
    const qsizetype first = std::max<qsizetype>(markupFrom, 0);
    for (qsizetype i = std::min(pos, text.size()) - 1; i >= first; --i) {
        const char16_t c = d[i].unicode();
        if (c == u'>' && i >= 2 && d[i - 1] == u'-' && d[i - 2] == u'-')
            return false;
        if (c != u'<')
            continue;
        if (text.sliced(i).startsWith(u"<!--"))
            return true;
        const Tag tag = tagAt(text, i);
        if (tag.found() && isRawText(tag.name)) {
            const qsizetype end = closingBracketOf(text, i);
            return !tag.closing && end >= 0 && end < pos;
        }
    }
    return false;
}

TextState textStateAfter(QStringView stretch, TextState state)
{
    qsizetype i = 0;
    while (i < stretch.size()) {
        if (state == TextState::Comment) {
            const qsizetype end = stretch.indexOf(u"-->", i);
            if (end < 0)
                return state;
            i = end + 3;
            state = TextState::Markup;
            continue;
        }
        if (state != TextState::Markup) {
            const qsizetype end = rawTextEnd(stretch, i, state == TextState::Script ? u"script" : u"style");
            if (end >= stretch.size())
                return state;
            i = end + 2;
            state = TextState::Markup;
            continue;
        }
        const qsizetype lt = stretch.indexOf(u'<', i);
        if (lt < 0)
            return state;
        i = lt + 1;
        if (stretch.sliced(lt).startsWith(u"<!--")) {
            state = TextState::Comment;
            i = lt + 4;
            continue;
        }
        const Tag tag = tagAt(stretch, lt);
        if (!tag.found() || tag.closing || !isRawText(tag.name))
            continue;
        state = sameTagName(tag.name, u"script") ? TextState::Script : TextState::Style;
        // A start tag that goes on past the stretch leaves the next one in its raw text:
        // the caller then starts further back, which is never wrong.
        const qsizetype gt = closingBracketOf(stretch, lt);
        if (gt < 0)
            return state;
        i = gt + 1;
    }
    return state;
}

namespace {

bool startsPair(QStringView text, const Tag &tag, const TagRange &range)
{
    return !tag.closing && range.length > 0 && !selfCloses(text, range) && !isVoidElement(tag.name);
}

std::optional<TagPair> endOf(QStringView text, const Tag &start, const TagRange &startRange)
{
    qsizetype from = startRange.start + startRange.length;
    if (isRawText(start.name)) {
        const qsizetype end = rawTextEnd(text, from, start.name);
        if (end >= text.size())
            return std::nullopt;
        const TagRange close = rangeOf(text, tagAt(text, end));
        return close.length > 0 ? std::optional(TagPair{startRange, close}) : std::nullopt;
    }
    // Many pages never close a P, LI or TD: one look for the end tag's text answers them,
    // where walking every tag to the end of a large page takes milliseconds.
    if (!endTagTextFollows(text, from, start.name))
        return std::nullopt;
    int depth = 1;
    for (Tag tag = nextTag(text, from); tag.found(); tag = nextTag(text, from)) {
        from = tag.start + 1;
        if (!tag.closing && isRawText(tag.name)) {
            from = rawTextEnd(text, from, tag.name) + 1;
            continue;
        }
        if (!sameTagName(tag.name, start.name))
            continue;
        const TagRange range = rangeOf(text, tag);
        if (range.length == 0 || selfCloses(text, range))
            continue;
        depth += tag.closing ? -1 : 1;
        if (depth == 0)
            return TagPair{startRange, range};
    }
    return std::nullopt;
}

// A "<" written inside a quoted value of the tag before it starts no tag.
bool inValueOfTagBefore(QStringView text, qsizetype lt, qsizetype markupFrom)
{
    const qsizetype before = lt > 0 ? text.lastIndexOf(u'<', lt - 1) : -1;
    return before >= markupFrom && tagAt(text, before).found() && inQuotedValue(text, before, lt);
}

std::optional<TagPair> startOf(QStringView text, const TagRange &endRange, QStringView name)
{
    int depth = 1;
    BackwardTags tags(text, endRange.start);
    for (Tag tag = tags.previous(); tag.found(); tag = tags.previous()) {
        if (!sameTagName(tag.name, name))
            continue;
        const TagRange range = rangeOf(text, tag);
        if (range.length == 0 || selfCloses(text, range))
            continue;
        depth += tag.closing ? 1 : -1;
        if (depth == 0)
            return TagPair{range, endRange};
    }
    return std::nullopt;
}

} // namespace

bool endTagTextFollows(QStringView text, qsizetype from, QStringView name)
{
    return rawTextEnd(text, from, name) < text.size();
}

bool isVoidElement(QStringView name)
{
    static constexpr QStringView Void[] = {
        u"area", u"base", u"basefont", u"bgsound", u"br", u"col", u"embed", u"frame", u"hr",
        u"img", u"input", u"isindex", u"keygen", u"link", u"meta", u"param", u"source",
        u"track", u"wbr",
    };
    return std::any_of(std::begin(Void), std::end(Void),
                       [&](QStringView v) { return v.compare(name, Qt::CaseInsensitive) == 0; });
}

std::optional<PairableTag> pairableTagAt(QStringView text, qsizetype caret, qsizetype markupFrom)
{
    if (caret < 0 || caret > text.size())
        return std::nullopt;
    // The caret before a "<" stands in that tag.
    const qsizetype lt = caret < text.size() && text[caret] == u'<'
                             ? caret
                             : text.lastIndexOf(u'<', std::max<qsizetype>(0, caret - 1));
    if (lt < 0)
        return std::nullopt;
    const Tag tag = tagAt(text, lt);
    const TagRange range = tag.found() ? rangeOf(text, tag) : TagRange{};
    if (range.length == 0 || range.start + range.length - 1 < caret
        || inCommentOrRawText(text, lt, markupFrom) || inValueOfTagBefore(text, lt, markupFrom))
        return std::nullopt;
    if (!tag.closing && !startsPair(text, tag, range))
        return std::nullopt;
    return PairableTag{range, tag.name.data() - text.data(), tag.name.size(), tag.closing};
}

std::optional<TagPair> tagPairAt(QStringView text, qsizetype caret, qsizetype markupFrom)
{
    const std::optional<PairableTag> at = pairableTagAt(text, caret, markupFrom);
    if (!at)
        return std::nullopt;
    const Tag tag{at->range.start, text.sliced(at->nameStart, at->nameLength), at->closing};
    return tag.closing ? startOf(text, at->range, tag.name) : endOf(text, tag, at->range);
}

QString endTagForTypedStart(QStringView text, qsizetype caret)
{
    if (caret < 2 || caret > text.size() || text[caret - 1] != u'>')
        return {};
    const qsizetype lt = text.lastIndexOf(u'<', caret - 2);
    if (lt < 0)
        return {};
    const Tag tag = tagAt(text, lt);
    const TagRange range = tag.found() ? rangeOf(text, tag) : TagRange{};
    // A ">" inside a quoted value ends no tag: the tag's end lies elsewhere.
    if (range.start + range.length != caret || !startsPair(text, tag, range) || inCommentOrRawText(text, lt)
        || inValueOfTagBefore(text, lt, 0))
        return {};
    const QString end = u"</"_s + tag.name.toString() + u'>';
    if (text.sliced(caret).trimmed().startsWith(end, Qt::CaseInsensitive))
        return {};
    return end;
}

QString endTagForTypedSlash(QStringView text, qsizetype caret)
{
    if (caret < 2 || caret > text.size() || text.sliced(caret - 2, 2) != u"</"
        || inCommentOrRawText(text, caret - 2))
        return {};
    // Counts the end tags met walking back; the first start tag not closed by them is open.
    QHash<QString, int> closed;
    BackwardTags tags(text, caret - 2);
    for (Tag tag = tags.previous(); tag.found(); tag = tags.previous()) {
        const QString key = tag.name.toString().toLower();
        if (tag.closing) {
            ++closed[key];
            continue;
        }
        if (isVoidElement(tag.name) || selfCloses(text, rangeOf(text, tag)))
            continue;
        if (closed.value(key) > 0)
            --closed[key];
        else
            return tag.name.toString() + u'>';
    }
    return {};
}

qsizetype caretMarkPlace(QStringView text, qsizetype caret)
{
    caret = std::clamp<qsizetype>(caret, 0, text.size());
    // A page without BODY and HEAD is a fragment: all of it is shown.
    const bool hasBody = text.contains(u"<body", Qt::CaseInsensitive);
    bool inBody = !hasBody && !text.contains(u"<head", Qt::CaseInsensitive);
    qsizetype place = -1; // the last place before caret where an element may stand
    qsizetype i = 0;
    while (i < caret) {
        const qsizetype lt = text.indexOf(u'<', i);
        if (lt < 0 || lt >= caret)
            break;
        if (text.sliced(lt).startsWith(u"<!--")) {
            if (inBody)
                place = lt;
            const qsizetype end = text.indexOf(u"-->", lt + 4);
            if (end < 0 || end + 3 > caret)
                return place; // the caret is in the comment
            i = end + 3;
            continue;
        }
        const Tag tag = tagAt(text, lt);
        // Nothing goes before a doctype: the page would be read in quirks mode.
        const bool declaration = lt + 1 < text.size() && (text[lt + 1] == u'!' || text[lt + 1] == u'?');
        if (!tag.found() && !declaration) {
            i = lt + 1; // a "<" of the text
            continue;
        }
        if (inBody && tag.found())
            place = lt; // right before a tag, a script or a style
        const qsizetype end = closingBracketOf(text, lt);
        if (end < 0 || end >= caret)
            return place; // the caret is in the tag
        i = end + 1;
        if (!tag.found())
            continue;
        if (!tag.closing && sameTagName(tag.name, u"body"))
            inBody = true;
        else if (tag.closing && !hasBody && sameTagName(tag.name, u"head"))
            inBody = true;
        else if (!tag.closing && isRawText(tag.name)) {
            const qsizetype rawEnd = rawTextEnd(text, i, tag.name);
            if (rawEnd >= caret)
                return place; // the caret is in the script or style
            i = rawEnd;
        }
    }
    return inBody ? caret : place;
}
