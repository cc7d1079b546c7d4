// The control side of TFtpClient's transfers: STOR, APPE, NLST and MLSD in active and
// passive mode, and their replies; the data connection itself is an FtpDataChannel.
#include "publish/FtpClient.h"

#include <QRegularExpression>
#include <QSslSocket>

using namespace Qt::StringLiterals;

QString TFtpClient::transferCommandName() const
{
    if (m_requestType == FtpRequest::Put)
        return m_appendOffset > 0 ? u"APPE"_s : u"STOR"_s;
    return m_requestType == FtpRequest::Mlsd ? u"MLSD"_s : m_requestType == FtpRequest::List ? u"LIST"_s : u"NLST"_s;
}

void TFtpClient::startTransfer(FtpRequest kind)
{
    beginRequest(kind);
    m_finalReplyMark = false;
    m_dataClosedMark = false;
    m_transferAccepted = false;
    m_triedEpsv = false;
    m_stopped = false;

    const FtpDataChannel::Kind data = kind == FtpRequest::Put    ? FtpDataChannel::Kind::Store
                                      : kind == FtpRequest::Nlst ? FtpDataChannel::Kind::NameList
                                                                 : FtpDataChannel::Kind::Listing;
    if (!m_dataChannel->begin(data, m_localFileName, kind == FtpRequest::Put ? m_appendOffset : 0)) {
        m_errorMessage = m_dataChannel->errorText();
        Q_EMIT OnDisplay(m_errorMessage);
        m_requestDone = true;
        // Refused like a failed precondition, so the synchronous form reports failure.
        throw FtpException(m_errorMessage);
    }
    m_dataChannel->setDisplayLines(m_displayFlag);
    if (m_tls)
        m_dataChannel->setEncryption(m_control->sslConfiguration(), m_hostName, m_serverCertificate);
    else
        m_dataChannel->setPlain();
    // Encrypted data goes over passive connections only: with the server connecting back
    // to us, pyftpdlib dropped the TLS data connection now and then before its handshake
    // (when STOR overtook the connection), and routers cannot follow PORT inside TLS anyway.
    if (m_passive || m_tls) {
        if (!usePreparedPort())
            sendPassiveRequest();
        return;
    }

    const quint16 port = m_dataChannel->listen(m_control->localAddress(), m_control->peerAddress());
    if (port == 0) {
        failWith(500, m_dataChannel->errorText());
        return;
    }
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
    if (m_passive || !m_passiveFallback || m_fellBack || m_stopped || !m_dataChannel->restart())
        return false;
    m_fellBack = true;
    m_passive = true;
    m_transferAccepted = false;
    m_finalReplyMark = false;
    m_dataClosedMark = false;
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
    else if (m_requestType == FtpRequest::Mlsd || m_requestType == FtpRequest::List)
        command = m_hostFileName.isEmpty() ? transferCommandName() : transferCommandName() + u' ' + m_hostFileName;
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

void TFtpClient::connectPassive(quint16 port)
{
    m_dataChannel->connectTo(m_control->peerAddress(), port);
    sendTransferCommand();
}

void TFtpClient::transferStartStep()
{
    if (m_statusCode == 125 || m_statusCode == 150) {
        m_transferAccepted = true;
        m_step = &TFtpClient::transferFinalStep;
        m_dataChannel->accepted();
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

// The data side is over: complete at the end of the data, or cut.
void TFtpClient::onDataFinished(bool complete)
{
    m_dataClosedMark = true;
    if (complete)
        transferMayBeComplete();
}

void TFtpClient::StopTransfer()
{
    if (m_requestDone
        || (m_requestType != FtpRequest::Put && m_requestType != FtpRequest::Nlst && m_requestType != FtpRequest::Mlsd
            && m_requestType != FtpRequest::List))
        return;
    m_stopped = true;
    if (!m_dataChannel->stop())
        return; // closed as soon as it stands
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
    if (m_requestType == FtpRequest::Put && m_dataChannel->sourceFailed()) {
        // The server took what came for the whole file; the rename must not put it in place.
        failWith(LocalReadStatus, u"Error reading file "_s + m_localFileName);
        return;
    }
    Q_EMIT OnDisplay(TransferSummary(m_dataChannel->byteCount(), m_dataChannel->elapsedMs()));
    endRequest(0);
}

void TFtpClient::closeDataSide()
{
    m_dataChannel->close();
}
