// Upload throughput against a loopback pyftpdlib server, this client beside curl and lftp:
// one 100 MB file, a tree of 1,000 files of 10 KB, the same tree again unchanged with only
// changed files on, and the client's own time between a reply and its next command.
// A plain timed program (argument: rounds, default 3).
#include "publish/FtpClient.h"
#include "publish/ftpklient.h"

#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"bench"_s;
const QString Password = u"bench-pw"_s;

struct Server
{
    QProcess process;
    quint16 port = 0;
    ~Server()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(2000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
    bool start(const QString &root)
    {
        // An absolute path, so the benchmark runs from any folder (make bench runs it from the top).
        const QString script = QStringLiteral(BRISKO_FTPSERVER_SCRIPT);
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(u"/usr/bin/python3"_s, {script, root, User, Password});
        QDeadlineTimer deadline(10000);
        while (!process.canReadLine() && !deadline.hasExpired())
            process.waitForReadyRead(100);
        const QByteArray line = process.readLine().trimmed();
        port = line.startsWith("PORT ") ? quint16(line.mid(5).toUInt()) : 0;
        return port != 0;
    }
};

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray data(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(data.data()), size / 4);
    return data;
}

struct ClientRun
{
    qint64 ms = 0;
    qint64 cpuMs = 0;    // the client's own processor time (user and system)
    QString summary;     // the upload's last log line
    QList<qint64> gapsNs; // the client's own time from each reply to the command it sends next
};

// Connects, changes into remoteDir and uploads the home directory.
ClientRun uploadWithClient(quint16 port, const QString &home, const QString &remoteDir, bool passive,
                           bool changedOnly = false)
{
    TFTPForm form;
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(port));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(User);
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->setText(Password);
    form.findChild<QLineEdit *>(u"HostDirEdit"_s)->setText(remoteDir);
    form.findChild<QCheckBox *>(u"PassiveCheckBox"_s)->setChecked(passive);
    form.findChild<QCheckBox *>(u"ChangedOnlyCheckBox"_s)->setChecked(changedOnly);
    form.setHomeDirectory(home);
    form.show();

    ClientRun run;
    QElapsedTimer clock;
    clock.start();
    qint64 lastReply = -1;
    QObject::connect(&form.FtpClient1(), &TFtpClient::OnResponse, &form, [&] { lastReply = clock.nsecsElapsed(); });
    QObject::connect(&form.FtpClient1(), &TFtpClient::OnCommand, &form, [&](QString &) {
        if (lastReply >= 0)
            run.gapsNs << clock.nsecsElapsed() - lastReply;
        lastReply = -1;
    });
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QPushButton *>(u"CdButton"_s)->click();
    run.gapsNs.clear();
    const std::clock_t cpu = std::clock();
    clock.restart();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    run.ms = clock.elapsed();
    run.cpuMs = qint64(double(std::clock() - cpu) * 1000.0 / CLOCKS_PER_SEC);
    const QStringList log = form.LogText().split(u'\n');
    if (log.contains(u"Chyba!"_s))
        qFatal("the client's upload failed:\n%s", qPrintable(form.LogText().right(2000)));
    run.summary = log.last();
    return run;
}

// Processor time (user and system) of the finished child processes so far, milliseconds.
qint64 childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000
           + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000;
}

// The processor time of the last tool run, milliseconds.
qint64 g_toolCpuMs = 0;

qint64 runTool(const QString &program, const QStringList &args)
{
    const qint64 cpuBefore = childrenCpuMs();
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    tool.start(program, args);
    if (!tool.waitForFinished(600000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        qFatal("%s failed", qPrintable(program));
    const qint64 ms = clock.elapsed();
    g_toolCpuMs = childrenCpuMs() - cpuBefore;
    return ms;
}

// One curl process for all files, so it keeps its one control connection as we do.
qint64 uploadWithCurl(quint16 port, const QStringList &files, const QString &home, const QString &remoteDir)
{
    QStringList args{u"-s"_s, u"-S"_s, u"--ftp-create-dirs"_s, u"-u"_s, User + u':' + Password};
    for (const QString &file : files) {
        args << u"-T"_s << file
             << u"ftp://127.0.0.1:%1/%2/%3"_s.arg(port).arg(remoteDir, QDir(home).relativeFilePath(file));
    }
    return runTool(u"curl"_s, args);
}

// lftp's mirror in reverse: one connection, commands sent without waiting for each reply.
qint64 uploadWithLftp(quint16 port, const QString &home, const QString &remoteDir)
{
    const QString script = u"set ftp:passive-mode on; set net:max-retries 1; mirror -R --no-perms %1 %2; quit"_s
                               .arg(home, remoteDir);
    return runTool(u"lftp"_s, {u"-u"_s, User + u',' + Password, u"-p"_s, QString::number(port), u"-e"_s, script,
                                u"127.0.0.1"_s});
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

void report(const char *what, qint64 client, qint64 other, const char *otherName, qint64 bytes)
{
    std::printf("%-30s client %7lld ms (%7.1f MB/s)   %-4s %7lld ms (%7.1f MB/s)   client/%s time %.2f\n", what,
                (long long)client, bytes / 1048576.0 / (client / 1000.0), otherName, (long long)other,
                bytes / 1048576.0 / (other / 1000.0), otherName, double(client) / double(other));
}

} // namespace

namespace {

// Every figure of every round. Wall times wander with the load of a shared machine; the
// processor time of each side stays put, so both are kept.
struct Figures
{
    QList<qint64> bigActive, bigPassive, bigCurl, treeClient, treeCurl, treeLftp, unchanged, unchangedCpu;
    QList<qint64> bigClientCpu, bigCurlCpu, treeClientCpu, treeCurlCpu, treeLftpCpu;
    QList<qint64> gaps;
};

struct Setup
{
    quint16 port = 0;
    QString remote, bigHome, treeHome;
    QStringList treeFiles;
    bool haveLftp = false;
    int target = 0;

    // A new, empty remote directory for one run.
    QString fresh(const char *tool)
    {
        const QString dir = u"%1-%2"_s.arg(QLatin1StringView(tool)).arg(++target);
        QDir(remote).mkpath(dir);
        return dir;
    }
};

void bigFileRound(Setup &setup, Figures &f, int round)
{
    // The order turns every round: a run right after another 100 MB were written waits for
    // the disk more than the first one does.
    for (int turn = 0; turn < 3; ++turn) {
        const int which = (round + turn) % 3;
        if (which == 1) {
            f.bigCurl << uploadWithCurl(setup.port, {setup.bigHome + u"/big.bin"_s}, setup.bigHome, setup.fresh("curl"));
            f.bigCurlCpu << g_toolCpuMs;
            continue;
        }
        const bool passive = which == 2;
        const ClientRun run = uploadWithClient(setup.port, setup.bigHome, setup.fresh(passive ? "passive" : "active"), passive);
        (passive ? f.bigPassive : f.bigActive) << run.ms;
        f.bigClientCpu << run.cpuMs;
    }
}

void treeRound(Setup &setup, Figures &f)
{
    const QString changedTarget = setup.fresh("tree-client");
    const ClientRun tree = uploadWithClient(setup.port, setup.treeHome, changedTarget, true, true);
    f.treeClient << tree.ms;
    f.treeClientCpu << tree.cpuMs;
    f.gaps << tree.gapsNs;
    f.treeCurl << uploadWithCurl(setup.port, setup.treeFiles, setup.treeHome, setup.fresh("tree-curl"));
    f.treeCurlCpu << g_toolCpuMs;
    if (setup.haveLftp) {
        f.treeLftp << uploadWithLftp(setup.port, setup.treeHome, setup.fresh("tree-lftp"));
        f.treeLftpCpu << g_toolCpuMs;
    }
    const ClientRun again = uploadWithClient(setup.port, setup.treeHome, changedTarget, true, true);
    if (again.summary != u"Nahráno 0 souborů, přeskočeno 1000, chyb 0"_s)
        qFatal("unchanged tree was uploaded again: %s", qPrintable(again.summary));
    f.unchanged << again.ms;
    f.unchangedCpu << again.cpuMs;
}

double ratio(qint64 a, qint64 b)
{
    return double(a) / double(qMax<qint64>(1, b));
}

void printSummary(Figures &f, int rounds, qint64 bigSize, bool haveLftp)
{
    std::printf("medians of %d alternating rounds (safe transfer on, journal on for the tree)\n", rounds);
    report("100 MB file, active", median(f.bigActive), median(f.bigCurl), "curl", bigSize);
    report("100 MB file, passive", median(f.bigPassive), median(f.bigCurl), "curl", bigSize);
    report("1,000 x 10 KB, passive", median(f.treeClient), median(f.treeCurl), "curl", 1000 * 10 * 1024);
    if (haveLftp)
        report("1,000 x 10 KB, passive", median(f.treeClient), median(f.treeLftp), "lftp", 1000 * 10 * 1024);
    std::printf("processor time, medians: 100 MB client %lld ms, curl %lld ms (%.2f); 1,000 files client %lld ms, "
                "curl %lld ms (%.2f), lftp %lld ms (%.2f)\n",
                (long long)median(f.bigClientCpu), (long long)median(f.bigCurlCpu),
                ratio(median(f.bigClientCpu), median(f.bigCurlCpu)), (long long)median(f.treeClientCpu),
                (long long)median(f.treeCurlCpu), ratio(median(f.treeClientCpu), median(f.treeCurlCpu)),
                (long long)median(f.treeLftpCpu), ratio(median(f.treeClientCpu), median(f.treeLftpCpu)));
    std::printf("unchanged 1,000-file tree, only changed files: %lld ms (%lld ms of the client's CPU)\n",
                (long long)median(f.unchanged), (long long)median(f.unchangedCpu));
    std::sort(f.gaps.begin(), f.gaps.end());
    if (f.gaps.isEmpty())
        return;
    double sum = 0;
    for (qint64 g : std::as_const(f.gaps))
        sum += double(g);
    std::printf("client's own time from a reply to its next command: median %.3f ms, mean %.3f ms, "
                "95th percentile %.3f ms (%lld commands)\n",
                f.gaps[f.gaps.size() / 2] / 1e6, sum / f.gaps.size() / 1e6, f.gaps[f.gaps.size() * 95 / 100] / 1e6,
                (long long)f.gaps.size());
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The upload journal goes to the user's data folder: a throw-away one here.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", dataHome.filePath(u"config"_s).toLocal8Bit()); // and the saved sites
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    QTemporaryDir remote, bigHome, treeHome;
    Server server;
    if (!server.start(remote.path()))
        qFatal("pyftpdlib did not start");
    Setup setup{server.port, remote.path(), bigHome.path(), treeHome.path(), {},
                !QStandardPaths::findExecutable(u"lftp"_s).isEmpty(), 0};

    const qint64 bigSize = 100LL * 1024 * 1024;
    writeFile(setup.bigHome + u"/big.bin"_s, randomBytes(bigSize, 7));
    for (int i = 0; i < 1000; ++i) {
        const QString path = setup.treeHome + u"/d%1/f%2.html"_s.arg(i / 100).arg(i);
        writeFile(path, randomBytes(10 * 1024, quint32(i)));
        setup.treeFiles << path;
    }

    // Each round runs every tool once, in turn, so a slow moment of the machine falls on
    // all of them alike; the figures are medians over the rounds.
    Figures f;
    for (int round = 0; round < rounds; ++round) {
        bigFileRound(setup, f, round);
        treeRound(setup, f);
        std::printf("round %d: 100 MB active %lld, curl %lld, passive %lld ms; tree client %lld, curl %lld, lftp %lld ms; "
                    "unchanged %lld ms (%lld ms CPU)\n",
                    round + 1, (long long)f.bigActive.last(),
                    (long long)f.bigCurl.last(), (long long)f.bigPassive.last(), (long long)f.treeClient.last(),
                    (long long)f.treeCurl.last(), (long long)(f.treeLftp.isEmpty() ? 0 : f.treeLftp.last()),
                    (long long)f.unchanged.last(), (long long)f.unchangedCpu.last());
        std::fflush(stdout);
        QDir(setup.remote).removeRecursively();
        QDir().mkpath(setup.remote);
    }
    printSummary(f, rounds, bigSize, setup.haveLftp);
    return 0;
}
