#pragma once

#include <QString>

// The pair of texts an element dialog leaves for its caller: the opening part goes before
// the selection, the closing part after it.
struct Markup
{
    QString opening;
    QString closing;
    bool operator==(const Markup &) const = default;
};
