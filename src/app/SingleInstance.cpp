#include "SingleInstance.h"

#include "app/TForm1.h"

#include <QApplication>
#include <QDataStream>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// A request is a byte count, then this mark, the kind and the file names; the answer is a
// byte count, then the kind again and the names the instance has open (for a list).
constexpr quint32 kRequestMark = 0x42524b31; // "BRK1"
enum class Request : quint8 { Open = 1, List = 2 };

QByteArray framed(const QByteArray &body)
{
    QByteArray out;
    QDataStream stream(&out, QIODevice::WriteOnly);
    stream << quint32(body.size());
    return out + body;
}

// Takes one framed message off the front of buffer; nothing while it is incomplete.
std::optional<QByteArray> takeFrame(QByteArray &buffer)
{
    if (buffer.size() < 4)
        return std::nullopt;
    quint32 size = 0;
    QDataStream(buffer.left(4)) >> size;
    if (buffer.size() < qsizetype(4 + size))
        return std::nullopt;
    QByteArray body = buffer.mid(4, size);
    buffer.remove(0, 4 + size);
    return body;
}

QByteArray encodeRequest(Request kind, const QStringList &files)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    stream << kRequestMark << quint8(kind) << files;
    return framed(body);
}

// Sends one request and returns the body of the answer; nothing when no instance answers.
std::optional<QByteArray> exchange(const QString &socketName, const QByteArray &request, int waitMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketName);
    // A socket file nobody listens on refuses at once; a live instance accepts at once.
    if (!socket.waitForConnected(qMin(waitMs, 3000)))
        return std::nullopt;
    socket.write(request);
    if (!socket.waitForBytesWritten(waitMs))
        return std::nullopt;
    QByteArray buffer;
    while (true) {
        if (std::optional<QByteArray> body = takeFrame(buffer))
            return body;
        if (!socket.waitForReadyRead(waitMs))
            return std::nullopt;
        buffer += socket.readAll();
    }
}

QString sanitized(QString text)
{
    static const QRegularExpression unsafe(u"[^A-Za-z0-9_.-]"_s);
    return text.replace(unsafe, u"_"_s);
}

TForm1 *mainWindow()
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *frame = qobject_cast<TForm1 *>(w); frame && frame->isVisible())
            return frame;
    }
    return nullptr;
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments, const QString &workingDirectory)
{
    CommandLine command;
    const QDir base(workingDirectory);
    bool onlyFiles = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments.at(i);
        if (!onlyFiles && arg.startsWith(u'-')) {
            if (arg == u"--"_s)
                onlyFiles = true;
            else if (arg == u"--new-instance"_s)
                command.newInstance = true;
            else if (arg == u"--check-install"_s)
                command.checkInstall = true;
            else if (arg == u"--list-documents"_s)
                command.listDocuments = true;
            continue;
        }
        if (arg.isEmpty())
            continue;
        QString path = arg;
        if (arg.startsWith(u"file:"_s, Qt::CaseInsensitive))
            path = QUrl(arg).toLocalFile();
        if (path.isEmpty())
            continue;
        command.files << QDir::cleanPath(base.absoluteFilePath(path));
    }
    return command;
}

QString instanceSocketName()
{
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty())
        display = qEnvironmentVariable("DISPLAY");
    if (display.isEmpty())
        display = QGuiApplication::platformName();
    const QString name = u"brisko-editor-"_s + sanitized(display);
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return QDir(runtime).filePath(name + u".socket"_s);
    return QDir(QDir::tempPath()).filePath(name + u"-"_s + QString::number(::getuid()) + u".socket"_s);
}

bool handFilesOver(const QString &socketName, const QStringList &files, int waitMs)
{
    const std::optional<QByteArray> answer =
        exchange(socketName, encodeRequest(Request::Open, files), waitMs);
    if (!answer)
        return false;
    QDataStream stream(*answer);
    quint8 kind = 0;
    stream >> kind;
    return stream.status() == QDataStream::Ok && kind == quint8(Request::Open);
}

std::optional<QStringList> askOpenDocuments(const QString &socketName, int waitMs)
{
    const std::optional<QByteArray> answer =
        exchange(socketName, encodeRequest(Request::List, {}), waitMs);
    if (!answer)
        return std::nullopt;
    QDataStream stream(*answer);
    quint8 kind = 0;
    QStringList files;
    stream >> kind >> files;
    if (stream.status() != QDataStream::Ok || kind != quint8(Request::List))
        return std::nullopt;
    return files;
}

InstanceServer::InstanceServer(QObject *parent)
    : QObject(parent)
{
}

InstanceServer::~InstanceServer() = default;

bool InstanceServer::listen(const QString &socketName)
{
    delete m_server;
    m_server = new QLocalServer(this);
    // No access options: with them Qt makes the socket elsewhere and renames it over the
    // name, which would take the name from a live instance. The runtime folder is the
    // user's own; in the shared one the socket's mode keeps other users out.
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnection);
    if (m_server->listen(socketName))
        return true;
    if (m_server->serverError() != QAbstractSocket::AddressInUseError)
        return false;
    // The name is taken: by a live instance (which accepts) or by a socket a crashed one
    // left behind (which refuses), and only that one may be replaced.
    QLocalSocket probe;
    probe.connectToServer(socketName);
    if (probe.waitForConnected(3000)) {
        probe.disconnectFromServer();
        return false;
    }
    QLocalServer::removeServer(socketName);
    return m_server->listen(socketName);
}

bool InstanceServer::isListening() const
{
    return m_server && m_server->isListening();
}

void InstanceServer::setOpener(Opener opener)
{
    m_opener = std::move(opener);
    flush();
}

void InstanceServer::setLister(Lister lister)
{
    m_lister = std::move(lister);
}

void InstanceServer::enqueue(const QStringList &files)
{
    m_pending += files;
    flush();
}

void InstanceServer::acceptConnection()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] { readRequest(socket); });
        if (socket->bytesAvailable() > 0)
            readRequest(socket);
    }
}

void InstanceServer::readRequest(QLocalSocket *socket)
{
    QByteArray buffer = socket->property("brisko-buffer").toByteArray() + socket->readAll();
    const std::optional<QByteArray> body = takeFrame(buffer);
    socket->setProperty("brisko-buffer", buffer);
    if (!body)
        return;
    QDataStream stream(*body);
    quint32 mark = 0;
    quint8 kind = 0;
    QStringList files;
    stream >> mark >> kind >> files;
    if (stream.status() != QDataStream::Ok || mark != kRequestMark) {
        socket->abort();
        return;
    }
    QByteArray answer;
    QDataStream out(&answer, QIODevice::WriteOnly);
    out << kind;
    if (kind == quint8(Request::List))
        out << (m_lister ? m_lister() : QStringList());
    socket->write(framed(answer));
    socket->flush();
    // The files open after the answer went, so the other start ends at once even when
    // opening them asks the user something.
    if (kind == quint8(Request::Open))
        QTimer::singleShot(0, this, [this, files] { enqueue(files); });
}

void InstanceServer::flush()
{
    if (!m_opener || m_pending.isEmpty())
        return;
    // Taken off first: opening may ask the user, and more files may arrive meanwhile.
    const QStringList files = std::exchange(m_pending, {});
    if (!m_opener(files)) {
        m_pending = files + m_pending;
        // Not ready to open yet (the main window is still being built): try again soon.
        if (!m_retry) {
            m_retry = new QTimer(this);
            m_retry->setSingleShot(true);
            m_retry->setInterval(100);
            connect(m_retry, &QTimer::timeout, this, &InstanceServer::flush);
        }
        m_retry->start();
    }
}

void bringToFront(QWidget &window)
{
    if (window.isMinimized())
        window.setWindowState((window.windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    window.show();
    window.raise();
    window.activateWindow();
}

void serveMainWindow(InstanceServer &server)
{
    server.setLister([] {
        QStringList files;
        if (TForm1 *frame = mainWindow()) {
            for (TForm2 *doc : frame->workspace().documents()) {
                if (!doc->FileName().isEmpty())
                    files << doc->FileName();
            }
        }
        return files;
    });
    server.setOpener([](const QStringList &files) {
        TForm1 *frame = mainWindow();
        if (!frame)
            return false;
        for (const QString &file : files) {
            // Past the 30th window each further file would only repeat the same message.
            if (!frame->workspace().openInNewWindow(file))
                break;
        }
        bringToFront(*frame);
        return true;
    });
}

std::optional<int> startOrHandOver(const CommandLine &command, InstanceServer &server)
{
    if (command.checkInstall)
        return std::nullopt;
    const QString socketName = instanceSocketName();
    if (command.listDocuments) {
        const std::optional<QStringList> files = askOpenDocuments(socketName);
        QTextStream out(stdout);
        for (const QString &file : files.value_or(QStringList()))
            out << file << Qt::endl;
        return files ? 0 : 1;
    }
    // Without files a start is the program as it always was: a window of its own.
    if (!command.newInstance && !command.files.isEmpty() && handFilesOver(socketName, command.files))
        return 0;
    server.listen(socketName);
    serveMainWindow(server);
    server.enqueue(command.files);
    return std::nullopt;
}
