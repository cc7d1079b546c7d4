#include "editor/Colorize.h"

#include "editor/HtmlDocument.h"
#include "editor/TextOffsets.h"
#include "interaction/BusyCursor.h"
#include "markup/CodePages.h"
#include "settings/TSettings.h"

#include <QFont>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

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

// How far back an edit looks for the start tag of the block it lies in, and how far past
// the edit the colours are followed: a comment opened by a key colours on that far.
constexpr int kBlockLookBack = 32 * 1024;
constexpr int kColourLookAhead = 8 * 1024;

// A colour only the code inside blocks and style attributes has, so finding it beside an
// edit says the edit is in code. The markup's own colours never count.
bool isCodeColour(const SyntaxColors &colors, ColorValue color)
{
    if (color == colors.text || color == colors.tag || color == colors.link
        || color == colors.image)
        return false;
    for (ColorValue code : {colors.style, colors.script, colors.cssSelector, colors.cssProperty,
                            colors.cssValue, colors.cssComment, colors.jsKeyword,
                            colors.jsString, colors.jsNumber, colors.jsComment}) {
        if (color == code)
            return true;
    }
    return false;
}

// The last start tag of a style or script block in text, -1 when there is none.
qsizetype lastBlockStart(QStringView text)
{
    qsizetype best = -1;
    for (QStringView name : {QStringView(u"<style"), QStringView(u"<script")}) {
        qsizetype at = text.size();
        while (at > 0) {
            at = text.lastIndexOf(name, at - 1, Qt::CaseInsensitive);
            if (at < 0)
                break;
            const qsizetype after = at + name.size();
            if (after >= text.size() || text[after] == u' ' || text[after] == u'>') {
                best = std::max(best, at);
                break;
            }
        }
    }
    return best;
}

// The colour of every offset in [from, from + length) as the buffer shows it; line breaks,
// which carry no colour of their own, hold -1.
std::vector<ColorValue> shownColours(const HtmlDocument &buffer, int from, int length)
{
    std::vector<ColorValue> colours(size_t(length), -1);
    const QTextDocument &text = *buffer.textDocument();
    QTextBlock block = text.findBlock(positionOfOffset(text, from));
    while (block.isValid()) {
        const int lineOffset = block.position() + block.blockNumber();
        if (lineOffset >= from + length)
            break;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const ColorValue color = toColorValue(fragment.charFormat().foreground().color());
            const int start = lineOffset + fragment.position() - block.position();
            const int first = std::max(start, from);
            const int last = std::min(start + fragment.length(), from + length);
            for (int i = first; i < last; ++i)
                colours[size_t(i - from)] = color;
        }
        block = block.next();
    }
    return colours;
}

// Puts in the colours of the scanned stretch at from where they differ from those shown.
bool colourDifferences(HtmlDocument &buffer, int from, const std::vector<SyntaxRun> &runs)
{
    if (runs.empty())
        return false;
    const int length = runs.back().start + runs.back().length;
    const std::vector<ColorValue> shown = shownColours(buffer, from, length);
    int first = length;
    int last = -1;
    for (const SyntaxRun &run : runs) {
        for (int i = run.start; i < run.start + run.length; ++i) {
            const ColorValue now = shown[size_t(i)];
            if (now != -1 && now != run.color) {
                first = std::min(first, i);
                last = i;
            }
        }
    }
    if (last < 0)
        return false;
    std::vector<ColorRun> changed;
    for (const SyntaxRun &run : runs) {
        const int start = std::max(run.start, first);
        const int end = std::min(run.start + run.length, last + 1);
        if (end > start)
            changed.push_back({from + start, end - start, run.color});
    }
    buffer.colorWithLastEdit(changed);
    return true;
}

// Colours the tag around the edit when it has a style attribute; false when the edit is
// not in a tag or the tag has none.
bool recolourTagAround(HtmlDocument &buffer, const SyntaxColors &colors, int from, int to)
{
    const int lt = buffer.lastIndexBefore(from, u'<');
    if (lt < 0 || buffer.lastIndexBefore(from, u'>') > lt)
        return false;
    const int gt = buffer.firstIndexFrom(to, u'>');
    const int nextLt = buffer.firstIndexFrom(to, u'<');
    if (gt < 0 || (nextLt >= 0 && nextLt < gt))
        return false;
    const QString tag = buffer.textRange(lt, gt + 1 - lt);
    // A tag without a style attribute may still show the colours of one just removed.
    return colourDifferences(buffer, lt, ColorizeScan(tag, colors));
}

} // namespace

bool recolourAfterEdit(HtmlDocument &buffer, const SyntaxColors &colors, int from, int to)
{
    const int length = buffer.textLength();
    const ColorValue before = from > 0 ? buffer.colorAt(from - 1) : colors.text;
    const ColorValue after = to < length ? buffer.colorAt(to) : colors.text;
    const bool inCode = isCodeColour(colors, before) || isCodeColour(colors, after);
    const bool inTag = before == colors.tag || before == colors.link || before == colors.image;
    // A ">" may complete the start or end tag of a block.
    const bool closedTag = to > from && buffer.textRange(to - 1, 1) == u">"_s;
    if (!inCode && !closedTag) {
        return inTag && recolourTagAround(buffer, colors, from, to);
    }
    const int windowStart = std::max(0, from - kBlockLookBack);
    const QString lookBack = buffer.textRange(windowStart, from - windowStart);
    const qsizetype open = lastBlockStart(lookBack);
    if (open < 0)
        return recolourTagAround(buffer, colors, from, to);
    // From the block's start tag the scan knows where it stands: it colours the block, its
    // end and the markup after it as a whole page would be coloured.
    const int start = windowStart + int(open);
    // The stretch ends after a tag: one cut in two would be taken for text.
    int end = std::min(length, to + kColourLookAhead);
    if (end < length) {
        const int gt = buffer.firstIndexFrom(end, u'>');
        end = gt < 0 ? length : gt + 1;
    }
    const QString stretch = buffer.textRange(start, end - start);
    return colourDifferences(buffer, start, ColorizeScan(stretch, colors));
}

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
