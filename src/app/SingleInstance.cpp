#include "SingleInstance.h"

#include "app/TForm1.h"
#include "markup/InstanceFiles.h"

#include <QApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QRegularExpression>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QUrl>

#include <cstdio>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
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

// Whether the other end of a connected local socket runs as this user. The file names that
// go over it are the user's business: neither end talks to another user's process.
bool peerIsThisUser(qintptr descriptor)
{
#if defined(SO_PEERCRED)
    struct ucred credentials{};
    socklen_t size = sizeof credentials;
    if (::getsockopt(int(descriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) != 0)
        return false;
    return credentials.uid == ::geteuid();
#else
    uid_t user = 0;
    gid_t group = 0;
    return ::getpeereid(int(descriptor), &user, &group) == 0 && user == ::geteuid();
#endif
}

// Sends one request and returns the body of the answer; nothing when no instance answers.
std::optional<QByteArray> exchange(const QString &socketName, const QByteArray &request, int waitMs)
{
    QLocalSocket socket;
    socket.connectToServer(socketName);
    // A socket file nobody listens on refuses at once; a live instance accepts at once.
    if (!socket.waitForConnected(qMin(waitMs, 3000)))
        return std::nullopt;
    if (!peerIsThisUser(socket.socketDescriptor())) {
        socket.abort();
        return std::nullopt;
    }
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

// One X display however it is written: ":72", ":72.0" and "unix/:72.1" are one, since the
// screen after the dot is part of the same display and "unix/" is only the way to reach it.
// The host (before the colon) stays: another host is another display.
QString normalizedX11Display(QString display)
{
    const qsizetype colon = display.lastIndexOf(u':');
    if (colon < 0)
        return display;
    QString host = display.left(colon).toLower();
    QString number = display.mid(colon + 1);
    if (host.startsWith(u"unix/"_s))
        host = host.mid(5);
    if (host == u"unix"_s)
        host.clear();
    static const QRegularExpression screen(u"^(\\d+)\\.\\d+$"_s);
    if (const QRegularExpressionMatch m = screen.match(number); m.hasMatch())
        number = m.captured(1);
    // "07" is display 7.
    bool isNumber = false;
    const uint value = number.toUInt(&isNumber);
    return host + u':' + (isNumber ? QString::number(value) : number);
}

// The folder the socket lives in: the user's runtime folder when there is one that is
// private, else a folder of the user's own in the shared temporary folder. Empty when even
// that cannot be had (another user took the name first): the start then goes without
// handing over rather than talk through a place others can reach.
QString instanceSocketFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && isPrivateFolder(runtime))
        return runtime;
    const QString own = QDir(QDir::tempPath()).filePath(u"brisko-editor-"_s + QString::number(::geteuid()));
    if (makePrivateFolder(own))
        return own;
    std::fprintf(stderr, "brisko-editor: %s is not a private folder of this user; files are not "
                         "handed to a running editor\n",
                 qPrintable(own));
    return {};
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
        display = normalizedX11Display(qEnvironmentVariable("DISPLAY"));
    if (display.isEmpty())
        display = QGuiApplication::platformName();
    const QString folder = instanceSocketFolder();
    if (folder.isEmpty())
        return {};
    return QDir(folder).filePath(u"brisko-editor-"_s + sanitized(display) + u".socket"_s);
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

InstanceServer::~InstanceServer()
{
    delete m_server;
    releaseLock();
}

void InstanceServer::releaseLock()
{
    if (m_lock >= 0)
        ::close(m_lock);
    m_lock = -1;
}

bool InstanceServer::takeLock(const QString &socketName)
{
    // Whoever holds the lock beside the socket is the instance, for as long as it runs: two
    // starts at the same moment cannot both get it, and the system lets go of it however
    // the holder ends, so a crash leaves nothing that blocks the next start.
    const QByteArray path = QFile::encodeName(socketName + u".lock"_s);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return false;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_lock = fd;
    return true;
}

bool InstanceServer::listen(const QString &socketName)
{
    delete m_server;
    m_server = nullptr;
    releaseLock();
    if (socketName.isEmpty() || !takeLock(socketName))
        return false;
    // With the lock, a socket found under the name is one a crashed instance left behind.
    QLocalServer::removeServer(socketName);
    m_server = new QLocalServer(this);
    // No access options: with them Qt makes the socket elsewhere and renames it over the
    // name. The folder is the user's own and no one else's (see instanceSocketName), and
    // every connection's peer is checked besides.
    connect(m_server, &QLocalServer::newConnection, this, &InstanceServer::acceptConnection);
    if (m_server->listen(socketName))
        return true;
    releaseLock();
    return false;
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
        if (!peerIsThisUser(socket->socketDescriptor())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
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

void serveDocuments(InstanceServer &server, std::function<DocumentManager *()> documents,
                    std::function<void()> shown)
{
    server.setLister([documents] {
        QStringList files;
        if (DocumentManager *docs = documents()) {
            // Files only: an untitled window has a caption, not a file.
            for (HtmlDocument *doc : docs->documents()) {
                if (!doc->isUntitled())
                    files << doc->FileName();
            }
        }
        return files;
    });
    server.setOpener([documents, shown](const QStringList &files) {
        DocumentManager *docs = documents();
        if (!docs)
            return false;
        for (const QString &file : files) {
            // Past the 30th window each further file would only repeat the same message.
            if (!docs->openHandedFile(file))
                break;
        }
        if (shown)
            shown();
        return true;
    });
}

void serveMainWindow(InstanceServer &server)
{
    serveDocuments(
        server, [] { return mainWindow() ? &mainWindow()->workspace() : nullptr; },
        [] {
            if (TForm1 *frame = mainWindow())
                bringToFront(*frame);
        });
}

namespace {

bool handFilesOverOnceListening(const QString &socketName, const QStringList &files)
{
    const QDeadlineTimer deadline(15000);
    while (!deadline.hasExpired()) {
        if (handFilesOver(socketName, files, int(qMax<qint64>(deadline.remainingTime(), 1))))
            return true;
        // Before the event loop, with nothing else to do: the instance is setting up.
        QThread::msleep(50);
    }
    return false;
}

} // namespace

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
    const bool handsOver = !command.newInstance && !command.files.isEmpty();
    if (handsOver && handFilesOver(socketName, command.files))
        return 0;
    // Another start that holds the instance's place may not listen yet: it started at the
    // same moment as this one. Its files go to it as soon as it does.
    if (!server.listen(socketName) && handsOver
        && handFilesOverOnceListening(socketName, command.files))
        return 0;
    serveMainWindow(server);
    server.enqueue(command.files);
    return std::nullopt;
}

bool startReopensSession(const CommandLine &command, const InstanceServer &server)
{
    return command.files.isEmpty() && server.isListening();
}
