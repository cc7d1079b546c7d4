#pragma once

#include "publish/FtpDataChannel.h"

#include <QAbstractSocket>
#include <QElapsedTimer>
#include <QHostAddress>
#include <QObject>
#include <QSslCertificate>
#include <QSslError>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QEventLoop;
class QHostInfo;
class QSslSocket;

// A request refused before it starts; the text says which precondition failed.
class FtpException
{
public:
    explicit FtpException(QString message) : m_message(std::move(message)) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

// Kinds of request, as the request-done notification reports them.
enum class FtpRequest {
    None = 0,
    Open = 1,
    User = 2,
    Pass = 3,
    Cwd = 4,
    Nlst = 8,
    List = 10,
    Put = 16,
    Mlsd = 9,
    Mkd = 20,
    Rmd = 21,
    Dele = 22,
    RenFrom = 23,
    RenTo = 24,
    Pwd = 30,
    TypeSet = 35,
    Size = 36,
    Feat = 37,
    Mdtm = 38,
};

enum class FtpState {
    NotConnected,
    Ready,
    InternalReady,
    DnsLookup,
    Connected,
    Abort,
    InternalAbort,
    WaitingBanner,
    WaitingResponse,
};

// A non-blocking FTP client session: the control connection, and during a transfer the
// data side (FtpDataChannel), which it tells when to start and learns from when it ends.
// Requests start at once and advance one step per server reply on the
// user-interface thread; each ends with OnRequestDone, delivered after the step that ended
// it has returned. The ...Sync forms wait for the end while events keep flowing.
class TFtpClient : public QObject
{
    Q_OBJECT

public:
    explicit TFtpClient(QObject *parent = nullptr);
    ~TFtpClient() override;

    QString HostName() const { return m_hostName; }
    void setHostName(const QString &v) { m_hostName = v; }
    QString Port() const { return m_port; }
    void setPort(const QString &v) { m_port = v; }
    QString UserName() const { return m_userName; }
    void setUserName(const QString &v) { m_userName = v; }
    QString PassWord() const { return m_passWord; }
    void setPassWord(const QString &v) { m_passWord = v; }
    QString HostDirName() const { return m_hostDirName; }
    void setHostDirName(const QString &v) { m_hostDirName = v; }
    QString HostFileName() const { return m_hostFileName; }
    void setHostFileName(const QString &v) { m_hostFileName = v; }
    QString LocalFileName() const { return m_localFileName; }
    void setLocalFileName(const QString &v) { m_localFileName = v; }
    bool Binary() const { return m_binary; }
    // The server confirmed TYPE I on this connection: files need not ask for it again.
    bool BinaryInEffect() const { return m_binaryInEffect; }
    void setBinary(bool v) { m_binary = v; }
    bool DisplayFlag() const { return m_displayFlag; }
    void setDisplayFlag(bool v) { m_displayFlag = v; }
    int Timeout() const { return m_timeoutMs / 1000; }
    void setTimeout(int seconds) { m_timeoutMs = seconds * 1000; }
    // The same limit in milliseconds, so tests need not wait whole seconds.
    int TimeoutMs() const { return m_timeoutMs; }
    void setTimeoutMs(int milliseconds) { m_timeoutMs = milliseconds; }
    // Passive transfers (EPSV, then PASV when the server does not know EPSV), for clients
    // behind address-translating routers that the server cannot connect back to.
    bool Passive() const { return m_passive; }
    void setPassive(bool v) { m_passive = v; }
    // When the server refuses active mode (PORT answered 5xx, or it cannot connect back and
    // says so with 425), the transfer is tried once more in passive mode and the session
    // stays passive.
    bool PassiveFallback() const { return m_passiveFallback; }
    void setPassiveFallback(bool v) { m_passiveFallback = v; }
    // Explicit FTPS: after the greeting AUTH TLS, PBSZ 0 and PROT P, and every data
    // connection over TLS too, always passive. A server that refuses AUTH TLS ends the Open: nothing goes
    // in clear text once encryption was asked for.
    bool Tls() const { return m_tls; }
    void setTls(bool v) { m_tls = v; }
    // Asked when the system does not trust the server's certificate; true lets the session
    // go on with it. Without one, such a certificate ends the Open.
    using CertificateCheck = std::function<bool(const QSslCertificate &, const QList<QSslError> &)>;
    void setCertificateCheck(CertificateCheck check) { m_certificateCheck = std::move(check); }
    // The control connection is encrypted now.
    bool Encrypted() const { return m_encrypted; }
    QSslCertificate ServerCertificate() const { return m_serverCertificate; }
    // The port number the control connection went to, once Open has looked it up.
    quint16 ControlPort() const { return m_controlPort; }
    // Every block a STOR sends also goes into this hash (not owned; null for none).
    void setSentDataHash(ContentHash *hash) { m_dataChannel->setSentDataHash(hash); }

    QString ErrorMessage() const { return m_errorMessage; }
    QString LastResponse() const { return m_lastResponse; }
    int StatusCode() const { return m_statusCode; }
    FtpState State() const { return m_state; }
    bool Connected() const { return m_connected; }
    int Status() const { return m_status; }
    // The server took up the last transfer (125 or 150), so it may hold part of the file.
    bool TransferAccepted() const { return m_transferAccepted; }

    // Asynchronous forms: throw FtpException when refused, otherwise end with OnRequestDone.
    void Open();
    void User();
    void Pass();
    void Cwd();
    void Pwd();
    void Mkd();
    void TypeSet();
    void Dele();
    void RenFrom();
    void RenTo();
    void Put();
    void Nlst();
    // RMD of HostFileName.
    void Rmd();
    // SIZE of HostFileName; ReplySize() reads the answer.
    void Size();
    // MLSD of HostFileName (the current directory when empty), kept in ListingData().
    void Mlsd();
    // LIST of HostFileName, kept in ListingData(), for servers without MLSD.
    void List();
    // FEAT: what the server says it can do, kept for the connection (HasFeature).
    void Feat();
    // MDTM of HostFileName; ReplyStamp() reads the answer.
    void Mdtm();
    // MDTM of every path, all sent together (at least one); AnsweredStamps() reads the
    // times once the request is done.
    void MdtmAll(const QStringList &paths);
    // The times the last MdtmAll learned, in the order of its paths, empty where the
    // server named none; nothing when it failed on the way.
    std::optional<QStringList> AnsweredStamps() const;
    // RNFR HostFileName and RNTO target sent together and answered in one round trip. With
    // prepareTransfer (passive sessions only) the next transfer's EPSV goes along, and the
    // next transfer takes the port it names instead of asking for one again.
    void Rename(const QString &target, bool prepareTransfer = false);
    // With the next Rename that prepares a transfer: once the rename is answered as done and
    // the port named, this store starts at once, without waiting for the caller, and the
    // Put of the same names that follows takes it up instead of starting another.
    void setStoreAfterRename(const QString &hostFile, const QString &localFile);
    // A store started so is running (or over, its notification still to come).
    bool StoreUnderway() const { return m_storeUnderway; }
    // A request ended by a server's reply is reported once the replies that came with it
    // are handled, not after a turn of the event loop: for callers that start the next
    // request from the notification (the files of an upload), not from inside a step.
    void setDoneAfterReplies(bool v) { m_doneAfterReplies = v; }

    // Synchronous forms: true when the request ended with status 0.
    bool OpenSync();
    bool UserSync();
    bool PassSync();
    bool CwdSync();
    bool PwdSync();
    bool MkdSync();
    bool TypeSetSync();
    bool DeleSync();
    bool PutSync();
    bool NlstSync();
    bool RmdSync();
    bool SizeSync();
    bool MlsdSync();
    bool ListSync();
    bool FeatSync();
    bool MdtmSync();
    bool RenameSync(const QString &target, bool prepareTransfer = false);
    // MDTM of every path, all sent together: a round trip for the lot instead of one per
    // file. The times in the order of the paths, empty where the server named none (a
    // refusal counts for its own path only); nothing when the session failed on the way.
    std::optional<QStringList> MdtmAllSync(const QStringList &paths);

    // The number a 213 reply to SIZE gives; -1 when there is none.
    qint64 ReplySize() const;
    // The time a 213 reply to MDTM gives (YYYYMMDDhhmmss, UTC); empty when there is none.
    QString ReplyStamp() const;
    // FEAT has been asked on this connection, and it named this feature (its first word,
    // "MDTM", "MLST", "REST").
    bool FeaturesKnown() const { return m_featuresKnown; }
    bool HasFeature(const QString &feature) const { return m_features.contains(feature.toUpper()); }
    // What the last MLSD received.
    QByteArray ListingData() const { return m_dataChannel->listing(); }
    // The next Put sends the local file from this byte on and appends it (APPE) to the
    // remote file, which holds the bytes before it already; 0 stores it whole (STOR).
    void setAppendOffset(qint64 offset) { m_appendOffset = offset; }
    qint64 AppendOffset() const { return m_appendOffset; }

    void Abort();
    // Stops a running transfer cleanly: the data connection is cut, the server's answer
    // to it is awaited, and the request ends with StoppedStatus. Other requests run on.
    void StopTransfer();
    static constexpr int StoppedStatus = 10004;
    // A store whose local file could not be read whole.
    static constexpr int LocalReadStatus = 10005;
    static constexpr int TimeoutError = 10060;
    // The Open ended because the server's certificate was not accepted or its TLS failed.
    static constexpr int TlsRefusedStatus = 10101;

    // While paused (a message box is open, say), the silence does not count toward the
    // time-out. Pauses nest; the silence starts anew when the last one ends.
    void PauseTimeout() { ++m_timeoutPauses; }
    // How long the server has been silent on a running request (0 when none runs or paused),
    // for callers that drive the asynchronous requests themselves.
    qint64 SilenceMs() const
    {
        return m_requestDone || m_timeoutPauses > 0 || !m_silence.isValid() ? 0 : m_silence.elapsed();
    }
    void ResumeTimeout();
    // Ends the session as a request's time-out does ("Timeout" in the log), for callers that
    // watch SilenceMs themselves.
    void TimeOut();
    // A request runs, or its request-done notification is still to come.
    bool RequestRunning() const { return !m_requestDone || m_donePending > 0; }

    // The directory a 257 reply names ("" quotes inside it doubled), empty if none.
    static QString DirectoryOfReply(const QString &reply);

    // The line that closes a transfer: bytes, whole seconds and the integer rate.
    static QString TransferSummary(qint64 bytes, qint64 milliseconds);

Q_SIGNALS:
    void OnDisplay(const QString &text);
    // Called before a command is sent; the receiver may change the text.
    void OnCommand(QString &command);
    void OnResponse();
    void OnSessionConnected(int error);
    void OnSessionClosed(int error);
    void OnRequestDone(FtpRequest request, int status);
    void OnStateChange();
    // Bytes of the running STOR that have left so far.
    void OnProgress(qint64 bytes);
    void OnPassiveFallback();
    // The store set with setStoreAfterRename starts now; what follows in the log is its.
    void OnStoreAfterRename();

private:
    using ReplyStep = void (TFtpClient::*)();

    void setState(FtpState state);
    bool isReady() const { return m_state == FtpState::Ready || m_state == FtpState::InternalReady; }
    void checkReady() const;
    void checkConnected() const;
    void beginRequest(FtpRequest kind);
    bool runSync(void (TFtpClient::*request)());
    void touch() { m_silence.restart(); }

    // With more, further commands follow at once and leave with the last one.
    void sendCommand(const QString &command, bool more = false);
    void executeCommand(FtpRequest kind, const QString &command, std::vector<int> accepted,
                        ReplyStep step);
    void endRequest(int status);
    void failWith(int status, const QString &message);

    // Control connection.
    void onHostFound(const QHostInfo &info);
    void onControlConnected();
    void onControlReadyRead();
    void readReplies();
    bool tellDone(FtpRequest kind, int status);
    void onControlDisconnected();
    void onControlError();
    void handleReplyLine();
    void sessionReady();
    void onControlSslErrors(const QList<QSslError> &errors);
    void onControlEncrypted();
    void authStep();
    void refuseSession(const QString &text);
    bool endIfStopped();
    void securityStep();
    bool isIntermediateLine();
    void closeControl();

    // Reply steps: each gets the last line of a reply, already shown in the log.
    void greetingStep();
    void genericStep();
    void loginStep();
    void afterLoginStep();
    void featStep();
    void mdtmAllRequest();
    void mdtmAllStep();
    void portStep();
    void passiveStep();
    void transferStartStep();
    void transferFinalStep();
    void renameStep();
    void renameRequest();
    void startStoreAfterRename();

    // Transfers: the control side of them.
    void startTransfer(FtpRequest kind);
    void sendTransferCommand();
    void onDataFinished(bool complete);
    void transferMayBeComplete();
    bool fallBackToPassive();
    void sendPassiveRequest();
    int passivePortOfReply() const;
    void connectPassive(quint16 port);
    bool usePreparedPort();
    void abortSession(int error);
    void closeDataSide();
    QString transferCommandName() const;

    QString m_hostName;
    QString m_port = QStringLiteral("ftp");
    QString m_userName;
    QString m_passWord;
    QString m_hostDirName;
    QString m_hostFileName;
    QString m_localFileName;
    bool m_binary = true;
    bool m_binaryInEffect = false;
    bool m_displayFlag = false;
    int m_timeoutMs = 15000;
    bool m_passive = false;
    bool m_passiveFallback = true;
    bool m_fellBack = false;
    bool m_stopped = false;
    int m_timeoutPauses = 0;
    bool m_tls = false;
    bool m_encrypted = false;
    bool m_tlsRefused = false;
    bool m_protSent = false;
    // After a login: PBSZ and PROT again over TLS (a new USER resets them on some servers),
    // then TYPE I (it resets the type to ASCII); the login's own reply is kept meanwhile.
    enum class AfterLogin { None, Pbsz, Prot, Type } m_afterLogin = AfterLogin::None;
    int m_loginCode = 0;
    QString m_loginReply;
    bool m_featuresKnown = false;
    QStringList m_features;
    CertificateCheck m_certificateCheck;
    QSslCertificate m_serverCertificate;

    QString m_errorMessage;
    QString m_lastResponse;
    int m_statusCode = 0;
    FtpState m_state = FtpState::Ready;
    bool m_connected = false;
    FtpRequest m_requestType = FtpRequest::None;
    int m_status = 0;
    bool m_requestDone = true;
    int m_donePending = 0; // request-done notifications posted, not yet delivered
    bool m_doneAfterReplies = false;
    bool m_readingReplies = false;
    struct HeldDone
    {
        FtpRequest kind;
        int status;
    };
    std::vector<HeldDone> m_heldDone; // ended while replies were read, told after them
    std::vector<int> m_accepted;
    ReplyStep m_step = nullptr;
    // Inside a multi-line reply: its code; a line of that code without "-" ends it.
    int m_multiLineCode = 0;

    QSslSocket *m_control = nullptr;
    int m_lookupId = -1;
    quint16 m_controlPort = 0;
    QByteArray m_receiveBuffer;
    int m_receiveCount = 0;
    QByteArray m_outgoing; // commands that leave together with the next one

    FtpDataChannel *m_dataChannel = nullptr;
    qint64 m_appendOffset = 0;
    bool m_finalReplyMark = false;
    bool m_dataClosedMark = false;
    bool m_transferAccepted = false;
    bool m_triedEpsv = false;
    // A pipelined rename: its target, the replies still to come, and the first refusal.
    QString m_renameTarget;
    bool m_renamePrepares = false;
    QString m_storeAfterRenameHost, m_storeAfterRenameLocal;
    bool m_storeUnderway = false;
    int m_pipelineCount = 0;
    int m_pipelineReplies = 0;
    int m_pipelineFailure = 0;
    QString m_pipelineFailureText;
    // Pipelined MDTMs: the paths asked, and the times answered so far.
    QStringList m_stampPaths, m_stamps;
    // The port an EPSV sent ahead named, for the next passive transfer; the server keeps
    // it open a while only, so an old one is asked for anew.
    quint16 m_preparedPort = 0;
    QElapsedTimer m_preparedClock;
    static constexpr int PreparedPortMaxAgeMs = 5000;

    QEventLoop *m_waitLoop = nullptr;
    QElapsedTimer m_silence;
    bool m_timedOut = false;
};
