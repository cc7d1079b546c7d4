#pragma once

#include "markup/ColorValue.h"

#include <QString>
#include <QStringView>

// The colour of character p of a text of length L that runs from start through middle
// to end: each of red, green and blue on its own, in integer arithmetic truncating toward
// zero, h = L div 2. A one-character text takes the start colour.
ColorValue gradientColor(int p, int length, ColorValue start, ColorValue middle, ColorValue end);

// Every character of text in a FONT element of its gradient colour, with CR LF after each
// element when onePerLine. An entity is one character; tags, comments and line breaks are
// written as they are and take no colour. Composed once, in time linear in the text.
QString composeGradient(QStringView text, ColorValue start, ColorValue middle, ColorValue end,
                        bool onePerLine);
