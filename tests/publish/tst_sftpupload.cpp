// SFTP through the upload engine, against a real OpenSSH server the test starts on
// 127.0.0.1: the host key checked as ssh checks it, the logins, and the engine's stages
// (the whole tree, only what changed, other people's changes, orphans, stop and resume)
// over one and four sessions.
#include "LocalTree.h"
#include "SshServer.h"
#include "publish/SftpSession.h"
#include "publish/UploadEngine.h"
#include "publish/PasswordStore.h"
#include "publish/UploadJournal.h"
#include "publish/UploadSites.h"
#include "publish/ftpklient.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QDir>
#include <QLineEdit>
#include <QDeadlineTimer>
#include <QProcess>
#include <QPushButton>
#include <QScopeGuard>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
    return data;
}

bool hasTemporaries(const QMap<QString, QByteArray> &tree)
{
    for (auto it = tree.cbegin(); it != tree.cend(); ++it) {
        if (it.key().section(u'/', -1).startsWith(u".brisko-"_s))
            return true;
    }
    return false;
}

} // namespace

class tst_SftpUpload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    // The server's key, as ssh checks it
    void unknownHostKeyIsTrustedOnlyWhenTheUserSaysSo_data();
    void unknownHostKeyIsTrustedOnlyWhenTheUserSaysSo();
    void keyInTheUsersKnownHostsIsTrustedWithoutAQuestion();
    void changedHostKeyIsRefusedWithoutAQuestion();

    // Logins
    void loginsGoInOnlyWithWhatTheServerAccepts_data();
    void loginsGoInOnlyWithWhatTheServerAccepts();
    void agentLogsInWithoutKeyFileOrPassword_data();
    void agentLogsInWithoutKeyFileOrPassword();

    // The engine's stages over SFTP
    void wholeTreeThenOnlyTheChange_data();
    void wholeTreeThenOnlyTheChange();
    void fileChangedOnTheServerIsOverwrittenOnlyWhenAllowed_data();
    void fileChangedOnTheServerIsOverwrittenOnlyWhenAllowed();
    void refusedFileFailsAloneAndLeavesNoTemporary_data();
    void refusedFileFailsAloneAndLeavesNoTemporary();
    void orphansAreDeletedOnlyAfterTheTrialRunAndAYes();
    void stopLeavesOnlyWholeFilesAndNoTemporaries_data();
    void stopLeavesOnlyWholeFilesAndNoTemporaries();
    void cutLargeFileResumesWhereItStopped();
    void journalsOfFtpAndSftpAreKeptApart();

    // The window
    void portFollowsTheProtocolUntilTheUserTypesOne();
    void windowUploadsOverSftp();
    void siteIsSavedPickedAndUsed_data();
    void siteIsSavedPickedAndUsed();
    void siteIsDeletedWithItsPassword();
    void withoutASessionBusTheKeyringKeepsNothing();

private:
    std::unique_ptr<SftpSession> makeSession();
    bool openSession(SftpSession &session, const QString &password = {}, const QString &keyFile = {});
    bool runUpload(UploadEngine::Options options);
    int answer(const QString &text, const QStringList &buttons, int defaultButton);

    SshServer m_server;
    QTemporaryDir m_serverRoot;
    QString m_web;
    std::unique_ptr<QTemporaryDir> m_local;
    std::unique_ptr<QTemporaryDir> m_keys;
    QString m_ownKnownHosts, m_userKnownHosts;
    std::unique_ptr<SftpSession> m_session;
    std::unique_ptr<UploadEngine> m_engine;
    QStringList m_log;
    QStringList m_questions;
    QList<int> m_answers;       // the scripted answers, in turn
    QList<int> m_defaults;      // the button Enter would have pressed, per question
};

void tst_SftpUpload::initTestCase()
{
    // The user's agent has no business in these tests.
    qunsetenv("SSH_AUTH_SOCK");
    m_web = m_serverRoot.filePath(u"web"_s);
    QVERIFY(QDir().mkpath(m_web));
    const QString error = m_server.start(m_web);
    if (!error.isEmpty())
        QFAIL(qPrintable(u"OpenSSH server: "_s + error));
}

void tst_SftpUpload::init()
{
    QDir(m_web).removeRecursively();
    QVERIFY(QDir().mkpath(m_web));
    m_local = std::make_unique<QTemporaryDir>();
    m_keys = std::make_unique<QTemporaryDir>();
    // Each test starts with no journal of earlier uploads.
    qputenv("XDG_DATA_HOME", QFile::encodeName(m_keys->filePath(u"data"_s)));
    m_ownKnownHosts = m_keys->filePath(u"own/known_hosts"_s);
    m_userKnownHosts = m_keys->filePath(u"user_known_hosts"_s);
    // Most tests meet a server the user knows from ssh already.
    writeFile(m_userKnownHosts, m_server.knownHostsLine().toUtf8() + '\n');
    m_log.clear();
    m_questions.clear();
    m_answers.clear();
    m_defaults.clear();
    m_session = makeSession();
    QVERIFY2(openSession(*m_session, {}, m_server.clientKey()), qPrintable(m_log.join(u'\n')));
    m_engine = std::make_unique<UploadEngine>(*m_session);
    m_engine->setQuestion([this](const QString &text, const QStringList &buttons, int defaultButton) {
        return answer(text, buttons, defaultButton);
    });
    connect(m_engine.get(), &UploadEngine::logLine, this, [this](const QString &line) { m_log << line; });
}

void tst_SftpUpload::cleanup()
{
    m_engine.reset();
    m_session.reset();
}

int tst_SftpUpload::answer(const QString &text, const QStringList &buttons, int defaultButton)
{
    m_questions << text;
    m_defaults << defaultButton;
    if (m_answers.isEmpty()) {
        qWarning("unscripted question: %s (%s)", qPrintable(text), qPrintable(buttons.join(u", "_s)));
        return -1;
    }
    return m_answers.takeFirst();
}

std::unique_ptr<SftpSession> tst_SftpUpload::makeSession()
{
    auto session = std::make_unique<SftpSession>();
    session->setKnownHostsFiles(m_ownKnownHosts, m_userKnownHosts);
    session->setQuestion([this](const QString &text, const QStringList &buttons, int defaultButton) {
        return answer(text, buttons, defaultButton);
    });
    connect(session.get(), &SftpSession::logLine, this, [this](const QString &line) { m_log << line; });
    return session;
}

bool tst_SftpUpload::openSession(SftpSession &session, const QString &password, const QString &keyFile)
{
    return session.open({u"127.0.0.1"_s, QString::number(m_server.port()), m_server.userName(), password, keyFile});
}

bool tst_SftpUpload::runUpload(UploadEngine::Options options)
{
    options.home = m_local->path();
    return m_engine->run(options);
}

// ---------------------------------------------------------------------------------------
// Host keys

void tst_SftpUpload::unknownHostKeyIsTrustedOnlyWhenTheUserSaysSo_data()
{
    QTest::addColumn<int>("pick");
    QTest::addColumn<bool>("trusted");
    QTest::newRow("trust") << 0 << true;
    QTest::newRow("cancel") << 1 << false;
    QTest::newRow("box closed") << -1 << false;
}

void tst_SftpUpload::unknownHostKeyIsTrustedOnlyWhenTheUserSaysSo()
{
    QFETCH(int, pick);
    QFETCH(bool, trusted);
    QFile::remove(m_userKnownHosts);
    auto session = makeSession();
    m_answers << pick;
    QCOMPARE(openSession(*session, {}, m_server.clientKey()), trusted);
    QCOMPARE(m_questions.size(), 1);
    // The fingerprint and type as ssh shows them; Enter cancels.
    const QString fingerprint = m_server.knownHostsLine().section(u' ', 1, 1);
    QVERIFY2(m_questions[0].contains(u"Typ klíče: "_s + fingerprint), qPrintable(m_questions[0]));
    QVERIFY(m_questions[0].contains(u"Otisk klíče: SHA256:"_s));
    QCOMPARE(m_defaults[0], 1);
    QCOMPARE(QFile::exists(m_ownKnownHosts), trusted);
    // Once trusted, the next connection goes in without asking; refused, it asks again.
    m_answers << 1;
    auto next = makeSession();
    QCOMPARE(openSession(*next, {}, m_server.clientKey()), trusted);
    QCOMPARE(m_questions.size(), trusted ? 1 : 2);
    QVERIFY(!QFile::exists(m_userKnownHosts)); // the user's own list is only read
}

void tst_SftpUpload::keyInTheUsersKnownHostsIsTrustedWithoutAQuestion()
{
    QVERIFY(m_questions.isEmpty());
    QVERIFY(m_session->connected());
    QVERIFY(!QFile::exists(m_ownKnownHosts));
}

void tst_SftpUpload::changedHostKeyIsRefusedWithoutAQuestion()
{
    m_session->close();
    const QString before = m_server.knownHostsLine();
    QVERIFY(m_server.changeHostKey().isEmpty());
    QVERIFY(m_server.knownHostsLine() != before);
    auto session = makeSession();
    QVERIFY(!openSession(*session, {}, m_server.clientKey()));
    QVERIFY(m_questions.isEmpty());
    QVERIFY2(session->errorMessage().contains(u"se změnil"_s), qPrintable(session->errorMessage()));
    QVERIFY(session->errorMessage().contains(u"Spojení bylo odmítnuto"_s));
    QVERIFY(!QFile::exists(m_ownKnownHosts));
    // The server keeps its new key for the tests after this one.
    writeFile(m_userKnownHosts, m_server.knownHostsLine().toUtf8() + '\n');
}

// ---------------------------------------------------------------------------------------
// Logins

void tst_SftpUpload::loginsGoInOnlyWithWhatTheServerAccepts_data()
{
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("key"); // 0 none, 1 plain, 2 under a passphrase
    QTest::addColumn<QStringList>("passphrases"); // given when asked; the end: cancel
    QTest::addColumn<bool>("in");
    QTest::newRow("key file") << QString() << 1 << QStringList() << true;
    QTest::newRow("wrong password, no key") << u"spatne-heslo"_s << 0 << QStringList() << false;
    QTest::newRow("locked key, passphrase given") << QString() << 2 << QStringList{SshServer::lockedKeyPassphrase()} << true;
    QTest::newRow("locked key, wrong then right passphrase")
        << QString() << 2 << QStringList{u"omyl"_s, SshServer::lockedKeyPassphrase()} << true;
    QTest::newRow("locked key, passphrase cancelled") << u"spatne-heslo"_s << 2 << QStringList() << false;
}

void tst_SftpUpload::loginsGoInOnlyWithWhatTheServerAccepts()
{
    QFETCH(QString, password);
    QFETCH(int, key);
    QFETCH(QStringList, passphrases);
    QFETCH(bool, in);
    auto session = makeSession();
    int asked = 0;
    session->setPassphrasePrompt([&](const QString &) -> std::optional<QString> {
        ++asked;
        if (passphrases.isEmpty())
            return std::nullopt;
        return passphrases.takeFirst();
    });
    const QString keyFile = key == 1 ? m_server.clientKey() : key == 2 ? m_server.lockedClientKey() : QString();
    QCOMPARE(openSession(*session, password, keyFile), in);
    QCOMPARE(session->connected(), in);
    QVERIFY(passphrases.isEmpty());
    if (key == 2)
        QVERIFY(asked > 0);
    if (!in) {
        QVERIFY2(session->errorMessage().startsWith(u"Přihlášení se nezdařilo"_s), qPrintable(session->errorMessage()));
        QVERIFY(!m_log.join(u'\n').contains(password));
    }
}

void tst_SftpUpload::agentLogsInWithoutKeyFileOrPassword_data()
{
    QTest::addColumn<bool>("withAgent");
    QTest::newRow("agent holds the key") << true;
    // The control: without the agent the same login is refused. (An agent holding no
    // key is left out: libssh 0.10 leaks the agent's empty answer.)
    QTest::newRow("no agent") << false;
}

void tst_SftpUpload::agentLogsInWithoutKeyFileOrPassword()
{
    QFETCH(bool, withAgent);
    QTemporaryDir agentHome;
    const QString socket = agentHome.filePath(u"agent.sock"_s);
    QProcess agent;
    agent.setProcessChannelMode(QProcess::MergedChannels);
    agent.start(u"/usr/bin/ssh-agent"_s, {u"-D"_s, u"-a"_s, socket});
    QVERIFY2(agent.waitForStarted(30000), "ssh-agent did not start");
    const auto stopAgent = qScopeGuard([&agent] {
        agent.kill();
        agent.waitForFinished(30000);
    });
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 30000);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"SSH_AUTH_SOCK"_s, socket);
    // The socket's name is there once the agent bound it, a moment before it listens: a
    // key added in between is refused, and goes again.
    bool added = false;
    QByteArray said;
    for (QDeadlineTimer deadline(30000); !added && !deadline.hasExpired();) {
        QProcess add;
        add.setProcessEnvironment(environment);
        add.setProcessChannelMode(QProcess::MergedChannels);
        add.start(u"/usr/bin/ssh-add"_s, {m_server.clientKey()});
        added = add.waitForFinished(30000) && add.exitCode() == 0;
        said = add.readAll();
        if (!added && !said.contains("Connection refused"))
            break;
    }
    QVERIFY2(added, said.constData());
    // The agent is the only way in: no key file, no password, and a home without keys.
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(agentHome.path()));
    if (withAgent)
        qputenv("SSH_AUTH_SOCK", QFile::encodeName(socket));
    const auto restore = qScopeGuard([&home] {
        qputenv("HOME", home);
        qunsetenv("SSH_AUTH_SOCK");
    });
    auto session = makeSession();
    QCOMPARE(openSession(*session), withAgent);
    if (!withAgent) {
        QVERIFY(session->errorMessage().startsWith(u"Přihlášení se nezdařilo"_s));
        return;
    }
    // The upload's further sessions log in through the agent as well.
    const QString root = m_local->path();
    for (int i = 0; i < 12; ++i)
        writeFile(root + u"/agent/s%1.html"_s.arg(i), randomBytes(4096 + i, quint32(200 + i)));
    UploadEngine engine(*session);
    connect(&engine, &UploadEngine::logLine, this, [this](const QString &line) { m_log << line; });
    UploadEngine::Options options;
    options.home = root;
    options.sessions = 4;
    QVERIFY(engine.run(options));
    QVERIFY2(m_log.last() == u"Nahráno 12 souborů, přeskočeno 0, chyb 0"_s, qPrintable(m_log.join(u'\n')));
    QVERIFY(m_log.filter(u"nepřihlásilo"_s).isEmpty());
    QCOMPARE(snapshot(m_web, true), snapshot(root));
}

// ---------------------------------------------------------------------------------------
// The engine's stages

void tst_SftpUpload::wholeTreeThenOnlyTheChange_data()
{
    QTest::addColumn<int>("sessions");
    QTest::newRow("one session") << 1;
    QTest::newRow("four sessions") << 4;
}

void tst_SftpUpload::wholeTreeThenOnlyTheChange()
{
    QFETCH(int, sessions);
    const QString root = m_local->path();
    writeFile(root + u"/index.html"_s, "<html>domů</html>");
    writeFile(root + u"/obrázky/logo.png"_s, randomBytes(300 * 1024, 1));
    writeFile(root + u"/a/b/c/hluboko.html"_s, "deep");
    for (int i = 0; i < 20; ++i)
        writeFile(root + u"/stránky/p%1.html"_s.arg(i), QByteArray::number(i).repeated(100 + i));
    writeFile(root + u"/index.html.bak"_s, "the editor's backup stays home");
    // An older version on the server is replaced, never left beside the new one.
    writeFile(m_web + u"/index.html"_s, "old");
    UploadEngine::Options options;
    options.sessions = sessions;
    options.changedOnly = true;
    QVERIFY(runUpload(options));
    QVERIFY2(m_log.last() == u"Nahráno 23 souborů, přeskočeno 0, chyb 0"_s, qPrintable(m_log.join(u'\n')));
    QMap<QString, QByteArray> expected = snapshot(root);
    expected.remove(u"index.html.bak"_s);
    QCOMPARE(snapshot(m_web, true), expected);

    // A changed page, and only it, goes up next time.
    writeFile(root + u"/stránky/p3.html"_s, "nový obsah");
    m_log.clear();
    QVERIFY(runUpload(options));
    QVERIFY2(m_log.last() == u"Nahráno 1 souborů, přeskočeno 22, chyb 0"_s, qPrintable(m_log.join(u'\n')));
    QVERIFY(m_log.contains(u"Nahráno: stránky/p3.html"_s));
    expected = snapshot(root);
    expected.remove(u"index.html.bak"_s);
    QCOMPARE(snapshot(m_web, true), expected);
    QVERIFY(m_session->connected());
}

void tst_SftpUpload::fileChangedOnTheServerIsOverwrittenOnlyWhenAllowed_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<int>("pick");
    QTest::addColumn<bool>("mineWins");
    QTest::newRow("overwrite") << 1 << 0 << true;
    QTest::newRow("skip") << 1 << 1 << false;
    QTest::newRow("cancel") << 1 << 3 << false;
    QTest::newRow("four sessions, overwrite all") << 4 << 2 << true;
}

void tst_SftpUpload::fileChangedOnTheServerIsOverwrittenOnlyWhenAllowed()
{
    QFETCH(int, sessions);
    QFETCH(int, pick);
    QFETCH(bool, mineWins);
    const QString root = m_local->path();
    writeFile(root + u"/kontakt.html"_s, "mine, first");
    writeFile(root + u"/jiná.html"_s, "other");
    UploadEngine::Options options;
    options.sessions = sessions;
    QVERIFY(runUpload(options));
    // Somebody else edits the page on the server; the user edits it at home too.
    writeFile(m_web + u"/kontakt.html"_s, "theirs, a longer text");
    writeFile(root + u"/kontakt.html"_s, "mine, second");
    m_answers << pick;
    m_log.clear();
    QVERIFY(runUpload(options));
    QCOMPARE(m_questions.size(), 1);
    QVERIFY(m_questions[0].contains(u"kontakt.html"_s));
    QCOMPARE(m_defaults[0], 1); // Enter keeps the other person's work
    QCOMPARE(snapshot(m_web).value(u"kontakt.html"_s),
             mineWins ? QByteArray("mine, second") : QByteArray("theirs, a longer text"));
    QVERIFY(!hasTemporaries(snapshot(m_web, true)));
}

void tst_SftpUpload::refusedFileFailsAloneAndLeavesNoTemporary_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<bool>("safe");
    QTest::addColumn<QString>("refusal");
    // Written under a temporary name, the file cannot take its own.
    QTest::newRow("safe, one session") << 1 << true << u"Soubor nelze přejmenovat"_s;
    QTest::newRow("safe, four sessions") << 4 << true << u"Soubor nelze přejmenovat"_s;
    // Written in place, it cannot even be opened.
    QTest::newRow("in place, one session") << 1 << false << u"Soubor nelze vytvořit"_s;
    QTest::newRow("in place, four sessions") << 4 << false << u"Soubor nelze vytvořit"_s;
}

// While the files around it are under way (an empty one, small ones, one of several
// writes), one file is refused: a directory of its name stands on the server. It fails
// alone, and no temporary file stays.
void tst_SftpUpload::refusedFileFailsAloneAndLeavesNoTemporary()
{
    QFETCH(int, sessions);
    QFETCH(bool, safe);
    QFETCH(QString, refusal);
    const QString root = m_local->path();
    for (int i = 0; i < 30; ++i)
        writeFile(root + u"/p%1.html"_s.arg(i, 2, 10, QLatin1Char('0')), randomBytes(2000 + 64 * i, quint32(i)));
    writeFile(root + u"/p00-prázdný.html"_s, {});
    writeFile(root + u"/p20-velký.bin"_s, randomBytes(700 * 1024 + 3, 99));
    writeFile(root + u"/p15a.html"_s, "refused");
    writeFile(m_web + u"/p15a.html/inside.txt"_s, "someone's directory");
    UploadEngine::Options options;
    options.sessions = sessions;
    options.safe = safe;
    QVERIFY(runUpload(options));
    QVERIFY2(m_log.last() == u"Nahráno 32 souborů, přeskočeno 0, chyb 1"_s, qPrintable(m_log.join(u'\n')));
    QCOMPARE(m_log.count(u"Chyba!"_s), 1);
    QVERIFY(m_log.contains(u"Nenahráno: p15a.html"_s));
    QCOMPARE(m_log.filter(refusal).size(), 1);
    QMap<QString, QByteArray> expected = snapshot(root);
    expected.remove(u"p15a.html"_s);
    expected.insert(u"p15a.html/"_s, {});
    expected.insert(u"p15a.html/inside.txt"_s, "someone's directory");
    QCOMPARE(snapshot(m_web, true), expected);
}

void tst_SftpUpload::orphansAreDeletedOnlyAfterTheTrialRunAndAYes()
{
    const QString root = m_local->path();
    writeFile(root + u"/index.html"_s, "home");
    writeFile(m_web + u"/stará.html"_s, "gone from home");
    writeFile(m_web + u"/archiv/2019.html"_s, "old");
    writeFile(m_web + u"/.htaccess"_s, "the server's own");
    QVERIFY(QFile::link(m_web + u"/index.html"_s, m_web + u"/odkaz.html"_s));
    UploadEngine::Options options;
    options.deleteOrphans = true;
    options.dryRun = true;
    QVERIFY(runUpload(options));
    QVERIFY(m_questions.isEmpty());
    QVERIFY(m_log.contains(u"Smazalo by se na serveru: stará.html"_s));
    QVERIFY(m_log.contains(u"Smazalo by se na serveru: archiv"_s));
    QVERIFY(QFile::exists(m_web + u"/stará.html"_s));

    options.dryRun = false;
    m_answers << 0;
    m_log.clear();
    QVERIFY(runUpload(options));
    QCOMPARE(m_questions.size(), 1);
    QCOMPARE(m_defaults[0], 1);
    const QMap<QString, QByteArray> there = snapshot(m_web, true);
    QCOMPARE(there.keys(), (QStringList{u".htaccess"_s, u"index.html"_s, u"odkaz.html"_s}));
    QVERIFY(m_log.contains(u"Odkaz na serveru se nemaže: odkaz.html"_s));
}

void tst_SftpUpload::stopLeavesOnlyWholeFilesAndNoTemporaries_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("size");
    // A few large files: the stop cuts a transfer in the middle.
    QTest::newRow("large, one session") << 1 << 6 << 16 * 1024 * 1024;
    QTest::newRow("large, four sessions") << 4 << 6 << 16 * 1024 * 1024;
    // Many small files under way at once: those the server has whole take their names,
    // the others leave nothing behind.
    QTest::newRow("small, one session") << 1 << 1000 << 1024;
    QTest::newRow("small, four sessions") << 4 << 1000 << 1024;
}

void tst_SftpUpload::stopLeavesOnlyWholeFilesAndNoTemporaries()
{
    QFETCH(int, sessions);
    QFETCH(int, files);
    QFETCH(int, size);
    const QString root = m_local->path();
    for (int i = 0; i < files; ++i)
        writeFile(root + u"/d%1/f%2.bin"_s.arg(i % 4).arg(i), randomBytes(size + i, quint32(10 + i)));
    bool stopped = false;
    connect(m_engine.get(), &UploadEngine::progress, this, [&](int, qint64 done, qint64, qint64 bytes) {
        if (!stopped && (done > 0 || bytes > 0)) {
            stopped = true;
            QTimer::singleShot(0, m_engine.get(), [this] { m_engine->stop(); });
        }
    });
    UploadEngine::Options options;
    options.sessions = sessions;
    QVERIFY(runUpload(options));
    QVERIFY(stopped);
    QVERIFY2(m_log.contains(u"Nahrávání zastaveno"_s), qPrintable(m_log.join(u'\n')));
    QVERIFY(m_log.last().endsWith(u", chyb 0"_s));
    QCOMPARE(m_log.count(u"Chyba!"_s), 0);
    const QMap<QString, QByteArray> there = snapshot(m_web, true);
    QVERIFY(!hasTemporaries(there));
    const QMap<QString, QByteArray> home = snapshot(root);
    int whole = 0;
    for (auto it = there.cbegin(); it != there.cend(); ++it) {
        QVERIFY2(it.value() == home.value(it.key()), qPrintable(it.key()));
        whole += it.key().endsWith(u'/') ? 0 : 1;
    }
    QVERIFY(whole < files);
    QCOMPARE(m_log.filter(u"Nahráno: "_s).size(), whole);
    if (size > 1024 * 1024) // a large file was under way: the log says it was cut
        QVERIFY(!m_log.filter(u"Zastaveno: "_s).isEmpty());
    QVERIFY(m_session->connected());
    QVERIFY(m_session->changeDirectory(u"."_s));
}

void tst_SftpUpload::cutLargeFileResumesWhereItStopped()
{
    const QString root = m_local->path();
    const QByteArray content = randomBytes(48 * 1024 * 1024, 77);
    writeFile(root + u"/video.mp4"_s, content);
    bool stopped = false;
    const QMetaObject::Connection stopper =
        connect(m_engine.get(), &UploadEngine::progress, this, [&](int, qint64, qint64, qint64 bytes) {
            if (!stopped && bytes > 0) {
                stopped = true;
                QTimer::singleShot(0, m_engine.get(), [this] { m_engine->stop(); });
            }
        });
    UploadEngine::Options options;
    options.changedOnly = true;
    QVERIFY(runUpload(options));
    disconnect(stopper);
    QVERIFY(stopped);
    QMap<QString, QByteArray> cut = snapshot(m_web, true);
    QVERIFY2(!cut.contains(u"video.mp4"_s), qPrintable(m_log.join(u'\n')));
    QCOMPARE(cut.size(), 1);
    const QString temporary = cut.firstKey();
    const qsizetype there = cut.first().size();
    QVERIFY(there > 0 && there < content.size());
    QVERIFY(m_log.contains(u"Dočasný soubor %1 zůstává na serveru, příští nahrávání v něm bude pokračovat"_s.arg(temporary)));

    m_log.clear();
    QVERIFY(runUpload(options));
    QVERIFY2(m_log.contains(u"Nahrávání video.mp4 pokračuje od bajtu %1"_s.arg(there)), qPrintable(m_log.join(u'\n')));
    const QMap<QString, QByteArray> whole = snapshot(m_web, true);
    QCOMPARE(whole.keys(), QStringList{u"video.mp4"_s});
    QVERIFY(whole.first() == content);
}

void tst_SftpUpload::journalsOfFtpAndSftpAreKeptApart()
{
    const QString sftp = UploadJournal::pathFor(u"h"_s, u"22"_s, u"u"_s, u"/www"_s, m_session->protocol());
    QVERIFY(sftp != UploadJournal::pathFor(u"h"_s, u"22"_s, u"u"_s, u"/www"_s));
    // FTP keeps the names its journals always had.
    QCOMPARE(UploadJournal::pathFor(u"h"_s, u"21"_s, u"u"_s, u"/www"_s, {}),
             UploadJournal::pathFor(u"h"_s, u"21"_s, u"u"_s, u"/www"_s));
}

// ---------------------------------------------------------------------------------------
// The window

void tst_SftpUpload::portFollowsTheProtocolUntilTheUserTypesOne()
{
    TFTPForm form;
    auto *protocol = form.findChild<QComboBox *>(u"ProtocolComboBox"_s);
    auto *port = form.findChild<QLineEdit *>(u"PortEdit"_s);
    QVERIFY(protocol && port);
    QCOMPARE(protocol->currentText(), u"FTP"_s);
    QCOMPARE(port->text(), u"ftp"_s);
    QVERIFY(!form.findChild<QLineEdit *>(u"KeyFileEdit"_s)->isEnabled());
    protocol->setCurrentIndex(TFTPForm::SftpProtocol);
    QCOMPARE(protocol->currentText(), u"SFTP (SSH)"_s);
    QCOMPARE(port->text(), u"22"_s);
    QVERIFY(form.findChild<QLineEdit *>(u"KeyFileEdit"_s)->isEnabled());
    protocol->setCurrentIndex(TFTPForm::FtpsProtocol);
    QCOMPARE(port->text(), u"21"_s);
    QVERIFY(form.FtpClient1().Tls());
    port->setText(u"2222"_s);
    protocol->setCurrentIndex(TFTPForm::SftpProtocol);
    QCOMPARE(port->text(), u"2222"_s);
    QVERIFY(!form.FtpClient1().Tls());
}

void tst_SftpUpload::windowUploadsOverSftp()
{
    const QString root = m_local->path();
    writeFile(root + u"/index.html"_s, "<p>ahoj</p>");
    writeFile(root + u"/css/styl.css"_s, "p {}");
    ScriptedInteraction answers;
    TFTPForm form;
    form.SftpClient().setKnownHostsFiles(m_ownKnownHosts, m_userKnownHosts);
    form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->setCurrentIndex(TFTPForm::SftpProtocol);
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(m_server.port()));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(m_server.userName());
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->clear();
    form.findChild<QLineEdit *>(u"KeyFileEdit"_s)->setText(m_server.clientKey());
    form.setHomeDirectory(root);
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    QVERIFY2(form.SftpClient().connected(), qPrintable(form.LogText() + answers.errors.join(u'\n')));
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    QVERIFY2(form.LogText().contains(u"Nahráno 2 souborů, přeskočeno 0, chyb 0"_s), qPrintable(form.LogText()));
    QCOMPARE(snapshot(m_web, true), snapshot(root));
    form.findChild<QPushButton *>(u"ListButton"_s)->click();
    QFile listing(TFTPForm::ListingFilePath());
    QVERIFY(listing.open(QIODevice::ReadOnly));
    QCOMPARE(listing.readAll(), QByteArray("css\r\nindex.html\r\n"));
    QVERIFY(answers.errors.isEmpty());
    QVERIFY(answers.unexpected.isEmpty());
}

void tst_SftpUpload::siteIsSavedPickedAndUsed_data()
{
    QTest::addColumn<bool>("keyring");
    QTest::newRow("with a keyring") << true;
    QTest::newRow("without a keyring") << false;
}

void tst_SftpUpload::siteIsSavedPickedAndUsed()
{
    QFETCH(bool, keyring);
    const QString root = m_local->path();
    writeFile(root + u"/index.html"_s, "<p>1</p>");
    writeFile(root + u"/o nás.html"_s, "<p>2</p>");
    const QString sitesFile = m_keys->filePath(u"sites.ini"_s);
    auto passwords = std::make_shared<MemoryPasswordStore>(keyring);
    const QString secret = u"tajné-heslo-123"_s;
    {
        ScriptedInteraction answers;
        TFTPForm form;
        form.setSites(UploadSites(sitesFile));
        form.setPasswordStore(passwords);
        form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->setCurrentIndex(TFTPForm::SftpProtocol);
        form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
        form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(m_server.port()));
        form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(m_server.userName());
        form.findChild<QLineEdit *>(u"PassWordEdit"_s)->setText(secret);
        form.findChild<QLineEdit *>(u"KeyFileEdit"_s)->setText(m_server.clientKey());
        form.findChild<QCheckBox *>(u"ChangedOnlyCheckBox"_s)->setChecked(true);
        form.findChild<QSpinBox *>(u"SessionsSpinEdit"_s)->setValue(2);
        form.setHomeDirectory(root);
        answers.enterText(u"Můj web"_s);
        form.findChild<QPushButton *>(u"SaveSiteButton"_s)->click();
        QVERIFY(answers.allAnswered());
        QCOMPARE(form.findChild<QComboBox *>(u"SiteComboBox"_s)->currentText(), u"Můj web"_s);
        QCOMPARE(form.LogText().contains(u"heslo se neukládá"_s), !keyring);
    }
    // The password is in no file; with a keyring it is in the keyring.
    QFile ini(sitesFile);
    QVERIFY(ini.open(QIODevice::ReadOnly));
    QVERIFY(!ini.readAll().contains(secret.toUtf8()));
    QCOMPARE(passwords->passwords().values().contains(secret), keyring);

    // A new window: the site is picked, and it uploads the tree, then only the change.
    ScriptedInteraction answers;
    TFTPForm form;
    form.setSites(UploadSites(sitesFile));
    form.setPasswordStore(passwords);
    form.SftpClient().setKnownHostsFiles(m_ownKnownHosts, m_userKnownHosts);
    auto *sites = form.findChild<QComboBox *>(u"SiteComboBox"_s);
    QCOMPARE(sites->count(), 2);
    QCOMPARE(sites->itemText(0), QString());
    sites->setCurrentIndex(1);
    Q_EMIT sites->activated(1);
    auto *password = form.findChild<QLineEdit *>(u"PassWordEdit"_s);
    QCOMPARE(password->text(), keyring ? secret : QString());
    QCOMPARE(password->echoMode(), keyring ? QLineEdit::Password : QLineEdit::Normal);
    QCOMPARE(form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->currentIndex(), int(TFTPForm::SftpProtocol));
    QCOMPARE(form.findChild<QLineEdit *>(u"PortEdit"_s)->text(), QString::number(m_server.port()));
    QCOMPARE(form.findChild<QSpinBox *>(u"SessionsSpinEdit"_s)->value(), 2);
    QCOMPARE(form.HomeDirectory(), root + u'/');
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    QVERIFY2(form.LogText().contains(u"Nahráno 2 souborů, přeskočeno 0, chyb 0"_s), qPrintable(form.LogText()));
    writeFile(root + u"/o nás.html"_s, "<p>změna</p>");
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    QVERIFY2(form.LogText().contains(u"Nahráno 1 souborů, přeskočeno 1, chyb 0"_s), qPrintable(form.LogText()));
    QCOMPARE(snapshot(m_web, true), snapshot(root));
    QVERIFY(answers.unexpected.isEmpty());
    QVERIFY(answers.errors.isEmpty());

    // No site picked: the window's own defaults again.
    sites->setCurrentIndex(0);
    Q_EMIT sites->activated(0);
    QCOMPARE(form.findChild<QLineEdit *>(u"PortEdit"_s)->text(), u"ftp"_s);
    QCOMPARE(form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->currentIndex(), int(TFTPForm::FtpProtocol));
    QCOMPARE(password->text(), u"anonymous@example.com"_s);
    QCOMPARE(password->echoMode(), QLineEdit::Normal);
}

void tst_SftpUpload::siteIsDeletedWithItsPassword()
{
    const QString sitesFile = m_keys->filePath(u"sites.ini"_s);
    UploadSites store(sitesFile);
    UploadSite kept;
    kept.name = u"Zůstane"_s;
    kept.host = u"a.example.cz"_s;
    UploadSite gone = kept;
    gone.name = u"Pryč"_s;
    gone.host = u"b.example.cz"_s;
    gone.protocol = TFTPForm::SftpProtocol;
    QVERIFY(store.save(kept));
    QVERIFY(store.save(gone));
    QCOMPARE(store.load().size(), 2);
    QVERIFY(store.find(u"Pryč"_s) == gone);
    auto passwords = std::make_shared<MemoryPasswordStore>();
    passwords->write(gone.account(), u"x"_s);
    passwords->write(kept.account(), u"y"_s);
    ScriptedInteraction answers;
    TFTPForm form;
    form.setSites(store);
    form.setPasswordStore(passwords);
    auto *sites = form.findChild<QComboBox *>(u"SiteComboBox"_s);
    sites->setCurrentIndex(sites->findText(u"Pryč"_s));
    Q_EMIT sites->activated(sites->currentIndex());
    // "Nemazat", the default, keeps it; "Smazat" removes the site and its password.
    answers.choice(1);
    form.findChild<QPushButton *>(u"DeleteSiteButton"_s)->click();
    QCOMPARE(store.load().size(), 2);
    QCOMPARE(answers.lastDefaultButton, 1);
    answers.choice(0);
    form.findChild<QPushButton *>(u"DeleteSiteButton"_s)->click();
    QVERIFY(store.load() == QList<UploadSite>{kept});
    QCOMPARE(sites->count(), 2);
    QVERIFY(!passwords->read(gone.account()));
    QVERIFY(passwords->read(kept.account()) == u"y"_s);
}

void tst_SftpUpload::withoutASessionBusTheKeyringKeepsNothing()
{
    const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    const std::unique_ptr<PasswordStore> store = desktopPasswordStore();
    QVERIFY(!store->available());
    QVERIFY(!store->write(u"sftp://u@h:22"_s, u"x"_s));
    QVERIFY(!store->read(u"sftp://u@h:22"_s));
    if (!bus.isEmpty())
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
}

BRISKO_TEST_MAIN(tst_SftpUpload)
#include "tst_sftpupload.moc"
