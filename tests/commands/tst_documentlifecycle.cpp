#include "commands/DocumentLifecycle.h"
#include "commands/InsertTag.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/CommandHost.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <unistd.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

// A small tmpfs for failures that permissions cannot cause when the tests run as root.
struct TmpfsMount
{
    TmpfsMount(const QString &directory, const QString &options)
        : dir(directory)
    {
        QDir().mkpath(dir);
        mounted = QProcess::execute(u"mount"_s, {u"-t"_s, u"tmpfs"_s, u"-o"_s, options,
                                                 u"tmpfs"_s, dir}) == 0;
    }
    ~TmpfsMount()
    {
        if (mounted)
            QProcess::execute(u"umount"_s, {dir});
    }
    bool remountReadOnly()
    {
        return QProcess::execute(u"mount"_s, {u"-o"_s, u"remount,ro"_s, dir}) == 0;
    }
    QString dir;
    bool mounted = false;
};

} // namespace

class tst_DocumentLifecycle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void saveWritesLineEndsOfTheSetting_data();
    void saveWritesLineEndsOfTheSetting();
    void everyByteSurvivesOpenAndSave();
    void pageKeepsItsOwnLineBreaks_data();
    void pageKeepsItsOwnLineBreaks();
    void chosenLineBreaksGoToTheNextSave();
    void binaryFileIsWrittenOnlyWhenConfirmed_data();
    void binaryFileIsWrittenOnlyWhenConfirmed();
    void insertedFileOverTheLimitIsRefused();
    void veryLongLineIsBrokenOnlyWhenAsked();
    void charactersOutsideTheCodePageBecomeReferences();
    void backupKeepsTheVersionBeforeTheFirstSave_data();
    void backupKeepsTheVersionBeforeTheFirstSave();
    void backupLeavesThePageWhereItIs_data();
    void backupLeavesThePageWhereItIs();
    void saveAsCancelLeavesRecentListAlone();
    void saveAsAppendsHtmlWithoutExtension_data();
    void saveAsAppendsHtmlWithoutExtension();
    void saveAsWithoutExtensionAsksBeforeReplacingTheFile_data();
    void saveAsWithoutExtensionAsksBeforeReplacingTheFile();
    void failedSaveAsKeepsTheFormerName();
    void saveAsksWhenAnotherProgramChangedTheFile_data();
    void saveAsksWhenAnotherProgramChangedTheFile();
    void openingAnOpenPageBringsItForward();
    void saveAsOverAPageOpenInAnotherWindowIsRefused_data();
    void saveAsOverAPageOpenInAnotherWindowIsRefused();
    void closeAllAsksEachAndCancelKeepsOnlyThatOne();
    void newOpensAnEmptyUntitledWindow();
    void thirtyFirstWindowIsRefused();
    void editCommandsActOnTheActiveDocument();

    void unreadableFileLeavesWindowAlone();
    void directoryChosenAsFileIsRefused();
    void failedOpenKeepsTheFileNameOfTheWindow();
    void tooLargeFileIsRefused();
    void readOnlyTargetKeepsOldFileAndModifiedFlag();
    void writeFailingPartWayKeepsOldFile();
    void smallPageOnFullDiskKeepsOldFile_data();
    void smallPageOnFullDiskKeepsOldFile();

    void printWritesTheTextToThePrinter();
    void printCancelPrintsNothing();
    void printSetupNeedsADocument();
    void insertFileGoesInAtSelectionStart();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    Workspace &ws() { return m_fx->workspace(); }
    // A new window and the new-page wizard after it, as "Nový" opens a page.
    void newPage()
    {
        if (ws().NewDocumentWindow())
            InsertTag(ws(), 86);
    }
    void trigger(CommandId id) { QVERIFY(m_fx->run(id)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<ScriptedInteraction> m_ui;
    std::unique_ptr<WorkspaceFixture> m_fx;
};

void tst_DocumentLifecycle::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(0);
    m_fx->settings().Colorize = false;
}

void tst_DocumentLifecycle::cleanup()
{
    QVERIFY2(m_ui->unexpected.isEmpty(), qPrintable(m_ui->unexpected.join(u'\n')));
    QVERIFY(m_ui->allAnswered());
    m_fx.reset();
    m_ui.reset();
    m_dir.reset();
}

// --- saving and reopening --------------------------------------------------------------

void tst_DocumentLifecycle::saveWritesLineEndsOfTheSetting_data()
{
    QTest::addColumn<int>("fitip");
    QTest::addColumn<QByteArray>("onDisk");
    QTest::newRow("0_dos_crlf") << 0 << QByteArray("<P>\r\n\xf8\xe1" "dek\r\n</P>");
    QTest::newRow("1_unix_lf") << 1 << QByteArray("<P>\n\xf8\xe1" "dek\n</P>");
    QTest::newRow("2_mac_cr") << 2 << QByteArray("<P>\r\xf8\xe1" "dek\r</P>");
}

void tst_DocumentLifecycle::charactersOutsideTheCodePageBecomeReferences()
{
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"Ж€😀"_s);
    m_ui->saveFile(path(u"refs.html"_s));
    SaveDocument(ws(), *m_fx->doc());
    QCOMPARE(fileBytes(path(u"refs.html"_s)), QByteArray("&#1046;\x80&#128512;"));
}

void tst_DocumentLifecycle::saveWritesLineEndsOfTheSetting()
{
    QFETCH(int, fitip);
    QFETCH(QByteArray, onDisk);
    const QString text = u"<P>\r\nřádek\r\n</P>"_s;
    m_fx->settings().FITIP = fitip;
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(text);
    m_ui->saveFile(path(u"page.html"_s));
    SaveDocument(ws(), *m_fx->doc());

    QCOMPARE(fileBytes(path(u"page.html"_s)), onDisk);
    // Only the file gets the converted line ends.
    QCOMPARE(m_fx->buffer().GetText(), text);
    QVERIFY(!m_fx->buffer().IsModified());

    m_ui->openFile(path(u"page.html"_s));
    openDocumentFile(ws());
    QCOMPARE(m_fx->buffer().GetText(), text);
    SaveDocument(ws(), *m_fx->doc());
    QCOMPARE(fileBytes(path(u"page.html"_s)), onDisk);
}

void tst_DocumentLifecycle::everyByteSurvivesOpenAndSave()
{
    QByteArray bytes;
    for (int b = 0; b < 256; ++b) {
        if (b != '\r' && b != '\n')
            bytes.append(char(b));
        if (b % 64 == 63)
            bytes.append("\r\n");
    }
    writeBytes(path(u"bytes.htm"_s), bytes);
    m_ui->openFile(path(u"bytes.htm"_s));
    openDocumentFile(ws());
    m_fx->buffer().SetModified(true);
    // A NUL byte makes it a binary file: saved only once the user says so.
    m_ui->choice(0);
    SaveDocument(ws(), *m_fx->doc());
    QCOMPARE(fileBytes(path(u"bytes.htm"_s)), bytes);
}

void tst_DocumentLifecycle::pageKeepsItsOwnLineBreaks_data()
{
    QTest::addColumn<QByteArray>("onDisk");
    QTest::addColumn<int>("fitip");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QByteArray>("saved");
    // The setting names the line breaks of new pages only.
    QTest::newRow("lf page, dos setting") << QByteArray("<P>\na\n</P>\n") << 0 << u"LF"_s
                                          << QByteArray("<P>\na\n</P>\n");
    QTest::newRow("cr page, unix setting") << QByteArray("<P>\ra\r</P>") << 1 << u"CR"_s
                                           << QByteArray("<P>\ra\r</P>");
    QTest::newRow("crlf page, mac setting") << QByteArray("<P>\r\na</P>\r\n") << 2 << u"CR LF"_s
                                            << QByteArray("<P>\r\na</P>\r\n");
    // A mixed page is written in the form of its first break.
    QTest::newRow("mixed, lf first") << QByteArray("a\nb\r\nc\rd") << 0 << u"LF"_s
                                     << QByteArray("a\nb\nc\nd");
    QTest::newRow("mixed, crlf first") << QByteArray("a\r\nb\nc") << 1 << u"CR LF"_s
                                       << QByteArray("a\r\nb\r\nc");
    // Without a break the page takes the setting's form for the lines typed into it.
    QTest::newRow("one line, unix setting") << QByteArray("<P>a</P>") << 1 << u"LF"_s
                                            << QByteArray("<P>a</P>");
}

void tst_DocumentLifecycle::pageKeepsItsOwnLineBreaks()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(int, fitip);
    QFETCH(QString, panel);
    QFETCH(QByteArray, saved);
    m_fx->settings().FITIP = fitip;
    writeBytes(path(u"page.html"_s), onDisk);
    m_ui->openFile(path(u"page.html"_s));
    openDocumentFile(ws());
    QCOMPARE(lineEndingName(m_fx->doc()->lineEnding()), panel);
    m_fx->buffer().SetModified(true);
    QVERIFY(SaveDocument(ws(), *m_fx->doc()));
    QCOMPARE(fileBytes(path(u"page.html"_s)), saved);
}

void tst_DocumentLifecycle::chosenLineBreaksGoToTheNextSave()
{
    writeBytes(path(u"page.html"_s), "<P>\r\na\r\n</P>");
    m_ui->openFile(path(u"page.html"_s));
    openDocumentFile(ws());
    m_fx->doc()->convertLineEnding(LineEnding::Lf);
    // The file still has its old breaks: the change is one to save.
    QVERIFY(m_fx->buffer().IsModified());
    QVERIFY(SaveDocument(ws(), *m_fx->doc()));
    QCOMPARE(fileBytes(path(u"page.html"_s)), QByteArray("<P>\na\n</P>"));
}

void tst_DocumentLifecycle::binaryFileIsWrittenOnlyWhenConfirmed_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10", 20);
    png.append(QByteArray(200, '\x01'));
    QTest::newRow("picture renamed .html") << png;
    // No NUL, but control characters no text holds.
    QTest::newRow("control bytes") << QByteArray(50, '\x02') + QByteArray("abc\r\x03\x04\n");
}

void tst_DocumentLifecycle::binaryFileIsWrittenOnlyWhenConfirmed()
{
    QFETCH(QByteArray, bytes);
    writeBytes(path(u"obrazek.html"_s), bytes);
    m_ui->openFile(path(u"obrazek.html"_s));
    openDocumentFile(ws());
    HtmlDocument &doc = *m_fx->doc();
    QVERIFY(doc.isBinary());
    CommandHost host(ws());
    const TForm2 window(doc, host);
    QVERIFY(window.findChild<QWidget *>(u"BinaryFileBar"_s));
    // Typing a letter and deleting it leaves the page modified, as the user found it.
    m_fx->buffer().ReplaceSelection(u"x"_s);
    m_fx->buffer().SetSelStart(0);
    m_fx->buffer().SetSelLength(1);
    m_fx->buffer().ClearSelection();
    m_ui->choice(1);
    QVERIFY(!SaveDocument(ws(), doc));
    QCOMPARE(m_ui->lastDefaultButton, 1); // Enter does not destroy the file
    QCOMPARE(fileBytes(path(u"obrazek.html"_s)), bytes);
    QVERIFY(m_fx->buffer().IsModified());
    // Confirmed, it is saved, and not asked about again.
    m_ui->choice(0);
    QVERIFY(SaveDocument(ws(), doc));
    QVERIFY(!doc.isBinary());
    m_fx->buffer().SetModified(true);
    QVERIFY(SaveDocument(ws(), doc));
}

void tst_DocumentLifecycle::veryLongLineIsBrokenOnlyWhenAsked()
{
    QByteArray line;
    while (line.size() < 100000)
        line += "<a href=\"x.html\" title=\"a b\">slovo</a> ";
    writeBytes(path(u"dlouhy.html"_s), "<P>\r\n" + line + "\r\n</P>");
    m_ui->openFile(path(u"dlouhy.html"_s));
    openDocumentFile(ws());
    CommandHost host(ws());
    const TForm2 window(*m_fx->doc(), host);
    QWidget *bar = window.findChild<QWidget *>(u"LongLineBar"_s);
    QVERIFY(bar);
    QVERIFY(!bar->isHidden());
    const QString before = m_fx->buffer().GetText();
    QVERIFY(!m_fx->buffer().IsModified());
    bar->findChild<QPushButton *>(u"BreakLongLinesButton"_s)->click();
    const QString after = m_fx->buffer().GetText();
    QVERIFY(bar->isHidden());
    QVERIFY(longestLineLength(after) < 2 * TForm2::LongLineBreakLength);
    // Only blanks between attributes became line breaks.
    QCOMPARE(QString(after).replace(u"\r\n"_s, u" "_s), QString(before).replace(u"\r\n"_s, u" "_s));
    QVERIFY(!after.contains(u"a\r\nb\""_s));
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), before);
    m_fx->buffer().SetModified(false);
}

void tst_DocumentLifecycle::insertedFileOverTheLimitIsRefused()
{
    writeBytes(path(u"kus.htm"_s), QByteArray(600000, 'a'));
    ws().NewDocumentWindow();
    m_fx->buffer().SetText(QString(500000, u'b'));
    m_ui->openFile(path(u"kus.htm"_s));
    InsertTag(ws(), 93);
    QCOMPARE(m_ui->errors.size(), 1);
    QCOMPARE(m_fx->buffer().textLength(), 500000);
}

void tst_DocumentLifecycle::backupKeepsTheVersionBeforeTheFirstSave_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("backup");
    QTest::newRow("with_extension") << u"a.htm"_s << u"a.bak"_s;
    // Without a dot the backup would otherwise be a file named "bak" beside it.
    QTest::newRow("without_dot") << u"README"_s << u"README.bak"_s;
}

void tst_DocumentLifecycle::backupKeepsTheVersionBeforeTheFirstSave()
{
    QFETCH(QString, name);
    QFETCH(QString, backup);
    writeBytes(path(name), "original");
    m_fx->settings().Backup = true;
    m_ui->openFile(path(name));
    openDocumentFile(ws());
    m_fx->buffer().SetText(u"first"_s);
    SaveDocument(ws(), *m_fx->doc());
    m_fx->buffer().SetText(u"second"_s);
    SaveDocument(ws(), *m_fx->doc());
    QCOMPARE(fileBytes(path(backup)), QByteArray("original"));
    QCOMPARE(fileBytes(path(name)), QByteArray("second"));
}

void tst_DocumentLifecycle::backupLeavesThePageWhereItIs_data()
{
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("page") << false;
    QTest::newRow("page_as_symbolic_link") << true;
}

void tst_DocumentLifecycle::backupLeavesThePageWhereItIs()
{
    QFETCH(bool, throughLink);
    const QString target = path(u"real.htm"_s);
    writeBytes(target, "original");
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    QVERIFY(QFile::setPermissions(target, ownerOnly));
    const QString page = throughLink ? path(u"link.htm"_s) : target;
    if (throughLink)
        QVERIFY(QFile::link(target, page));
    m_fx->settings().Backup = true;
    m_ui->openFile(page);
    openDocumentFile(ws());
    m_fx->buffer().SetText(u"new"_s);
    QVERIFY(SaveDocument(ws(), *m_fx->doc()));
    QCOMPARE(fileBytes(target), QByteArray("new"));
    QCOMPARE(QFileInfo(page).isSymLink(), throughLink);
    QCOMPARE(QFile::permissions(target) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             ownerOnly);
    QCOMPARE(fileBytes(backupFileName(page, m_fx->settings().BackupPrip)),
             QByteArray("original"));
}

// --- recent files ----------------------------------------------------------------------

void tst_DocumentLifecycle::saveAsCancelLeavesRecentListAlone()
{
    m_fx->workspace().AddRecentFile(path(u"kept.htm"_s));
    const auto before = m_fx->settings().RecentFiles;
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"text"_s);
    m_ui->saveFile(QString());
    SaveDocument(ws(), *m_fx->doc()); // an untitled document asks for a name
    QCOMPARE(m_ui->log.value(0), u"save: Html dokumenty (*.html)|*.html|Šablona (*.htt)|*.htt|Bez jména"_s);
    QCOMPARE(m_fx->settings().RecentFiles, before);
    QVERIFY(m_fx->buffer().IsModified());
    QCOMPARE(m_fx->doc()->FileName(), u"Bez jména"_s);
}

void tst_DocumentLifecycle::saveAsAppendsHtmlWithoutExtension_data()
{
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("no_extension") << u"index"_s << u"index.html"_s;
    QTest::newRow("template_extension_kept") << u"vzor.htt"_s << u"vzor.htt"_s;
    QTest::newRow("dot_in_folder_only") << u"my.site/index"_s << u"my.site/index.html"_s;
}

void tst_DocumentLifecycle::saveAsAppendsHtmlWithoutExtension()
{
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QDir(m_dir->path()).mkdir(u"my.site"_s);
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"<HTML>"_s);
    m_ui->saveFile(path(chosen));
    SaveDocumentAs(ws(), *m_fx->doc());
    QCOMPARE(fileBytes(path(written)), QByteArray("<HTML>"));
    QCOMPARE(m_fx->doc()->FileName(), path(written));
    QCOMPARE(m_fx->doc()->caption(), QFileInfo(written).fileName());
    QCOMPARE(m_fx->settings().RecentFiles[0], path(written));
}

void tst_DocumentLifecycle::saveAsWithoutExtensionAsksBeforeReplacingTheFile_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("replace") << 0 << true;
    QTest::newRow("cancel") << 1 << false;
    QTest::newRow("box_closed") << -1 << false;
}

void tst_DocumentLifecycle::saveAsWithoutExtensionAsksBeforeReplacingTheFile()
{
    QFETCH(int, button);
    QFETCH(bool, replaced);
    writeBytes(path(u"index.html"_s), "<P>old page</P>");
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"<P>new page</P>"_s);
    // The dialog saw "index", which does not exist, and asked nothing.
    m_ui->saveFile(path(u"index"_s)).choice(button);
    QCOMPARE(SaveDocumentAs(ws(), *m_fx->doc()), replaced);
    QCOMPARE(m_ui->questions.size(), 1);
    QVERIFY(m_ui->questions[0].contains(path(u"index.html"_s)));
    QCOMPARE(m_ui->lastDefaultButton, 1);
    QCOMPARE(fileBytes(path(u"index.html"_s)),
             replaced ? QByteArray("<P>new page</P>") : QByteArray("<P>old page</P>"));
    QCOMPARE(m_fx->doc()->isUntitled(), !replaced);
    QCOMPARE(m_fx->buffer().IsModified(), !replaced);
}

void tst_DocumentLifecycle::failedSaveAsKeepsTheFormerName()
{
    writeBytes(path(u"page.htm"_s), "old");
    m_ui->openFile(path(u"page.htm"_s));
    openDocumentFile(ws());
    m_fx->buffer().SetText(u"new"_s);
    m_ui->saveFile(path(u"missing/page.htm"_s));
    QVERIFY(!SaveDocumentAs(ws(), *m_fx->doc()));
    QCOMPARE(m_ui->errors.size(), 1);
    QCOMPARE(m_fx->doc()->FileName(), path(u"page.htm"_s));
    QVERIFY(m_fx->buffer().IsModified());
    QCOMPARE(fileBytes(path(u"page.htm"_s)), QByteArray("old"));
}

void tst_DocumentLifecycle::saveAsksWhenAnotherProgramChangedTheFile_data()
{
    QTest::addColumn<QByteArray>("onDisk"); // what the other program left; empty: deleted
    QTest::addColumn<bool>("savedBefore");  // the editor saved once before the change
    QTest::addColumn<int>("button");        // -2: no question is due
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("changed_save_anyway") << QByteArray("<P>theirs, longer</P>") << false << 0
                                         << QByteArray("mine");
    QTest::newRow("changed_cancel") << QByteArray("<P>theirs, longer</P>") << false << 1
                                    << QByteArray("<P>theirs, longer</P>");
    QTest::newRow("changed_box_closed") << QByteArray("<P>theirs, longer</P>") << false << -1
                                        << QByteArray("<P>theirs, longer</P>");
    QTest::newRow("changed_after_own_save") << QByteArray("<P>theirs, longer</P>") << true << 1
                                            << QByteArray("<P>theirs, longer</P>");
    QTest::newRow("deleted") << QByteArray() << false << -2 << QByteArray("mine");
}

void tst_DocumentLifecycle::saveAsksWhenAnotherProgramChangedTheFile()
{
    QFETCH(QByteArray, onDisk);
    QFETCH(bool, savedBefore);
    QFETCH(int, button);
    QFETCH(QByteArray, written);
    const QString file = path(u"shared.htm"_s);
    writeBytes(file, "<P>old</P>");
    m_ui->openFile(file);
    openDocumentFile(ws());
    if (savedBefore) {
        m_fx->buffer().SetText(u"first"_s);
        QVERIFY(SaveDocument(ws(), *m_fx->doc()));
    }
    m_fx->buffer().SetText(u"mine"_s);
    if (onDisk.isEmpty())
        QVERIFY(QFile::remove(file));
    else
        writeBytes(file, onDisk);
    if (button != -2)
        m_ui->choice(button);
    QCOMPARE(SaveDocument(ws(), *m_fx->doc()), written == "mine");
    QCOMPARE(m_ui->questions.size(), button == -2 ? 0 : 1);
    if (button != -2) {
        QVERIFY(m_ui->questions[0].contains(file));
        QCOMPARE(m_ui->lastDefaultButton, 1);
    }
    QCOMPARE(fileBytes(file), written);
    QCOMPARE(m_fx->buffer().IsModified(), written != "mine");
}

void tst_DocumentLifecycle::openingAnOpenPageBringsItForward()
{
    writeBytes(path(u"a.htm"_s), "<P>disk</P>");
    writeBytes(path(u"b.htm"_s), "<P>other</P>");
    HtmlDocument *first = m_fx->workspace().openInNewWindow(path(u"a.htm"_s));
    QVERIFY(first);
    first->SetText(u"typed"_s);
    QVERIFY(m_fx->workspace().openInNewWindow(path(u"b.htm"_s)));
    const qsizetype open = m_fx->workspace().documents().size();
    // The recent list, the open dialog or the file panel, the path written another way.
    QCOMPARE(m_fx->workspace().openInNewWindow(m_dir->path() + u"/./a.htm"_s), first);
    QCOMPARE(m_fx->workspace().documents().size(), open);
    QCOMPARE(m_fx->doc(), first);
    QCOMPARE(first->GetText(), u"typed"_s);
    QVERIFY(first->IsModified());
}

void tst_DocumentLifecycle::saveAsOverAPageOpenInAnotherWindowIsRefused_data()
{
    QTest::addColumn<QString>("chosen"); // what the dialog returned
    QTest::newRow("same name") << u"a.htm"_s;
    QTest::newRow("written another way") << u"./a.htm"_s;
    QTest::newRow("without extension, completed") << u"b"_s;
}

void tst_DocumentLifecycle::saveAsOverAPageOpenInAnotherWindowIsRefused()
{
    QFETCH(QString, chosen);
    writeBytes(path(u"a.htm"_s), "<P>a on disk</P>");
    writeBytes(path(u"b.html"_s), "<P>b on disk</P>");
    const QString target = chosen == u"b"_s ? path(u"b.html"_s) : path(u"a.htm"_s);
    HtmlDocument *open = m_fx->workspace().openInNewWindow(target);
    QVERIFY(open);
    open->SetText(u"typed there"_s);
    HtmlDocument *other = m_fx->workspace().NewDocumentWindow();
    QVERIFY(other);
    other->SetText(u"typed here"_s);
    m_ui->saveFile(path(chosen)); // refused before any question about replacing
    QVERIFY(!SaveDocumentAs(ws(), *other));
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(u"je otevřen v jiném okně"));
    QCOMPARE(fileBytes(target), chosen == u"b"_s ? QByteArray("<P>b on disk</P>") : QByteArray("<P>a on disk</P>"));
    QVERIFY(other->isUntitled());
    QVERIFY(other->IsModified());
    QCOMPARE(open->GetText(), u"typed there"_s);
    // The page's own window saves under its own name as ever.
    m_ui->saveFile(target);
    QVERIFY(SaveDocumentAs(ws(), *open));
}

// --- new and close ---------------------------------------------------------------------

void tst_DocumentLifecycle::closeAllAsksEachAndCancelKeepsOnlyThatOne()
{
    for (const char *name : {"one.htm", "two.htm"}) {
        writeBytes(path(QLatin1StringView(name)), "x");
        m_ui->openFile(path(QLatin1StringView(name)));
        openDocumentFile(ws());
        m_fx->buffer().SetText(u"changed"_s);
    }
    m_ui->answer(Interaction::Answer::Cancel).answer(Interaction::Answer::No);
    closeAllDocuments(ws());
    QCOMPARE(m_ui->questions.size(), 2);
    QVERIFY(m_ui->questions[0].contains(path(u"one.htm"_s)));
    QVERIFY(m_ui->questions[1].contains(path(u"two.htm"_s)));
    QTRY_COMPARE(m_fx->workspace().documents().size(), 1);
    QCOMPARE(m_fx->workspace().documents()[0]->FileName(), path(u"one.htm"_s));
    QCOMPARE(fileBytes(path(u"two.htm"_s)), QByteArray("x"));
}

void tst_DocumentLifecycle::newOpensAnEmptyUntitledWindow()
{
    // The new-page wizard follows each new window; cancelled, the window stays empty.
    const auto cancel = [](QDialog &d) { d.reject(); };
    m_ui->dialog(cancel).dialog(cancel);
    newPage();
    newPage();
    QCOMPARE(m_fx->workspace().documents().size(), 2);
    QCOMPARE(m_fx->workspace().ActiveDocument, 2);
    QCOMPARE(m_fx->doc()->FileName(), u"Bez jména"_s);
    QCOMPARE(m_fx->buffer().GetText(), QString());
}

void tst_DocumentLifecycle::thirtyFirstWindowIsRefused()
{
    for (int i = 0; i < 30; ++i)
        QVERIFY(m_fx->workspace().NewDocumentWindow());
    newPage();
    QCOMPARE(m_ui->errors, QStringList{u"Nelze vytvořit více jak 30 oken!"_s});
    // Open asks for the file, then nothing is loaded.
    writeBytes(path(u"x.htm"_s), "x");
    m_ui->openFile(path(u"x.htm"_s));
    openDocumentFile(ws());
    QCOMPARE(m_ui->errors.size(), 2);
    QCOMPARE(m_fx->workspace().documents().size(), 30);
    QCOMPARE(m_fx->settings().RecentFiles[0], QString());

    // A closed window frees its slot for the next one.
    m_fx->workspace().document(7)->closeConfirmed();
    QTRY_COMPARE(m_fx->workspace().documents().size(), 29);
    m_ui->dialog([](QDialog &d) { d.reject(); });
    newPage();
    QCOMPARE(m_fx->workspace().ActiveDocument, 7);
}

void tst_DocumentLifecycle::editCommandsActOnTheActiveDocument()
{
    m_fx->workspace().NewDocumentWindow();
    m_fx->setText(u"abc def"_s, 0, 4);
    trigger(Cmd::EditCut);
    QCOMPARE(m_fx->buffer().GetText(), u"def"_s);
    m_fx->buffer().SetSelStart(3);
    trigger(Cmd::EditPaste);
    QCOMPARE(m_fx->buffer().GetText(), u"defabc "_s);
    trigger(Cmd::EditUndo);
    QCOMPARE(m_fx->buffer().GetText(), u"def"_s);
    trigger(Cmd::EditSelectAll);
    trigger(Cmd::EditDelete);
    QCOMPARE(m_fx->buffer().GetText(), QString());
    m_ui->answer(Interaction::Answer::No);
    trigger(Cmd::FileClose);
    QCOMPARE(m_ui->questions, QStringList{u"Uložit změny do Bez jména?"_s});
    m_ui->log.clear();
    QTRY_VERIFY(m_fx->workspace().documents().isEmpty());
    // Without a document the commands do nothing.
    trigger(Cmd::EditPaste);
    trigger(Cmd::FileSave);
    trigger(Cmd::FileClose);
    QVERIFY(m_ui->log.isEmpty());
}

// --- failures --------------------------------------------------------------------------

void tst_DocumentLifecycle::unreadableFileLeavesWindowAlone()
{
    // Root reads files whatever their permissions, but not the start of its own memory,
    // which fails on the read rather than on the open.
    QString file = u"/proc/self/mem"_s;
    if (!runningAsRoot()) {
        file = path(u"secret.htm"_s);
        writeBytes(file, "x");
        QFile::setPermissions(file, QFileDevice::WriteOwner);
    } else if (!QFile::exists(file)) {
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "root reads a file whatever its permissions");
    }
    m_ui->openFile(file);
    openDocumentFile(ws());
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(u"nelze otevřít"_s));
    // No empty window is left for the user to close (and be asked about) after the message.
    QVERIFY(ws().documents().isEmpty());
    QCOMPARE(m_fx->settings().RecentFiles[0], QString());
}

void tst_DocumentLifecycle::directoryChosenAsFileIsRefused()
{
    QDir(m_dir->path()).mkdir(u"folder.htm"_s);
    m_ui->openFile(path(u"folder.htm"_s));
    openDocumentFile(ws());
    QCOMPARE(m_ui->errors.size(), 1);
    // The message says it all: no empty window is left behind to be closed.
    QVERIFY(m_fx->workspace().documents().isEmpty());
}

void tst_DocumentLifecycle::failedOpenKeepsTheFileNameOfTheWindow()
{
    // A later Save must not overwrite the file that could not be read with other text.
    writeBytes(path(u"good.htm"_s), "good");
    m_ui->openFile(path(u"good.htm"_s));
    openDocumentFile(ws());
    QDir(m_dir->path()).mkdir(u"bad.htm"_s);
    QVERIFY(!m_fx->workspace().OpenFile(*m_fx->doc(), path(u"bad.htm"_s)));
    QCOMPARE(m_fx->doc()->FileName(), path(u"good.htm"_s));
    QCOMPARE(m_fx->buffer().GetText(), u"good"_s);
    QCOMPARE(m_ui->errors.size(), 1);
}

void tst_DocumentLifecycle::tooLargeFileIsRefused()
{
    writeBytes(path(u"big.htm"_s), QByteArray(1000001, 'a'));
    m_ui->openFile(path(u"big.htm"_s));
    openDocumentFile(ws());
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(u"příliš velký"_s));
    QVERIFY(m_fx->workspace().documents().isEmpty());
}

void tst_DocumentLifecycle::readOnlyTargetKeepsOldFileAndModifiedFlag()
{
    const QString dir = path(u"ro"_s);
    std::unique_ptr<TmpfsMount> mount;
    if (runningAsRoot()) {
        mount = std::make_unique<TmpfsMount>(dir, u"size=1m"_s);
        if (!mount->mounted)
            BRISKO_NOT_CHECKED_HERE(Unchecked::FailInCi, "root writes into read-only folders and may not mount one");
    } else {
        QDir().mkpath(dir);
    }
    const QString file = dir + u"/page.htm"_s;
    writeBytes(file, "old");
    m_fx->settings().Backup = true;
    m_ui->openFile(file);
    openDocumentFile(ws());
    if (mount)
        QVERIFY(mount->remountReadOnly());
    else
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    m_fx->buffer().SetText(u"new"_s);
    SaveDocument(ws(), *m_fx->doc());
    if (!mount)
        QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                       | QFileDevice::ExeOwner);
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(u"nelze uložit"_s));
    QCOMPARE(fileBytes(file), QByteArray("old"));
    QVERIFY(m_fx->buffer().IsModified());
}

void tst_DocumentLifecycle::writeFailingPartWayKeepsOldFile()
{
    TmpfsMount mount(path(u"tiny"_s), u"size=64k"_s);
    if (!mount.mounted)
        BRISKO_NOT_CHECKED_HERE(Unchecked::FailInCi, "no small file system may be mounted to fill it");
    const QString file = mount.dir + u"/page.htm"_s;
    writeBytes(file, "old");
    // The backup is copied first; a failed write leaves the old file and takes the copy away.
    m_fx->settings().Backup = true;
    m_ui->openFile(file);
    openDocumentFile(ws());
    m_fx->buffer().SetText(QString(200000, u'x'));
    SaveDocument(ws(), *m_fx->doc());
    QCOMPARE(m_ui->errors.size(), 1);
    QCOMPARE(fileBytes(file), QByteArray("old"));
    QVERIFY(m_fx->buffer().IsModified());
    QCOMPARE(QDir(mount.dir).entryList(QDir::Files), QStringList{u"page.htm"_s});
}

void tst_DocumentLifecycle::smallPageOnFullDiskKeepsOldFile_data()
{
    QTest::addColumn<bool>("backup");
    QTest::newRow("without backup") << false;
    QTest::newRow("with backup") << true;
}

void tst_DocumentLifecycle::smallPageOnFullDiskKeepsOldFile()
{
    QFETCH(bool, backup);
    TmpfsMount mount(path(u"full"_s), u"size=64k"_s);
    if (!mount.mounted)
        BRISKO_NOT_CHECKED_HERE(Unchecked::FailInCi, "no small file system may be mounted to fill it");
    const QString file = mount.dir + u"/page.htm"_s;
    writeBytes(file, "old");
    {
        // Fill the file system up to its last byte.
        QFile filler(mount.dir + u"/filler"_s);
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        const QByteArray block(4096, 'f');
        while (filler.write(block) > 0) {
        }
        while (filler.write("f", 1) > 0) {
        }
    }
    m_fx->settings().Backup = backup;
    m_ui->openFile(file);
    openDocumentFile(ws());
    // A page far under the write buffer reaches the disk only when the file is flushed.
    m_fx->buffer().SetText(u"<P>new</P>"_s);
    SaveDocument(ws(), *m_fx->doc());
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY(m_ui->errors[0].contains(u"nelze uložit"_s));
    QCOMPARE(fileBytes(file), QByteArray("old"));
    QVERIFY(m_fx->buffer().IsModified());
    QStringList files = QDir(mount.dir).entryList(QDir::Files);
    files.removeOne(u"filler"_s);
    QCOMPARE(files, QStringList{u"page.htm"_s});
}

// --- printing and inserting a file -----------------------------------------------------

void tst_DocumentLifecycle::printWritesTheTextToThePrinter()
{
    const QString pdftotext = QStandardPaths::findExecutable(u"pdftotext"_s);
    // The set-up installs poppler-utils; without it the print is not checked at all.
    QVERIFY2(!pdftotext.isEmpty(), "pdftotext (poppler-utils) is missing");
    writeBytes(path(u"tisk.htm"_s), "<H1>Tiskov\xe1 zkou\x9aka</H1>\r\n<P>druh\xfd \xf8\xe1" "dek</P>");
    m_ui->openFile(path(u"tisk.htm"_s));
    openDocumentFile(ws());
    m_fx->buffer().ColorRange(0, 4, 0x0000FF);
    QPrinter &printer = documentPrinter(m_fx->workspace());
    printer.setOutputFileName(path(u"out.pdf"_s));
    m_ui->printAnswer(true);
    printActiveDocument(ws());

    QCOMPARE(printer.docName(), path(u"tisk.htm"_s));
    QProcess p;
    p.start(pdftotext, {path(u"out.pdf"_s), u"-"_s});
    QVERIFY(p.waitForFinished(30000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    QVERIFY2(text.contains(u"<H1>Tisková zkouška</H1>"_s), qPrintable(text));
    QVERIFY2(text.contains(u"<P>druhý řádek</P>"_s), qPrintable(text));
}

void tst_DocumentLifecycle::printCancelPrintsNothing()
{
    m_fx->workspace().NewDocumentWindow();
    m_fx->buffer().SetText(u"text"_s);
    documentPrinter(m_fx->workspace()).setOutputFileName(path(u"none.pdf"_s));
    m_ui->printAnswer(false);
    printActiveDocument(ws());
    QVERIFY(!QFile::exists(path(u"none.pdf"_s)));

    // Without a document nothing is asked at all.
    m_fx->doc()->closeConfirmed();
    QTRY_VERIFY(m_fx->workspace().documents().isEmpty());
    printActiveDocument(ws());
    QCOMPARE(m_ui->log, QStringList{u"print"_s});
}

void tst_DocumentLifecycle::printSetupNeedsADocument()
{
    trigger(Cmd::FilePrintSetup);
    QVERIFY(m_ui->log.isEmpty());
    m_fx->workspace().NewDocumentWindow();
    m_ui->printAnswer(true);
    trigger(Cmd::FilePrintSetup);
    QCOMPARE(m_ui->log, QStringList{u"setup"_s});
}

void tst_DocumentLifecycle::insertFileGoesInAtSelectionStart()
{
    writeBytes(path(u"kus.htm"_s), "<B>kus</B>\r\n");
    m_fx->workspace().NewDocumentWindow();
    m_fx->setText(u"před vybrané po"_s, 5, 7);
    m_ui->openFile(path(u"kus.htm"_s));
    InsertTag(ws(), 93);
    QCOMPARE(m_ui->log.value(0),
             u"open: Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"před <B>kus</B>\r\nvybrané po"_s);

    // The inside-tag check stops it before the dialog.
    m_fx->setText(u"<A HREF>"_s, 3, 0);
    InsertTag(ws(), 93);
    QCOMPARE(m_ui->errors, QStringList{u"Nelze vkladat tag uvnitř tagu!"_s});
    QCOMPARE(m_fx->buffer().GetText(), u"<A HREF>"_s);
}

BRISKO_TEST_MAIN(tst_DocumentLifecycle)
#include "tst_documentlifecycle.moc"
