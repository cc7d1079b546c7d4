#include "editor/ColorizeCode.h"

#include <algorithm>
#include <array>
#include <string_view>

using namespace Qt::StringLiterals;

namespace {

bool codeIsBlank(QChar c)
{
    return c.unicode() <= 32;
}

bool codeIsLineBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::ParagraphSeparator
        || c == QChar::LineSeparator;
}

bool codeIsDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Letters of any script, digits, "_" and "$" make a script's names.
bool codeIsNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

char16_t codeLower(QChar c)
{
    const char16_t u = c.unicode();
    return u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u;
}

// Compares a piece of text with a lower-case ASCII word, upper-case letters alike.
bool codeStartsWithWord(QStringView text, qsizetype at, std::u16string_view word)
{
    if (at + qsizetype(word.size()) > text.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i) {
        if (codeLower(text[at + qsizetype(i)]) != word[i])
            return false;
    }
    return true;
}

// Where the comment that starts at "/*" ends, after its "*/" (or at the end of the code).
qsizetype blockCommentEnd(QStringView code, qsizetype at)
{
    const qsizetype close = code.indexOf(u"*/", at + 2);
    return close < 0 ? code.size() : close + 2;
}

// The script's reserved words and literal names, sorted for the binary search.
constexpr std::array<std::u16string_view, 45> kScriptKeywords = {
    u"async",    u"await",      u"break",  u"case",   u"catch",  u"class",  u"const",
    u"continue", u"debugger",   u"default", u"delete", u"do",    u"else",   u"enum",
    u"export",   u"extends",    u"false",  u"finally", u"for",   u"function", u"if",
    u"import",   u"in",         u"instanceof", u"let", u"new",   u"null",   u"of",
    u"return",   u"static",     u"super",  u"switch", u"this",   u"throw",  u"true",
    u"try",      u"typeof",     u"undefined", u"var", u"void",   u"while",  u"with",
    u"yield",    u"NaN",        u"Infinity"};

bool isScriptKeyword(QStringView name)
{
    static const auto sorted = [] {
        auto words = kScriptKeywords;
        std::sort(words.begin(), words.end());
        return words;
    }();
    if (name.size() > 10)
        return false;
    const std::u16string_view key(reinterpret_cast<const char16_t *>(name.utf16()),
                                  size_t(name.size()));
    return std::binary_search(sorted.begin(), sorted.end(), key);
}

// At-rules whose braces hold rules with selectors, not declarations.
bool atRuleHoldsRules(QStringView name)
{
    static constexpr std::u16string_view kNesting[] = {
        u"@media", u"@supports", u"@document", u"@-moz-document", u"@layer", u"@container",
        u"@scope", u"@starting-style"};
    for (std::u16string_view word : kNesting) {
        if (name.size() == qsizetype(word.size()) && codeStartsWithWord(name, 0, word))
            return true;
    }
    return name.endsWith(u"keyframes"_s, Qt::CaseInsensitive);
}

// The part of a style sheet the next characters belong to.
enum class SheetPart { Selector, Property, Value };

class SheetScanner
{
public:
    SheetScanner(QStringView code, qsizetype start, const SyntaxColors &colors,
                 ColorRunSink &sink, bool declarationsOnly)
        : m_code(code), m_start(start), m_colors(colors), m_sink(sink)
        , m_declarationsOnly(declarationsOnly)
        , m_part(declarationsOnly ? SheetPart::Property : SheetPart::Selector)
    {
    }

    void run()
    {
        qsizetype i = 0;
        const qsizetype size = m_code.size();
        while (i < size) {
            const QChar c = m_code[i];
            if (c == u'/' && i + 1 < size && m_code[i + 1] == u'*') {
                const qsizetype end = blockCommentEnd(m_code, i);
                paint(i, end, m_colors.cssComment);
                i = end;
            } else if (c == u'{' || c == u'}' || c == u';' || c == u':') {
                punctuation(i, c);
                ++i;
            } else {
                i = word(i);
            }
        }
    }

private:
    void paint(qsizetype from, qsizetype to, ColorValue color)
    {
        m_sink.add(m_start + from, to - from, color);
    }

    void punctuation(qsizetype at, QChar c)
    {
        // A colon in a selector belongs to it (a:hover).
        if (c == u':' && m_part != SheetPart::Property) {
            paint(at, at + 1, m_part == SheetPart::Selector ? m_colors.cssSelector : m_colors.cssValue);
            return;
        }
        paint(at, at + 1, m_colors.style);
        const SheetPart outside = m_declarationsOnly ? SheetPart::Property : SheetPart::Selector;
        if (c == u'{') {
            if (m_part == SheetPart::Selector && m_atRule) {
                ++m_nestedRules; // the braces hold more rules
            } else {
                m_part = SheetPart::Property;
            }
            m_selectorSeen = false;
        } else if (c == u'}') {
            if (m_part == SheetPart::Selector && m_nestedRules > 0)
                --m_nestedRules;
            m_part = outside;
            m_selectorSeen = false;
        } else if (c == u';') {
            m_part = m_part == SheetPart::Selector ? SheetPart::Selector : SheetPart::Property;
            m_selectorSeen = false;
        } else {
            m_part = SheetPart::Value;
        }
    }

    // Colours the characters up to the next one that changes the part, and returns there.
    qsizetype word(qsizetype from)
    {
        const qsizetype size = m_code.size();
        qsizetype i = from;
        if (m_part == SheetPart::Selector && !m_selectorSeen) {
            while (i < size && codeIsBlank(m_code[i]))
                ++i;
            if (i < size && m_code[i] == u'@') {
                qsizetype end = i + 1;
                while (end < size && (m_code[end].isLetterOrNumber() || m_code[end] == u'-'))
                    ++end;
                m_atRule = atRuleHoldsRules(m_code.sliced(i, end - i));
            } else {
                m_atRule = false;
            }
            m_selectorSeen = i < size;
        }
        const ColorValue color = m_part == SheetPart::Selector ? m_colors.cssSelector
                               : m_part == SheetPart::Property ? m_colors.cssProperty
                                                               : m_colors.cssValue;
        while (i < size) {
            const QChar c = m_code[i];
            if (c == u'{' || c == u'}' || c == u';' || c == u':')
                break;
            if (c == u'/' && i + 1 < size && m_code[i + 1] == u'*')
                break;
            if ((c == u'"' || c == u'\'') && m_part != SheetPart::Property) {
                // A quoted string ("a;b", a URL) is one piece, up to its quote or the line's end.
                ++i;
                while (i < size && m_code[i] != c && !codeIsLineBreak(m_code[i]))
                    i += m_code[i] == u'\\' ? 2 : 1;
                i = std::min(i + 1, size);
                continue;
            }
            ++i;
        }
        i = std::max(i, from + 1);
        paint(from, std::min(i, size), color);
        return i;
    }

    QStringView m_code;
    qsizetype m_start;
    const SyntaxColors &m_colors;
    ColorRunSink &m_sink;
    bool m_declarationsOnly;
    SheetPart m_part;
    bool m_selectorSeen = false;
    bool m_atRule = false;
    int m_nestedRules = 0;
};

// Where a quoted string of a script that starts at its quote ends: after the closing quote,
// or at the line's end for one never closed (a template string goes on over lines).
qsizetype scriptStringEnd(QStringView code, qsizetype at)
{
    const QChar quote = code[at];
    const qsizetype size = code.size();
    qsizetype i = at + 1;
    while (i < size) {
        const QChar c = code[i];
        if (c == u'\\') {
            i += 2;
        } else if (c == quote) {
            return i + 1;
        } else if (quote != u'`' && codeIsLineBreak(c)) {
            return i;
        } else {
            ++i;
        }
    }
    return size;
}

} // namespace

void colorStyleSheet(QStringView code, qsizetype start, const SyntaxColors &colors,
                     ColorRunSink &sink, bool declarationsOnly)
{
    SheetScanner(code, start, colors, sink, declarationsOnly).run();
}

void colorScript(QStringView code, qsizetype start, const SyntaxColors &colors,
                 ColorRunSink &sink)
{
    const qsizetype size = code.size();
    auto emitRun = [&](qsizetype from, qsizetype to, ColorValue color) {
        sink.add(start + from, to - from, color);
    };
    qsizetype i = 0;
    while (i < size) {
        const QChar c = code[i];
        const QChar next = i + 1 < size ? code[i + 1] : QChar();
        qsizetype end = i + 1;
        ColorValue color = colors.script;
        if (c == u'/' && next == u'/') {
            end = i + 2;
            while (end < size && !codeIsLineBreak(code[end]))
                ++end;
            color = colors.jsComment;
        } else if (c == u'/' && next == u'*') {
            end = blockCommentEnd(code, i);
            color = colors.jsComment;
        } else if (c == u'"' || c == u'\'' || c == u'`') {
            end = scriptStringEnd(code, i);
            color = colors.jsString;
        } else if (codeIsDigit(c) || (c == u'.' && codeIsDigit(next))) {
            // 12, 0x1F, 1.5e3, .5: digits and the letters and points they carry.
            while (end < size && (codeIsNameChar(code[end]) || code[end] == u'.'))
                ++end;
            color = colors.jsNumber;
        } else if (codeIsNameChar(c)) {
            while (end < size && codeIsNameChar(code[end]))
                ++end;
            // A name after a point is a property (x.default), never a keyword.
            const bool property = i > 0 && code[i - 1] == u'.';
            if (!property && isScriptKeyword(code.sliced(i, end - i)))
                color = colors.jsKeyword;
        } else {
            while (end < size && !codeIsNameChar(code[end]) && code[end] != u'/'
                   && code[end] != u'"' && code[end] != u'\'' && code[end] != u'`')
                ++end;
        }
        emitRun(i, end, color);
        i = end;
    }
}

std::pair<qsizetype, qsizetype> styleAttributeValue(QStringView tag)
{
    // Only a start tag has attributes, and an attribute needs its "=".
    if (tag.size() < 9 || tag[1] == u'/' || tag[1] == u'!' || !tag.contains(u'='))
        return {0, 0};
    const qsizetype size = tag.size() - 1; // before the ">"
    qsizetype i = 1;
    while (i < size) {
        const QChar c = tag[i];
        if (c == u'"' || c == u'\'') {
            const qsizetype close = tag.indexOf(c, i + 1);
            i = close < 0 ? size : close + 1;
            continue;
        }
        if (codeIsBlank(tag[i - 1]) && codeStartsWithWord(tag, i, u"style")) {
            qsizetype j = i + 5;
            while (j < size && codeIsBlank(tag[j]))
                ++j;
            if (j < size && tag[j] == u'=') {
                ++j;
                while (j < size && codeIsBlank(tag[j]))
                    ++j;
                if (j < size && (tag[j] == u'"' || tag[j] == u'\'')) {
                    const qsizetype close = tag.indexOf(tag[j], j + 1);
                    return {j + 1, close < 0 ? size : close};
                }
                qsizetype end = j;
                while (end < size && !codeIsBlank(tag[end]))
                    ++end;
                return {j, end};
            }
        }
        ++i;
    }
    return {0, 0};
}
