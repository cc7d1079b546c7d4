#include "app/ProgramDir.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_Install : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programDirFor_data();
    void programDirFor();
    void desktopEntryIsValid();
    void installPutsEverythingInPlace();

private:
    static void mkdirs(const QString &root, const QStringList &dirs)
    {
        for (const QString &d : dirs)
            QVERIFY(QDir(root).mkpath(d));
    }
};

void tst_Install::programDirFor_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QString>("executableDir");
    QTest::addColumn<QString>("expected");
    QTest::newRow("build tree: data beside the program")
        << QStringList{u"bin/data"_s, u"share/brisko-editor/data"_s} << u"bin"_s << u"bin/"_s;
    QTest::newRow("installed under a prefix")
        << QStringList{u"usr/local/bin"_s, u"usr/local/share/brisko-editor/data"_s}
        << u"usr/local/bin"_s << u"usr/local/share/brisko-editor/"_s;
    QTest::newRow("no data anywhere: the program's folder")
        << QStringList{u"opt/bin"_s} << u"opt/bin"_s << u"opt/bin/"_s;
}

void tst_Install::programDirFor()
{
    QFETCH(QStringList, folders);
    QFETCH(QString, executableDir);
    QFETCH(QString, expected);
    QTemporaryDir root;
    mkdirs(root.path(), folders);
    QCOMPARE(::programDirFor(root.filePath(executableDir)), root.filePath(expected));
}

void tst_Install::desktopEntryIsValid()
{
    const QString entry = QStringLiteral(BRISKO_SOURCE_DIR) + u"/data/desktop/brisko-editor.desktop"_s;
    QProcess validate;
    validate.start(u"desktop-file-validate"_s, {entry});
    QVERIFY2(validate.waitForStarted(), "desktop-file-validate (package desktop-file-utils)");
    QVERIFY(validate.waitForFinished());
    const QString said = QString::fromLocal8Bit(validate.readAllStandardOutput()
                                                + validate.readAllStandardError());
    QVERIFY2(validate.exitCode() == 0 && said.trimmed().isEmpty(), qPrintable(said));
}

void tst_Install::installPutsEverythingInPlace()
{
    QTemporaryDir destdir;
    QVERIFY(destdir.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"DESTDIR"_s, destdir.path());
    QProcess install;
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(BRISKO_CMAKE_COMMAND),
                  {u"--install"_s, QStringLiteral(BRISKO_BUILD_DIR), u"--prefix"_s, u"/usr/local"_s});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QString prefix = destdir.path() + u"/usr/local/"_s;
    for (const QString &file : {u"bin/brisko-editor"_s,
                                u"share/brisko-editor/data/function.dat"_s,
                                u"share/brisko-editor/help/index.htm"_s,
                                u"share/brisko-editor/SABLONY/Prázdná stránka.sab"_s,
                                u"share/applications/brisko-editor.desktop"_s,
                                u"share/icons/hicolor/48x48/apps/brisko-editor.png"_s,
                                u"share/icons/hicolor/256x256/apps/brisko-editor.png"_s,
                                u"share/icons/hicolor/scalable/apps/brisko-editor.svg"_s})
        QVERIFY2(QFileInfo::exists(prefix + file), qPrintable(file));
    QVERIFY(QFileInfo(prefix + u"bin/brisko-editor"_s).isExecutable());

    // The installed program starts and finds its data under the prefix.
    QProcess program;
    QProcessEnvironment runEnv = QProcessEnvironment::systemEnvironment();
    runEnv.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(runEnv);
    program.start(prefix + u"bin/brisko-editor"_s, {u"--check-install"_s});
    QVERIFY(program.waitForFinished(60000));
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
             qPrintable(out + QString::fromUtf8(program.readAllStandardError())));
    QVERIFY2(out.contains(u"programDir: "_s + prefix + u"share/brisko-editor/"_s), qPrintable(out));
    QVERIFY2(!out.contains(u"missing"_s), qPrintable(out));
}

BRISKO_TEST_MAIN(tst_Install)
#include "tst_install.moc"
