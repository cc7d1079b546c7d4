// Opening a page as long as the editor allows, with colouring on: how soon the window
// answers input (open to the first event the loop handles afterwards), when the whole page
// is coloured, and the longest wait for input while the colours go in.
#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "editor/SpellMarker.h"
#include "markup/SpellChecker.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <ctime>

using namespace Qt::StringLiterals;

namespace {

// This thread's processor time: on a machine shared with other work the wall clock also
// counts the time others had.
double threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

QString makePage(int length)
{
    const QString paragraph =
        u"<P ALIGN=left>Text <B>bold</B> and <A HREF=\"x.html\">a link</A> <IMG SRC=\"a.gif\">\r\n"
        u"<TABLE BORDER=1><TR><TD>cell</TD><TD>more</TD></TR></TABLE><BR>\r\n"
        u"Some ordinary words of the page text, long enough to read like a paragraph.\r\n"_s;
    QString page;
    while (page.size() < length)
        page += paragraph;
    page.truncate(length);
    return page;
}

// The Czech dictionary, read once; empty when it is not installed.
SpellChecker &czechChecker()
{
    static SpellChecker checker;
    if (!checker.isLoaded()) {
        for (const SpellDictionary &d : installedDictionaries()) {
            if (d.name == DefaultSpellLanguage)
                checker.load(d);
        }
    }
    return checker;
}

// Arguments: 0 colours in one step (as before), 1 colours in slices, 2 colours in slices
// and checks the spelling as well (what is on screen first, the rest in slices too).
void BM_OpenColouredPage(benchmark::State &state)
{
    const bool sliced = state.range(0) != 0;
    const bool spelling = state.range(0) == 2;
    if (spelling && !czechChecker().isLoaded())
        state.SkipWithError("the Czech dictionary is not installed");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    if (!writeTextFile(path, makePage(999000)).isEmpty())
        state.SkipWithError("cannot write the page");
    const TSettings settings;
    double firstIdleMs = 0;
    double colouredMs = 0;
    double longestWaitMs = 0;
    double firstIdleCpuMs = 0;
    double colouredCpuMs = 0;
    for (auto _ : state) {
        HtmlDocument document;
        EditorBuffer buffer(document);
        buffer.resize(800, 600);
        buffer.show();
        SpellMarker *marker = spelling ? new SpellMarker(buffer, czechChecker()) : nullptr;
        QCoreApplication::processEvents();
        QElapsedTimer clock;
        clock.start();
        const double cpuStart = threadCpuMs();
        double firstIdleCpu = 0;
        qint64 firstIdle = -1;
        qint64 lastTick = 0;
        qint64 longest = 0;
        // A repeating zero timer stands for the user's input: each tick is an event the
        // window handled.
        QTimer input;
        input.setInterval(0);
        QObject::connect(&input, &QTimer::timeout, [&] {
            const qint64 now = clock.nsecsElapsed();
            if (firstIdle < 0) {
                firstIdle = now;
                firstIdleCpu = threadCpuMs() - cpuStart;
            }
            else
                longest = std::max(longest, now - lastTick);
            lastTick = now;
        });
        input.start();
        const TextFileResult file = readTextFile(path);
        document.loadText(file.text);
        if (sliced)
            ColorizeDocumentInBackground(document, settings, {});
        else
            ColorizeDocument(document, settings, {});
        while (firstIdle < 0 || document.backgroundColouringPending()
               || (marker && marker->pending()))
            QCoreApplication::processEvents();
        const qint64 coloured = clock.nsecsElapsed();
        colouredCpuMs += threadCpuMs() - cpuStart;
        firstIdleCpuMs += firstIdleCpu;
        state.SetIterationTime(double(firstIdle) / 1e9);
        firstIdleMs += double(firstIdle) / 1e6;
        colouredMs += double(coloured) / 1e6;
        longestWaitMs = std::max(longestWaitMs, double(std::max(longest, firstIdle)) / 1e6);
    }
    const double n = double(state.iterations());
    state.counters["first_idle_ms"] = firstIdleMs / n;
    state.counters["coloured_ms"] = colouredMs / n;
    state.counters["longest_wait_ms"] = longestWaitMs;
    state.counters["first_idle_cpu_ms"] = firstIdleCpuMs / n;
    state.counters["coloured_cpu_ms"] = colouredCpuMs / n;
}
BENCHMARK(BM_OpenColouredPage)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
