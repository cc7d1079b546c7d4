#include "tools/Gradient.h"

#include "markup/SysUt.h"

using namespace Qt::StringLiterals;

namespace {

int component(ColorValue color, int shift)
{
    return int((color >> shift) & 0xFF);
}

// One component between two colours, weight p of h towards the second.
int blend(int from, int to, int p, int h)
{
    return (from * (h - p) + to * p) / h;
}

} // namespace

ColorValue gradientColor(int p, int length, ColorValue start, ColorValue middle, ColorValue end)
{
    const int h = length / 2;
    if (h == 0)
        return start; // a single character: nothing to blend, and no division by zero
    ColorValue from = start;
    ColorValue to = middle;
    int weight = p;
    if (p > h) {
        from = middle;
        to = end;
        weight = p - h;
    }
    ColorValue result = 0;
    for (int shift : {0, 8, 16})
        result |= ColorValue(blend(component(from, shift), component(to, shift), weight, h))
                  << shift;
    return result;
}

namespace {

// What the gradient meets in the selected text.
enum class GradientPieceKind { Character, Markup, LineBreak };

struct GradientPiece
{
    GradientPieceKind kind;
    qsizetype length;
};

bool isEntityNameCharacter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

// Cuts the selected text into pieces. A tag or comment is markup that stays as written:
// split into coloured characters it would show as text and break the page. An entity is
// one character on the page, and so is a surrogate pair. A line break gets no colour:
// wrapped, its CR and LF each became a line break of their own.
class GradientPieces
{
public:
    explicit GradientPieces(QStringView text)
        : m_text(text), m_lastCommentEnd(text.lastIndexOf(u"-->"))
    {}

    // The piece that starts at at; every character is looked at a bounded number of
    // times, so a long selection full of stray '<' stays linear.
    GradientPiece startingAt(qsizetype at) const
    {
        const QStringView text = m_text;
        const QChar c = text[at];
        const qsizetype rest = text.size() - at;
        if (c == u'\r')
            return {GradientPieceKind::LineBreak, rest > 1 && text[at + 1] == u'\n' ? 2 : 1};
        if (c == u'\n')
            return {GradientPieceKind::LineBreak, 1};
        if (c == u'<' && rest > 1) {
            const QChar next = text[at + 1];
            if (text.mid(at).startsWith(u"<!--")) {
                if (m_lastCommentEnd >= at + 4)
                    return {GradientPieceKind::Markup,
                            text.indexOf(u"-->", at + 4) + 3 - at};
            } else if (next.isLetter() || next == u'/' || next == u'!' || next == u'?') {
                // A '<' before the '>' means this one was no tag.
                for (qsizetype end = at + 1; end < text.size() && text[end] != u'<'; ++end) {
                    if (text[end] == u'>')
                        return {GradientPieceKind::Markup, end + 1 - at};
                }
            }
        }
        if (c == u'&') {
            // "&amp;", "&#283;", "&#x11B;": letters and digits up to the semicolon.
            qsizetype end = at + 1;
            if (end < text.size() && text[end] == u'#')
                ++end;
            const qsizetype nameStart = end;
            while (end < text.size() && end - at < 40 && isEntityNameCharacter(text[end]))
                ++end;
            if (end > nameStart && end < text.size() && text[end] == u';')
                return {GradientPieceKind::Character, end + 1 - at};
        }
        if (c.isHighSurrogate() && rest > 1 && text[at + 1].isLowSurrogate())
            return {GradientPieceKind::Character, 2};
        return {GradientPieceKind::Character, 1};
    }

private:
    QStringView m_text;
    qsizetype m_lastCommentEnd;
};

} // namespace

QString composeGradient(QStringView text, ColorValue start, ColorValue middle, ColorValue end,
                        bool onePerLine)
{
    const GradientPieces pieces(text);
    int length = 0;
    for (qsizetype at = 0; at < text.size();) {
        const GradientPiece piece = pieces.startingAt(at);
        if (piece.kind == GradientPieceKind::Character)
            ++length;
        at += piece.length;
    }
    // "<FONT COLOR=#RRGGBB>" + character + "</FONT>" (+ CR LF): 28 or 30 characters each.
    QString out;
    out.reserve(text.size() * (onePerLine ? 30 : 28));
    int p = 0;
    for (qsizetype at = 0; at < text.size();) {
        const GradientPiece piece = pieces.startingAt(at);
        const QStringView written = text.mid(at, piece.length);
        at += piece.length;
        if (piece.kind != GradientPieceKind::Character) {
            out += written;
            continue;
        }
        out += u"<FONT COLOR=#"_s;
        out += ColorToHex(gradientColor(p++, length, start, middle, end));
        out += u'>';
        out += written;
        out += u"</FONT>"_s;
        if (onePerLine)
            out += u"\r\n"_s;
    }
    return out;
}
