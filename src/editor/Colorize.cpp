#include "editor/Colorize.h"

#include "editor/EditorBuffer.h"
#include "settings/TSettings.h"

#include <QApplication>

using namespace Qt::StringLiterals;

namespace {
// Shows the busy cursor for as long as it lives.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};

// The whole text takes the editor font at the document's current size. Changing the font
// lays the whole text out again, so it happens only when the face differs.
void applyEditorFont(EditorBuffer &buffer, const TSettings &settings)
{
    if (buffer.font().family() == settings.EditFont)
        return;
    QFont font = buffer.font();
    font.setFamily(settings.EditFont);
    buffer.setEditorFont(font);
}

// The whole text's colour runs, as the buffer applies them.
std::vector<ColorRun> scannedRuns(const EditorBuffer &buffer, const TSettings &settings)
{
    const std::vector<SyntaxRun> scanned =
        ColorizeScan(buffer.GetText(), SyntaxColors::fromSettings(settings));
    std::vector<ColorRun> runs;
    runs.reserve(scanned.size());
    for (const SyntaxRun &run : scanned)
        runs.push_back({run.start, run.length, run.color});
    return runs;
}

} // namespace

void ColorizeDocument(EditorBuffer &buffer, const TSettings &settings,
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

void ColorizeDocumentInBackground(EditorBuffer &buffer, const TSettings &settings,
                                  const std::function<void(const QString &)> &status)
{
    buffer.cancelBackgroundColouring();
    if (status) {
        status(u"Koloruje se text...!"_s);
        QObject::connect(&buffer, &EditorBuffer::backgroundColouringFinished, &buffer,
                         [status] { status(u"Hotovo!"_s); }, Qt::SingleShotConnection);
    }
    applyEditorFont(buffer, settings);
    buffer.colorInBackground(scannedRuns(buffer, settings));
}
