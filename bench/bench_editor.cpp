// Opening a large page and typing into it.
#include "editor/EditorBuffer.h"
#include "markup/TextFile.h"

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
    EditorBuffer buffer;
    buffer.show();
    for (auto _ : state) {
        const TextFileResult r = readTextFile(file.path);
        buffer.loadText(r.text);
        QCoreApplication::processEvents();
    }
}
BENCHMARK(openPage)->Arg(100000)->Arg(999999)->Unit(benchmark::kMillisecond);

void getText(benchmark::State &state)
{
    PageFile file(int(state.range(0)));
    EditorBuffer buffer;
    buffer.loadText(readTextFile(file.path).text);
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.GetText());
}
BENCHMARK(getText)->Arg(100000)->Arg(999999)->Unit(benchmark::kMillisecond);

void typeAtEnd(benchmark::State &state)
{
    PageFile file(int(state.range(0)));
    EditorBuffer buffer;
    EditorKeyOptions keys;
    buffer.setKeyOptions(keys);
    buffer.show();
    buffer.loadText(readTextFile(file.path).text);
    buffer.SetSelStart(buffer.textLength());
    for (auto _ : state) {
        QTest::keyClick(&buffer, Qt::Key_A);
        state.PauseTiming();
        buffer.Undo();
        state.ResumeTiming();
    }
}
BENCHMARK(typeAtEnd)->Arg(100000)->Arg(999999)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
