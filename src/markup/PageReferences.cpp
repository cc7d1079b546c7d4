#include "markup/PageReferences.h"

#include "markup/ElementContract.h"
#include "markup/Html5Markup.h"
#include "markup/SysUt.h"

#include <QUrl>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// Which attribute of which element names a file, and how the file is used.
struct ReferenceRule
{
    QStringView element;
    QStringView attribute;
    bool embedded;
    bool frame;
};

constexpr ReferenceRule kRules[] = {
    {u"A", u"HREF", false, false},       {u"AREA", u"HREF", false, false},
    {u"IMG", u"SRC", true, false},       {u"IMG", u"LOWSRC", true, false},
    {u"IMG", u"DYNSRC", true, false},    {u"IMG", u"USEMAP", false, false},
    {u"INPUT", u"SRC", true, false},     {u"FRAME", u"SRC", true, true},
    {u"IFRAME", u"SRC", true, true},     {u"SCRIPT", u"SRC", true, false},
    {u"EMBED", u"SRC", true, false},     {u"BGSOUND", u"SRC", true, false},
    {u"OBJECT", u"DATA", true, false},   {u"APPLET", u"ARCHIVE", true, false},
    {u"VIDEO", u"SRC", true, false},     {u"VIDEO", u"POSTER", true, false},
    {u"AUDIO", u"SRC", true, false},     {u"SOURCE", u"SRC", true, false},
    {u"TRACK", u"SRC", true, false},
};

PageReference reference(const QString &value, qsizetype offset, const QString &element,
                        const QString &attribute, bool embedded = false)
{
    PageReference ref;
    ref.value = value;
    ref.offset = offset;
    ref.element = element;
    ref.attribute = attribute;
    ref.embedded = embedded;
    return ref;
}

bool startsWithAt(QStringView text, qsizetype at, QStringView what)
{
    return text.size() - at >= what.size()
           && text.sliced(at, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

// The ">" that ends the start tag at lt: the first one outside double quotes; a tag with
// an odd number of quotes ends at its first ">", as browsers of old read it.
qsizetype tagEnd(QStringView text, qsizetype lt)
{
    bool quoted = false;
    const qsizetype limit = text.indexOf(u'<', lt + 1);
    for (qsizetype i = lt + 1; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'"')
            quoted = !quoted;
        else if (c == u'>' && !quoted)
            return i;
        // A quote left open runs into the next tag: fall back to the first ">".
        if (quoted && limit >= 0 && i > limit)
            break;
    }
    return text.indexOf(u'>', lt + 1);
}

// The value without surrounding blanks and single quotes, with its start moved to match.
void trimValue(QString &value, qsizetype &start)
{
    qsizetype from = 0;
    qsizetype to = value.size();
    while (from < to && IsBlank(value[from]))
        ++from;
    while (to > from && IsBlank(value[to - 1]))
        --to;
    if (to - from >= 2 && value[from] == u'\'' && value[to - 1] == u'\'') {
        ++from;
        --to;
    }
    start += from;
    value = value.sliced(from, to - from);
}

void scanStartTag(QStringView text, qsizetype lt, qsizetype gt, PageScan &scan)
{
    const QStringView tag = text.sliced(lt, gt - lt + 1);
    const QString element = startTagName(tag);
    const QList<AttributeReader::Located> attributes = AttributeReader(tag).valuedAttributes();
    auto valueOf = [&attributes](QStringView name) -> QString {
        for (const AttributeReader::Located &a : attributes) {
            if (a.name.compare(name, Qt::CaseInsensitive) == 0)
                return a.value;
        }
        return {};
    };
    for (const AttributeReader::Located &a : attributes) {
        const QString attribute = AsciiUpperCase(a.name);
        QString value = a.value;
        qsizetype start = lt + a.valueStart;
        trimValue(value, start);
        if (attribute == u"ID"_s || (attribute == u"NAME"_s && (element == u"A"_s || element == u"MAP"_s))) {
            scan.anchors << value;
            continue;
        }
        if (attribute == u"STYLE"_s) {
            scan.references << scanStyleText(value, start);
            continue;
        }
        if (element == u"BASE"_s) {
            // Only the first BASE with an address counts, as browsers read it.
            if (attribute == u"HREF"_s && scan.baseOffset < 0 && !value.trimmed().isEmpty()) {
                scan.base = value;
                scan.baseOffset = start;
            }
            continue;
        }
        if (attribute == u"SRCSET"_s && (element == u"IMG"_s || element == u"SOURCE"_s)) {
            // Each file of the set is a reference of its own, found where it is written.
            qsizetype from = 0;
            for (const SrcsetEntry &entry : parseSrcset(value)) {
                const qsizetype at = value.indexOf(entry.file, from);
                from = at + entry.file.size();
                scan.references << reference(entry.file, start + at, element, attribute, true);
            }
            continue;
        }
        PageReference ref = reference(value, start, element, attribute);
        if (attribute == u"BACKGROUND"_s) {
            ref.embedded = true;
        } else if (element == u"LINK"_s && attribute == u"HREF"_s) {
            ref.styleSheet = valueOf(u"REL").contains(u"stylesheet"_s, Qt::CaseInsensitive);
            ref.embedded = ref.styleSheet;
        } else if (element == u"APPLET"_s && (attribute == u"CODE"_s || attribute == u"ARCHIVE"_s)) {
            // CODE may name a class rather than its file; only a ".class" file is checked.
            if (attribute == u"CODE"_s && !value.endsWith(u".class"_s, Qt::CaseInsensitive))
                continue;
            ref.embedded = true;
            ref.base = valueOf(u"CODEBASE").trimmed();
        } else {
            const auto rule = std::find_if(std::begin(kRules), std::end(kRules),
                                           [&](const ReferenceRule &r) {
                                               return r.element == element && r.attribute == attribute;
                                           });
            if (rule == std::end(kRules))
                continue;
            ref.embedded = rule->embedded;
            ref.frame = rule->frame;
        }
        scan.references << ref;
    }
}

// One quoted string or unquoted url body starting at i; i moves past it.
bool readStyleValue(QStringView text, qsizetype &i, bool inUrl, QString &value, qsizetype &start)
{
    const qsizetype size = text.size();
    while (i < size && IsBlank(text[i]))
        ++i;
    if (i >= size)
        return false;
    const QChar quote = text[i];
    if (quote == u'"' || quote == u'\'') {
        const qsizetype close = text.indexOf(quote, i + 1);
        if (close < 0)
            return false;
        start = i + 1;
        value = text.sliced(i + 1, close - i - 1).toString();
        i = close + 1;
        return true;
    }
    if (!inUrl)
        return false;
    const qsizetype close = text.indexOf(u')', i);
    if (close < 0)
        return false;
    start = i;
    value = text.sliced(i, close - i).toString();
    qsizetype from = 0;
    trimValue(value, from);
    start += from;
    i = close + 1;
    return true;
}

} // namespace

QList<PageReference> scanStyleText(QStringView text, qsizetype shift)
{
    QList<PageReference> found;
    const qsizetype size = text.size();
    bool afterImport = false;
    for (qsizetype i = 0; i < size;) {
        const QChar c = text[i];
        if (c == u'/' && i + 1 < size && text[i + 1] == u'*') {
            const qsizetype close = text.indexOf(u"*/", i + 2);
            i = close < 0 ? size : close + 2;
            continue;
        }
        if ((c == u'u' || c == u'U') && startsWithAt(text, i, u"url(")
            && (i == 0 || !text[i - 1].isLetterOrNumber())) {
            i += 4;
            QString value;
            qsizetype start = 0;
            if (readStyleValue(text, i, true, value, start) && !value.isEmpty()) {
                PageReference ref = reference(value, start + shift, u"url()"_s, {}, true);
                ref.styleSheet = afterImport;
                found << ref;
            }
            afterImport = false;
            continue;
        }
        if (c == u'@' && startsWithAt(text, i, u"@import")) {
            i += 7;
            qsizetype j = i;
            QString value;
            qsizetype start = 0;
            if (readStyleValue(text, j, false, value, start)) {
                PageReference ref = reference(value, start + shift, u"@import"_s, {}, true);
                ref.styleSheet = true;
                found << ref;
                i = j;
            } else {
                afterImport = true;
            }
            continue;
        }
        if (!IsBlank(c))
            afterImport = false;
        ++i;
    }
    return found;
}

PageScan scanPage(QStringView text)
{
    PageScan scan;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const qsizetype lt = text.indexOf(u'<', i);
        if (lt < 0 || lt + 1 >= size)
            break;
        if (startsWithAt(text, lt, u"<!--")) {
            const qsizetype close = text.indexOf(u"-->", lt + 4);
            i = close < 0 ? size : close + 3;
            continue;
        }
        const QChar next = text[lt + 1];
        if (next == u'!' || next == u'?' || next == u'/') {
            const qsizetype close = text.indexOf(u'>', lt + 1);
            i = close < 0 ? size : close + 1;
            continue;
        }
        if (!next.isLetter()) {
            i = lt + 1;
            continue;
        }
        const qsizetype gt = tagEnd(text, lt);
        if (gt < 0)
            break;
        scanStartTag(text, lt, gt, scan);
        i = gt + 1;
        const QString element = startTagName(text.sliced(lt, gt - lt + 1));
        // Script text may hold "<" freely, and a style block holds style text: neither is
        // markup, so both are passed over to their end tag.
        if (element == u"SCRIPT"_s || element == u"STYLE"_s) {
            const qsizetype close = text.indexOf(u"</"_s + element, i, Qt::CaseInsensitive);
            const qsizetype end = close < 0 ? size : close;
            if (element == u"STYLE"_s)
                scan.references << scanStyleText(text.sliced(i, end - i), i);
            i = end;
        }
    }
    return scan;
}

QString decodeEntities(QStringView text)
{
    if (!text.contains(u'&'))
        return text.toString();
    static const struct { QStringView name; char16_t ch; } named[] = {
        {u"amp", u'&'}, {u"lt", u'<'}, {u"gt", u'>'}, {u"quot", u'"'}, {u"apos", u'\''},
        {u"nbsp", u'\u00A0'},
    };
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype semi = text[i] == u'&' ? text.indexOf(u';', i + 1) : -1;
        if (semi < 0 || semi - i > 10) {
            out += text[i];
            continue;
        }
        const QStringView body = text.sliced(i + 1, semi - i - 1);
        bool done = false;
        if (body.startsWith(u'#')) {
            bool ok = false;
            const uint code = body.startsWith(u"#x", Qt::CaseInsensitive)
                                  ? body.sliced(2).toUInt(&ok, 16)
                                  : body.sliced(1).toUInt(&ok, 10);
            if (ok && code > 0 && code <= 0x10FFFF) {
                const char32_t c = code;
                out += QString::fromUcs4(&c, 1);
                done = true;
            }
        } else {
            for (const auto &n : named) {
                if (body == n.name) {
                    out += QChar(n.ch);
                    done = true;
                    break;
                }
            }
        }
        if (done)
            i = semi;
        else
            out += text[i];
    }
    return out;
}

ParsedReference parseReference(QStringView value)
{
    ParsedReference parsed;
    const QString v = decodeEntities(value).trimmed();
    if (v.isEmpty())
        return parsed;
    if (v.startsWith(u'#')) {
        parsed.form = ReferenceForm::InPage;
        parsed.hasFragment = true;
        parsed.fragment = QUrl::fromPercentEncoding(v.sliced(1).toUtf8());
        return parsed;
    }
    if (v.startsWith(u"\\\\"_s)) {
        parsed.form = ReferenceForm::DrivePath; // a Windows share
        return parsed;
    }
    if (v.startsWith(u"//"_s)) {
        parsed.form = ReferenceForm::External;
        return parsed;
    }
    if (v.size() >= 2 && v[0].isLetter() && v[0].unicode() < 128 && v[1] == u':'
        && (v.size() == 2 || v[2] == u'\\' || v[2] == u'/')) {
        parsed.form = ReferenceForm::DrivePath;
        return parsed;
    }
    const qsizetype colon = v.indexOf(u':');
    if (colon > 0) {
        const QStringView scheme = QStringView(v).first(colon);
        const bool isScheme = scheme[0].unicode() < 128 && scheme[0].isLetter()
                              && std::all_of(scheme.begin(), scheme.end(), [](QChar c) {
                                     return c.unicode() < 128
                                            && (c.isLetterOrNumber() || c == u'+' || c == u'-' || c == u'.');
                                 });
        const qsizetype slash = v.indexOf(u'/');
        if (isScheme && (slash < 0 || slash > colon)) {
            parsed.scheme = scheme.toString().toLower();
            parsed.form = parsed.scheme == u"file"_s ? ReferenceForm::FileUrl : ReferenceForm::External;
            return parsed;
        }
    }
    QString path = v;
    const qsizetype hash = path.indexOf(u'#');
    if (hash >= 0) {
        parsed.hasFragment = true;
        parsed.fragment = QUrl::fromPercentEncoding(path.sliced(hash + 1).toUtf8());
        path.truncate(hash);
    }
    const qsizetype query = path.indexOf(u'?');
    if (query >= 0)
        path.truncate(query);
    if (path.isEmpty()) {
        parsed.form = parsed.hasFragment ? ReferenceForm::InPage : ReferenceForm::Empty;
        return parsed;
    }
    parsed.form = ReferenceForm::Local;
    parsed.backslash = path.contains(u'\\');
    path.replace(u'\\', u'/');
    parsed.path = path.contains(u'%') ? QUrl::fromPercentEncoding(path.toUtf8()) : path;
    parsed.fromRoot = parsed.path.startsWith(u'/');
    return parsed;
}

bool resolveSegments(const QStringList &base, QStringView path, std::vector<PathSegment> &out)
{
    out.clear();
    for (const QString &name : base)
        out.push_back({name, -1});
    int written = 0;
    for (QStringView part : path.split(u'/')) {
        if (part == u".."_s) {
            if (out.empty())
                return false;
            out.pop_back();
        } else if (!part.isEmpty() && part != u"."_s) {
            out.push_back({part.toString(), written});
        }
        ++written;
    }
    return true;
}

LineIndex::LineIndex(QStringView text)
{
    m_starts.push_back(0);
    for (qsizetype i = text.indexOf(u'\n'); i >= 0; i = text.indexOf(u'\n', i + 1))
        m_starts.push_back(i + 1);
}

int LineIndex::line(qsizetype offset) const
{
    return int(std::upper_bound(m_starts.begin(), m_starts.end(), offset) - m_starts.begin());
}

int LineIndex::column(qsizetype offset) const
{
    return int(offset - m_starts[size_t(line(offset) - 1)] + 1);
}
