#include "commands/SiteCheckCommands.h"
#include "editor/HtmlDocument.h"
#include "markup/TextEncoding.h"
#include "markup/TextFile.h"
#include "publish/ftpklient.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"
#include "tools/SiteCheckWindow.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A copy of the golden site that a test may change.
void copySite(const QString &to)
{
    const QString from = testDataPath(u"sitecheck/site"_s);
    QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + u'/' + QDir(from).relativeFilePath(path);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QVERIFY(QFile::copy(path, target));
    }
}

// Waits in a scripted dialog for the check before an upload to end.
void waitForCheck(QDialog &dialog)
{
    QCOMPARE(dialog.windowTitle(), u"Kontrola webu"_s);
    QTRY_VERIFY_WITH_TIMEOUT(!dialog.isVisible() || dialog.result() == QDialog::Accepted, 20000);
}

} // namespace

// The site check from the frame's menu and the upload window to the documents and back.
class tst_SiteCheckCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void menuChecksTheChosenFolderInTheReportWindow();
    void doubleClickOpensThePageWithTheCaretOnTheReference();
    void caseFixRewritesClosedPagesInTheirEncodingWithBackup();
    void caseFixInAnOpenPageIsOneUndoStep();
    void caseFixLeavesUnsavedPagesToTheUser();
    void caseFixLeavesChangedReferencesAlone();
    void caseFixLeavesLinkedAndReadOnlyPagesAlone();
    void caseFixKeepsMixedLineBreaks();
    void caseFixFromTheWindowNamesTheSavedPages();
    void uploadCheckAsksWithTheCounts_data();
    void uploadCheckAsksWithTheCounts();
    void uploadWindowChecksFirstAndCanShowTheReport();
    void uploadWindowBoxFollowsTheSetting();
    void checkLeavesOutTheEditorsBackupsAndCopies();

private:
    // The report windows: without a frame each is a window of its own.
    static QList<SiteCheckWindow *> reportWindows()
    {
        QList<SiteCheckWindow *> reports;
        const QWidgetList windows = QApplication::topLevelWidgets();
        for (QWidget *w : windows) {
            if (auto *report = qobject_cast<SiteCheckWindow *>(w))
                reports << report;
        }
        return reports;
    }
    static SiteCheckWindow *reportWindow()
    {
        const QList<SiteCheckWindow *> reports = reportWindows();
        return reports.isEmpty() ? nullptr : reports.first();
    }

    std::unique_ptr<ScriptedInteraction> m_script;
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_site;
};

void tst_SiteCheckCommands::init()
{
    m_script = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(0);
    m_dir = std::make_unique<QTemporaryDir>();
    m_site = m_dir->path() + u"/web"_s;
    copySite(m_site);
}

void tst_SiteCheckCommands::cleanup()
{
    if (SiteCheckWindow *w = m_fx ? reportWindow() : nullptr)
        delete w;
    for (HtmlDocument *doc : m_fx->workspace().documents())
        doc->SetModified(false);
    m_fx.reset();
    endScript(m_script);
    m_dir.reset();
}

void tst_SiteCheckCommands::menuChecksTheChosenFolderInTheReportWindow()
{
    m_script->directory(m_site);
    QVERIFY(m_fx->run(Cmd::ToolSiteCheck));
    SiteCheckWindow *window = reportWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QSignalSpy finished(window, &SiteCheckWindow::checkFinished);
    QVERIFY(finished.wait(20000));
    QCOMPARE(window->report().faultCount(), 10);
    QCOMPARE(m_fx->settings().SiteDir, m_site);
    // The same window serves the next check.
    m_script->directory(m_site);
    QVERIFY(m_fx->run(Cmd::ToolSiteCheck));
    QCOMPARE(reportWindows().size(), 1);
    QVERIFY(finished.wait(20000));
}

void tst_SiteCheckCommands::doubleClickOpensThePageWithTheCaretOnTheReference()
{
    SiteCheckWindow &window = siteCheckWindow(m_fx->workspace());
    window.showReport(checkSite({m_site, {}}), {m_site, {}});
    QTableView *broken = window.table(SiteFindingKind::Broken);
    // stránka.html, a Windows-1250 page: "index.html#chybi" at 11:10.
    window.activateRow(broken, broken->model()->index(4, 1));
    HtmlDocument *doc = m_fx->doc();
    QVERIFY(doc);
    QCOMPARE(doc->FileName(), m_site + u"/stránka.html"_s);
    QCOMPARE(doc->CaretLineColumn(), qMakePair(11, 10));
    QCOMPARE(doc->textRange(doc->SelStart(), 16), u"index.html#chybi"_s);
    // The page already open is shown again, not opened twice.
    window.activateRow(broken, broken->model()->index(0, 0));
    window.activateRow(broken, broken->model()->index(4, 0));
    QCOMPARE(m_fx->workspace().documents().size(), 2);
    QCOMPARE(m_fx->doc()->FileName(), m_site + u"/stránka.html"_s);
}

void tst_SiteCheckCommands::caseFixRewritesClosedPagesInTheirEncodingWithBackup()
{
    m_fx->settings().Backup = true;
    const QString iso = m_site + u"/iso.html"_s;
    const QByteArray before = bytesOf(iso);
    const SiteReport report = checkSite({m_site, {}});
    const CaseFixOutcome outcome =
        fixCaseMismatches(m_fx->workspace(), m_site,
                          report.findingsOf(SiteFindingKind::CaseMismatch));
    QCOMPARE(outcome.fixed, 3);
    QCOMPARE(outcome.problems, QStringList());
    QCOMPARE(outcome.saved, (QStringList{u"index.html"_s, u"iso.html"_s}));
    // Only the references changed, and the page stays in ISO-8859-2.
    QString expected = *decodeText(before, TextEncoding::Iso88592);
    expected.replace(u"\"Stránka.html\""_s, u"\"stránka.html\""_s);
    expected.replace(u"ŽLUTÝ"_s, u"žlutý"_s);
    QCOMPARE(bytesOf(iso), encodeText(expected, {TextEncoding::Iso88592, false}));
    QCOMPARE(bytesOf(m_site + u"/iso.bak"_s), before);
    // No file was renamed, and nothing is left to mend.
    QVERIFY(QFileInfo::exists(m_site + u"/obrázek.gif"_s));
    QVERIFY(!QFileInfo::exists(m_site + u"/Obrázek.GIF"_s));
    QVERIFY(checkSite({m_site, {}}).findingsOf(SiteFindingKind::CaseMismatch).isEmpty());
}

void tst_SiteCheckCommands::caseFixInAnOpenPageIsOneUndoStep()
{
    const QString index = m_site + u"/index.html"_s;
    HtmlDocument *doc = m_fx->workspace().openInNewWindow(index);
    QVERIFY(doc);
    // Coloured as a shown page is before the user can reach the report.
    QTRY_VERIFY(!doc->backgroundColouringPending());
    const QString original = doc->GetText();
    const SiteReport report = checkSite({m_site, {}});
    const CaseFixOutcome outcome =
        fixCaseMismatches(m_fx->workspace(), m_site,
                          report.findingsOf(SiteFindingKind::CaseMismatch).first(1));
    QCOMPARE(outcome.fixed, 1);
    QCOMPARE(outcome.saved, QStringList{u"index.html"_s});
    QVERIFY(doc->GetText().contains(u"<img src=\"obrázek.gif\""_s));
    QVERIFY(readDocumentFile(index).text.contains(u"<img src=\"obrázek.gif\""_s));
    QCOMPARE(readDocumentFile(index).encoding.encoding, TextEncoding::Utf8);
    doc->Undo();
    QCOMPARE(doc->GetText(), original);
}

void tst_SiteCheckCommands::caseFixLeavesUnsavedPagesToTheUser()
{
    const QString index = m_site + u"/index.html"_s;
    const QByteArray before = bytesOf(index);
    HtmlDocument *doc = m_fx->workspace().openInNewWindow(index);
    QVERIFY(doc);
    doc->SetSelStart(doc->textLength());
    doc->ReplaceSelection(u"\r\n<!-- rozepsáno -->"_s);
    const SiteReport report = checkSite({m_site, {}});
    const CaseFixOutcome outcome =
        fixCaseMismatches(m_fx->workspace(), m_site,
                          report.findingsOf(SiteFindingKind::CaseMismatch).first(1));
    QCOMPARE(outcome.editedOnly, QStringList{u"index.html"_s});
    QVERIFY(doc->GetText().contains(u"obrázek.gif"_s));
    QVERIFY(doc->IsModified());
    QCOMPARE(bytesOf(index), before);
}

void tst_SiteCheckCommands::caseFixLeavesChangedReferencesAlone()
{
    const SiteReport report = checkSite({m_site, {}});
    const QString iso = m_site + u"/iso.html"_s;
    // The page changes after the check: a line more above the references.
    QByteArray changed = bytesOf(iso);
    changed.prepend("<!-- nový řádek -->\r\n");
    QFile file(iso);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(changed);
    file.close();
    QList<SiteFinding> findings;
    for (const SiteFinding &f : report.findingsOf(SiteFindingKind::CaseMismatch)) {
        if (f.page == u"iso.html"_s)
            findings << f;
    }
    const CaseFixOutcome outcome = fixCaseMismatches(m_fx->workspace(), m_site, findings);
    QCOMPARE(outcome.fixed, 0);
    QCOMPARE(outcome.problems.size(), 2);
    QVERIFY(outcome.problems[0].contains(u"se od kontroly změnil"_s));
    QCOMPARE(bytesOf(iso), changed);
}

// A page that links to a file outside the site, and one its owner made read-only, are
// reported and stay byte for byte as they were.
void tst_SiteCheckCommands::caseFixLeavesLinkedAndReadOnlyPagesAlone()
{
    const QString outside = m_dir->path() + u"/jinde/venku.html"_s;
    QVERIFY(QDir().mkpath(QFileInfo(outside).absolutePath()));
    const QByteArray outsideBytes = "<p><a href=\"INDEX.html\">dom\xC5\xAF</a></p>\n";
    {
        QFile file(outside);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(outsideBytes);
    }
    QVERIFY(QFile::link(outside, m_site + u"/odkaz.html"_s));
    const QString iso = m_site + u"/iso.html"_s;
    const QByteArray isoBytes = bytesOf(iso);
    const QFileDevice::Permissions readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
    QVERIFY(QFile::setPermissions(iso, readOnly));

    const SiteReport report = checkSite({m_site, {}});
    QList<SiteFinding> findings;
    for (const SiteFinding &f : report.findingsOf(SiteFindingKind::CaseMismatch)) {
        if (f.page == u"odkaz.html"_s || f.page == u"iso.html"_s)
            findings << f;
    }
    QCOMPARE(findings.size(), 3);
    const CaseFixOutcome outcome = fixCaseMismatches(m_fx->workspace(), m_site, findings);
    QVERIFY(QFile::setPermissions(iso, readOnly | QFileDevice::WriteOwner));
    QCOMPARE(outcome.fixed, 0);
    QCOMPARE(outcome.saved, QStringList());
    QCOMPARE(outcome.problems.size(), 2);
    QVERIFY2(outcome.problems.join(u'\n').contains(u"mimo web"_s), qPrintable(outcome.problems.join(u'\n')));
    QVERIFY2(outcome.problems.join(u'\n').contains(u"jen pro čtení"_s), qPrintable(outcome.problems.join(u'\n')));
    QCOMPARE(bytesOf(outside), outsideBytes);
    QVERIFY(QFileInfo(m_site + u"/odkaz.html"_s).isSymLink());
    QCOMPARE(bytesOf(iso), isoBytes);
}

// A page that mixes its line breaks gets the fixed references and nothing else.
void tst_SiteCheckCommands::caseFixKeepsMixedLineBreaks()
{
    const QString page = m_site + u"/smisene.html"_s;
    const QByteArray before = "<p>\n<img src=\"Obr\xC3\xA1zek.GIF\">\r\n<a href=\"INDEX.html\">x</a>\r</p>\n";
    {
        QFile file(page);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(before);
    }
    QList<SiteFinding> findings;
    for (const SiteFinding &f : checkSite({m_site, {}}).findingsOf(SiteFindingKind::CaseMismatch)) {
        if (f.page == u"smisene.html"_s)
            findings << f;
    }
    const CaseFixOutcome outcome = fixCaseMismatches(m_fx->workspace(), m_site, findings);
    QCOMPARE(outcome.problems, QStringList());
    QCOMPARE(outcome.fixed, 2);
    QCOMPARE(bytesOf(page),
             QByteArray("<p>\n<img src=\"obr\xC3\xA1zek.gif\">\r\n<a href=\"index.html\">x</a>\r</p>\n"));
}

void tst_SiteCheckCommands::caseFixFromTheWindowNamesTheSavedPages()
{
    SiteCheckWindow &window = siteCheckWindow(m_fx->workspace());
    window.showReport(checkSite({m_site, {}}), {m_site, {}});
    QSignalSpy finished(&window, &SiteCheckWindow::checkFinished);
    window.FixCaseButton->click();
    QCOMPARE(m_script->infos.size(), 1);
    const QString report = m_script->infos.first();
    QVERIFY2(report.startsWith(u"Opravených odkazů: 3."_s), qPrintable(report));
    QVERIFY2(report.contains(u"Uložené stránky: index.html, iso.html"_s), qPrintable(report));
    // The window checks the site again after the fix.
    QVERIFY(finished.wait(20000));
}

void tst_SiteCheckCommands::uploadCheckAsksWithTheCounts_data()
{
    QTest::addColumn<int>("choice");
    QTest::addColumn<bool>("upload");
    QTest::addColumn<bool>("showReport");
    QTest::newRow("upload_anyway") << 0 << true << false;
    QTest::newRow("show_report") << 1 << false << true;
    QTest::newRow("cancel") << 2 << false << false;
    QTest::newRow("box_closed") << -1 << false << false;
}

void tst_SiteCheckCommands::uploadCheckAsksWithTheCounts()
{
    QFETCH(int, choice);
    QFETCH(bool, upload);
    QFETCH(bool, showReport);
    m_script->dialog(waitForCheck).choice(choice);
    SiteReport report;
    bool show = false;
    QCOMPARE(checkSiteBeforeUpload(m_fx->workspace(), m_site, report, show), upload);
    QCOMPARE(show, showReport);
    QCOMPARE(m_script->log.last(),
             u"choose: Kontrola webu našla chyby, které na serveru nebudou fungovat.\r\n"
             u"Nefunkční odkazy: 7\r\nChybná velikost písmen: 3|Nahrát i tak|Zobrazit zprávu|Zrušit"_s);
    // Enter must not upload a site with known faults: it shows the report.
    QCOMPARE(m_script->lastDefaultButton, 1);
    QCOMPARE(report.faultCount(), 10);
}

void tst_SiteCheckCommands::uploadWindowChecksFirstAndCanShowTheReport()
{
    m_script->dialog([this](QDialog &form) {
        auto *box = form.findChild<QCheckBox *>(u"CheckSiteBox"_s);
        QVERIFY(box && box->isVisible() && box->isChecked());
        static_cast<TFTPForm &>(form).setHomeDirectory(m_site);
        m_script->dialog(waitForCheck).choice(1);
        form.findChild<QPushButton *>(u"UploadButton"_s)->click();
        // "Zobrazit zprávu" closes the upload window; nothing was sent.
        QTRY_VERIFY(!form.isVisible() || form.result() == QDialog::Rejected);
        QVERIFY(!static_cast<TFTPForm &>(form).LogText().contains(u"STOR"_s));
    });
    QVERIFY(m_fx->run(Cmd::ToolUpload));
    SiteCheckWindow *window = reportWindow();
    QVERIFY(window);
    QVERIFY(window->isVisible());
    QCOMPARE(window->report().faultCount(), 10);
    QCOMPARE(window->options().home, m_site + u'/');
}

void tst_SiteCheckCommands::uploadWindowBoxFollowsTheSetting()
{
    m_fx->settings().SiteCheckBeforeUpload = false;
    m_script->dialog([](QDialog &form) {
        auto *box = form.findChild<QCheckBox *>(u"CheckSiteBox"_s);
        QVERIFY(!box->isChecked());
        box->setChecked(true);
        form.reject();
    });
    QVERIFY(m_fx->run(Cmd::ToolUpload));
    QVERIFY(m_fx->settings().SiteCheckBeforeUpload);
    // Alone, the upload window has no check to run and shows no box.
    TFTPForm plain;
    QVERIFY(plain.findChild<QCheckBox *>(u"CheckSiteBox"_s)->isHidden());
}

void tst_SiteCheckCommands::checkLeavesOutTheEditorsBackupsAndCopies()
{
    // Saving with a backup leaves "index.old" and "iso.old" beside the pages.
    m_fx->settings().Backup = true;
    m_fx->settings().BackupPrip = u"old"_s;
    const SiteReport before = checkSite(siteCheckOptions(m_fx->workspace(), m_site));
    fixCaseMismatches(m_fx->workspace(), m_site, before.findingsOf(SiteFindingKind::CaseMismatch));
    QVERIFY(QFileInfo::exists(m_site + u"/index.old"_s));
    QVERIFY(QFileInfo::exists(m_site + u"/iso.old"_s));
    // A copy left by a save that never ended, and a recovery copy.
    QFile::copy(m_site + u"/stary.html"_s, m_site + u"/stary.html.QxWvTz"_s);
    QFile::copy(m_site + u"/stary.html"_s,
                m_site + u"/0f1e2d3c-4b5a-6978-8796-a5b4c3d2e1f0-1.rec"_s);
    const SiteReport after = checkSite(siteCheckOptions(m_fx->workspace(), m_site));
    QCOMPARE(after.pages, before.pages);
    QCOMPARE(after.files, before.files);
    QStringList orphans;
    for (const SiteFinding &f : after.findingsOf(SiteFindingKind::Orphan))
        orphans << f.page;
    QCOMPARE(orphans, (QStringList{u"osirely.gif"_s, u"stary.html"_s}));
}

BRISKO_TEST_MAIN(tst_SiteCheckCommands)
#include "tst_sitecheckcommands.moc"
