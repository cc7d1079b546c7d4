// Upload throughput against a loopback pyftpdlib server, this client beside curl:
// one 100 MB file, then a tree of 1,000 files of 10 KB. A plain timed program: each
// figure is one run, since a single upload of this size already takes seconds.
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
#include <QTemporaryDir>

#include <cstdio>

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
        const QString script = QFileInfo(QStringLiteral(__FILE__)).dir().filePath(u"../tests/publish/ftpserver.py"_s);
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

// Connects, changes into remoteDir and uploads the home directory; milliseconds.
qint64 uploadWithClient(quint16 port, const QString &home, const QString &remoteDir, bool passive)
{
    TFTPForm form;
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(port));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(User);
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->setText(Password);
    form.findChild<QLineEdit *>(u"HostDirEdit"_s)->setText(remoteDir);
    form.findChild<QCheckBox *>(u"PassiveCheckBox"_s)->setChecked(passive);
    form.setHomeDirectory(home);
    QElapsedTimer clock;
    clock.start();
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QPushButton *>(u"CdButton"_s)->click();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    const qint64 ms = clock.elapsed();
    if (form.LogText().split(u'\n').contains(u"Chyba!"_s))
        qFatal("the client's upload failed:\n%s", qPrintable(form.LogText().right(2000)));
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
    QProcess curl;
    curl.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    curl.start(u"curl"_s, args);
    if (!curl.waitForFinished(600000) || curl.exitCode() != 0)
        qFatal("curl failed");
    return clock.elapsed();
}

void report(const char *what, qint64 client, qint64 curl, qint64 bytes)
{
    std::printf("%-28s client %7lld ms (%7.1f MB/s)   curl %7lld ms (%7.1f MB/s)   client/curl time %.2f\n",
                what, (long long)client, bytes / 1048576.0 / (client / 1000.0), (long long)curl,
                bytes / 1048576.0 / (curl / 1000.0), double(client) / double(curl));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir remote, bigHome, treeHome;
    for (const char *d : {"client-active", "client-passive", "curl", "tree-client", "tree-curl"})
        QDir(remote.path()).mkpath(QLatin1StringView(d));
    Server server;
    if (!server.start(remote.path()))
        qFatal("pyftpdlib did not start");

    const qint64 bigSize = 100LL * 1024 * 1024;
    writeFile(bigHome.path() + u"/big.bin"_s, randomBytes(bigSize, 7));
    QStringList treeFiles;
    for (int i = 0; i < 1000; ++i) {
        const QString path = treeHome.path() + u"/d%1/f%2.html"_s.arg(i / 100).arg(i);
        writeFile(path, randomBytes(10 * 1024, quint32(i)));
        treeFiles << path;
    }

    const qint64 bigActive = uploadWithClient(server.port, bigHome.path(), u"client-active"_s, false);
    const qint64 bigPassive = uploadWithClient(server.port, bigHome.path(), u"client-passive"_s, true);
    const qint64 bigCurl = uploadWithCurl(server.port, {bigHome.path() + u"/big.bin"_s}, bigHome.path(), u"curl"_s);
    const qint64 treeClient = uploadWithClient(server.port, treeHome.path(), u"tree-client"_s, true);
    const qint64 treeCurl = uploadWithCurl(server.port, treeFiles, treeHome.path(), u"tree-curl"_s);

    report("100 MB file, active", bigActive, bigCurl, bigSize);
    report("100 MB file, passive", bigPassive, bigCurl, bigSize);
    report("1,000 x 10 KB, passive", treeClient, treeCurl, 1000 * 10 * 1024);
    return 0;
}
