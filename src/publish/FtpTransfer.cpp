// The data-connection half of TFtpClient: STOR and NLST in active and passive mode.
#include "publish/FtpClient.h"

#include "markup/TextFile.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>

using namespace Qt::StringLiterals;

namespace {

// A socket hands the system one block per wake-up: 1 KiB blocks cost a trip through the
// event loop for every kilobyte. And the server reads only what the system holds for it:
// with one block waiting at a time, every moment this process waits for the processor
// (a loaded machine) the server starves. So several blocks wait, enough to keep the
// system's send buffer full meanwhile.
constexpr qint64 StoreBlockSize = 256 * 1024;
constexpr qint64 StoreQueueLimit = 1024 * 1024;

QString decodeListingLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    return utf8.hasError() ? Cp1250::decode(bytes) : text;
}

// The same machine, whether an address came as IPv4 or as IPv4 mapped into IPv6.
bool sameHost(const QHostAddress &a, const QHostAddress &b)
{
    bool aV4 = false, bV4 = false;
    const quint32 a4 = a.toIPv4Address(&aV4);
    const quint32 b4 = b.toIPv4Address(&bV4);
    if (aV4 && bV4)
        return a4 == b4;
    return a.isEqual(b, QHostAddress::TolerantConversion);
}

} // namespace

QString TFtpClient::transferCommandName() const
{
    if (m_requestType == FtpRequest::Put)
        return m_appendOffset > 0 ? u"APPE"_s : u"STOR"_s;
    return m_requestType == FtpRequest::Mlsd ? u"MLSD"_s : u"NLST"_s;
}

void TFtpClient::startTransfer(FtpRequest kind)
{
    beginRequest(kind);
    m_byteCount = 0;
    m_finalReplyMark = false;
    m_dataClosedMark = false;
    m_dataConnected = false;
    m_transferAccepted = false;
    m_sourceExhausted = false;
    m_triedEpsv = false;
    m_stopped = false;
    m_partialLine.clear();
    m_transferClock.invalidate();

    m_listingData.clear();
    m_localFile.setFileName(m_localFileName);
    bool opened = true;
    if (kind == FtpRequest::Put) {
        opened = m_localFile.open(QIODevice::ReadOnly | QIODevice::Unbuffered)
                 && (m_appendOffset <= 0 || m_localFile.seek(m_appendOffset));
    } else if (kind == FtpRequest::Nlst) {
        opened = m_localFile.open(QIODevice::WriteOnly | QIODevice::Truncate);
    }
    if (!opened) {
        m_errorMessage = u"Unable to open local file "_s + m_localFileName;
        Q_EMIT OnDisplay(m_errorMessage);
        m_requestDone = true;
        // Refused like a failed precondition, so the synchronous form reports failure.
        throw FtpException(m_errorMessage);
    }

    if (m_sentHash)
        m_sentHash->reset();
    // Encrypted data goes over passive connections only: with the server connecting back
    // to us, pyftpdlib dropped the TLS data connection now and then before its handshake
    // (when STOR overtook the connection), and routers cannot follow PORT inside TLS anyway.
    if (m_passive || m_tls) {
        if (!usePreparedPort())
            sendPassiveRequest();
        return;
    }

    m_listener = new QTcpServer(this);
    connect(m_listener, &QTcpServer::newConnection, this, &TFtpClient::onDataAccepted);
    // Only the address the server reaches us at listens, not every interface of the machine.
    QHostAddress local = m_control->localAddress();
    if (local.protocol() != QAbstractSocket::IPv4Protocol) {
        bool isV4 = false;
        const QHostAddress mapped(local.toIPv4Address(&isV4));
        local = isV4 ? mapped : QHostAddress(QHostAddress::AnyIPv4);
    }
    if (!m_listener->listen(local, 0)) {
        const QString text = u"500 "_s + m_listener->errorString();
        closeDataSide();
        failWith(500, text);
        return;
    }
    const quint16 port = m_listener->serverPort();
    QString portCommand;
    if (m_control->peerAddress() == QHostAddress(QHostAddress::LocalHost)) {
        portCommand = u"PORT 127,0,0,1,%1,%2"_s.arg(port >> 8).arg(port & 0xFF);
    } else {
        const quint32 a = m_control->localAddress().toIPv4Address();
        portCommand = u"PORT %1,%2,%3,%4,%5,%6"_s.arg(a >> 24)
                          .arg((a >> 16) & 0xFF)
                          .arg((a >> 8) & 0xFF)
                          .arg(a & 0xFF)
                          .arg(port >> 8)
                          .arg(port & 0xFF);
    }
    executeCommand(kind, portCommand, {200}, &TFtpClient::portStep);
}

void TFtpClient::sendPassiveRequest()
{
    m_triedEpsv = true;
    executeCommand(m_requestType, u"EPSV"_s, {229}, &TFtpClient::passiveStep);
}

// Active mode refused: once per session the transfer starts again in passive mode, from
// the first byte, and the session stays passive.
bool TFtpClient::fallBackToPassive()
{
    if (m_passive || !m_passiveFallback || m_fellBack || m_dataConnected || m_stopped)
        return false;
    if (m_localFile.isOpen() && !m_localFile.seek(0))
        return false;
    m_fellBack = true;
    m_passive = true;
    if (m_listener) {
        m_listener->disconnect(this);
        m_listener->close();
        m_listener->deleteLater();
        m_listener = nullptr;
    }
    m_byteCount = 0;
    m_transferAccepted = false;
    m_sourceExhausted = false;
    m_finalReplyMark = false;
    m_dataClosedMark = false;
    if (m_sentHash)
        m_sentHash->reset();
    Q_EMIT OnDisplay(u"Server odmítl aktivní režim, přenos pokračuje v pasivním režimu"_s);
    Q_EMIT OnPassiveFallback();
    sendPassiveRequest();
    return true;
}

void TFtpClient::sendTransferCommand()
{
    QString command;
    if (m_requestType == FtpRequest::Put)
        command = transferCommandName() + u' ' + m_hostFileName;
    else if (m_requestType == FtpRequest::Mlsd)
        command = m_hostFileName.isEmpty() ? u"MLSD"_s : u"MLSD "_s + m_hostFileName;
    else
        command = m_hostFileName.isEmpty() ? u"NLST"_s : u"NLST "_s + m_hostFileName;
    executeCommand(m_requestType, command, {125, 150}, &TFtpClient::transferStartStep);
}

// A transfer the user stopped ends with the next reply, whatever it says.
bool TFtpClient::endIfStopped()
{
    if (!m_stopped)
        return false;
    closeDataSide();
    endRequest(StoppedStatus);
    return true;
}

void TFtpClient::portStep()
{
    if (endIfStopped())
        return;
    if (m_statusCode == 200) {
        sendTransferCommand();
        return;
    }
    if (m_statusCode >= 500 && fallBackToPassive())
        return;
    closeDataSide();
    failWith(m_statusCode, m_lastResponse);
}

// The port a 229 (EPSV) or 227 (PASV) reply names; -1 when it names none.
int TFtpClient::passivePortOfReply() const
{
    if (m_statusCode == 229) {
        static const QRegularExpression epsv(u"\\(([^0-9])\\1\\1(\\d+)\\1\\)"_s);
        const QRegularExpressionMatch m = epsv.match(m_lastResponse);
        if (m.hasMatch())
            return m.captured(2).toInt();
    } else if (m_statusCode == 227) {
        static const QRegularExpression pasv(u"(\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+)"_s);
        const QRegularExpressionMatch m = pasv.match(m_lastResponse);
        if (m.hasMatch())
            return m.captured(5).toInt() * 256 + m.captured(6).toInt();
    }
    return -1;
}

// An EPSV sent ahead with the last rename named the port already: one round trip less.
bool TFtpClient::usePreparedPort()
{
    const quint16 port = m_preparedPort;
    m_preparedPort = 0;
    if (port == 0 || !m_preparedClock.isValid() || m_preparedClock.elapsed() > PreparedPortMaxAgeMs)
        return false;
    m_triedEpsv = false;
    connectPassive(port);
    return true;
}

void TFtpClient::passiveStep()
{
    if (endIfStopped())
        return;
    const int port = passivePortOfReply();
    if (port < 0 && m_triedEpsv && m_statusCode >= 400) {
        // The server does not know EPSV; the older PASV names an IPv4 port.
        m_triedEpsv = false;
        executeCommand(m_requestType, u"PASV"_s, {227}, &TFtpClient::passiveStep);
        return;
    }
    if (port <= 0 || port > 65535) {
        closeDataSide();
        failWith(m_statusCode != 0 ? m_statusCode : 500, m_lastResponse);
        return;
    }
    connectPassive(quint16(port));
}

// The data connection goes to the server the control connection talks to; the address
// in a PASV reply is often a private one behind the server's router.
void TFtpClient::connectPassive(quint16 port)
{
    if (m_tls) {
        // The TLS handshake waits for the server's 125 or 150: a server that has not yet
        // read the STOR does not expect one and drops the connection.
        auto *socket = new QSslSocket(this);
        attachDataSocket(socket);
        prepareDataEncryption(socket);
        connect(socket, &QTcpSocket::connected, this, &TFtpClient::maybeStartDataEncryption);
        socket->connectToHost(m_control->peerAddress(), port);
    } else {
        auto *socket = new QTcpSocket(this);
        attachDataSocket(socket);
        connect(socket, &QTcpSocket::connected, this, &TFtpClient::onDataConnected);
        socket->connectToHost(m_control->peerAddress(), port);
    }
    sendTransferCommand();
}

void TFtpClient::transferStartStep()
{
    if (m_statusCode == 125 || m_statusCode == 150) {
        m_transferAccepted = true;
        m_step = &TFtpClient::transferFinalStep;
        if (m_tls)
            maybeStartDataEncryption();
        else if (m_requestType == FtpRequest::Put && m_dataConnected && !m_stopped)
            sendNextBlocks();
        return;
    }
    if (endIfStopped())
        return;
    // 425: the server could not connect back to us.
    if (m_statusCode == 425 && fallBackToPassive())
        return;
    closeDataSide();
    failWith(m_statusCode, m_lastResponse);
}

void TFtpClient::transferFinalStep()
{
    // Whatever the server says about a cut transfer, it is not a stored file.
    if (endIfStopped())
        return;
    if (m_statusCode == 425 && fallBackToPassive())
        return;
    if (m_statusCode == 226 || m_statusCode == 250) {
        m_finalReplyMark = true;
        transferMayBeComplete();
        return;
    }
    closeDataSide();
    Q_EMIT OnDisplay(m_requestType == FtpRequest::Put ? u"STOR Failed"_s : u"RETR/LIST/NLST Failed"_s);
    failWith(m_statusCode, m_lastResponse);
}

void TFtpClient::onDataAccepted()
{
    if (!m_listener)
        return;
    QTcpSocket *socket = m_listener->nextPendingConnection();
    if (!socket)
        return;
    // The data connection must come from the server: anyone else who found the port
    // would otherwise receive the file, or a listing of someone else's making.
    if (!sameHost(socket->peerAddress(), m_control->peerAddress())) {
        Q_EMIT OnDisplay(u"Data: spojení z cizí adresy %1 odmítnuto"_s.arg(socket->peerAddress().toString()));
        socket->abort();
        socket->deleteLater();
        return;
    }
    // The listener goes now; the socket it handed over must not go with it.
    socket->setParent(this);
    m_listener->disconnect(this);
    m_listener->close();
    m_listener->deleteLater();
    m_listener = nullptr;
    attachDataSocket(socket);
    onDataConnected();
}

void TFtpClient::attachDataSocket(QTcpSocket *socket)
{
    m_data = socket;
    connect(socket, &QTcpSocket::readyRead, this, &TFtpClient::onDataReadyRead);
    connect(socket, &QTcpSocket::bytesWritten, this, &TFtpClient::onDataBytesWritten);
    connect(socket, &QTcpSocket::disconnected, this, &TFtpClient::onDataDisconnected);
    connect(socket, &QTcpSocket::errorOccurred, this, &TFtpClient::onDataError);
}

void TFtpClient::onDataConnected()
{
    if (m_stopped) {
        closeDataSide();
        m_dataClosedMark = true;
        return;
    }
    m_dataConnected = true;
    m_transferClock.start();
    touch();
    // Servers may connect as soon as PORT arrives, before STOR; what is sent before the
    // server has accepted the STOR is lost, so the data waits for its 125 or 150.
    if (m_requestType == FtpRequest::Put && m_transferAccepted)
        sendNextBlocks();
}

void TFtpClient::sendNextBlocks()
{
    // Nothing goes before the server took the transfer up and the connection stands
    // (encrypted, with the server's own certificate).
    // Listings send nothing: their handshake's signals must not close them.
    if (!m_dataConnected || !m_transferAccepted || m_requestType != FtpRequest::Put)
        return;
    while (m_data && !m_sourceExhausted && queuedDataBytes() < StoreQueueLimit) {
        const QByteArray block = m_localFile.read(StoreBlockSize);
        if (block.isEmpty()) {
            if (m_localFile.error() != QFileDevice::NoError) {
                Q_EMIT OnDisplay(u"Error reading file"_s);
                m_localFile.close();
            }
            m_sourceExhausted = true;
            m_localFile.close();
            m_closeClock.invalidate();
            closeDataWhenSent();
            return;
        }
        if (m_sentHash)
            m_sentHash->addData(block);
        m_data->write(block);
    }
}

// What waits to leave: an encrypted socket reports its plain text as written once it is
// encrypted, so what waits encrypted counts too, or the whole file would pile up in memory.
qint64 TFtpClient::queuedDataBytes() const
{
    const auto *secure = qobject_cast<const QSslSocket *>(m_data.data());
    return m_data->bytesToWrite() + (secure ? secure->encryptedBytesToWrite() : 0);
}

void TFtpClient::onDataBytesWritten(qint64 bytes)
{
    m_byteCount += bytes;
    touch();
    Q_EMIT OnProgress(m_byteCount);
    if (m_sourceExhausted)
        closeDataWhenSent();
    else
        sendNextBlocks();
}

// The end of the data is the closing of its connection: a TLS connection closed while
// records still wait to leave would cut the file short, so it closes once all are out.
// A TLS 1.3 server sends its session tickets only once our data comes in; arriving after
// our close they draw a reset from our side, and the reset throws away whatever data the
// server had not read yet. So the close waits for the tickets, or a moment if none come.
void TFtpClient::closeDataWhenSent()
{
    if (!m_data || !m_sourceExhausted) {
        m_closeTimer.stop();
        return;
    }
    if (auto *secure = qobject_cast<QSslSocket *>(m_data.data())) {
        if (!m_closeClock.isValid())
            m_closeClock.start();
        const bool waitingForTickets = secure->sessionProtocol() == QSsl::TlsV1_3 && !m_dataTicket
                                       && m_closeClock.elapsed() < TicketWaitMs;
        if (secure->bytesToWrite() > 0 || secure->encryptedBytesToWrite() > 0 || waitingForTickets) {
            // Looked at again shortly, whatever signal may or may not come.
            if (!m_closeTimer.isActive())
                m_closeTimer.start();
            return;
        }
    }
    m_closeTimer.stop();
    m_closeClock.invalidate();
    if (m_data->state() == QAbstractSocket::ConnectedState)
        m_data->disconnectFromHost();
}

void TFtpClient::onDataReadyRead()
{
    if (!m_data)
        return;
    touch();
    const QByteArray block = m_data->readAll();
    if (m_requestType == FtpRequest::Mlsd) {
        m_byteCount += block.size();
        m_listingData += block;
        return;
    }
    if (m_requestType != FtpRequest::Nlst || !m_localFile.isOpen())
        return; // whatever the server sends during a STOR is dropped
    m_byteCount += block.size();
    if (m_localFile.write(block) != block.size()) {
        Q_EMIT OnDisplay(u"Error writing local file"_s);
        m_data->abort();
        return;
    }
    if (m_displayFlag)
        displayDataLines(block, false);
}

void TFtpClient::displayDataLines(const QByteArray &block, bool flush)
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
            Q_EMIT OnDisplay(u"Data: "_s + decodeListingLine(QByteArrayView(text).sliced(start, i - start)));
        start = i + 1;
    }
}

void TFtpClient::onDataDisconnected()
{
    if (!m_data)
        return;
    if (m_data->bytesAvailable() > 0)
        onDataReadyRead();
    if (m_requestType == FtpRequest::Nlst && m_displayFlag)
        displayDataLines({}, true);
    m_localFile.close();
    m_data->disconnect(this);
    m_data->deleteLater();
    m_data = nullptr;
    m_dataClosedMark = true;
    transferMayBeComplete();
}

void TFtpClient::onDataError(QAbstractSocket::SocketError error)
{
    if (!m_data || error == QAbstractSocket::RemoteHostClosedError)
        return; // the end of the data, not a failure
    if (!m_dataConnected) {
        // A passive connection that cannot be made: the server gets no data and answers.
        Q_EMIT OnDisplay(u"Data: Receive error "_s + QString::number(ftpSocketErrorNumber(error)));
        closeDataSide();
        m_dataClosedMark = true;
        return;
    }
    Q_EMIT OnDisplay(u"Data: Receive error "_s + QString::number(ftpSocketErrorNumber(error)));
    m_data->abort();
}

void TFtpClient::StopTransfer()
{
    if (m_requestDone
        || (m_requestType != FtpRequest::Put && m_requestType != FtpRequest::Nlst && m_requestType != FtpRequest::Mlsd))
        return;
    m_stopped = true;
    // A passive connection still being made is cut as soon as it stands, so the server is
    // not left waiting for it.
    if (m_data && m_data->state() != QAbstractSocket::ConnectedState && m_passive)
        return;
    closeDataSide();
    m_dataClosedMark = true;
    // Nothing more will come from the server: the request ends here.
    if (m_step == nullptr || m_finalReplyMark)
        endRequest(StoppedStatus);
}

QString TFtpClient::TransferSummary(qint64 bytes, qint64 milliseconds)
{
    QString text = u"Data: session closed, "_s + QString::number(bytes) + u" bytes transfered, "_s
                   + QString::number(milliseconds / 1000) + u" Seconds elapsed"_s;
    if (milliseconds != 0) {
        const qint64 rate = bytes < 32768 ? bytes * 1000 / milliseconds : (bytes / milliseconds) * 1000;
        text += u", "_s + QString::number(rate) + u" Bytes/Sec"_s;
    }
    return text;
}

void TFtpClient::transferMayBeComplete()
{
    if (!m_finalReplyMark || !m_dataClosedMark || m_requestDone)
        return;
    Q_EMIT OnDisplay(TransferSummary(m_byteCount, m_transferClock.isValid() ? m_transferClock.elapsed() : 0));
    endRequest(0);
}

void TFtpClient::closeDataSide()
{
    m_closeTimer.stop();
    if (m_listener) {
        m_listener->disconnect(this);
        m_listener->close();
        m_listener->deleteLater();
        m_listener = nullptr;
    }
    if (m_data) {
        m_data->disconnect(this);
        m_data->abort();
        m_data->deleteLater();
        m_data = nullptr;
    }
    m_localFile.close();
}
