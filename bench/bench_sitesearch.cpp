// Searching a site of 1,000 pages for a literal and for a regular expression, beside
// ripgrep on the same folder in the same run: each iteration runs the one and then the
// other, so both see the same machine and the same disk cache.
#include "markup/SiteSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <atomic>

using namespace Qt::StringLiterals;

namespace {

constexpr int PageCount = 1000;

// A hand-kept site: 1,000 pages of about 12 KB in 20 folders, a third in Windows-1250, the
// rest in UTF-8 (half of those with CR LF), each with the menu and the footer.
QString makeSite(const QTemporaryDir &dir)
{
    const QString paragraph = u"<p>Příliš žluťoučký kůň úpěl ďábelské ódy, a Franta šel do lesa pro "
                              u"houby, které tam rostly po dešti. Lorem ipsum dolor sit amet.</p>\n"_s;
    for (int i = 0; i < PageCount; ++i) {
        QString text = u"<html><head><title>Stránka %1</title></head><body>\n"
                       u"<ul class=\"menu\"><li><a href=\"index.html\">Úvod</a></li>"
                       u"<li><a href=\"kontakt.html\">Kontakt</a></li></ul>\n"_s.arg(i);
        for (int p = 0; p < 70; ++p)
            text += paragraph;
        text += u"<div class=\"paticka\">© 2023 Žluťoučký kůň, telefon 603 %1</div>\n</body></html>\n"_s
                    .arg(100000 + i);
        QByteArray bytes;
        if (i % 3 == 0) {
            QStringEncoder encoder("windows-1250");
            bytes = encoder.encode(QString(text).replace(u"\n"_s, u"\r\n"_s));
        } else {
            if (i % 2 == 0)
                text.replace(u"\n"_s, u"\r\n"_s);
            bytes = u"<meta charset=\"utf-8\">\n"_s.toUtf8() + text.toUtf8();
        }
        const QString folder = dir.filePath(u"oddil%1"_s.arg(i % 20));
        QDir().mkpath(folder);
        QFile file(folder + u"/stranka%1.html"_s.arg(i));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the site");
    }
    return dir.path();
}

const QString &siteFolder()
{
    static QTemporaryDir dir;
    static const QString path = makeSite(dir);
    return path;
}

qsizetype briskoSearch(const QString &folder, const SiteSearchOptions &options)
{
    const SearchPattern pattern = searchPattern(options);
    std::atomic_bool stop = false;
    const QList<FileSearchResult> results =
        searchFiles(siteFiles(folder, u"*.html;*.htm"_s, true), pattern.expression, stop);
    qsizetype matches = 0;
    for (const FileSearchResult &r : results)
        matches += r.matches.size();
    return matches;
}

// ripgrep as a user would run it for the same question: every match with its line and
// column, case ignored. (It reads pages as UTF-8, so the texts searched are ASCII.)
qsizetype ripgrepSearch(const QString &folder, const SiteSearchOptions &options)
{
    QProcess rg;
    QStringList arguments{u"--line-number"_s, u"--column"_s, u"--no-heading"_s, u"--only-matching"_s,
                          u"--ignore-case"_s, u"-g"_s, u"*.html"_s, u"-g"_s, u"*.htm"_s};
    if (!options.regularExpression)
        arguments << u"--fixed-strings"_s;
    arguments << u"-e"_s << options.text << folder;
    rg.start(u"rg"_s, arguments);
    if (!rg.waitForFinished(60000))
        return -1;
    return rg.readAllStandardOutput().count('\n');
}

void BM_SiteSearchBesideRipgrep(benchmark::State &state)
{
    if (QStandardPaths::findExecutable(u"rg"_s).isEmpty()) {
        state.SkipWithError("rg (ripgrep) is not installed");
        return;
    }
    const QString folder = siteFolder();
    const SiteSearchOptions options = state.range(0) == 0
                                          ? SiteSearchOptions{u"class=\"paticka\""_s, false, false, false}
                                          : SiteSearchOptions{u"telefon \\d{3} (\\d+)"_s, false, false, true};
    // Both read the pages once before, so neither pays for the disk alone.
    briskoSearch(folder, options);
    ripgrepSearch(folder, options);
    double brisko = 0, ripgrep = 0;
    qsizetype found = 0, rgFound = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        found = briskoSearch(folder, options);
        const qint64 briskoNs = timer.nsecsElapsed();
        timer.restart();
        rgFound = ripgrepSearch(folder, options);
        const qint64 rgNs = timer.nsecsElapsed();
        brisko += double(briskoNs) / 1e6;
        ripgrep += double(rgNs) / 1e6;
        state.SetIterationTime(double(briskoNs) / 1e9);
    }
    const double n = double(state.iterations());
    state.counters["brisko_ms"] = brisko / n;
    state.counters["rg_ms"] = ripgrep / n;
    state.counters["ratio"] = ripgrep > 0 ? brisko / ripgrep : 0;
    state.counters["matches"] = double(found);
    if (found != PageCount || rgFound != PageCount)
        state.SkipWithError(("matches differ: " + std::to_string(found) + " and rg " + std::to_string(rgFound)).c_str());
}
// Argument: 0 a literal text, 1 a regular expression.
BENCHMARK(BM_SiteSearchBesideRipgrep)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
