// Checking a whole site before it goes up: 1,000 pages in the three encodings, each with
// about 40 references (pictures, links, a style sheet, anchors, a planted fault), among
// 5,000 other files in 50 folders. The whole check: walking the folders, reading and
// decoding every page, finding and resolving every reference, orphans and page weights.
#include "markup/TextEncoding.h"
#include "tools/SiteCheck.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr int kPages = 1000;
constexpr int kOtherFiles = 5000;
constexpr int kFolders = 50;
constexpr int kPictures = kOtherFiles - 2; // and a background and a style sheet

QString folderName(int n)
{
    return u"obrázky%1"_s.arg(n);
}

QString pictureName(int n)
{
    return folderName(n % kFolders) + u"/obr%1.gif"_s.arg(n);
}

QString pageName(int n)
{
    return u"stranka%1.html"_s.arg(n);
}

// A page of some 8 KB: text, pictures, links to other pages with anchors, one picture in
// the wrong letter case and one missing.
QString page(int n, TextEncoding encoding)
{
    QString text = u"<HTML>\r\n<HEAD>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=%1\">\r\n"
                   u"<TITLE>Stránka %2</TITLE>\r\n<LINK REL=\"stylesheet\" HREF=\"styl.css\">\r\n</HEAD>\r\n"
                   u"<BODY BACKGROUND=\"pozadi.gif\">\r\n<A NAME=\"nahore\"></A>\r\n"_s
                       .arg(encodingName(encoding))
                       .arg(n);
    for (int i = 0; i < 18; ++i) {
        text += u"<P>Příliš žluťoučký kůň úpěl ďábelské ódy, odstavec %1.\r\n"_s.arg(i);
        text += u"<IMG SRC=\"%1\" WIDTH=100 HEIGHT=80 ALT=\"obrázek\">\r\n"_s.arg(pictureName((n * 5 + i) % kPictures));
        text += u"<A HREF=\"%1#nahore\">další stránka</A>\r\n"_s.arg(pageName((n + i + 1) % kPages));
    }
    text += u"<IMG SRC=\"%1\">\r\n<IMG SRC=\"chybi%2.gif\">\r\n"_s.arg(pictureName(n % kPictures).toUpper()).arg(n);
    text += u"<A HREF=\"http://www.example.cz/\">venku</A>\r\n</BODY>\r\n</HTML>\r\n"_s;
    return text;
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void makeSite(const QString &root)
{
    const QDir dir(root);
    for (int f = 0; f < kFolders; ++f)
        dir.mkpath(folderName(f));
    const QList<TextEncoding> encodings = knownEncodings();
    for (int n = 0; n < kPages; ++n) {
        const TextEncoding encoding = encodings[n % encodings.size()];
        write(dir.filePath(pageName(n)), encodeText(page(n, encoding), {encoding}));
    }
    const QByteArray picture(700, 'x');
    for (int n = 0; n < kPictures; ++n)
        write(dir.filePath(pictureName(n)), picture);
    write(dir.filePath(u"pozadi.gif"_s), picture);
    write(dir.filePath(u"styl.css"_s), "body { background: url(pozadi.gif) }\r\n");
}

void BM_CheckSite(benchmark::State &state)
{
    QTemporaryDir dir;
    makeSite(dir.path());
    int faults = 0;
    for (auto _ : state) {
        const SiteReport report = checkSite({dir.path(), {}});
        faults = report.faultCount();
        benchmark::DoNotOptimize(faults);
        if (report.pages != kPages || report.files != kPages + kOtherFiles)
            state.SkipWithError("the generated site was not read whole");
    }
    // One case mismatch and one missing picture per page.
    if (faults != 2 * kPages)
        state.SkipWithError("unexpected number of faults");
    state.counters["pages"] = kPages;
    state.counters["files"] = kPages + kOtherFiles;
}

} // namespace

BENCHMARK(BM_CheckSite)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

BENCHMARK_MAIN();
