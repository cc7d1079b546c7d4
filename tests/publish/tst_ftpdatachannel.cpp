// The data side of an FTP session on its own, against a plain socket on 127.0.0.1 playing
// the server's data port: nothing leaves before the server took the transfer up, the file
// arrives whole, a stop cuts cleanly, and a listing comes down as it was sent. Over TLS,
// a peer that talks after the last record is not answered with a reset.
#include "publish/ContentHash.h"
#include "publish/FtpDataChannel.h"
#include "support/TestMain.h"

#include <QCryptographicHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

class tst_FtpDataChannel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void storeWaitsForTheServerThenArrivesWhole_data();
    void storeWaitsForTheServerThenArrivesWhole();
    void encryptedStoreEndsCleanlyWhenThePeerTalksLate_data();
    void encryptedStoreEndsCleanlyWhenThePeerTalksLate();
    void listingComesDownAsSent();
    void unopenableFileIsRefusedBeforeAnyConnection();
    void refusedConnectionCutsTheStore_data();
    void refusedConnectionCutsTheStore();
};

void tst_FtpDataChannel::storeWaitsForTheServerThenArrivesWhole_data()
{
    QTest::addColumn<qint64>("size");
    QTest::addColumn<qint64>("offset"); // an APPE sends the rest only
    QTest::addColumn<bool>("stop");     // stopped before the server took it up
    QTest::newRow("empty file") << qint64(0) << qint64(0) << false;
    QTest::newRow("several blocks") << qint64(3 * 1024 * 1024 + 17) << qint64(0) << false;
    QTest::newRow("the rest after an offset") << qint64(600 * 1024) << qint64(250 * 1024 + 3) << false;
    QTest::newRow("stopped before it was taken up") << qint64(64 * 1024) << qint64(0) << true;
}

void tst_FtpDataChannel::storeWaitsForTheServerThenArrivesWhole()
{
    QFETCH(qint64, size);
    QFETCH(qint64, offset);
    QFETCH(bool, stop);
    QTemporaryDir dir;
    QByteArray content(size, Qt::Uninitialized);
    for (qint64 i = 0; i < size; ++i)
        content[i] = char(QRandomGenerator::global()->bounded(256));
    const QString path = dir.filePath(u"page.bin"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    FtpDataChannel channel;
    ContentHash sent;
    channel.setSentDataHash(&sent);
    QSignalSpy finished(&channel, &FtpDataChannel::finished);
    QVERIFY(channel.begin(FtpDataChannel::Kind::Store, path, offset));
    channel.connectTo(QHostAddress::LocalHost, server.serverPort());
    QVERIFY(server.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    QTRY_VERIFY(channel.connected());
    // Connected, but the server has not answered the STOR yet: nothing may come.
    QTest::qWait(50);
    QCOMPARE(peer->bytesAvailable(), 0);
    if (stop) {
        // The connection stays until the server takes the transfer up: a server that saw it
        // end before reading the STOR would wait for another one.
        QVERIFY(!channel.stop());
        QTest::qWait(50);
        QCOMPARE(peer->state(), QAbstractSocket::ConnectedState);
        channel.accepted();
        QTRY_COMPARE(peer->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(peer->readAll(), QByteArray());
        QCOMPARE(finished.size(), 1);
        QCOMPARE(finished.first().first().toBool(), false);
        return;
    }
    channel.accepted();
    QByteArray received;
    connect(peer.get(), &QTcpSocket::readyRead, this, [&] { received += peer->readAll(); });
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 10000);
    QCOMPARE(finished.first().first().toBool(), true);
    QTRY_COMPARE(received.size() + peer->bytesAvailable(), size - offset);
    received += peer->readAll();
    QVERIFY(received == content.mid(offset));
    QCOMPARE(channel.byteCount(), size - offset);
    QCOMPARE(sent.result(), QCryptographicHash::hash(content.mid(offset), QCryptographicHash::Sha256));
}

void tst_FtpDataChannel::encryptedStoreEndsCleanlyWhenThePeerTalksLate_data()
{
    QTest::addColumn<qint64>("size");
    // All of it fits in the system's buffers before the peer reads: the channel is done
    // sending long before the peer talks.
    QTest::newRow("a small page") << qint64(10 * 1024 + 7);
    QTest::newRow("several blocks") << qint64(3 * 1024 * 1024 + 17);
}

// A reset from our side, drawn by bytes the server sends after our last record (its
// session tickets, say), throws away what the server has not read yet; pyftpdlib then
// still answers 226 for the cut file. The connection must end cleanly instead.
void tst_FtpDataChannel::encryptedStoreEndsCleanlyWhenThePeerTalksLate()
{
    QFETCH(qint64, size);
    if (!QSslSocket::supportsSsl())
        QSKIP("no TLS in this Qt");
    QTemporaryDir dir;
    QByteArray content(size, '\0');
    QRandomGenerator(quint32(size)).fillRange(reinterpret_cast<quint32 *>(content.data()), size / 4);
    const QString path = dir.filePath(u"page.bin"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
    file.close();

    const QString certificateFile = dir.filePath(u"peer.pem"_s);
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(u"/usr/bin/python3"_s, {QStringLiteral(BRISKO_TLSPEER_SCRIPT), certificateFile, u"1.0"_s});
    QTRY_VERIFY_WITH_TIMEOUT(peer.canReadLine(), 20000);
    const QByteArray portLine = peer.readLine().trimmed();
    QVERIFY2(portLine.startsWith("PORT "), portLine.constData());
    const QList<QSslCertificate> certificates = QSslCertificate::fromPath(certificateFile);
    QVERIFY(!certificates.isEmpty());

    FtpDataChannel channel;
    QSignalSpy finished(&channel, &FtpDataChannel::finished);
    QVERIFY(channel.begin(FtpDataChannel::Kind::Store, path, 0));
    channel.setEncryption(QSslConfiguration::defaultConfiguration(), u"localhost"_s, certificates.first());
    channel.connectTo(QHostAddress::LocalHost, quint16(portLine.mid(5).toUInt()));
    channel.accepted();
    QTRY_COMPARE_WITH_TIMEOUT(finished.size(), 1, 20000);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(channel.byteCount(), size);
    QTRY_VERIFY_WITH_TIMEOUT(peer.canReadLine(), 20000);
    const QByteArray expected = "RECEIVED " + QByteArray::number(size) + ' '
                                + QCryptographicHash::hash(content, QCryptographicHash::Sha256).toHex() + " clean";
    QCOMPARE(peer.readLine().trimmed(), expected);
    QTRY_COMPARE_WITH_TIMEOUT(peer.state(), QProcess::NotRunning, 5000);
}

void tst_FtpDataChannel::listingComesDownAsSent()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    FtpDataChannel channel;
    QSignalSpy finished(&channel, &FtpDataChannel::finished);
    QVERIFY(channel.begin(FtpDataChannel::Kind::Listing, {}, 0));
    channel.connectTo(QHostAddress::LocalHost, server.serverPort());
    QVERIFY(server.waitForNewConnection(5000));
    std::unique_ptr<QTcpSocket> peer(server.nextPendingConnection());
    const QByteArray listing = "type=file;size=3; a.html\r\ntype=dir; sub\r\n";
    channel.accepted();
    peer->write(listing.left(10));
    peer->flush();
    QTRY_COMPARE(channel.byteCount(), 10);
    peer->write(listing.mid(10));
    peer->disconnectFromHost();
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), true);
    QCOMPARE(channel.listing(), listing);
}

void tst_FtpDataChannel::unopenableFileIsRefusedBeforeAnyConnection()
{
    QTemporaryDir dir;
    FtpDataChannel channel;
    QVERIFY(!channel.begin(FtpDataChannel::Kind::Store, dir.filePath(u"missing.html"_s), 0));
    QVERIFY(channel.errorText().startsWith(u"Unable to open local file "_s));
    QVERIFY(!channel.begin(FtpDataChannel::Kind::NameList, dir.filePath(u"no/such/dir/list.txt"_s), 0));
}

void tst_FtpDataChannel::refusedConnectionCutsTheStore_data()
{
    QTest::addColumn<bool>("takenUp"); // the server's 150 came before the failure was seen
    QTest::newRow("before the server took it up") << false;
    QTest::newRow("after") << true;
}

// Nobody listens at the port: the data side says so once, ends as cut, and sends nothing.
void tst_FtpDataChannel::refusedConnectionCutsTheStore()
{
    QFETCH(bool, takenUp);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QByteArray(10 * 1024, 'p'));
    file.close();
    quint16 port = 0;
    {
        QTcpServer gone;
        QVERIFY(gone.listen(QHostAddress::LocalHost));
        port = gone.serverPort();
    }
    FtpDataChannel channel;
    QSignalSpy finished(&channel, &FtpDataChannel::finished);
    QStringList shown;
    connect(&channel, &FtpDataChannel::display, this, [&](const QString &line) { shown << line; });
    QVERIFY(channel.begin(FtpDataChannel::Kind::Store, path, 0));
    if (takenUp)
        channel.accepted();
    channel.connectTo(QHostAddress::LocalHost, port);
    QTRY_COMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(shown, QStringList{u"Data: Receive error 10061"_s});
    QVERIFY(!channel.connected());
    QCOMPARE(channel.byteCount(), 0);
    channel.accepted(); // a late 150 changes nothing
    QCOMPARE(finished.size(), 1);
}

BRISKO_TEST_MAIN(tst_FtpDataChannel)
#include "tst_ftpdatachannel.moc"
