// The FTP session against a scripted server on 127.0.0.1: reply parsing, refusals,
// time-outs, both orders of a transfer's end, passive mode and a server that hangs up.
#include "ScriptedFtpServer.h"
#include "publish/ContentHash.h"
#include "publish/FtpClient.h"
#include "support/TestMain.h"

#include <QCryptographicHash>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

using namespace Qt::StringLiterals;

class tst_FtpClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void multiLineRepliesEndAtTheirLastLine_data();
    void multiLineRepliesEndAtTheirLastLine();
    void replyCodesDecideTheStatus_data();
    void replyCodesDecideTheStatus();
    void requestsAreRefusedWhenPreconditionsFail_data();
    void requestsAreRefusedWhenPreconditionsFail();
    void namesWithLineBreaksNeverBecomeCommands_data();
    void namesWithLineBreaksNeverBecomeCommands();
    void secondOpenIsRefusedWhileConnected();
    void refusedGreetingLeavesSessionDisconnected();
    void refusedConnectionReportsSocketError();
    void requestDoneArrivesAfterTheStepReturns_data();
    void requestDoneArrivesAfterTheStepReturns();
    void passwordNeverReachesTheDisplay();
    void silentServerIsAbortedAfterTimeout();
    void movingTransferIsNotTimedOut();
    void timeAfterTheReplyDoesNotCount();
    void pausedSilenceDoesNotCount();
    void stoppedTransferEndsCleanly_data();
    void stoppedTransferEndsCleanly();
    void refusedActiveModeFallsBackToPassiveOnce_data();
    void refusedActiveModeFallsBackToPassiveOnce();
    void sentDataIsHashed();
    void directoryOfReplyReadsQuotedName_data();
    void directoryOfReplyReadsQuotedName();
    void transferEndsWhenReplyAndCloseHaveArrived_data();
    void transferEndsWhenReplyAndCloseHaveArrived();
    void storeSendsTheFileInEitherMode_data();
    void storeSendsTheFileInEitherMode();
    void emptyFileStoresNothingAndReportsZeroBytes();
    void renameGoesOutInOneRoundTripAndPreparesTheNextTransfer_data();
    void renameGoesOutInOneRoundTripAndPreparesTheNextTransfer();
    void serverClosingDuringStoreFailsTheRequest();
    void fileCutShorterDuringStoreFailsIt_data();
    void fileCutShorterDuringStoreFailsIt();
    void activeModeTakesDataOnlyFromTheServer();
    void transferSummaryUsesIntegerRates_data();
    void transferSummaryUsesIntegerRates();
    void everyLoginSetsTheBinaryTypeAgain_data();
    void everyLoginSetsTheBinaryTypeAgain();
    void featuresAndModificationTimesAreRead();
    void modificationTimesGoOutTogether_data();
    void modificationTimesGoOutTogether();

private:
    bool open();
    // A file of the test's own folder with this content; empty when it cannot be written.
    QString localFile(const QString &name, const QByteArray &content);
    bool displayed(const QString &line) const { return m_display.contains(line); }

    std::unique_ptr<ScriptedFtpServer> m_server;
    std::unique_ptr<TFtpClient> m_client;
    QStringList m_display;
    QTemporaryDir m_dir;
};

void tst_FtpClient::init()
{
    m_server = std::make_unique<ScriptedFtpServer>();
    m_client = std::make_unique<TFtpClient>();
    m_client->setHostName(u"127.0.0.1"_s);
    m_client->setPort(QString::number(m_server->port()));
    m_client->setTimeout(5);
    m_display.clear();
    connect(m_client.get(), &TFtpClient::OnDisplay, this, [this](const QString &t) { m_display << t; });
}

void tst_FtpClient::cleanup()
{
    m_client.reset();
    m_server.reset();
}

QString tst_FtpClient::localFile(const QString &name, const QByteArray &content)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return {};
    return path;
}

bool tst_FtpClient::open()
{
    if (!m_client->OpenSync())
        return false;
    m_client->setUserName(u"joe"_s);
    m_client->setPassWord(u"secret"_s);
    return m_client->UserSync() && m_client->PassSync();
}

void tst_FtpClient::multiLineRepliesEndAtTheirLastLine_data()
{
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("pwdReply");

    QTest::newRow("single lines") << QByteArray("220 hi\r\n") << QByteArray("257 \"/\"\r\n");
    QTest::newRow("multi-line greeting")
        << QByteArray("220-Welcome\r\n220-to the test\r\n220 ready\r\n") << QByteArray("257 \"/\"\r\n");
    // Inner lines of a multi-line reply need not start with the code, and may even start
    // with another number; only "257 " ends it.
    QTest::newRow("multi-line reply with free inner lines")
        << QByteArray("220 hi\r\n") << QByteArray("257-first\r\n  indented text\r\n200 not the end\r\n257 \"/\"\r\n");
    QTest::newRow("reply split across packets is one reply")
        << QByteArray("220 hi\r\n") << QByteArray("25");
}

void tst_FtpClient::multiLineRepliesEndAtTheirLastLine()
{
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, pwdReply);
    m_server->greeting = greeting;
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb != u"PWD"_s)
            return false;
        m_server->reply(pwdReply);
        if (pwdReply == "25")
            QTimer::singleShot(100, m_server.get(), [this] { m_server->reply("7 \"/\"\r\n"); });
        return true;
    };
    QVERIFY(m_client->OpenSync());
    QVERIFY(m_client->Connected());
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    QVERIFY(m_client->PwdSync());
    QCOMPARE(done.size(), 1);
    QCOMPARE(m_client->LastResponse(), u"257 \"/\""_s);
    QVERIFY(displayed(u"257 \"/\""_s));
}

void tst_FtpClient::replyCodesDecideTheStatus_data()
{
    QTest::addColumn<QString>("verb");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("succeeds");
    QTest::addColumn<int>("status");

    // A code outside the accepted list fails even below 400.
    QTest::newRow("PASS answered 202 fails") << u"PASS"_s << QByteArray("202 superfluous\r\n") << false << 202;
    QTest::newRow("PASS answered 230") << u"PASS"_s << QByteArray("230 ok\r\n") << true << 0;
    QTest::newRow("CWD answered 257") << u"CWD"_s << QByteArray("257 fine\r\n") << true << 0;
    QTest::newRow("CWD answered 550") << u"CWD"_s << QByteArray("550 no such dir\r\n") << false << 550;
    QTest::newRow("MKD answered 250 fails") << u"MKD"_s << QByteArray("250 made\r\n") << false << 250;
    QTest::newRow("code after blanks and a plus sign") << u"CWD"_s << QByteArray(" \t+250 ok\r\n") << true << 0;
    QTest::newRow("line without a number fails") << u"CWD"_s << QByteArray("hello\r\n") << false << 500;
}

void tst_FtpClient::replyCodesDecideTheStatus()
{
    QFETCH(QString, verb);
    QFETCH(QByteArray, reply);
    QFETCH(bool, succeeds);
    QFETCH(int, status);
    m_server->handler = [&](const QString &v, const QString &) {
        if (v != verb)
            return false;
        m_server->reply(reply);
        return true;
    };
    QVERIFY(m_client->OpenSync());
    m_client->setUserName(u"joe"_s);
    m_client->setPassWord(u"pw"_s);
    m_client->setHostDirName(u"web"_s);
    m_client->setHostFileName(u"new"_s);
    QVERIFY(m_client->UserSync());
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    const bool ok = verb == u"PASS"_s ? m_client->PassSync()
                    : verb == u"CWD"_s ? m_client->CwdSync()
                                       : m_client->MkdSync();
    QCOMPARE(ok, succeeds);
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(1).toInt(), status);
    if (!succeeds)
        QCOMPARE(m_client->ErrorMessage(), QString::fromUtf8(reply).trimmed());
}

void tst_FtpClient::requestsAreRefusedWhenPreconditionsFail_data()
{
    QTest::addColumn<bool>("connect");
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("userName");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("text");

    QTest::newRow("USER unconnected") << false << u"USER"_s << u"joe"_s << u"pw"_s << u"FTP component not connected"_s;
    QTest::newRow("PWD unconnected") << false << u"PWD"_s << u"joe"_s << u"pw"_s << u"FTP component not connected"_s;
    QTest::newRow("STOR unconnected") << false << u"STOR"_s << u"joe"_s << u"pw"_s << u"STOR/APPE: not connected"_s;
    QTest::newRow("NLST unconnected") << false << u"NLST"_s << u"joe"_s << u"pw"_s << u"NLST: not connected"_s;
    QTest::newRow("USER without a name") << true << u"USER"_s << QString() << u"pw"_s << u"UserName emtpy"_s;
    QTest::newRow("PASS without a password") << true << u"PASS"_s << u"joe"_s << QString() << u"Password emtpy"_s;
    QTest::newRow("CWD without a directory") << true << u"CWD"_s << u"joe"_s << u"pw"_s << u"HostDirName emtpy"_s;
    QTest::newRow("STOR without a local file") << true << u"STOR"_s << u"joe"_s << u"pw"_s << u"LocalFileName empty"_s;
}

void tst_FtpClient::requestsAreRefusedWhenPreconditionsFail()
{
    QFETCH(bool, connect);
    QFETCH(QString, request);
    QFETCH(QString, userName);
    QFETCH(QString, password);
    QFETCH(QString, text);
    if (connect)
        QVERIFY(m_client->OpenSync());
    m_client->setUserName(userName);
    m_client->setPassWord(password);
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    try {
        if (request == u"USER"_s)
            m_client->User();
        else if (request == u"PASS"_s)
            m_client->Pass();
        else if (request == u"PWD"_s)
            m_client->Pwd();
        else if (request == u"CWD"_s)
            m_client->Cwd();
        else if (request == u"STOR"_s)
            m_client->Put();
        else
            m_client->Nlst();
        QFAIL("the request was not refused");
    } catch (const FtpException &e) {
        QCOMPARE(e.message(), text);
    }
    QTest::qWait(20);
    QCOMPARE(done.size(), 0);
    QVERIFY(m_client->State() == FtpState::Ready || m_client->State() == FtpState::Connected);
}

void tst_FtpClient::namesWithLineBreaksNeverBecomeCommands_data()
{
    QTest::addColumn<QString>("request");
    QTest::addColumn<QString>("name");
    QTest::newRow("DELE, CR LF") << u"DELE"_s << u"x\r\nDELE index.html"_s;
    QTest::newRow("CWD, LF alone") << u"CWD"_s << u"web\nDELE index.html"_s;
    QTest::newRow("MKD, CR alone") << u"MKD"_s << u"new\rDELE index.html"_s;
    QTest::newRow("RNTO of a rename") << u"RNTO"_s << u"page.html\r\nDELE index.html"_s;
}

void tst_FtpClient::namesWithLineBreaksNeverBecomeCommands()
{
    QFETCH(QString, request);
    QFETCH(QString, name);
    QVERIFY(open());
    m_server->commands.clear();
    m_client->setHostDirName(name);
    m_client->setHostFileName(request == u"RNTO"_s ? u".brisko-tmp"_s : name);
    const bool ok = request == u"DELE"_s  ? m_client->DeleSync()
                    : request == u"CWD"_s ? m_client->CwdSync()
                    : request == u"MKD"_s ? m_client->MkdSync()
                                          : m_client->RenameSync(name);
    QVERIFY(!ok);
    for (const QString &command : std::as_const(m_server->commands))
        QVERIFY2(!command.startsWith(u"DELE index"_s), qPrintable(command));
    // The session goes on in step with the server.
    QVERIFY(m_client->PwdSync());
    QCOMPARE(m_client->LastResponse(), u"257 \"/\" is the current directory"_s);
}

void tst_FtpClient::secondOpenIsRefusedWhileConnected()
{
    QVERIFY(m_client->OpenSync());
    QVERIFY(!m_client->OpenSync());
    QCOMPARE(m_client->ErrorMessage(), u"FTP component already connected"_s);
    QVERIFY(m_client->PwdSync()); // the first connection still works
}

void tst_FtpClient::refusedGreetingLeavesSessionDisconnected()
{
    m_server->greeting = "421-Too many users\r\n421 try later\r\n";
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    QVERIFY(!m_client->OpenSync());
    QCOMPARE(done.size(), 1);
    QCOMPARE(done.first().at(1).toInt(), 421);
    QCOMPARE(m_client->ErrorMessage(), u"421 try later"_s);
    QVERIFY(!m_client->Connected());
    m_client->setUserName(u"joe"_s);
    QVERIFY(!m_client->UserSync());
    QCOMPARE(m_client->ErrorMessage(), u"FTP component not connected"_s);
}

void tst_FtpClient::refusedConnectionReportsSocketError()
{
    quint16 closedPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    m_client->setPort(QString::number(closedPort));
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    QVERIFY(!m_client->OpenSync());
    QCOMPARE(done.first().at(1).toInt(), 10061);
    QVERIFY2(m_client->ErrorMessage().startsWith(u"500 "_s), qPrintable(m_client->ErrorMessage()));
    QVERIFY(m_client->ErrorMessage().endsWith(u" (socket error #10061)"_s));
    QCOMPARE(m_client->StatusCode(), 500);
    QVERIFY(m_client->State() == FtpState::Ready);
}

void tst_FtpClient::requestDoneArrivesAfterTheStepReturns_data()
{
    QTest::addColumn<bool>("afterReplies");
    QTest::newRow("posted") << false;
    QTest::newRow("once the replies read are handled") << true;
}

void tst_FtpClient::requestDoneArrivesAfterTheStepReturns()
{
    QFETCH(bool, afterReplies);
    QVERIFY(m_client->OpenSync());
    m_client->setDoneAfterReplies(afterReplies);
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    qsizetype doneWhenReplyShown = -1;
    bool posted = false, postedRanFirst = false;
    connect(m_client.get(), &TFtpClient::OnDisplay, this, [&](const QString &line) {
        if (!line.startsWith(u"257"_s) || doneWhenReplyShown >= 0)
            return; // the PWD's reply; the MKD's says 257 too
        doneWhenReplyShown = done.size();
        QMetaObject::invokeMethod(this, [&] { posted = true; }, Qt::QueuedConnection);
    });
    // The next request starts from the notification, as an upload's next file does.
    connect(m_client.get(), &TFtpClient::OnRequestDone, this, [&](FtpRequest kind, int) {
        if (kind != FtpRequest::Pwd)
            return;
        postedRanFirst = posted;
        m_client->setHostFileName(u"sub"_s);
        m_client->Mkd();
    });
    m_client->Pwd();
    QTRY_COMPARE_WITH_TIMEOUT(done.size(), 2, 3000);
    QCOMPARE(doneWhenReplyShown, 0);
    QCOMPARE(done.at(0).at(0).value<FtpRequest>(), FtpRequest::Pwd);
    QCOMPARE(done.at(1).at(0).value<FtpRequest>(), FtpRequest::Mkd);
    QCOMPARE(done.at(0).at(1).toInt(), 0);
    QCOMPARE(done.at(1).at(1).toInt(), 0);
    QCOMPARE(m_server->commands.mid(m_server->commands.size() - 2), (QStringList{u"PWD"_s, u"MKD sub"_s}));
    // Held to the end of the replies read, the notification comes before the event loop
    // turns again; posted, after what was posted before it.
    QCOMPARE(postedRanFirst, !afterReplies);
    QVERIFY(!m_client->RequestRunning());
}

void tst_FtpClient::passwordNeverReachesTheDisplay()
{
    QVERIFY(open());
    QVERIFY(m_server->commands.contains(u"PASS secret"_s)); // the server gets it
    QVERIFY(displayed(u"> USER joe"_s));
    QVERIFY(displayed(u"> PASS ********"_s));
    for (const QString &line : std::as_const(m_display))
        QVERIFY2(!line.contains(u"secret"_s), qPrintable(line));
}

void tst_FtpClient::silentServerIsAbortedAfterTimeout()
{
    m_server->handler = [](const QString &verb, const QString &) { return verb == u"PWD"_s; };
    QVERIFY(open());
    m_client->setTimeoutMs(300);
    QSignalSpy closed(m_client.get(), &TFtpClient::OnSessionClosed);
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!m_client->PwdSync());
    QVERIFY(clock.elapsed() >= 300);
    QVERIFY(clock.elapsed() < 3000);
    QVERIFY(!m_client->Connected());
    // The display says why, and the session's end is announced like a server's hang-up.
    QVERIFY(displayed(u"Timeout"_s));
    QCOMPARE(closed.size(), 1);
    QCOMPARE(closed.first().first().toInt(), TFtpClient::TimeoutError);
    QVERIFY(m_client->State() == FtpState::Ready);
    // Every later request fails at once.
    QVERIFY(!m_client->UserSync());
    m_client->setLocalFileName(m_dir.filePath(u"x"_s));
    QVERIFY(!m_client->PutSync());
}

void tst_FtpClient::movingTransferIsNotTimedOut()
{
    // Names trickle in for well over the time-out; the silence never lasts a second.
    m_server->handler = [this](const QString &verb, const QString &) {
        if (verb != u"NLST"_s)
            return false;
        m_server->reply("150 slowly\r\n");
        m_server->withData([this](QTcpSocket *data) {
            auto *timer = new QTimer(data);
            auto sent = std::make_shared<int>(0);
            QObject::connect(timer, &QTimer::timeout, data, [this, data, timer, sent] {
                data->write("name" + QByteArray::number(++*sent) + "\r\n");
                if (*sent == 8) {
                    timer->stop();
                    data->disconnectFromHost();
                    m_server->reply("226 done\r\n");
                }
            });
            timer->start(300);
        });
        return true;
    };
    QVERIFY(open());
    m_client->setTimeout(1);
    m_client->setDisplayFlag(true);
    m_client->setLocalFileName(m_dir.filePath(u"slow.txt"_s));
    QVERIFY(m_client->NlstSync());
    QVERIFY(displayed(u"Data: name8"_s));
}

void tst_FtpClient::timeAfterTheReplyDoesNotCount()
{
    // An error box opened on the request's end stays open three time-outs long.
    QVERIFY(open());
    m_client->setTimeoutMs(200);
    m_client->setHostDirName(u"missing"_s);
    m_server->handler = [this](const QString &verb, const QString &) {
        if (verb != u"CWD"_s)
            return false;
        m_server->reply("550 no such directory\r\n");
        return true;
    };
    connect(m_client.get(), &TFtpClient::OnRequestDone, this, [] {
        QEventLoop box;
        QTimer::singleShot(600, &box, &QEventLoop::quit);
        box.exec();
    });
    QVERIFY(!m_client->CwdSync());
    QCOMPARE(m_client->Status(), 550);
    QVERIFY(m_client->Connected());
    QVERIFY(!displayed(u"Timeout"_s));
    QVERIFY(m_client->PwdSync());
}

void tst_FtpClient::pausedSilenceDoesNotCount()
{
    m_server->handler = [this](const QString &verb, const QString &) {
        if (verb != u"PWD"_s)
            return false;
        QTimer::singleShot(600, m_server.get(), [this] { m_server->reply("257 \"/\"\r\n"); });
        return true;
    };
    QVERIFY(open());
    m_client->setTimeoutMs(200);
    m_client->PauseTimeout();
    QVERIFY(m_client->PwdSync());
    m_client->ResumeTimeout();
    QVERIFY(m_client->Connected());
}

void tst_FtpClient::stoppedTransferEndsCleanly_data()
{
    QTest::addColumn<bool>("passive");
    QTest::addColumn<QByteArray>("serverAnswer");
    QTest::newRow("active, server says stored") << false << QByteArray("226 stored\r\n");
    QTest::newRow("passive, server says aborted") << true << QByteArray("426 connection closed; transfer aborted\r\n");
}

void tst_FtpClient::stoppedTransferEndsCleanly()
{
    QFETCH(bool, passive);
    QFETCH(QByteArray, serverAnswer);
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb != u"STOR"_s)
            return false;
        m_server->reply("150 go\r\n");
        m_server->receiveStore([&] { m_server->reply(serverAnswer); });
        return true;
    };
    const QString path = localFile(u"big.bin"_s, QByteArray(64 * 1024 * 1024, 'x'));
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    m_client->setPassive(passive);
    connect(m_client.get(), &TFtpClient::OnProgress, m_client.get(), &TFtpClient::StopTransfer,
            Qt::QueuedConnection);
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"big.bin"_s);
    QVERIFY(!m_client->PutSync());
    QCOMPARE(m_client->Status(), TFtpClient::StoppedStatus);
    QCOMPARE(done.size(), 1);
    QVERIFY(m_server->stored.size() < 64 * 1024 * 1024);
    // The server has answered the cut transfer; the session goes on.
    QVERIFY(m_client->Connected());
    QVERIFY(m_client->PwdSync());
}

void tst_FtpClient::refusedActiveModeFallsBackToPassiveOnce_data()
{
    QTest::addColumn<QByteArray>("refusal");
    QTest::addColumn<bool>("refusePort");
    QTest::newRow("PORT refused") << QByteArray("500 PORT not allowed\r\n") << true;
    QTest::newRow("server cannot connect back") << QByteArray("425 Can't open data connection\r\n") << false;
}

void tst_FtpClient::refusedActiveModeFallsBackToPassiveOnce()
{
    QFETCH(QByteArray, refusal);
    QFETCH(bool, refusePort);
    m_server->handler = [&](const QString &verb, const QString &) {
        if (refusePort && verb == u"PORT"_s) {
            m_server->reply(refusal);
            return true;
        }
        if (!refusePort && verb == u"STOR"_s && !m_server->passiveMode()) {
            m_server->reply(refusal);
            return true;
        }
        return false;
    };
    const QString path = localFile(u"page.html"_s, QByteArray(300 * 1024, 'p'));
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    QSignalSpy fellBack(m_client.get(), &TFtpClient::OnPassiveFallback);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"page.html"_s);
    QVERIFY(m_client->PutSync());
    QCOMPARE(m_server->stored, QByteArray(300 * 1024, 'p'));
    QCOMPARE(fellBack.size(), 1);
    QVERIFY(m_client->Passive());
    QVERIFY(displayed(u"Server odmítl aktivní režim, přenos pokračuje v pasivním režimu"_s));
    // The next transfer goes passive at once.
    const qsizetype portsBefore = m_server->commands.filter(u"PORT"_s).size();
    QVERIFY(m_client->PutSync());
    QCOMPARE(m_server->commands.filter(u"PORT"_s).size(), portsBefore);
}

void tst_FtpClient::sentDataIsHashed()
{
    const QByteArray content(200 * 1024 + 7, 'h');
    const QString path = localFile(u"h.bin"_s, content);
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    ContentHash hash;
    m_client->setSentDataHash(&hash);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"h.bin"_s);
    QVERIFY(m_client->PutSync());
    QCOMPARE(hash.result(), QCryptographicHash::hash(content, QCryptographicHash::Sha256));
}

void tst_FtpClient::directoryOfReplyReadsQuotedName_data()
{
    QTest::addColumn<QString>("reply");
    QTest::addColumn<QString>("directory");
    QTest::newRow("plain") << u"257 \"/www/site\" is the current directory"_s << u"/www/site"_s;
    QTest::newRow("doubled quote inside") << u"257 \"/a \"\"b\"\"\" ok"_s << u"/a \"b\""_s;
    QTest::newRow("spaces kept") << u"257 \"/my site/\""_s << u"/my site/"_s;
    QTest::newRow("no quotes") << u"257 /www"_s << QString();
    QTest::newRow("unterminated") << u"257 \"/www"_s << QString();
}

void tst_FtpClient::directoryOfReplyReadsQuotedName()
{
    QFETCH(QString, reply);
    QFETCH(QString, directory);
    QCOMPARE(TFtpClient::DirectoryOfReply(reply), directory);
}

void tst_FtpClient::transferEndsWhenReplyAndCloseHaveArrived_data()
{
    QTest::addColumn<bool>("replyFirst");
    QTest::newRow("final reply before the data closes") << true;
    QTest::newRow("final reply after the data closes") << false;
}

void tst_FtpClient::transferEndsWhenReplyAndCloseHaveArrived()
{
    QFETCH(bool, replyFirst);
    QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb != u"NLST"_s)
            return false;
        m_server->reply("150 here\r\n");
        m_server->withData([&](QTcpSocket *data) {
            data->write("index.html\r\nžluť.html\r\n");
            if (replyFirst) {
                m_server->reply("226 done\r\n");
                QTimer::singleShot(300, data, [data] { data->disconnectFromHost(); });
            } else {
                data->disconnectFromHost();
                QTimer::singleShot(300, m_server.get(), [this] { m_server->reply("226 done\r\n"); });
            }
        });
        return true;
    };
    QVERIFY(open());
    m_client->setDisplayFlag(true);
    const QString listing = m_dir.filePath(u"listing.txt"_s);
    m_client->setLocalFileName(listing);
    done.clear();
    QVERIFY(m_client->NlstSync());
    QCOMPARE(done.size(), 1);
    QFile file(listing);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("index.html\r\nžluť.html\r\n"));
    QVERIFY(displayed(u"Data: index.html"_s));
    QVERIFY(displayed(u"Data: žluť.html"_s));
    QVERIFY(std::any_of(m_display.begin(), m_display.end(), [](const QString &l) {
        return l.startsWith(u"Data: session closed, 25 bytes transfered, 0 Seconds elapsed"_s);
    }));
}

void tst_FtpClient::storeSendsTheFileInEitherMode_data()
{
    QTest::addColumn<bool>("passive");
    QTest::addColumn<bool>("knowsEpsv");
    QTest::addColumn<QString>("modeCommand");
    QTest::newRow("active") << false << true << u"PORT 127,0,0,1,"_s;
    QTest::newRow("passive with EPSV") << true << true << u"EPSV"_s;
    QTest::newRow("passive falls back to PASV") << true << false << u"PASV"_s;
}

void tst_FtpClient::storeSendsTheFileInEitherMode()
{
    QFETCH(bool, passive);
    QFETCH(bool, knowsEpsv);
    QFETCH(QString, modeCommand);
    m_server->knowsEpsv = knowsEpsv;
    QByteArray content;
    for (int i = 0; i < 300000; ++i)
        content += char('a' + i % 26);
    const QString path = localFile(u"big.bin"_s, content);
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    m_client->setPassive(passive);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"kůň [1].bin"_s);
    QVERIFY(m_client->PutSync());
    QCOMPARE(m_server->stored, content);
    QVERIFY(std::any_of(m_server->commands.begin(), m_server->commands.end(),
                        [&](const QString &c) { return c.startsWith(modeCommand); }));
    QVERIFY(m_server->commands.contains(u"STOR kůň [1].bin"_s));
}

void tst_FtpClient::renameGoesOutInOneRoundTripAndPreparesTheNextTransfer_data()
{
    QTest::addColumn<QByteArray>("rnfrReply");
    QTest::addColumn<QByteArray>("rntoReply");
    QTest::addColumn<bool>("knowsEpsv");
    QTest::addColumn<int>("status");

    QTest::newRow("renamed, next transfer prepared") << QByteArray("350 ok\r\n") << QByteArray("250 ok\r\n") << true << 0;
    // The RNTO after a refused RNFR is refused as out of sequence; the box names the cause.
    QTest::newRow("refused RNFR reports its own reply") << QByteArray("550 no such file\r\n")
                                                        << QByteArray("503 bad sequence\r\n") << true << 550;
    QTest::newRow("refused RNTO reports its reply") << QByteArray("350 ok\r\n") << QByteArray("553 bad name\r\n")
                                                    << true << 553;
    // Nothing prepared: the transfer asks its usual way, EPSV then PASV.
    QTest::newRow("server without EPSV") << QByteArray("350 ok\r\n") << QByteArray("250 ok\r\n") << false << 0;
}

void tst_FtpClient::renameGoesOutInOneRoundTripAndPreparesTheNextTransfer()
{
    QFETCH(QByteArray, rnfrReply);
    QFETCH(QByteArray, rntoReply);
    QFETCH(bool, knowsEpsv);
    QFETCH(int, status);
    m_server->knowsEpsv = knowsEpsv;
    // The server answers RNFR only once RNTO has come too: a client that waited for the
    // 350 before sending RNTO would wait until its time-out.
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb == u"RNFR"_s)
            return true;
        if (verb == u"RNTO"_s) {
            m_server->reply(rnfrReply + rntoReply);
            return true;
        }
        return false;
    };
    const QString path = localFile(u"next.html"_s, QByteArray(70000, 'x'));
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    m_client->setPassive(true);
    m_client->setHostFileName(u".brisko-tmp"_s);
    QCOMPARE(m_client->RenameSync(u"page.html"_s, true), status == 0);
    QCOMPARE(m_client->Status(), status);
    if (status != 0)
        QCOMPARE(m_client->ErrorMessage(), QString::fromLatin1(rnfrReply.startsWith("350") ? rntoReply : rnfrReply).trimmed());
    // USER, PASS and the login's TYPE I come first.
    QCOMPARE(m_server->commands.mid(3, 3), (QStringList{u"RNFR .brisko-tmp"_s, u"RNTO page.html"_s, u"EPSV"_s}));

    m_server->commands.clear();
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"next.html"_s);
    QVERIFY(m_client->PutSync());
    QCOMPARE(m_server->stored, QByteArray(70000, 'x'));
    const QStringList asked = knowsEpsv ? QStringList{u"STOR next.html"_s}
                                        : QStringList{u"EPSV"_s, u"PASV"_s, u"STOR next.html"_s};
    QCOMPARE(m_server->commands, asked);
}

void tst_FtpClient::emptyFileStoresNothingAndReportsZeroBytes()
{
    const QString path = localFile(u"empty"_s, QByteArray());
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"empty"_s);
    QVERIFY(m_client->PutSync());
    QVERIFY(m_server->stored.isEmpty());
    QVERIFY(std::any_of(m_display.begin(), m_display.end(), [](const QString &l) {
        return l.startsWith(u"Data: session closed, 0 bytes transfered, 0 Seconds elapsed"_s);
    }));
}

void tst_FtpClient::serverClosingDuringStoreFailsTheRequest()
{
    m_server->handler = [this](const QString &verb, const QString &) {
        if (verb != u"STOR"_s)
            return false;
        m_server->reply("150 go\r\n");
        m_server->withData([this](QTcpSocket *) { m_server->dropControl(); });
        return true;
    };
    const QString path = localFile(u"file.bin"_s, QByteArray(4 * 1024 * 1024, 'x'));
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    QSignalSpy closed(m_client.get(), &TFtpClient::OnSessionClosed);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"file.bin"_s);
    QVERIFY(!m_client->PutSync());
    QCOMPARE(closed.size(), 1);
    QVERIFY(!m_client->Connected());
    QVERIFY(m_client->State() == FtpState::Ready || m_client->State() == FtpState::InternalReady);
    QVERIFY(!m_client->PwdSync());
}

void tst_FtpClient::fileCutShorterDuringStoreFailsIt_data()
{
    QTest::addColumn<bool>("passive");
    QTest::newRow("active") << false;
    QTest::newRow("passive") << true;
}

// The server answers 226 for whatever arrived before the end of the stream; a file that
// lost its end while it was being sent must not count as stored, or the rename after it
// would put a cut file in place of the page.
void tst_FtpClient::fileCutShorterDuringStoreFailsIt()
{
    QFETCH(bool, passive);
    const QString path = localFile(u"page.html"_s, QByteArray(300 * 1024, 'x'));
    QVERIFY(!path.isEmpty());
    bool cut = false;
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb != u"STOR"_s)
            return false;
        cut = QFile::resize(path, 1000); // opened by now, its length taken
        m_server->reply("150 go\r\n");
        m_server->receiveStore([this] { m_server->reply("226 stored\r\n"); });
        return true;
    };
    QVERIFY(open());
    m_client->setPassive(passive);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"page.html"_s);
    QVERIFY(!m_client->PutSync());
    QVERIFY(cut);
    QCOMPARE(m_client->Status(), TFtpClient::LocalReadStatus);
    QCOMPARE(m_server->stored.size(), 1000);
    QVERIFY(m_display.contains(u"Error reading file"_s));
    // The session goes on.
    QVERIFY(m_client->PwdSync());
}

void tst_FtpClient::activeModeTakesDataOnlyFromTheServer()
{
    // Before the server connects back, another machine (127.0.0.2) connects to the port
    // the PORT command made known: it must get nothing, and the file goes to the server.
    QTcpSocket stranger;
    QByteArray strangerGot;
    bool strangerRefused = false;
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb != u"STOR"_s)
            return false;
        const QStringList n = m_server->commands.filter(QRegularExpression(u"^PORT "_s)).last().mid(5).split(u',');
        const quint16 port = quint16(n.value(4).toInt() * 256 + n.value(5).toInt());
        connect(&stranger, &QTcpSocket::readyRead, this, [&] { strangerGot += stranger.readAll(); });
        connect(&stranger, &QTcpSocket::disconnected, this, [&] { strangerRefused = true; });
        connect(&stranger, &QTcpSocket::connected, this, [this] {
            m_server->reply("150 go\r\n");
            m_server->receiveStore([this] { m_server->reply("226 stored\r\n"); });
        });
        if (!stranger.bind(QHostAddress(u"127.0.0.2"_s)))
            qWarning("cannot bind to 127.0.0.2");
        stranger.connectToHost(QHostAddress::LocalHost, port);
        return true;
    };
    const QByteArray content(200000, 'd');
    const QString path = localFile(u"page.bin"_s, content);
    QVERIFY(!path.isEmpty());
    QVERIFY(open());
    m_client->setPassive(false);
    m_client->setLocalFileName(path);
    m_client->setHostFileName(u"page.bin"_s);
    QVERIFY2(m_client->PutSync(), qPrintable(m_display.join(u'\n')));
    QCOMPARE(m_server->stored, content);
    QVERIFY2(displayed(u"Data: spojení z cizí adresy 127.0.0.2 odmítnuto"_s), qPrintable(m_display.join(u'\n')));
    QTRY_VERIFY(strangerRefused);
    QVERIFY(strangerGot.isEmpty());
}

void tst_FtpClient::transferSummaryUsesIntegerRates_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<qint64>("ms");
    QTest::addColumn<QString>("text");
    QTest::newRow("no time, no rate") << qint64(500) << qint64(0)
                                      << u"Data: session closed, 500 bytes transfered, 0 Seconds elapsed"_s;
    QTest::newRow("small count scales before dividing") << qint64(1000) << qint64(3)
        << u"Data: session closed, 1000 bytes transfered, 0 Seconds elapsed, 333333 Bytes/Sec"_s;
    QTest::newRow("just below 32768") << qint64(32767) << qint64(3000)
        << u"Data: session closed, 32767 bytes transfered, 3 Seconds elapsed, 10922 Bytes/Sec"_s;
    // From 32768 up the division comes first, so the rate is a multiple of 1000.
    QTest::newRow("from 32768 divides first") << qint64(32768) << qint64(3000)
        << u"Data: session closed, 32768 bytes transfered, 3 Seconds elapsed, 10000 Bytes/Sec"_s;
    QTest::newRow("beyond 32 bits") << qint64(6000000000) << qint64(2500)
        << u"Data: session closed, 6000000000 bytes transfered, 2 Seconds elapsed, 2400000000 Bytes/Sec"_s;
}

void tst_FtpClient::transferSummaryUsesIntegerRates()
{
    QFETCH(qint64, bytes);
    QFETCH(qint64, ms);
    QFETCH(QString, text);
    QCOMPARE(TFtpClient::TransferSummary(bytes, ms), text);
}

void tst_FtpClient::everyLoginSetsTheBinaryTypeAgain_data()
{
    QTest::addColumn<QByteArray>("typeReply");
    QTest::addColumn<bool>("binary");
    QTest::newRow("TYPE I accepted") << QByteArray("200 Type set to: Binary.\r\n") << true;
    // Refused, the login still stands; every file asks for the type again then.
    QTest::newRow("TYPE I refused") << QByteArray("504 not now\r\n") << false;
}

// A server resets the transfer type with every login (pyftpdlib to ASCII): a second
// login on the same connection must set it again, or CR LF loses its CR.
void tst_FtpClient::everyLoginSetsTheBinaryTypeAgain()
{
    QFETCH(QByteArray, typeReply);
    QFETCH(bool, binary);
    m_server->handler = [&](const QString &verb, const QString &) {
        if (verb != u"TYPE"_s)
            return false;
        m_server->reply(typeReply);
        return true;
    };
    QVERIFY(open());
    QCOMPARE(m_client->BinaryInEffect(), binary);
    QCOMPARE(m_client->StatusCode(), 230); // the login's own answer, for callers that read it
    QVERIFY(m_client->UserSync());
    QVERIFY(!m_client->BinaryInEffect());
    QVERIFY(m_client->PassSync());
    QCOMPARE(m_client->BinaryInEffect(), binary);
    QCOMPARE(m_server->commands, (QStringList{u"USER joe"_s, u"PASS secret"_s, u"TYPE I"_s, u"USER joe"_s,
                                              u"PASS secret"_s, u"TYPE I"_s}));
}

void tst_FtpClient::featuresAndModificationTimesAreRead()
{
    m_server->handler = [&](const QString &verb, const QString &argument) {
        if (verb == u"FEAT"_s)
            m_server->reply("211-Features:\r\n EPSV\r\n MDTM\r\n REST STREAM\r\n SIZE\r\n211 End\r\n");
        else if (verb == u"MDTM"_s && argument == u"a.html"_s)
            m_server->reply("213 20261210010339\r\n");
        else if (verb == u"MDTM"_s)
            m_server->reply("550 no such file\r\n");
        else
            return false;
        return true;
    };
    QVERIFY(open());
    QVERIFY(!m_client->FeaturesKnown());
    QVERIFY(m_client->FeatSync());
    QVERIFY(m_client->FeaturesKnown());
    QVERIFY(m_client->HasFeature(u"MDTM"_s));
    QVERIFY(m_client->HasFeature(u"rest"_s));
    QVERIFY(!m_client->HasFeature(u"MLST"_s));
    m_client->setHostFileName(u"a.html"_s);
    QVERIFY(m_client->MdtmSync());
    QCOMPARE(m_client->ReplyStamp(), u"20261210010339"_s);
    m_client->setHostFileName(u"b.html"_s);
    QVERIFY(!m_client->MdtmSync());
    QCOMPARE(m_client->ReplyStamp(), QString());
}

void tst_FtpClient::modificationTimesGoOutTogether_data()
{
    QTest::addColumn<bool>("dropAfterTwo");
    // The waiting form, and the one that returns at once and tells its end.
    QTest::addColumn<bool>("waiting");
    QTest::newRow("every time answered") << false << true;
    QTest::newRow("session lost on the way") << true << true;
    QTest::newRow("every time answered, not waiting") << false << false;
    QTest::newRow("session lost on the way, not waiting") << true << false;
}

void tst_FtpClient::modificationTimesGoOutTogether()
{
    QFETCH(bool, dropAfterTwo);
    QFETCH(bool, waiting);
    const QStringList paths{u"a.html"_s, u"gone.html"_s, u"sub/c.html"_s, u"d.html"_s};
    // The server answers only once the last MDTM has come: a client that waited for each
    // answer before sending the next would wait until its time-out.
    m_server->handler = [&](const QString &verb, const QString &argument) {
        if (verb != u"MDTM"_s)
            return false;
        if (argument != paths.last())
            return true;
        if (dropAfterTwo) {
            m_server->reply("213 20261210010339\r\n550 no such file\r\n");
            m_server->dropControl();
        } else {
            m_server->reply("213 20261210010339\r\n550 no such file\r\n213 20251231235959.123\r\n213 2026\r\n");
        }
        return true;
    };
    QVERIFY(open());
    std::optional<QStringList> stamps;
    if (waiting) {
        stamps = m_client->MdtmAllSync(paths);
    } else {
        QSignalSpy done(m_client.get(), &TFtpClient::OnRequestDone);
        QSignalSpy closed(m_client.get(), &TFtpClient::OnSessionClosed);
        m_client->MdtmAll(paths);
        QVERIFY(m_client->RequestRunning());
        QVERIFY(!m_client->AnsweredStamps()); // nothing before the answers
        QTRY_VERIFY(done.size() + closed.size() > 0);
        stamps = m_client->AnsweredStamps();
    }
    if (dropAfterTwo) {
        QVERIFY(!stamps);
        return;
    }
    QVERIFY(stamps);
    // A refusal or a reply without a whole time names no time for its own path only.
    QCOMPARE(*stamps, (QStringList{u"20261210010339"_s, QString(), u"20251231235959"_s, QString()}));
    QCOMPARE(m_server->commands.mid(3), (QStringList{u"MDTM a.html"_s, u"MDTM gone.html"_s,
                                                     u"MDTM sub/c.html"_s, u"MDTM d.html"_s}));
    // The session stays usable for the next request.
    m_server->handler = {};
    QVERIFY(m_client->PwdSync());
}

BRISKO_TEST_MAIN(tst_FtpClient)
#include "tst_ftpclient.moc"
