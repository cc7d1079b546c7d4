// The upload engine without a window, over a session logged in to a real FTP server
// (pyftpdlib on 127.0.0.1): one and four sessions through the same engine, other people's
// changes on the server, files the home directory no longer has, and a cut file resumed.
#include "FtpRelay.h"
#include "LocalTree.h"
#include "PyFtpServer.h"
#include "VsftpdServer.h"
#include "publish/FtpClient.h"
#include "publish/UploadEngine.h"
#include "publish/UploadJournal.h"
#include "support/TestMain.h"

#include <QDeadlineTimer>
#include <QDirIterator>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include <signal.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// The same upload over the window's one session and over four of their own.
void addOneAndFourSessions()
{
    QTest::addColumn<int>("sessions");
    QTest::newRow("one session") << 1;
    QTest::newRow("four sessions") << 4;
}

const QString User = u"engine"_s;
const QString Password = u"engine-pw"_s;

QByteArray randomContent(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
    return data;
}

} // namespace

class tst_UploadEngine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void oneAndFourSessionsGoThroughTheSameEngine_data();
    void oneAndFourSessionsGoThroughTheSameEngine();
    void refusedFilesAreShownPerFileAndLeaveNoTemporaries_data();
    void refusedFilesAreShownPerFileAndLeaveNoTemporaries();
    void stopCutsTheRunningFilesCleanly_data();
    void stopCutsTheRunningFilesCleanly();
    void stopKeepsTheServerTimesOfWhatWasStored_data();
    void stopKeepsTheServerTimesOfWhatWasStored();
    void remoteFileChangedByOthersIsOverwrittenOnlyWhenAllowed_data();
    void remoteFileChangedByOthersIsOverwrittenOnlyWhenAllowed();
    void orphansAreListedInATrialRunThenDeletedAfterOneConfirmation();
    void cutLargeFileResumesWhereItStopped_data();
    void cutLargeFileResumesWhereItStopped();
    void listingIgnoresNamesThatLeaveTheDirectory();
    void listParsesUnixAndWindowsForms();

    // What orphan deletion must never touch, on servers with and without MLSD
    void orphanDeletionTouchesOnlyWhatTheWalkWouldSend_data();
    void orphanDeletionTouchesOnlyWhatTheWalkWouldSend();
    void realRunAsksAgainForWhatTheTrialRunDidNotList();
    void editorFilesStayAtHome_data();
    void editorFilesStayAtHome();

    // Other people's changes, told however the server can tell them
    void sameSizeChangeOnTheServerIsNoticed_data();
    void sameSizeChangeOnTheServerIsNoticed();
    void journalHoldsTheServersTimesOverOneOrFourSessions_data();
    void journalHoldsTheServersTimesOverOneOrFourSessions();

    // A file cut off by a killed program
    void killedUploadGoesOnWithItsTemporaryFile_data();
    void killedUploadGoesOnWithItsTemporaryFile();

private:
    // Logs in and goes to directory (relative to where the login lands, for vsftpd).
    bool login(TFtpClient &session, quint16 port, const QString &user = User, const QString &password = Password,
               const QString &directory = u"/web"_s);
    std::unique_ptr<UploadEngine> makeEngine(TFtpClient &session);
    // Starts the server a row names over root (its files below root/web); the port, or 0.
    quint16 serverFor(const QString &kind, const QString &root, QString &user, QString &password);
    // The same, with session logged in and standing in root/web.
    bool startAndLogIn(const QString &kind, const QString &root, TFtpClient &session);
    QString killMidFile(int sessions, bool changedOnly);
    void run(UploadEngine::Options options);

    PyFtpServer m_server;
    QString m_serverProblem;
    QTemporaryDir m_remote;
    std::unique_ptr<QTemporaryDir> m_local;
    std::unique_ptr<TFtpClient> m_session;
    std::unique_ptr<UploadEngine> m_engine;
    QStringList m_log;
    QStringList m_questions;
    QList<int> m_answers; // the next questions' answers, in order
    QStringList m_failures;
    // Servers a test starts for itself, stopped by cleanup.
    std::unique_ptr<PyFtpServer> m_otherServer;
    std::unique_ptr<VsftpdServer> m_vsftpd;
    std::unique_ptr<QTemporaryDir> m_otherRoot;
};

void tst_UploadEngine::initTestCase()
{
    m_serverProblem = m_server.start(m_remote.path(), User, Password);
}

void tst_UploadEngine::init()
{
    if (!m_serverProblem.isEmpty())
        QFAIL(qPrintable(m_serverProblem)); // the project installs the server; its absence is a fault
    for (const QFileInfo &info : QDir(m_remote.path()).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden)) {
        if (info.isDir())
            QDir(info.filePath()).removeRecursively();
        else
            QFile::remove(info.filePath());
    }
    QVERIFY(QDir(m_remote.path()).mkpath(u"web"_s));
    // Every test starts without a journal of the earlier ones (the server's port is the same).
    const QString journals = QFileInfo(UploadJournal::pathFor(u"h"_s, u"p"_s, u"u"_s, u"/"_s)).absolutePath();
    QVERIFY(journals.startsWith(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)));
    QDir(journals).removeRecursively();
    m_local = std::make_unique<QTemporaryDir>();
    m_session = std::make_unique<TFtpClient>();
    m_log.clear();
    m_questions.clear();
    m_answers.clear();
    m_failures.clear();
    connect(m_session.get(), &TFtpClient::OnDisplay, this, [this](const QString &line) { m_log << line; });
    QVERIFY(login(*m_session, m_server.port()));
    m_engine = makeEngine(*m_session);
}

std::unique_ptr<UploadEngine> tst_UploadEngine::makeEngine(TFtpClient &session)
{
    auto engine = std::make_unique<UploadEngine>(session);
    connect(engine.get(), &UploadEngine::logLine, this, [this](const QString &line) { m_log << line; });
    connect(engine.get(), &UploadEngine::failure, this, [this](const QString &text) { m_failures << text; });
    engine->setQuestion([this](const QString &text, const QStringList &buttons, int defaultButton) {
        m_questions << text + u'|' + buttons.join(u'|') + u'|' + QString::number(defaultButton);
        return m_answers.isEmpty() ? -1 : m_answers.takeFirst();
    });
    return engine;
}

void tst_UploadEngine::cleanup()
{
    m_engine.reset();
    m_session.reset();
    m_local.reset();
    m_otherServer.reset();
    m_vsftpd.reset();
    m_otherRoot.reset();
}

bool tst_UploadEngine::login(TFtpClient &session, quint16 port, const QString &user, const QString &password,
                             const QString &directory)
{
    session.setHostName(u"127.0.0.1"_s);
    session.setPort(QString::number(port));
    session.setUserName(user);
    session.setPassWord(password);
    session.setTimeout(15);
    session.setPassive(true);
    if (!session.OpenSync() || !session.UserSync() || !session.PassSync())
        return false;
    session.setHostDirName(directory);
    return session.CwdSync();
}

void tst_UploadEngine::run(UploadEngine::Options options)
{
    options.home = m_local->path();
    QVERIFY(m_engine->run(options));
}

void tst_UploadEngine::oneAndFourSessionsGoThroughTheSameEngine_data()
{
    addOneAndFourSessions();
}

void tst_UploadEngine::oneAndFourSessionsGoThroughTheSameEngine()
{
    QFETCH(int, sessions);
    const QString root = m_local->path();
    for (int i = 0; i < 12; ++i)
        writeFile(root + u"/d%1/page %2.html"_s.arg(i % 3).arg(i), QByteArray::number(i).repeated(1000 + i));
    writeFile(root + u"/big.bin"_s, randomContent(3 * 1024 * 1024, 7));
    QVERIFY(QDir(root).mkpath(u"empty"_s));
    UploadEngine::Options options;
    options.sessions = sessions;
    options.changedOnly = true;
    run(options);
    QCOMPARE(snapshot(m_remote.path() + u"/web"_s), snapshot(root));
    QCOMPARE(m_log.last(), u"Nahráno 13 souborů, přeskočeno 0, chyb 0"_s);
    QVERIFY(m_failures.isEmpty());
    // The same run again: nothing goes up twice, nothing is asked.
    m_log.clear();
    run(options);
    QCOMPARE(m_log.last(), u"Nahráno 0 souborů, přeskočeno 13, chyb 0"_s);
    QVERIFY(m_questions.isEmpty());
    QVERIFY(m_log.filter(u"> MKD"_s).isEmpty());
}

void tst_UploadEngine::refusedFilesAreShownPerFileAndLeaveNoTemporaries_data()
{
    addOneAndFourSessions();
}

void tst_UploadEngine::refusedFilesAreShownPerFileAndLeaveNoTemporaries()
{
    QFETCH(int, sessions);
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    for (const QString &name : {u"a.html"_s, u"b.html"_s, u"sub/c.html"_s, u"sub/d.html"_s})
        writeFile(root + u'/' + name, name.toUtf8());
    // Two of the names are directories on the server: their renames and stores are refused.
    QVERIFY(QDir(web).mkpath(u"b.html/x"_s));
    QVERIFY(QDir(web).mkpath(u"sub/d.html/x"_s));
    UploadEngine::Options options;
    options.sessions = sessions;
    m_log.clear(); // the login
    run(options);
    QCOMPARE(m_log.last(), u"Nahráno 2 souborů, přeskočeno 0, chyb 2"_s);
    const QMap<QString, QByteArray> there = snapshot(web, true);
    QCOMPARE(there.value(u"a.html"_s), QByteArray("a.html"));
    QCOMPARE(there.value(u"sub/c.html"_s), QByteArray("sub/c.html"));
    for (const QString &path : there.keys())
        QVERIFY2(!path.contains(u".brisko-"_s), qPrintable(path));
    // Each file goes the same way whatever the number of sessions: a temporary name, the
    // rename to the path below the start, and for a refused rename the direct store.
    for (const QString &name : {u"a.html"_s, u"b.html"_s, u"sub/c.html"_s, u"sub/d.html"_s})
        QCOMPARE(m_log.filter(QRegularExpression(u"^> RNTO "_s + QRegularExpression::escape(name) + u'$')).size(), 1);
    QCOMPARE(m_log.filter(u"Server nepřejmenoval dočasný soubor, "_s).size(), 2);
    QStringList failed = m_log.filter(u"Nenahráno: "_s);
    failed.sort();
    QCOMPARE(failed, (QStringList{u"Nenahráno: b.html"_s, u"Nenahráno: sub/d.html"_s}));
    // MKD of "sub", which is there already, and the direct store of each refused file.
    QCOMPARE(m_log.count(u"Chyba!"_s), 3);
    // One refusal per failed file, for the box; one session is the one logged in already.
    QCOMPARE(m_failures.size(), 2);
    for (const QString &text : std::as_const(m_failures))
        QVERIFY2(text.startsWith(u"Error = 550 "_s), qPrintable(text));
    QCOMPARE(m_log.filter(u"> PASS"_s).size(), sessions == 1 ? 0 : sessions);
    QVERIFY(m_session->Connected());
}

void tst_UploadEngine::stopCutsTheRunningFilesCleanly_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<bool>("safe");
    QTest::newRow("one session") << 1 << true;
    QTest::newRow("four sessions") << 4 << true;
    QTest::newRow("one session, direct") << 1 << false;
    QTest::newRow("four sessions, direct") << 4 << false;
}

void tst_UploadEngine::stopCutsTheRunningFilesCleanly()
{
    QFETCH(int, sessions);
    QFETCH(bool, safe);
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    for (int i = 0; i < 6; ++i)
        writeFile(root + u"/part%1.bin"_s.arg(i), randomContent(12 * 1024 * 1024, quint32(30 + i)));
    bool stopped = false;
    connect(m_engine.get(), &UploadEngine::progress, this, [&](int, qint64, qint64, qint64 bytes) {
        if (!stopped && bytes > 0) {
            stopped = true;
            QTimer::singleShot(0, m_engine.get(), [this] { m_engine->stop(); });
        }
    });
    UploadEngine::Options options;
    options.sessions = sessions;
    options.safe = safe;
    run(options);
    QVERIFY(stopped);
    QVERIFY2(m_log.contains(u"Nahrávání zastaveno"_s), qPrintable(m_log.join(u'\n').right(2000)));
    QVERIFY(m_log.last().endsWith(u", chyb 0"_s));
    QVERIFY(!m_log.filter(u"Zastaveno: "_s).isEmpty());
    QCOMPARE(m_log.count(u"Chyba!"_s), 0);
    QVERIFY(m_failures.isEmpty());
    // A stop never waits for the server until the session times out.
    QVERIFY2(!m_log.contains(u"Timeout"_s), qPrintable(m_log.join(u'\n').right(2000)));
    // Safe, nothing half-sent stays; direct, what stays is named in the log.
    const QMap<QString, QByteArray> there = snapshot(web, true);
    for (auto it = there.cbegin(); it != there.cend(); ++it) {
        QVERIFY2(!it.key().startsWith(u".brisko-"_s), qPrintable(it.key()));
        const bool whole = it.value() == snapshot(root).value(it.key());
        QVERIFY2(whole || (!safe && m_log.contains(u"Na serveru zůstal neúplný soubor: "_s + it.key())),
                 qPrintable(it.key()));
    }
    // The window's session goes on.
    QVERIFY(m_session->Connected());
    QVERIFY(m_session->PwdSync());
}

void tst_UploadEngine::stopKeepsTheServerTimesOfWhatWasStored_data()
{
    addOneAndFourSessions();
}

// The files stored before "Zastavit" get the server's time in the journal all the same:
// without it a change on the server at the same size would go unasked at the next upload.
void tst_UploadEngine::stopKeepsTheServerTimesOfWhatWasStored()
{
    QFETCH(int, sessions);
    const QString root = m_local->path();
    for (int i = 0; i < 4; ++i)
        writeFile(root + u"/a%1.html"_s.arg(i), "page " + QByteArray::number(i));
    for (int i = 0; i < 2; ++i)
        writeFile(root + u"/z%1.bin"_s.arg(i), randomContent(24 * 1024 * 1024, quint32(60 + i)));
    bool stopped = false;
    connect(m_engine.get(), &UploadEngine::logLine, this, [&](const QString &line) {
        if (!stopped && line.startsWith(u"Nahráno: a"_s)) {
            stopped = true;
            QTimer::singleShot(0, m_engine.get(), [this] { m_engine->stop(); });
        }
    });
    UploadEngine::Options options;
    options.sessions = sessions;
    run(options);
    QVERIFY(stopped);
    QVERIFY(m_log.contains(u"Nahrávání zastaveno"_s));
    const QStringList stored = m_log.filter(QRegularExpression(u"^Nahráno: "_s));
    QVERIFY(!stored.isEmpty());
    UploadJournal journal;
    journal.load(UploadJournal::pathFor(m_session->HostName(), m_session->Port(), m_session->UserName(), u"/web"_s));
    for (const QString &line : stored) {
        const QString name = line.section(u": "_s, 1);
        QVERIFY2(!journal.remoteStamp(name).isEmpty(), qPrintable(name));
    }
}

void tst_UploadEngine::remoteFileChangedByOthersIsOverwrittenOnlyWhenAllowed_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("sameSize"); // only the server's time tells
    QTest::addColumn<bool>("mineWins");
    QTest::addColumn<int>("asked");
    QTest::addColumn<QString>("summary");
    QTest::newRow("overwrite") << 1 << 0 << false << true << 2 << u"Nahráno 3 souborů, přeskočeno 0, chyb 0"_s;
    QTest::newRow("skip, the default") << 1 << 1 << false << false << 2 << u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s;
    QTest::newRow("overwrite all asks once") << 1 << 2 << false << true << 1 << u"Nahráno 3 souborů, přeskočeno 0, chyb 0"_s;
    QTest::newRow("cancel ends the upload") << 1 << 3 << false << false << 1 << u"Nahráno 0 souborů, přeskočeno 0, chyb 0"_s;
    QTest::newRow("same size, later time") << 1 << 1 << true << false << 2 << u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s;
    QTest::newRow("four sessions: overwrite all") << 4 << 2 << false << true << 1 << u"Nahráno 3 souborů, přeskočeno 0, chyb 0"_s;
    QTest::newRow("four sessions: skip") << 4 << 1 << true << false << 2 << u"Nahráno 1 souborů, přeskočeno 2, chyb 0"_s;
}

void tst_UploadEngine::remoteFileChangedByOthersIsOverwrittenOnlyWhenAllowed()
{
    QFETCH(int, sessions);
    QFETCH(int, answer);
    QFETCH(bool, sameSize);
    QFETCH(bool, mineWins);
    QFETCH(int, asked);
    QFETCH(QString, summary);
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    writeFile(root + u"/a.html"_s, "mine a");
    writeFile(root + u"/sub/b.html"_s, "mine b");
    writeFile(root + u"/c.html"_s, "mine c");
    UploadEngine::Options options;
    options.sessions = sessions;
    run(options);
    QVERIFY(m_questions.isEmpty()); // the first upload has nothing to compare with
    QCOMPARE(snapshot(web), snapshot(root));

    // Someone else changes two pages on the server, past the server's one-second clock;
    // here they change too.
    QTest::qWait(1100);
    const QByteArray theirs = sameSize ? "thr a!" : "their a, longer";
    writeFile(web + u"/a.html"_s, theirs);
    writeFile(web + u"/sub/b.html"_s, theirs);
    writeFile(root + u"/a.html"_s, "mine a2");
    writeFile(root + u"/sub/b.html"_s, "mine b2");
    m_answers = {answer, answer};
    m_log.clear();
    run(options);
    QCOMPARE(m_questions.size(), asked);
    static const QRegularExpression question(
        u"^Soubor (a\\.html|sub/b\\.html) byl na serveru od posledního nahrání změněn\\. Přepsat\\?"
        u"\\|Přepsat\\|Přeskočit\\|Přepsat vše\\|Zrušit\\|1$"_s);
    for (const QString &q : std::as_const(m_questions))
        QVERIFY2(question.match(q).hasMatch(), qPrintable(q));
    const QMap<QString, QByteArray> there = snapshot(web);
    QCOMPARE(there.value(u"a.html"_s), mineWins ? QByteArray("mine a2") : theirs);
    QCOMPARE(there.value(u"sub/b.html"_s), mineWins ? QByteArray("mine b2") : theirs);
    QCOMPARE(m_log.last(), summary);
    if (answer == 3)
        QVERIFY(m_log.contains(u"Nahrávání zastaveno"_s));
    else
        QCOMPARE(m_log.filter(u"Přeskočeno (změněno na serveru): "_s).size(), mineWins ? 0 : 2);
}

void tst_UploadEngine::orphansAreListedInATrialRunThenDeletedAfterOneConfirmation()
{
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    writeFile(root + u"/index.html"_s, "i");
    writeFile(root + u"/kept/page.html"_s, "p");
    // On the server: pages the site no longer has, a whole old directory, an empty one,
    // and beside the target a file that is none of this upload's business.
    writeFile(web + u"/old.html"_s, "old");
    writeFile(web + u"/kept/gone.html"_s, "gone");
    writeFile(web + u"/archive/2019/a.html"_s, "a");
    QVERIFY(QDir(web).mkpath(u"vacant"_s));
    writeFile(m_remote.path() + u"/outside.html"_s, "outside");
    UploadEngine::Options options;
    options.deleteOrphans = true;
    options.dryRun = true;
    run(options);
    const QStringList listed = m_log.filter(u"Smazalo by se na serveru: "_s);
    // Files first, then directories, the deepest first: the order they can be deleted in.
    QCOMPARE(listed, (QStringList{u"Smazalo by se na serveru: archive/2019/a.html"_s,
                                  u"Smazalo by se na serveru: kept/gone.html"_s,
                                  u"Smazalo by se na serveru: old.html"_s,
                                  u"Smazalo by se na serveru: archive/2019"_s,
                                  u"Smazalo by se na serveru: archive"_s,
                                  u"Smazalo by se na serveru: vacant"_s}));
    QVERIFY(m_questions.isEmpty());
    QVERIFY(QFileInfo::exists(web + u"/old.html"_s));

    // Declined: everything stays.
    options.dryRun = false;
    m_answers = {1};
    run(options);
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(QFileInfo::exists(web + u"/old.html"_s));

    m_answers = {0};
    run(options);
    QCOMPARE(m_questions.value(1), u"Na serveru je 6 souborů a adresářů, které doma nejsou. Smazat je?|Smazat|Nemazat|1"_s);
    QCOMPARE(snapshot(web), snapshot(root));
    QVERIFY(QFileInfo::exists(m_remote.path() + u"/outside.html"_s));
    QVERIFY(m_log.contains(u"Smazáno na serveru 6 z 6 souborů a adresářů navíc"_s));
    QVERIFY(m_log.last().startsWith(u"Nahráno 2 souborů"_s));
}

void tst_UploadEngine::cutLargeFileResumesWhereItStopped_data()
{
    // With four, every session is cut at once; the temporary file stays for the next upload
    // all the same.
    addOneAndFourSessions();
}

void tst_UploadEngine::cutLargeFileResumesWhereItStopped()
{
    QFETCH(int, sessions);
    const QString root = m_local->path();
    const QByteArray content = randomContent(20 * 1024 * 1024, 21);
    writeFile(root + u"/archive.zip"_s, content);
    writeFile(root + u"/small.html"_s, "s");
    // The engine's sessions go through a line that drops once the server holds a few
    // megabytes of the archive, from a server that takes the data slowly enough for that to
    // come in the middle of it.
    PyFtpServer slow;
    const QString problem = slow.startSlowData(m_remote.path(), User, Password);
    if (!problem.isEmpty())
        QFAIL(qPrintable(problem));
    FtpRelay relay(slow.port());
    TFtpClient session;
    connect(&session, &TFtpClient::OnDisplay, this, [this](const QString &line) { m_log << line; });
    QVERIFY(login(session, relay.port()));
    std::unique_ptr<UploadEngine> engine = makeEngine(session);
    QTimer watch;
    connect(&watch, &QTimer::timeout, &relay, [&] {
        QDirIterator temporaries(m_remote.path() + u"/web"_s, {u".brisko-*"_s}, QDir::Files | QDir::Hidden);
        while (temporaries.hasNext()) {
            if (temporaries.nextFileInfo().size() > 6 * 1024 * 1024) {
                relay.refusing = true;
                relay.cut();
                watch.stop();
            }
        }
    });
    watch.start(5);
    UploadEngine::Options options;
    options.home = root;
    options.changedOnly = true;
    options.sessions = sessions;
    QVERIFY(engine->run(options));
    watch.stop();
    QVERIFY2(m_log.contains(u"Nenahráno: archive.zip"_s), qPrintable(m_log.join(u'\n')));
    const QMap<QString, QByteArray> cut = snapshot(m_remote.path() + u"/web"_s, true);
    QVERIFY(!cut.contains(u"archive.zip"_s));
    // With four sessions the small page may be cut in flight too and leave a temporary of
    // its own: the archive's is the large one.
    QString temporary;
    for (auto it = cut.cbegin(); it != cut.cend(); ++it) {
        if (it.key().startsWith(u".brisko-"_s)
            && (temporary.isEmpty() || it.value().size() > cut.value(temporary).size()))
            temporary = it.key();
    }
    QVERIFY2(!temporary.isEmpty(), qPrintable(m_log.join(u'\n')));
    const qsizetype there = cut.value(temporary).size();
    QVERIFY(there > 0 && there < content.size());
    QVERIFY(m_log.contains(u"Dočasný soubor %1 zůstává na serveru, příští nahrávání v něm bude pokračovat"_s.arg(temporary)));

    // Next time: only the rest goes, appended, and the file is whole and byte-exact.
    relay.refusing = false;
    m_log.clear();
    QVERIFY(login(session, relay.port()));
    QVERIFY(engine->run(options));
    QVERIFY2(m_log.contains(u"Nahrávání archive.zip pokračuje od bajtu %1"_s.arg(there)), qPrintable(m_log.join(u'\n')));
    QVERIFY(m_log.contains(u"> APPE "_s + temporary));
    QCOMPARE(m_log.filter(u"Data: session closed, %1 bytes transfered"_s.arg(content.size() - there)).size(), 1);
    const QMap<QString, QByteArray> whole = snapshot(m_remote.path() + u"/web"_s, true);
    QCOMPARE(whole.keys(), (QStringList{u"archive.zip"_s, u"small.html"_s}));
    QVERIFY(whole.value(u"archive.zip"_s) == content);
    QVERIFY(m_log.contains(u"Nahráno: archive.zip"_s));
    // small.html may have gone up whole before the line dropped.
    QVERIFY2(m_log.last().endsWith(u", chyb 0"_s), qPrintable(m_log.last()));
}

void tst_UploadEngine::listingIgnoresNamesThatLeaveTheDirectory()
{
    const QByteArray listing = "type=cdir;modify=20240101000000; .\r\n"
                               "type=pdir;modify=20240101000000; ..\r\n"
                               "type=file;size=12;modify=20240102030405; a page.html\r\n"
                               "type=dir;modify=20240101000000; sub\r\n"
                               "type=file;size=1; ../escape\r\n"
                               "type=OS.unix=symlink;size=1; link\r\n"
                               "Type=File;Size=3;Modify=20240101000001; MixedCase.txt\r\n";
    const UploadEngine::RemoteDirectory entries = UploadEngine::parseListing(listing);
    QCOMPARE(entries.size(), 4);
    // A link is listed as what it is, so nothing is ever deleted through it.
    QCOMPARE(entries.value(u"link"_s).type, u"link"_s);
    QCOMPARE(entries.value(u"a page.html"_s).size, 12);
    QCOMPARE(entries.value(u"a page.html"_s).modify, u"20240102030405"_s);
    QCOMPARE(entries.value(u"sub"_s).type, u"dir"_s);
    QCOMPARE(entries.value(u"MixedCase.txt"_s).size, 3);
}

void tst_UploadEngine::listParsesUnixAndWindowsForms()
{
    const QByteArray listing = "total 12\r\n"
                               "drwxr-xr-x   2 owner    group        4096 Dec 10 01:03 sub\r\n"
                               "-rw-r--r--    1 0        0             256 Dec 10  2025 a page.html\r\n"
                               "lrwxrwxrwx   1 owner    group           7 Dec 10 01:03 odkaz -> ../jiny\r\n"
                               "-rw-r--r--   1 owner                   12 Jan  1 10:00 no-group.txt\r\n"
                               "12-10-26  01:03AM       <DIR>          Win Dir\r\n"
                               "12-10-26  01:03PM                 1234 win file.txt\r\n"
                               "-rw-r--r--   1 owner    group          1 Dec 10 01:03 ../escape\r\n"
                               "something else entirely\r\n";
    const UploadEngine::RemoteDirectory entries = UploadEngine::parseList(listing);
    QCOMPARE(entries.size(), 6);
    QCOMPARE(entries.value(u"sub"_s).type, u"dir"_s);
    QCOMPARE(entries.value(u"a page.html"_s).size, 256);
    QCOMPARE(entries.value(u"odkaz"_s).type, u"link"_s);
    QCOMPARE(entries.value(u"no-group.txt"_s).size, 12);
    QCOMPARE(entries.value(u"Win Dir"_s).type, u"dir"_s);
    QCOMPARE(entries.value(u"win file.txt"_s).size, 1234);
}

bool tst_UploadEngine::startAndLogIn(const QString &kind, const QString &root, TFtpClient &session)
{
    QString user, password;
    const quint16 port = serverFor(kind, root, user, password);
    connect(&session, &TFtpClient::OnDisplay, this, [this](const QString &line) { m_log << line; });
    return port != 0 && login(session, port, user, password, u"web"_s);
}

quint16 tst_UploadEngine::serverFor(const QString &kind, const QString &root, QString &user, QString &password)
{
    user = User;
    password = Password;
    QDir(root).mkpath(u"web"_s);
    QString problem;
    if (kind == u"pyftpdlib"_s) {
        m_otherServer = std::make_unique<PyFtpServer>();
        problem = m_otherServer->start(root, User, Password);
    } else if (kind == u"pyftpdlib without MLSD"_s) {
        m_otherServer = std::make_unique<PyFtpServer>();
        problem = m_otherServer->startWithoutMlsd(root, User, Password);
    } else {
        user = u"anonymous"_s;
        password = u"anonymous@example.com"_s;
        m_vsftpd = std::make_unique<VsftpdServer>();
        problem = m_vsftpd->start(root);
        if (!problem.isEmpty())
            qWarning("%s", qPrintable(problem));
        return problem.isEmpty() ? m_vsftpd->port() : 0;
    }
    if (!problem.isEmpty())
        qWarning("%s", qPrintable(problem));
    return problem.isEmpty() ? m_otherServer->port() : 0;
}

namespace {

void serverKinds()
{
    QTest::addColumn<QString>("server");
    QTest::newRow("pyftpdlib, MLSD") << u"pyftpdlib"_s;
    // vsftpd 3.0.3 answers MLSD with "500 Unknown command": LIST and MDTM tell instead.
    QTest::newRow("pyftpdlib without MLSD") << u"pyftpdlib without MLSD"_s;
    QTest::newRow("vsftpd") << u"vsftpd"_s;
}

} // namespace

void tst_UploadEngine::orphanDeletionTouchesOnlyWhatTheWalkWouldSend_data()
{
    serverKinds();
}

void tst_UploadEngine::orphanDeletionTouchesOnlyWhatTheWalkWouldSend()
{
    QFETCH(QString, server);
    if (server == u"vsftpd"_s && ::geteuid() != 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::FailInCi, "vsftpd serves these tests only when started by root");
    m_otherRoot = std::make_unique<QTemporaryDir>();
    const QString remoteRoot = m_otherRoot->path();
    const QString web = remoteRoot + u"/web"_s;
    TFtpClient session;
    QVERIFY(startAndLogIn(server, remoteRoot, session));
    const QString root = m_local->path();
    QTemporaryDir outside; // a folder the home directory links to
    writeFile(root + u"/index.html"_s, "i");
    writeFile(root + u"/sub/page.html"_s, "p");
    writeFile(root + u"/.htaccess"_s, "the local one, never sent");
    writeFile(outside.filePath(u"a.html"_s), "a");
    QVERIFY(QFile::link(outside.path(), root + u"/sdilene"_s));
    // On the server: two orphans and an empty directory, and what must stay: the server's
    // own files, another upload's temporary file, a backup, a link into a folder beside
    // the target, a directory whose twin at home is a link, and a hidden file in an
    // otherwise orphaned directory.
    writeFile(web + u"/old.html"_s, "old");
    writeFile(web + u"/sub/gone.html"_s, "gone");
    QVERIFY(QDir(web).mkpath(u"prazdny"_s));
    writeFile(web + u"/.htaccess"_s, "deny from all");
    writeFile(web + u"/.well-known/security.txt"_s, "contact");
    writeFile(web + u"/.brisko-1f2e3d.part"_s, "someone else's upload");
    writeFile(web + u"/stale.bak"_s, "a backup");
    writeFile(remoteRoot + u"/jiny/keep.html"_s, "beside the target");
    QVERIFY(QFile::link(u"../jiny"_s, web + u"/odkaz"_s));
    writeFile(web + u"/sdilene/extra.html"_s, "linked at home");
    writeFile(web + u"/stary/.htaccess"_s, "hidden");
    std::unique_ptr<UploadEngine> engine = makeEngine(session);
    UploadEngine::Options options;
    options.home = root;
    options.deleteOrphans = true;
    options.dryRun = true;
    QVERIFY(engine->run(options));
    QCOMPARE(m_log.filter(u"Smazalo by se na serveru: "_s),
             (QStringList{u"Smazalo by se na serveru: old.html"_s, u"Smazalo by se na serveru: sub/gone.html"_s,
                          u"Smazalo by se na serveru: prazdny"_s}));

    options.dryRun = false;
    m_answers = {0};
    QVERIFY(engine->run(options));
    QCOMPARE(m_questions,
             QStringList{u"Na serveru je 3 souborů a adresářů, které doma nejsou. Smazat je?|Smazat|Nemazat|1"_s});
    QVERIFY(m_log.contains(u"Smazáno na serveru 3 z 3 souborů a adresářů navíc"_s));
    QVERIFY(m_log.contains(u"Odkaz na serveru se nemaže: odkaz"_s));
    const QMap<QString, QByteArray> there = snapshot(web, true);
    for (const QString &gone : {u"old.html"_s, u"sub/gone.html"_s, u"prazdny/"_s})
        QVERIFY2(!there.contains(gone), qPrintable(gone));
    QCOMPARE(there.value(u".htaccess"_s), QByteArray("deny from all"));
    QCOMPARE(there.value(u".well-known/security.txt"_s), QByteArray("contact"));
    QCOMPARE(there.value(u".brisko-1f2e3d.part"_s), QByteArray("someone else's upload"));
    QCOMPARE(there.value(u"stale.bak"_s), QByteArray("a backup"));
    QCOMPARE(there.value(u"sdilene/extra.html"_s), QByteArray("linked at home"));
    QCOMPARE(there.value(u"sdilene/a.html"_s), QByteArray("a"));
    QCOMPARE(there.value(u"stary/.htaccess"_s), QByteArray("hidden"));
    QCOMPARE(there.value(u"index.html"_s), QByteArray("i"));
    QCOMPARE(there.value(u"sub/page.html"_s), QByteArray("p"));
    QVERIFY(QFileInfo(web + u"/odkaz"_s).isSymLink());
    QCOMPARE(snapshot(remoteRoot + u"/jiny"_s).value(u"keep.html"_s), QByteArray("beside the target"));
}

void tst_UploadEngine::realRunAsksAgainForWhatTheTrialRunDidNotList()
{
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    writeFile(root + u"/index.html"_s, "i");
    writeFile(web + u"/old.html"_s, "old");
    UploadEngine::Options options;
    options.deleteOrphans = true;
    options.dryRun = true;
    run(options);
    QCOMPARE(m_log.filter(u"Smazalo by se na serveru: "_s), QStringList{u"Smazalo by se na serveru: old.html"_s});
    // Meanwhile someone puts a page there the trial run could not show.
    writeFile(web + u"/new.html"_s, "new");
    options.dryRun = false;
    m_answers = {1};
    run(options);
    QCOMPARE(m_questions.size(), 1);
    QVERIFY2(m_questions.first().startsWith(u"Na serveru je 2 souborů a adresářů, které doma nejsou. "
                                            u"Zkušební běh z nich nevypsal 1:\nnew.html\n"_s),
             qPrintable(m_questions.first()));
    QVERIFY(QFileInfo::exists(web + u"/old.html"_s));
    QVERIFY(QFileInfo::exists(web + u"/new.html"_s));
}

void tst_UploadEngine::editorFilesStayAtHome_data()
{
    QTest::addColumn<bool>("skip");
    QTest::newRow("Nenahrávat zálohy, the default") << true;
    QTest::newRow("off: everything goes") << false;
}

void tst_UploadEngine::editorFilesStayAtHome()
{
    QFETCH(bool, skip);
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    writeFile(root + u"/index.html"_s, "i");
    writeFile(root + u"/index.old"_s, "the backup, its extension from the settings");
    writeFile(root + u"/index.html.Ab3dEf"_s, "a save cut off");
    writeFile(root + u"/notes.backup"_s, "a real file whose extension is a word");
    writeFile(web + u"/stale.old"_s, "a backup on the server");
    UploadEngine::Options options;
    options.skipBackups = skip;
    options.backupExtension = u"old"_s;
    options.deleteOrphans = true;
    m_answers = {0};
    run(options);
    const QMap<QString, QByteArray> there = snapshot(web);
    QCOMPARE(there.contains(u"index.old"_s), !skip);
    QCOMPARE(there.contains(u"index.html.Ab3dEf"_s), !skip);
    QVERIFY(there.contains(u"notes.backup"_s));
    QVERIFY(there.contains(u"index.html"_s));
    // Left out of the walk, a backup is no orphan either.
    QCOMPARE(there.contains(u"stale.old"_s), skip);
    QCOMPARE(m_log.last(), u"Nahráno %1 souborů, přeskočeno 0, chyb 0"_s.arg(skip ? 2 : 4));
}

void tst_UploadEngine::sameSizeChangeOnTheServerIsNoticed_data()
{
    serverKinds();
}

void tst_UploadEngine::sameSizeChangeOnTheServerIsNoticed()
{
    QFETCH(QString, server);
    if (server == u"vsftpd"_s && ::geteuid() != 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::FailInCi, "vsftpd serves these tests only when started by root");
    m_otherRoot = std::make_unique<QTemporaryDir>();
    const QString remoteRoot = m_otherRoot->path();
    const QString web = remoteRoot + u"/web"_s;
    TFtpClient session;
    QVERIFY(startAndLogIn(server, remoteRoot, session));
    const QString root = m_local->path();
    writeFile(root + u"/a.html"_s, "mine 1");
    writeFile(root + u"/b.html"_s, "mine b");
    std::unique_ptr<UploadEngine> engine = makeEngine(session);
    UploadEngine::Options options;
    options.home = root;
    // A full upload: the journal records what went, hashes included.
    QVERIFY(engine->run(options));
    QCOMPARE(m_log.last(), u"Nahráno 2 souborů, přeskočeno 0, chyb 0"_s);

    // A colleague changes a.html on the server, keeping its size, an hour later.
    writeFile(web + u"/a.html"_s, "THRS 1");
    QFile theirs(web + u"/a.html"_s);
    QVERIFY(theirs.open(QIODevice::ReadWrite));
    QVERIFY(theirs.setFileTime(QDateTime::currentDateTimeUtc().addSecs(3600), QFileDevice::FileModificationTime));
    theirs.close();
    options.changedOnly = true;
    m_log.clear();
    QVERIFY(engine->run(options));
    QVERIFY2(m_log.contains(u"Přeskočeno (beze změny, na serveru je jiná verze): a.html"_s), qPrintable(m_log.join(u'\n')));
    QVERIFY(m_log.contains(u"Přeskočeno (beze změny): b.html"_s));
    QCOMPARE(m_log.last(), u"Nahráno 0 souborů, přeskočeno 2, chyb 0"_s);

    // Changed here too, the same size again: asked, and Enter keeps the colleague's work.
    writeFile(root + u"/a.html"_s, "mine 2");
    m_answers = {1};
    QVERIFY(engine->run(options));
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(m_questions.first().startsWith(u"Soubor a.html byl na serveru od posledního nahrání změněn."_s));
    QCOMPARE(snapshot(web).value(u"a.html"_s), QByteArray("THRS 1"));
}

void tst_UploadEngine::journalHoldsTheServersTimesOverOneOrFourSessions_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<int>("sessions");
    for (const QString &server : {u"pyftpdlib"_s, u"pyftpdlib without MLSD"_s, u"vsftpd"_s}) {
        QTest::addRow("%s, one session", qPrintable(server)) << server << 1;
        QTest::addRow("%s, four sessions", qPrintable(server)) << server << 4;
    }
}

// However many sessions store the files, the journal gets the time the server gives each
// one, and with sessions of their own the window's session asks for none of them itself.
void tst_UploadEngine::journalHoldsTheServersTimesOverOneOrFourSessions()
{
    QFETCH(QString, server);
    QFETCH(int, sessions);
    if (server == u"vsftpd"_s && ::geteuid() != 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::FailInCi, "vsftpd serves these tests only when started by root");
    m_otherRoot = std::make_unique<QTemporaryDir>();
    const QString web = m_otherRoot->path() + u"/web"_s;
    QStringList windowCommands; // outlives the session that fills it
    TFtpClient session;
    QVERIFY(startAndLogIn(server, m_otherRoot->path(), session));
    QVERIFY(session.PwdSync());
    const QString start = TFtpClient::DirectoryOfReply(session.LastResponse());
    const QString root = m_local->path();
    QStringList relatives;
    for (int i = 0; i < 40; ++i) {
        const QString relative = i % 4 == 0 ? u"top %1.html"_s.arg(i) : u"d%1/page %2.html"_s.arg(i % 3).arg(i);
        writeFile(root + u'/' + relative, QByteArray::number(i).repeated(100 + i));
        relatives << relative;
    }
    connect(&session, &TFtpClient::OnCommand, this, [&](const QString &command) { windowCommands << command; });
    std::unique_ptr<UploadEngine> engine = makeEngine(session);
    UploadEngine::Options options;
    options.home = root;
    options.sessions = sessions;
    QVERIFY(engine->run(options));
    QCOMPARE(m_log.last(), u"Nahráno 40 souborů, přeskočeno 0, chyb 0"_s);
    UploadJournal journal;
    journal.load(UploadJournal::pathFor(session.HostName(), session.Port(), session.UserName(), start));
    QCOMPARE(journal.size(), 40);
    for (const QString &relative : relatives) {
        const QDateTime modified = QFileInfo(web + u'/' + relative).lastModified().toUTC();
        QCOMPARE(journal.remoteStamp(relative), modified.toString(u"yyyyMMddhhmmss"_s));
    }
    if (sessions > 1) {
        static const QRegularExpression asking(u"^(MDTM|MLSD|LIST)"_s);
        QCOMPARE(windowCommands.filter(asking), QStringList());
    }
}

QString tst_UploadEngine::killMidFile(int sessions, bool changedOnly)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"BRISKO_UPLOAD_CHILD_PORT"_s, QString::number(m_server.port()));
    environment.insert(u"BRISKO_UPLOAD_CHILD_USER"_s, User);
    environment.insert(u"BRISKO_UPLOAD_CHILD_PASSWORD"_s, Password);
    environment.insert(u"BRISKO_UPLOAD_CHILD_HOME"_s, m_local->path());
    environment.insert(u"BRISKO_UPLOAD_CHILD_SESSIONS"_s, QString::number(sessions));
    environment.insert(u"BRISKO_UPLOAD_CHILD_DATA"_s, qEnvironmentVariable("XDG_DATA_HOME"));
    if (!changedOnly)
        environment.insert(u"BRISKO_UPLOAD_CHILD_ALL"_s, u"1"_s);
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(), {u"uploadchild"_s});
    if (!child.waitForStarted(10000))
        return {};
    QByteArray said;
    while (!said.contains("CUT") && !said.contains("DONE") && child.state() == QProcess::Running) {
        child.waitForReadyRead(1000);
        said += child.readAll();
    }
    // Stopped with part of the file sent: once the server holds some of it, the child dies
    // as a killed program does.
    const QString web = m_remote.path() + u"/web"_s;
    QString temporary;
    QDeadlineTimer deadline(20000);
    while (temporary.isEmpty() && said.contains("CUT") && !deadline.hasExpired()) {
        for (const QFileInfo &info : QDir(web).entryInfoList(QDir::Files | QDir::Hidden)) {
            if (info.fileName().startsWith(u".brisko-"_s) && info.size() > 0)
                temporary = info.fileName();
        }
        if (temporary.isEmpty())
            QTest::qWait(10);
    }
    ::kill(pid_t(child.processId()), SIGKILL);
    child.waitForFinished(10000);
    if (!said.contains("CUT"))
        qWarning("the child said: %s", said.constData());
    return temporary;
}

void tst_UploadEngine::killedUploadGoesOnWithItsTemporaryFile_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<QString>("meanwhile"); // what becomes of the file at home
    QTest::addColumn<bool>("changedOnly");  // "Jen změněné" in both uploads
    QTest::newRow("one session") << 1 << u"nothing"_s << true;
    QTest::newRow("four sessions") << 4 << u"nothing"_s << true;
    QTest::newRow("changed at home: sent anew") << 1 << u"changed"_s << true;
    QTest::newRow("gone from home: its temporary goes") << 4 << u"gone"_s << true;
    QTest::newRow("whole uploads: the temporary goes, sent anew") << 4 << u"nothing"_s << false;
}

void tst_UploadEngine::killedUploadGoesOnWithItsTemporaryFile()
{
    QFETCH(int, sessions);
    QFETCH(QString, meanwhile);
    QFETCH(bool, changedOnly);
    const QString root = m_local->path();
    const QString web = m_remote.path() + u"/web"_s;
    QByteArray content = randomContent(32 * 1024 * 1024, 33);
    writeFile(root + u"/archive.zip"_s, content);
    const QString temporary = killMidFile(sessions, changedOnly);
    QVERIFY2(!temporary.isEmpty(), "no temporary file on the server");
    writeFile(root + u"/page.html"_s, "p");
    if (meanwhile == u"changed"_s) {
        content = randomContent(content.size(), 34);
        writeFile(root + u"/archive.zip"_s, content);
    } else if (meanwhile == u"gone"_s) {
        QVERIFY(QFile::remove(root + u"/archive.zip"_s));
    }
    const qint64 there = QFileInfo(web + u'/' + temporary).size();

    UploadEngine::Options options;
    options.changedOnly = changedOnly;
    options.sessions = sessions;
    m_log.clear();
    run(options);
    const QString log = m_log.join(u'\n');
    if (meanwhile == u"nothing"_s && changedOnly) {
        QVERIFY2(m_log.contains(u"> APPE "_s + temporary), qPrintable(log));
        QVERIFY(m_log.filter(u"Nahrávání archive.zip pokračuje od bajtu "_s).size() == 1);
        QVERIFY(there > 0);
    } else {
        QVERIFY2(m_log.filter(u"> APPE "_s).isEmpty(), qPrintable(log));
    }
    if (meanwhile == u"gone"_s)
        QVERIFY2(m_log.contains(u"Smazán dočasný soubor %1, soubor archive.zip doma už není"_s.arg(temporary)), qPrintable(log));
    // Whatever happened, the server holds the home directory byte for byte, and no
    // temporary file of this upload.
    QCOMPARE(snapshot(web, true), snapshot(root));
    QVERIFY(m_failures.isEmpty());
}

BRISKO_TEST_MAIN(tst_UploadEngine)
#include "tst_uploadengine.moc"
