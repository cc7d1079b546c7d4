#pragma once

#include "editor/ColorRun.h"
#include "markup/ColorValue.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

class HtmlDocument;
struct TSettings;

// The colours of the syntax colouring, as the settings hold them. Inside a style block
// and a style attribute the selectors, properties, values and comments have colours of
// their own, the rest (braces, colons, semicolons) the style colour; inside a script block
// the keywords, strings, numbers and comments do, the rest takes the script colour.
struct SyntaxColors
{
    ColorValue text = 0;
    ColorValue tag = 0;
    ColorValue image = 0;
    ColorValue link = 0;
    ColorValue script = 0;
    ColorValue style = 0;
    ColorValue cssSelector = 0;
    ColorValue cssProperty = 0;
    ColorValue cssValue = 0;
    ColorValue cssComment = 0;
    ColorValue jsKeyword = 0;
    ColorValue jsString = 0;
    ColorValue jsNumber = 0;
    ColorValue jsComment = 0;

    static SyntaxColors fromSettings(const TSettings &settings);
};

// A stretch of text and its colour, in offsets of the scanned text: the buffer takes the
// scan's runs as they are.
using SyntaxRun = ColorRun;

// Colours a whole text in one pass: tags by their names, the code of script and style
// blocks and of style attributes by its parts, the rest as plain text. The runs cover the text without gaps, in order, and
// neighbours never share a colour.
std::vector<SyntaxRun> ColorizeScan(QStringView text, const SyntaxColors &colors);

// Recolours the whole buffer in one step under a busy cursor. The text, the caret and the
// modified flag stay as they were; status receives "Koloruje se text...!" and "Hotovo!".
void ColorizeDocument(HtmlDocument &buffer, const TSettings &settings,
                      const std::function<void(const QString &)> &status);

// Colours again, after an edit the user made at [from, to) (offsets after the edit), the
// style or script block or the tag with a style attribute the edit lies in, from its start
// tag to its end tag: a comment opened there colours on to its end, one closed stops
// there. Only characters whose colour changed are touched, and they go with the edit into
// its undo step. Edits in plain markup are left to the colour-as-you-type. True when it
// coloured.
bool recolourAfterEdit(HtmlDocument &buffer, const SyntaxColors &colors, int from, int to);

// The colours of a text about to be loaded into a buffer, scanned from the text itself:
// reading the text back from the buffer is another pass over the whole page.
struct PrescannedColours
{
    int textLength = -1; // of the buffer's text they were scanned from
    std::vector<SyntaxRun> runs;
};
PrescannedColours prescanColours(const QString &loadedText, const SyntaxColors &colors);

// Colours the whole buffer like ColorizeDocument, without holding up the user: what is on
// screen at once, the rest in short slices from the event loop (a page just opened).
// status receives "Koloruje se text...!" now and "Hotovo!" when the last slice is in.
// Prescanned colours are used when they belong to the buffer's text, else it is scanned.
void ColorizeDocumentInBackground(HtmlDocument &buffer, const TSettings &settings,
                                  const std::function<void(const QString &)> &status,
                                  PrescannedColours prescanned = {});
