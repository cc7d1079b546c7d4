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

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The upload journal goes to the user's data folder: a throw-away one here.
    QTemporaryDir dataHome;
    qputenv("XDG_DATA_HOME", dataHome.path().toLocal8Bit());
    QApplication app(argc, argv);
    const int rounds = argc > 1 ? QByteArray(argv[1]).toInt() : 3;
    QTemporaryDir remote, bigHome, treeHome;
    Server server;
    if (!server.start(remote.path()))
        qFatal("pyftpdlib did not start");
    const bool haveLftp = !QStandardPaths::findExecutable(u"lftp"_s).isEmpty();

    const qint64 bigSize = 100LL * 1024 * 1024;
    writeFile(bigHome.path() + u"/big.bin"_s, randomBytes(bigSize, 7));
    QStringList treeFiles;
    for (int i = 0; i < 1000; ++i) {
        const QString path = treeHome.path() + u"/d%1/f%2.html"_s.arg(i / 100).arg(i);
        writeFile(path, randomBytes(10 * 1024, quint32(i)));
        treeFiles << path;
    }

    // Each round runs every tool once, in turn, so a slow moment of the machine falls on
    // all of them alike; the figures are medians over the rounds.
    QList<qint64> bigActive, bigPassive, bigCurl, treeClient, treeCurl, treeLftp, unchanged, unchangedCpu;
    // Processor time of each side: on a machine shared with other work, wall times wander
    // with the load while these stay put.
    QList<qint64> bigClientCpu, bigCurlCpu, treeClientCpu, treeCurlCpu, treeLftpCpu;
    QList<qint64> gaps;
    int target = 0;
    auto fresh = [&](const char *tool) {
        const QString dir = u"%1-%2"_s.arg(QLatin1StringView(tool)).arg(++target);
        QDir(remote.path()).mkpath(dir);
        return dir;
    };
    for (int round = 0; round < rounds; ++round) {
        // The order turns every round: a run right after another 100 MB were written waits
        // for the disk more than the first one does.
        for (int turn = 0; turn < 3; ++turn) {
            switch ((round + turn) % 3) {
            case 0: {
                const ClientRun run = uploadWithClient(server.port, bigHome.path(), fresh("active"), false);
                bigActive << run.ms;
                bigClientCpu << run.cpuMs;
                break;
            }
            case 1:
                bigCurl << uploadWithCurl(server.port, {bigHome.path() + u"/big.bin"_s}, bigHome.path(), fresh("curl"));
                bigCurlCpu << g_toolCpuMs;
                break;
            default: {
                const ClientRun run = uploadWithClient(server.port, bigHome.path(), fresh("passive"), true);
                bigPassive << run.ms;
                bigClientCpu << run.cpuMs;
                break;
            }
            }
        }

        const QString changedTarget = fresh("tree-client");
        const ClientRun tree = uploadWithClient(server.port, treeHome.path(), changedTarget, true, true);
        treeClient << tree.ms;
        treeClientCpu << tree.cpuMs;
        gaps << tree.gapsNs;
        treeCurl << uploadWithCurl(server.port, treeFiles, treeHome.path(), fresh("tree-curl"));
        treeCurlCpu << g_toolCpuMs;
        if (haveLftp) {
            treeLftp << uploadWithLftp(server.port, treeHome.path(), fresh("tree-lftp"));
            treeLftpCpu << g_toolCpuMs;
        }
        const ClientRun again = uploadWithClient(server.port, treeHome.path(), changedTarget, true, true);
        if (again.summary != u"Nahráno 0 souborů, přeskočeno 1000, chyb 0"_s)
            qFatal("unchanged tree was uploaded again: %s", qPrintable(again.summary));
        unchanged << again.ms;
        unchangedCpu << again.cpuMs;
        std::printf("round %d: 100 MB active %lld, curl %lld, passive %lld ms; tree client %lld, curl %lld, lftp %lld ms; "
                    "unchanged %lld ms (%lld ms CPU)\n",
                    round + 1, (long long)bigActive.last(), (long long)bigCurl.last(), (long long)bigPassive.last(),
                    (long long)treeClient.last(), (long long)treeCurl.last(),
                    (long long)(treeLftp.isEmpty() ? 0 : treeLftp.last()), (long long)again.ms, (long long)again.cpuMs);
        std::fflush(stdout);
        QDir(remote.path()).removeRecursively();
        QDir().mkpath(remote.path());
    }

    std::printf("medians of %d alternating rounds (safe transfer on, journal on for the tree)\n", rounds);
    report("100 MB file, active", median(bigActive), median(bigCurl), "curl", bigSize);
    report("100 MB file, passive", median(bigPassive), median(bigCurl), "curl", bigSize);
    report("1,000 x 10 KB, passive", median(treeClient), median(treeCurl), "curl", 1000 * 10 * 1024);
    if (haveLftp)
        report("1,000 x 10 KB, passive", median(treeClient), median(treeLftp), "lftp", 1000 * 10 * 1024);
    std::printf("processor time, medians: 100 MB client %lld ms, curl %lld ms (%.2f); 1,000 files client %lld ms, "
                "curl %lld ms (%.2f), lftp %lld ms (%.2f)\n",
                (long long)median(bigClientCpu), (long long)median(bigCurlCpu),
                double(median(bigClientCpu)) / double(qMax<qint64>(1, median(bigCurlCpu))),
                (long long)median(treeClientCpu), (long long)median(treeCurlCpu),
                double(median(treeClientCpu)) / double(qMax<qint64>(1, median(treeCurlCpu))),
                (long long)median(treeLftpCpu),
                double(median(treeClientCpu)) / double(qMax<qint64>(1, median(treeLftpCpu))));
    std::printf("unchanged 1,000-file tree, only changed files: %lld ms (%lld ms of the client's CPU)\n",
                (long long)median(unchanged), (long long)median(unchangedCpu));
    std::sort(gaps.begin(), gaps.end());
    if (!gaps.isEmpty()) {
        double sum = 0;
        for (qint64 g : gaps)
            sum += double(g);
        std::printf("client's own time from a reply to its next command: median %.3f ms, mean %.3f ms, "
                    "95th percentile %.3f ms (%lld commands)\n",
                    gaps[gaps.size() / 2] / 1e6, sum / gaps.size() / 1e6, gaps[gaps.size() * 95 / 100] / 1e6,
                    (long long)gaps.size());
    }
    return 0;
}
