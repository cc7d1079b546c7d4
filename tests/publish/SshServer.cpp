#include "SshServer.h"

#include "DaemonStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>

#include <pwd.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

QString makeKey(const QString &path, const QString &passphrase)
{
    QFile::remove(path);
    QFile::remove(path + u".pub"_s);
    QProcess keygen;
    keygen.setProcessChannelMode(QProcess::MergedChannels);
    keygen.start(u"/usr/bin/ssh-keygen"_s, {u"-q"_s, u"-t"_s, u"ed25519"_s, u"-N"_s, passphrase, u"-C"_s,
                                            u"brisko-test"_s, u"-f"_s, path});
    if (!keygen.waitForFinished(30000) || keygen.exitCode() != 0)
        return u"ssh-keygen failed: "_s + QString::fromLocal8Bit(keygen.readAll());
    return {};
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
}

} // namespace

QString SshServer::userName() const
{
    const passwd *entry = ::getpwuid(::geteuid());
    return entry ? QString::fromLocal8Bit(entry->pw_name) : QString();
}

QString SshServer::start(const QString &root)
{
    if (!QFileInfo(u"/usr/sbin/sshd"_s).isExecutable() || !QFileInfo(u"/usr/bin/ssh-keygen"_s).isExecutable())
        return u"openssh-server is not installed"_s;
    m_root = root;
    for (const auto &[name, passphrase] : {std::pair{u"host_key"_s, QString()}, std::pair{u"client_key"_s, QString()},
                                           std::pair{u"locked_key"_s, lockedKeyPassphrase()}}) {
        if (const QString error = makeKey(m_config.filePath(name), passphrase); !error.isEmpty())
            return error;
    }
    QFile keys(m_config.filePath(u"authorized_keys"_s));
    if (!keys.open(QIODevice::WriteOnly))
        return u"cannot write authorized_keys"_s;
    keys.write((readText(clientKey() + u".pub"_s) + u'\n' + readText(lockedClientKey() + u".pub"_s) + u'\n').toUtf8());
    keys.close();
    // Run as root, sshd separates privileges into this folder, which Debian makes only
    // when the service starts.
    if (::geteuid() == 0 && !QFileInfo::exists(u"/run/sshd"_s))
        QDir().mkpath(u"/run/sshd"_s);
    {
        QTcpServer probe; // a port free now; sshd takes it a moment later
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return u"no free port"_s;
        m_port = probe.serverPort();
    }
    return launch();
}

QString SshServer::launch()
{
    const QString text = u"Port %1\nListenAddress 127.0.0.1\nHostKey %2\nPidFile %3\nAuthorizedKeysFile %4\n"
                         u"StrictModes no\nUsePAM no\nPasswordAuthentication yes\nKbdInteractiveAuthentication no\n"
                         u"PubkeyAuthentication yes\nPermitRootLogin yes\nAllowUsers %5\nMaxStartups 30\n"
                         u"MaxSessions 30\nLogLevel ERROR\nSubsystem sftp internal-sftp\n"
                         u"ForceCommand internal-sftp -d %6\n"_s.arg(m_port)
                             .arg(m_config.filePath(u"host_key"_s), m_config.filePath(u"sshd.pid"_s),
                                  m_config.filePath(u"authorized_keys"_s), userName(), m_root);
    const QString configPath = m_config.filePath(u"sshd_config"_s);
    return startDaemon(m_process, {u"sshd"_s, u"/usr/sbin/sshd"_s, {u"-D"_s, u"-e"_s, u"-f"_s, configPath},
                                   configPath, text, m_port, "SSH-", 20000});
}

QString SshServer::knownHostsLine() const
{
    return u"[127.0.0.1]:%1 "_s.arg(m_port) + readText(m_config.filePath(u"host_key.pub"_s)).section(u' ', 0, 1);
}

QString SshServer::changeHostKey()
{
    stop();
    if (const QString error = makeKey(m_config.filePath(u"host_key"_s), {}); !error.isEmpty())
        return error;
    return launch();
}

void SshServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}
