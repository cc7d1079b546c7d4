#include "VsftpdServer.h"

#include "DaemonStart.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTcpServer>

#include <unistd.h>

using namespace Qt::StringLiterals;

QString VsftpdServer::start(const QString &root)
{
    const QString program = u"/usr/sbin/vsftpd"_s;
    if (!QFileInfo(program).isExecutable())
        return u"vsftpd is not installed"_s;
    if (::geteuid() != 0)
        return u"vsftpd runs only as root here"_s;
    {
        QTcpServer probe; // a port free now; vsftpd takes it a moment later
        if (!probe.listen(QHostAddress::LocalHost, 0))
            return u"no free port"_s;
        m_port = probe.serverPort();
    }
    QDir().mkpath(root + u"/web"_s);
    QFile::setPermissions(root, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup
                                    | QFile::ReadOther | QFile::ExeOther);
    QFile::setPermissions(root + u"/web"_s, QFileDevice::Permissions(0x7777));
    const QString empty = m_config.filePath(u"empty"_s);
    QDir().mkpath(empty);
    const QString text = u"listen=YES\nlisten_address=127.0.0.1\nlisten_port=%1\nbackground=NO\n"
                         u"anonymous_enable=YES\nanon_root=%2\nwrite_enable=YES\nanon_upload_enable=YES\n"
                         u"anon_mkdir_write_enable=YES\nanon_other_write_enable=YES\nanon_umask=022\n"
                         u"local_enable=NO\npasv_enable=YES\nseccomp_sandbox=NO\nrun_as_launching_user=YES\n"
                         u"secure_chroot_dir=%3\nxferlog_enable=NO\nuse_localtime=NO\n"_s.arg(m_port)
                             .arg(root, empty);
    const QString configPath = m_config.filePath(u"vsftpd.conf"_s);
    return startDaemon(m_process, {u"vsftpd"_s, program, {configPath}, configPath, text, m_port, "220", 10000});
}

void VsftpdServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(3000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}
