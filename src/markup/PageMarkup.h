#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"
#include "markup/Markup.h"
#include "markup/MarkupStyle.h"

#include <QString>
#include <QStringList>

// The body of a new page ("Tělo dokumentu"): five colours (white until chosen), four
// margins, the background picture and whether it stays fixed.
struct BodyFields
{
    Toggled<ColorValue> bgColor{false, 0xFFFFFF};
    Toggled<ColorValue> text{false, 0xFFFFFF};
    Toggled<ColorValue> link{false, 0xFFFFFF};
    Toggled<ColorValue> aLink{false, 0xFFFFFF};
    Toggled<ColorValue> vLink{false, 0xFFFFFF};
    Toggled<int> topMargin, bottomMargin, rightMargin, leftMargin;
    QString background;
    bool fixedBackground = false;
};

// The whole new-page wizard: the document-type line, the title and the body.
struct PageFields
{
    QString docType;
    QString title = QStringLiteral("Bez titulku");
    // The language of an HTML5 page (its html element's LANG); HTML 4 pages never had it.
    QString lang = QStringLiteral("cs");
    BodyFields body;
};

// '<BODY ' with the colours, margins, BACKGROUND and ' BGPROPERTIES=FIXED', then '>';
// "</BODY>" closes it. With nothing set: '<BODY >'.
Markup composeBody(const BodyFields &fields);
// BGCOLOR, TEXT, LINK, ALINK, VLINK, the four margins, BGPROPERTIES (any value ticks the
// fixed background and is dropped), BACKGROUND.
TagRead<BodyFields> readBodyTag(QStringView tag);

// The document types the wizard offers; HTML5's first when pages are written in it.
QStringList documentTypes(MarkupStyle style = MarkupStyle::Html4);
