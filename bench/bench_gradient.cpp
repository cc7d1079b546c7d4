// Gradient colouring of a long selection.
#include "tools/Gradient.h"

#include <QString>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

void gradient(benchmark::State &state)
{
    QString text;
    while (text.size() < state.range(0))
        text += u"Příliš žluťoučký kůň úpěl ďábelské ódy.\r\n"_s;
    text.truncate(state.range(0));
    for (auto _ : state) {
        const QString out = composeGradient(text, 0x0000FF, 0x00FF00, 0xFF0000, false);
        benchmark::DoNotOptimize(out.size());
    }
}
BENCHMARK(gradient)->Arg(30000)->Arg(300000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
