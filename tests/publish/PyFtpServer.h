#pragma once

#include <QProcess>
#include <QString>

// A real FTP server (pyftpdlib) on 127.0.0.1 with a free port, one user and one root
// directory, for as long as the object lives.
class PyFtpServer
{
public:
    ~PyFtpServer() { stop(); }
    // Empty on success, otherwise why the server did not start.
    QString start(const QString &root, const QString &user, const QString &password);
    // The same, answering MLSD as an unknown command, as vsftpd does.
    QString startWithoutMlsd(const QString &root, const QString &user, const QString &password);
    // The same, taking stored data at 8 MB/s: a transfer lasts long enough to be cut midway.
    QString startSlowData(const QString &root, const QString &user, const QString &password);
    // The same, speaking explicit FTPS with the certificate in certFile (made if missing).
    QString startTls(const QString &root, const QString &user, const QString &password,
                     const QString &certFile);
    void stop();
    quint16 port() const { return m_port; }
    qint64 pid() const { return m_process.processId(); }

private:
    QString run(const QStringList &arguments);

    QProcess m_process;
    quint16 m_port = 0;
};
