// The live preview's update of a 100 KB page: from the moment typing paused (the update
// starts) until the browser has loaded the new text. Run with QT_QPA_PLATFORM=offscreen and,
// as root, QTWEBENGINE_CHROMIUM_FLAGS="--no-sandbox --disable-gpu".
#include "preview/LivePreview.h"
#include "preview/WebBrowser.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

QString pageOf(int bytes, int serial)
{
    QString text = u"<html><head><style>p { color: #333 }</style></head><body>\r\n"_s;
    const QString paragraph = u"<p>Příliš žluťoučký kůň úpěl ďábelské ódy <b>tučně</b> "
                              u"<a href=\"jinam.html\">odkaz</a> a další text stránky.</p>\r\n"_s;
    while (text.size() < bytes)
        text += paragraph;
    return text + u"<p>změna %1</p></body></html>"_s.arg(serial);
}

// Waits for the browser to report the page loaded; false after 30 s.
bool waitForLoad(WebBrowser &browser)
{
    QEventLoop loop;
    bool loaded = false;
    QObject::connect(&browser, &WebBrowser::loadFinished, &loop, [&] {
        loaded = true;
        loop.quit();
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec();
    return loaded;
}

void BM_LivePreviewUpdate(benchmark::State &state)
{
    QTemporaryDir dir;
    const int bytes = int(state.range(0));
    int serial = 0;
    QString text = pageOf(bytes, serial);
    LivePreview preview;
    preview.setSource([&] { return LivePreview::Page{text, dir.filePath(u"stranka.html"_s)}; });
    preview.resize(700, 800);
    preview.show();
    preview.showNow();
    if (!waitForLoad(*preview.browser())) {
        state.SkipWithError("the first page did not load");
        return;
    }
    for (auto _ : state) {
        text = pageOf(bytes, ++serial);
        QElapsedTimer timer;
        timer.start();
        preview.showNow();
        if (!waitForLoad(*preview.browser())) {
            state.SkipWithError("an update did not load");
            return;
        }
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(BM_LivePreviewUpdate)->Arg(100 * 1024)->Arg(900 * 1024)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
