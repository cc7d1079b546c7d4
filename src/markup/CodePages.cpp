#include "CodePages.h"

#include "markup/TagPairs.h"

#include <array>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Windows-1250, bytes 0x80-0xFF. The five bytes the code page leaves undefined map to the
// C1 control character of the same number, so they too survive a round trip.
constexpr std::array<char16_t, 128> kCp1250HighHalf = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

// ISO-8859-2, bytes 0x80-0xFF: the C1 control characters, then Latin-2. Every byte is
// defined, so every byte round-trips.
constexpr std::array<char16_t, 128> kIso88592HighHalf = {
    0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087,
    0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F,
    0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097,
    0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F,
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7,
    0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD, 0x017D, 0x017B,
    0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7,
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

enum class Escape { Html, Script, Style };

void appendEscaped(QByteArray &out, char32_t cp, Escape escape)
{
    switch (escape) {
    case Escape::Html:
        out.append("&#").append(QByteArray::number(quint32(cp))).append(';');
        return;
    case Escape::Script:
        // "\uXXXX", a character beyond the first plane as its two halves, as JavaScript's
        // strings and regular expressions take them.
        for (const QChar unit : QString::fromUcs4(&cp, 1))
            out.append("\\u").append(QByteArray::number(unit.unicode(), 16).toUpper().rightJustified(4, '0'));
        return;
    case Escape::Style:
        // The space ends the hexadecimal digits and is no part of the text.
        out.append('\\').append(QByteArray::number(quint32(cp), 16).toUpper()).append(' ');
        return;
    }
}

// A single-byte code page given by its upper half; the lower half is ASCII. Characters
// above U+007F are found through a reverse table indexed by code point - 0x80 up to
// U+02DD; the few beyond that range are looked up in the forward table.
class SingleByteCodec
{
public:
    explicit SingleByteCodec(const std::array<char16_t, 128> &highHalf)
        : m_high(highHalf)
    {
        for (int i = 0; i < 128; ++i) {
            const char16_t c = m_high[i];
            if (c >= 0x80 && c < kReverseEnd)
                m_reverse[c - 0x80] = static_cast<unsigned char>(0x80 + i);
        }
    }

    int byteFor(char32_t cp) const
    {
        if (cp < 0x80)
            return int(cp);
        if (cp < kReverseEnd) {
            const unsigned char b = m_reverse[cp - 0x80];
            return b ? int(b) : -1;
        }
        for (int i = 0; i < 128; ++i) {
            if (m_high[i] == cp)
                return 0x80 + i;
        }
        return -1;
    }

    QString decode(QByteArrayView bytes) const
    {
        // Qt widens bytes taken as Latin-1 with vector instructions; only the bytes from
        // 0x80 up then need their own characters. A character at a time took twice as long
        // for a megabyte page, most of which is ASCII.
        QString out = QString::fromLatin1(bytes);
        const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
        const qsizetype size = bytes.size();
        QChar *d = out.data();
        for (qsizetype i = nextNonAscii(bytes, 0); i < size; i = nextNonAscii(bytes, i + 1))
            d[i] = QChar(m_high[b[i] - 0x80]);
        return out;
    }

    // Characters the code page cannot hold become decimal character references, or the
    // escapes of JavaScript and CSS inside SCRIPT and STYLE, where a reference stays text.
    QByteArray encode(QStringView text) const
    {
        QByteArray out;
        out.reserve(text.size());
        std::optional<QList<RawTextSpan>> spans; // found at the first such character
        qsizetype span = 0;
        for (qsizetype i = 0; i < text.size(); ++i) {
            const qsizetype at = i;
            char32_t cp = text[i].unicode();
            if (QChar::isHighSurrogate(cp) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
                cp = QChar::surrogateToUcs4(text[i], text[i + 1]);
                ++i;
            }
            const int b = byteFor(cp);
            if (b >= 0) {
                out.append(char(b));
                continue;
            }
            if (!spans)
                spans = rawTextSpans(text);
            while (span < spans->size() && (*spans)[span].end <= at)
                ++span;
            const bool inside = span < spans->size() && (*spans)[span].start <= at;
            appendEscaped(out, cp, inside ? ((*spans)[span].script ? Escape::Script : Escape::Style) : Escape::Html);
        }
        return out;
    }

private:
    static constexpr char16_t kReverseEnd = 0x2DE;
    const std::array<char16_t, 128> &m_high;
    std::array<unsigned char, kReverseEnd - 0x80> m_reverse{};
};

const SingleByteCodec &cp1250Codec()
{
    static const SingleByteCodec codec(kCp1250HighHalf);
    return codec;
}

const SingleByteCodec &iso88592Codec()
{
    static const SingleByteCodec codec(kIso88592HighHalf);
    return codec;
}

} // namespace

namespace Cp1250 {

QString decode(QByteArrayView bytes)
{
    return cp1250Codec().decode(bytes);
}

bool canEncode(char32_t codePoint)
{
    return cp1250Codec().byteFor(codePoint) >= 0;
}

QByteArray encode(QStringView text)
{
    return cp1250Codec().encode(text);
}

} // namespace Cp1250

namespace Iso88592 {

QString decode(QByteArrayView bytes)
{
    return iso88592Codec().decode(bytes);
}

bool canEncode(char32_t codePoint)
{
    return iso88592Codec().byteFor(codePoint) >= 0;
}

QByteArray encode(QStringView text)
{
    return iso88592Codec().encode(text);
}

} // namespace Iso88592

qsizetype nextNonAscii(QByteArrayView bytes, qsizetype from)
{
    const auto *b = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    qsizetype i = from;
    // ASCII, most of every page, goes eight bytes at a time.
    for (quint64 word; i + 8 <= size; i += 8) {
        std::memcpy(&word, b + i, sizeof word);
        if ((word & 0x8080808080808080ULL) != 0)
            break;
    }
    while (i < size && b[i] < 0x80)
        ++i;
    return i;
}

bool onlyCrLfBreaks(QStringView text)
{
    // Every CR is followed by an LF and every LF follows a CR: the character at i is a CR
    // exactly when the one at i + 1 is an LF. U+2028 and U+2029 (the Unicode line and
    // paragraph separators) are breaks of their own.
    const char16_t *p = text.utf16();
    const qsizetype size = text.size();
    if (size == 0)
        return true;
    if (p[0] == u'\n')
        return false;
    auto separator = [](char16_t c) { return (c & 0xFFFE) == 0x2028; };
    qsizetype i = 0;
#if defined(__SSE2__)
    // Eight characters at a time and no branch for each: a page is checked up to three
    // times as it opens, and a search for each break took a millisecond a megabyte.
    const __m128i cr = _mm_set1_epi16(u'\r');
    const __m128i lf = _mm_set1_epi16(u'\n');
    const __m128i separatorBits = _mm_set1_epi16(short(0xFFFE));
    const __m128i separators = _mm_set1_epi16(0x2028);
    for (; i + 9 <= size; i += 8) {
        const __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i));
        const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + i + 1));
        const __m128i unpaired =
            _mm_xor_si128(_mm_cmpeq_epi16(here, cr), _mm_cmpeq_epi16(next, lf));
        const __m128i separate =
            _mm_cmpeq_epi16(_mm_and_si128(here, separatorBits), separators);
        if (_mm_movemask_epi8(_mm_or_si128(unpaired, separate)) != 0)
            return false;
    }
#endif
    for (; i + 1 < size; ++i) {
        if ((p[i] == u'\r') != (p[i + 1] == u'\n') || separator(p[i]))
            return false;
    }
    return p[size - 1] != u'\r' && !separator(p[size - 1]);
}

QString normalizeLineBreaks(const QString &text)
{
    if (onlyCrLfBreaks(text))
        return text;
    return normalizeLineBreaks(QStringView(text));
}

QString normalizeLineBreaks(QStringView text)
{
    // Pages mostly hold CR LF already: the stretches between two breaks are copied whole
    // rather than a character at a time, which took a third of opening a large page.
    QString out;
    out.reserve(text.size() + text.size() / 32);
    const QChar *p = text.data();
    const QChar *const end = p + text.size();
    const QChar *stretch = p;
    while (p != end) {
        const char16_t c = p->unicode();
        if (c != u'\r' && c != u'\n') {
            ++p;
            continue;
        }
        out.append(stretch, p - stretch);
        out.append(u"\r\n");
        p += (c == u'\r' && p + 1 != end && p[1] == u'\n') ? 2 : 1;
        stretch = p;
    }
    out.append(stretch, end - stretch);
    return out;
}
