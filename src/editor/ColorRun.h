#pragma once

#include "markup/ColorValue.h"

// A stretch of text and its colour, in offsets that count a line break as CR LF.
struct ColorRun
{
    int start = 0;
    int length = 0;
    ColorValue color = 0;
    bool operator==(const ColorRun &) const = default;
};
