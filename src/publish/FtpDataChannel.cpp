#include "publish/FtpDataChannel.h"

#include "markup/TextFile.h"
#include "publish/ContentHash.h"

#include <QScopedValueRollback>
#include <QSocketNotifier>
#include <QSslSocket>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

int ftpSocketErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::RemoteHostClosedError: return 10054;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::NetworkError: return 10050;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10045;
    default: return 10000 + int(error) + 100;
    }
}

namespace {

// A socket hands the system one block per wake-up: 1 KiB blocks cost a trip through the
// event loop for every kilobyte. And the server reads only what the system holds for it:
// with one block waiting at a time, every moment this process waits for the processor
// (a loaded machine) the server starves. So several blocks wait, enough to keep the
// system's send buffer full meanwhile. But memory touched for the first time costs the
// system a page fault per page, which on a virtual machine costs more than encrypting the
// page: the file is read into one buffer used again and again, and the blocks and the
// queue stay small enough that the socket's own buffers (and the encrypted copies of an
// encrypted socket) reuse their memory too.
constexpr qint64 StoreBlockSize = 64 * 1024;
constexpr qint64 StoreQueueLimit = 512 * 1024;

QString decodeListingLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? Cp1250::decode(bytes) : text;
}

// The same machine, whether an address came as IPv4 or as IPv4 mapped into IPv6.
bool sameDataHost(const QHostAddress &a, const QHostAddress &b)
{
    bool aV4 = false, bV4 = false;
    const quint32 a4 = a.toIPv4Address(&aV4);
    const quint32 b4 = b.toIPv4Address(&bV4);
    if (aV4 && bV4)
        return a4 == b4;
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

} // namespace

FtpDataChannel::FtpDataChannel(QObject *parent) : QObject(parent)
{
    m_closeTimer.setInterval(10);
    connect(&m_closeTimer, &QTimer::timeout, this, &FtpDataChannel::closeWhenSent);
}

FtpDataChannel::~FtpDataChannel()
{
    blockSignals(true);
    close();
}

bool FtpDataChannel::begin(Kind kind, const QString &localFile, qint64 offset)
{
    close();
    m_kind = kind;
    m_byteCount = 0;
    m_connected = false;
    m_accepted = false;
    m_stopped = false;
    m_sourceExhausted = false;
    m_sourceFailed = false;
    m_partialLine.clear();
    m_listing.clear();
    m_errorText.clear();
    m_clock.invalidate();
    m_file.setFileName(localFile);
    bool opened = true;
    if (kind == Kind::Store) {
        opened = m_file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && (offset <= 0 || m_file.seek(offset));
        m_fileLeft = opened ? std::max<qint64>(0, m_file.size() - std::max<qint64>(0, offset)) : 0;
    }
    else if (kind == Kind::NameList)
        opened = m_file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    if (!opened) {
        m_file.close();
        m_errorText = u"Unable to open local file "_s + localFile;
        return false;
    }
    if (m_sentHash)
        m_sentHash->reset();
    return true;
}

void FtpDataChannel::setEncryption(const QSslConfiguration &configuration, const QString &peerName,
                                   const QSslCertificate &serverCertificate)
{
    m_tls = true;
    m_tlsConfiguration = configuration;
    m_peerName = peerName;
    m_serverCertificate = serverCertificate;
}

// The connection goes to the server the control connection talks to; the address in a
// PASV reply is often a private one behind the server's router.
void FtpDataChannel::connectTo(const QHostAddress &server, quint16 port)
{
    m_server = server;
    if (!m_tls && m_kind == Kind::Store && connectDirect(server, port))
        return;
    if (m_tls) {
        // The TLS handshake waits for the server's 125 or 150: a server that has not yet
        // read the STOR does not expect one and drops the connection.
        auto *socket = new QSslSocket(this);
        attach(socket);
        prepareEncryption(socket);
        connect(socket, &QTcpSocket::connected, this, &FtpDataChannel::maybeStartEncryption);
        socket->connectToHost(server, port);
    } else {
        auto *socket = new QTcpSocket(this);
        attach(socket);
        connect(socket, &QTcpSocket::connected, this, &FtpDataChannel::onConnected);
        socket->connectToHost(server, port);
    }
}

quint16 FtpDataChannel::listen(const QHostAddress &local, const QHostAddress &server)
{
    m_server = server;
    m_listener = new QTcpServer(this);
    connect(m_listener, &QTcpServer::newConnection, this, &FtpDataChannel::onAccepted);
    // Only the address the server reaches us at listens, not every interface of the machine.
    QHostAddress address = local;
    if (address.protocol() != QAbstractSocket::IPv4Protocol) {
        bool isV4 = false;
        const QHostAddress mapped(address.toIPv4Address(&isV4));
        address = isV4 ? mapped : QHostAddress(QHostAddress::AnyIPv4);
    }
    if (!m_listener->listen(address, 0)) {
        m_errorText = u"500 "_s + m_listener->errorString();
        close();
        return 0;
    }
    return m_listener->serverPort();
}

void FtpDataChannel::accepted()
{
    m_accepted = true;
    if (m_stopped) {
        // Stopped before the server took the connection up; now it has, and the close ends
        // the transfer on both sides. One still being made is cut as soon as it stands.
        if ((m_socket && m_socket->state() == QAbstractSocket::ConnectedState) || (m_direct >= 0 && m_connected))
            cut();
        return;
    }
    if (m_direct >= 0) {
        if (m_connected)
            sendDirect();
    } else if (m_tls)
        maybeStartEncryption();
    else if (m_kind == Kind::Store && m_connected)
        sendNextBlocks();
}

bool FtpDataChannel::restart()
{
    if (m_connected || m_stopped)
        return false;
    if (m_file.isOpen() && !m_file.seek(0))
        return false;
    dropListener();
    m_byteCount = 0;
    m_accepted = false;
    m_sourceExhausted = false;
    if (m_sentHash)
        m_sentHash->reset();
    return true;
}

bool FtpDataChannel::stop()
{
    m_stopped = true;
    // A passive connection stays until the server has taken the transfer up (125 or 150),
    // and is cut then, so the server is not left waiting for it: a server that sees the
    // connection end before it read the STOR drops it and waits for another one until the
    // session times out.
    if (m_socket && !m_listener && (m_socket->state() != QAbstractSocket::ConnectedState || !m_accepted))
        return false;
    if (m_direct >= 0 && (!m_connected || !m_accepted))
        return false;
    close();
    return true;
}

void FtpDataChannel::dropListener()
{
    if (m_listener) {
        m_listener->disconnect(this);
        m_listener->close();
        m_listener->deleteLater();
        m_listener = nullptr;
    }
}

void FtpDataChannel::close()
{
    m_closeTimer.stop();
    dropListener();
    dropHalfClosed();
    closeDirect();
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->abort();
        m_socket->deleteLater();
        m_socket = nullptr;
    }
    m_file.close();
}

// Closed before its data could end: the control side learns the data side is done.
void FtpDataChannel::cut()
{
    close();
    Q_EMIT finished(false);
}

void FtpDataChannel::onAccepted()
{
    if (!m_listener)
        return;
    QTcpSocket *socket = m_listener->nextPendingConnection();
    if (!socket)
        return;
    // The data connection must come from the server: anyone else who found the port
    // would otherwise receive the file, or a listing of someone else's making.
    if (!sameDataHost(socket->peerAddress(), m_server)) {
        Q_EMIT display(u"Data: spojení z cizí adresy %1 odmítnuto"_s.arg(socket->peerAddress().toString()));
        socket->abort();
        socket->deleteLater();
        return;
    }
    // The listener goes now; the socket it handed over must not go with it.
    socket->setParent(this);
    dropListener();
    attach(socket);
    onConnected();
}

void FtpDataChannel::attach(QTcpSocket *socket)
{
    m_socket = socket;
    connect(socket, &QTcpSocket::readyRead, this, &FtpDataChannel::onReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &FtpDataChannel::onBytesWritten);
    connect(socket, &QTcpSocket::disconnected, this, &FtpDataChannel::onDisconnected);
    connect(socket, &QTcpSocket::errorOccurred, this, &FtpDataChannel::onError);
}

void FtpDataChannel::prepareEncryption(QSslSocket *socket)
{
    QSslConfiguration configuration = m_tlsConfiguration;
    // The control connection has checked the server; the data connection must show the
    // very same certificate, which onEncrypted compares.
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    socket->setSslConfiguration(configuration);
    socket->setPeerVerifyName(m_peerName);
    connect(socket, &QSslSocket::encrypted, this, &FtpDataChannel::onEncrypted);
    m_ticket = false;
    // Both come from inside OpenSSL's own calls; the close runs after they have returned.
    connect(socket, &QSslSocket::newSessionTicketReceived, this, [this] {
        m_ticket = true;
        if (m_sourceExhausted)
            QMetaObject::invokeMethod(this, &FtpDataChannel::closeWhenSent, Qt::QueuedConnection);
    });
    connect(socket, &QSslSocket::encryptedBytesWritten, this, [this] {
        // The next block goes once the encrypted ones have room; the close once all are out.
        QMetaObject::invokeMethod(this, m_sourceExhausted ? &FtpDataChannel::closeWhenSent : &FtpDataChannel::sendNextBlocks,
                                  Qt::QueuedConnection);
    });
    m_handshakeStarted = false;
}

// Once the connection stands and the server has accepted the transfer, not before.
void FtpDataChannel::maybeStartEncryption()
{
    auto *socket = qobject_cast<QSslSocket *>(m_socket.data());
    if (!socket || m_handshakeStarted || !m_accepted || socket->state() != QAbstractSocket::ConnectedState)
        return;
    if (m_stopped) {
        cut();
        return;
    }
    m_handshakeStarted = true;
    Q_EMIT activity();
    socket->startClientEncryption();
}

void FtpDataChannel::onEncrypted()
{
    auto *socket = qobject_cast<QSslSocket *>(m_socket.data());
    if (!socket || sender() != socket)
        return;
    if (socket->peerCertificate() != m_serverCertificate) {
        Q_EMIT display(u"Data: certifikát datového spojení se liší od certifikátu serveru"_s);
        cut();
        return;
    }
    onConnected();
}

void FtpDataChannel::onConnected()
{
    if (m_stopped) {
        if (m_accepted)
            cut();
        return;
    }
    m_connected = true;
    m_clock.start();
    Q_EMIT activity();
    // Servers may connect as soon as PORT arrives, before STOR; what is sent before the
    // server has accepted the STOR is lost, so the data waits for its 125 or 150.
    if (m_kind == Kind::Store && m_accepted)
        sendNextBlocks();
}

void FtpDataChannel::sendNextBlocks()
{
    // Nothing goes before the server took the transfer up and the connection stands
    // (encrypted, with the server's own certificate).
    // Listings send nothing: their handshake's signals must not close them.
    if (!m_connected || !m_accepted || m_kind != Kind::Store)
        return;
    while (m_socket && !m_sourceExhausted && queuedBytes() < StoreQueueLimit) {
        if (m_block.size() != StoreBlockSize)
            m_block.resize(StoreBlockSize);
        const qint64 got = m_file.read(m_block.data(), StoreBlockSize);
        if (got <= 0) {
            if (got < 0 || m_file.error() != QFileDevice::NoError || m_fileLeft > 0)
                sourceReadFailed();
            m_sourceExhausted = true;
            m_file.close();
            m_closeClock.invalidate();
            closeWhenSent();
            return;
        }
        m_fileLeft -= got; // below zero when the file grew: then all of it goes
        const QByteArrayView block(m_block.constData(), got);
        if (m_sentHash)
            m_sentHash->addData(block);
        m_socket->write(block.data(), block.size());
    }
}

// What waits to leave: an encrypted socket reports its plain text as written once it is
// encrypted, so what waits encrypted counts too, or the whole file would pile up in memory.
qint64 FtpDataChannel::queuedBytes() const
{
    const auto *secure = qobject_cast<const QSslSocket *>(m_socket.data());
    return m_socket->bytesToWrite() + (secure ? secure->encryptedBytesToWrite() : 0);
}

void FtpDataChannel::onBytesWritten(qint64 bytes)
{
    const QScopedValueRollback reporting(m_reportingWritten, true);
    m_byteCount += bytes;
    Q_EMIT activity();
    Q_EMIT progress(m_byteCount);
    if (m_sourceExhausted)
        closeWhenSent();
    else
        sendNextBlocks();
}

// The end of the data is the closing of its connection: a TLS connection closed while
// records still wait to leave would cut the file short, so it closes once all are out.
// A TLS 1.3 server may send session tickets (or anything else) after our last record;
// arriving at a closed socket they draw a reset from our side, and the reset throws away
// whatever of the file the server had not read yet, which the server then takes for a
// whole file. So the connection stays open for reading past the close: our side sends its
// close_notify and the end of the stream, and reads whatever comes until the server ends
// the connection. Where that cannot be done, the close waits for the tickets, or a moment.
void FtpDataChannel::closeWhenSent()
{
    if (!m_socket || !m_sourceExhausted) {
        m_closeTimer.stop();
        return;
    }
    if (auto *secure = qobject_cast<QSslSocket *>(m_socket.data())) {
        if (!m_closeClock.isValid())
            m_closeClock.start();
        const bool waiting = secure->bytesToWrite() > 0 || secure->encryptedBytesToWrite() > 0
                             || (!keepOpenPastClose(secure) && secure->sessionProtocol() == QSsl::TlsV1_3
                                 && !m_ticket && m_closeClock.elapsed() < TicketWaitMs);
        if (waiting) {
            // Looked at again shortly, whatever signal may or may not come.
            if (!m_closeTimer.isActive())
                m_closeTimer.start();
            return;
        }
    }
    m_closeTimer.stop();
    m_closeClock.invalidate();
    if (m_socket->bytesToWrite() > 0 && !m_reportingWritten) {
        // The last bytes go now and the end of the data right after them: the server
        // answers the transfer only once it has seen that end. Not while the socket reports
        // written bytes: what it wrote then would never be reported. Whatever the flush
        // reports may end the connection from inside it.
        m_socket->flush();
        if (!m_socket || !m_sourceExhausted)
            return;
    }
    if (m_socket->state() == QAbstractSocket::ConnectedState)
        m_socket->disconnectFromHost();
}

// A second descriptor of the connection outlives the socket's own close, so the system
// neither ends nor resets the connection when the socket lets go of it. Asked only once
// everything has left the socket.
bool FtpDataChannel::keepOpenPastClose(QSslSocket *socket)
{
#ifdef Q_OS_UNIX
    if (m_halfClosed < 0 && socket->socketDescriptor() >= 0)
        m_halfClosed = ::dup(int(socket->socketDescriptor()));
    m_halfClosePending = m_halfClosed >= 0;
    return m_halfClosePending;
#else
    Q_UNUSED(socket);
    return false;
#endif
}

// The socket has handed everything to the system and let go: the end of the stream
// follows the last record, and what the server still sends is read and dropped.
void FtpDataChannel::halfClose()
{
#ifdef Q_OS_UNIX
    m_halfClosePending = false;
    if (m_halfClosed < 0 || ::shutdown(int(m_halfClosed), SHUT_WR) != 0) {
        dropHalfClosed();
        return;
    }
    m_drain = new QSocketNotifier(m_halfClosed, QSocketNotifier::Read, this);
    connect(m_drain, &QSocketNotifier::activated, this, &FtpDataChannel::drainHalfClosed);
    drainHalfClosed();
#endif
}

void FtpDataChannel::drainHalfClosed()
{
#ifdef Q_OS_UNIX
    char bytes[16 * 1024];
    for (;;) {
        const ssize_t got = ::recv(int(m_halfClosed), bytes, sizeof bytes, MSG_DONTWAIT);
        if (got > 0)
            continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            return; // more may come
        dropHalfClosed(); // the server has ended the connection, or reset it
        return;
    }
#endif
}

namespace {

// A descriptor of the data side's own and the notifier watching it, both let go.
void releaseWatchedDescriptor(QSocketNotifier *&notifier, qintptr &descriptor)
{
    if (notifier) {
        // It may be the notifier whose signal runs now.
        notifier->setEnabled(false);
        notifier->deleteLater();
        notifier = nullptr;
    }
#ifdef Q_OS_UNIX
    if (descriptor >= 0)
        ::close(int(descriptor));
#endif
    descriptor = -1;
}

} // namespace

void FtpDataChannel::dropHalfClosed()
{
    m_halfClosePending = false;
    releaseWatchedDescriptor(m_drain, m_halfClosed);
}

void FtpDataChannel::onReadyRead()
{
    if (!m_socket)
        return;
    Q_EMIT activity();
    const QByteArray block = m_socket->readAll();
    if (m_kind == Kind::Listing) {
        m_byteCount += block.size();
        m_listing += block;
        return;
    }
    if (m_kind != Kind::NameList || !m_file.isOpen())
        return; // whatever the server sends during a STOR is dropped
    m_byteCount += block.size();
    if (m_file.write(block) != block.size()) {
        Q_EMIT display(u"Error writing local file"_s);
        m_socket->abort();
        return;
    }
    if (m_displayLines)
        displayLines(block, false);
}

void FtpDataChannel::displayLines(const QByteArray &block, bool flush)
{
    // A name split between two blocks is shown once, whole.
    QByteArray text = m_partialLine + block;
    m_partialLine.clear();
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        const bool atEnd = i == text.size();
        if (!atEnd && text[i] != '\r' && text[i] != '\n')
            continue;
        if (atEnd && !flush) {
            m_partialLine = text.mid(start);
            break;
        }
        if (i > start)
            Q_EMIT display(u"Data: "_s + decodeListingLine(QByteArrayView(text).sliced(start, i - start)));
        start = i + 1;
    }
}

void FtpDataChannel::onDisconnected()
{
    if (!m_socket)
        return;
    if (m_socket->bytesAvailable() > 0)
        onReadyRead();
    if (m_kind == Kind::NameList && m_displayLines)
        displayLines({}, true);
    m_file.close();
    m_socket->disconnect(this);
    m_socket->deleteLater();
    m_socket = nullptr;
    if (m_halfClosePending)
        halfClose();
    Q_EMIT finished(true);
}

void FtpDataChannel::onError(QAbstractSocket::SocketError error)
{
    if (!m_socket || error == QAbstractSocket::RemoteHostClosedError)
        return; // the end of the data, not a failure
    Q_EMIT display(u"Data: Receive error "_s + QString::number(ftpSocketErrorNumber(error)));
    if (!m_connected) {
        // A passive connection that cannot be made: the server gets no data and answers.
        cut();
        return;
    }
    m_socket->abort();
}

// ---------------------------------------------------------------------------------------
// A plain passive store over a descriptor of its own

namespace {

QAbstractSocket::SocketError directSocketError(int error)
{
#ifdef Q_OS_UNIX
    switch (error) {
    case ECONNREFUSED: return QAbstractSocket::ConnectionRefusedError;
    case ECONNRESET:
    case EPIPE: return QAbstractSocket::RemoteHostClosedError;
    case ETIMEDOUT: return QAbstractSocket::SocketTimeoutError;
    case ENETUNREACH:
    case EHOSTUNREACH:
    case ENETDOWN: return QAbstractSocket::NetworkError;
    case EADDRNOTAVAIL: return QAbstractSocket::SocketAddressNotAvailableError;
    case EACCES:
    case EPERM: return QAbstractSocket::SocketAccessError;
    case ENOBUFS:
    case ENOMEM:
    case EMFILE:
    case ENFILE: return QAbstractSocket::SocketResourceError;
    default: break;
    }
#else
    Q_UNUSED(error);
#endif
    return QAbstractSocket::UnknownSocketError;
}

} // namespace

// False leaves the connection to a QTcpSocket (an address the system call cannot take, a
// descriptor that cannot be had).
bool FtpDataChannel::connectDirect(const QHostAddress &server, quint16 port)
{
#ifdef Q_OS_UNIX
    sockaddr_storage address{};
    socklen_t length = 0;
    bool v4 = false;
    const quint32 ip4 = server.toIPv4Address(&v4);
    if (v4) {
        auto *a = reinterpret_cast<sockaddr_in *>(&address);
        a->sin_family = AF_INET;
        a->sin_port = htons(port);
        a->sin_addr.s_addr = htonl(ip4);
        length = sizeof(sockaddr_in);
    } else if (server.protocol() == QAbstractSocket::IPv6Protocol && server.scopeId().isEmpty()) {
        auto *a = reinterpret_cast<sockaddr_in6 *>(&address);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(port);
        const Q_IPV6ADDR ip6 = server.toIPv6Address();
        memcpy(a->sin6_addr.s6_addr, ip6.c, sizeof ip6.c);
        length = sizeof(sockaddr_in6);
    } else {
        return false;
    }
    const int fd = ::socket(address.ss_family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    m_direct = fd;
    m_pendingFrom = m_pendingTo = 0;
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), length) != 0 && errno != EINPROGRESS) {
        directFailed(errno);
        return true;
    }
    // On the same machine, and often over a fast network, the connection stands before
    // connect returns: no notifier, no turn of the event loop.
    pollfd check{fd, POLLOUT, 0};
    if (::poll(&check, 1, 0) == 1 && check.revents == POLLOUT) {
        directConnected();
        return true;
    }
    m_directWaker = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    connect(m_directWaker, &QSocketNotifier::activated, this, [this] {
        if (!m_connected)
            directConnected();
        else
            sendDirect();
    });
    return true;
#else
    Q_UNUSED(server);
    Q_UNUSED(port);
    return false;
#endif
}

void FtpDataChannel::directConnected()
{
#ifdef Q_OS_UNIX
    if (m_directWaker) {
        int error = 0;
        socklen_t length = sizeof error;
        if (::getsockopt(int(m_direct), SOL_SOCKET, SO_ERROR, &error, &length) != 0)
            error = errno;
        if (error == EINPROGRESS || error == EALREADY)
            return;
        if (error != 0) {
            directFailed(error);
            return;
        }
        // Wanted again only when the system's buffer is full.
        m_directWaker->setEnabled(false);
    }
#endif
    m_connected = true;
    if (m_stopped) {
        // Stopped meanwhile: cut once the server has taken the transfer up, not before.
        if (m_accepted)
            cut();
        return;
    }
    m_clock.start();
    Q_EMIT activity();
    if (m_accepted)
        sendDirect();
}

// As much as the system takes now; the rest once it has room again.
void FtpDataChannel::sendDirect()
{
#ifdef Q_OS_UNIX
    if (m_direct < 0 || !m_connected || !m_accepted)
        return;
    const qint64 before = m_byteCount;
    auto waitForRoom = [this] {
        if (!m_directWaker) {
            m_directWaker = new QSocketNotifier(m_direct, QSocketNotifier::Write, this);
            connect(m_directWaker, &QSocketNotifier::activated, this, &FtpDataChannel::sendDirect);
        } else {
            m_directWaker->setEnabled(true);
        }
    };
    for (;;) {
        if (m_pendingFrom == m_pendingTo) {
            if (m_sourceExhausted)
                break;
            // A server that reads as fast as this side sends would keep the loop here for
            // the whole file: the window, its progress and its stop button wait their turn.
            if (m_byteCount - before >= StoreQueueLimit) {
                waitForRoom();
                break;
            }
            if (m_block.size() != StoreBlockSize)
                m_block.resize(StoreBlockSize);
            // The file as long as it was when opened: a small file is one read, not a
            // second one to find its end.
            const qint64 want = std::min(m_fileLeft, StoreBlockSize);
            const qint64 got = want > 0 ? ::read(m_file.handle(), m_block.data(), size_t(want)) : 0;
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0) {
                if (want > 0)
                    sourceReadFailed();
                m_sourceExhausted = true;
                m_file.close();
                break;
            }
            m_fileLeft -= got;
            if (m_sentHash)
                m_sentHash->addData(QByteArrayView(m_block.constData(), got));
            m_pendingFrom = 0;
            m_pendingTo = got;
            if (m_fileLeft == 0) {
                m_sourceExhausted = true;
                m_file.close();
            }
        }
        const ssize_t sent = ::send(int(m_direct), m_block.constData() + m_pendingFrom,
                                    size_t(m_pendingTo - m_pendingFrom), MSG_NOSIGNAL);
        if (sent < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) {
                waitForRoom();
                break;
            }
            directFailed(errno);
            return;
        }
        m_pendingFrom += sent;
        m_byteCount += sent;
    }
    if (m_byteCount != before) {
        Q_EMIT activity();
        Q_EMIT progress(m_byteCount);
    }
    if (m_direct < 0 || !m_sourceExhausted || m_pendingFrom != m_pendingTo)
        return;
    // Everything is with the system, which sends it and the end of the stream after it.
    closeDirect();
    Q_EMIT finished(true);
#endif
}

void FtpDataChannel::sourceReadFailed()
{
    Q_EMIT display(u"Error reading file"_s);
    m_sourceFailed = true;
}

void FtpDataChannel::directFailed(int error)
{
    Q_EMIT display(u"Data: Receive error "_s + QString::number(ftpSocketErrorNumber(directSocketError(error))));
    cut();
}

void FtpDataChannel::closeDirect()
{
    releaseWatchedDescriptor(m_directWaker, m_direct);
}
