#include "PyFtpServer.h"

#include <QDeadlineTimer>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace {

// The system's python carries the packaged pyftpdlib; a python of a version manager that
// comes first on PATH may not.
QString pythonWithPyftpdlib()
{
    QStringList candidates{u"/usr/bin/python3"_s, QStandardPaths::findExecutable(u"python3"_s)};
    for (const QString &python : candidates) {
        if (python.isEmpty())
            continue;
        QProcess probe;
        probe.start(python, {u"-c"_s, u"import pyftpdlib"_s});
        if (probe.waitForFinished(10000) && probe.exitStatus() == QProcess::NormalExit && probe.exitCode() == 0)
            return python;
    }
    return {};
}

} // namespace

QString PyFtpServer::start(const QString &root, const QString &user, const QString &password)
{
    return run({root, user, password});
}

QString PyFtpServer::startWithoutMlsd(const QString &root, const QString &user, const QString &password)
{
    return run({u"--no-mlsd"_s, root, user, password});
}

QString PyFtpServer::startSlowData(const QString &root, const QString &user, const QString &password)
{
    return run({u"--slow-data"_s, root, user, password});
}

QString PyFtpServer::startTls(const QString &root, const QString &user, const QString &password,
                              const QString &certFile)
{
    return run({root, user, password, certFile});
}

QString PyFtpServer::run(const QStringList &arguments)
{
    const QString python = pythonWithPyftpdlib();
    if (python.isEmpty())
        return u"no python3 with pyftpdlib"_s;
    m_process.setStandardErrorFile(QProcess::nullDevice());
    m_process.start(python, QStringList{QStringLiteral(BRISKO_FTPSERVER_SCRIPT)} + arguments);
    if (!m_process.waitForStarted(5000))
        return u"the server did not start"_s;
    QDeadlineTimer deadline(10000);
    while (!m_process.canReadLine() && !deadline.hasExpired())
        m_process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
    const QByteArray line = m_process.readLine().trimmed();
    if (!line.startsWith("PORT "))
        return u"the server did not report its port"_s;
    m_port = quint16(line.mid(5).toUInt());
    return {};
}

void PyFtpServer::stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.closeWriteChannel();
    if (!m_process.waitForFinished(2000)) {
        m_process.kill();
        m_process.waitForFinished(2000);
    }
}
