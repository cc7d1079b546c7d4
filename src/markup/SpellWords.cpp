#include "markup/SpellWords.h"

#include <QString>

#include <cctype>

using namespace Qt::StringLiterals;

int SpellScanState::pack() const
{
    return int(mode) | (readableValue ? 0x10 : 0) | (int(afterTag) << 5);
}

SpellScanState SpellScanState::unpack(int packed)
{
    SpellScanState s;
    if (packed < 0)
        return s;
    s.mode = Mode(packed & 0x0f);
    s.readableValue = (packed & 0x10) != 0;
    s.afterTag = Mode((packed >> 5) & 0x0f);
    if (s.mode > Declaration)
        s.mode = Text;
    if (s.afterTag != Script && s.afterTag != Style)
        s.afterTag = Text;
    return s;
}

namespace {

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool isWordChar(QChar c)
{
    return c.isLetter() || c.isMark();
}

// Length of the character reference starting at i ("&nbsp;", "&#269;", "&#x10D;"), or 0
// when the "&" starts none. isLetter tells whether it stands for a letter, which glues it
// to the word around it; the others (spaces, dashes, quotes) part words as the characters
// they stand for would.
int referenceLength(QStringView s, int i, int end, bool *isLetter)
{
    int j = i + 1;
    if (j < end && s[j] == u'#') {
        ++j;
        const bool hex = j < end && (s[j] == u'x' || s[j] == u'X');
        if (hex)
            ++j;
        const int digitsFrom = j;
        while (j < end && (hex ? s[j].unicode() < 128 && isxdigit(s[j].unicode()) != 0
                               : s[j].isDigit()))
            ++j;
        if (j == digitsFrom || j - digitsFrom > 7)
            return 0;
        bool ok = false;
        const uint code = s.mid(digitsFrom, j - digitsFrom).toUInt(&ok, hex ? 16 : 10);
        *isLetter = ok && code < 0x110000 && QChar::isLetter(char32_t(code));
        if (j < end && s[j] == u';')
            ++j;
        return j - i;
    }
    const int nameFrom = j;
    while (j < end && (isAsciiLetter(s[j]) || (j > nameFrom && s[j].isDigit())))
        ++j;
    if (j - nameFrom < 2)
        return 0;
    static const QStringView separators[] = {
        u"nbsp", u"ndash", u"mdash", u"amp", u"lt", u"gt", u"quot", u"apos", u"hellip",
        u"shy", u"copy", u"reg", u"trade", u"bdquo", u"ldquo", u"rdquo", u"lsquo",
        u"rsquo", u"sbquo", u"laquo", u"raquo", u"thinsp", u"ensp", u"emsp", u"middot",
        u"bull", u"deg", u"times", u"zwj", u"zwnj"};
    const QStringView name = s.mid(nameFrom, j - nameFrom);
    *isLetter = true;
    for (QStringView sep : separators) {
        if (name.compare(sep, Qt::CaseInsensitive) == 0)
            *isLetter = false;
    }
    if (j < end && s[j] == u';')
        ++j;
    return j - i;
}

// Characters that join a word to more of an address or a name in code: "seznam.cz",
// "jan@firma.cz", "http://", "moje_stranka".
bool joinsAddress(QChar c)
{
    return c == u'.' || c == u'@' || c == u'/' || c == u':' || c == u'_' || c == u'\\'
           || c == u'=';
}

// The words of text[from, to): text between tags or a readable attribute value.
void wordsIn(QStringView s, int from, int to, bool apostrophes, std::vector<SpellWord> &out)
{
    int i = from;
    while (i < to) {
        const QChar c = s[i];
        bool refIsLetter = false;
        const int refLength = c == u'&' ? referenceLength(s, i, to, &refIsLetter) : 0;
        if (!isWordChar(c) && !c.isDigit() && !(refLength > 0 && refIsLetter)) {
            i += refLength > 0 ? refLength : 1;
            continue;
        }
        const int start = i;
        bool hasDigit = false, hasReference = false, hasLower = false;
        int letters = 0;
        while (i < to) {
            const QChar d = s[i];
            if (isWordChar(d)) {
                ++letters;
                hasLower = hasLower || !d.isUpper();
                ++i;
            } else if (d.isDigit()) {
                hasDigit = true;
                ++i;
            } else if (d == u'&') {
                bool letter = false;
                const int n = referenceLength(s, i, to, &letter);
                if (n == 0 || !letter)
                    break;
                hasReference = true;
                i += n;
            } else if ((d == u'-' || (apostrophes && (d == u'\'' || d == QChar(0x2019))))
                       && i + 1 < to && (isWordChar(s[i + 1]) || s[i + 1].isDigit())) {
                ++i;
            } else {
                break;
            }
        }
        // Part of an address, a file name or a name in code: not words of the language.
        const bool gluedBefore = start > from && joinsAddress(s[start - 1])
                                 && (s[start - 1] != u'.'
                                     || (start - 2 >= from && s[start - 2].isLetterOrNumber()));
        const bool gluedAfter = i + 1 < to && joinsAddress(s[i])
                                && (s[i + 1].isLetterOrNumber() || s[i + 1] == u'/');
        if (gluedAfter) {
            while (i < to && !s[i].isSpace())
                ++i;
            continue;
        }
        if (gluedBefore || hasDigit || hasReference || letters == 0)
            continue;
        if (!hasLower && letters > 1)
            continue; // an abbreviation in capitals
        out.push_back({start, i - start});
    }
}

bool startsWithAt(QStringView s, int i, QStringView what)
{
    return s.size() - i >= what.size()
           && s.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

int indexOfCaseless(QStringView s, int from, QStringView what)
{
    return int(s.indexOf(what, from, Qt::CaseInsensitive));
}

} // namespace

std::vector<SpellWord> findSpellWords(QStringView s, SpellScanState &state)
{
    using Mode = SpellScanState::Mode;
    std::vector<SpellWord> out;
    const int n = int(s.size());
    int i = 0;
    auto endTag = [&] {
        state.mode = state.afterTag;
        state.afterTag = Mode::Text;
        state.readableValue = false;
        ++i;
    };
    while (i < n) {
        switch (state.mode) {
        case Mode::Text: {
            int lt = int(s.indexOf(u'<', i));
            if (lt < 0)
                lt = n;
            wordsIn(s, i, lt, true, out);
            i = lt;
            if (i >= n)
                break;
            if (startsWithAt(s, i, u"<!--")) {
                state.mode = Mode::Comment;
                i += 4;
            } else if (i + 1 < n && (s[i + 1] == u'!' || s[i + 1] == u'?')) {
                state.mode = Mode::Declaration;
                i += 2;
            } else if (i + 1 < n && (isAsciiLetter(s[i + 1]) || s[i + 1] == u'/')) {
                ++i;
                const bool closing = s[i] == u'/';
                if (closing)
                    ++i;
                const int nameFrom = i;
                while (i < n && (s[i].isLetterOrNumber() || s[i] == u'-' || s[i] == u':'))
                    ++i;
                const QStringView name = s.mid(nameFrom, i - nameFrom);
                state.afterTag = Mode::Text;
                if (!closing && name.compare(u"script", Qt::CaseInsensitive) == 0)
                    state.afterTag = Mode::Script;
                else if (!closing && name.compare(u"style", Qt::CaseInsensitive) == 0)
                    state.afterTag = Mode::Style;
                state.mode = Mode::InTag;
            } else {
                ++i; // a "<" of the text, as in "a < b"
            }
            break;
        }
        case Mode::InTag: {
            const QChar c = s[i];
            if (c == u'>') {
                endTag();
            } else if (c.isLetter() || c == u'_' || c == u':') {
                const int nameFrom = i;
                while (i < n && !s[i].isSpace() && s[i] != u'=' && s[i] != u'>'
                       && s[i] != u'/')
                    ++i;
                const QStringView name = s.mid(nameFrom, i - nameFrom);
                state.readableValue = name.compare(u"alt", Qt::CaseInsensitive) == 0
                                      || name.compare(u"title", Qt::CaseInsensitive) == 0;
                state.mode = Mode::AfterAttrName;
            } else {
                ++i;
            }
            break;
        }
        case Mode::AfterAttrName:
            if (s[i].isSpace()) {
                ++i;
            } else if (s[i] == u'=') {
                state.mode = Mode::BeforeValue;
                ++i;
            } else {
                state.mode = Mode::InTag;
                state.readableValue = false;
            }
            break;
        case Mode::BeforeValue:
            if (s[i].isSpace()) {
                ++i;
            } else if (s[i] == u'"') {
                state.mode = Mode::DoubleQuoted;
                ++i;
            } else if (s[i] == u'\'') {
                state.mode = Mode::SingleQuoted;
                ++i;
            } else if (s[i] == u'>') {
                endTag();
            } else {
                const int from = i;
                while (i < n && !s[i].isSpace() && s[i] != u'>')
                    ++i;
                if (state.readableValue)
                    wordsIn(s, from, i, true, out);
                state.mode = Mode::InTag;
                state.readableValue = false;
            }
            break;
        case Mode::DoubleQuoted:
        case Mode::SingleQuoted: {
            const QChar quote = state.mode == Mode::DoubleQuoted ? u'"' : u'\'';
            int close = int(s.indexOf(quote, i));
            const int to = close < 0 ? n : close;
            if (state.readableValue)
                wordsIn(s, i, to, state.mode == Mode::DoubleQuoted, out);
            i = to;
            if (close >= 0) {
                ++i;
                state.mode = Mode::InTag;
                state.readableValue = false;
            }
            break;
        }
        case Mode::Comment: {
            const int close = int(s.indexOf(u"-->", i));
            if (close < 0) {
                i = n;
            } else {
                i = close + 3;
                state.mode = Mode::Text;
            }
            break;
        }
        case Mode::Script:
        case Mode::Style: {
            const QStringView end = state.mode == Mode::Script ? u"</script" : u"</style";
            const int close = indexOfCaseless(s, i, end);
            if (close < 0) {
                i = n;
            } else {
                i = close + int(end.size());
                state.mode = Mode::InTag;
                state.afterTag = Mode::Text;
            }
            break;
        }
        case Mode::Declaration: {
            const int close = int(s.indexOf(u'>', i));
            if (close < 0) {
                i = n;
            } else {
                i = close + 1;
                state.mode = Mode::Text;
            }
            break;
        }
        }
    }
    return out;
}

std::vector<SpellWord> findSpellWords(QStringView page)
{
    SpellScanState state;
    return findSpellWords(page, state);
}
