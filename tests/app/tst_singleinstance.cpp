#include "app/SingleInstance.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

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

    std::unique_ptr<QProcess> start(const QStringList &arguments) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(m_env);
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(QCoreApplication::applicationDirPath() + u"/brisko-editor"_s, arguments);
        return process;
    }

    // Runs one start to its end; its exit code, -1 when it did not end.
    int run(const QStringList &arguments, QString *output = nullptr) const
    {
        const std::unique_ptr<QProcess> process = start(arguments);
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
    QStringList documentsOnceOpen(const QStringList &expected) const
    {
        QStringList listed;
        for (int attempt = 0; attempt < 300; ++attempt) {
            QString out;
            if (run({u"--list-documents"_s}, &out) == 0) {
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
    void handOverReachesTheOpener();
    void deadSocketIsReplacedLiveOneIsNot();
    void filesWaitUntilTheOpenerCanTakeThem();
    void secondStartHandsItsFilesToTheFirst();
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

    std::optional<QStringList> listed;
    std::atomic<bool> answered = false;
    std::thread client([&] {
        listed = askOpenDocuments(name, 30000);
        answered = true;
    });
    while (!answered)
        QTest::qWait(10);
    client.join();
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
        QFile page(home.filePath(QString::fromLatin1(name)));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write("<HTML><BODY>Stránka</BODY></HTML>");
        pages << page.fileName();
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

BRISKO_TEST_MAIN(tst_SingleInstance)
#include "tst_singleinstance.moc"
