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

QString composeGradient(QStringView text, ColorValue start, ColorValue middle, ColorValue end,
                        bool onePerLine)
{
    // "<FONT COLOR=#RRGGBB>" + character + "</FONT>" (+ CR LF): 28 or 30 characters each.
    QString out;
    out.reserve(text.size() * (onePerLine ? 30 : 28));
    const int length = int(text.size());
    for (int p = 0; p < length; ++p) {
        out += u"<FONT COLOR=#"_s;
        out += ColorToHex(gradientColor(p, length, start, middle, end));
        out += u'>';
        out += text[p];
        out += u"</FONT>"_s;
        if (onePerLine)
            out += u"\r\n"_s;
    }
    return out;
}
