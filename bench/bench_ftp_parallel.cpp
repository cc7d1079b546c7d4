// Parallel and encrypted publishing against loopback pyftpdlib servers and Debian's vsftpd,
// beside lftp in the same run, alternating: 1,000 files of 10 KB over one session of the
// upload window against lftp's reverse mirror, over four against lftp's mirror with four
// parallel transfers (on both servers), and 100 MB over FTPS against lftp with forced TLS.
// pyftpdlib is one Python process that all sessions share, so it tends to be the limit;
// vsftpd is a C server with a process per session, as most hosts run, where what the client
// does per file counts. Both are timed with the login inside the
// clock: the window from its "Připojit" button to the last file confirmed ("Bezpečné" on),
// lftp from its start to its end; every upload is checked byte for byte after its clock
// stopped. Beside each time stands the processor time it took, on the client's side (the
// window's process, or lftp) and on the server's: a loaded machine shows in the wall times
// first, and where the time went shows in these. A plain timed program (arguments: rounds,
// default 3; then "files", "vsftpd" or "ftps" to run that part only, for measuring one of
// them; vsftpd needs root and is left out without it).
// BRISKO_BENCH_TRACE in the environment shows the window's session line by line;
// BRISKO_BENCH_MARK prints when each window upload began and ended on the monotonic clock,
// to cut a recording of "perf record -k CLOCK_MONOTONIC" to them ("perf report --time").
#include "interaction/Interaction.h"
#include "publish/CertificateTrust.h"
#include "publish/ftpklient.h"
#include "publish/FtpClient.h"

#include "VsftpdServer.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QSpinBox>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <map>

#include <unistd.h>

#include <sys/resource.h>

using namespace Qt::StringLiterals;

namespace {

const QString User = u"bench"_s;
const QString Password = u"bench-pw"_s;

// Processor time in milliseconds: this process's threads, and its children that ended.
qint64 ownCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return qint64(t.tv_sec) * 1000 + t.tv_nsec / 1000000;
}

qint64 childrenCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    auto ms = [](const timeval &v) { return qint64(v.tv_sec) * 1000 + v.tv_usec / 1000; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

// What one upload took: on the clock, in the client's processor time and in the server's.
struct Sample
{
    qint64 wall = 0, client = 0, server = 0;
};

// Processor time of a process and of everything under it, living or ended and reaped, in ms.
qint64 processTreeCpuMs(qint64 root)
{
    std::multimap<qint64, qint64> children;
    std::map<qint64, qint64> ticks;
    QDirIterator procs(u"/proc"_s, QDir::Dirs | QDir::NoDotAndDotDot);
    while (procs.hasNext()) {
        const QString dir = procs.next();
        bool number = false;
        const qint64 pid = QFileInfo(dir).fileName().toLongLong(&number);
        QFile stat(dir + u"/stat"_s);
        if (!number || !stat.open(QIODevice::ReadOnly))
            continue;
        const QByteArray text = stat.readAll();
        // After the name in parentheses: state, ppid, ..., utime (14), stime, cutime, cstime.
        const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        if (fields.size() < 15)
            continue;
        children.emplace(fields[1].toLongLong(), pid);
        ticks[pid] = fields[11].toLongLong() + fields[12].toLongLong() + fields[13].toLongLong() + fields[14].toLongLong();
    }
    qint64 sum = 0;
    QList<qint64> todo{root};
    while (!todo.isEmpty()) {
        const qint64 pid = todo.takeLast();
        sum += ticks[pid];
        const auto [from, to] = children.equal_range(pid);
        for (auto it = from; it != to; ++it)
            todo << it->second;
    }
    return sum * 1000 / sysconf(_SC_CLK_TCK);
}

struct Server
{
    QProcess process;
    quint16 port = 0;
    QString user = User, password = Password;
    QString prefix; // where uploads may go, relative to the login's folder
    VsftpdServer vsftpd;
    bool forking = false;
    ~Server()
    {
        process.closeWriteChannel();
        if (!process.waitForFinished(2000)) {
            process.kill();
            process.waitForFinished(2000);
        }
    }
    bool start(const QString &root, const QString &certFile = {})
    {
        QStringList args{QStringLiteral(BRISKO_FTPSERVER_SCRIPT), root, User, Password};
        if (!certFile.isEmpty())
            args << certFile;
        process.setStandardErrorFile(QProcess::nullDevice());
        process.start(u"/usr/bin/python3"_s, args);
        QDeadlineTimer deadline(20000);
        while (!process.canReadLine() && !deadline.hasExpired())
            process.waitForReadyRead(100);
        const QByteArray line = process.readLine().trimmed();
        port = line.startsWith("PORT ") ? quint16(line.mid(5).toUInt()) : 0;
        return port != 0;
    }
    // Anonymous login into root, uploads into root/web.
    QString startVsftpd(const QString &root)
    {
        const QString why = vsftpd.start(root);
        port = vsftpd.port();
        user = u"anonymous"_s;
        prefix = u"web/"_s;
        forking = true;
        return why;
    }
    // Its processor time so far: pyftpdlib's one thread by the scheduler's count (in ns);
    // vsftpd's listener with its session processes, at the clock tick's resolution.
    qint64 cpuMs() const
    {
        if (forking)
            return processTreeCpuMs(vsftpd.processId());
        QFile stat(u"/proc/%1/schedstat"_s.arg(process.processId()));
        if (!stat.open(QIODevice::ReadOnly))
            return 0;
        return stat.readAll().split(' ').value(0).toLongLong() / 1000000;
    }
};

// The benchmark trusts its own server's certificate, as a user would once.
class TrustingInteraction final : public Interaction
{
public:
    void showError(const QString &text) override { qFatal("error box: %s", qPrintable(text)); }
    void showInfo(const QString &) override {}
    Answer ask(const QString &, Buttons) override { return Answer::Yes; }
    int choose(const QString &, const QStringList &) override { return 0; }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString existingDirectory(const QString &, const QString &) override { return {}; }
    std::optional<QColor> color(const QColor &) override { return std::nullopt; }
    std::optional<QString> text(const QString &, const QString &, const QString &) override { return std::nullopt; }
    bool printSetup(QPrinter &) override { return false; }
    bool print(QPrinter &) override { return false; }
    int exec(QDialog &) override { return 0; }
};

void writeFile(const QString &path, const QByteArray &data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(data) != data.size())
        qFatal("cannot write %s", qPrintable(path));
}

Sample uploadWithWindow(const Server &server, const QString &home, const QString &remoteDir, int sessions, bool tls)
{
    const quint16 port = server.port;
    TFTPForm form;
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(port));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(server.user);
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->setText(server.password);
    form.findChild<QLineEdit *>(u"HostDirEdit"_s)->setText(remoteDir);
    form.findChild<QCheckBox *>(u"PassiveCheckBox"_s)->setChecked(true);
    form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->setCurrentIndex(tls ? TFTPForm::FtpsProtocol : TFTPForm::FtpProtocol);
    form.findChild<QSpinBox *>(u"SessionsSpinEdit"_s)->setValue(sessions);
    form.findChild<QCheckBox *>(u"SafeCheckBox"_s)->setChecked(true);
    form.setHomeDirectory(home);
    form.show();
    // What the user waits for: from connecting until the last file is confirmed.
    QElapsedTimer clock;
    const qint64 serverBefore = server.cpuMs(), clientBefore = ownCpuMs();
    clock.start();
    // With BRISKO_BENCH_TRACE set, the window's session shows on stderr what it says and
    // hears, each line with the milliseconds since the click: where the time goes.
    if (qEnvironmentVariableIsSet("BRISKO_BENCH_TRACE")) {
        auto *session = form.findChild<TFtpClient *>();
        QObject::connect(session, &TFtpClient::OnDisplay, session, [&clock](const QString &line) {
            std::fprintf(stderr, "%6lld %s\n", clock.elapsed(), qPrintable(line.left(100)));
        });
    }
    timespec markStart{};
    clock_gettime(CLOCK_MONOTONIC, &markStart);
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QPushButton *>(u"CdButton"_s)->click();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    const Sample sample{clock.elapsed(), ownCpuMs() - clientBefore, server.cpuMs() - serverBefore};
    if (qEnvironmentVariableIsSet("BRISKO_BENCH_MARK")) {
        timespec markEnd{};
        clock_gettime(CLOCK_MONOTONIC, &markEnd);
        std::fprintf(stderr, "MARK %d %ld.%09ld,%ld.%09ld\n", sessions, long(markStart.tv_sec), markStart.tv_nsec,
                     long(markEnd.tv_sec), markEnd.tv_nsec);
    }
    if (form.LogText().contains(u"Chyba!"_s))
        qFatal("the window's upload failed:\n%s", qPrintable(form.LogText().right(2000)));
    return sample;
}

// The figures count only if every file arrived whole, and no temporary file stayed behind.
void verifyUpload(const QString &localRoot, const QString &remoteRoot, const char *who)
{
    QDirIterator local(localRoot, QDir::Files, QDirIterator::Subdirectories);
    int files = 0;
    while (local.hasNext()) {
        const QString path = local.next();
        QFile mine(path), theirs(remoteRoot + u'/' + QDir(localRoot).relativeFilePath(path));
        if (!mine.open(QIODevice::ReadOnly) || !theirs.open(QIODevice::ReadOnly) || mine.readAll() != theirs.readAll())
            qFatal("%s: %s did not arrive whole", who, qPrintable(theirs.fileName()));
        ++files;
    }
    QDirIterator remote(remoteRoot, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    int there = 0;
    while (remote.hasNext()) {
        remote.next();
        ++there;
    }
    if (there != files)
        qFatal("%s: %d files on the server for %d sent", who, there, files);
}

Sample runTool(const Server &server, const QString &program, const QStringList &args)
{
    const qint64 serverBefore = server.cpuMs(), clientBefore = childrenCpuMs();
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    tool.start(program, args);
    if (!tool.waitForFinished(600000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        qFatal("%s failed", qPrintable(program));
    const qint64 wall = clock.elapsed();
    return {wall, childrenCpuMs() - clientBefore, server.cpuMs() - serverBefore};
}

// Each figure's own median.
Sample median(const QList<Sample> &samples)
{
    auto of = [&](qint64 Sample::*field) {
        QList<qint64> values;
        for (const Sample &s : samples)
            values << s.*field;
        std::sort(values.begin(), values.end());
        return values.isEmpty() ? 0 : values[values.size() / 2];
    };
    return {of(&Sample::wall), of(&Sample::client), of(&Sample::server)};
}

// "1234 ms (client 500, server 700)"
QByteArray shown(const Sample &s)
{
    return u"%1 ms (client %2, server %3)"_s.arg(s.wall).arg(s.client).arg(s.server).toUtf8();
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir work;
    qputenv("XDG_DATA_HOME", work.filePath(u"data"_s).toUtf8()); // the trust goes here, not to the real home
    qputenv("XDG_CONFIG_HOME", work.filePath(u"config"_s).toUtf8()); // nor the saved sites
    QApplication app(argc, argv);
    TrustingInteraction trusting;
    setInteraction(&trusting);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;
    const QByteArray part = argc > 2 ? QByteArray(argv[2]) : QByteArray();
    const bool files = part.isEmpty() || part == "files", encrypted = part.isEmpty() || part == "ftps";
    bool forking = part.isEmpty() || part == "vsftpd";

    const QString plainRoot = work.filePath(u"plain"_s), tlsRoot = work.filePath(u"tls"_s);
    QDir().mkpath(plainRoot);
    QDir().mkpath(tlsRoot);
    Server plain, secure;
    if (!plain.start(plainRoot) || !secure.start(tlsRoot, work.filePath(u"cert.pem"_s)))
        qFatal("the servers did not start");
    // vsftpd wants a root it cannot write to; the uploads go to its folder "web".
    const QString vsftpdRoot = work.filePath(u"vsftpd"_s);
    Server vsftpd;
    if (forking) {
        const QString why = vsftpd.startVsftpd(vsftpdRoot);
        if (!why.isEmpty()) {
            std::printf("vsftpd left out: %s\n", qPrintable(why));
            forking = false;
        }
    }

    const QString tree = work.filePath(u"tree"_s), big = work.filePath(u"big"_s);
    for (int i = 0; i < 1000; ++i)
        writeFile(tree + u"/d%1/f%2.html"_s.arg(i % 10).arg(i), QByteArray(10 * 1024, char('a' + i % 26)));
    if (encrypted) {
        QByteArray data(100 * 1024 * 1024, Qt::Uninitialized);
        QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
        writeFile(big + u"/big.bin"_s, data);
    }

    // The four rows of small files on one server: the window over 1 and 4 sessions, lftp's
    // mirror with 1 and 4 transfers.
    struct FileRows
    {
        QList<Sample> window1, window4, lftp1, lftp4;
    } pyftpdlib, forked;
    QList<Sample> ftps, curl;
    for (int round = 0; round < rounds; ++round) {
        auto fresh = [&](const QString &root, const QString &name) {
            const QString dir = u"r%1-%2"_s.arg(round).arg(name);
            QDir(root).mkpath(dir);
            return dir;
        };
        // Alternating who goes first, so neither always meets a warm server.
        const bool windowFirst = round % 2 == 0;
        // localRoot is the server's folder that the remote folders of the uploads are in.
        auto fileRows = [&](const Server &server, const QString &localRoot, FileRows &rows) {
            auto mirror = [&](int parallel, QList<Sample> &times) {
                const QString name = u"lftp%1"_s.arg(parallel);
                const QString script = u"set ftp:passive-mode on; set net:max-retries 1; "
                                       u"mirror -R --no-perms --parallel=%1 %2 %3; quit"_s
                                           .arg(parallel)
                                           .arg(tree, server.prefix + fresh(localRoot, name));
                times << runTool(server, u"lftp"_s,
                                 {u"-u"_s, server.user + u',' + server.password, u"-p"_s,
                                  QString::number(server.port), u"-e"_s, script, u"127.0.0.1"_s});
                verifyUpload(tree, localRoot + u"/r%1-%2"_s.arg(round).arg(name), "lftp");
            };
            auto runLftp = [&] {
                mirror(1, rows.lftp1);
                mirror(4, rows.lftp4);
            };
            if (!windowFirst)
                runLftp();
            rows.window4 << uploadWithWindow(server, tree, server.prefix + fresh(localRoot, u"w4"_s), 4, false);
            verifyUpload(tree, localRoot + u"/r%1-w4"_s.arg(round), "4 sessions");
            rows.window1 << uploadWithWindow(server, tree, server.prefix + fresh(localRoot, u"w1"_s), 1, false);
            verifyUpload(tree, localRoot + u"/r%1-w1"_s.arg(round), "1 session");
            if (windowFirst)
                runLftp();
        };
        if (files)
            fileRows(plain, plainRoot, pyftpdlib);
        if (forking)
            fileRows(vsftpd, vsftpdRoot + u"/web"_s, forked);

        // curl --ssl-reqd (7.88) cannot store into pyftpdlib 1.5.7 over TLS: the server resets
        // its encrypted data connection. lftp with forced TLS stands in for it.
        auto runCurl = [&] {
            const QString script = u"set ftp:ssl-force true; set ftp:ssl-protect-data true; "
                                   u"set ssl:verify-certificate no; set net:max-retries 1; put %1 -o %2/big.bin; quit"_s
                                       .arg(big + u"/big.bin"_s, fresh(tlsRoot, u"lftp"_s));
            curl << runTool(secure, u"lftp"_s, {u"-u"_s, User + u',' + Password, u"-p"_s, QString::number(secure.port),
                                        u"-e"_s, script, u"127.0.0.1"_s});
            verifyUpload(big, tlsRoot + u"/r%1-lftp"_s.arg(round), "lftp FTPS");
        };
        if (encrypted && !windowFirst)
            runCurl();
        if (encrypted) {
            ftps << uploadWithWindow(secure, big, fresh(tlsRoot, u"ftps"_s), 1, true);
            verifyUpload(big, tlsRoot + u"/r%1-ftps"_s.arg(round), "FTPS");
        }
        if (encrypted && windowFirst)
            runCurl();
        auto last = [](const QList<Sample> &samples) { return shown(samples.isEmpty() ? Sample{} : samples.last()); };
        std::printf("round %d:\n", round + 1);
        auto lastRows = [&](const char *name, const FileRows &rows) {
            std::printf("  %s: 1,000 files 1 session %s, lftp mirror %s\n    4 sessions %s, lftp --parallel=4 %s\n",
                        name, last(rows.window1).constData(), last(rows.lftp1).constData(),
                        last(rows.window4).constData(), last(rows.lftp4).constData());
        };
        if (files)
            lastRows("pyftpdlib", pyftpdlib);
        if (forking)
            lastRows("vsftpd", forked);
        if (encrypted)
            std::printf("  100 MB FTPS %s, lftp FTPS %s\n", last(ftps).constData(), last(curl).constData());
        std::fflush(stdout);
    }
    auto ratio = [](const QList<Sample> &ours, const QList<Sample> &theirs) {
        return double(median(ours).wall) / double(std::max<qint64>(1, median(theirs).wall));
    };
    std::printf("medians:\n");
    auto medianRows = [&](const char *name, const FileRows &rows) {
        std::printf("  %s: 1,000 x 10 KB 1 session %s, lftp mirror %s (%.2fx)\n"
                    "    4 sessions %s, lftp --parallel=4 %s (%.2fx)\n",
                    name, shown(median(rows.window1)).constData(), shown(median(rows.lftp1)).constData(),
                    ratio(rows.window1, rows.lftp1), shown(median(rows.window4)).constData(),
                    shown(median(rows.lftp4)).constData(), ratio(rows.window4, rows.lftp4));
    };
    if (files)
        medianRows("pyftpdlib", pyftpdlib);
    if (forking)
        medianRows("vsftpd", forked);
    if (encrypted)
        std::printf("  100 MB FTPS %s, lftp FTPS %s (%.2fx)\n", shown(median(ftps)).constData(),
                    shown(median(curl)).constData(), ratio(ftps, curl));
    return 0;
}
