// Colouring a large page, and finding the tag at its end.
#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A page of about 60 tags per thousand characters, with script and style blocks, cut to
// the given length.
QString makePage(int length)
{
    const QString paragraph =
        u"<P ALIGN=left>Text <B>bold</B> and <A HREF=\"x.html\">a link</A> <IMG SRC=\"a.gif\">\r\n"
        u"<TABLE BORDER=1><TR><TD>cell</TD><TD>more</TD></TR></TABLE><BR>\r\n"
        u"Some ordinary words of the page text, long enough to read like a paragraph.\r\n"_s;
    const QString script = u"<SCRIPT>\r\nif (a<b) { x(); }\r\n</SCRIPT>\r\n"_s;
    const QString style = u"<STYLE>\r\nP { color: red }\r\n</STYLE>\r\n"_s;
    QString page;
    page.reserve(length + 512);
    for (int i = 0; page.size() < length; ++i) {
        page += paragraph;
        if (i % 50 == 10)
            page += script;
        if (i % 50 == 35)
            page += style;
    }
    page.truncate(length);
    return page;
}

void ColorizeDocumentInEditor(benchmark::State &state)
{
    const QString page = makePage(int(state.range(0)));
    HtmlDocument document;
    EditorBuffer buffer(document);
    buffer.resize(800, 600);
    buffer.show();
    document.loadText(page);
    QCoreApplication::processEvents();
    TSettings settings[2];
    settings[1].TAG = 0x123456; // alternate colours, so every run really changes
    int flip = 0;
    for (auto _ : state) {
        ColorizeDocument(document, settings[flip ^= 1], {});
        QCoreApplication::processEvents(); // until the coloured text is in the editor
    }
    state.counters["tags"] = double(page.count(u'<'));
    state.SetComplexityN(state.range(0));
}

void ColorizeScanOnly(benchmark::State &state)
{
    const QString page = makePage(int(state.range(0)));
    const SyntaxColors colors = SyntaxColors::fromSettings(TSettings());
    for (auto _ : state)
        benchmark::DoNotOptimize(ColorizeScan(page, colors));
    state.SetComplexityN(state.range(0));
}

// A key typed into a style block near the end of a large page, with the code coloured
// again around it, up to the coloured text; the key is taken back between the rounds.
void KeyInStyleBlockAtEnd(benchmark::State &state)
{
    const QString page = makePage(HtmlDocument::MaxLength - 200)
                         + u"<STYLE>\r\nP { color: red }\r\nH1 { margin: 0 }\r\n</STYLE>\r\n"_s;
    HtmlDocument document;
    EditorBuffer buffer(document);
    EditorKeyOptions keys;
    keys.codeColors = SyntaxColors::fromSettings(TSettings());
    buffer.setKeyOptions(keys);
    buffer.resize(800, 600);
    buffer.show();
    document.loadText(page);
    ColorizeDocument(document, TSettings(), {});
    QCoreApplication::processEvents();
    const int caret = int(page.lastIndexOf(u"color"_s));
    for (auto _ : state) {
        document.SetSelStart(caret);
        QTest::keyClick(&buffer, Qt::Key_X);
        state.PauseTiming();
        document.Undo();
        state.ResumeTiming();
    }
}

void TagAtPositionAtEnd(benchmark::State &state)
{
    QString page = makePage(HtmlDocument::MaxLength - 20);
    page += u"<IMG SRC=\"end.gif\">"_s;
    const int caret = int(page.size()) - 3; // inside the last tag
    for (auto _ : state)
        benchmark::DoNotOptimize(TagAtPosition(page, caret));
}

void TagAtPositionAfterLastTag(benchmark::State &state)
{
    const QString page = makePage(HtmlDocument::MaxLength);
    for (auto _ : state)
        benchmark::DoNotOptimize(TagAtPosition(page, int(page.size())));
}

} // namespace

BENCHMARK(ColorizeDocumentInEditor)
    ->Arg(100'000)->Arg(250'000)->Arg(500'000)->Arg(HtmlDocument::MaxLength)
    ->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(ColorizeScanOnly)
    ->Arg(100'000)->Arg(250'000)->Arg(500'000)->Arg(HtmlDocument::MaxLength)
    ->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK(KeyInStyleBlockAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(TagAtPositionAtEnd)->Unit(benchmark::kMicrosecond);
BENCHMARK(TagAtPositionAfterLastTag)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
