// Explicit FTPS against pyftpdlib's TLS handler with a certificate the test makes, and
// against a scripted server that knows no TLS.
#include "FtpRelay.h"
#include "PyFtpServer.h"
#include "ScriptedFtpServer.h"
#include "publish/CertificateTrust.h"
#include "publish/FtpClient.h"
#include "publish/ParallelUpload.h"
#include "publish/ftpklient.h"
#include "support/TestMain.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

class tst_FtpTls : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void uploadsOverTlsAfterTrusting_data();
    void uploadsOverTlsAfterTrusting();
    void untrustedCertificateEndsTheLogin();
    void changedCertificateAsksAgain();
    void serverWithoutTlsGetsNoClearTextLogin_data();
    void serverWithoutTlsGetsNoClearTextLogin();
    void trustStoreKeepsOneFingerprintPerServer();
    void windowUploadsATreeAfterTrusting();
    void parallelSessionsUploadOverTls();
    void slowControlLineDoesNotBreakEncryptedData();
    void everyByteArrivesAfterASecondConnect_data();
    void everyByteArrivesAfterASecondConnect();

private:
    std::unique_ptr<TFtpClient> newClient(quint16 port);
    bool login(TFtpClient &client);
    // The window's server, port, account and password for the test server.
    void fillForm(TFTPForm &form) const;

    QTemporaryDir m_dir;
    QString m_root;
    QString m_cert;
    PyFtpServer m_server;
    QString m_serverError;
    std::unique_ptr<CertificateTrust> m_trust;
    QStringList m_display;
};

void tst_FtpTls::initTestCase()
{
    m_root = m_dir.filePath(u"root"_s);
    QVERIFY(QDir().mkpath(m_root));
    m_cert = m_dir.filePath(u"server.pem"_s);
    m_serverError = m_server.startTls(m_root, u"joe"_s, u"s3cret-pw"_s, m_cert);
}

void tst_FtpTls::init()
{
    m_trust = std::make_unique<CertificateTrust>(m_dir.filePath(u"trust-%1.txt"_s.arg(QRandomGenerator::global()->generate())));
    m_display.clear();
}

void tst_FtpTls::cleanup()
{
    m_trust.reset();
}

std::unique_ptr<TFtpClient> tst_FtpTls::newClient(quint16 port)
{
    auto client = std::make_unique<TFtpClient>();
    client->setHostName(u"127.0.0.1"_s);
    client->setPort(QString::number(port));
    client->setTimeout(10);
    client->setTls(true);
    TFtpClient *raw = client.get();
    client->setCertificateCheck([this, raw](const QSslCertificate &c, const QList<QSslError> &e) {
        return m_trust->accept(raw->HostName(), raw->ControlPort(), c, e);
    });
    connect(raw, &TFtpClient::OnDisplay, this, [this](const QString &t) { m_display << t; });
    return client;
}

bool tst_FtpTls::login(TFtpClient &client)
{
    if (!client.OpenSync())
        return false;
    client.setUserName(u"joe"_s);
    client.setPassWord(u"s3cret-pw"_s);
    return client.UserSync() && client.PassSync();
}

void tst_FtpTls::fillForm(TFTPForm &form) const
{
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(m_server.port()));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(u"joe"_s);
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->setText(u"s3cret-pw"_s);
}

void tst_FtpTls::uploadsOverTlsAfterTrusting_data()
{
    QTest::addColumn<bool>("passive");
    QTest::newRow("passive data connection") << true;
    QTest::newRow("active asked, passive used") << false;
}

void tst_FtpTls::uploadsOverTlsAfterTrusting()
{
    QFETCH(bool, passive);
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    QByteArray content(300 * 1024 + 17, '\0');
    for (char &c : content)
        c = char(QRandomGenerator::global()->bounded(256));
    const QString local = m_dir.filePath(u"page.bin"_s);
    QFile out(local);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();

    ScriptedInteraction answers;
    answers.choice(0);
    auto client = newClient(m_server.port());
    client->setPassive(passive);
    QVERIFY(login(*client));
    QVERIFY(client->Encrypted());
    QVERIFY(answers.allAnswered());
    const QByteArray fingerprint = CertificateTrust::fingerprint(client->ServerCertificate());
    QVERIFY(answers.questions.value(0).contains(CertificateTrust::fingerprintText(fingerprint)));
    QCOMPARE(m_trust->remembered(u"127.0.0.1"_s, m_server.port()), std::optional(fingerprint));

    client->setBinary(true);
    QVERIFY(client->TypeSetSync());
    const QString name = passive ? u"passive.bin"_s : u"active.bin"_s;
    client->setHostFileName(name);
    client->setLocalFileName(local);
    const bool put = client->PutSync();
    QVERIFY2(put, qPrintable(m_display.join(u"\n"_s)));
    QFile stored(m_root + u'/' + name);
    QVERIFY(stored.open(QIODevice::ReadOnly));
    const QByteArray got = stored.readAll();
    QCOMPARE(got.size(), content.size());
    QCOMPARE(got, content);
    QVERIFY(!m_display.join(u'\n').contains(u"s3cret-pw"_s));
    QVERIFY(m_display.contains(u"> EPSV"_s));

    // The trust is remembered: the next session asks nothing.
    auto second = newClient(m_server.port());
    QVERIFY(login(*second));
    QVERIFY(answers.unexpected.isEmpty());
}

void tst_FtpTls::untrustedCertificateEndsTheLogin()
{
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    ScriptedInteraction answers;
    answers.choice(1);
    auto client = newClient(m_server.port());
    QList<int> closed;
    connect(client.get(), &TFtpClient::OnSessionClosed, this, [&closed](int error) { closed << error; });
    QVERIFY(!client->OpenSync());
    QCOMPARE(client->Status(), TFtpClient::TlsRefusedStatus);
    // One failure, one number: the log's "Spojení ukončeno" gives the box's.
    QCOMPARE(closed, QList<int>{TFtpClient::TlsRefusedStatus});
    QVERIFY(!client->Connected());
    QVERIFY(!answers.questions.value(0).contains(u"změnil"_s));
    // Enter in the box cancels: trusting takes a deliberate click.
    QCOMPARE(answers.lastDefaultButton, 1);
    QVERIFY(!m_trust->remembered(u"127.0.0.1"_s, m_server.port()));
    client->setUserName(u"joe"_s);
    QVERIFY(!client->UserSync());
}

void tst_FtpTls::changedCertificateAsksAgain()
{
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    // Another certificate was trusted for this server before.
    QVERIFY(m_trust->remember(u"127.0.0.1"_s, m_server.port(), QByteArray(32, '\x5a')));
    ScriptedInteraction answers;
    answers.choice(0);
    auto client = newClient(m_server.port());
    QVERIFY(login(*client));
    QVERIFY(answers.questions.value(0).contains(u"změnil"_s));
    QCOMPARE(m_trust->remembered(u"127.0.0.1"_s, m_server.port()),
             std::optional(CertificateTrust::fingerprint(client->ServerCertificate())));
}

void tst_FtpTls::serverWithoutTlsGetsNoClearTextLogin_data()
{
    QTest::addColumn<QByteArray>("authReply");
    QTest::newRow("command unknown") << QByteArray("500 Unknown command\r\n");
    QTest::newRow("not implemented") << QByteArray("502 Command not implemented\r\n");
    QTest::newRow("TLS not available") << QByteArray("534 TLS not available\r\n");
}

void tst_FtpTls::serverWithoutTlsGetsNoClearTextLogin()
{
    QFETCH(QByteArray, authReply);
    ScriptedFtpServer server;
    server.handler = [&](const QString &verb, const QString &) {
        if (verb != u"AUTH"_s)
            return false;
        server.reply(authReply);
        return true;
    };
    auto client = newClient(server.port());
    QVERIFY(!client->OpenSync());
    QVERIFY(!client->Connected());
    QVERIFY(client->ErrorMessage().contains(u"AUTH TLS"_s));
    client->setUserName(u"joe"_s);
    client->setPassWord(u"s3cret-pw"_s);
    QVERIFY(!client->UserSync());
    QVERIFY(!client->PassSync());
    QTest::qWait(50);
    QCOMPARE(server.commands, QStringList{u"AUTH TLS"_s});
}

void tst_FtpTls::trustStoreKeepsOneFingerprintPerServer()
{
    const QByteArray a(32, '\x01'), b(32, '\x02'), c(32, '\x03');
    QVERIFY(m_trust->remember(u"example.cz"_s, 21, a));
    QVERIFY(m_trust->remember(u"example.cz"_s, 990, b));
    QVERIFY(m_trust->remember(u"EXAMPLE.cz"_s, 21, c));
    QCOMPARE(m_trust->remembered(u"example.cz"_s, 21), std::optional(c));
    QCOMPARE(m_trust->remembered(u"example.cz"_s, 990), std::optional(b));
    QVERIFY(!m_trust->remembered(u"other.cz"_s, 21));
    QCOMPARE(CertificateTrust::fingerprintText(QByteArray::fromHex("0aff")), u"0A:FF"_s);
}

// The window's defaults keep the trust in the user's data folder, a test folder here.
void tst_FtpTls::windowUploadsATreeAfterTrusting()
{
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    QTemporaryDir local;
    const QMap<QString, QByteArray> files{{u"index.html"_s, "<HTML></HTML>\r\n"},
                                          {u"css/site.css"_s, "a {}"},
                                          {u"css/img/logo.gif"_s, QByteArray(70000, 'g')}};
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        const QString path = local.filePath(u"site/"_s + it.key());
        QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(it.value());
    }
    QVERIFY(QDir(m_root).mkpath(u"web"_s));
    ScriptedInteraction answers;
    answers.choice(0);
    TFTPForm form;
    fillForm(form);
    auto *protocol = form.findChild<QComboBox *>(u"ProtocolComboBox"_s);
    QVERIFY(protocol && protocol->currentText() == u"FTP"_s);
    protocol->setCurrentIndex(TFTPForm::FtpsProtocol);
    form.setHomeDirectory(local.filePath(u"site"_s));
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QLineEdit *>(u"HostDirEdit"_s)->setText(u"web"_s);
    form.findChild<QPushButton *>(u"CdButton"_s)->click();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();

    QVERIFY(answers.allAnswered());
    QVERIFY(answers.errors.isEmpty());
    QVERIFY(answers.questions.value(0).contains(u"Otisk SHA-256"_s));
    QVERIFY(CertificateTrust().remembered(u"127.0.0.1"_s, m_server.port()).has_value());
    const QString log = form.LogText();
    QVERIFY(log.contains(u"Šifrované spojení: TLS"_s));
    QVERIFY(!log.contains(u"s3cret-pw"_s));
    for (auto it = files.cbegin(); it != files.cend(); ++it) {
        QFile f(m_root + u"/web/"_s + it.key());
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(it.key()));
        QCOMPARE(f.readAll(), it.value());
    }
}

void tst_FtpTls::parallelSessionsUploadOverTls()
{
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    QVERIFY(QDir(m_root).mkpath(u"par"_s));
    std::vector<ParallelUpload::Job> jobs;
    for (int i = 0; i < 40; ++i) {
        const QString local = m_dir.filePath(u"par-%1.txt"_s.arg(i));
        QFile f(local);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::number(i).repeated(100 + i * 50));
        jobs.push_back({local, u"/par/%1.txt"_s.arg(i), u"%1.txt"_s.arg(i), f.size()});
    }
    ScriptedInteraction answers;
    answers.choice(0); // the first session asks; the others find the trust remembered
    ParallelUpload::Settings settings;
    settings.host = u"127.0.0.1"_s;
    settings.port = QString::number(m_server.port());
    settings.user = u"joe"_s;
    settings.password = u"s3cret-pw"_s;
    settings.tls = true;
    settings.timeoutMs = 10000;
    CertificateTrust *trust = m_trust.get();
    settings.certificateCheck = [trust, this](const QSslCertificate &c, const QList<QSslError> &e) {
        return trust->accept(u"127.0.0.1"_s, m_server.port(), c, e);
    };
    ParallelUpload upload(settings, jobs, 4);
    int stored = 0;
    QStringList log;
    connect(&upload, &ParallelUpload::fileLog, this, [&](const QStringList &lines) { log += lines; });
    connect(&upload, &ParallelUpload::fileDone, this, [&](const ParallelUpload::Job &, bool ok, const QByteArray &) {
        stored += ok ? 1 : 0;
    });
    upload.run();
    QCOMPARE(stored, 40);
    QCOMPARE(answers.questions.size(), 1);
    // Each session sets it after AUTH TLS and again after its login.
    QCOMPARE(log.filter(u"> PROT P"_s).size(), 8);
    for (const auto &job : jobs) {
        QFile local(job.local), remote(m_root + job.remote);
        QVERIFY(local.open(QIODevice::ReadOnly) && remote.open(QIODevice::ReadOnly));
        QCOMPARE(remote.readAll(), local.readAll());
    }
}

void tst_FtpTls::slowControlLineDoesNotBreakEncryptedData()
{
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    // The data connection stands long before the STOR reaches the server: its TLS
    // handshake must wait for the server's 150, or the server drops it.
    FtpRelay relay(m_server.port(), 150);
    ScriptedInteraction answers;
    answers.choice(0);
    auto client = newClient(relay.port());
    QVERIFY2(login(*client), qPrintable(m_display.join(u'\n')));
    for (int i = 0; i < 3; ++i) {
        const QByteArray content = QByteArray::number(i).repeated(50000 + i * 7777);
        const QString local = m_dir.filePath(u"relayed-%1.bin"_s.arg(i));
        QFile out(local);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        client->setHostFileName(u"relayed-%1.bin"_s.arg(i));
        client->setLocalFileName(local);
        QVERIFY2(client->PutSync(), qPrintable(m_display.join(u'\n')));
        QFile stored(m_root + u"/relayed-%1.bin"_s.arg(i));
        QVERIFY(stored.open(QIODevice::ReadOnly));
        QCOMPARE(stored.readAll(), content);
    }
}

void tst_FtpTls::everyByteArrivesAfterASecondConnect_data()
{
    QTest::addColumn<int>("sessions");
    QTest::newRow("one session") << 1;
    QTest::newRow("four sessions") << 4;
}

// "Připojit" on a live connection logs in again; the server then forgets PROT P and TYPE I.
void tst_FtpTls::everyByteArrivesAfterASecondConnect()
{
    QFETCH(int, sessions);
    if (!m_serverError.isEmpty())
        QFAIL(qPrintable(m_serverError)); // the set-up installs pyftpdlib and python3-openssl
    QTemporaryDir local;
    QByteArray content;
    for (int round = 0; round < 40; ++round) {
        for (int byte = 0; byte < 256; ++byte)
            content += char(byte);
        content += "\r\n\n\r\r\n";
    }
    const QString target = u"again%1"_s.arg(sessions);
    QVERIFY(QDir(m_root).mkpath(target));
    ScriptedInteraction answers;
    answers.choice(0);
    TFTPForm form;
    fillForm(form);
    form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->setCurrentIndex(TFTPForm::FtpsProtocol);
    form.findChild<QSpinBox *>(u"SessionsSpinEdit"_s)->setValue(sessions);
    form.setHomeDirectory(local.path());
    form.findChild<QLineEdit *>(u"HostDirEdit"_s)->setText(target);
    auto click = [&form](const QString &name) { form.findChild<QPushButton *>(name)->click(); };
    // An upload first: the session has its type and protection set then.
    QFile first(local.filePath(u"first.html"_s));
    QVERIFY(first.open(QIODevice::WriteOnly));
    first.write("first");
    first.close();
    click(u"ConnectButton"_s);
    click(u"CdButton"_s);
    click(u"UploadButton"_s);
    QFile out(local.filePath(u"every-byte.bin"_s));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();
    click(u"ConnectButton"_s);
    click(u"CdButton"_s);
    click(u"UploadButton"_s);
    QVERIFY2(answers.errors.isEmpty(), qPrintable(answers.errors.join(u'\n')));
    QFile stored(m_root + u'/' + target + u"/every-byte.bin"_s);
    QVERIFY2(stored.open(QIODevice::ReadOnly), qPrintable(form.LogText()));
    QCOMPARE(stored.readAll(), content);
}

BRISKO_TEST_MAIN(tst_FtpTls)
#include "tst_ftptls.moc"
