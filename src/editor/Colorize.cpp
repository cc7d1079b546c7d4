#include "editor/Colorize.h"

#include "editor/HtmlDocument.h"
#include "editor/TextOffsets.h"
#include "interaction/BusyCursor.h"
#include "markup/CodePages.h"
#include "settings/TSettings.h"

#include <QFont>

using namespace Qt::StringLiterals;

namespace {

// The whole text takes the editor font at the document's current size. Changing the font
// lays the whole text out again, so it happens only when the face differs.
void applyEditorFont(HtmlDocument &buffer, const TSettings &settings)
{
    if (buffer.editorFont().family() == settings.EditFont)
        return;
    QFont font = buffer.editorFont();
    font.setFamily(settings.EditFont);
    buffer.setEditorFont(font);
}

// The whole text's colour runs, as the buffer applies them.
std::vector<ColorRun> scannedRuns(const HtmlDocument &buffer, const TSettings &settings)
{
    return ColorizeScan(buffer.GetText(), SyntaxColors::fromSettings(settings));
}

} // namespace

void ColorizeDocument(HtmlDocument &buffer, const TSettings &settings,
                      const std::function<void(const QString &)> &status)
{
    auto report = [&](const QString &text) {
        if (status)
            status(text);
    };
    buffer.cancelBackgroundColouring(); // everything is coloured from scratch here
    const bool wasModified = buffer.IsModified();
    {
        BusyCursor busy;
        report(u"Koloruje se text...!"_s);
        applyEditorFont(buffer, settings);
        buffer.applyColorRuns(scannedRuns(buffer, settings));
        buffer.SetModified(wasModified);
    }
    report(u"Hotovo!"_s);
}

PrescannedColours prescanColours(const QString &loadedText, const SyntaxColors &colors)
{
    // The text as the buffer gives it back has CR LF for every line break. A text read from
    // a file has no other breaks, unless it holds a Unicode line or paragraph separator.
    if (onlyCrLfBreaks(loadedText))
        return {int(loadedText.size()), ColorizeScan(loadedText, colors)};
    QString text = toControlText(loadedText);
    text.replace(u'\n', u"\r\n"_s);
    return {int(text.size()), ColorizeScan(text, colors)};
}

void ColorizeDocumentInBackground(HtmlDocument &buffer, const TSettings &settings,
                                  const std::function<void(const QString &)> &status,
                                  PrescannedColours prescanned)
{
    buffer.cancelBackgroundColouring();
    if (status) {
        status(u"Koloruje se text...!"_s);
        QObject::connect(&buffer, &HtmlDocument::backgroundColouringFinished, &buffer,
                         [status] { status(u"Hotovo!"_s); }, Qt::SingleShotConnection);
    }
    applyEditorFont(buffer, settings);
    // The length tells a text the buffer changed in loading (a character it takes for a line
    // break) from the one scanned.
    if (prescanned.textLength == buffer.textLength())
        buffer.colorInBackground(prescanned.runs);
    else
        buffer.colorInBackground(scannedRuns(buffer, settings));
}
