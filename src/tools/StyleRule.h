#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"

#include <QString>
#include <QStringList>

#include <array>

// The fields of the style builder, widget-free: one value per declaration row, in the
// order the rule writes them. Labels are written as they stand, so a label with a trailing
// blank gives a blank before the colon.
struct StyleFields
{
    // One edge of the border: width, style and a colour switched on by its use-it box.
    struct Edge
    {
        QString width;
        QString style;
        Toggled<ColorValue> color{false, 0xFFFFFF};
    };

    // Rows 1-13 (text and font properties, background repeat and position).
    std::array<QString, 13> text;
    Toggled<ColorValue> color{false, 0xFFFFFF};           // row 14
    Toggled<ColorValue> backgroundColor{false, 0xFFFFFF}; // row 15
    // Rows 16-27 (margins, paddings, height, width, clear, float).
    std::array<QString, 12> placement;
    std::array<Edge, 4> edges; // rows 28-31: top, bottom, right, left
    QString borderWidth;       // row 32
    QString borderStyleLower;  // row 33
    QString borderStyleRight;  // row 34
    // Rows 35-37 (display, white-space, list-style-type).
    std::array<QString, 3> classification;
};

// The property labels of the plain rows, in output order.
const std::array<QString, 13> &styleTextLabels();
const std::array<QString, 12> &stylePlacementLabels();
const std::array<QString, 4> &styleEdgeLabels();
const std::array<QString, 3> &styleClassificationLabels();

// Every row that has a value (or a ticked colour) as "label:value;" and CR LF.
QString composeDeclarations(const StyleFields &fields);
// The sample element for the selector (blanks around it removed): "B", "B.x" or ".x".
QString styleSampleElement(const QString &selector, const QString &sampleText);
// The whole sample page the builder shows.
QString styleSamplePage(const QString &selector, const QString &declarations,
                        const QString &sampleText);
// The rule inserted before "</STYLE>": selector, CR LF, "{", the declarations, "}", CR LF.
QString composeStyleRule(const QString &selector, const QString &declarations);

// Writes the sample page to a private file in the user's cache folder (never a fixed name
// in a shared folder); its path, or empty when it could not be written.
QString writeStyleSample(const QString &page);
