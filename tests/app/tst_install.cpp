#include "app/ProgramDir.h"
#include "markup/TextEncoding.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

class tst_Install : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void programDirFor_data();
    void programDirFor();
    void desktopEntryIsValid();
    void helpLinksLeadToTheirPlaces();
    void helpDescribesTheChecks_data();
    void helpDescribesTheChecks();
    void installPutsEverythingInPlace_data();
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

// The help pages as the browser reads them: Windows-1250, as their META says.
static QString helpPage(const QString &name)
{
    QFile file(QStringLiteral(BRISKO_SOURCE_DIR) + u"/data/help/"_s + name);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return decodeText(file.readAll(), TextEncoding::Windows1250).value_or(QString());
}

void tst_Install::helpLinksLeadToTheirPlaces()
{
    static const QRegularExpression link(u"HREF=\"([^\"#]*)(?:#([^\"]*))?\""_s,
                                         QRegularExpression::CaseInsensitiveOption);
    int links = 0;
    for (const QString &page : {u"index.htm"_s, u"index2.htm"_s}) {
        const QString text = helpPage(page);
        QVERIFY2(!text.isEmpty(), qPrintable(page));
        for (auto it = link.globalMatch(text); it.hasNext(); ++links) {
            const QRegularExpressionMatch m = it.next();
            const QString target = m.captured(1).isEmpty() ? page : m.captured(1);
            const QString targetText = helpPage(target);
            QVERIFY2(!targetText.isEmpty(), qPrintable(page + u" → "_s + target));
            if (!m.captured(2).isEmpty()) {
                QVERIFY2(targetText.contains(u"NAME=\""_s + m.captured(2) + u'"'),
                         qPrintable(page + u" → "_s + m.captured(0)));
            }
        }
    }
    QVERIFY(links > 0);
}

void tst_Install::helpDescribesTheChecks_data()
{
    QTest::addColumn<QString>("topic");
    for (const char16_t *topic : {u"Kontrola pravopisu", u"Přidat do slovníku", u"Ignorovat vše",
                                  u"hunspell-cs", u"Ctrl+F5", u"Zkontrolovat HTML", u"Kontrola webu...",
                                  u"Opravit velikost písmen", u"Před nahráním zkontrolovat web",
                                  u"Zobrazit zprávu",
                                  u"Smazat na serveru soubory, které doma nejsou"})
        QTest::newRow(QString::fromUtf16(topic).toUtf8().constData()) << QString::fromUtf16(topic);
}

void tst_Install::helpDescribesTheChecks()
{
    QFETCH(QString, topic);
    QVERIFY2(helpPage(u"index2.htm"_s).contains(topic), qPrintable(topic));
}

void tst_Install::installPutsEverythingInPlace_data()
{
    QTest::addColumn<bool>("staged");
    QTest::addColumn<QString>("prefix");
    // As a package is built: under /usr/local, in a staging folder (DESTDIR).
    QTest::newRow("staged under /usr/local") << true << u"/usr/local"_s;
    // As `make install PREFIX=...` does it: straight into a prefix of the user's.
    QTest::newRow("into a prefix of its own") << false << u"opt/brisko"_s;
}

void tst_Install::installPutsEverythingInPlace()
{
    QFETCH(bool, staged);
    QFETCH(QString, prefix);
    QTemporaryDir root;
    QVERIFY(root.isValid());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (staged)
        env.insert(u"DESTDIR"_s, root.path());
    else
        prefix = root.filePath(prefix);
    QProcess install;
    install.setProcessEnvironment(env);
    install.setProcessChannelMode(QProcess::MergedChannels);
    install.start(QStringLiteral(BRISKO_CMAKE_COMMAND),
                  {u"--install"_s, QStringLiteral(BRISKO_BUILD_DIR), u"--prefix"_s, prefix});
    QVERIFY(install.waitForFinished(120000));
    QVERIFY2(install.exitCode() == 0, install.readAll().constData());

    const QString installed = (staged ? root.path() + prefix : prefix) + u'/';
    const QString browserModule = installed + u"lib/brisko-editor/libbrisko-browser.so"_s;
    for (const QString &file : {u"bin/brisko-editor"_s,
                                u"lib/brisko-editor/libbrisko.so"_s,
                                u"share/brisko-editor/data/function.dat"_s,
                                u"share/brisko-editor/help/index.htm"_s,
                                u"share/brisko-editor/SABLONY/Prázdná stránka.sab"_s,
                                u"share/applications/brisko-editor.desktop"_s,
                                u"share/icons/hicolor/48x48/apps/brisko-editor.png"_s,
                                u"share/icons/hicolor/256x256/apps/brisko-editor.png"_s,
                                u"share/icons/hicolor/scalable/apps/brisko-editor.svg"_s})
        QVERIFY2(QFileInfo::exists(installed + file), qPrintable(file));
    QVERIFY(QFileInfo::exists(browserModule));
    QVERIFY(QFileInfo(installed + u"bin/brisko-editor"_s).isExecutable());

    // The installed program starts, finds its data under the prefix, and its browser shows
    // a page (as root the engine runs without its sandbox; the program sees to that).
    QProcess program;
    QProcessEnvironment runEnv = QProcessEnvironment::systemEnvironment();
    runEnv.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(runEnv);
    program.start(installed + u"bin/brisko-editor"_s, {u"--check-install"_s});
    QVERIFY(program.waitForFinished(180000));
    const QString out = QString::fromUtf8(program.readAllStandardOutput());
    QVERIFY2(program.exitStatus() == QProcess::NormalExit && program.exitCode() == 0,
             qPrintable(out + QString::fromUtf8(program.readAllStandardError())));
    QVERIFY2(out.contains(u"programDir: "_s + installed + u"share/brisko-editor/"_s), qPrintable(out));
    QVERIFY2(out.contains(u"browser module: "_s + browserModule), qPrintable(out));
    QVERIFY2(out.contains(u"page: shown"_s), qPrintable(out));
    QVERIFY2(!out.contains(u"missing"_s), qPrintable(out));
}

BRISKO_TEST_MAIN(tst_Install)
#include "tst_install.moc"
