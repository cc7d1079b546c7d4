// The upload window end to end: against a real FTP server (pyftpdlib on 127.0.0.1), a
// scripted one for replies a real server never gives, and no server at all.
#include "FtpRelay.h"
#include "LocalTree.h"
#include "PyFtpServer.h"
#include "ScriptedFtpServer.h"
#include "publish/FtpClient.h"
#include "publish/UploadEngine.h"
#include "publish/UploadJournal.h"
#include "publish/ftpklient.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QListWidget>
#include <QPushButton>
#include <QProgressBar>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <memory>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"webmaster"_s;
const QString Password = u"tajne-heslo-42"_s;

qsizetype failures(const QString &log)
{
    return log.split(u'\n').count(u"Chyba!"_s);
}

} // namespace

class tst_FtpUpload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void windowStartsFromItsDefaults_data();
    void windowStartsFromItsDefaults();
    void entryPointRunsTheWindowModally();
    void localListShowsBracketedDirectoriesAndNavigates();

    void uploadMirrorsTheTreeByteForByte_data();
    void uploadMirrorsTheTreeByteForByte();
    void secondUploadReportsExistingDirectoriesAndStoresAgain();
    void subdirectoryOptionOffSendsOnlyTopFiles();
    void listReplacesTheListingFileAndShowsNames();
    void vanishingFileIsReportedAndTheWalkGoesOn();
    void unreadableFileIsReported();
    void symbolicLinkLoopEndsTheWalk();
    void namesWithLineBreaksNeverReachTheServer_data();
    void namesWithLineBreaksNeverReachTheServer();

    void uploadWithoutConnectionLogsOneFailurePerRequest();
    void refusedGreetingFailsEveryLoginStep();
    void userAcceptedWithoutPasswordStaysLoggedIn();
    void serverHangingUpDuringStoreIsLoggedAndTheWalkGoesOn();

    void errorBoxHeldOpenPastTheTimeoutDoesNotEndTheUpload();
    void unenterableDirectoryStoresNothingOutsideTheTarget();
    void uploadGoesToTheDirectoryTheFieldNames_data();
    void uploadGoesToTheDirectoryTheFieldNames();
    void timeOutMidTransferLeavesNoHalfFile();
    void cutConnectionMidTransferLeavesNoHalfFile();
    void wrongPasswordGivesOneBoxPerUpload();
    void stopDuringALargeTransferLeavesNoHalfFile();
    void renameRefusedFallsBackToPlainStore();
    void passiveOnlyServerIsUsedPassively();
    void onlyChangedFilesAreStoredAgain();
    void filesGoneFromTheServerAreStoredAgain_data();
    void filesGoneFromTheServerAreStoredAgain();
    void failedTransferIsNeverInTheJournal();
    void dryRunStoresNothing();
    void emptyHomeDirectoryLogsNothing();
    void progressCountsFilesAndBytes_data();
    void progressCountsFilesAndBytes();
    void walkedDirectoriesAreListedAtAHumanPace();

    void fileAddedAfterTheListingIsStoredToo();
    void emptyDirectoryIsMadeOnceWithChangedOnly();
    void stopWithoutSafeStoreSaysTheFileIsIncomplete();
    void temporaryLeftByALostServerIsDeletedNextTime();
    void parallelRefusalsShowOneBoxPerText();
    void windowAsksBeforeOverwritingOthersChanges();
    void checkBeforeUploadCanKeepItFromStarting();
    void everyByteArrivesAfterEveryWayOfConnecting_data();
    void everyByteArrivesAfterEveryWayOfConnecting();
    void connectingAgainGoesToTheServerTheFieldsName_data();
    void connectingAgainGoesToTheServerTheFieldsName();
    void uploadOverASessionTheFieldsNoLongerNameIsRefused_data();
    void uploadOverASessionTheFieldsNoLongerNameIsRefused();
    void backupsStayHomeByDefault();

private:
    std::unique_ptr<TFTPForm> makeForm(quint16 port);
    void connectForm(TFTPForm &form, bool passive = false);
    template<typename T> static T *control(TFTPForm &form, const QString &name)
    {
        T *w = form.findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    static void click(TFTPForm &form, const QString &name) { control<QPushButton>(form, name)->click(); }

    PyFtpServer m_server;
    QString m_serverProblem;
    QTemporaryDir m_remoteRoot;
    std::unique_ptr<QTemporaryDir> m_local;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void tst_FtpUpload::initTestCase()
{
    m_serverProblem = m_server.start(m_remoteRoot.path(), User, Password);
}

void tst_FtpUpload::init()
{
    m_local = std::make_unique<QTemporaryDir>();
    m_ui = std::make_unique<ScriptedInteraction>();
    QDir remote(m_remoteRoot.path());
    for (const QFileInfo &info : remote.entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (info.isDir() && !info.isSymLink())
            QDir(info.filePath()).removeRecursively();
        else
            QFile::remove(info.filePath());
    }
}

void tst_FtpUpload::cleanup()
{
    m_ui.reset();
    m_local.reset();
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

std::unique_ptr<TFTPForm> tst_FtpUpload::makeForm(quint16 port)
{
    auto form = std::make_unique<TFTPForm>();
    control<QLineEdit>(*form, u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    control<QLineEdit>(*form, u"PortEdit"_s)->setText(QString::number(port));
    control<QLineEdit>(*form, u"UserNameEdit"_s)->setText(User);
    control<QLineEdit>(*form, u"PassWordEdit"_s)->setText(Password);
    form->setHomeDirectory(m_local->path());
    return form;
}

void tst_FtpUpload::connectForm(TFTPForm &form, bool passive)
{
    control<QCheckBox>(form, u"PassiveCheckBox"_s)->setChecked(passive);
    click(form, u"ConnectButton"_s);
}

// ---------------------------------------------------------------------------------------
// The window itself

void tst_FtpUpload::windowStartsFromItsDefaults_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("hint");
    QTest::newRow("server") << u"HostNameEdit"_s << QString() << u"Host where the file is located"_s;
    QTest::newRow("port") << u"PortEdit"_s << u"ftp"_s << QString();
    QTest::newRow("account") << u"UserNameEdit"_s << u"anonymous"_s << u"User name used to log on the host"_s;
    QTest::newRow("password") << u"PassWordEdit"_s << u"anonymous@example.com"_s << u"Password used to validate user access"_s;
    QTest::newRow("remote directory") << u"HostDirEdit"_s << QString() << QString();
    QTest::newRow("home directory is the user's home folder")
        << u"DirectoryEdit1"_s << QDir::toNativeSeparators(QDir::homePath() + u'/') << QString();
}

void tst_FtpUpload::windowStartsFromItsDefaults()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, hint);
    TFTPForm form;
    auto *edit = control<QLineEdit>(form, name);
    QCOMPARE(edit->text(), text);
    QCOMPARE(edit->toolTip(), hint);
    QCOMPARE(form.windowTitle(), u"Upload"_s);
    QVERIFY(control<QCheckBox>(form, u"CheckBox1"_s)->isChecked());
    QVERIFY(!control<QCheckBox>(form, u"DeleteOrphansCheckBox"_s)->isChecked());
    QVERIFY(!control<QCheckBox>(form, u"PassiveCheckBox"_s)->isChecked());
    QVERIFY(control<QPlainTextEdit>(form, u"DisplayMemo"_s)->isReadOnly());
    QCOMPARE(form.FtpClient1().Timeout(), 15);
    QVERIFY(form.FtpClient1().DisplayFlag());
    QVERIFY(!form.FtpClient1().Passive());
}

void tst_FtpUpload::entryPointRunsTheWindowModally()
{
    bool sawWindow = false;
    m_ui->dialog([&](QDialog &dialog) {
        sawWindow = dialog.findChild<QPushButton *>(u"UploadButton"_s) != nullptr;
        dialog.findChild<QPushButton *>(u"CloseButton"_s)->click();
    });
    ShowUploadWindow(nullptr);
    QVERIFY(sawWindow);
    QVERIFY(m_ui->allAnswered());
    QCOMPARE(m_ui->log, QStringList{u"dialog: Upload"_s});
}

void tst_FtpUpload::localListShowsBracketedDirectoriesAndNavigates()
{
    const QString root = m_local->path();
    writeFile(root + u"/B.html"_s, "b");
    writeFile(root + u"/a.html"_s, "a");
    writeFile(root + u"/.hidden"_s, "h");
    writeFile(root + u"/sub/inner.txt"_s, "i");
    TFTPForm form;
    form.setHomeDirectory(root);
    // Case-insensitive order; hidden entries are not listed.
    QCOMPARE(form.LocalEntries(), (QStringList{u"[..]"_s, u"[.]"_s, u"[sub]"_s, u"a.html"_s, u"B.html"_s}));
    auto *list = control<QListWidget>(form, u"FileListBox1"_s);
    form.FileListBox1DblClick(list->item(3)); // a file: nothing
    QCOMPARE(form.HomeDirectory(), root + u'/');
    form.FileListBox1DblClick(list->item(2));
    QCOMPARE(form.HomeDirectory(), root + u"/sub/"_s);
    QVERIFY(form.LocalEntries().contains(u"inner.txt"_s));
    form.FileListBox1DblClick(list->item(0)); // [..]
    QCOMPARE(form.HomeDirectory(), root + u'/');
    form.FileListBox1DblClick(list->item(1)); // [.]: the root of the volume
    QString volume = QStorageInfo(root).rootPath();
    if (!volume.endsWith(u'/'))
        volume += u'/';
    QCOMPARE(form.HomeDirectory(), volume);
}

// ---------------------------------------------------------------------------------------
// Against a real server

void tst_FtpUpload::uploadMirrorsTheTreeByteForByte_data()
{
    QTest::addColumn<bool>("passive");
    QTest::newRow("active mode") << false;
    QTest::newRow("passive mode") << true;
}

void tst_FtpUpload::uploadMirrorsTheTreeByteForByte()
{
    QFETCH(bool, passive);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    const QString root = m_local->path();
    QByteArray big(20 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator random(1234);
    random.fillRange(reinterpret_cast<quint32 *>(big.data()), big.size() / 4);
    writeFile(root + u"/index.html"_s, "<HTML></HTML>\r\n");
    writeFile(root + u"/empty.txt"_s, {});
    writeFile(root + u"/big.bin"_s, big);
    writeFile(root + u"/name with spaces.txt"_s, "spaces");
    writeFile(root + u"/[brackets].txt"_s, "brackets");
    writeFile(root + u"/žluťoučký kůň.html"_s, "\xe8\xed\xf8");
    writeFile(root + u"/sub/a.css"_s, "a {}");
    writeFile(root + u"/sub/deeper/b.js"_s, "var b;");
    writeFile(root + u"/Složka s mezerou/c.txt"_s, "c");
    writeFile(root + u"/pics [2]/d.gif"_s, "GIF89a");
    QDir(root).mkpath(u"emptydir"_s);

    auto form = makeForm(m_server.port());
    connectForm(*form, passive);
    click(*form, u"UploadButton"_s);

    const QString log = form->LogText();
    if (failures(log) != 0)
        qWarning().noquote() << log;
    QCOMPARE(failures(log), 0);
    QCOMPARE(snapshot(m_remoteRoot.path()), snapshot(root));
    QVERIFY(m_ui->errors.isEmpty());
    QVERIFY(log.contains(u"> PASS ********"_s));
    QVERIFY(!log.contains(Password));
    QVERIFY(log.contains(passive ? u"> EPSV"_s : u"> PORT 127,0,0,1,"_s));
    QCOMPARE(form->HomeDirectory(), root + u'/'); // back where the walk started
}

void tst_FtpUpload::secondUploadReportsExistingDirectoriesAndStoresAgain()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    const QString root = m_local->path();
    writeFile(root + u"/top.html"_s, "first");
    writeFile(root + u"/sub/inner.html"_s, "first");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    QCOMPARE(failures(form->LogText()), 0);

    writeFile(root + u"/top.html"_s, "second");
    writeFile(root + u"/sub/inner.html"_s, "second, longer");
    click(*form, u"UploadButton"_s);
    // The existing remote directory: one failure and one error box, then its files land.
    QCOMPARE(failures(form->LogText()), 1);
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY2(m_ui->errors.first().startsWith(u"Error = 550 (550 "_s), qPrintable(m_ui->errors.first()));
    QCOMPARE(snapshot(m_remoteRoot.path()), snapshot(root));
}

void tst_FtpUpload::subdirectoryOptionOffSendsOnlyTopFiles()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    const QString root = m_local->path();
    writeFile(root + u"/top.html"_s, "top");
    writeFile(root + u"/sub/inner.html"_s, "inner");
    auto form = makeForm(m_server.port());
    control<QCheckBox>(*form, u"CheckBox1"_s)->setChecked(false);
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(), QStringList{u"top.html"_s});
    QCOMPARE(failures(form->LogText()), 0);
}

void tst_FtpUpload::listReplacesTheListingFileAndShowsNames()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    writeFile(m_remoteRoot.path() + u"/one.html"_s, "1");
    writeFile(m_remoteRoot.path() + u"/dvě.html"_s, "2");
    const QString listing = TFTPForm::ListingFilePath();
    QVERIFY(listing.startsWith(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));
    writeFile(listing, "an old listing that is much longer than the new one\r\n");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"ListButton"_s);
    QFile f(listing);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray names = f.readAll();
    QVERIFY(!names.contains("old listing"));
    QVERIFY(names.contains("one.html"));
    QVERIFY(names.contains("dv\xc4\x9b.html"));
    const QString log = form->LogText();
    QVERIFY(log.contains(u"Data: one.html"_s));
    QVERIFY(log.contains(u"Data: dvě.html"_s));
    QVERIFY(log.contains(u"Data: session closed, "_s));
    QCOMPARE(failures(log), 0);
}

void tst_FtpUpload::vanishingFileIsReportedAndTheWalkGoesOn()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    const QString root = m_local->path();
    writeFile(root + u"/a.txt"_s, "a");
    writeFile(root + u"/b.txt"_s, "b");
    writeFile(root + u"/c.txt"_s, "c");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    connect(&form->FtpClient1(), &TFtpClient::OnDisplay, this, [&](const QString &line) {
        if (line.startsWith(u"> STOR "_s))
            QFile::remove(root + u"/b.txt"_s);
    });
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY(log.contains(u"Unable to open local file "_s + root + u"/b.txt"_s));
    QCOMPARE(failures(log), 1);
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(), (QStringList{u"a.txt"_s, u"c.txt"_s}));
}

void tst_FtpUpload::unreadableFileIsReported()
{
    if (geteuid() == 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "root reads a file whatever its permissions");
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    const QString root = m_local->path();
    writeFile(root + u"/locked.txt"_s, "x");
    QFile::setPermissions(root + u"/locked.txt"_s, {});
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    QVERIFY(form->LogText().contains(u"Unable to open local file "_s + root + u"/locked.txt"_s));
    QVERIFY(snapshot(m_remoteRoot.path()).isEmpty());
}

void tst_FtpUpload::symbolicLinkLoopEndsTheWalk()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    const QString root = m_local->path();
    writeFile(root + u"/sub/page.html"_s, "p");
    QVERIFY(QFile::link(u".."_s, root + u"/sub/up"_s));
    QVERIFY(QFile::link(u"."_s, root + u"/self"_s));
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(), (QStringList{u"sub/"_s, u"sub/page.html"_s}));
    QCOMPARE(form->HomeDirectory(), root + u'/');
}

// ---------------------------------------------------------------------------------------
// Without a server, or with a scripted one

void tst_FtpUpload::namesWithLineBreaksNeverReachTheServer_data()
{
    QTest::addColumn<QString>("path"); // written at home besides index.html
    QTest::addColumn<int>("files");     // the files that cannot go
    QTest::newRow("file, CR LF") << u"zz\r\nDELE keep.html"_s << 1;
    QTest::newRow("file, LF alone") << u"zz\nDELE keep.html"_s << 1;
    QTest::newRow("directory") << u"d\r\nDELE keep.html/inner.html"_s << 1;
    QTest::newRow("directory below") << u"sub/d\r\nDELE keep.html/a/b.html"_s << 1;
}

// A name an unpacked archive may bring: sent as it is, its second line would be a command
// of its own, and the server would carry it out.
void tst_FtpUpload::namesWithLineBreaksNeverReachTheServer()
{
    QFETCH(QString, path);
    QFETCH(int, files);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/index.html"_s, "page");
    writeFile(root + u'/' + path, "x");
    writeFile(m_remoteRoot.path() + u"/keep.html"_s, "the server's own");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    QMap<QString, QByteArray> expected{{u"index.html"_s, "page"}, {u"keep.html"_s, "the server's own"}};
    if (path.startsWith(u"sub/"_s))
        expected.insert(u"sub/"_s, {});
    QCOMPARE(snapshot(m_remoteRoot.path()), expected);
    const QString log = form->LogText();
    QVERIFY2(log.endsWith(u"Nahráno 1 souborů, přeskočeno 0, chyb %1"_s.arg(files)), qPrintable(log.right(800)));
    QVERIFY(log.contains(u"obsahuje konec řádku"_s));
}

void tst_FtpUpload::uploadWithoutConnectionLogsOneFailurePerRequest()
{
    const QString root = m_local->path();
    writeFile(root + u"/top.html"_s, "t");
    writeFile(root + u"/sub/inner.html"_s, "i");
    auto form = makeForm(1);
    click(*form, u"UploadButton"_s);
    // top.html: TYPE, STOR; sub: MKD, CWD. A directory that cannot be entered is
    // skipped: its files are not tried in the parent, and no "CWD .." follows.
    QCOMPARE(failures(form->LogText()), 4);
    QVERIFY(form->LogText().contains(u"Adresář sub nelze otevřít, přeskakuje se (1 souborů)"_s));
    QVERIFY(form->LogText().contains(u"Nahráno 0 souborů, přeskočeno 0, chyb 2"_s));
    QVERIFY(m_ui->errors.isEmpty()); // refusals raise no error box
    QCOMPARE(form->HomeDirectory(), root + u'/');
}

void tst_FtpUpload::refusedGreetingFailsEveryLoginStep()
{
    ScriptedFtpServer server;
    server.greeting = "421 Service not available\r\n";
    auto form = makeForm(server.port());
    connectForm(*form);
    const QString log = form->LogText();
    QVERIFY(log.startsWith(u"Navazuje se spojení\n"_s));
    // Open, USER and PASS fail; no PWD follows a login that did not succeed.
    QCOMPARE(failures(log), 3);
    QCOMPARE(m_ui->errors, QStringList{u"Error = 421 (421 Service not available)"_s});
}

void tst_FtpUpload::userAcceptedWithoutPasswordStaysLoggedIn()
{
    ScriptedFtpServer server;
    server.handler = [&](const QString &verb, const QString &) {
        if (verb == u"USER"_s)
            server.reply("230 no password needed\r\n");
        else if (verb == u"PASS"_s)
            server.reply("503 already logged in\r\n");
        else
            return false;
        return true;
    };
    auto form = makeForm(server.port());
    connectForm(*form);
    const QString log = form->LogText();
    QCOMPARE(failures(log), 1);
    QCOMPARE(m_ui->errors, QStringList{u"Error = 503 (503 already logged in)"_s});
    QVERIFY(log.contains(u"257 \"/\" is the current directory"_s));
    QVERIFY(form->FtpClient1().Connected());
}

void tst_FtpUpload::serverHangingUpDuringStoreIsLoggedAndTheWalkGoesOn()
{
    ScriptedFtpServer server;
    server.handler = [&](const QString &verb, const QString &) {
        if (verb != u"STOR"_s)
            return false;
        server.reply("150 go\r\n");
        server.withData([&](QTcpSocket *) { server.dropControl(); });
        return true;
    };
    const QString root = m_local->path();
    writeFile(root + u"/a.bin"_s, QByteArray(2 * 1024 * 1024, 'a'));
    writeFile(root + u"/b.bin"_s, "b");
    auto form = makeForm(server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    // The log and the box give the one number of the connection the server dropped.
    QVERIFY2(log.contains(u"Spojení ukončeno, error = 10054"_s), qPrintable(log));
    QVERIFY(!m_ui->errors.isEmpty());
    QVERIFY2(m_ui->errors.first().startsWith(u"Error = 10054 "_s), qPrintable(m_ui->errors.first()));
    // a.bin's STOR, then b.bin's TYPE and STOR, refused as not connected.
    QCOMPARE(failures(log), 3);
    // The temporary file a.bin went to is deleted over a new session, by its full path.
    QVERIFY(log.contains(u"Nové spojení kvůli smazání dočasných souborů"_s));
    const QStringList deletes = server.commands.filter(QRegularExpression(u"^DELE /\\.brisko-[0-9a-f]+\\.part$"_s));
    QCOMPARE(deletes.size(), 1);
    QCOMPARE(server.commands.last(), u"CWD /"_s);
}

// ---------------------------------------------------------------------------------------
// Faults of the upload mended, and what publishing tools are expected to do

namespace {

QStringList remoteTemporaries(const QString &root)
{
    QStringList found;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (QFileInfo(path).fileName().startsWith(u".brisko-"_s))
            found << path;
    }
    return found;
}

QByteArray randomContent(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
    return data;
}

} // namespace

void tst_FtpUpload::errorBoxHeldOpenPastTheTimeoutDoesNotEndTheUpload()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/sub/inner.html"_s, "inner");
    writeFile(root + u"/top.html"_s, "top");
    QDir(m_remoteRoot.path()).mkpath(u"sub"_s); // its MKD fails and raises a box
    auto form = makeForm(m_server.port());
    // Short enough not to wait long, long enough for a busy machine's server to answer.
    form->FtpClient1().setTimeoutMs(600);
    connectForm(*form);
    m_ui->errorBoxOpenMs = 1500; // the user leaves the box open past the time-out
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY2(!log.contains(u"Timeout"_s), qPrintable(log));
    QCOMPARE(failures(log), 1);
    QCOMPARE(snapshot(m_remoteRoot.path()), snapshot(root));
    QVERIFY(form->FtpClient1().Connected());
}

void tst_FtpUpload::unenterableDirectoryStoresNothingOutsideTheTarget()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "a");
    writeFile(root + u"/sub/inner.html"_s, "inner");
    writeFile(root + u"/sub/deeper/deep.html"_s, "deep");
    writeFile(root + u"/z.html"_s, "z");
    // In the target, a file has the directory's name: MKD and CWD of "sub" both fail.
    writeFile(m_remoteRoot.path() + u"/target/sub"_s, "a file, not a directory");
    auto form = makeForm(m_server.port());
    control<QLineEdit>(*form, u"HostDirEdit"_s)->setText(u"target"_s);
    connectForm(*form);
    click(*form, u"CdButton"_s);
    m_ui->errors.clear();
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY2(log.contains(u"Adresář sub nelze otevřít, přeskakuje se (2 souborů)"_s), qPrintable(log));
    QVERIFY(!log.contains(u"> CWD .."_s));
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(),
             (QStringList{u"target/"_s, u"target/a.html"_s, u"target/sub"_s, u"target/z.html"_s}));
    QVERIFY(log.contains(u"Nahráno 2 souborů, přeskočeno 0, chyb 2"_s));
}

void tst_FtpUpload::uploadGoesToTheDirectoryTheFieldNames_data()
{
    QTest::addColumn<QString>("field");    // "Adresář" when connecting
    QTest::addColumn<bool>("pressCd");
    QTest::addColumn<bool>("connectAgain"); // "Připojit" pressed once more before the upload
    QTest::addColumn<QString>("typedLater"); // typed into the field after that, if anything
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QString>("landsIn"); // the remote directory the page lands in
    QTest::newRow("connected, CD not pressed") << u"www"_s << false << false << QString() << true << u"www/"_s;
    QTest::newRow("absolute, CD not pressed") << u"/www"_s << false << false << QString() << true << u"www/"_s;
    QTest::newRow("CD pressed") << u"www"_s << true << false << QString() << true << u"www/"_s;
    QTest::newRow("CD pressed, connected again") << u"www"_s << true << true << QString() << true << u"www/"_s;
    QTest::newRow("field changed after CD") << u"www"_s << true << false << u"/other"_s << true << u"other/"_s;
    QTest::newRow("no such directory") << u"missing"_s << false << false << QString() << false << QString();
    QTest::newRow("field empty") << QString() << false << false << QString() << true << QString();
}

// A saved site fills the field; the user picks it, connects and uploads, pressing CD or not.
void tst_FtpUpload::uploadGoesToTheDirectoryTheFieldNames()
{
    QFETCH(QString, field);
    QFETCH(bool, pressCd);
    QFETCH(bool, connectAgain);
    QFETCH(QString, typedLater);
    QFETCH(bool, stored);
    QFETCH(QString, landsIn);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    writeFile(m_local->path() + u"/index.html"_s, "page");
    QVERIFY(QDir(m_remoteRoot.path()).mkpath(u"www"_s));
    writeFile(m_remoteRoot.path() + u"/other/keep.txt"_s, "beside the site");
    auto form = makeForm(m_server.port());
    auto *directory = control<QLineEdit>(*form, u"HostDirEdit"_s);
    directory->setText(field);
    connectForm(*form);
    if (pressCd)
        click(*form, u"CdButton"_s);
    if (connectAgain)
        click(*form, u"ConnectButton"_s);
    if (!typedLater.isEmpty()) {
        directory->selectAll();
        QTest::keyClicks(directory, typedLater);
    }
    click(*form, u"UploadButton"_s);

    QMap<QString, QByteArray> expected{
        {u"www/"_s, {}}, {u"other/"_s, {}}, {u"other/keep.txt"_s, "beside the site"}};
    if (stored)
        expected.insert(landsIn + u"index.html"_s, "page");
    QCOMPARE(snapshot(m_remoteRoot.path()), expected);
    const QString log = form->LogText();
    QCOMPARE(log.contains(u"na serveru nelze otevřít, nic se nenahrává"_s), !stored);
    QCOMPARE(m_ui->errors.size(), stored ? 0 : 1); // the refused CWD, in its box
}

void tst_FtpUpload::timeOutMidTransferLeavesNoHalfFile()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/big.bin"_s, randomContent(40 * 1024 * 1024, 5));
    auto form = makeForm(m_server.port());
    form->FtpClient1().setTimeoutMs(800);
    connectForm(*form);
    // The server freezes mid-transfer and thaws once the client has given up on it.
    bool frozen = false;
    connect(&form->FtpClient1(), &TFtpClient::OnProgress, this, [&] {
        if (!frozen && ::kill(pid_t(m_server.pid()), SIGSTOP) == 0)
            frozen = true;
    });
    connect(&form->FtpClient1(), &TFtpClient::OnDisplay, this, [&](const QString &line) {
        if (line == u"Timeout"_s)
            ::kill(pid_t(m_server.pid()), SIGCONT);
    });
    click(*form, u"UploadButton"_s);
    ::kill(pid_t(m_server.pid()), SIGCONT);
    QVERIFY(frozen);
    const QString log = form->LogText();
    const QStringList lines = log.split(u'\n');
    const qsizetype timeout = lines.indexOf(u"Timeout"_s);
    QVERIFY2(timeout >= 0, qPrintable(log));
    QCOMPARE(lines.value(timeout + 1), u"Spojení ukončeno, error = 10060"_s);
    QCOMPARE(lines.value(timeout + 2), u"Chyba!"_s);
    QVERIFY(log.contains(u"Nahráno 0 souborů, přeskočeno 0, chyb 1"_s));
    QVERIFY(!QFileInfo::exists(m_remoteRoot.path() + u"/big.bin"_s));
    QTRY_COMPARE(remoteTemporaries(m_remoteRoot.path()), QStringList());
}

void tst_FtpUpload::cutConnectionMidTransferLeavesNoHalfFile()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/big.bin"_s, randomContent(40 * 1024 * 1024, 6));
    writeFile(m_remoteRoot.path() + u"/big.bin"_s, "the old page, whole");
    FtpRelay proxy(m_server.port());
    auto form = makeForm(proxy.port());
    connectForm(*form, true);
    connect(&form->FtpClient1(), &TFtpClient::OnProgress, &proxy, &FtpRelay::cut, Qt::SingleShotConnection);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY2(log.contains(u"Spojení ukončeno, error = "_s), qPrintable(log));
    QVERIFY(log.contains(u"Nenahráno: big.bin"_s));
    // The old page stays whole, and the partial upload is gone.
    QCOMPARE(snapshot(m_remoteRoot.path()).value(u"big.bin"_s), QByteArray("the old page, whole"));
    QTRY_COMPARE(remoteTemporaries(m_remoteRoot.path()), QStringList());
}

void tst_FtpUpload::wrongPasswordGivesOneBoxPerUpload()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    for (int i = 0; i < 20; ++i)
        writeFile(root + u"/d%1/page%2.html"_s.arg(i % 3).arg(i), "p");
    for (int i = 0; i < 5; ++i)
        writeFile(root + u"/top%1.html"_s.arg(i), "t");
    auto form = makeForm(m_server.port());
    control<QLineEdit>(*form, u"PassWordEdit"_s)->setText(u"wrong"_s);
    connectForm(*form);
    // "Připojit": one box for the refused password, and no PWD after it.
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY2(m_ui->errors.first().startsWith(u"Error = 530"_s), qPrintable(m_ui->errors.first()));
    QVERIFY(!form->LogText().contains(u"> PWD"_s));
    m_ui->errors.clear();
    click(*form, u"UploadButton"_s);
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY2(m_ui->errors.first().startsWith(u"Error = 530"_s), qPrintable(m_ui->errors.first()));
    // Every failure is still logged: PASS of the login, then MKD and CWD of each
    // directory, TYPE and STOR of each file.
    QCOMPARE(failures(form->LogText()), 1 + 3 * 2 + 5 * 2);
    QVERIFY(snapshot(m_remoteRoot.path()).isEmpty());
}

void tst_FtpUpload::stopDuringALargeTransferLeavesNoHalfFile()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a-big.bin"_s, randomContent(50 * 1024 * 1024, 9));
    writeFile(root + u"/b-after.html"_s, "never sent");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    auto *stop = control<QPushButton>(*form, u"StopButton"_s);
    QVERIFY(!stop->isEnabled());
    connect(&form->FtpClient1(), &TFtpClient::OnProgress, stop, [stop] {
        QVERIFY(stop->isEnabled());
        stop->click();
    }, static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY2(log.contains(u"Nahrávání zastaveno"_s), qPrintable(log.right(2000)));
    // Stopped is not failed: no "Chyba!", no error, no box.
    QVERIFY(log.contains(u"Zastaveno: a-big.bin"_s));
    QVERIFY(log.endsWith(u"Nahráno 0 souborů, přeskočeno 0, chyb 0"_s));
    QCOMPARE(failures(log), 0);
    QVERIFY(m_ui->errors.isEmpty());
    QCOMPARE(snapshot(m_remoteRoot.path()), (QMap<QString, QByteArray>()));
    QVERIFY(!stop->isEnabled());
    // Stopped cleanly: the session goes on.
    QVERIFY(form->FtpClient1().Connected());
    QVERIFY(form->FtpClient1().PwdSync());
}

void tst_FtpUpload::renameRefusedFallsBackToPlainStore()
{
    ScriptedFtpServer server;
    server.handler = [&](const QString &verb, const QString &) {
        if (verb != u"RNTO"_s)
            return false;
        server.reply("553 will not replace an existing file\r\n");
        return true;
    };
    writeFile(m_local->path() + u"/page.html"_s, "page");
    auto form = makeForm(server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY(log.contains(u"Server nepřejmenoval dočasný soubor, page.html se ukládá přímo"_s));
    const QStringList stores = server.commands.filter(QRegularExpression(u"^(STOR|RNFR|RNTO|DELE) "_s));
    QCOMPARE(stores.size(), 5);
    QVERIFY(stores[0].startsWith(u"STOR .brisko-"_s));
    QCOMPARE(stores[1], u"RNFR "_s + stores[0].mid(5));
    QCOMPARE(stores[2], u"RNTO page.html"_s);
    QCOMPARE(stores[3], u"DELE "_s + stores[0].mid(5));
    QCOMPARE(stores[4], u"STOR page.html"_s);
    QCOMPARE(server.stored, QByteArray("page"));
    QVERIFY(m_ui->errors.isEmpty());
    QVERIFY(log.contains(u"Nahráno 1 souborů, přeskočeno 0, chyb 0"_s));
}

void tst_FtpUpload::passiveOnlyServerIsUsedPassively()
{
    ScriptedFtpServer server;
    server.handler = [&](const QString &verb, const QString &) {
        if (verb != u"PORT"_s)
            return false;
        server.reply("500 active mode is not allowed here\r\n");
        return true;
    };
    for (int i = 0; i < 5; ++i)
        writeFile(m_local->path() + u"/p%1.html"_s.arg(i), "page " + QByteArray::number(i));
    auto form = makeForm(server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    // Once said, once tried: no box per file, and every file arrives.
    QCOMPARE(log.count(u"Server odmítl aktivní režim, přenos pokračuje v pasivním režimu"_s), 1);
    QCOMPARE(server.commands.filter(QRegularExpression(u"^PORT "_s)).size(), 1);
    QVERIFY(m_ui->errors.isEmpty());
    QCOMPARE(failures(log), 0);
    QVERIFY(control<QCheckBox>(*form, u"PassiveCheckBox"_s)->isChecked());
    QVERIFY(log.endsWith(u"Nahráno 5 souborů, přeskočeno 0, chyb 0"_s));
    QCOMPARE(server.stored, QByteArray("page 4"));
}

void tst_FtpUpload::onlyChangedFilesAreStoredAgain()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "a");
    writeFile(root + u"/b.html"_s, "b");
    writeFile(root + u"/sub/c.html"_s, "c");
    auto form = makeForm(m_server.port());
    control<QCheckBox>(*form, u"ChangedOnlyCheckBox"_s)->setChecked(true);
    connectForm(*form);
    auto runAndSummary = [&] {
        click(*form, u"UploadButton"_s);
        const QStringList lines = form->LogText().split(u'\n');
        return lines.last();
    };
    QCOMPARE(runAndSummary(), u"Nahráno 3 souborů, přeskočeno 0, chyb 0"_s);
    QCOMPARE(runAndSummary(), u"Nahráno 0 souborů, přeskočeno 3, chyb 0"_s);
    QVERIFY(form->LogText().contains(u"Přeskočeno (beze změny): sub/c.html"_s));
    // The journal knows "sub" exists: no MKD, so no "exists" box on every run.
    QVERIFY(m_ui->errors.isEmpty());
    // Touched: the same content with a new time is sent again.
    QFile touched(root + u"/sub/c.html"_s);
    QVERIFY(touched.open(QIODevice::ReadWrite));
    QVERIFY(touched.setFileTime(QDateTime::currentDateTime().addSecs(10), QFileDevice::FileModificationTime));
    touched.close();
    QCOMPARE(runAndSummary(), u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s);
    QVERIFY(form->LogText().contains(u"Nahráno: sub/c.html"_s));
    QCOMPARE(runAndSummary(), u"Nahráno 0 souborů, přeskočeno 3, chyb 0"_s);
    // The journal lives in the user's data folder.
    const QString journal = UploadJournal::pathFor(u"127.0.0.1"_s, QString::number(m_server.port()), User, u"/"_s);
    QVERIFY(journal.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    QVERIFY(QFileInfo::exists(journal));
    // Off, as by default: everything goes again.
    control<QCheckBox>(*form, u"ChangedOnlyCheckBox"_s)->setChecked(false);
    QCOMPARE(runAndSummary(), u"Nahráno 3 souborů, přeskočeno 0, chyb 0"_s);
}

void tst_FtpUpload::filesGoneFromTheServerAreStoredAgain_data()
{
    QTest::addColumn<QStringList>("deletedThere"); // on the server, between two uploads
    QTest::addColumn<QString>("summary");
    QTest::newRow("nothing") << QStringList() << u"Nahráno 0 souborů, přeskočeno 3, chyb 0"_s;
    QTest::newRow("a file") << QStringList{u"a.html"_s} << u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s;
    QTest::newRow("a file in a directory") << QStringList{u"sub/c.html"_s} << u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s;
    QTest::newRow("two files") << QStringList{u"a.html"_s, u"sub/c.html"_s}
                               << u"Nahráno 2 souborů, přeskočeno 1, chyb 0"_s;
    QTest::newRow("the directory") << QStringList{u"sub"_s} << u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s;
}

// "Jen změněné" skips what the journal says went up unchanged; what the server has lost
// since goes up again.
void tst_FtpUpload::filesGoneFromTheServerAreStoredAgain()
{
    QFETCH(QStringList, deletedThere);
    QFETCH(QString, summary);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "a");
    writeFile(root + u"/b.html"_s, "b");
    writeFile(root + u"/sub/c.html"_s, "c");
    auto form = makeForm(m_server.port());
    control<QCheckBox>(*form, u"ChangedOnlyCheckBox"_s)->setChecked(true);
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    for (const QString &relative : std::as_const(deletedThere)) {
        const QString path = m_remoteRoot.path() + u'/' + relative;
        QVERIFY(QFileInfo(path).isDir() ? QDir(path).removeRecursively() : QFile::remove(path));
    }
    click(*form, u"UploadButton"_s);
    const QStringList lines = form->LogText().split(u'\n');
    QCOMPARE(lines.last(), summary);
    QCOMPARE(snapshot(m_remoteRoot.path()), snapshot(root));
}

void tst_FtpUpload::failedTransferIsNeverInTheJournal()
{
    ScriptedFtpServer server;
    int storeToFail = -1;
    int stores = 0;
    server.handler = [&](const QString &verb, const QString &) {
        if (verb != u"STOR"_s || stores++ != storeToFail)
            return false;
        server.reply("150 go\r\n");
        server.receiveStore([&] { server.reply("552 disk full\r\n"); });
        return true;
    };
    const QString root = m_local->path();
    writeFile(root + u"/a.txt"_s, "a");
    writeFile(root + u"/b.txt"_s, "b");
    writeFile(root + u"/c.txt"_s, "c");
    auto form = makeForm(server.port());
    control<QCheckBox>(*form, u"ChangedOnlyCheckBox"_s)->setChecked(true);
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    const QString path = UploadJournal::pathFor(u"127.0.0.1"_s, QString::number(server.port()), User, u"/"_s);
    UploadJournal journal;
    journal.load(path);
    QCOMPARE(journal.size(), 3);
    QCOMPARE(journal.find(u"b.txt"_s)->sha256, QCryptographicHash::hash("b", QCryptographicHash::Sha256));

    // b changes, and its transfer fails: the journal forgets it, a and c stay.
    writeFile(root + u"/b.txt"_s, "bb");
    stores = 0;
    storeToFail = 0;
    click(*form, u"UploadButton"_s);
    QVERIFY(form->LogText().contains(u"Nenahráno: b.txt"_s));
    journal.load(path);
    QVERIFY(!journal.find(u"b.txt"_s));
    QCOMPARE(journal.size(), 2);

    // The next run sends b again, and only b.
    storeToFail = -1;
    click(*form, u"UploadButton"_s);
    QVERIFY(form->LogText().endsWith(u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s));
    QCOMPARE(server.stored, QByteArray("bb"));
}

void tst_FtpUpload::dryRunStoresNothing()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "a");
    writeFile(root + u"/sub/b.html"_s, "b");
    auto form = makeForm(m_server.port());
    control<QCheckBox>(*form, u"DryRunCheckBox"_s)->setChecked(true);
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY(log.contains(u"Nahrálo by se: a.html"_s));
    QVERIFY(log.contains(u"Nahrálo by se: sub/b.html"_s));
    QVERIFY(log.endsWith(u"Zkušební běh: nahrálo by se 2 souborů, přeskočeno 0"_s));
    for (const char *command : {"> STOR", "> MKD", "> CWD", "> EPSV", "> PORT"})
        QVERIFY2(!log.contains(QLatin1StringView(command)), command);
    QVERIFY(snapshot(m_remoteRoot.path()).isEmpty());
}

void tst_FtpUpload::emptyHomeDirectoryLogsNothing()
{
    ScriptedFtpServer server;
    auto form = makeForm(server.port());
    connectForm(*form);
    const QString before = form->LogText();
    const qsizetype commands = server.commands.size();
    click(*form, u"UploadButton"_s);
    QCOMPARE(form->LogText(), before);
    QCOMPARE(server.commands.size(), commands);
}

void tst_FtpUpload::progressCountsFilesAndBytes_data()
{
    QTest::addColumn<int>("smallFiles");
    QTest::addColumn<qsizetype>("smallSize");
    QTest::addColumn<bool>("large");
    QTest::newRow("one large, four small") << 4 << qsizetype(200 * 1000) << true;
    // Many small pages: the bar must not be redrawn for each, that costs more than sending it.
    QTest::newRow("three hundred small") << 300 << qsizetype(100) << false;
}

void tst_FtpUpload::progressCountsFilesAndBytes()
{
    QFETCH(int, smallFiles);
    QFETCH(qsizetype, smallSize);
    QFETCH(bool, large);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    if (large)
        writeFile(root + u"/big.bin"_s, randomContent(8 * 1024 * 1024, 3));
    for (int i = 0; i < smallFiles; ++i)
        writeFile(root + u"/s/f%1.txt"_s.arg(i), QByteArray(smallSize, 'f'));
    const int files = smallFiles + (large ? 1 : 0);
    auto form = makeForm(m_server.port());
    connectForm(*form);
    auto *bar = control<QProgressBar>(*form, u"ProgressBar1"_s);
    QList<int> values;
    connect(bar, &QProgressBar::valueChanged, this, [&](int v) { values << v; });
    QList<qint64> reportedFiles;
    connect(form->findChild<UploadEngine *>(), &UploadEngine::progress, this,
            [&](int, qint64 doneFiles) { reportedFiles << doneFiles; });
    QElapsedTimer clock;
    clock.start();
    click(*form, u"UploadButton"_s);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(failures(form->LogText()), 0);
    // The upload reports every file; the window draws at most ten times a second (a coarse
    // timer may come up to 5 % early).
    for (int done = 1; done <= files; ++done)
        QVERIFY2(reportedFiles.contains(done), qPrintable(QString::number(done)));
    QVERIFY2(values.size() <= elapsed / 90 + 2, qPrintable(u"%1 redraws in %2 ms"_s.arg(values.size()).arg(elapsed)));
    QVERIFY(std::is_sorted(values.begin(), values.end()));
    QCOMPARE(bar->value(), bar->maximum());
    const QString shown = u"%1 / %1 souborů"_s.arg(files);
    QVERIFY2(bar->text().startsWith(shown), qPrintable(bar->text()));
}

void tst_FtpUpload::walkedDirectoriesAreListedAtAHumanPace()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    for (int i = 0; i < 40; ++i)
        writeFile(root + u"/d%1/page.html"_s.arg(i, 2, 10, QLatin1Char('0')), "p");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    auto *list = control<QListWidget>(*form, u"FileListBox1"_s);
    int refills = 0;
    connect(list->model(), &QAbstractItemModel::modelReset, this, [&] { ++refills; });
    QStringList walked;
    connect(form->findChild<UploadEngine *>(), &UploadEngine::directoryEntered, this, [&] {
        walked << form->HomeDirectory(); // the window follows the walk at once
    });
    QElapsedTimer clock;
    clock.start();
    click(*form, u"UploadButton"_s);
    const qint64 elapsed = clock.elapsed();
    QCOMPARE(failures(form->LogText()), 0);
    QVERIFY(walked.contains(root + u"/d07/"_s));
    QVERIFY2(refills <= elapsed / 90 + 2, qPrintable(u"%1 lists in %2 ms"_s.arg(refills).arg(elapsed)));
    // Back where the walk started, listing that directory.
    QCOMPARE(form->HomeDirectory(), root + u'/');
    QVERIFY(form->LocalEntries().contains(u"[d39]"_s));
}

void tst_FtpUpload::fileAddedAfterTheListingIsStoredToo()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "a");
    writeFile(root + u"/b.html"_s, "b");
    writeFile(root + u"/sub/inner.html"_s, "inner");
    auto form = makeForm(m_server.port()); // the window lists the directory now
    writeFile(root + u"/0-new.html"_s, "new"); // then another program adds a page
    connectForm(*form);
    // And while the walk is below "sub", one more appears.
    connect(&form->FtpClient1(), &TFtpClient::OnDisplay, this, [&](const QString &line) {
        if (line == u"> STOR inner.html"_s || line.startsWith(u"> RNTO inner.html"_s))
            writeFile(root + u"/1-during.html"_s, "during");
    });
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QCOMPARE(failures(log), 0);
    QMap<QString, QByteArray> expected = snapshot(root);
    expected.remove(u"1-during.html"_s); // it came after the walk had read the directory
    QCOMPARE(snapshot(m_remoteRoot.path()), expected);
    QVERIFY2(log.endsWith(u"Nahráno 4 souborů, přeskočeno 0, chyb 0"_s), qPrintable(log.right(300)));
}

void tst_FtpUpload::emptyDirectoryIsMadeOnceWithChangedOnly()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "a");
    QVERIFY(QDir(root).mkpath(u"empty"_s));
    QVERIFY(QDir(root).mkpath(u"outer/inner-empty"_s));
    auto form = makeForm(m_server.port());
    control<QCheckBox>(*form, u"ChangedOnlyCheckBox"_s)->setChecked(true);
    connectForm(*form);
    auto run = [&] {
        click(*form, u"UploadButton"_s);
        return form->LogText().split(u'\n').last();
    };
    QCOMPARE(run(), u"Nahráno 1 souborů, přeskočeno 0, chyb 0"_s);
    QCOMPARE(snapshot(m_remoteRoot.path()), snapshot(root));
    const qsizetype made = form->LogText().count(u"> MKD "_s);
    QCOMPARE(made, 3);
    // Again: the journal knows the empty directories, so no MKD and no "exists" box.
    QCOMPARE(run(), u"Nahráno 0 souborů, přeskočeno 1, chyb 0"_s);
    QCOMPARE(form->LogText().count(u"> MKD "_s), made);
    QVERIFY2(m_ui->errors.isEmpty(), qPrintable(m_ui->errors.join(u'\n')));
    // Someone removed one on the server: it is made again, without a box.
    QVERIFY(QDir(m_remoteRoot.path() + u"/empty"_s).removeRecursively());
    QCOMPARE(run(), u"Nahráno 0 souborů, přeskočeno 1, chyb 0"_s);
    QVERIFY(m_ui->errors.isEmpty());
    QCOMPARE(snapshot(m_remoteRoot.path()), snapshot(root));
}

void tst_FtpUpload::stopWithoutSafeStoreSaysTheFileIsIncomplete()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    const qsizetype size = 50 * 1024 * 1024;
    writeFile(root + u"/big.bin"_s, randomContent(size, 11));
    auto form = makeForm(m_server.port());
    control<QCheckBox>(*form, u"SafeCheckBox"_s)->setChecked(false);
    connectForm(*form);
    auto *stop = control<QPushButton>(*form, u"StopButton"_s);
    connect(&form->FtpClient1(), &TFtpClient::OnProgress, stop, [stop] { stop->click(); },
            static_cast<Qt::ConnectionType>(Qt::QueuedConnection | Qt::SingleShotConnection));
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY(log.contains(u"Zastaveno: big.bin"_s));
    // Written straight under its name, the cut file stays: the log says so.
    QVERIFY2(log.contains(u"Na serveru zůstal neúplný soubor: big.bin"_s), qPrintable(log.right(1000)));
    QVERIFY(QFileInfo(m_remoteRoot.path() + u"/big.bin"_s).size() < size);
    QCOMPARE(failures(log), 0);
}

void tst_FtpUpload::temporaryLeftByALostServerIsDeletedNextTime()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    const QByteArray content = randomContent(40 * 1024 * 1024, 12);
    writeFile(root + u"/big.bin"_s, content);
    FtpRelay proxy(m_server.port());
    auto form = makeForm(proxy.port());
    connectForm(*form, true);
    // The line drops mid-transfer and the server stays out of reach until the upload ends.
    connect(&form->FtpClient1(), &TFtpClient::OnProgress, &proxy, [&proxy] {
        proxy.refusing = true;
        proxy.cut();
    }, Qt::SingleShotConnection);
    click(*form, u"UploadButton"_s);
    QVERIFY(form->LogText().contains(u"Dočasné soubory zůstaly na serveru: /.brisko-"_s));
    const QStringList left = remoteTemporaries(m_remoteRoot.path());
    QCOMPARE(left.size(), 1);

    // Next time the server is there: the leftover goes first, then the file.
    proxy.refusing = false;
    m_ui->errors.clear();
    click(*form, u"ConnectButton"_s);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY2(log.contains(u"Smazán dočasný soubor z minulého nahrávání: /"_s + QFileInfo(left.first()).fileName()),
             qPrintable(log));
    QTRY_COMPARE(remoteTemporaries(m_remoteRoot.path()), QStringList());
    QCOMPARE(snapshot(m_remoteRoot.path()).value(u"big.bin"_s), content);
}

void tst_FtpUpload::parallelRefusalsShowOneBoxPerText()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    for (int i = 0; i < 6; ++i)
        writeFile(root + u"/p%1.html"_s.arg(i), "page");
    // Three of the names are directories on the server: each of them is refused alike.
    for (int i = 0; i < 3; ++i)
        writeFile(m_remoteRoot.path() + u"/p%1.html/inside.txt"_s.arg(i), "x");
    auto form = makeForm(m_server.port());
    control<QSpinBox>(*form, u"SessionsSpinEdit"_s)->setValue(4);
    connectForm(*form, true);
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QCOMPARE(failures(log), 3);
    QVERIFY2(log.endsWith(u"Nahráno 3 souborů, přeskočeno 0, chyb 3"_s), qPrintable(log.right(500)));
    // As with one session: the refusal is shown, once for its text.
    QCOMPARE(m_ui->errors.size(), 1);
    QVERIFY2(m_ui->errors.first().startsWith(u"Error = 550 "_s), qPrintable(m_ui->errors.first()));
    // The refused files' temporary copies do not stay behind.
    QTRY_COMPARE(remoteTemporaries(m_remoteRoot.path()), QStringList());
}

void tst_FtpUpload::windowAsksBeforeOverwritingOthersChanges()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "mine");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    writeFile(m_remoteRoot.path() + u"/a.html"_s, "edited on the server");
    writeFile(root + u"/a.html"_s, "mine, newer");
    m_ui->choice(1);
    click(*form, u"UploadButton"_s);
    QVERIFY(m_ui->allAnswered());
    QCOMPARE(m_ui->log.last(), u"choose: Soubor a.html byl na serveru od posledního nahrání změněn. Přepsat?"
                               u"|Přepsat|Přeskočit|Přepsat vše|Zrušit"_s);
    QCOMPARE(m_ui->lastDefaultButton, 1); // Enter keeps the other person's work
    QCOMPARE(snapshot(m_remoteRoot.path()).value(u"a.html"_s), QByteArray("edited on the server"));
    QVERIFY(form->LogText().endsWith(u"Nahráno 0 souborů, přeskočeno 1, chyb 0"_s));
}

void tst_FtpUpload::checkBeforeUploadCanKeepItFromStarting()
{
    ScriptedFtpServer server;
    writeFile(m_local->path() + u"/a.html"_s, "a");
    auto form = makeForm(server.port());
    connectForm(*form);
    const QString before = form->LogText();
    int asked = 0;
    form->setBeforeUpload([&] {
        ++asked;
        return false;
    });
    click(*form, u"UploadButton"_s);
    QCOMPARE(asked, 1);
    QCOMPARE(form->LogText(), before);
    QVERIFY(server.stored.isEmpty());
    form->setBeforeUpload([&] { return ++asked > 0; });
    click(*form, u"UploadButton"_s);
    QCOMPARE(server.stored, QByteArray("a"));
}

void tst_FtpUpload::everyByteArrivesAfterEveryWayOfConnecting_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("sessions");
    QTest::newRow("one Připojit") << u"once"_s << 1;
    // A second login resets the server's transfer type to ASCII: CR LF would lose its CR.
    QTest::newRow("second Připojit") << u"twice"_s << 1;
    QTest::newRow("second Připojit, four sessions") << u"twice"_s << 4;
    QTest::newRow("Připojit after the line dropped") << u"drop"_s << 1;
    QTest::newRow("Připojit after the line dropped, four sessions") << u"drop"_s << 4;
}

void tst_FtpUpload::everyByteArrivesAfterEveryWayOfConnecting()
{
    QFETCH(QString, way);
    QFETCH(int, sessions);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    QByteArray content;
    for (int round = 0; round < 20; ++round) {
        for (int byte = 0; byte < 256; ++byte)
            content += char(byte);
        content += "\r\n\n\r\r\n";
    }
    const QString root = m_local->path();
    writeFile(root + u"/first.html"_s, "an upload before, which set the type");
    FtpRelay relay(m_server.port());
    auto form = makeForm(relay.port());
    control<QSpinBox>(*form, u"SessionsSpinEdit"_s)->setValue(sessions);
    connectForm(*form, true);
    click(*form, u"UploadButton"_s);
    writeFile(root + u"/picture.png"_s, content);
    writeFile(root + u"/sub/archive.zip"_s, content + content);
    if (way == u"twice"_s) {
        click(*form, u"ConnectButton"_s);
    } else if (way == u"drop"_s) {
        relay.cut();
        QTRY_VERIFY(!form->FtpClient1().Connected());
        click(*form, u"ConnectButton"_s);
    }
    QVERIFY(form->FtpClient1().Connected());
    click(*form, u"UploadButton"_s);
    const QString log = form->LogText();
    QVERIFY2(log.endsWith(u"Nahráno 3 souborů, přeskočeno 0, chyb 0"_s), qPrintable(log.right(1500)));
    QCOMPARE(snapshot(m_remoteRoot.path()).value(u"picture.png"_s), content);
    QCOMPARE(snapshot(m_remoteRoot.path()).value(u"sub/archive.zip"_s), content + content);
}

void tst_FtpUpload::connectingAgainGoesToTheServerTheFieldsName_data()
{
    QTest::addColumn<bool>("otherServer");
    QTest::newRow("the same server") << false;
    QTest::newRow("another server") << true;
}

// Connected and uploaded, the user types another server's port and presses "Připojit".
void tst_FtpUpload::connectingAgainGoesToTheServerTheFieldsName()
{
    QFETCH(bool, otherServer);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    QTemporaryDir otherRoot;
    PyFtpServer other;
    const QString problem = other.start(otherRoot.path(), User, Password);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    const QString root = m_local->path();
    writeFile(root + u"/first.html"_s, "first");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    writeFile(root + u"/second.html"_s, "second");
    if (otherServer)
        control<QLineEdit>(*form, u"PortEdit"_s)->setText(QString::number(other.port()));
    click(*form, u"ConnectButton"_s);
    click(*form, u"UploadButton"_s);
    QCOMPARE(snapshot(otherServer ? otherRoot.path() : m_remoteRoot.path()), snapshot(root));
    if (otherServer)
        QCOMPARE(snapshot(m_remoteRoot.path()).keys(), QStringList{u"first.html"_s});
    const QString log = form->LogText();
    QCOMPARE(failures(log), 0);
    QVERIFY2(log.endsWith(u"Nahráno 2 souborů, přeskočeno 0, chyb 0"_s), qPrintable(log.right(1500)));
}

void tst_FtpUpload::uploadOverASessionTheFieldsNoLongerNameIsRefused_data()
{
    QTest::addColumn<QString>("field"); // changed after "Připojit", before "Upload"
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("stored");
    QTest::newRow("nothing changed") << QString() << QString() << true;
    QTest::newRow("the same values typed again") << u"UserNameEdit"_s << User << true;
    QTest::newRow("another server") << u"HostNameEdit"_s << u"localhost"_s << false;
    QTest::newRow("another port") << u"PortEdit"_s << u"1"_s << false;
    QTest::newRow("another account") << u"UserNameEdit"_s << u"someone"_s << false;
    QTest::newRow("FTPS chosen") << u"ProtocolComboBox"_s << u"1"_s << false;
}

// A saved site picked after connecting to another one fills the fields without connecting.
void tst_FtpUpload::uploadOverASessionTheFieldsNoLongerNameIsRefused()
{
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(bool, stored);
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    writeFile(m_local->path() + u"/index.html"_s, "page");
    auto form = makeForm(m_server.port());
    connectForm(*form);
    if (field == u"ProtocolComboBox"_s)
        control<QComboBox>(*form, field)->setCurrentIndex(value.toInt());
    else if (!field.isEmpty())
        control<QLineEdit>(*form, field)->setText(value);
    click(*form, u"UploadButton"_s);
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(), stored ? QStringList{u"index.html"_s} : QStringList());
    QCOMPARE(m_ui->errors.size(), stored ? 0 : 1);
    QCOMPARE(form->LogText().contains(u"Nejdřív stiskněte Připojit"_s), !stored);
}

void tst_FtpUpload::backupsStayHomeByDefault()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem));
    const QString root = m_local->path();
    writeFile(root + u"/index.html"_s, "page");
    writeFile(root + u"/index.zal"_s, "backup");
    auto form = makeForm(m_server.port());
    form->setBackupExtension(u"zal"_s);
    auto *box = control<QCheckBox>(*form, u"SkipBackupsCheckBox"_s);
    QVERIFY(box->isChecked());
    QCOMPARE(box->text(), u"Nenahrávat zálohy"_s);
    connectForm(*form);
    click(*form, u"UploadButton"_s);
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(), QStringList{u"index.html"_s});
    QVERIFY(form->LogText().contains(u"Vynecháno (záloha nebo dočasný soubor editoru): index.zal"_s));
    box->setChecked(false);
    click(*form, u"UploadButton"_s);
    QCOMPARE(snapshot(m_remoteRoot.path()).keys(), (QStringList{u"index.html"_s, u"index.zal"_s}));
}

BRISKO_TEST_MAIN(tst_FtpUpload)
#include "tst_ftpupload.moc"
