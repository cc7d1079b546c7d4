// The upload window end to end: against a real FTP server (pyftpdlib on 127.0.0.1), a
// scripted one for replies a real server never gives, and no server at all.
#include "PyFtpServer.h"
#include "ScriptedFtpServer.h"
#include "publish/FtpClient.h"
#include "publish/ftpklient.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QDirIterator>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <memory>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"webmaster"_s;
const QString Password = u"tajne-heslo-42"_s;

void writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    QCOMPARE(f.write(content), content.size());
}

// Relative path → content; directories end in "/" and have no content.
QMap<QString, QByteArray> snapshot(const QString &root)
{
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        const QString relative = QDir(root).relativeFilePath(info.filePath());
        if (info.isDir()) {
            tree.insert(relative + u'/', {});
        } else {
            QFile f(info.filePath());
            if (f.open(QIODevice::ReadOnly))
                tree.insert(relative, f.readAll());
        }
    }
    return tree;
}

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

    void uploadWithoutConnectionLogsOneFailurePerRequest();
    void refusedGreetingFailsEveryLoginStep();
    void userAcceptedWithoutPasswordStaysLoggedIn();
    void serverHangingUpDuringStoreIsLoggedAndTheWalkGoesOn();

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
    QVERIFY(!control<QCheckBox>(form, u"PassiveCheckBox"_s)->isChecked());
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
        if (line == u"> STOR a.txt"_s)
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
        QSKIP("permissions do not stop root from reading a file");
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

void tst_FtpUpload::uploadWithoutConnectionLogsOneFailurePerRequest()
{
    const QString root = m_local->path();
    writeFile(root + u"/top.html"_s, "t");
    writeFile(root + u"/sub/inner.html"_s, "i");
    auto form = makeForm(1);
    click(*form, u"UploadButton"_s);
    // top.html: TYPE, STOR; sub: MKD, CWD, TYPE, STOR, CWD "..".
    QCOMPARE(failures(form->LogText()), 7);
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
    QCOMPARE(failures(log), 4);
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
    QVERIFY2(log.contains(u"Spojení ukončeno, error = 0"_s), qPrintable(log));
    // a.bin's STOR, then b.bin's TYPE and STOR, refused as not connected.
    QCOMPARE(failures(log), 3);
    QVERIFY(!form->FtpClient1().Connected());
}

BRISKO_TEST_MAIN(tst_FtpUpload)
#include "tst_ftpupload.moc"
