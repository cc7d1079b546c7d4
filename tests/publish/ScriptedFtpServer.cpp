#include "ScriptedFtpServer.h"

#include <QTcpSocket>

using namespace Qt::StringLiterals;

ScriptedFtpServer::ScriptedFtpServer()
{
    m_server.listen(QHostAddress::LocalHost, 0);
    connect(&m_server, &QTcpServer::newConnection, this, &ScriptedFtpServer::onConnection);
}

void ScriptedFtpServer::onConnection()
{
    QTcpSocket *socket = m_server.nextPendingConnection();
    if (m_control) {
        socket->write("421 one session only\r\n");
        socket->disconnectFromHost();
        return;
    }
    m_control = socket;
    connect(socket, &QTcpSocket::readyRead, this, &ScriptedFtpServer::onReadyRead);
    if (!greeting.isEmpty())
        socket->write(greeting);
}

void ScriptedFtpServer::reply(const QByteArray &text)
{
    if (m_control)
        m_control->write(text);
}

void ScriptedFtpServer::dropControl()
{
    if (m_control) {
        m_control->disconnectFromHost();
        m_control->deleteLater();
        m_control = nullptr;
    }
}

void ScriptedFtpServer::onReadyRead()
{
    if (!m_control)
        return;
    m_buffer += m_control->readAll();
    qsizetype end;
    while (m_control && (end = m_buffer.indexOf("\r\n")) >= 0) {
        const QString line = QString::fromUtf8(m_buffer.left(end));
        m_buffer.remove(0, end + 2);
        commands << line;
        const qsizetype space = line.indexOf(u' ');
        const QString verb = (space < 0 ? line : line.left(space)).toUpper();
        const QString argument = space < 0 ? QString() : line.mid(space + 1);
        if (!handler || !handler(verb, argument))
            answer(verb, argument);
    }
}

void ScriptedFtpServer::listenPassive()
{
    m_passive.close();
    m_passive.listen(QHostAddress::LocalHost, 0);
    m_passiveMode = true;
}

void ScriptedFtpServer::answer(const QString &verb, const QString &argument)
{
    if (verb == u"USER"_s) {
        reply("331 password please\r\n");
    } else if (verb == u"PASS"_s) {
        reply("230 logged in\r\n");
    } else if (verb == u"PWD"_s) {
        reply("257 \"/\" is the current directory\r\n");
    } else if (verb == u"CWD"_s) {
        reply("250 directory changed\r\n");
    } else if (verb == u"MKD"_s) {
        reply("257 created\r\n");
    } else if (verb == u"RNFR"_s) {
        reply("350 ready for the new name\r\n");
    } else if (verb == u"RNTO"_s || verb == u"DELE"_s) {
        reply("250 done\r\n");
    } else if (verb == u"TYPE"_s) {
        reply("200 type set\r\n");
    } else if (verb == u"PORT"_s) {
        const QStringList n = argument.split(u',');
        m_activeAddress = QHostAddress(n.mid(0, 4).join(u'.'));
        m_activePort = quint16(n.value(4).toInt() * 256 + n.value(5).toInt());
        m_passiveMode = false;
        reply("200 port ok\r\n");
    } else if (verb == u"EPSV"_s && knowsEpsv) {
        listenPassive();
        reply("229 Entering Extended Passive Mode (|||" + QByteArray::number(m_passive.serverPort()) + "|)\r\n");
    } else if (verb == u"PASV"_s) {
        listenPassive();
        const quint16 p = m_passive.serverPort();
        reply("227 Entering Passive Mode (127,0,0,1," + QByteArray::number(p >> 8) + ','
              + QByteArray::number(p & 0xFF) + ")\r\n");
    } else if (verb == u"STOR"_s) {
        reply("150 send it\r\n");
        receiveStore([this] { reply("226 stored\r\n"); });
    } else if (verb == u"NLST"_s) {
        reply("150 here it comes\r\n");
        withData([this](QTcpSocket *data) {
            data->write(listing);
            data->disconnectFromHost();
            reply("226 listed\r\n");
        });
    } else {
        reply("502 not implemented\r\n");
    }
}

void ScriptedFtpServer::withData(std::function<void(QTcpSocket *)> ready)
{
    if (m_passiveMode) {
        auto take = [this, ready] {
            QTcpSocket *s = m_passive.nextPendingConnection();
            if (s) {
                m_passive.disconnect(this);
                ready(s);
            }
        };
        if (m_passive.hasPendingConnections())
            take();
        else
            connect(&m_passive, &QTcpServer::newConnection, this, take);
        return;
    }
    auto *socket = new QTcpSocket(this);
    connect(socket, &QTcpSocket::connected, this, [socket, ready] { ready(socket); });
    socket->connectToHost(m_activeAddress, m_activePort);
}

void ScriptedFtpServer::receiveStore(std::function<void()> done)
{
    stored.clear();
    withData([this, done](QTcpSocket *data) {
        connect(data, &QTcpSocket::readyRead, this, [this, data] { stored += data->readAll(); });
        connect(data, &QTcpSocket::disconnected, this, [this, data, done] {
            stored += data->readAll();
            data->deleteLater();
            if (done)
                done();
        });
    });
}
