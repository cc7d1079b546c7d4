// Memory with work: ten pages of 100 KB opened in the main window as the user opens them
// (colouring, spelling and recovery copies on, as at a first start), then all closed, three
// times over. Reports the peak resident memory and what stays resident after each close;
// the figures after the second and third close should not grow over the first, nor what
// stays once the allocator has given back what it keeps for later.
#include "app/CommandBindings.h"
#include "app/DocumentManager.h"
#include "app/RecoveryBinding.h"
#include "app/TForm1.h"
#include "editor/SpellMarker.h"
#include "editor/TForm2.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

long procStatusKb(const char *field)
{
    FILE *f = std::fopen("/proc/self/status", "r");
    if (!f)
        return -1;
    char line[256];
    long value = -1;
    const size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, f)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            value = std::strtol(line + length + 1, nullptr, 10);
            break;
        }
    }
    std::fclose(f);
    return value;
}

QString makeDocumentsPage(int length, int variant)
{
    const QString paragraph =
        u"<P ALIGN=left>Text <B>tučně</B> a <A HREF=\"x%1.html\">odkaz</A> <IMG SRC=\"a.gif\">\r\n"
        u"<TABLE BORDER=1><TR><TD>buňka</TD><TD>další</TD></TR></TABLE><BR>\r\n"
        u"Obyčejná slova textu stránky, dost dlouhá na to, aby se četla jako odstavec.\r\n"_s
            .arg(variant);
    QString page;
    while (page.size() < length)
        page += paragraph;
    page.truncate(length);
    return page;
}

bool documentsBusy(const TForm1 &window)
{
    for (HtmlDocument *doc : window.workspace().documents()) {
        if (doc->backgroundColouringPending())
            return true;
        if (const SpellMarker *marker = SpellMarker::of(*window.workspace().window(doc)->RichEdit1); marker && marker->pending())
            return true;
    }
    return false;
}

void settle(const TForm1 &window)
{
    while (documentsBusy(window))
        QCoreApplication::processEvents();
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

void BM_TenDocumentsOpenAndClosed(benchmark::State &state)
{
    QTemporaryDir dir;
    QStringList pages;
    for (int i = 0; i < 10; ++i) {
        pages << dir.filePath(u"page%1.html"_s.arg(i));
        if (!writeTextFile(pages.last(), makeDocumentsPage(100 * 1000, i)).isEmpty())
            state.SkipWithError("cannot write the pages");
    }
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(u"config"_s)));
    auto window = std::make_unique<TForm1>(
        std::make_unique<SettingsStore>(dir.filePath(u"config/settings.ini"_s)));
    installCommands(*window);
    RecoveryBinding recovery(window->workspace(), dir.filePath(u"recovery"_s));
    window->resize(900, 700);
    window->show();
    settle(*window);
    const long idleBefore = procStatusKb("VmRSS");
    long afterClose[3] = {0, 0, 0};
    long trimmed[3] = {0, 0, 0};
    long openPeak = 0;
    for (auto _ : state) {
        for (int cycle = 0; cycle < 3; ++cycle) {
            for (const QString &page : std::as_const(pages))
                window->workspace().openInNewWindow(page);
            settle(*window);
            openPeak = std::max(openPeak, procStatusKb("VmRSS"));
            for (HtmlDocument *doc : window->workspace().documents())
                doc->closeConfirmed();
            settle(*window);
            afterClose[cycle] = procStatusKb("VmRSS");
            // What the allocator keeps for later use is no leak: given back, what remains
            // must not grow from one cycle to the next.
            malloc_trim(0);
            trimmed[cycle] = procStatusKb("VmRSS");
        }
    }
    state.counters["idle_before_mib"] = double(idleBefore) / 1024;
    state.counters["open_10_mib"] = double(openPeak) / 1024;
    state.counters["peak_mib"] = double(procStatusKb("VmHWM")) / 1024;
    state.counters["closed_1_mib"] = double(afterClose[0]) / 1024;
    state.counters["closed_2_mib"] = double(afterClose[1]) / 1024;
    state.counters["closed_3_mib"] = double(afterClose[2]) / 1024;
    state.counters["trimmed_1_mib"] = double(trimmed[0]) / 1024;
    state.counters["trimmed_2_mib"] = double(trimmed[1]) / 1024;
    state.counters["trimmed_3_mib"] = double(trimmed[2]) / 1024;
    window.reset();
}
BENCHMARK(BM_TenDocumentsOpenAndClosed)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
