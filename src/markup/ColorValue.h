#pragma once

#include <QColor>

// A colour as the program stores and passes it: red in the low byte, green in the middle
// byte, blue in the high byte.
using ColorValue = int;

inline QColor toQColor(ColorValue value)
{
    return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF);
}

inline ColorValue toColorValue(const QColor &color)
{
    return color.red() | (color.green() << 8) | (color.blue() << 16);
}
