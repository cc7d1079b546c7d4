#pragma once

#include "markup/ElementContract.h"
#include "markup/Html5Markup.h"
#include "markup/ImageSize.h"
#include "markup/Markup.h"

#include <QString>
#include <QStringList>

#include <optional>

// Image fields ("Vložit obrázek"): source, alignment, alternative text, the image map
// with its server-side switch, and the five numbers with their check boxes.
struct ImageFields
{
    QString src, align, useMap, alt;
    bool isMap = false;
    Toggled<int> width, height, vspace, hspace, border;
    // The files a browser picks from by the screen, the slot widths that guide it, and how
    // the picture loads: lazily when it comes near the view, decoded apart from the page.
    QList<SrcsetEntry> srcset{};
    QString sizes{};
    bool lazy = false;
    QString decoding{};
    // "Obrázek s popiskem": the picture goes into a FIGURE with its caption. Only an
    // insertion writes it; F7 edits the IMG inside.
    bool figure = false;
    QString caption{};
};

// '<IMG ' then SRC, ALIGN, ALT, USEMAP, WIDTH, HEIGHT, VSPACE, HSPACE, BORDER, SRCSET,
// SIZES, LOADING, DECODING, ' ISMAP ' and '>'; nothing closes it, unless the picture is in
// a figure: then the FIGURE opens before it and its FIGCAPTION follows. Each piece brings its own leading space, so a source gives
// '<IMG  SRC="a.gif">' with two spaces.
Markup composeImage(const ImageFields &fields);
// ISMAP first, then SRC, ALIGN, USEMAP, ALT, WIDTH, HEIGHT, VSPACE, HSPACE, BORDER, SRCSET,
// SIZES, LOADING (only "lazy": any other value stays among the leftovers) and DECODING.
TagRead<ImageFields> readImageTag(QStringView tag);

// The names of the page's image maps ('<MAP NAME=...>') in document order, duplicates
// kept, as USEMAP wants them: "#" and the name in the case the page writes it.
QStringList imageMapNames(QStringView text);

// The picture's size, or nothing when it cannot be measured (an unknown extension, a file
// that cannot be read or gives no size), so the fields keep what they had.
std::optional<PixelSize> measureImage(const QString &fileName);
