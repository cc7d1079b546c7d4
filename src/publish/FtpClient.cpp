#include "publish/FtpClient.h"

#include "markup/TextFile.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHostInfo>
#include <QPointer>
#include <QScopedValueRollback>
#include <QSslSocket>
#include <QStringDecoder>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

#ifndef Q_OS_WIN
#include <netdb.h>
#endif
#ifdef Q_OS_UNIX
#include <sys/socket.h>

#include <cerrno>
#endif

using namespace Qt::StringLiterals;

namespace {

constexpr int ReceiveBufferSize = 4096;
// How often a synchronous wait looks at the clock.
constexpr int WaitTickMs = 50;
// Reported when the server drops the control connection in the middle of a request.
constexpr int ConnectionResetError = 10054;

struct ReplyNumber
{
    int code = 0;
    QChar after; // the character right after the number, null at the end of the line
};

// The leading number of a reply, after optional blanks, tabs, CR or LF, with an optional sign.
ReplyNumber readReplyNumber(const QString &line)
{
    qsizetype i = 0;
    while (i < line.size() && (line[i] == u' ' || line[i] == u'\t' || line[i] == u'\r' || line[i] == u'\n'))
        ++i;
    bool negative = false;
    if (i < line.size() && (line[i] == u'+' || line[i] == u'-')) {
        negative = line[i] == u'-';
        ++i;
    }
    long long value = 0;
    while (i < line.size() && line[i].isDigit() && line[i].unicode() < 128) {
        value = std::min(value * 10 + (line[i].unicode() - u'0'), 1000000000LL);
        ++i;
    }
    ReplyNumber n;
    n.code = int(negative ? -value : value);
    n.after = i < line.size() ? line[i] : QChar();
    return n;
}

// Servers send names as UTF-8 these days; older ones in the Windows code page.
QString decodeServerText(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return Cp1250::decode(bytes);
}

} // namespace

namespace {

// A port number, or a service name looked up in the system's service table; 0 if unknown.
quint16 resolvePort(const QString &port)
{
    bool ok = false;
    const uint number = port.trimmed().toUInt(&ok);
    if (ok)
        return number > 0 && number < 65536 ? quint16(number) : 0;
#ifndef Q_OS_WIN
    if (const servent *entry = getservbyname(port.trimmed().toLatin1().constData(), "tcp"))
        return ntohs(quint16(entry->s_port));
#endif
    return port.trimmed().compare(u"ftp"_s, Qt::CaseInsensitive) == 0 ? 21 : 0;
}

} // namespace

TFtpClient::TFtpClient(QObject *parent) : QObject(parent)
{
    m_receiveBuffer.resize(ReceiveBufferSize);
    m_dataChannel = new FtpDataChannel(this);
    connect(m_dataChannel, &FtpDataChannel::display, this, &TFtpClient::OnDisplay);
    connect(m_dataChannel, &FtpDataChannel::activity, this, [this] { touch(); });
    connect(m_dataChannel, &FtpDataChannel::progress, this, &TFtpClient::OnProgress);
    connect(m_dataChannel, &FtpDataChannel::finished, this, &TFtpClient::onDataFinished);
}

TFtpClient::~TFtpClient()
{
    // Connections close without a QUIT; no notification goes out from a dying session.
    blockSignals(true);
    if (m_lookupId >= 0)
        QHostInfo::abortHostLookup(m_lookupId);
    closeDataSide();
    closeControl();
}

void TFtpClient::setState(FtpState state)
{
    if (m_state == state)
        return;
    m_state = state;
    Q_EMIT OnStateChange();
}

void TFtpClient::checkReady() const
{
    if (!isReady())
        throw FtpException(u"FTP component not ready"_s);
}

void TFtpClient::checkConnected() const
{
    if (!m_connected)
        throw FtpException(u"FTP component not connected"_s);
}

void TFtpClient::beginRequest(FtpRequest kind)
{
    m_requestType = kind;
    m_status = 0;
    m_requestDone = false;
    // Each request reports its own failure, not the first one of the session.
    m_errorMessage.clear();
}

// ---------------------------------------------------------------------------------------
// Requests

void TFtpClient::Open()
{
    checkReady();
    if (m_connected)
        throw FtpException(u"FTP component already connected"_s);
    beginRequest(FtpRequest::Open);
    m_multiLineCode = 0;
    m_receiveCount = 0;
    m_tlsRefused = false;
    m_serverCertificate.clear();
    setState(FtpState::DnsLookup);
    m_lookupId = QHostInfo::lookupHost(m_hostName, this, &TFtpClient::onHostFound);
}

void TFtpClient::User()
{
    checkReady();
    checkConnected();
    if (m_userName.isEmpty())
        throw FtpException(u"UserName emtpy"_s);
    beginRequest(FtpRequest::User);
    // A new login resets what the server knew of this connection's transfers.
    m_binaryInEffect = false;
    executeCommand(FtpRequest::User, u"USER "_s + m_userName, {331, 230}, &TFtpClient::loginStep);
}

void TFtpClient::Pass()
{
    checkReady();
    checkConnected();
    if (m_userName.isEmpty())
        throw FtpException(u"UserName emtpy"_s);
    if (m_passWord.isEmpty())
        throw FtpException(u"Password emtpy"_s);
    beginRequest(FtpRequest::Pass);
    executeCommand(FtpRequest::Pass, u"PASS "_s + m_passWord, {230}, &TFtpClient::loginStep);
}

void TFtpClient::Cwd()
{
    checkReady();
    checkConnected();
    if (m_userName.isEmpty())
        throw FtpException(u"UserName emtpy"_s);
    if (m_hostDirName.isEmpty())
        throw FtpException(u"HostDirName emtpy"_s);
    beginRequest(FtpRequest::Cwd);
    executeCommand(FtpRequest::Cwd, u"CWD "_s + m_hostDirName, {250, 257}, &TFtpClient::genericStep);
}

void TFtpClient::Pwd()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Pwd);
    executeCommand(FtpRequest::Pwd, u"PWD"_s, {250, 257}, &TFtpClient::genericStep);
}

void TFtpClient::Mkd()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Mkd);
    executeCommand(FtpRequest::Mkd, u"MKD "_s + m_hostFileName, {257}, &TFtpClient::genericStep);
}

void TFtpClient::TypeSet()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::TypeSet);
    executeCommand(FtpRequest::TypeSet, m_binary ? u"TYPE I"_s : u"TYPE A"_s, {200},
                   &TFtpClient::genericStep);
}

void TFtpClient::Dele()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Dele);
    executeCommand(FtpRequest::Dele, u"DELE "_s + m_hostFileName, {250}, &TFtpClient::genericStep);
}

void TFtpClient::RenFrom()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::RenFrom);
    executeCommand(FtpRequest::RenFrom, u"RNFR "_s + m_hostFileName, {350}, &TFtpClient::genericStep);
}

void TFtpClient::RenTo()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::RenTo);
    executeCommand(FtpRequest::RenTo, u"RNTO "_s + m_hostFileName, {250}, &TFtpClient::genericStep);
}

void TFtpClient::Put()
{
    if (std::exchange(m_storeUnderway, false) && m_hostFileName == m_storeAfterRenameHost
        && m_localFileName == m_storeAfterRenameLocal)
        return; // started with the rename's answer already; its end is reported as a Put
    m_transferAccepted = false;
    if (!m_connected)
        throw FtpException(u"STOR/APPE: not connected"_s);
    if (m_localFileName.isEmpty())
        throw FtpException(u"LocalFileName empty"_s);
    // A transfer started over a running request would answer that request's replies.
    checkReady();
    startTransfer(FtpRequest::Put);
}

void TFtpClient::Nlst()
{
    m_transferAccepted = false;
    if (!m_connected)
        throw FtpException(u"NLST: not connected"_s);
    if (m_localFileName.isEmpty())
        throw FtpException(u"LocalFileName empty"_s);
    checkReady();
    startTransfer(FtpRequest::Nlst);
}

void TFtpClient::List()
{
    m_transferAccepted = false;
    if (!m_connected)
        throw FtpException(u"LIST: not connected"_s);
    checkReady();
    startTransfer(FtpRequest::List);
}

void TFtpClient::Feat()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Feat);
    m_features.clear();
    m_featuresKnown = false;
    executeCommand(FtpRequest::Feat, u"FEAT"_s, {211}, &TFtpClient::featStep);
}

void TFtpClient::Mdtm()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Mdtm);
    executeCommand(FtpRequest::Mdtm, u"MDTM "_s + m_hostFileName, {213}, &TFtpClient::genericStep);
}

// A server reads its commands in order and answers each in turn, so the MDTMs of a whole
// folder can go out in one piece; the answers are matched to the paths by their order.
void TFtpClient::mdtmAllRequest()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Mdtm);
    m_stamps.clear();
    m_requestType = FtpRequest::Mdtm;
    m_accepted = {213};
    m_step = &TFtpClient::mdtmAllStep;
    setState(FtpState::WaitingResponse);
    for (qsizetype i = 0; i < m_stampPaths.size(); ++i)
        sendCommand(u"MDTM "_s + m_stampPaths[i], i + 1 < m_stampPaths.size());
}

void TFtpClient::mdtmAllStep()
{
    m_stamps << ReplyStamp();
    if (m_stamps.size() == m_stampPaths.size())
        endRequest(0);
}

void TFtpClient::MdtmAll(const QStringList &paths)
{
    // Nothing to send would leave the request waiting for a reply that never comes.
    if (paths.isEmpty())
        throw FtpException(u"MDTM: no paths"_s);
    m_stampPaths = paths;
    try {
        mdtmAllRequest();
    } catch (const FtpException &) {
        m_stampPaths.clear();
        throw;
    }
}

std::optional<QStringList> TFtpClient::AnsweredStamps() const
{
    if (m_requestType != FtpRequest::Mdtm || m_status != 0 || m_stampPaths.isEmpty()
        || m_stamps.size() != m_stampPaths.size())
        return std::nullopt;
    return m_stamps;
}

std::optional<QStringList> TFtpClient::MdtmAllSync(const QStringList &paths)
{
    if (paths.isEmpty())
        return QStringList();
    m_stampPaths = paths;
    const bool answered = runSync(&TFtpClient::mdtmAllRequest);
    m_stampPaths.clear();
    if (!answered || m_stamps.size() != paths.size())
        return std::nullopt;
    return std::exchange(m_stamps, {});
}

void TFtpClient::Rmd()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Rmd);
    executeCommand(FtpRequest::Rmd, u"RMD "_s + m_hostFileName, {250}, &TFtpClient::genericStep);
}

void TFtpClient::Size()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::Size);
    executeCommand(FtpRequest::Size, u"SIZE "_s + m_hostFileName, {213}, &TFtpClient::genericStep);
}

void TFtpClient::Mlsd()
{
    m_transferAccepted = false;
    if (!m_connected)
        throw FtpException(u"MLSD: not connected"_s);
    checkReady();
    startTransfer(FtpRequest::Mlsd);
}

void TFtpClient::Rename(const QString &target, bool prepareTransfer)
{
    checkReady();
    checkConnected();
    m_renameTarget = target;
    m_renamePrepares = prepareTransfer;
    renameRequest();
}

// RNTO must follow RNFR directly, and a server reads its commands in order: the two go
// out at once. A refused RNFR makes the server refuse the RNTO too ("503 bad sequence").
void TFtpClient::renameRequest()
{
    checkReady();
    checkConnected();
    beginRequest(FtpRequest::RenTo);
    const bool prepare = m_renamePrepares && (m_passive || m_tls);
    m_pipelineCount = m_pipelineReplies = prepare ? 3 : 2;
    m_pipelineFailure = 0;
    m_pipelineFailureText.clear();
    m_requestType = FtpRequest::RenTo;
    m_accepted = {350};
    m_step = &TFtpClient::renameStep;
    setState(FtpState::WaitingResponse);
    if (prepare)
        m_preparedPort = 0;
    sendCommand(u"RNFR "_s + m_hostFileName, true);
    sendCommand(u"RNTO "_s + m_renameTarget, prepare);
    if (prepare)
        sendCommand(u"EPSV"_s);
}

void TFtpClient::setStoreAfterRename(const QString &hostFile, const QString &localFile)
{
    m_storeAfterRenameHost = hostFile;
    m_storeAfterRenameLocal = localFile;
}

bool TFtpClient::RenameSync(const QString &target, bool prepareTransfer)
{
    m_storeAfterRenameHost.clear();
    m_renameTarget = target;
    m_renamePrepares = prepareTransfer;
    return runSync(&TFtpClient::renameRequest);
}

void TFtpClient::renameStep()
{
    // The replies come in the order the commands went: RNFR, RNTO, then the EPSV.
    const int position = m_pipelineCount - m_pipelineReplies--;
    const int expected = position == 0 ? 350 : 250;
    if (position < 2 && m_statusCode != expected && m_pipelineFailure == 0) {
        m_pipelineFailure = m_statusCode != 0 ? m_statusCode : 500;
        m_pipelineFailureText = m_lastResponse;
    } else if (position == 2) {
        // A server without EPSV prepares nothing; the transfer asks its own way then.
        const int port = passivePortOfReply();
        if (port > 0) {
            m_preparedPort = quint16(port);
            m_preparedClock.start();
        }
    }
    if (m_pipelineReplies > 0)
        return;
    if (m_pipelineFailure != 0) {
        m_storeAfterRenameHost.clear();
        failWith(m_pipelineFailure, m_pipelineFailureText);
        return;
    }
    endRequest(0);
    startStoreAfterRename();
}

// The server stands idle while the rename's answer goes round the caller: the next file's
// STOR goes at once, on the port just named. Only after a rename that succeeded, so what
// the caller does about a failed one is not overtaken by another transfer.
void TFtpClient::startStoreAfterRename()
{
    const QString hostFile = std::exchange(m_storeAfterRenameHost, {});
    if (hostFile.isEmpty() || m_preparedPort == 0 || m_appendOffset != 0 || !m_connected
        || !QFileInfo(m_storeAfterRenameLocal).isReadable())
        return;
    m_hostFileName = hostFile;
    m_localFileName = m_storeAfterRenameLocal;
    m_transferAccepted = false;
    Q_EMIT OnStoreAfterRename();
    try {
        startTransfer(FtpRequest::Put);
    } catch (const FtpException &) {
        return; // the caller's own Put reports it
    }
    m_storeAfterRenameHost = hostFile;
    m_storeUnderway = true;
}

qint64 TFtpClient::ReplySize() const
{
    if (m_statusCode != 213)
        return -1;
    bool ok = false;
    const qint64 size = m_lastResponse.mid(4).trimmed().toLongLong(&ok);
    return ok && size >= 0 ? size : -1;
}

bool TFtpClient::OpenSync() { return runSync(&TFtpClient::Open); }
bool TFtpClient::UserSync() { return runSync(&TFtpClient::User); }
bool TFtpClient::PassSync() { return runSync(&TFtpClient::Pass); }
bool TFtpClient::CwdSync() { return runSync(&TFtpClient::Cwd); }
bool TFtpClient::PwdSync() { return runSync(&TFtpClient::Pwd); }
bool TFtpClient::MkdSync() { return runSync(&TFtpClient::Mkd); }
bool TFtpClient::TypeSetSync() { return runSync(&TFtpClient::TypeSet); }
bool TFtpClient::DeleSync() { return runSync(&TFtpClient::Dele); }
bool TFtpClient::PutSync() { return runSync(&TFtpClient::Put); }
bool TFtpClient::NlstSync() { return runSync(&TFtpClient::Nlst); }
bool TFtpClient::RmdSync() { return runSync(&TFtpClient::Rmd); }
bool TFtpClient::SizeSync() { return runSync(&TFtpClient::Size); }
bool TFtpClient::MlsdSync() { return runSync(&TFtpClient::Mlsd); }
bool TFtpClient::ListSync() { return runSync(&TFtpClient::List); }
bool TFtpClient::FeatSync() { return runSync(&TFtpClient::Feat); }
bool TFtpClient::MdtmSync() { return runSync(&TFtpClient::Mdtm); }

QString TFtpClient::ReplyStamp() const
{
    if (m_statusCode != 213)
        return {};
    const QString stamp = m_lastResponse.mid(4).trimmed();
    if (stamp.size() < 14)
        return {};
    for (qsizetype i = 0; i < 14; ++i) {
        if (!stamp[i].isDigit())
            return {};
    }
    return stamp.left(14);
}

bool TFtpClient::runSync(void (TFtpClient::*request)())
{
    try {
        (this->*request)();
    } catch (const FtpException &refusal) {
        m_errorMessage = refusal.message();
        return false;
    }
    m_timedOut = false;
    touch();
    QEventLoop loop;
    QTimer tick;
    tick.setInterval(m_timeoutMs > 0 ? std::clamp(m_timeoutMs / 10, 5, WaitTickMs) : WaitTickMs);
    connect(&tick, &QTimer::timeout, &loop, [this, &loop] {
        // Only the server's silence counts: not the time a finished request's error box
        // stays open, nor a transfer that keeps moving.
        if (m_timeoutMs > 0 && !m_requestDone && m_timeoutPauses == 0
            && m_silence.elapsed() > qint64(m_timeoutMs)) {
            m_timedOut = true;
            TimeOut();
        }
        if (m_timedOut || (isReady() && m_donePending == 0))
            loop.quit();
    });
    tick.start();
    // The wait also covers the request-done notification, so its error box belongs to
    // this request and not to whichever one runs next.
    while (!m_timedOut && !(isReady() && m_donePending == 0)) {
        QEventLoop *outer = m_waitLoop;
        m_waitLoop = &loop;
        loop.exec();
        m_waitLoop = outer;
    }
    return !m_timedOut && isReady() && m_status == 0;
}

void TFtpClient::Abort()
{
    // Connection aborted on this side, as the socket layer numbers it.
    abortSession(10053);
}

void TFtpClient::TimeOut()
{
    Q_EMIT OnDisplay(u"Timeout"_s);
    abortSession(TimeoutError);
    m_errorMessage = u"Timeout"_s;
}

void TFtpClient::abortSession(int error)
{
    const bool wasConnected = m_connected;
    setState(FtpState::Abort);
    if (m_lookupId >= 0) {
        QHostInfo::abortHostLookup(m_lookupId);
        m_lookupId = -1;
    }
    closeDataSide();
    closeControl();
    m_requestDone = true;
    m_step = nullptr;
    if (wasConnected) {
        // The log says why the session ended, not just that the next request failed.
        setState(FtpState::NotConnected);
        Q_EMIT OnSessionClosed(error);
    }
    setState(FtpState::Ready);
}

void TFtpClient::ResumeTimeout()
{
    if (m_timeoutPauses > 0 && --m_timeoutPauses == 0)
        touch();
}

QString TFtpClient::DirectoryOfReply(const QString &reply)
{
    const qsizetype open = reply.indexOf(u'"');
    if (open < 0)
        return {};
    QString directory;
    for (qsizetype i = open + 1; i < reply.size(); ++i) {
        if (reply[i] == u'"') {
            if (i + 1 < reply.size() && reply[i + 1] == u'"') {
                directory += u'"';
                ++i;
                continue;
            }
            return directory;
        }
        directory += reply[i];
    }
    return {};
}

// ---------------------------------------------------------------------------------------
// Commands and the end of a request

void TFtpClient::sendCommand(const QString &command, bool more)
{
    QString text = command;
    // A line break in a name would end the command there and hand the rest to the server
    // as a command of its own (a file named "x<CR><LF>DELE index.html"). The server gets
    // NOOP instead: its reply still answers the request in turn, and no request that
    // names a file or a folder takes that reply for success.
    if (text.contains(u'\r') || text.contains(u'\n')) {
        Q_EMIT OnDisplay(u"Název s koncem řádku se na server neposílá ("_s + text.section(u' ', 0, 0) + u')');
        text = u"NOOP"_s;
    }
    Q_EMIT OnCommand(text);
    // The log is shown to whoever stands behind the user; the password stays out of it.
    if (text.startsWith(u"PASS "_s, Qt::CaseInsensitive))
        Q_EMIT OnDisplay(u"> PASS ********"_s);
    else
        Q_EMIT OnDisplay(u"> "_s + text);
    if (!m_control)
        return;
    // Commands sent together go in one piece, which the server reads at once.
    m_outgoing += text.toUtf8();
    m_outgoing += "\r\n";
    if (more)
        return;
    // Handed to the system now, not when the event loop comes round: the server idles
    // until the command arrives. On a plain connection with nothing queued the commands
    // go straight to the system: the socket's own buffered write would switch its write
    // notifier on and off again, each a wake-up of the event loop.
    const QByteArray bytes = std::exchange(m_outgoing, {});
    qsizetype sent = 0;
#ifdef Q_OS_UNIX
    if (!m_encrypted && m_control->mode() == QSslSocket::UnencryptedMode && m_control->bytesToWrite() == 0
        && m_control->socketDescriptor() >= 0) {
        while (sent < bytes.size()) {
            const ssize_t n = ::send(int(m_control->socketDescriptor()), bytes.constData() + sent,
                                     size_t(bytes.size() - sent), MSG_NOSIGNAL);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break; // the socket takes the rest, and reports what went wrong
            sent += n;
        }
    }
#endif
    if (sent < bytes.size()) {
        m_control->write(bytes.constData() + sent, bytes.size() - sent);
        m_control->flush();
    }
}

void TFtpClient::executeCommand(FtpRequest kind, const QString &command, std::vector<int> accepted,
                                ReplyStep step)
{
    m_requestType = kind;
    m_accepted = std::move(accepted);
    m_step = step;
    setState(FtpState::WaitingResponse);
    sendCommand(command);
}

void TFtpClient::failWith(int status, const QString &message)
{
    if (m_errorMessage.isEmpty())
        m_errorMessage = message;
    endRequest(status);
}

void TFtpClient::endRequest(int status)
{
    if (m_requestDone)
        return;
    m_requestDone = true;
    m_status = status;
    m_step = nullptr;
    if (m_requestType == FtpRequest::TypeSet)
        m_binaryInEffect = status == 0 && m_binary;
    setState(FtpState::Ready);
    ++m_donePending;
    const FtpRequest kind = m_requestType;
    if (m_doneAfterReplies && m_readingReplies) {
        // Told once the replies read now are handled, without a turn of the event loop.
        m_heldDone.push_back({kind, status});
        return;
    }
    QMetaObject::invokeMethod(this, [this, kind, status] { tellDone(kind, status); }, Qt::QueuedConnection);
}

// False when a receiver of the notification deleted this session.
bool TFtpClient::tellDone(FtpRequest kind, int status)
{
    const QPointer<TFtpClient> self(this);
    --m_donePending;
    Q_EMIT OnRequestDone(kind, status);
    if (!self)
        return false;
    if (m_waitLoop)
        m_waitLoop->quit();
    return true;
}

// ---------------------------------------------------------------------------------------
// Control connection

void TFtpClient::onHostFound(const QHostInfo &info)
{
    if (info.lookupId() != m_lookupId || m_state != FtpState::DnsLookup)
        return;
    m_lookupId = -1;
    touch();
    if (info.error() != QHostInfo::NoError || info.addresses().isEmpty()) {
        const int number = info.error() == QHostInfo::HostNotFound ? 11001 : 11002;
        m_lastResponse = u"500 "_s + info.errorString() + u" (socket error #"_s + QString::number(number) + u')';
        m_statusCode = 500;
        failWith(number, m_lastResponse);
        return;
    }
    m_controlPort = resolvePort(m_port);
    if (m_controlPort == 0) {
        m_lastResponse = u"500 Unknown service "_s + m_port + u" (socket error #10022)"_s;
        m_statusCode = 500;
        failWith(10022, m_lastResponse);
        return;
    }
    // The PORT command can only name an IPv4 address, so IPv4 comes first.
    const QList<QHostAddress> addresses = info.addresses();
    auto v4 = std::find_if(addresses.begin(), addresses.end(), [](const QHostAddress &a) {
        return a.protocol() == QAbstractSocket::IPv4Protocol;
    });
    const QHostAddress address = v4 != addresses.end() ? *v4 : addresses.first();

    // Plain until AUTH TLS has been accepted.
    m_control = new QSslSocket(this);
    connect(m_control, &QSslSocket::sslErrors, this, &TFtpClient::onControlSslErrors);
    connect(m_control, &QSslSocket::encrypted, this, &TFtpClient::onControlEncrypted);
    connect(m_control, &QTcpSocket::connected, this, &TFtpClient::onControlConnected);
    connect(m_control, &QTcpSocket::readyRead, this, &TFtpClient::onControlReadyRead);
    connect(m_control, &QTcpSocket::disconnected, this, &TFtpClient::onControlDisconnected);
    connect(m_control, &QTcpSocket::errorOccurred, this, &TFtpClient::onControlError);
    m_step = &TFtpClient::greetingStep;
    setState(FtpState::WaitingBanner);
    m_control->connectToHost(address, m_controlPort);
}

void TFtpClient::onControlConnected()
{
    // Commands are short and each waits for its answer: none may wait for the one before
    // to be acknowledged. Set once the connection stands; before, the socket has nothing
    // to set it on.
    m_control->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    m_connected = true;
    touch();
}

void TFtpClient::onControlError()
{
    if (m_control && m_connected && m_control->error() == QAbstractSocket::SslHandshakeFailedError
        && !m_tlsRefused) {
        m_tlsRefused = true;
        if (m_errorMessage.isEmpty())
            m_errorMessage = u"Šifrované spojení se nepodařilo navázat: "_s + m_control->errorString();
        Q_EMIT OnDisplay(m_errorMessage);
    }
    if (!m_control || m_connected)
        return; // errors of a live connection end in its disconnection
    const int number = ftpSocketErrorNumber(m_control->error());
    m_lastResponse = u"500 "_s + m_control->errorString() + u" (socket error #"_s + QString::number(number) + u')';
    m_statusCode = 500;
    Q_EMIT OnDisplay(m_lastResponse);
    closeControl();
    failWith(number, m_lastResponse);
}

void TFtpClient::onControlReadyRead()
{
    touch();
    {
        const QScopedValueRollback reading(m_readingReplies, true);
        readReplies();
    }
    if (m_heldDone.empty())
        return;
    for (const HeldDone &done : std::exchange(m_heldDone, {})) {
        if (!tellDone(done.kind, done.status))
            return;
    }
}

void TFtpClient::readReplies()
{
    while (m_control && m_control->bytesAvailable() > 0) {
        const qint64 got = m_control->read(m_receiveBuffer.data() + m_receiveCount,
                                           ReceiveBufferSize - m_receiveCount);
        if (got <= 0)
            break;
        m_receiveCount += int(got);
        for (;;) {
            const QByteArrayView filled(m_receiveBuffer.constData(), m_receiveCount);
            qsizetype end = filled.indexOf("\r\n");
            qsizetype skip = 2;
            if (end < 0 && m_receiveCount == ReceiveBufferSize) {
                // A line longer than the buffer would otherwise stall the session forever.
                end = m_receiveCount;
                skip = 0;
            }
            if (end < 0)
                break;
            m_lastResponse = decodeServerText(filled.first(end));
            m_receiveBuffer.remove(0, end + skip);
            m_receiveBuffer.resize(ReceiveBufferSize);
            m_receiveCount -= int(end + skip);
            handleReplyLine();
            if (!m_control)
                return;
        }
    }
}

void TFtpClient::handleReplyLine()
{
    Q_EMIT OnResponse();
    m_statusCode = readReplyNumber(m_lastResponse).code;
    // Every line goes to the log as it came; a step sees only whole replies. The greeting
    // and each command's replies take this one way.
    Q_EMIT OnDisplay(m_lastResponse);
    const bool awaited = m_state == FtpState::WaitingBanner || m_state == FtpState::WaitingResponse;
    // The features stand one to a line inside FEAT's reply, each after a blank.
    if (awaited && m_requestType == FtpRequest::Feat && m_multiLineCode != 0 && m_lastResponse.startsWith(u' '))
        m_features << m_lastResponse.trimmed().section(u' ', 0, 0).toUpper();
    if (awaited && m_step && !isIntermediateLine())
        (this->*m_step)();
}

bool TFtpClient::isIntermediateLine()
{
    const ReplyNumber n = readReplyNumber(m_lastResponse);
    if (m_multiLineCode != 0) {
        // Lines inside a multi-line reply may start with anything; only the code that
        // opened it, without "-", ends it.
        if (n.code == m_multiLineCode && n.after != u'-') {
            m_multiLineCode = 0;
            return false;
        }
        return true;
    }
    if (n.after == u'-') {
        m_multiLineCode = n.code;
        return true;
    }
    return false;
}

void TFtpClient::greetingStep()
{
    if (m_statusCode == 220) {
        if (m_tls)
            executeCommand(FtpRequest::Open, u"AUTH TLS"_s, {234}, &TFtpClient::authStep);
        else
            sessionReady();
        return;
    }
    m_errorMessage = m_lastResponse;
    const int code = m_statusCode;
    closeControl();
    endRequest(code);
}

void TFtpClient::sessionReady()
{
    setState(FtpState::Connected);
    Q_EMIT OnSessionConnected(0);
    endRequest(0);
}

void TFtpClient::onControlDisconnected()
{
    // The log line and the error box of the request it cut off give the same number.
    // A refused certificate is one failure with one number, in the log as in the box.
    const int error = m_tlsRefused ? TlsRefusedStatus
                      : m_control && m_control->error() != QAbstractSocket::UnknownSocketError
                          ? ftpSocketErrorNumber(m_control->error())
                          : ConnectionResetError;
    const bool wasConnected = m_connected;
    closeDataSide();
    closeControl();
    if (!wasConnected)
        return;
    setState(FtpState::NotConnected);
    Q_EMIT OnSessionClosed(error);
    setState(FtpState::InternalReady);
    if (!m_requestDone) {
        // A request cut off by the server did not succeed, whatever it had reached.
        const int status = m_tlsRefused ? TlsRefusedStatus
                           : m_status != 0 ? m_status
                           : error;
        failWith(status, u"Control connection closed by the server"_s);
    }
}

void TFtpClient::closeControl()
{
    if (m_control) {
        m_control->disconnect(this);
        m_control->abort();
        m_control->deleteLater();
        m_control = nullptr;
    }
    m_connected = false;
    m_encrypted = false;
    m_binaryInEffect = false;
    m_featuresKnown = false;
    m_features.clear();
    m_preparedPort = 0;
    m_receiveCount = 0;
    m_multiLineCode = 0;
    m_outgoing.clear();
}

// ---------------------------------------------------------------------------------------
// Reply steps

void TFtpClient::genericStep()
{
    const int code = m_statusCode;
    int status = 0;
    if (m_accepted.empty())
        status = code < 500 ? 0 : code;
    else
        status = std::find(m_accepted.begin(), m_accepted.end(), code) != m_accepted.end() ? 0 : code;
    if (status == 0 && code == 0 && !m_accepted.empty())
        status = 500; // a line without a number is no success
    if (status != 0)
        failWith(status, m_lastResponse);
    else
        endRequest(0);
}

void TFtpClient::featStep()
{
    // A server that knows no FEAT has no features to name: that is an answer too.
    m_featuresKnown = true;
    if (m_statusCode != 211)
        m_features.clear();
    endRequest(m_statusCode == 211 ? 0 : m_statusCode);
}

// USER and PASS: a 230 ends the login, and what a login resets on the server is set again
// before the request ends.
void TFtpClient::loginStep()
{
    const int code = m_statusCode;
    if (std::find(m_accepted.begin(), m_accepted.end(), code) == m_accepted.end()) {
        failWith(code != 0 ? code : 500, m_lastResponse);
        return;
    }
    m_loginCode = code;
    m_loginReply = m_lastResponse;
    m_afterLogin = AfterLogin::None;
    if (code == 230) {
        afterLoginStep();
        return;
    }
    endRequest(0);
}

void TFtpClient::afterLoginStep()
{
    const FtpRequest kind = m_requestType;
    switch (m_afterLogin) {
    case AfterLogin::None:
        if (m_encrypted) {
            m_afterLogin = AfterLogin::Pbsz;
            executeCommand(kind, u"PBSZ 0"_s, {200}, &TFtpClient::afterLoginStep);
            return;
        }
        break;
    case AfterLogin::Pbsz:
    case AfterLogin::Prot:
        if (m_statusCode != 200) {
            // Without PROT P the data would cross the network in clear text.
            failWith(m_statusCode != 0 ? m_statusCode : 500, u"Server odmítl šifrování dat: "_s + m_lastResponse);
            return;
        }
        if (m_afterLogin == AfterLogin::Pbsz) {
            m_afterLogin = AfterLogin::Prot;
            executeCommand(kind, u"PROT P"_s, {200}, &TFtpClient::afterLoginStep);
            return;
        }
        break;
    case AfterLogin::Type:
        // A refused TYPE does not undo the login; every file asks for it again then.
        m_binaryInEffect = m_statusCode == 200;
        m_afterLogin = AfterLogin::None;
        m_statusCode = m_loginCode;
        m_lastResponse = m_loginReply;
        endRequest(0);
        return;
    }
    if (m_binary) {
        m_afterLogin = AfterLogin::Type;
        executeCommand(kind, u"TYPE I"_s, {200}, &TFtpClient::afterLoginStep);
        return;
    }
    m_afterLogin = AfterLogin::None;
    m_statusCode = m_loginCode;
    m_lastResponse = m_loginReply;
    endRequest(0);
}
