#pragma once

#include "editor/ColorRun.h"
#include "markup/ColorValue.h"

#include <QString>
#include <QStringView>

#include <functional>
#include <vector>

class HtmlDocument;
struct TSettings;

// The six colours of the syntax colouring, as the settings hold them.
struct SyntaxColors
{
    ColorValue text = 0;
    ColorValue tag = 0;
    ColorValue image = 0;
    ColorValue link = 0;
    ColorValue script = 0;
    ColorValue style = 0;

    static SyntaxColors fromSettings(const TSettings &settings);
};

// A stretch of text and its colour, in offsets of the scanned text: the buffer takes the
// scan's runs as they are.
using SyntaxRun = ColorRun;

// Colours a whole text in one pass: tags by their names, script and style blocks in their
// colours, the rest as plain text. The runs cover the text without gaps, in order, and
// neighbours never share a colour.
std::vector<SyntaxRun> ColorizeScan(QStringView text, const SyntaxColors &colors);

// Recolours the whole buffer in one step under a busy cursor. The text, the caret and the
// modified flag stay as they were; status receives "Koloruje se text...!" and "Hotovo!".
void ColorizeDocument(HtmlDocument &buffer, const TSettings &settings,
                      const std::function<void(const QString &)> &status);

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
