// Publishing over SFTP against a loopback OpenSSH server, beside OpenSSH's own sftp client
// in the same run, alternating: 1,000 files of 10 KB over 1 and over 4 sessions of the
// upload window against one "sftp -b" batch of puts, and one file of 100 MB. The window is
// timed from its "Upload" button to the last file renamed ("Bezpečné" on), sftp from its
// start to its end; every upload is checked byte for byte after its clock stopped. A plain
// timed program (argument: rounds, default 3).
#include "SshServer.h"
#include "interaction/Interaction.h"
#include "publish/SftpSession.h"
#include "publish/ftpklient.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
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

using namespace Qt::StringLiterals;

namespace {

// No box may open during a measured upload.
class SilentInteraction final : public Interaction
{
public:
    void showError(const QString &text) override { qFatal("error box: %s", qPrintable(text)); }
    void showInfo(const QString &) override {}
    Answer ask(const QString &, Buttons) override { return Answer::No; }
    int choose(const QString &text, const QStringList &) override
    {
        qFatal("question: %s", qPrintable(text));
        return -1;
    }
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

struct Target
{
    SshServer *server = nullptr;
    QString knownHosts;
};

qint64 uploadWithWindow(const Target &target, const QString &home, const QString &remoteDir, int sessions)
{
    TFTPForm form;
    form.SftpClient().setKnownHostsFiles(target.knownHosts, target.knownHosts);
    form.findChild<QComboBox *>(u"ProtocolComboBox"_s)->setCurrentIndex(TFTPForm::SftpProtocol);
    form.findChild<QLineEdit *>(u"HostNameEdit"_s)->setText(u"127.0.0.1"_s);
    form.findChild<QLineEdit *>(u"PortEdit"_s)->setText(QString::number(target.server->port()));
    form.findChild<QLineEdit *>(u"UserNameEdit"_s)->setText(target.server->userName());
    form.findChild<QLineEdit *>(u"PassWordEdit"_s)->clear();
    form.findChild<QLineEdit *>(u"KeyFileEdit"_s)->setText(target.server->clientKey());
    form.findChild<QLineEdit *>(u"HostDirEdit"_s)->setText(remoteDir);
    form.findChild<QSpinBox *>(u"SessionsSpinEdit"_s)->setValue(sessions);
    form.findChild<QCheckBox *>(u"SafeCheckBox"_s)->setChecked(true);
    form.setHomeDirectory(home);
    form.show();
    form.findChild<QPushButton *>(u"ConnectButton"_s)->click();
    form.findChild<QPushButton *>(u"CdButton"_s)->click();
    QElapsedTimer clock;
    clock.start();
    form.findChild<QPushButton *>(u"UploadButton"_s)->click();
    const qint64 ms = clock.elapsed();
    if (form.LogText().contains(u"Chyba!"_s) || !form.LogText().contains(u", chyb 0"_s))
        qFatal("the window's upload failed:\n%s", qPrintable(form.LogText().right(2000)));
    return ms;
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

// OpenSSH's client with a batch of puts into remoteDir (made beforehand).
qint64 uploadWithSftp(const Target &target, const QString &batchPath, const QString &batch)
{
    writeFile(batchPath, batch.toUtf8());
    QProcess tool;
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.setStandardOutputFile(QProcess::nullDevice());
    const QStringList args{u"-q"_s, u"-b"_s, batchPath, u"-i"_s, target.server->clientKey(), u"-P"_s,
                           QString::number(target.server->port()), u"-o"_s, u"UserKnownHostsFile="_s + target.knownHosts,
                           u"-o"_s, u"StrictHostKeyChecking=yes"_s, u"-o"_s, u"BatchMode=yes"_s,
                           target.server->userName() + u"@127.0.0.1"_s};
    QElapsedTimer clock;
    clock.start();
    tool.start(u"/usr/bin/sftp"_s, args);
    if (!tool.waitForFinished(600000) || tool.exitStatus() != QProcess::NormalExit || tool.exitCode() != 0)
        qFatal("sftp failed");
    return clock.elapsed();
}

qint64 median(QList<qint64> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values[values.size() / 2];
}

double ratio(const QList<qint64> &mine, const QList<qint64> &theirs)
{
    return double(median(mine)) / double(std::max<qint64>(1, median(theirs)));
}

} // namespace

int main(int argc, char **argv)
{
    QTemporaryDir work;
    // Trust, journals and keys stay in the temporary folder, never in the real home.
    qputenv("HOME", work.filePath(u"home"_s).toUtf8());
    qputenv("XDG_DATA_HOME", work.filePath(u"data"_s).toUtf8());
    qputenv("XDG_CONFIG_HOME", work.filePath(u"config"_s).toUtf8());
    qunsetenv("SSH_AUTH_SOCK");
    QApplication app(argc, argv);
    SilentInteraction silent;
    setInteraction(&silent);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 3;

    const QString root = work.filePath(u"server"_s);
    QDir().mkpath(root);
    SshServer server;
    if (const QString error = server.start(root); !error.isEmpty())
        qFatal("sshd: %s", qPrintable(error));
    const Target target{&server, work.filePath(u"known_hosts"_s)};
    writeFile(target.knownHosts, server.knownHostsLine().toUtf8() + '\n');

    const QString tree = work.filePath(u"tree"_s), big = work.filePath(u"big"_s);
    for (int i = 0; i < 1000; ++i)
        writeFile(tree + u"/d%1/f%2.html"_s.arg(i % 10).arg(i), QByteArray(10 * 1024, char('a' + i % 26)));
    QByteArray data(100 * 1024 * 1024, Qt::Uninitialized);
    QRandomGenerator(7).fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
    writeFile(big + u"/big.bin"_s, data);
    data.clear();

    QList<qint64> window1, window4, sftpTree, windowBig, sftpBig;
    for (int round = 0; round < rounds; ++round) {
        auto fresh = [&](const QString &name) {
            const QString dir = u"r%1-%2"_s.arg(round).arg(name);
            QDir(root).mkpath(dir);
            return dir;
        };
        auto runSftpTree = [&] {
            const QString dir = fresh(u"sftp"_s);
            sftpTree << uploadWithSftp(target, work.filePath(u"tree.batch"_s),
                                       u"cd %1\nput -r %2/*\n"_s.arg(dir, tree));
            verifyUpload(tree, root + u'/' + dir, "sftp");
        };
        auto runSftpBig = [&] {
            const QString dir = fresh(u"sftpbig"_s);
            sftpBig << uploadWithSftp(target, work.filePath(u"big.batch"_s),
                                      u"cd %1\nput %2/big.bin\n"_s.arg(dir, big));
            verifyUpload(big, root + u'/' + dir, "sftp 100 MB");
        };
        // Alternating who goes first, so neither always meets a warm server and cache.
        const bool windowFirst = round % 2 == 0;
        if (!windowFirst) {
            runSftpTree();
            runSftpBig();
        }
        const QString w1 = fresh(u"w1"_s), w4 = fresh(u"w4"_s), wb = fresh(u"wbig"_s);
        window1 << uploadWithWindow(target, tree, w1, 1);
        verifyUpload(tree, root + u'/' + w1, "1 session");
        window4 << uploadWithWindow(target, tree, w4, 4);
        verifyUpload(tree, root + u'/' + w4, "4 sessions");
        windowBig << uploadWithWindow(target, big, wb, 1);
        verifyUpload(big, root + u'/' + wb, "100 MB");
        if (windowFirst) {
            runSftpTree();
            runSftpBig();
        }
        std::printf("round %d: 1,000 x 10 KB: 1 session %lld ms, 4 sessions %lld ms, sftp %lld ms; "
                    "100 MB: window %lld ms, sftp %lld ms\n",
                    round + 1, window1.last(), window4.last(), sftpTree.last(), windowBig.last(), sftpBig.last());
        std::fflush(stdout);
    }
    std::printf("medians: 1,000 x 10 KB: 1 session %lld ms (%.2fx sftp), 4 sessions %lld ms (%.2fx sftp), "
                "sftp %lld ms\n",
                median(window1), ratio(window1, sftpTree), median(window4), ratio(window4, sftpTree),
                median(sftpTree));
    std::printf("medians: 100 MB: window %lld ms, sftp %lld ms (%.2fx)\n", median(windowBig), median(sftpBig),
                ratio(windowBig, sftpBig));
    return 0;
}
