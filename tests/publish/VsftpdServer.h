#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>

// Debian's vsftpd on 127.0.0.1 with a free port and a configuration of its own in a
// temporary folder, for as long as the object lives: anonymous login (any password) into
// root, whose folder "web" takes uploads, deletions and renames. vsftpd knows no MLSD
// ("500 Unknown command"); it lists with LIST and names MDTM in FEAT.
class VsftpdServer
{
public:
    ~VsftpdServer() { stop(); }
    // Empty on success, otherwise why the server did not start. root is made read-only
    // (vsftpd refuses a writable root for anonymous users) and root/web writable by all.
    QString start(const QString &root);
    void stop();
    quint16 port() const { return m_port; }
    qint64 processId() const { return m_process.processId(); }

private:
    QTemporaryDir m_config;
    QProcess m_process;
    quint16 m_port = 0;
};
