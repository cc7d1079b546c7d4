#pragma once

#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

// Carries control connections to a server on 127.0.0.1 as a network between them would:
// with a delay each way if asked, cut off on demand, or refusing new connections as a
// server that is down. Data connections do not pass through it.
class FtpRelay : public QObject
{
public:
    explicit FtpRelay(quint16 target, int delayMs = 0);
    quint16 port() const { return m_server.serverPort(); }
    // Cuts every connection at once, as a line that drops.
    void cut();
    // New connections are closed at once.
    bool refusing = false;
    // Connections after this many are closed at once, as a server's limit per client
    // turns them away; -1 for none.
    int acceptLimit = -1;

private:
    void forward(QTcpSocket *from, QTcpSocket *to);

    quint16 m_target;
    int m_delayMs;
    QTcpServer m_server;
    int m_accepted = 0;
    QList<std::pair<QPointer<QTcpSocket>, QPointer<QTcpSocket>>> m_pairs;
};
