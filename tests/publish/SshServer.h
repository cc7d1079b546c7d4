#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's OpenSSH server on 127.0.0.1 with a free port, its own host key, configuration
// and authorized key in a temporary folder, for as long as the object lives. It lets the
// current user in with the client key (clientKey()) and serves SFTP (internal-sftp), each
// session starting in the root folder given. Password logins are offered, and refused,
// as the test knows no password of the user.
class SshServer
{
public:
    ~SshServer() { stop(); }
    // Empty on success, otherwise why the server did not start.
    QString start(const QString &root);
    void stop();
    quint16 port() const { return m_port; }
    // The private key the server accepts, without a passphrase.
    QString clientKey() const { return m_config.filePath(QStringLiteral("client_key")); }
    // The same key under a passphrase ("tajne heslo").
    QString lockedClientKey() const { return m_config.filePath(QStringLiteral("locked_key")); }
    static QString lockedKeyPassphrase() { return QStringLiteral("tajne heslo"); }
    // The host key's line for a known_hosts file ("[127.0.0.1]:port ssh-ed25519 ...").
    QString knownHostsLine() const;
    // Gives the server a new host key (restarted), as a server that was replaced would.
    QString changeHostKey();
    QString userName() const;

private:
    QString launch();

    QTemporaryDir m_config;
    QProcess m_process;
    QString m_root;
    quint16 m_port = 0;
};
