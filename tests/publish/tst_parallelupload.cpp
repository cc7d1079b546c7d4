// Several sessions storing one tree into pyftpdlib: every byte arrives, each file's log
// lines stay together, and a lost session's files are finished by the others.
#include "FtpRelay.h"
#include "PyFtpServer.h"
#include "publish/ParallelUpload.h"
#include "publish/ftpklient.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QDir>
#include <QRegularExpression>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>

using namespace Qt::StringLiterals;

class tst_ParallelUpload : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void treeArrivesByteExact_data();
    void treeArrivesByteExact();
    void lostSessionsFilesAreFinishedByOthers();
    void windowUploadsOverFourSessions();
    void stopEndsEverySessionCleanly();
    void refusedLoginFailsEveryFileAndEnds();
    void nextStoreGoesWithTheRenameAnswer_data();
    void nextStoreGoesWithTheRenameAnswer();
    void sessionsLoggedInAheadTakeFilesOnlyOnceRunning_data();
    void sessionsLoggedInAheadTakeFilesOnlyOnceRunning();
    void folderTimesOutliveALostSessionAndEndWithAStop_data();
    void folderTimesOutliveALostSessionAndEndWithAStop();

private:
    std::vector<ParallelUpload::Job> makeTree(int files);
    ParallelUpload::Settings settings() const;
    void verifyRemote(const std::vector<ParallelUpload::Job> &jobs);
    // The stored files arrived whole; the others are not there at all.
    void verifyOnlyStored(const std::vector<ParallelUpload::Job> &jobs, const QStringList &storedNames);

    QTemporaryDir m_dir;
    QString m_local;
    QString m_remote;
    PyFtpServer m_server;
    QString m_serverError;
};

void tst_ParallelUpload::initTestCase()
{
    m_local = m_dir.filePath(u"local"_s);
    m_remote = m_dir.filePath(u"remote"_s);
    QVERIFY(QDir().mkpath(m_remote));
    m_serverError = m_server.start(m_remote, u"joe"_s, u"pw-123"_s);
}

void tst_ParallelUpload::init()
{
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    QDir(m_remote).removeRecursively();
    QDir(m_local).removeRecursively();
    QVERIFY(QDir().mkpath(m_remote));
}

std::vector<ParallelUpload::Job> tst_ParallelUpload::makeTree(int files)
{
    std::vector<ParallelUpload::Job> jobs;
    for (int i = 0; i < files; ++i) {
        const QString relative = u"d%1/f%2.html"_s.arg(i % 7).arg(i);
        QDir().mkpath(m_local + u"/d%1"_s.arg(i % 7));
        QDir().mkpath(m_remote + u"/d%1"_s.arg(i % 7));
        QByteArray content = QByteArray::number(i).repeated(1 + (i * 37) % 3000);
        if (i % 50 == 0)
            content.clear(); // empty files too
        QFile f(m_local + u'/' + relative);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(content);
        jobs.push_back({f.fileName(), u"/"_s + relative, relative, content.size()});
    }
    return jobs;
}

ParallelUpload::Settings tst_ParallelUpload::settings() const
{
    ParallelUpload::Settings s;
    s.host = u"127.0.0.1"_s;
    s.port = QString::number(m_server.port());
    s.user = u"joe"_s;
    s.password = u"pw-123"_s;
    s.passive = true;
    s.timeoutMs = 10000;
    return s;
}

void tst_ParallelUpload::verifyOnlyStored(const std::vector<ParallelUpload::Job> &jobs,
                                          const QStringList &storedNames)
{
    std::vector<ParallelUpload::Job> done;
    for (const auto &job : jobs) {
        if (storedNames.contains(job.remote))
            done.push_back(job);
        else
            QVERIFY2(!QFile::exists(m_remote + job.remote), qPrintable(job.relative));
    }
    verifyRemote(done);
}

void tst_ParallelUpload::verifyRemote(const std::vector<ParallelUpload::Job> &jobs)
{
    for (const auto &job : jobs) {
        QFile local(job.local), remote(m_remote + job.remote);
        QVERIFY(local.open(QIODevice::ReadOnly));
        QVERIFY2(remote.open(QIODevice::ReadOnly), qPrintable(job.relative));
        QCOMPARE(remote.readAll(), local.readAll());
    }
    // No temporary file is left over.
    QStringList names = QDir(m_remote).entryList(QDir::Files | QDir::Hidden);
    for (int i = 0; i < 7; ++i)
        names += QDir(m_remote + u"/d%1"_s.arg(i)).entryList(QDir::Files | QDir::Hidden);
    QCOMPARE(names.filter(u".part"_s), QStringList());
}

void tst_ParallelUpload::treeArrivesByteExact_data()
{
    QTest::addColumn<int>("sessions");
    QTest::addColumn<bool>("safe");
    QTest::newRow("4 sessions, safe") << 4 << true;
    QTest::newRow("4 sessions, direct") << 4 << false;
    QTest::newRow("1 session") << 1 << true;
}

void tst_ParallelUpload::treeArrivesByteExact()
{
    QFETCH(int, sessions);
    QFETCH(bool, safe);
    const auto jobs = makeTree(200);
    QCOMPARE(jobs.size(), size_t(200));
    ParallelUpload::Settings s = settings();
    s.safe = safe;
    ParallelUpload upload(s, jobs, sessions);
    int stored = 0, failed = 0;
    QStringList log;
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &, bool ok, const QByteArray &) {
        ++(ok ? stored : failed);
    });
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) {
        // One file's lines: its STOR and its verdict, nothing of another file between.
        const QStringList verdicts = lines.filter(u"Nahráno: "_s);
        if (!verdicts.isEmpty()) {
            QCOMPARE(verdicts.size(), 1);
            const QString name = verdicts.first().mid(9);
            QVERIFY2(lines.filter(u"> STOR "_s).size() == 1, qPrintable(lines.join(u'\n')));
            QVERIFY(safe || lines.filter(u"> STOR "_s).first().endsWith(name));
        }
        log += lines;
    });
    upload.run();
    QCOMPARE(failed, 0);
    QCOMPARE(stored, 200);
    QCOMPARE(log.filter(u"> USER joe"_s).size(), sessions);
    verifyRemote(jobs);
}

void tst_ParallelUpload::lostSessionsFilesAreFinishedByOthers()
{
    const auto jobs = makeTree(200);
    ParallelUpload upload(settings(), jobs, 4);
    int stored = 0, failed = 0;
    QStringList log;
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) { log += lines; });
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &, bool ok, const QByteArray &) {
        ++(ok ? stored : failed);
        if (stored == 30) // cut one session off in the middle of its work
            QTimer::singleShot(0, &upload, [&] { upload.session(2).Abort(); });
    });
    upload.run();
    QCOMPARE(failed, 0);
    QCOMPARE(stored, 200);
    QVERIFY(!log.filter(u"Spojení ukončeno"_s).isEmpty());
    verifyRemote(jobs);
}

void tst_ParallelUpload::windowUploadsOverFourSessions()
{
    const auto jobs = makeTree(200);
    QDir(m_remote).removeRecursively(); // the window makes the directories itself
    QVERIFY(QDir().mkpath(m_remote));
    ScriptedInteraction answers;
    TFTPForm form;
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(m_server.port()));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(u"joe"_s);
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->setText(u"pw-123"_s);
    auto *sessions = form.findChild<QSpinBox *>(u"SessionsSpinEdit"_s);
    QVERIFY(sessions);
    QCOMPARE(sessions->value(), 1);
    QCOMPARE(sessions->maximum(), 8);
    sessions->setValue(4);
    form.setHomeDirectory(m_local);
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    const QString log = form.LogText();
    QVERIFY2(log.contains(u"Nahráno 200 souborů, přeskočeno 0, chyb 0"_s), qPrintable(log.right(2000)));
    QVERIFY2(log.count(u"> USER joe"_s) == 5, qPrintable(log.split(u"\n"_s).filter(QRegularExpression(u"USER|^> |^1|^2|Timeout|Chyba|Spojení|Nahráno [0-9]|^[45]"_s)).join(u"\n"_s)));
    QVERIFY(answers.errors.isEmpty());
    verifyRemote(jobs);
}

void tst_ParallelUpload::stopEndsEverySessionCleanly()
{
    auto jobs = makeTree(120);
    // Big files, so the stop meets transfers under way.
    for (size_t i = 0; i < jobs.size(); i += 3) {
        QFile f(jobs[i].local);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(2 * 1024 * 1024, char('A' + i % 26)));
        jobs[i].size = f.size();
    }
    ParallelUpload upload(settings(), jobs, 4);
    int stored = 0, failed = 0;
    QStringList storedNames;
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &job, bool ok, const QByteArray &) {
        if (ok) {
            ++stored;
            storedNames << job.remote;
        } else if (!upload.stopped()) {
            ++failed; // a file cut by the stop is not a failure
        }
        if (stored == 10)
            upload.stop();
    });
    upload.run();
    QCOMPARE(failed, 0);
    QVERIFY(stored >= 10 && stored < 120);
    verifyOnlyStored(jobs, storedNames);
}

void tst_ParallelUpload::refusedLoginFailsEveryFileAndEnds()
{
    const auto jobs = makeTree(20);
    ParallelUpload::Settings s = settings();
    s.password = u"wrong"_s;
    ParallelUpload upload(s, jobs, 4);
    int stored = 0, failed = 0;
    QStringList log;
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) { log += lines; });
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &, bool ok, const QByteArray &) {
        ++(ok ? stored : failed);
    });
    upload.run();
    QCOMPARE(stored, 0);
    QCOMPARE(failed, 20);
    // Each session tried once; no fresh session follows a refused login.
    QCOMPARE(log.filter(u"> PASS ********"_s).size(), 4);
    QVERIFY(log.filter(u"wrong"_s).isEmpty());
}

void tst_ParallelUpload::nextStoreGoesWithTheRenameAnswer_data()
{
    QTest::addColumn<int>("stopAfter"); // files stored before "Zastavit"; 0: none
    QTest::newRow("every file") << 0;
    QTest::newRow("stopped as the second file starts") << 1;
    QTest::newRow("stopped as the fifth file starts") << 4;
}

// Over the caller's one session: the next file's STOR leaves as soon as the rename is
// answered, before the caller has heard of it, and a stop meeting that STOR under way
// leaves nothing behind.
void tst_ParallelUpload::nextStoreGoesWithTheRenameAnswer()
{
    QFETCH(int, stopAfter);
    auto jobs = makeTree(8);
    for (auto &job : jobs) {
        QFile f(job.local);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(1024 * 1024 + int(job.size), char('a' + job.size % 26)));
        job.size = f.size();
    }
    TFtpClient client;
    client.setHostName(u"127.0.0.1"_s);
    client.setPort(QString::number(m_server.port()));
    client.setUserName(u"joe"_s);
    client.setPassWord(u"pw-123"_s);
    client.setPassive(true);
    QVERIFY(client.OpenSync() && client.UserSync() && client.PassSync());
    QStringList log;
    connect(&client, &TFtpClient::OnDisplay, this, [&](const QString &line) { log << line; });
    ParallelUpload upload(settings(), jobs, client);
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) { log += lines; });
    QStringList storedNames;
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &job, bool ok, const QByteArray &) {
        if (ok)
            storedNames << job.remote;
        if (storedNames.size() == stopAfter)
            upload.stop();
    });
    upload.run();
    QCOMPARE(storedNames.size(), stopAfter == 0 ? 8 : stopAfter);
    // Before the verdict on the k-th file, the STOR of the file after it has left.
    int stors = 0, verdicts = 0;
    for (const QString &line : std::as_const(log)) {
        if (line.startsWith(u"> STOR "_s))
            ++stors;
        else if (line.startsWith(u"Nahráno: "_s) && ++verdicts < 8)
            QVERIFY2(stors == verdicts + 1, qPrintable(log.join(u'\n')));
    }
    if (stopAfter != 0)
        QCOMPARE(log.filter(u"Zastaveno: "_s).size(), 1);
    verifyOnlyStored(jobs, storedNames);
    // The caller's session goes on.
    QVERIFY(client.Connected());
    QVERIFY(client.PwdSync());
}

void tst_ParallelUpload::sessionsLoggedInAheadTakeFilesOnlyOnceRunning_data()
{
    QTest::addColumn<bool>("waitForLogins"); // run() only once every session is logged in
    QTest::addColumn<int>("delayMs");        // each way on the control connections
    QTest::addColumn<int>("admitted");       // sessions the server lets in; the rest are refused
    QTest::newRow("run while every session still logs in") << false << 20 << 4;
    QTest::newRow("run once every session is ready") << true << 0 << 4;
    QTest::newRow("one refused, run while the others log in") << false << 20 << 3;
    QTest::newRow("one refused, run once the others are ready") << true << 0 << 3;
    QTest::newRow("every one refused") << true << 0 << 0;
}

// The sessions start logging in before the files are known, as they do while the window
// still walks the tree: none stores a byte before run(), nor before its own login and its
// change of directory are over; a refused one is left out and shows its refusal only once
// run() has started.
void tst_ParallelUpload::sessionsLoggedInAheadTakeFilesOnlyOnceRunning()
{
    QFETCH(bool, waitForLogins);
    QFETCH(int, delayMs);
    QFETCH(int, admitted);
    FtpRelay relay(m_server.port(), delayMs);
    relay.acceptLimit = admitted;
    ParallelUpload::Settings s = settings();
    s.port = QString::number(relay.port());
    s.directory = u"/"_s;
    ParallelUpload upload(s, {}, 4);
    bool running = false;
    int storesBeforeRun = 0, failuresBeforeRun = 0, linesBeforeRun = 0;
    // Per session: the commands sent, and whether the change of directory was answered.
    std::vector<QStringList> commands(4);
    std::vector<int> storesBeforeEntering(4, 0);
    std::vector<bool> turnedAway(4, false);
    for (int i = 0; i < 4; ++i) {
        TFtpClient &c = upload.session(i);
        connect(&c, &TFtpClient::OnSessionClosed, this, [&, i](int) { turnedAway[size_t(i)] = true; });
        connect(&c, &TFtpClient::OnRequestDone, this, [&, i](FtpRequest, int status) {
            if (status != 0)
                turnedAway[size_t(i)] = true;
        });
        connect(&c, &TFtpClient::OnCommand, this, [&, i](QString &command) {
            const bool store = command.startsWith(u"STOR "_s);
            if (store && !running)
                ++storesBeforeRun;
            if (store && !commands[size_t(i)].contains(u"CWD /"_s))
                ++storesBeforeEntering[size_t(i)];
            commands[size_t(i)] << command;
        });
    }
    connect(&upload, &ParallelUpload::failure, this, [&](const QString &) { failuresBeforeRun += running ? 0 : 1; });
    QStringList log;
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) {
        linesBeforeRun += running ? 0 : 1;
        log += lines;
    });
    upload.begin();
    if (waitForLogins) {
        // Logged in and standing in the directory, or turned away and closed.
        auto settled = [&] {
            int ready = 0, away = 0;
            for (int i = 0; i < 4; ++i) {
                if (turnedAway[size_t(i)])
                    ++away;
                else if (commands[size_t(i)].contains(u"CWD /"_s) && !upload.session(i).RequestRunning())
                    ++ready;
            }
            return ready == admitted && away == 4 - admitted;
        };
        QTRY_VERIFY_WITH_TIMEOUT(settled(), 60000);
    }
    // The directories are made only now, as the walk makes them after the logins began.
    const auto jobs = makeTree(60);
    QVERIFY(!jobs.empty());
    upload.setJobs(jobs);
    running = true;
    int stored = 0, failed = 0;
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &, bool ok, const QByteArray &) {
        ++(ok ? stored : failed);
    });
    upload.run();
    QCOMPARE(storesBeforeRun, 0);
    QCOMPARE(storesBeforeEntering, std::vector<int>(4, 0));
    QCOMPARE(failuresBeforeRun, 0);
    QCOMPARE(linesBeforeRun, 0);
    QCOMPARE(stored, admitted > 0 ? 60 : 0);
    QCOMPARE(failed, admitted > 0 ? 0 : 60);
    // Each session logged in once: none was started again for the ones refused.
    int logins = 0;
    for (const QStringList &sent : commands)
        logins += int(sent.filter(u"USER "_s).size());
    QCOMPARE(logins, admitted);
    if (admitted > 0)
        verifyRemote(jobs);
    else
        QCOMPARE(log.filter(u"Nenahráno: "_s).size(), 60);
}

void tst_ParallelUpload::folderTimesOutliveALostSessionAndEndWithAStop_data()
{
    QTest::addColumn<bool>("stopInstead");
    QTest::newRow("a session lost in a folder's listing") << false;
    QTest::newRow("a stop in a folder's listing") << true;
}

// A folder's times are learned while the other folders' files still go up. A session lost
// in the listing hands the folder to another one, and nothing learned is lost; a stop
// there ends the learning with the files.
void tst_ParallelUpload::folderTimesOutliveALostSessionAndEndWithAStop()
{
    QFETCH(bool, stopInstead);
    auto jobs = makeTree(140);
    // Folder by folder, so the first folders are over while many files still wait.
    std::stable_sort(jobs.begin(), jobs.end(), [](const ParallelUpload::Job &a, const ParallelUpload::Job &b) {
        return a.remote.section(u'/', 1, 1) < b.remote.section(u'/', 1, 1);
    });
    ParallelUpload::Settings s = settings();
    s.stampsByMlsd = true;
    s.stampsByMdtm = true;
    ParallelUpload upload(s, jobs, 4);
    QStringList stored, log;
    QHash<QString, QString> learned;
    int learnedTwice = 0;
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) { log += lines; });
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &job, bool ok, const QByteArray &) {
        if (ok)
            stored << job.relative;
    });
    connect(&upload, &ParallelUpload::stampsLearned, this, [&](const QStringList &relatives, const QStringList &stamps) {
        QCOMPARE(stamps.size(), relatives.size());
        for (qsizetype i = 0; i < relatives.size(); ++i) {
            learnedTwice += learned.contains(relatives[i]);
            learned.insert(relatives[i], stamps[i]);
        }
    });
    bool struck = false;
    int storedAtFirstAsking = -1;
    QStringList askedAfterStop;
    for (int i = 0; i < upload.sessionCount(); ++i) {
        connect(&upload.session(i), &TFtpClient::OnCommand, this, [&, i](const QString &command) {
            const bool asking = command.startsWith(u"MLSD"_s) || command.startsWith(u"MDTM"_s);
            if (asking && upload.stopped())
                askedAfterStop << command;
            if (!asking || struck)
                return;
            struck = true;
            storedAtFirstAsking = int(stored.size());
            QTimer::singleShot(0, &upload, [&, i] {
                if (stopInstead)
                    upload.stop();
                else
                    upload.session(i).Abort();
            });
        });
    }
    upload.run();
    QVERIFY(struck);
    // The first folder is over after about a seventh of the files: its times are asked
    // then, between the other files, not after the last one.
    QVERIFY2(storedAtFirstAsking < 70, qPrintable(QString::number(storedAtFirstAsking)));
    // Every time learned is the one the server gives the file.
    for (auto it = learned.cbegin(); it != learned.cend(); ++it) {
        QVERIFY2(stored.contains(it.key()), qPrintable(it.key()));
        const QDateTime modified = QFileInfo(m_remote + u'/' + it.key()).lastModified().toUTC();
        QCOMPARE(it.value(), modified.toString(u"yyyyMMddhhmmss"_s));
    }
    QCOMPARE(learnedTwice, 0);
    if (stopInstead) {
        QVERIFY(stored.size() < 140);
        QCOMPARE(askedAfterStop, QStringList());
        return;
    }
    QVERIFY(!log.filter(u"Spojení ukončeno"_s).isEmpty());
    QCOMPARE(stored.size(), 140);
    QCOMPARE(learned.size(), 140);
    verifyRemote(jobs);
}

BRISKO_TEST_MAIN(tst_ParallelUpload)
#include "tst_parallelupload.moc"
