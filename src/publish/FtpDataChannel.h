#pragma once

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QFile>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>

class ContentHash;
class QSocketNotifier;
class QSslSocket;
class QTcpServer;
class QTcpSocket;

// Socket errors as the numbers users of FTP clients know from the Windows socket layer.
int ftpSocketErrorNumber(QAbstractSocket::SocketError error);

// The data side of an FTP session, one transfer at a time: the connection made to the
// server (passive) or taken from it on a port listened on here (active, the server's
// address only), TLS on it when the control connection has it, and what travels: a local
// file going up, or names and listings coming down. The control side says when the server
// has taken the transfer up; nothing is sent, and no handshake starts, before.
class FtpDataChannel : public QObject
{
    Q_OBJECT

public:
    enum class Kind { Store, NameList, Listing };

    explicit FtpDataChannel(QObject *parent = nullptr);
    ~FtpDataChannel() override;

    // A new transfer: the local file to send (from offset on) or to write the names into;
    // false when it cannot be opened, with the text in errorText().
    bool begin(Kind kind, const QString &localFile, qint64 offset);
    QString errorText() const { return m_errorText; }
    // Names coming down are shown line by line as well.
    void setDisplayLines(bool display) { m_displayLines = display; }
    // Every block sent also goes into this hash (not owned; null for none).
    void setSentDataHash(ContentHash *hash) { m_sentHash = hash; }
    // Encrypted like the control connection, and showing the server's very certificate.
    void setEncryption(const QSslConfiguration &configuration, const QString &peerName,
                       const QSslCertificate &serverCertificate);
    void setPlain() { m_tls = false; }

    // Passive: the connection goes to the server.
    void connectTo(const QHostAddress &server, quint16 port);
    // Active: the port the server is to connect to, on the local address only; a
    // connection from elsewhere is closed and logged. 0 when nothing could listen.
    quint16 listen(const QHostAddress &local, const QHostAddress &server);
    // The server has taken the transfer up (125 or 150): the handshake and the data go.
    void accepted();
    // Active mode refused: the listener goes, the file goes back to its first byte.
    bool restart();
    // The transfer is stopped: true when the data side is closed now, false when a
    // passive connection is closed once it stands and the server has taken it up.
    bool stop();
    // Everything closed, nothing reported.
    void close();

    bool connected() const { return m_connected; }
    qint64 byteCount() const { return m_byteCount; }
    qint64 elapsedMs() const { return m_clock.isValid() ? m_clock.elapsed() : 0; }
    QByteArray listing() const { return m_listing; }
    // The local file could not be read to the end it had when the store began (a read
    // error, or it was cut shorter meanwhile): what the server got is not the file,
    // whatever the server says of it.
    bool sourceFailed() const { return m_sourceFailed; }

Q_SIGNALS:
    void display(const QString &line);
    // Data moved: the server is not silent.
    void activity();
    // Bytes of the file sent so far.
    void progress(qint64 bytes);
    // The data connection is over: complete when it closed at the end of the data, not
    // when it was cut or never stood.
    void finished(bool complete);

private:
    void attach(QTcpSocket *socket);
    void prepareEncryption(QSslSocket *socket);
    void maybeStartEncryption();
    void onEncrypted();
    void onAccepted();
    void onConnected();
    void onReadyRead();
    void onBytesWritten(qint64 bytes);
    void onDisconnected();
    void onError(QAbstractSocket::SocketError error);
    void sendNextBlocks();
    qint64 queuedBytes() const;
    void closeWhenSent();
    bool keepOpenPastClose(QSslSocket *socket);
    void halfClose();
    void drainHalfClosed();
    void dropHalfClosed();
    void displayLines(const QByteArray &block, bool flush);
    void cut();
    void dropListener();
    bool connectDirect(const QHostAddress &server, quint16 port);
    void directConnected();
    void sendDirect();
    void directFailed(int error);
    void sourceReadFailed();
    void closeDirect();

    Kind m_kind = Kind::Store;
    QTcpServer *m_listener = nullptr;
    QHostAddress m_server;
    QPointer<QTcpSocket> m_socket;
    QFile m_file;
    QByteArray m_block; // what the file's next block is read into, the same memory each time
    QString m_errorText;
    QByteArray m_listing;
    QByteArray m_partialLine;
    ContentHash *m_sentHash = nullptr;
    bool m_displayLines = false;
    bool m_connected = false;
    bool m_accepted = false;
    bool m_stopped = false;
    bool m_sourceExhausted = false;
    bool m_sourceFailed = false;
    bool m_reportingWritten = false; // inside the socket's report of bytes written
    qint64 m_byteCount = 0;
    QElapsedTimer m_clock;

    bool m_tls = false;
    QSslConfiguration m_tlsConfiguration;
    QString m_peerName;
    QSslCertificate m_serverCertificate;
    bool m_handshakeStarted = false;
    bool m_ticket = false;
    static constexpr int TicketWaitMs = 300;
    QTimer m_closeTimer;
    QElapsedTimer m_closeClock;
    // A closed TLS data connection, kept open for reading only until the server ends it.
    qintptr m_halfClosed = -1;
    bool m_halfClosePending = false;
    QSocketNotifier *m_drain = nullptr;

    // A plain passive store goes over a descriptor of its own, not a QTcpSocket: each of
    // those costs the event loop several turns (its notifiers coming and going) and a
    // dozen system calls more per file, which for small files is more than the file's
    // own. A notifier is made only when the system cannot take the data at once.
    qintptr m_direct = -1;
    QSocketNotifier *m_directWaker = nullptr;
    qint64 m_pendingFrom = 0, m_pendingTo = 0; // what of m_block still waits to leave
    qint64 m_fileLeft = 0;                      // bytes the file had left when it was opened
};
