// Crash recovery and the guarded reader: what a recovery copy of a full page costs the UI
// thread (the rest happens on the writer thread, reported apart), and how soon a file far
// too large for the editor is refused, with the memory the process holds afterwards.
#include "commands/CrashRecovery.h"
#include "editor/HtmlDocument.h"
#include "markup/GuardedFile.h"
#include "markup/RecoveryStore.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

QString makePage(int length)
{
    const QString paragraph = u"<P ALIGN=left>Žluťoučký kůň <B>úpěl</B> ďábelské ódy.</P>\r\n"_s;
    QString page;
    while (page.size() < length)
        page += paragraph;
    page.truncate(length);
    return page;
}

void BM_RecoveryCopyOfFullPage(benchmark::State &state)
{
    QTemporaryDir dir;
    RecoveryStore store(dir.filePath(u"recovery"_s));
    store.start();
    CrashRecovery recovery(store);
    HtmlDocument document(1);
    document.loadText(makePage(999000));
    document.SetModified(true);
    recovery.watch(document);
    double writerMs = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        recovery.writeNow(document);
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        QElapsedTimer writer;
        writer.start();
        recovery.waitForWrites();
        writerMs += double(writer.nsecsElapsed()) / 1e6;
    }
    state.counters["writer_thread_ms"] = writerMs / double(state.iterations());
    store.finish();
}
BENCHMARK(BM_RecoveryCopyOfFullPage)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_RefuseThreeGigabyteFile(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"huge.htm"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !file.resize(3LL * 1024 * 1024 * 1024)) {
        state.SkipWithError("no sparse file");
        return;
    }
    file.close();
    for (auto _ : state) {
        const GuardedRead read = readGuardedFile(path);
        benchmark::DoNotOptimize(read.status);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["max_rss_mb"] = double(usage.ru_maxrss) / 1024.0;
}
BENCHMARK(BM_RefuseThreeGigabyteFile)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
