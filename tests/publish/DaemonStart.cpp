#include "DaemonStart.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QHostAddress>
#include <QTcpSocket>
#include <QThread>

using namespace Qt::StringLiterals;

QString startDaemon(QProcess &process, const DaemonStart &start)
{
    QFile config(start.configPath);
    if (!config.open(QIODevice::WriteOnly) || config.write(start.configText.toUtf8()) < 0)
        return u"cannot write the configuration"_s;
    config.close();
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(start.program, start.arguments);
    if (!process.waitForStarted(5000))
        return start.name + u" did not start"_s;
    QDeadlineTimer deadline(start.waitMs);
    while (!deadline.hasExpired()) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, start.port);
        if (socket.waitForConnected(1000) && socket.waitForReadyRead(3000)
            && socket.readAll().startsWith(start.greeting))
            return {};
        if (process.state() == QProcess::NotRunning)
            return start.name + u" ended: "_s + QString::fromLocal8Bit(process.readAll());
        QThread::msleep(20);
    }
    return start.name + u" did not answer"_s;
}
