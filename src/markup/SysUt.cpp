#include "markup/SysUt.h"


#include <QDir>

#include <algorithm>
#include <array>
#include <vector>

using namespace Qt::StringLiterals;

// --- small string helpers -------------------------------------------------------------

bool IsBlank(QChar c)
{
    return c.unicode() <= 32;
}

QString TrimBlanks(QStringView text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin).toString();
}

static QChar asciiUpper(QChar c)
{
    return (c >= u'a' && c <= u'z') ? QChar(c.unicode() - 32) : c;
}

QString AsciiUpperCase(QStringView text)
{
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i)
        result[i] = asciiUpper(text[i]);
    return result;
}

// --- tags and attributes --------------------------------------------------------------

QString TagAtPosition(QStringView text, int caretOffset)
{
    const qsizetype p = std::clamp<qsizetype>(caretOffset, 0, text.size());
    const QStringView before = text.first(p);
    const qsizetype lastLt = before.lastIndexOf(u'<');
    if (lastLt < 0)
        return {};
    // A ">" after the last "<" means the caret stands after a finished tag.
    if (before.indexOf(u'>', lastLt) >= 0)
        return {};
    const QStringView after = text.sliced(p);
    const qsizetype firstGt = after.indexOf(u'>');
    if (firstGt < 0)
        return {};
    // A "<" before the first ">" means the caret is not inside one tag.
    if (after.first(firstGt).contains(u'<'))
        return {};
    return text.sliced(lastLt, p - lastLt + firstGt + 1).toString();
}

QString TagName(QStringView tag)
{
    const qsizetype space = tag.indexOf(u' ');
    if (space > 1) {
        QString name = TrimBlanks(tag.sliced(1, space - 1));
        if (!name.isEmpty())
            return name;
    }
    const qsizetype gt = tag.indexOf(u'>');
    if (gt > 1)
        return TrimBlanks(tag.sliced(1, gt - 1));
    return {};
}

QString TagAttributeText(QStringView tag)
{
    const qsizetype space = tag.indexOf(u' ');
    if (space < 0)
        return {};
    QString rest = TrimBlanks(tag.sliced(space));
    rest.chop(1);
    return rest;
}

bool TagContains(QStringView tag, QStringView word)
{
    if (word.isEmpty())
        return false;
    return AsciiUpperCase(RemoveSpaces(tag)).contains(AsciiUpperCase(word));
}

// 0-based index of the first needle at or after from that is followed, after blanks,
// by "="; -1 when there is none.
static qsizetype findAttributeFrom(QStringView needle, QStringView upperTag, qsizetype from)
{
    if (needle.isEmpty())
        return -1;
    for (qsizetype q = upperTag.indexOf(needle, from); q >= 0;
         q = upperTag.indexOf(needle, q + 1)) {
        qsizetype i = q + needle.size();
        while (i < upperTag.size() && IsBlank(upperTag[i]))
            ++i;
        if (i < upperTag.size() && upperTag[i] == u'=')
            return q;
    }
    return -1;
}

int FindAttribute(QStringView needle, QStringView upperTag)
{
    return int(findAttributeFrom(needle, upperTag, 0) + 1);
}

static QString attributeNeedle(QStringView name)
{
    QString needle = AsciiUpperCase(name);
    if (!needle.startsWith(u' '))
        needle.prepend(u' ');
    return needle;
}

QString ReadAttribute(QString &tag, QStringView name, bool remove)
{
    const QString needle = attributeNeedle(name);
    const qsizetype q = findAttributeFrom(needle, AsciiUpperCase(tag), 0);
    if (q < 0)
        return {};
    const QStringView rest = QStringView(tag).sliced(q);
    const QString v = TrimBlanks(rest.sliced(rest.indexOf(u'=') + 1));
    QString value;
    if (v.startsWith(u'"')) {
        // An unclosed quote gives no value at all.
        const qsizetype close = v.indexOf(u'"', 1);
        if (close > 0)
            value = v.sliced(1, close - 1);
    } else {
        // Only a space ends an unquoted value; without one the tag's ">" is dropped.
        const qsizetype space = v.indexOf(u' ');
        value = space >= 0 ? v.first(space) : v.chopped(v.isEmpty() ? 0 : 1);
    }
    if (remove)
        tag = RemoveAttribute(tag, name);
    return value;
}

QString RemoveAttribute(const QString &tag, QStringView name)
{
    const QString needle = attributeNeedle(name);
    const QString upper = AsciiUpperCase(tag);
    qsizetype q = findAttributeFrom(needle, upper, 0);
    if (q < 0)
        return tag;
    // An odd number of quotes from the occurrence to the end means it lies inside a
    // quoted value of another attribute; count once and move the count along with q.
    int quotesFromQ = CountChar(u'"', QStringView(tag).sliced(q));
    while (quotesFromQ % 2 != 0) {
        const qsizetype next = findAttributeFrom(needle, upper, q + 1);
        if (next < 0)
            return tag;
        quotesFromQ -= CountChar(u'"', QStringView(tag).sliced(q, next - q));
        q = next;
    }
    const qsizetype eq = tag.indexOf(u'=', q + needle.size());
    qsizetype valueStart = eq + 1;
    while (valueStart < tag.size() && IsBlank(tag[valueStart]))
        ++valueStart;
    qsizetype end; // first character that stays
    if (valueStart < tag.size() && tag[valueStart] == u'"') {
        // An even quote count from q guarantees the closing quote.
        end = tag.indexOf(u'"', valueStart + 1) + 1;
    } else {
        qsizetype valueEnd = tag.size();
        while (valueEnd > valueStart && IsBlank(tag[valueEnd - 1]))
            --valueEnd;
        const qsizetype space = tag.indexOf(u' ', valueStart);
        end = (space >= 0 && space < valueEnd) ? space : tag.size() - 1;
    }
    end = std::max(end, q);
    QString result = tag;
    result.remove(q, end - q);
    return result;
}

// --- attribute pieces -----------------------------------------------------------------

QString AttrPiece(const QString &name, const QString &value)
{
    return value.isEmpty() ? QString() : u' ' + name + value;
}

QString QuotedAttrPiece(const QString &name, const QString &value)
{
    return value.isEmpty() ? QString() : u' ' + name + QuotedValue(value);
}

QString QuotedValue(const QString &value)
{
    // A value with double quotes in it is quoted the other way, so the tag still ends where
    // it should; one with both kinds has its double quotes written as references.
    if (!value.contains(u'"'))
        return u'"' + value + u'"';
    if (!value.contains(u'\''))
        return u'\'' + value + u'\'';
    return u'"' + QString(value).replace(u'"', u"&quot;"_s) + u'"';
}

QString ColorAttrPiece(const QString &name, ColorValue color, bool enabled)
{
    return enabled ? u' ' + name + u"\"#"_s + ColorToHex(color) + u'"' : QString();
}

QString NumberAttrPiece(const QString &name, int number, bool enabled)
{
    return enabled ? u' ' + name + QString::number(number) : QString();
}

// --- colours --------------------------------------------------------------------------

QString ColorToHex(ColorValue color)
{
    auto hex2 = [](int v) { return QString::number(v & 0xFF, 16).rightJustified(2, u'0'); };
    return (hex2(color) + hex2(color >> 8) + hex2(color >> 16)).toUpper();
}

namespace {
struct NamedColor
{
    QStringView name;
    QStringView value;
};
constexpr std::array<NamedColor, 16> colorNames{{
    {u"BLACK", u"#000000"},  {u"GREEN", u"#008000"}, {u"SILVER", u"#C0C0C0"},
    {u"LIME", u"#00FF00"},   {u"GRAY", u"#808080"},  {u"OLIVE", u"#808000"},
    {u"WHITE", u"#FFFFFF"},  {u"YELLOW", u"#FFFF00"}, {u"MAROON", u"#800000"},
    {u"NAVY", u"#000080"},   {u"RED", u"#FF0000"},   {u"BLUE", u"#0000FF"},
    {u"PURPLE", u"#800080"}, {u"TEAL", u"#008080"},  {u"FUCHSIA", u"#FF00FF"},
    {u"AQUA", u"#00FFFF"},
}};

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return 0; // not a hexadecimal digit: counts as 0
}
} // namespace

ColorValue HtmlColorToColor(QStringView text)
{
    QString x = AsciiUpperCase(TrimBlanks(text));
    for (const NamedColor &named : colorNames) {
        if (x == named.name) {
            x = named.value.toString();
            break;
        }
    }
    if (!x.startsWith(u'#') || x.size() < 7)
        return 0;
    auto component = [&](int at) { return hexDigit(x[at]) * 16 + hexDigit(x[at + 1]); };
    return component(1) + component(3) * 256 + component(5) * 65536;
}

bool IsHtmlColor(QStringView text)
{
    const QString x = AsciiUpperCase(TrimBlanks(text));
    for (const NamedColor &named : colorNames) {
        if (x == named.name)
            return true;
    }
    if (x.size() != 7 || !x.startsWith(u'#'))
        return false;
    return std::all_of(x.begin() + 1, x.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F');
    });
}

// --- file references ------------------------------------------------------------------

QString NeverSavedName()
{
    return u"Bez jména"_s;
}

static QString fileNamePart(const QString &path)
{
    return path.sliced(path.lastIndexOf(u'/') + 1);
}

QString RelativePath(const QString &documentPath, const QString &filePath)
{
    const QString d = QDir::fromNativeSeparators(documentPath);
    const QString f = QDir::fromNativeSeparators(filePath);
    // Different first characters are different drives: nothing relative exists.
    if (d.isEmpty() || f.isEmpty() || d[0] != f[0])
        return f;
    if (d == f)
        return fileNamePart(f);
    qsizetype k = 0;
    while (k < d.size() && k < f.size() && d[k] == f[k])
        ++k;
    const qsizetype shared = d.first(k).lastIndexOf(u'/');
    const QStringView dRest = QStringView(d).sliced(shared + 1);
    const QStringView fRest = QStringView(f).sliced(shared + 1);
    return u"../"_s.repeated(CountChar(u'/', dRest)) + fRest.toString();
}

QString DocumentRelativePath(const QString &chosen, const QString &documentFileName,
                             const PathOptions &options)
{
    QString result = (options.relPa && documentFileName != NeverSavedName())
                         ? RelativePath(documentFileName, chosen)
                         : fileNamePart(QDir::fromNativeSeparators(chosen));
    if (options.alt92)
        result.replace(u'/', u'\\');
    else
        result.replace(u'\\', u'/');
    if (options.upperCaseFiles)
        result = AsciiUpperCase(result);
    return result;
}

QString PathSeparator(const PathOptions &options)
{
    return options.alt92 ? u"\\"_s : u"/"_s;
}

// --- whole-text transformations ---------------------------------------------------------

namespace {
// The letter v stands twice in both tables; the first one is found, and both map alike.
constexpr QStringView czechLower = u"aábcčdďeěéfghiíjklmnňoópqrřsštťvuúůvwxyýzž";
constexpr QStringView czechUpper = u"AÁBCČDĎEĚÉFGHIÍJKLMNŇOÓPQRŘSŠTŤVUÚŮVWXYÝZŽ";
static_assert(czechLower.size() == 42 && czechUpper.size() == 42);

// Every letter of the tables lies below U+0180, so a flat table maps them directly.
using CaseMap = std::array<char16_t, 0x180>;

CaseMap makeCaseMap(QStringView from, QStringView to)
{
    CaseMap map{};
    for (char16_t c = 0; c < map.size(); ++c)
        map[c] = c;
    // Walk backwards so the first occurrence of a doubled letter wins.
    for (qsizetype i = from.size() - 1; i >= 0; --i)
        map[from[i].unicode()] = to[i].unicode();
    return map;
}

QString mapCase(QStringView text, const CaseMap &map)
{
    QString result(text.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        result[i] = QChar(c < map.size() ? map[c] : c);
    }
    return result;
}
} // namespace

QString CzechUpperCase(QStringView text)
{
    static const CaseMap map = makeCaseMap(czechLower, czechUpper);
    return mapCase(text, map);
}

QString CzechLowerCase(QStringView text)
{
    static const CaseMap map = makeCaseMap(czechUpper, czechLower);
    return mapCase(text, map);
}

QString StripTags(QStringView text)
{
    QString result;
    result.reserve(text.size());
    bool inside = false;
    // Inside a tag a ">" in a quoted value does not end it; a quote counts only where a
    // value starts, as the tag readers take it, and only when it is closed.
    bool valueStarts = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'<' && !inside) {
            inside = true;
            valueStarts = false;
        } else if (c == u'>') {
            inside = false;
        } else if (!inside) {
            result += c;
        } else if (valueStarts && (c == u'"' || c == u'\'')) {
            const qsizetype close = text.indexOf(c, i + 1);
            if (close >= 0)
                i = close;
            valueStarts = false;
        } else {
            valueStarts = c == u'=' || (valueStarts && IsBlank(c));
        }
    }
    return result;
}

QString RemoveSpacesOutsideTags(QStringView text)
{
    QString result;
    result.reserve(text.size());
    qsizetype runStart = 0;
    // Inside a tag a quoted value is read whole, as StripTags reads it: a "<" in it
    // (TITLE="1 < 2") starts no tag, and the spaces of the tag's first part stay.
    bool inTag = false;
    bool valueStarts = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inTag && valueStarts && (c == u'"' || c == u'\'')) {
            const qsizetype close = text.indexOf(c, i + 1);
            if (close >= 0)
                i = close;
            valueStarts = false;
            continue;
        }
        if (c != u'<' && c != u'>') {
            valueStarts = inTag && (c == u'=' || (valueStarts && IsBlank(c)));
            continue;
        }
        const QStringView run = text.sliced(runStart, i - runStart);
        // The run before a ">" is the inside of a tag and stays as it is.
        result += c == u'>' ? run.toString() : RemoveSpaces(run);
        result += c;
        runStart = i + 1;
        inTag = c == u'<';
        valueStarts = false;
    }
    result += RemoveSpaces(text.sliced(runStart));
    return result;
}

QString SlashesInQuotes(QStringView text)
{
    QString result = text.toString();
    bool inQuotes = false;
    for (QChar &c : result) {
        if (c == u'"')
            inQuotes = !inQuotes;
        else if (inQuotes && c == u'\\')
            c = u'/';
    }
    return result;
}

QString RemoveSpaces(QStringView text)
{
    QString result;
    result.reserve(text.size());
    for (QChar c : text) {
        if (c != u' ')
            result += c;
    }
    return result;
}

QString Spaces(int count)
{
    return count > 0 ? QString(count, u' ') : QString();
}

int CountChar(QChar ch, QStringView text)
{
    return int(text.count(ch));
}

int LeadingSpaces(QStringView text)
{
    int n = 0;
    while (n < text.size() && text[n] == u' ')
        ++n;
    return n;
}

QString ReplaceEach(QStringView text, QStringView find, QStringView replacement)
{
    if (find.isEmpty())
        return text.toString();
    QString result = text.toString();
    result.replace(find.toString(), replacement.toString());
    return result;
}

QString ReplaceAll(QStringView text, QStringView find, QStringView replacement)
{
    if (find.isEmpty() || replacement.contains(find))
        return ReplaceEach(text, find, replacement);
    // Characters move one at a time from the input to the output; the output never holds
    // an occurrence, so one ending at its last character is the leftmost of the whole
    // text, exactly what a search from the start would find. The replacement goes back to
    // the input to be searched again. Rules like "ab" -> "bbaa" can still grow without
    // bound, so after very many replacements the rest gets one plain pass.
    const qsizetype maxReplacements = 1'000'000 + 16 * text.size();
    QString out;
    out.reserve(text.size());
    std::vector<QChar> pending; // produced text still to be read, last character first
    qsizetype next = 0;
    qsizetype replacements = 0;
    while (!pending.empty() || next < text.size()) {
        if (replacements > maxReplacements) {
            QString rest;
            for (auto it = pending.rbegin(); it != pending.rend(); ++it)
                rest += *it;
            rest += text.sliced(next);
            return out + ReplaceEach(rest, find, replacement);
        }
        if (pending.empty()) {
            out += text[next++];
        } else {
            out += pending.back();
            pending.pop_back();
        }
        if (out.back() == find.back() && out.endsWith(find)) {
            out.chop(find.size());
            pending.insert(pending.end(), replacement.crbegin(), replacement.crend());
            ++replacements;
        }
    }
    return out;
}
