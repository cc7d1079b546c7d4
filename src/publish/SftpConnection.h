#pragma once

#include "publish/RemoteSession.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <optional>

class QCryptographicHash;
struct ssh_session_struct;
struct sftp_session_struct;

// One SSH connection with its SFTP channel, over libssh. Every call blocks until the
// server answers: it is used by one worker thread at a time, never by the window's.
// Remote paths are absolute; SFTP has no current directory.
class SftpConnection
{
public:
    struct Target
    {
        QString host;
        int port = 22;
        QString user;
        QString ownKnownHosts;  // the keys trusted in this program, written here
        QString userKnownHosts; // the user's ~/.ssh/known_hosts, only read
        QString sshDirectory;   // where the user's default keys are
        int timeoutSeconds = 15;
    };
    enum class HostKeyState { Known, Unknown, Changed, Failed };
    struct HostKey
    {
        HostKeyState state = HostKeyState::Failed;
        QString type;        // "ssh-ed25519" ...
        QString fingerprint; // "SHA256:..." as ssh shows it
        QByteArray sha256;   // the raw hash, for further sessions to the same server
    };
    enum class Auth { Success, Denied, NeedsPassphrase, Failed };
    enum class Sent { Done, Stopped, Failed };

    SftpConnection();
    ~SftpConnection();
    SftpConnection(const SftpConnection &) = delete;
    SftpConnection &operator=(const SftpConnection &) = delete;

    // The TCP connection and the key exchange; no login yet.
    bool open(const Target &target);
    HostKey hostKey();
    // Adds the server's key to the program's own list.
    bool trustHostKey();
    // Logins, in the order ssh tries them: the agent, a key file, the password.
    bool authenticateAgent();
    // The default keys of the user's ssh directory (the agent's too), none of them asking.
    bool authenticateDefaultKeys();
    Auth authenticateKeyFile(const QString &path, const QString &passphrase);
    bool authenticatePassword(const QString &password);
    bool startSftp();
    bool connected() const;
    void close();
    QString error() const { return m_error; }

    std::optional<QString> canonical(const QString &path);
    bool makeDirectory(const QString &path);
    bool removeFile(const QString &path);
    bool removeDirectory(const QString &path);
    // What the path itself is (a link stays a link).
    std::optional<RemoteFile> info(const QString &path);
    std::optional<RemoteDirectory> list(const QString &path);
    // Renames over an existing file; the old one is back when the rename fails.
    bool rename(const QString &from, const QString &to);
    // Sends the local file from offset on into the remote one at the same offset (a new
    // file when offset is 0); every byte sent goes through hash when one is given.
    // inFlight counts the bytes of this file sent so far; stop cuts it between blocks.
    Sent send(const QString &local, const QString &remote, qint64 offset, QCryptographicHash *hash,
              std::atomic<qint64> &inFlight, const std::atomic<bool> &stop);

private:
    // Stores files over a channel of its own on this connection.
    friend class SftpPipeline;

    bool fail(const QString &what);
    bool sftpFail(const QString &what, const QString &path);

    ssh_session_struct *m_ssh = nullptr;
    sftp_session_struct *m_sftp = nullptr;
    QString m_error;
};

// How the log names an SFTP status a server refused a request with: " (neexistuje)" ...;
// nothing for a status that says no more than the request's own text, unless the
// connection is lost.
QString sftpStatusNote(int status, bool connected);

// Who logs in where, with what: everything a further session to the same server needs,
// the server's key included, so it logs in without asking anyone. Held in memory only.
struct SftpCredentials
{
    QString host;
    int port = 22;
    QString user;
    QString password;
    QString keyFile;    // empty: the user's default keys
    QString passphrase; // of the key file, once the user gave it
    QString ownKnownHosts;
    QString userKnownHosts;
    QString sshDirectory;
    QByteArray hostKeySha256; // the key the first session trusted
    int timeoutSeconds = 15;
};

// Connects and logs in as ssh would, with no question: the server's key must be the one
// given. False with the connection's error when it cannot.
bool logInQuietly(SftpConnection &connection, const SftpCredentials &credentials);
