#include "markup/TextFile.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "tools/SiteCheck.h"
#include "tools/SiteCheckWindow.h"
#include "tools/SiteReportPage.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QSortFilterProxyModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const char *kindName(SiteFindingKind kind)
{
    switch (kind) {
    case SiteFindingKind::Broken: return "Broken";
    case SiteFindingKind::CaseMismatch: return "CaseMismatch";
    case SiteFindingKind::Outside: return "Outside";
    case SiteFindingKind::External: return "External";
    case SiteFindingKind::Orphan: break;
    }
    return "Orphan";
}

// One finding as a line of tests/data/sitecheck/expected.txt.
QString line(const SiteFinding &f)
{
    const QString place = f.line > 0 ? u"%1:%2"_s.arg(f.line).arg(f.column) : QString();
    return QStringList{QString::fromLatin1(kindName(f.kind)), f.page, place, f.reference, f.detail,
                       f.fixed}
        .join(u'\t');
}

QStringList lines(const QList<SiteFinding> &findings)
{
    QStringList out;
    for (const SiteFinding &f : findings)
        out << line(f);
    return out;
}

QString goldenSite()
{
    return testDataPath(u"sitecheck/site"_s);
}

qint64 sizeOf(const QString &relative)
{
    return QFileInfo(goldenSite() + u'/' + relative).size();
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class tst_SiteCheck : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    void goldenSiteListsPlantedFaultsExactly();
    void countsPagesAndFiles();
    void pageWeightsTakeFramesAndStyleSheets();
    void entryPagesAreNoOrphans();
    void stoppedCheckSaysSoAndListsNoOrphans();
    void runnerReportsFromItsThread();
    void caseMismatchIsRewrittenAsWritten_data();
    void caseMismatchIsRewrittenAsWritten();
    void rootPathsAndFolderLinks();
    void pictureSourcesAreFollowed();
    void baseInsideTheSiteIsFollowed();
    void externalBaseMakesRelativeReferencesExternal();
    void editorsOwnFilesAreNoPagesNorOrphans();
    void unreadableFolderIsReported();
    void namesThatAreNoFilesSayWhatTheyAre();
    void linkedFoldersAreEnteredAsTheUploadEntersThem();
    void reportPageEscapesAndTimesAtTheSpeed();

    void windowShowsEachKindInItsTable();
    void windowStopsACheckWhenClosed();
    void windowDoubleClickAsksToOpenThePlace();
    void windowSortsPlacesAsNumbers();
    void windowShowsNoPlaceForAPageThatCannotBeRead();
    void windowSavesTheReport();
    void windowFixesSelectedOrAllMismatches();
    void windowMarksEntryPages();

private:
    std::unique_ptr<ScriptedInteraction> m_script;
};

void tst_SiteCheck::cleanup()
{
    if (m_script)
        endScript(m_script);
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_SiteCheck::goldenSiteListsPlantedFaultsExactly()
{
    QFile expected(testDataPath(u"sitecheck/expected.txt"_s));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    const QStringList wanted = QString::fromUtf8(expected.readAll()).split(u'\n', Qt::SkipEmptyParts);
    const SiteReport report = checkSite({goldenSite(), {}});
    QCOMPARE(lines(report.findings), wanted);
    QCOMPARE(report.faultCount(), 10);
    QVERIFY(!report.stopped);
}

void tst_SiteCheck::countsPagesAndFiles()
{
    const SiteReport report = checkSite({goldenSite() + u'/', {}});
    QCOMPARE(report.home, goldenSite() + u'/');
    QCOMPARE(report.pages, 6);
    // Hidden files stay out, as the upload leaves them out.
    QCOMPARE(report.files, 14);
}

void tst_SiteCheck::pageWeightsTakeFramesAndStyleSheets()
{
    const SiteReport report = checkSite({goldenSite(), {}});
    QCOMPARE(report.weights.size(), 6);
    for (qsizetype i = 1; i < report.weights.size(); ++i)
        QVERIFY(report.weights[i - 1].bytes >= report.weights[i].bytes);
    auto weightOf = [&](const QString &page) {
        for (const PageWeight &w : report.weights) {
            if (w.page == page)
                return w;
        }
        return PageWeight{};
    };
    // The page, its style sheet with the sheet's picture, its background and its picture
    // (found only ignoring case, but it is what the page shows on the user's disk).
    const PageWeight index = weightOf(u"index.html"_s);
    QCOMPARE(index.files, 5);
    QCOMPARE(index.bytes, sizeOf(u"index.html"_s) + sizeOf(u"styl.css"_s) + sizeOf(u"obrazky/vzor.gif"_s)
                              + sizeOf(u"pozadi.gif"_s) + sizeOf(u"obrázek.gif"_s));
    // A frameset weighs its frames and what they load; links only lead elsewhere.
    const PageWeight frames = weightOf(u"ramce.html"_s);
    QCOMPARE(frames.files, 3);
    QCOMPARE(frames.bytes, sizeOf(u"ramce.html"_s) + sizeOf(u"menu.html"_s) + sizeOf(u"skript.js"_s));
}

void tst_SiteCheck::entryPagesAreNoOrphans()
{
    const SiteReport report =
        checkSite({goldenSite(), {u"stary.html"_s, goldenSite() + u"/osirely.gif"_s}});
    QVERIFY(report.findingsOf(SiteFindingKind::Orphan).isEmpty());
}

void tst_SiteCheck::stoppedCheckSaysSoAndListsNoOrphans()
{
    int calls = 0;
    const SiteReport report = checkSite({goldenSite(), {}}, [&calls](int done, int total) {
        ++calls;
        return !(done == 2 && total == 7);
    });
    QVERIFY(report.stopped);
    QCOMPARE(calls, 3);
    QCOMPARE(report.pages, 2);
    // Half a site would make everything else look unreferenced.
    QVERIFY(report.findingsOf(SiteFindingKind::Orphan).isEmpty());
}

void tst_SiteCheck::runnerReportsFromItsThread()
{
    SiteCheckRunner runner({goldenSite(), {}});
    QSignalSpy finished(&runner, &SiteCheckRunner::finished);
    QSignalSpy progressed(&runner, &SiteCheckRunner::progressed);
    runner.start();
    QVERIFY(finished.wait(20000));
    QVERIFY(!progressed.isEmpty());
    QCOMPARE(progressed.last().at(0).toInt(), 7);
    QCOMPARE(lines(runner.report().findings), lines(checkSite({goldenSite(), {}}).findings));
}

void tst_SiteCheck::caseMismatchIsRewrittenAsWritten_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("fixed");
    QTest::newRow("folder_and_file") << u"IMG/Logo.GIF"_s << u"img/logo.gif"_s;
    QTest::newRow("query_and_fragment_kept") << u"Strana.HTML?a=B#Dole"_s << u"strana.html?a=B#Dole"_s;
    QTest::newRow("dot_segments_kept") << u"./x/../IMG/logo.gif"_s << u"./x/../img/logo.gif"_s;
    QTest::newRow("czech_letters") << u"ŽLUTÝ.GIF"_s << u"žlutý.gif"_s;
    // A name written with %XX is written anew the same way.
    QTest::newRow("percent_encoded") << u"%C5%BDLUT%C3%9D.gif"_s << u"%C5%BElut%C3%BD.gif"_s;
    // Of two names that differ only in case, the first in order is offered.
    QTest::newRow("two_candidates") << u"dvA.gif"_s << u"DVA.gif"_s;
}

void tst_SiteCheck::caseMismatchIsRewrittenAsWritten()
{
    QFETCH(QString, written);
    QFETCH(QString, fixed);
    QTemporaryDir dir;
    write(dir.filePath(u"img/logo.gif"_s), "x");
    write(dir.filePath(u"strana.html"_s), "<html></html>");
    write(dir.filePath(u"žlutý.gif"_s), "x");
    write(dir.filePath(u"dva.gif"_s), "x");
    write(dir.filePath(u"DVA.gif"_s), "x");
    write(dir.filePath(u"index.html"_s), u"<img src=\"%1\">"_s.arg(written).toUtf8());
    const QList<SiteFinding> found = checkSite({dir.path(), {}}).findingsOf(SiteFindingKind::CaseMismatch);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found[0].reference, written);
    QCOMPARE(found[0].fixed, fixed);
    QCOMPARE(found[0].offset, 10);
}

void tst_SiteCheck::rootPathsAndFolderLinks()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s), "<a href=\"sub/\">x</a><img src=\"/pic/a.gif\">");
    write(dir.filePath(u"sub/index.html"_s), "<img src=\"/pic/a.gif\"><a href=\"../index.html#top\">");
    write(dir.filePath(u"pic/a.gif"_s), "x");
    const SiteReport report = checkSite({dir.path(), {}});
    // "/" starts at the site's root; a folder's index page is what a link to it loads;
    // "#top" needs no anchor.
    QCOMPARE(lines(report.findings), QStringList());
}

// Each file of a picture's sources counts: the missing one is broken, the others are no
// orphans, and the page weighs the files it may show.
void tst_SiteCheck::pictureSourcesAreFollowed()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s),
          "<picture>\r\n<source srcset=\"img/a.webp 1x, img/a2.webp 2x\" type=\"image/webp\">\r\n"
          "<source srcset=\"img/chybi.avif\" media=\"(min-width: 800px)\">\r\n"
          "<img src=\"img/a.jpg\" alt=\"\"></picture>");
    for (const char *file : {"img/a.webp", "img/a2.webp", "img/a.jpg"})
        write(dir.filePath(QString::fromLatin1(file)), "x");
    const SiteReport report = checkSite({dir.path(), {}});
    QCOMPARE(lines(report.findings),
             QStringList{u"Broken\tindex.html\t3:17\timg/chybi.avif\tneexistuje: img/chybi.avif\t"_s});
    QCOMPARE(report.weights.value(0).files, 4);
}

void tst_SiteCheck::baseInsideTheSiteIsFollowed()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s),
          "<HEAD><BASE HREF=\"clanky/\"></HEAD><IMG SRC=\"obr.gif\"><A HREF=\"dalsi.html#dole\">x</A>"
          "<A HREF=\"/index.html\">domu</A><A HREF=\"chybi.html\">y</A>");
    write(dir.filePath(u"clanky/obr.gif"_s), "GIF89a");
    write(dir.filePath(u"clanky/dalsi.html"_s), "<A NAME=dole></A>");
    // A base naming a page: its folder is where references start, and "#name" is that page's.
    write(dir.filePath(u"sekce/a.html"_s),
          "<BASE HREF=\"../clanky/dalsi.html\"><IMG SRC=\"obr.gif\"><A HREF=\"#dole\">x</A>"
          "<A HREF=\"#neni\">y</A>");
    const SiteReport report = checkSite({dir.path(), {u"sekce/a.html"_s}});
    QCOMPARE(lines(report.findings),
             (QStringList{u"Broken\tindex.html\t1:124\tchybi.html\tneexistuje: clanky/chybi.html\t"_s,
                          u"Broken\tsekce/a.html\t1:84\t#neni\tkotva „neni“ na stránce clanky/dalsi.html není\t"_s}));
    // What loads with the page is read from the base too.
    for (const PageWeight &w : report.weights) {
        if (w.page == u"index.html"_s)
            QCOMPARE(w.files, 2);
    }
}

void tst_SiteCheck::externalBaseMakesRelativeReferencesExternal()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s),
          "<BASE HREF=\"http://example.com/web/\"><IMG SRC=\"obr.gif\">\r\n"
          "<A HREF=\"#nahore\">x</A><A HREF=\"/jinam.html\">y</A><A HREF=\"mailto:a@example.com\">z</A>");
    const SiteReport report = checkSite({dir.path(), {}});
    // Listed, never fetched, and never broken: they are the other machine's.
    QCOMPARE(lines(report.findings),
             (QStringList{u"External\tindex.html\t1:48\tobr.gif\tpřes BASE http://example.com/web/\t"_s,
                          u"External\tindex.html\t2:10\t#nahore\tpřes BASE http://example.com/web/\t"_s,
                          u"External\tindex.html\t2:33\t/jinam.html\tpřes BASE http://example.com/web/\t"_s,
                          u"External\tindex.html\t2:60\tmailto:a@example.com\tmailto:\t"_s}));
    QCOMPARE(report.faultCount(), 0);
}

void tst_SiteCheck::editorsOwnFilesAreNoPagesNorOrphans()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s), "<A HREF=\"clanek.htm\">x</A>");
    write(dir.filePath(u"clanek.htm"_s), "<P>text");
    write(dir.filePath(u"clanek.bak"_s), "<P>starsi text <A HREF=\"chybi.html\">");
    write(dir.filePath(u"index.BAK"_s), "<P>");
    write(dir.filePath(u"clanek.htm.aBcDeF"_s), "<P>rozepsany");
    write(dir.filePath(u"0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0-2.rec"_s), "BREC");
    const SiteReport report = checkSite({dir.path(), {}, u"bak"_s});
    QCOMPARE(lines(report.findings), QStringList());
    QCOMPARE(report.pages, 2);
    QCOMPARE(report.files, 2);
    // Without the backup extension the backups are the site's files like any other.
    QCOMPARE(checkSite({dir.path(), {}}).findingsOf(SiteFindingKind::Orphan).size(), 2);
}

void tst_SiteCheck::unreadableFolderIsReported()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s), "<IMG SRC=\"tajne/obr.gif\">");
    write(dir.filePath(u"tajne/obr.gif"_s), "GIF89a");
    const QString folder = dir.filePath(u"tajne"_s);
    QVERIFY(QFile::setPermissions(folder, {}));
    const auto restore = qScopeGuard([&folder] {
        QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });
    if (::access(QFile::encodeName(folder).constData(), R_OK | X_OK) == 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "root reads a folder whatever its permissions");
    const SiteReport report = checkSite({dir.path(), {}});
    QCOMPARE(lines(report.findingsOf(SiteFindingKind::Broken)),
             (QStringList{u"Broken\tindex.html\t1:11\ttajne/obr.gif\tv adresáři, který nelze přečíst: tajne/obr.gif\t"_s,
                          u"Broken\ttajne/\t\t\tAdresář nelze přečíst: přístup odepřen\t"_s}));
}

void tst_SiteCheck::namesThatAreNoFilesSayWhatTheyAre()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s),
          "<A HREF=\"roura.html\">1</A><IMG SRC=\"zarizeni.gif\"><IMG SRC=\"smycka.gif\">"
          "<A HREF=\"kruh/index.html\">2</A><IMG SRC=\"nikam.gif\">");
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(u"roura.html"_s)).constData(), 0600), 0);
    QVERIFY(QFile::link(u"/dev/null"_s, dir.filePath(u"zarizeni.gif"_s)));
    QVERIFY(QFile::link(dir.filePath(u"smycka2.gif"_s), dir.filePath(u"smycka.gif"_s)));
    QVERIFY(QFile::link(dir.filePath(u"smycka.gif"_s), dir.filePath(u"smycka2.gif"_s)));
    QVERIFY(QFile::link(dir.path(), dir.filePath(u"kruh"_s)));
    QVERIFY(QFile::link(dir.filePath(u"neni.gif"_s), dir.filePath(u"nikam.gif"_s)));
    // A pipe nobody writes to must not hold the check.
    const SiteReport report = checkSite({dir.path(), {}});
    QCOMPARE(lines(report.findings),
             (QStringList{u"Broken\tindex.html\t1:10\troura.html\tpojmenovaná roura, ne soubor: roura.html\t"_s,
                          u"Broken\tindex.html\t1:37\tzarizeni.gif\tzařízení, ne soubor: zarizeni.gif\t"_s,
                          u"Broken\tindex.html\t1:61\tsmycka.gif\tsmyčka symbolických odkazů: smycka.gif\t"_s,
                          u"Broken\tindex.html\t1:82\tkruh/index.html\tsmyčka symbolických odkazů: kruh\t"_s,
                          u"Broken\tindex.html\t1:114\tnikam.gif\tsymbolický odkaz na neexistující cíl: nikam.gif\t"_s}));
    QCOMPARE(report.files, 1);
}

void tst_SiteCheck::linkedFoldersAreEnteredAsTheUploadEntersThem()
{
    QTemporaryDir dir;
    write(dir.filePath(u"web/index.html"_s), "<IMG SRC=\"spolecne/logo.gif\">");
    write(dir.filePath(u"spolecne/logo.gif"_s), "GIF89a");
    QVERIFY(QFile::link(dir.filePath(u"spolecne"_s), dir.filePath(u"web/spolecne"_s)));
    const SiteReport report = checkSite({dir.filePath(u"web"_s), {}});
    QCOMPARE(lines(report.findings), QStringList());
    QCOMPARE(report.files, 2);
}

void tst_SiteCheck::reportPageEscapesAndTimesAtTheSpeed()
{
    SiteReport report;
    report.home = u"/web/"_s;
    report.pages = 1;
    report.files = 2;
    report.findings << SiteFinding{SiteFindingKind::Broken, u"a&b.html"_s, 3, 7, 40,
                                   u"<x>.gif"_s, u"neexistuje: <x>.gif"_s, {}};
    report.weights << PageWeight{u"a&b.html"_s, 8000, 2};
    const QString html = siteReportHtml(report, 64000, 100);
    QVERIFY(html.contains(u"<td>a&amp;b.html</td><td>3:7</td><td>&lt;x&gt;.gif</td>"_s));
    QVERIFY(html.contains(u"<h2>Nefunkční odkazy (1)</h2>"_s));
    QVERIFY(html.contains(u"<h2>Osiřelé soubory (0)</h2>"_s));
    // 8000 bytes at 64000 b and 100 %: one second, written as the calculator writes it.
    QVERIFY(html.contains(u"<td>8000</td><td>2</td><td>0h:0m:1.00</td>"_s));
    QCOMPARE(pageDownloadTime(100000, 28000, 50), u"0h:0m:57.14"_s);
}

// --- the window ---------------------------------------------------------------------------

void tst_SiteCheck::windowShowsEachKindInItsTable()
{
    SiteCheckWindow window;
    QSignalSpy finished(&window, &SiteCheckWindow::checkFinished);
    window.startCheck({goldenSite(), {}});
    QVERIFY(window.StopButton->isEnabled());
    QVERIFY(finished.wait(20000));
    QVERIFY(!window.StopButton->isEnabled());
    QVERIFY(!window.report().stopped);
    const QStringList captions{u"Nefunkční odkazy (7)"_s, u"Velikost písmen (3)"_s,
                               u"Mimo domovský adresář (4)"_s, u"Externí adresy (2)"_s,
                               u"Osiřelé soubory (2)"_s, u"Váha stránek"_s};
    for (int i = 0; i < captions.size(); ++i)
        QCOMPARE(window.Tabs->tabText(i), captions[i]);
    QTableView *cases = window.table(SiteFindingKind::CaseMismatch);
    QCOMPARE(cases->model()->rowCount(), 3);
    QCOMPARE(cases->model()->index(0, 2).data().toString(), u"Obrázek.GIF"_s);
    QCOMPARE(cases->model()->index(0, 3).data().toString(), u"obrázek.gif"_s);
    QCOMPARE(window.weightTable()->model()->rowCount(), 6);
}

void tst_SiteCheck::windowStopsACheckWhenClosed()
{
    SiteCheckWindow window;
    window.show();
    QSignalSpy finished(&window, &SiteCheckWindow::checkFinished);
    window.startCheck({goldenSite(), {}});
    window.close();
    QVERIFY(finished.wait(20000));
    // However far it got, the check ended without being waited for.
    QVERIFY(!window.isChecking());
}

void tst_SiteCheck::windowDoubleClickAsksToOpenThePlace()
{
    SiteCheckWindow window;
    window.showReport(checkSite({goldenSite(), {}}), {goldenSite(), {}});
    QSignalSpy open(&window, &SiteCheckWindow::openRequested);
    QTableView *broken = window.table(SiteFindingKind::Broken);
    window.activateRow(broken, broken->model()->index(4, 2));
    QCOMPARE(open.size(), 1);
    QCOMPARE(open[0][0].toString(), goldenSite() + u"/stránka.html"_s);
    QCOMPARE(open[0][1].toInt(), 11);
    QCOMPARE(open[0][2].toInt(), 10);
    // An orphan picture is no text to edit; an orphan page opens at its start.
    QTableView *orphans = window.table(SiteFindingKind::Orphan);
    window.activateRow(orphans, orphans->model()->index(0, 0));
    QCOMPARE(open.size(), 1);
    window.activateRow(orphans, orphans->model()->index(1, 0));
    QCOMPARE(open.size(), 2);
    QCOMPARE(open[1][0].toString(), goldenSite() + u"/stary.html"_s);
}

void tst_SiteCheck::windowSortsPlacesAsNumbers()
{
    SiteReport report;
    report.home = u"/w/"_s;
    for (int lineNumber : {10, 9, 100})
        report.findings << SiteFinding{SiteFindingKind::Broken, u"a.html"_s, lineNumber, 1,
                                       lineNumber, u"x.gif"_s, {}, {}};
    SiteCheckWindow window;
    window.showReport(report, {u"/w/"_s, {}});
    QTableView *view = window.table(SiteFindingKind::Broken);
    view->sortByColumn(1, Qt::AscendingOrder);
    QStringList order;
    for (int row = 0; row < 3; ++row)
        order << view->model()->index(row, 1).data().toString();
    QCOMPARE(order, (QStringList{u"9:1"_s, u"10:1"_s, u"100:1"_s}));
}

void tst_SiteCheck::windowShowsNoPlaceForAPageThatCannotBeRead()
{
    QTemporaryDir dir;
    write(dir.filePath(u"index.html"_s), "<A HREF=\"velka.html\">x</A>");
    write(dir.filePath(u"velka.html"_s), QByteArray(1000001, 'a'));
    SiteCheckWindow window;
    window.showReport(checkSite({dir.path(), {}}), {dir.path(), {}});
    QTableView *broken = window.table(SiteFindingKind::Broken);
    QCOMPARE(broken->model()->rowCount(), 1);
    QCOMPARE(broken->model()->index(0, 0).data().toString(), u"velka.html"_s);
    QVERIFY(broken->model()->index(0, 3).data().toString().startsWith(u"Stránku nelze přečíst"_s));
    QCOMPARE(broken->model()->index(0, 1).data().toString(), QString()); // not "0:0"
    // Nowhere to go in it.
    QSignalSpy open(&window, &SiteCheckWindow::openRequested);
    window.activateRow(broken, broken->model()->index(0, 1));
    QCOMPARE(open.size(), 0);
}

void tst_SiteCheck::windowSavesTheReport()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"zprava.html"_s);
    m_script = std::make_unique<ScriptedInteraction>();
    m_script->saveFile(path);
    SiteCheckWindow window;
    window.showReport(checkSite({goldenSite(), {}}), {goldenSite(), {}});
    window.SpeedBox->setCurrentText(u"28000"_s);
    window.SaveButton->click();
    const TextFileResult saved = readDocumentFile(path);
    QVERIFY(saved.ok);
    QCOMPARE(saved.encoding.encoding, TextEncoding::Utf8);
    QVERIFY(saved.text.contains(u"<td>Obrázek.GIF</td>"_s));
    QVERIFY(saved.text.contains(u"(28000 b, 100 %)"_s));
}

void tst_SiteCheck::windowFixesSelectedOrAllMismatches()
{
    qRegisterMetaType<QList<SiteFinding>>();
    SiteCheckWindow window;
    window.showReport(checkSite({goldenSite(), {}}), {goldenSite(), {}});
    QSignalSpy fix(&window, &SiteCheckWindow::fixCaseRequested);
    window.FixCaseButton->click();
    QCOMPARE(fix.size(), 1);
    QCOMPARE(fix[0][0].value<QList<SiteFinding>>().size(), 3);
    QTableView *cases = window.table(SiteFindingKind::CaseMismatch);
    cases->selectRow(2);
    window.FixCaseButton->click();
    const QList<SiteFinding> chosen = fix[1][0].value<QList<SiteFinding>>();
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen[0].reference, u"obrazky/ŽLUTÝ.gif"_s);
}

void tst_SiteCheck::windowMarksEntryPages()
{
    SiteCheckWindow window;
    window.showReport(checkSite({goldenSite(), {}}), {goldenSite(), {}});
    QSignalSpy marked(&window, &SiteCheckWindow::entryPagesMarked);
    window.Tabs->setCurrentIndex(int(SiteFindingKind::Orphan));
    QTableView *orphans = window.table(SiteFindingKind::Orphan);
    orphans->selectRow(1);
    QVERIFY(window.EntryPageButton->isEnabled());
    window.EntryPageButton->click();
    QCOMPARE(marked.size(), 1);
    QCOMPARE(marked[0][0].toStringList(), QStringList{goldenSite() + u"/stary.html"_s});
    QCOMPARE(orphans->model()->rowCount(), 1);
    QCOMPARE(window.options().entryPages, QStringList{goldenSite() + u"/stary.html"_s});
}

BRISKO_TEST_MAIN(tst_SiteCheck)
#include "tst_sitecheck.moc"
