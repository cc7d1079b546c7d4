// Opening a large page and typing into it.
#include "app/EditorViews.h"
#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "editor/SpellMarker.h"
#include "markup/SpellChecker.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A page of about the editor's limit: rows of markup and Czech text, CR LF line ends.
QByteArray largePage(int characters)
{
    const QByteArray row = Cp1250::encode(
        u"<TR><TD ALIGN=left><A HREF=\"stranka.html\">Příliš žluťoučký kůň</A></TD></TR>\r\n"_s);
    QByteArray page;
    while (page.size() + row.size() <= characters)
        page += row;
    page += QByteArray(characters - page.size(), 'x');
    return page;
}

struct PageFile
{
    QTemporaryDir dir;
    QString path;
    explicit PageFile(int characters)
    {
        path = dir.filePath(u"page.htm"_s);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(largePage(characters));
    }
};

void openPage(benchmark::State &state)
{
    PageFile file(int(state.range(0)));
    HtmlDocument document;
    EditorBuffer buffer(document);
    buffer.show();
    for (auto _ : state) {
        const TextFileResult r = readTextFile(file.path);
        document.loadText(r.text);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(openPage)->Arg(100000)->Arg(999999)->Unit(benchmark::kMillisecond);

void getText(benchmark::State &state)
{
    PageFile file(int(state.range(0)));
    HtmlDocument buffer;
    buffer.loadText(readTextFile(file.path).text);
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.GetText());
}
BENCHMARK(getText)->Arg(100000)->Arg(999999)->Unit(benchmark::kMillisecond);

void typeAtEnd(benchmark::State &state)
{
    PageFile file(int(state.range(0)));
    HtmlDocument document;
    EditorBuffer buffer(document);
    EditorKeyOptions keys;
    buffer.setKeyOptions(keys);
    buffer.show();
    document.loadText(readTextFile(file.path).text);
    document.SetSelStart(document.textLength());
    for (auto _ : state) {
        QTest::keyClick(&buffer, Qt::Key_A);
        state.PauseTiming();
        document.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(typeAtEnd)->Arg(100000)->Arg(999999)->Unit(benchmark::kMicrosecond);

// A key typed into a large page up to the repainted screen: the key, the work it leaves
// for the event loop (the spelling marks of the line when spelling is on) and a paint.
// Arguments: page length, spelling off (0) or on (1).
void typeAndRepaint(benchmark::State &state)
{
    static SpellChecker checker;
    const bool spelling = state.range(1) != 0;
    if (spelling && !checker.isLoaded()) {
        for (const SpellDictionary &d : installedDictionaries()) {
            if (d.name == DefaultSpellLanguage)
                checker.load(d);
        }
        if (!checker.isLoaded())
            state.SkipWithError("the Czech dictionary is not installed");
    }
    PageFile file(int(state.range(0)));
    HtmlDocument document;
    EditorBuffer buffer(document);
    buffer.resize(800, 600);
    buffer.show();
    SpellMarker *marker = spelling ? new SpellMarker(buffer, checker) : nullptr;
    document.loadText(readTextFile(file.path).text);
    document.SetSelStart(document.textLength() / 2);
    buffer.ensureCursorVisible();
    if (marker)
        marker->finish();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(&buffer, Qt::Key_A);
        QCoreApplication::processEvents(); // the marks of the line typed in
        buffer.viewport()->repaint();
        state.PauseTiming();
        document.Undo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(typeAndRepaint)
    ->Args({100000, 0})->Args({100000, 1})->Args({999999, 0})->Args({999999, 1})
    ->Unit(benchmark::kMicrosecond);

// A generated page: one line of minified markup, tags with attributes and Czech text.
QString oneLinePage(int characters)
{
    const QString item =
        u"<div class=\"item\" id=\"c%1\"><a href=\"/clanek/%1.html\" title=\"Článek\">"
        u"Příliš žluťoučký kůň úpěl</a><span class=\"date\">1.2.2026</span>"
        u"<img src=\"/img/%1.png\" alt=\"\" width=\"32\" height=\"32\"> text, "
        u"<b>tučně</b> a dál.</div>"_s;
    QString page;
    page.reserve(characters + 256);
    for (int i = 0; page.size() < characters; ++i)
        page += item.arg(i);
    page.truncate(characters);
    return page;
}

// A key typed into a page of one long line, coloured as the program colours a page it
// opens, with the editor's aids as the default settings have them, up to the repainted
// screen. Arguments: where the caret stands (0 start, 1 middle, 2 end), and the key
// (0 a letter, 1 Backspace).
void typeInOneLongLine(benchmark::State &state)
{
    const QString page = oneLinePage(950'000);
    const TSettings settings;
    HtmlDocument document;
    EditorBuffer buffer(document);
    buffer.setKeyOptions(EditorViews::keyOptionsOf(settings));
    buffer.resize(800, 600);
    buffer.show();
    document.loadText(page);
    ColorizeDocument(document, settings, {});
    const int where[] = {0, int(page.size()) / 2, int(page.size())};
    const int caret = where[state.range(0)];
    const Qt::Key key = state.range(1) == 0 ? Qt::Key_A : Qt::Key_Backspace;
    document.SetSelStart(caret);
    buffer.ensureCursorVisible();
    QCoreApplication::processEvents();
    buffer.viewport()->repaint();
    for (auto _ : state) {
        QTest::keyClick(&buffer, key);
        QCoreApplication::processEvents();
        buffer.viewport()->repaint();
        state.PauseTiming();
        document.Undo();
        document.SetSelStart(caret);
        QCoreApplication::processEvents();
        buffer.viewport()->repaint();
        state.ResumeTiming();
    }
}
BENCHMARK(typeInOneLongLine)
    ->Args({0, 0})->Args({1, 0})->Args({2, 0})->Args({1, 1})
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
