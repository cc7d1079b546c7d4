#pragma once

#include <QByteArrayView>
#include <QProcess>
#include <QString>
#include <QStringList>

// How a test starts a server program of the system on 127.0.0.1: its configuration file
// written, the program started, and the wait until a connection to port is greeted.
struct DaemonStart
{
    QString name;          // "sshd", for the messages
    QString program;
    QStringList arguments; // the configuration file's path among them
    QString configPath;
    QString configText;
    quint16 port = 0;
    QByteArrayView greeting; // what the first line of a connection starts with
    int waitMs = 10000;
};

// Empty once the server greets, else why not.
QString startDaemon(QProcess &process, const DaemonStart &start);
