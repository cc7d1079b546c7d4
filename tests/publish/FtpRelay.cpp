#include "FtpRelay.h"

#include <QTimer>

FtpRelay::FtpRelay(quint16 target, int delayMs) : m_target(target), m_delayMs(delayMs)
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        QTcpSocket *client = m_server.nextPendingConnection();
        if (refusing || (acceptLimit >= 0 && m_accepted >= acceptLimit)) {
            client->abort();
            client->deleteLater();
            return;
        }
        ++m_accepted;
        client->setParent(this);
        auto *upstream = new QTcpSocket(this);
        m_pairs.append(std::make_pair(QPointer<QTcpSocket>(client), QPointer<QTcpSocket>(upstream)));
        forward(client, upstream);
        forward(upstream, client);
        upstream->connectToHost(QHostAddress::LocalHost, m_target);
    });
}

void FtpRelay::forward(QTcpSocket *from, QTcpSocket *to)
{
    QPointer<QTcpSocket> target(to);
    connect(from, &QTcpSocket::readyRead, this, [this, from, target] {
        const QByteArray bytes = from->readAll();
        if (m_delayMs <= 0) {
            if (target)
                target->write(bytes);
            return;
        }
        // Timers of equal delay fire in the order they were started: bytes keep their order.
        QTimer::singleShot(m_delayMs, this, [target, bytes] {
            if (target)
                target->write(bytes);
        });
    });
    connect(from, &QTcpSocket::disconnected, this, [this, target] {
        QTimer::singleShot(m_delayMs > 0 ? m_delayMs + 10 : 0, this, [target] {
            if (target)
                target->disconnectFromHost();
        });
    });
}

void FtpRelay::cut()
{
    for (auto &[client, upstream] : m_pairs) {
        if (client)
            client->abort();
        if (upstream)
            upstream->abort();
    }
    m_pairs.clear();
}
