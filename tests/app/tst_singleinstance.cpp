#include "app/DocumentManager.h"
#include "app/SingleInstance.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <atomic>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

// Leaves a socket file nobody listens on, as an instance that crashed does.
bool leaveDeadSocket(const QString &path)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()) + 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return bound && QFileInfo::exists(path);
}

// The user id the tests run other users' processes as (nobody).
constexpr uid_t kOtherUser = 65534;

// A request to open files, as a later start sends it.
QByteArray openRequest(const QStringList &files)
{
    QByteArray body;
    QDataStream stream(&body, QIODevice::WriteOnly);
    stream << quint32(0x42524b31) << quint8(1) << files;
    QByteArray framed;
    QDataStream(&framed, QIODevice::WriteOnly) << quint32(body.size());
    return framed + body;
}

sockaddr_un addressOf(const QString &path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray name = QFile::encodeName(path);
    std::memcpy(address.sun_path, name.constData(), size_t(name.size()) + 1);
    return address;
}

// Runs body in a child process as another user, while this process serves its events;
// the child's exit code (body's answer), -1 when it did not end normally. Only what is
// safe after a fork happens in the child: system calls, no allocation.
int runAsOtherUser(const std::function<int()> &body)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0)
            ::_exit(100);
        ::_exit(body());
    }
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0)
        QTest::qWait(10);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Sets environment variables for a test's length.
class EnvironmentGuard
{
public:
    explicit EnvironmentGuard(std::initializer_list<const char *> names)
    {
        for (const char *name : names)
            m_saved.emplace_back(name, qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
    }
    ~EnvironmentGuard()
    {
        for (const auto &[name, value] : m_saved) {
            if (value)
                qputenv(name, *value);
            else
                qunsetenv(name);
        }
    }

private:
    std::vector<std::pair<const char *, std::optional<QByteArray>>> m_saved;
};

// Hands files over from another thread, while this one serves the socket.
bool handOverWhileServing(const QString &socketName, const QStringList &files)
{
    std::atomic<bool> taken = false;
    std::atomic<bool> finished = false;
    std::thread client([&] {
        taken = handFilesOver(socketName, files, 30000);
        finished = true;
    });
    while (!finished)
        QTest::qWait(10);
    client.join();
    return taken;
}

// Asks for the open documents from another thread, while this one serves the socket.
std::optional<QStringList> listWhileServing(const QString &socketName)
{
    std::optional<QStringList> listed;
    std::atomic<bool> answered = false;
    std::thread client([&] {
        listed = askOpenDocuments(socketName, 30000);
        answered = true;
    });
    while (!answered)
        QTest::qWait(10);
    client.join();
    return listed;
}

// A small page at path; false when it cannot be written.
bool writePage(const QString &path)
{
    QFile page(path);
    return page.open(QIODevice::WriteOnly) && page.write("<HTML><BODY>Stránka</BODY></HTML>") > 0;
}

// The real program, started as a user would, in a home of its own.
class Program
{
public:
    explicit Program(const QTemporaryDir &home)
    {
        m_env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                                 "XDG_RUNTIME_DIR"}) {
            const QString dir = home.filePath(QString::fromLatin1(name).toLower());
            QDir().mkpath(dir);
            QFile::setPermissions(dir, QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                           | QFileDevice::ExeOwner);
            m_env.insert(QString::fromLatin1(name), dir);
        }
        m_env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        m_env.insert(u"DISPLAY"_s, u":brisko-test"_s);
        m_env.remove(u"WAYLAND_DISPLAY"_s);
    }

    QString socketPath() const
    {
        return QDir(m_env.value(u"XDG_RUNTIME_DIR"_s)).filePath(u"brisko-editor-_brisko-test.socket"_s);
    }

    std::unique_ptr<QProcess> start(const QStringList &arguments, const QString &display = {}) const
    {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = m_env;
        if (!display.isEmpty())
            env.insert(u"DISPLAY"_s, display);
        process->setProcessEnvironment(env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationDirPath() + u"/brisko-editor"_s, arguments);
        return process;
    }

    // Runs one start to its end; its exit code, -1 when it did not end.
    int run(const QStringList &arguments, QString *output = nullptr, const QString &display = {}) const
    {
        const std::unique_ptr<QProcess> process = start(arguments, display);
        if (!process->waitForFinished(120000)) {
            process->kill();
            process->waitForFinished();
            return -1;
        }
        if (output)
            *output = QString::fromUtf8(process->readAllStandardOutput());
        return process->exitStatus() == QProcess::NormalExit ? process->exitCode() : -1;
    }

    // The running instance's files; waits (polling) until all expected ones are there.
    QStringList documentsOnceOpen(const QStringList &expected, const QString &display = {}) const
    {
        QStringList listed;
        for (int attempt = 0; attempt < 300; ++attempt) {
            QString out;
            if (run({u"--list-documents"_s}, &out, display) == 0) {
                listed = out.split(u'\n', Qt::SkipEmptyParts);
                if (std::all_of(expected.begin(), expected.end(),
                                [&](const QString &f) { return listed.contains(f); }))
                    return listed;
            }
            QTest::qWait(200);
        }
        return listed;
    }

private:
    QProcessEnvironment m_env;
};

void stop(QProcess &process)
{
    process.kill();
    process.waitForFinished();
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parseCommandLine_data();
    void parseCommandLine();
    void socketIsPerUserAndDisplay();
    void displaySpellingsOfOneDisplayShareTheSocket_data();
    void displaySpellingsOfOneDisplayShareTheSocket();
    void withoutRuntimeFolderTheSocketIsInAPrivateOne();
    void socketFolderOfAnotherUserIsRefused();
    void otherUsersCannotHandFilesOver();
    void otherUsersServerGetsNoFileNames();
    void handOverReachesTheOpener();
    void deadSocketIsReplacedLiveOneIsNot();
    void filesWaitUntilTheOpenerCanTakeThem();
    void secondStartHandsItsFilesToTheFirst();
    void twoStartsAtOnceMakeOneInstance();
    void handedFileAlreadyOpenComesToTheFront();
    void unopenableHandedFileLeavesNoWindow_data();
    void unopenableHandedFileLeavesNoWindow();
    void listingLeavesOutUntitledWindows();
    void onlyTheOneInstanceReopensTheSession_data();
    void onlyTheOneInstanceReopensTheSession();
};

void tst_SingleInstance::parseCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("newInstance");
    QTest::addColumn<bool>("checkInstall");

    QTest::newRow("no arguments: the program as always") << QStringList{} << QStringList{} << false << false;
    QTest::newRow("relative names from the working folder, order kept")
        << QStringList{u"b.htm"_s, u"sub/../a.html"_s}
        << QStringList{u"/work/b.htm"_s, u"/work/a.html"_s} << false << false;
    QTest::newRow("absolute names stay")
        << QStringList{u"/tmp/x y/stránka.html"_s} << QStringList{u"/tmp/x y/stránka.html"_s} << false << false;
    QTest::newRow("file URL from a file manager")
        << QStringList{u"file:///tmp/x%20y/a.html"_s} << QStringList{u"/tmp/x y/a.html"_s} << false << false;
    QTest::newRow("options are not files")
        << QStringList{u"--new-instance"_s, u"a.html"_s, u"--check-install"_s, u"--unknown"_s}
        << QStringList{u"/work/a.html"_s} << true << true;
    QTest::newRow("after -- a dash starts a file name")
        << QStringList{u"--"_s, u"--new-instance"_s} << QStringList{u"/work/--new-instance"_s} << false << false;
}

void tst_SingleInstance::parseCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, files);
    QFETCH(bool, newInstance);
    QFETCH(bool, checkInstall);
    const CommandLine command = ::parseCommandLine(QStringList{u"brisko-editor"_s} + arguments, u"/work"_s);
    QCOMPARE(command.files, files);
    QCOMPARE(command.newInstance, newInstance);
    QCOMPARE(command.checkInstall, checkInstall);
    QVERIFY(!command.listDocuments);
}

void tst_SingleInstance::socketIsPerUserAndDisplay()
{
    QTemporaryDir runtime;
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
    const QByteArray oldDisplay = qgetenv("DISPLAY");
    const QByteArray oldWayland = qgetenv("WAYLAND_DISPLAY");
    auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("DISPLAY", oldDisplay);
        qputenv("WAYLAND_DISPLAY", oldWayland);
    });
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("DISPLAY", ":0");
    const QString first = instanceSocketName();
    qputenv("DISPLAY", "host/x:1");
    const QString second = instanceSocketName();
    QVERIFY(first.startsWith(runtime.path() + u"/"_s));
    QVERIFY2(first != second, qPrintable(first));
    QVERIFY2(!second.mid(runtime.path().size() + 1).contains(u'/'), qPrintable(second));

    // Without a runtime folder the user's id keeps users apart in the shared folder.
    qunsetenv("XDG_RUNTIME_DIR");
    QVERIFY(instanceSocketName().contains(QString::number(::getuid())));
}

void tst_SingleInstance::displaySpellingsOfOneDisplayShareTheSocket_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");
    QTest::addColumn<bool>("same");
    QTest::newRow("screen 0 of display 72") << u":72"_s << u":72.0"_s << true;
    QTest::newRow("another screen of it") << u":72.1"_s << u":72"_s << true;
    QTest::newRow("reached through unix/") << u"unix/:72"_s << u":72.0"_s << true;
    QTest::newRow("another display") << u":72"_s << u":73"_s << false;
    QTest::newRow("another display, screens alike") << u":72.0"_s << u":720"_s << false;
    QTest::newRow("another host") << u"example.org:72"_s << u":72"_s << false;
}

void tst_SingleInstance::displaySpellingsOfOneDisplayShareTheSocket()
{
    QFETCH(QString, first);
    QFETCH(QString, second);
    QFETCH(bool, same);
    QTemporaryDir runtime;
    EnvironmentGuard guard{"XDG_RUNTIME_DIR", "DISPLAY", "WAYLAND_DISPLAY"};
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qputenv("DISPLAY", first.toLocal8Bit());
    const QString firstName = instanceSocketName();
    qputenv("DISPLAY", second.toLocal8Bit());
    const QString secondName = instanceSocketName();
    QVERIFY(!firstName.isEmpty());
    QCOMPARE(firstName == secondName, same);
}

void tst_SingleInstance::withoutRuntimeFolderTheSocketIsInAPrivateOne()
{
    QTemporaryDir shared;
    QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
                                                   | QFileDevice::ReadOther | QFileDevice::WriteOther
                                                   | QFileDevice::ExeOther | QFileDevice::ReadGroup
                                                   | QFileDevice::WriteGroup | QFileDevice::ExeGroup));
    EnvironmentGuard guard{"XDG_RUNTIME_DIR", "TMPDIR", "DISPLAY", "WAYLAND_DISPLAY"};
    qunsetenv("WAYLAND_DISPLAY");
    qputenv("DISPLAY", ":5");
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    const auto modeOf = [](const QString &path) {
        struct stat info{};
        return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
    };

    // No runtime folder, and one that others may enter, are passed over alike.
    QTemporaryDir open;
    QVERIFY(QFile::setPermissions(open.path(), QFile::permissions(open.path()) | QFileDevice::ExeOther));
    for (const QByteArray &runtime : {QByteArray(), QFile::encodeName(open.path())}) {
        if (runtime.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", runtime);
        const QString name = instanceSocketName();
        const QString folder = QFileInfo(name).path();
        QVERIFY2(folder.startsWith(shared.path() + u'/'), qPrintable(name));
        QVERIFY2(folder.contains(QString::number(::geteuid())), qPrintable(folder));
        QCOMPARE(modeOf(folder), 0700);
        QCOMPARE(QFileInfo(folder).ownerId(), ::geteuid());
    }

    // A folder of the user's own that others may enter is closed again.
    const QString folder = QFileInfo(instanceSocketName()).path();
    QVERIFY(::chmod(QFile::encodeName(folder).constData(), 0777) == 0);
    QCOMPARE(QFileInfo(instanceSocketName()).path(), folder);
    QCOMPARE(modeOf(folder), 0700);

    // A link planted under the name is no folder of the user's: nothing goes there.
    QVERIFY(QDir(folder).removeRecursively());
    QTemporaryDir elsewhere;
    QVERIFY(QFile::link(elsewhere.path(), folder));
    QCOMPARE(instanceSocketName(), QString());
    InstanceServer server;
    QVERIFY(!server.listen(instanceSocketName()));
    QVERIFY(QDir(elsewhere.path()).isEmpty());
}

void tst_SingleInstance::socketFolderOfAnotherUserIsRefused()
{
    if (::geteuid() != 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "only root can make a folder of another user");
    QTemporaryDir shared;
    EnvironmentGuard guard{"XDG_RUNTIME_DIR", "TMPDIR"};
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", QFile::encodeName(shared.path()));
    // Another user was first: the folder is theirs, open to nobody but them.
    const QString taken = shared.filePath(u"brisko-editor-"_s + QString::number(::geteuid()));
    QVERIFY(QDir().mkdir(taken));
    QVERIFY(::chmod(QFile::encodeName(taken).constData(), 0700) == 0);
    QVERIFY(::chown(QFile::encodeName(taken).constData(), kOtherUser, kOtherUser) == 0);
    QCOMPARE(instanceSocketName(), QString());
    QCOMPARE(QFileInfo(taken).ownerId(), kOtherUser);
}

void tst_SingleInstance::otherUsersCannotHandFilesOver()
{
    if (::geteuid() != 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "only root can run a process as another user");
    QTemporaryDir dir;
    // The folder and the socket open to all, so that only the peer check stands between.
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0755) == 0);
    const QString name = dir.filePath(u"s"_s);
    InstanceServer server;
    QVERIFY(server.listen(name));
    QVERIFY(::chmod(QFile::encodeName(name).constData(), 0777) == 0);
    QStringList opened;
    server.setOpener([&](const QStringList &files) {
        opened += files;
        return true;
    });

    const QByteArray request = openRequest({u"/tmp/planted.html"_s});
    const sockaddr_un address = addressOf(name);
    // 0: the connection was refused without an answer; 1: the server answered.
    const int answered = runAsOtherUser([&] {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0)
            return 2;
        if (::write(fd, request.constData(), size_t(request.size())) != request.size())
            return 0; // refused before it was all written
        char byte = 0;
        return ::read(fd, &byte, 1) > 0 ? 1 : 0;
    });
    QCOMPARE(answered, 0);
    QCoreApplication::processEvents();
    QVERIFY(opened.isEmpty());

    // The user's own start still gets through.
    QVERIFY(handOverWhileServing(name, {u"/a.html"_s}));
    QTRY_COMPARE(opened, QStringList{u"/a.html"_s});
}

void tst_SingleInstance::otherUsersServerGetsNoFileNames()
{
    if (::geteuid() != 0)
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "only root can run a process as another user");
    QTemporaryDir dir;
    QVERIFY(::chmod(QFile::encodeName(dir.path()).constData(), 0777) == 0);
    const QString name = dir.filePath(u"s"_s);
    const sockaddr_un address = addressOf(name);
    int ready[2];
    QVERIFY(::pipe(ready) == 0);
    auto closePipe = qScopeGuard([&] {
        ::close(ready[0]);
        ::close(ready[1]);
    });
    // The other user's server; its exit code is how many bytes of a request reached it.
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgid(kOtherUser) != 0 || ::setuid(kOtherUser) != 0)
            ::_exit(101);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
            || ::listen(fd, 1) != 0)
            ::_exit(102);
        ::chmod(address.sun_path, 0777);
        if (::write(ready[1], "r", 1) != 1)
            ::_exit(103);
        const int peer = ::accept(fd, nullptr, nullptr);
        char buffer[100];
        ssize_t total = 0;
        for (ssize_t n = 1; n > 0 && total < ssize_t(sizeof buffer);) {
            n = ::read(peer, buffer + total, sizeof buffer - size_t(total));
            total += n > 0 ? n : 0;
        }
        ::_exit(int(total));
    }
    int status = 0;
    bool reaped = false;
    auto reap = qScopeGuard([&] {
        if (!reaped) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
    });
    char byte = 0;
    QCOMPARE(::read(ready[0], &byte, 1), ssize_t(1));
    const bool handed = handFilesOver(name, {u"/home/user/secret.html"_s}, 3000);
    reaped = ::waitpid(child, &status, 0) == child;
    QVERIFY(!handed);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
}

void tst_SingleInstance::handOverReachesTheOpener()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"s"_s);
    InstanceServer server;
    QVERIFY(server.listen(name));
    QList<QStringList> opened;
    server.setOpener([&](const QStringList &files) {
        opened << files;
        return true;
    });
    server.setLister([] { return QStringList{u"/a.html"_s, u"/č.htm"_s}; });

    const QStringList files{u"/tmp/a.html"_s, u"/tmp/ž š.htm"_s};
    QVERIFY(handOverWhileServing(name, files));
    QTRY_COMPARE(opened, QList<QStringList>{files});

    const std::optional<QStringList> listed = listWhileServing(name);
    QVERIFY(listed);
    QCOMPARE(*listed, (QStringList{u"/a.html"_s, u"/č.htm"_s}));

    // Nobody listening: nothing is handed over, and the caller starts on its own.
    QVERIFY(!handFilesOver(dir.filePath(u"nobody"_s), files, 1000));
}

void tst_SingleInstance::deadSocketIsReplacedLiveOneIsNot()
{
    QTemporaryDir dir;
    const QString name = dir.filePath(u"s"_s);
    QVERIFY(leaveDeadSocket(name));
    QVERIFY(!handFilesOver(name, {u"/a.html"_s}, 1000));

    InstanceServer first;
    QVERIFY2(first.listen(name), "a socket left by a crash must not block the start");
    QStringList opened;
    first.setOpener([&](const QStringList &files) {
        opened += files;
        return true;
    });

    InstanceServer second;
    QVERIFY(!second.listen(name));
    QVERIFY(first.isListening());
    QVERIFY(handOverWhileServing(name, {u"/a.html"_s}));
    QTRY_COMPARE(opened, QStringList{u"/a.html"_s});
}

void tst_SingleInstance::filesWaitUntilTheOpenerCanTakeThem()
{
    InstanceServer server;
    server.enqueue({u"/a.html"_s});
    bool ready = false;
    QList<QStringList> opened;
    server.setOpener([&](const QStringList &files) {
        if (!ready)
            return false;
        opened << files;
        return true;
    });
    server.enqueue({u"/b.html"_s});
    QTest::qWait(50);
    QVERIFY(opened.isEmpty());
    ready = true;
    QTRY_COMPARE(opened, (QList<QStringList>{{u"/a.html"_s, u"/b.html"_s}}));
}

void tst_SingleInstance::secondStartHandsItsFilesToTheFirst()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const Program program(home);
    QStringList pages;
    for (const char *name : {"a.html", "b.htm", "c.html", "d.html"}) {
        pages << home.filePath(QString::fromLatin1(name));
        QVERIFY(writePage(pages.last()));
    }
    QString out;
    QCOMPARE(program.run({u"--list-documents"_s}, &out), 1); // none runs yet

    const std::unique_ptr<QProcess> first = program.start({pages[0]});
    auto stopFirst = qScopeGuard([&] { stop(*first); });
    QCOMPARE(program.documentsOnceOpen({pages[0]}), QStringList{pages[0]});

    // The second start gives its file to the first and ends.
    QCOMPARE(program.run({pages[1]}), 0);
    QCOMPARE(program.documentsOnceOpen({pages[0], pages[1]}), (QStringList{pages[0], pages[1]}));

    // The first dies without cleaning up; its socket must not stop the next start.
    stop(*first);
    QVERIFY(QFileInfo::exists(program.socketPath()));
    const std::unique_ptr<QProcess> third = program.start({pages[2]});
    auto stopThird = qScopeGuard([&] { stop(*third); });
    QCOMPARE(program.documentsOnceOpen({pages[2]}), QStringList{pages[2]});

    // "--new-instance" runs on its own and leaves the running one alone.
    const std::unique_ptr<QProcess> fourth = program.start({u"--new-instance"_s, pages[3]});
    auto stopFourth = qScopeGuard([&] { stop(*fourth); });
    QVERIFY(fourth->waitForStarted());
    QVERIFY2(!fourth->waitForFinished(3000), "a new instance ended instead of running");
    QCOMPARE(program.documentsOnceOpen({pages[2]}), QStringList{pages[2]});
}

void tst_SingleInstance::twoStartsAtOnceMakeOneInstance()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const Program program(home);
    QStringList pages;
    for (const char *name : {"a.html", "b.html", "c.html", "d.html"}) {
        pages << home.filePath(QString::fromLatin1(name));
        QVERIFY(writePage(pages.last()));
    }
    // Started at one moment, on one display written two ways, then twice the same way.
    const QList<QStringList> displays{{u":97"_s, u":97.0"_s}, {u":98"_s, u":98"_s}};
    for (qsizetype round = 0; round < displays.size(); ++round) {
        const QStringList &display = displays[round];
        const QString first = pages[2 * round];
        const QString second = pages[2 * round + 1];
        std::unique_ptr<QProcess> starts[2] = {program.start({first}, display[0]),
                                               program.start({second}, display[1])};
        auto stopBoth = qScopeGuard([&] {
            for (auto &start : starts)
                stop(*start);
        });
        // One of them hands its file to the other and ends; the other runs on with both.
        QTRY_VERIFY_WITH_TIMEOUT(starts[0]->state() == QProcess::NotRunning
                                     || starts[1]->state() == QProcess::NotRunning,
                                 120000);
        const int ended = starts[0]->state() == QProcess::NotRunning ? 0 : 1;
        QCOMPARE(starts[ended]->exitStatus(), QProcess::NormalExit);
        QCOMPARE(starts[ended]->exitCode(), 0);
        QStringList listed = program.documentsOnceOpen({first, second}, display[0]);
        listed.sort();
        QCOMPARE(listed, (QStringList{first, second}));
        QCOMPARE(starts[1 - ended]->state(), QProcess::Running);
    }
}

void tst_SingleInstance::handedFileAlreadyOpenComesToTheFront()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(u"a.html"_s);
    const QString b = dir.filePath(u"b.html"_s);
    QVERIFY(writePage(a) && writePage(b));
    ScriptedInteraction user;
    WorkspaceFixture fx(0);
    InstanceServer server;
    serveDocuments(server, [&fx] { return &fx.workspace(); });
    server.enqueue({a, b});
    QTRY_COMPARE(fx.workspace().documents().size(), 2);
    QCOMPARE(fx.doc()->FileName(), b);
    fx.doc()->SetText(u"edited"_s);

    // The same file again, under another name for it: its window, with the edit.
    const QString link = dir.filePath(u"link.html"_s);
    QVERIFY(QFile::link(a, link));
    server.enqueue({link});
    QTRY_COMPARE(fx.doc()->FileName(), a);
    QCOMPARE(fx.workspace().documents().size(), 2);
    server.enqueue({b});
    QTRY_COMPARE(fx.doc()->FileName(), b);
    QCOMPARE(fx.workspace().documents().size(), 2);
    QCOMPARE(fx.doc()->GetText(), u"edited"_s);
    QVERIFY2(user.log.isEmpty(), qPrintable(user.log.join(u'\n')));
}

void tst_SingleInstance::unopenableHandedFileLeavesNoWindow_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("missing") << u"missing"_s;
    QTest::newRow("a folder") << u"folder"_s;
    QTest::newRow("a pipe") << u"pipe"_s;
    QTest::newRow("unreadable") << u"unreadable"_s;
}

void tst_SingleInstance::unopenableHandedFileLeavesNoWindow()
{
    QFETCH(QString, kind);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"page.html"_s);
    if (kind == u"folder"_s) {
        QVERIFY(QDir().mkdir(path));
    } else if (kind == u"pipe"_s) {
        QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (kind == u"unreadable"_s) {
        if (::geteuid() == 0)
            BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "root reads a file whatever its permissions");
        QVERIFY(writePage(path));
        QVERIFY(QFile::setPermissions(path, QFileDevice::WriteOwner));
    }
    const QString good = dir.filePath(u"good.html"_s);
    QVERIFY(writePage(good));

    ScriptedInteraction user;
    WorkspaceFixture fx(0);
    InstanceServer server;
    serveDocuments(server, [&fx] { return &fx.workspace(); });
    server.enqueue({path, good});
    // The message, and the next file of the list opens all the same.
    QTRY_COMPARE(fx.workspace().documents().size(), 1);
    QCOMPARE(user.errors.size(), 1);
    QVERIFY2(user.errors.first().contains(u"page.html"_s), qPrintable(user.errors.first()));
    QCOMPARE(fx.doc()->FileName(), good);
}

void tst_SingleInstance::listingLeavesOutUntitledWindows()
{
    QTemporaryDir dir;
    const QString a = dir.filePath(u"a.html"_s);
    QVERIFY(writePage(a));
    WorkspaceFixture fx(2);
    InstanceServer server;
    QVERIFY(server.listen(dir.filePath(u"s"_s)));
    serveDocuments(server, [&fx] { return &fx.workspace(); });
    server.enqueue({a});
    QTRY_COMPARE(fx.workspace().documents().size(), 3);

    const std::optional<QStringList> listed = listWhileServing(dir.filePath(u"s"_s));
    QVERIFY(listed);
    QCOMPARE(*listed, QStringList{a});
}

void tst_SingleInstance::onlyTheOneInstanceReopensTheSession_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("anotherRuns");
    QTest::addColumn<bool>("reopens");
    const QStringList plain{u"brisko-editor"_s};
    const QStringList file{u"brisko-editor"_s, u"a.html"_s};
    const QStringList apart{u"brisko-editor"_s, u"--new-instance"_s};
    QTest::newRow("alone") << plain << false << true;
    QTest::newRow("aloneWithAFile") << file << false << false;
    // A second click on the launcher: the pages are open in the first window already.
    QTest::newRow("besideAnother") << plain << true << false;
    QTest::newRow("newInstanceBesideAnother") << apart << true << false;
    QTest::newRow("newInstanceAlone") << apart << false << true;
}

void tst_SingleInstance::onlyTheOneInstanceReopensTheSession()
{
    QFETCH(QStringList, arguments);
    QFETCH(bool, anotherRuns);
    QFETCH(bool, reopens);
    QTemporaryDir runtime;
    EnvironmentGuard guard{"XDG_RUNTIME_DIR"};
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    InstanceServer running;
    if (anotherRuns)
        QVERIFY(running.listen(instanceSocketName()));
    // (A file beside a running instance would be handed over: that start ends at once.)
    const CommandLine command = ::parseCommandLine(arguments, runtime.path());
    InstanceServer server;
    QVERIFY(!startOrHandOver(command, server));
    QCOMPARE(server.isListening(), !anotherRuns);
    QCOMPARE(startReopensSession(command, server), reopens);
}

BRISKO_TEST_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
