#include "markup/SysUt.h"
#include "settings/TSettings.h"
#include "support/RecordingShell.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

class RecordingTransport final : public DdeTransport
{
public:
    RecordingTransport() { setDdeTransport(this); }
    ~RecordingTransport() override { setDdeTransport(nullptr); }
    void converse(const QString &program, const QList<DdeRequest> &r) override
    {
        serverProgram = program;
        requests = r;
    }
    QString serverProgram;
    QList<DdeRequest> requests;
};

} // namespace

class tst_ShellServices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void shellOpenRecordsTheAddress_data();
    void shellOpenRecordsTheAddress();
    void shellRunStartsProgramsWithWholeParameters();
    void shellRunOpensDocuments();
    void ddeOpenUrlSendsBothRequests();
    void browserTransportStartsExtBrowWithTheAddress();
    void browserVersionComesFromTheEngine();
};

void tst_ShellServices::shellOpenRecordsTheAddress_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("opened");
    QTest::newRow("webAddress") << u"http://www.example.cz/a b.html"_s
                                << u"open http://www.example.cz/a b.html"_s;
    QTest::newRow("mail") << u"mailto:a@b.cz"_s << u"open mailto:a@b.cz"_s;
    QTest::newRow("localFile") << u"/home/u/stránka.html"_s << u"open file:///home/u/stránka.html"_s;
    QTest::newRow("relativeFile") << u"index.html"_s << u"open file:index.html"_s;
}

void tst_ShellServices::shellOpenRecordsTheAddress()
{
    QFETCH(QString, target);
    QFETCH(QString, opened);
    RecordingShell shell;
    ShellOpen(target);
    QCOMPARE(shell.log, QStringList{opened});
}

void tst_ShellServices::shellRunStartsProgramsWithWholeParameters()
{
    QTemporaryDir dir;
    const QString program = dir.filePath(u"browser"_s);
    QFile file(program);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("#!/bin/sh\n");
    file.close();
    QVERIFY(file.setPermissions(file.permissions() | QFile::ExeUser));

    RecordingShell shell;
    // A file name with spaces, far longer than 79 characters, is passed whole.
    const QString longName = u"/tmp/"_s + QString(120, u'x') + u" dokument.html"_s;
    ShellRun(program, longName, dir.path());
    ShellRun(program, QString(), u"/"_s);
    QCOMPARE(shell.log, (QStringList{u"start "_s + program + u" ["_s + longName + u"] in "_s + dir.path(),
                                     u"start "_s + program + u" [] in /"_s}));
}

void tst_ShellServices::shellRunOpensDocuments()
{
    QTemporaryDir dir;
    const QString document = dir.filePath(u"a.html"_s);
    QFile file(document);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    RecordingShell shell;
    ShellRun(document, u"ignored"_s, dir.path());
    QCOMPARE(shell.log, QStringList{u"open file://"_s + document});
}

void tst_ShellServices::ddeOpenUrlSendsBothRequests()
{
    RecordingTransport transport;
    TSettings settings;
    settings.ExtBrow = u"/opt/netscape/netscape"_s;
    DdeOpenUrl(u"C:/web/index.html"_s, settings.ExtBrow);
    QCOMPARE(transport.serverProgram, settings.ExtBrow);
    const QList<DdeRequest> expected{
        {u"Netscape"_s, u"WWW_Activate"_s, u"0xFFFFFFFF"_s, 10000},
        {u"Netscape"_s, u"WWW_OpenURL"_s, u"C:/web/index.html,,0xFFFFFFFF,0x3,,,"_s, 10000},
    };
    QCOMPARE(transport.requests, expected);
}

void tst_ShellServices::browserTransportStartsExtBrowWithTheAddress()
{
    RecordingShell shell; // the real transport, over the recording shell
    TSettings settings;
    settings.ExtBrow = u"/usr/bin/firefox"_s;
    DdeOpenUrl(u"/web/a,b.html"_s, settings.ExtBrow);
    settings.ExtBrow.clear();
    DdeOpenUrl(u"http://x.cz/"_s, settings.ExtBrow);
    QCOMPARE(shell.log, (QStringList{u"start /usr/bin/firefox [/web/a,b.html] in "_s,
                                     u"open http://x.cz/"_s}));
}

void tst_ShellServices::browserVersionComesFromTheEngine()
{
    const QString version = ReadRegistryString(RegistryRoot::LocalMachine,
                                               u"SOFTWARE\\Microsoft\\Internet Explorer"_s,
                                               u"Version"_s);
    QCOMPARE(version, browserComponentVersion());
    QVERIFY2(version.section(u'.', 0, 0).toInt() >= 4, qPrintable(version));
    QCOMPARE(ReadRegistryString(RegistryRoot::CurrentUser, u"Software\\Nothing"_s, u"X"_s),
             QString());
}

BRISKO_TEST_MAIN(tst_ShellServices)
#include "tst_shellservices.moc"
