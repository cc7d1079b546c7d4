#pragma once

#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

// A tiny FTP server on 127.0.0.1 that answers the way a test wants, including the
// misbehaviour no real server shows on demand. Commands it is not told about get the
// usual answers; a handler can take over any command.
class ScriptedFtpServer : public QObject
{
    Q_OBJECT

public:
    // Returns true when it answered the command itself.
    using Handler = std::function<bool(const QString &verb, const QString &argument)>;

    ScriptedFtpServer();
    quint16 port() const { return m_server.serverPort(); }

    QByteArray greeting = "220 scripted server ready\r\n";
    Handler handler;
    bool knowsEpsv = true;
    QByteArray listing = "a.txt\r\nb.txt\r\n";

    QStringList commands;   // every command line received, in order
    QByteArray stored;      // the data of the last STOR
    bool controlOpen() const { return m_control != nullptr; }
    bool passiveMode() const { return m_passiveMode; }

    void reply(const QByteArray &text);
    void dropControl();
    // Opens the data connection as the last PORT or EPSV/PASV set it up.
    void withData(std::function<void(QTcpSocket *)> ready);
    // Receives a STOR's data until the client closes, then calls done.
    void receiveStore(std::function<void()> done);

private:
    void onConnection();
    void onReadyRead();
    void answer(const QString &verb, const QString &argument);
    void listenPassive();

    QTcpServer m_server;
    QTcpServer m_passive;
    QPointer<QTcpSocket> m_control;
    QByteArray m_buffer;
    bool m_passiveMode = false;
    QHostAddress m_activeAddress;
    quint16 m_activePort = 0;
};
