// Replacing many occurrences without questions, and find next over growing distances, in a
// document as long as the editor allows.
#include "commands/FindReplace.h"
#include "editor/HtmlDocument.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// 50,000 pieces of 20 characters (CR LF included), each starting with "ab"; the last one
// loses its final character so the text is 999,999 characters long.
QString occurrencesText()
{
    const QString unit = u"ab"_s + QString(14, u'.') + u"\r\n  "_s;
    QString text;
    text.reserve(1000000);
    for (int i = 0; i < 50000; ++i)
        text += unit;
    text.chop(1);
    return text;
}

void BM_ReplaceWithoutQuestions(benchmark::State &state)
{
    const QString text = occurrencesText();
    const QString replacement = state.range(0) == 0 ? u"XY"_s : u"x"_s;
    HtmlDocument buffer;
    for (auto _ : state) {
        state.PauseTiming();
        buffer.loadText(text);
        SearchState search;
        search.replaceText = u"ab"_s;
        search.replacement = replacement;
        search.replaceIgnoresCase = state.range(1) != 0;
        state.ResumeTiming();
        RunReplace(buffer, search);
        benchmark::DoNotOptimize(search.replacePosition);
    }
    state.counters["occurrences"] = 50000;
    if (buffer.textRange(0, int(replacement.size())) != replacement)
        state.SkipWithError(("replacement missing: " + buffer.textRange(0, 30).toStdString()).c_str());
}
// Arguments: replacement (0: same length, 1: shorter), case (0: exact, 1: ignored).
BENCHMARK(BM_ReplaceWithoutQuestions)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({0, 1})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Find next from a position near the end, with the match the given distance further on:
// the cost should follow the distance, not the text before the position.
void BM_FindNextDistance(benchmark::State &state)
{
    const int distance = int(state.range(0));
    const int from = int(state.range(1));
    QString text(HtmlDocument::MaxLength, u'.');
    for (int i = 80; i < text.size(); i += 82) {
        text[i] = u'\r';
        text[i + 1] = u'\n';
    }
    text.replace(from + distance, 6, u"needle"_s);
    HtmlDocument buffer;
    buffer.loadText(text);
    const int expected = buffer.findForward(from, u"needle"_s, false);
    if (expected < 0)
        state.SkipWithError("needle not placed");
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.findForward(from, u"needle"_s, state.range(2) != 0));
}
BENCHMARK(BM_FindNextDistance)
    ->ArgsProduct({{100, 1000, 10000, 100000, 900000}, {0}, {0, 1}})
    ->Args({100, 899000, 0})
    ->Args({1000, 899000, 0})
    ->Args({100000, 800000, 0})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
