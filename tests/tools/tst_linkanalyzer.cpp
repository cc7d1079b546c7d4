#include "support/TestMain.h"

#include "support/ScriptedInteraction.h"
#include "markup/SysUt.h"
#include "markup/TextFile.h"
#include "tools/DownloadTime.h"
#include "tools/LinkAnalyzer.h"

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTcpServer>
#include <QTemporaryDir>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// Writes down what would have been opened, and opens nothing.
class RecordingShell final : public Shell
{
public:
    RecordingShell() { setShell(this); }
    ~RecordingShell() override { setShell(nullptr); }
    void openUrl(const QUrl &url) override { opened << url.toString(); }
    void startDetached(const QString &program, const QStringList &, const QString &) override
    {
        opened << u"start "_s + program;
    }
    QStringList opened;
};

// A page in memory; replacements are recorded and applied as the editor would.
class FakeDocument final : public LinkAnalyzerDocument
{
public:
    QString name = NeverSavedName();
    QString content;
    QStringList replacements;
    QString fileName() const override { return name; }
    QString text() const override { return content; }
    bool replaceAddress(const QString &find, const QString &replacement) override
    {
        replacements << find + u" -> "_s + replacement;
        content = ReplaceAll(content, find, replacement);
        return true;
    }
};

QStringList rendered(const QList<LinkMessage> &messages)
{
    QStringList lines;
    for (const LinkMessage &m : messages)
        lines << (m.kind == LinkMessage::Kind::Error ? u"error: "_s : u"info: "_s) + m.text;
    return lines;
}

QStringList items(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

void writeFile(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(size, 'x')) == size);
}

} // namespace

// What the link analyser lists, how it checks local files and sizes them, that it never
// reaches the network, and its window driven through its buttons.
class tst_LinkAnalyzer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void collectsEntries_data();
    void collectsEntries();
    void externalEntries_data();
    void externalEntries();

    void localEntrySize_data();
    void localEntrySize();
    void neverSavedDocumentHasNoLocalFiles();
    void sizeUnits_data();
    void sizeUnits();
    void messagesPerTab_data();
    void messagesPerTab();
    void sizesAddUpBeyond32Bits();
    void openTakesLocalEntriesAsFiles_data();
    void openTakesLocalEntriesAsFiles();

    void windowListsThePage();
    void replaceAsksAndReadsTheListsAgain();
    void cancelledReplaceStillReadsTheListsAgain();
    void nothingCurrentMeansNothingToOpenOrReplace();
    void downloadButtonPresetsKilobytesOfImagesAndSounds();
    void externalEntriesNeverOpenAConnection();

private:
    QTemporaryDir m_dir;
    QString m_folder; // with its trailing "/"
};

void tst_LinkAnalyzer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_folder = m_dir.path() + u'/';
    QDir(m_folder).mkpath(u"img"_s);
    QDir(m_folder).mkpath(u"složka.gif"_s);
    writeFile(m_folder + u"a.gif"_s, 100);
    writeFile(m_folder + u"img/b.png"_s, 2000);
    writeFile(m_folder + u"hudba.mid"_s, 3000);
    writeFile(m_folder + u"prázdný.gif"_s, 0);
    QVERIFY(QFile::link(m_folder + u"nikde.gif"_s, m_folder + u"zlomený.gif"_s));
#ifdef Q_OS_UNIX
    QVERIFY(::mkfifo(QFile::encodeName(m_folder + u"roura.wav"_s).constData(), 0600) == 0);
#endif
}

// --- collection ---------------------------------------------------------------------------

void tst_LinkAnalyzer::collectsEntries_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("entries");

    const TextFileResult page = readTextFile(testDataPath(u"linkanalyzer/page.html"_s));
    QVERIFY(page.ok);
    // "#part" goes, "#top" and mailto: give nothing; Page.html repeats page.html in other
    // letters; the name ended by a line break is a link like the others.
    QTest::newRow("page_links") << page.text << int(LinkTab::Links)
                                << QStringList{u"page.html"_s, u"sub/other.html?x=1"_s,
                                               u"zalomeno.html"_s, u"http://www.example.cz/"_s};
    // PIC.GIF repeats Pic.gif; an image keeps its "#"; an empty SRC gives nothing.
    QTest::newRow("page_images") << page.text << int(LinkTab::Images)
                                 << QStringList{u"Pic.gif"_s, u"img\\ikona.png"_s, u"pic.gif#x"_s,
                                                u"dvě mezery.gif"_s, u"//cdn.example.cz/logo.png"_s};
    QTest::newRow("page_sounds") << page.text << int(LinkTab::Sounds)
                                 << QStringList{u"hudba/uvod.mid"_s, u"ftp://example.cz/zvuk.wav"_s};

    QTest::newRow("tagWithoutClosingBracket") << u"<IMG SRC=\"a.gif\""_s << int(LinkTab::Images)
                                              << QStringList{};
    // The unclosed tag runs to the next ">", so both values are read.
    QTest::newRow("unclosedTagRunsToNextBracket")
        << u"<IMG SRC=\"a.gif\" <IMG SRC=\"b.gif\">"_s << int(LinkTab::Images)
        << QStringList{u"a.gif"_s, u"b.gif"_s};
    // Any blank ends the name: a tab, a line break.
    QTest::newRow("tabOrLineBreakAfterName")
        << u"<IMG\tSRC=\"a.gif\"><img\r\nsrc=\"b.gif\"><IMGX SRC=\"c.gif\"><IMG"_s
        << int(LinkTab::Images) << QStringList{u"a.gif"_s, u"b.gif"_s};
    QTest::newRow("linkAcrossLines") << u"<a\r\n href=\"c.html\">c</a>"_s << int(LinkTab::Links)
                                     << QStringList{u"c.html"_s};
    QTest::newRow("lowerCaseTags") << u"<bgsound src=\"x.wav\" loop=1>"_s << int(LinkTab::Sounds)
                                   << QStringList{u"x.wav"_s};
    QTest::newRow("anchorWithNameOnly") << u"<A NAME=\"a\">x</A>"_s << int(LinkTab::Links)
                                        << QStringList{};
    QTest::newRow("mailtoWithCapitalsInside") << u"<A HREF=\"x/MailTo:y\">"_s << int(LinkTab::Links)
                                              << QStringList{};
    // An address written inside another attribute's quoted value is not one.
    QTest::newRow("hrefInsideTitleIsSkipped")
        << u"<A TITLE=\"viz HREF=x.html\" HREF=\"y.html\"><A TITLE=\"HREF=z.html\">"_s
        << int(LinkTab::Links) << QStringList{u"y.html"_s};
    QTest::newRow("abbrIsNotAnImage") << u"<IMGX SRC=\"a.gif\"><IMG SRC=b.gif>"_s
                                      << int(LinkTab::Images) << QStringList{u"b.gif"_s};
}

void tst_LinkAnalyzer::collectsEntries()
{
    QFETCH(QString, page);
    QFETCH(int, tab);
    QFETCH(QStringList, entries);
    QCOMPARE(CollectEntries(page, LinkTab(tab)), entries);
}

void tst_LinkAnalyzer::externalEntries_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("external");
    QTest::newRow("http") << u"http://www.example.cz/"_s << true;
    QTest::newRow("httpUpperCase") << u"HTTP://WWW.EXAMPLE.CZ/"_s << true;
    QTest::newRow("https") << u"https://www.example.cz/"_s << true;
    QTest::newRow("ftp") << u"Ftp://example.cz/a.zip"_s << true;
    QTest::newRow("schemeRelative") << u"//cdn.example.cz/a.gif"_s << true;
    QTest::newRow("addressInsideQuery") << u"go.cgi?to=http://x.cz"_s << true;
    QTest::newRow("relativeFile") << u"img/a.gif"_s << false;
    QTest::newRow("doubleSlashInsidePath") << u"img//a.gif"_s << false;
    QTest::newRow("rootedPath") << u"/img/a.gif"_s << false;
    QTest::newRow("fileScheme") << u"file:///etc/passwd"_s << false;
}

void tst_LinkAnalyzer::externalEntries()
{
    QFETCH(QString, entry);
    QFETCH(bool, external);
    QCOMPARE(IsExternalEntry(entry), external);
}

// --- local files --------------------------------------------------------------------------

void tst_LinkAnalyzer::localEntrySize_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<qint64>("size"); // -1: missing

    QTest::newRow("present") << u"a.gif"_s << qint64(100);
    QTest::newRow("emptyFileIsPresent") << u"prázdný.gif"_s << qint64(0);
    QTest::newRow("inFolder") << u"img/b.png"_s << qint64(2000);
    QTest::newRow("backslashIsFolderSeparator") << u"img\\b.png"_s << qint64(2000);
    QTest::newRow("missing") << u"chybí.gif"_s << qint64(-1);
    QTest::newRow("directory") << u"složka.gif"_s << qint64(-1);
    // Unreadable files, also for root: a link to nothing, and a path under a file.
    QTest::newRow("unreadable_danglingLink") << u"zlomený.gif"_s << qint64(-1);
    QTest::newRow("unreadable_pathUnderAFile") << u"a.gif/b.gif"_s << qint64(-1);
#ifdef Q_OS_UNIX
    // A pipe is not a file, and opening it would wait for a writer for ever.
    QTest::newRow("pipe") << u"roura.wav"_s << qint64(-1);
    if (::geteuid() != 0) {
        writeFile(m_folder + u"zamčený.gif"_s, 10);
        QFile::setPermissions(m_folder + u"zamčený.gif"_s, QFileDevice::Permissions());
        QTest::newRow("unreadable_noPermission") << u"zamčený.gif"_s << qint64(-1);
    }
#endif
    // Joined to the document's folder like every other entry.
    QTest::newRow("absolutePathIsJoined") << m_folder + u"a.gif"_s << qint64(-1);
}

void tst_LinkAnalyzer::localEntrySize()
{
    QFETCH(QString, entry);
    QFETCH(qint64, size);
    QCOMPARE(LocalEntrySize(m_folder, entry).value_or(-1), size);
}

void tst_LinkAnalyzer::neverSavedDocumentHasNoLocalFiles()
{
    QCOMPARE(DocumentDirectory(NeverSavedName()), QString());
    QCOMPARE(DocumentBaseName(NeverSavedName()), NeverSavedName());
    QCOMPARE(DocumentDirectory(m_folder + u"index.html"_s), m_folder);
    // Even with a.gif in the working folder, a never-saved page has no folder to look in.
    const QString before = QDir::currentPath();
    QDir::setCurrent(m_folder);
    const std::optional<qint64> size = LocalEntrySize(DocumentDirectory(NeverSavedName()), u"a.gif"_s);
    const QList<LinkMessage> messages = CheckEntries(QString(), {u"a.gif"_s}, LinkTab::Images);
    QDir::setCurrent(before);
    QVERIFY(!size);
    QCOMPARE(rendered(messages), QStringList{u"error: Soubor a.gif neexistuje!"_s});
}

void tst_LinkAnalyzer::sizeUnits_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("nothing") << qint64(0) << u"0 B"_s;
    QTest::newRow("exactlyOneKilobyte_staysBytes") << qint64(1024) << u"1024 B"_s;
    QTest::newRow("aboveOneKilobyte") << qint64(1025) << u"1 KB"_s;
    QTest::newRow("exactlyOneMegabyte_staysKilobytes") << qint64(1048576) << u"1024 KB"_s;
    QTest::newRow("aboveOneMegabyte") << qint64(1048577) << u"1 MB"_s;
    QTest::newRow("fiveGigabytes") << qint64(5) * 1024 * 1024 * 1024 << u"5120 MB"_s;
}

void tst_LinkAnalyzer::sizeUnits()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(SizeWithUnit(bytes), text);
}

void tst_LinkAnalyzer::messagesPerTab_data()
{
    QTest::addColumn<bool>("size"); // "Velikost" rather than "Zkontrolovat"
    QTest::addColumn<int>("tab");
    QTest::addColumn<QStringList>("messages");

    const QString d = m_folder;
    const QString ext = u"Nelze kontrolovat externí odkazy"_s;
    // The external message puts its "!" differently on the links tab.
    QTest::newRow("check_links") << false << int(LinkTab::Links)
                                 << QStringList{u"info: "_s + ext + u"!("_s + d + u"http://x.cz/a.gif)"_s,
                                                u"info: Soubor "_s + d + u"img/b.png existuje!"_s,
                                                u"error: Soubor "_s + d + u"chybí.gif neexistuje!"_s};
    QTest::newRow("check_images") << false << int(LinkTab::Images)
                                  << QStringList{u"info: "_s + ext + u" ("_s + d + u"http://x.cz/a.gif)!"_s,
                                                 u"info: Soubor "_s + d + u"img/b.png existuje!"_s,
                                                 u"error: Soubor "_s + d + u"chybí.gif neexistuje!"_s};
    QTest::newRow("check_sounds") << false << int(LinkTab::Sounds)
                                  << QStringList{u"info: "_s + ext + u" ("_s + d + u"http://x.cz/a.gif)!"_s,
                                                 u"info: Soubor "_s + d + u"img/b.png existuje!"_s,
                                                 u"error: Soubor "_s + d + u"chybí.gif neexistuje!"_s};
    // Sizes word the external message alike on every tab; a missing sound is information.
    QTest::newRow("size_links") << true << int(LinkTab::Links)
                                << QStringList{u"info: "_s + ext + u"!("_s + d + u"http://x.cz/a.gif)"_s,
                                               u"error: Soubor "_s + d + u"chybí.gif neexistuje!"_s,
                                               u"error: Velikost vybraných souborů je 1 KB"_s};
    QTest::newRow("size_images") << true << int(LinkTab::Images)
                                 << QStringList{u"info: "_s + ext + u"!("_s + d + u"http://x.cz/a.gif)"_s,
                                                u"error: Soubor "_s + d + u"chybí.gif neexistuje!"_s,
                                                u"error: Velikost vybraných souborů je 1 KB"_s};
    QTest::newRow("size_sounds") << true << int(LinkTab::Sounds)
                                 << QStringList{u"info: "_s + ext + u"!("_s + d + u"http://x.cz/a.gif)"_s,
                                                u"info: Soubor "_s + d + u"chybí.gif neexistuje!"_s,
                                                u"error: Velikost vybraných souborů je 1 KB"_s};
}

void tst_LinkAnalyzer::messagesPerTab()
{
    QFETCH(bool, size);
    QFETCH(int, tab);
    QFETCH(QStringList, messages);
    const QStringList entries{u"http://x.cz/a.gif"_s, u"img/b.png"_s, u"chybí.gif"_s};
    const QList<LinkMessage> shown = size ? SizeEntries(m_folder, entries, LinkTab(tab))
                                          : CheckEntries(m_folder, entries, LinkTab(tab));
    QCOMPARE(rendered(shown), messages);
}

void tst_LinkAnalyzer::sizesAddUpBeyond32Bits()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QFile big(folder + u"film.gif"_s);
    QVERIFY(big.open(QIODevice::WriteOnly));
    // A sparse file: five gigabytes that take no room on the disk.
    if (!big.resize(qint64(5) << 30))
        BRISKO_NOT_CHECKED_HERE(Unchecked::Skip, "the test folder cannot hold a sparse file of five gigabytes");
    big.close();
    writeFile(folder + u"malý.gif"_s, 2048);
    QCOMPARE(rendered(SizeEntries(folder, {u"film.gif"_s, u"malý.gif"_s}, LinkTab::Images)).last(),
             u"error: Velikost vybraných souborů je 5120 MB"_s);
    QCOMPARE(PageDownloadBytes(folder, {u"film.gif"_s}, {u"malý.gif"_s}), (qint64(5) << 30) + 2048);
}

void tst_LinkAnalyzer::openTakesLocalEntriesAsFiles_data()
{
    QTest::addColumn<QString>("directory");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<QStringList>("messages");

    const QString d = m_folder;
    QTest::newRow("externalAsWritten") << d << u"HTTP://www.example.cz/a b.html"_s
                                       << QStringList{u"http://www.example.cz/a b.html"_s} << QStringList{};
    QTest::newRow("localAsFile") << d << u"img\\b.png"_s
                                 << QStringList{QUrl::fromLocalFile(d + u"img/b.png"_s).toString()}
                                 << QStringList{};
    // Local entries that look like addresses are files, and missing ones are said so.
    QTest::newRow("localLookingLikeAddress") << d << u"data:image/gif"_s << QStringList{}
                                             << QStringList{u"error: Soubor "_s + d + u"data:image/gif neexistuje!"_s};
    QTest::newRow("missing") << d << u"chybí.gif"_s << QStringList{}
                             << QStringList{u"error: Soubor "_s + d + u"chybí.gif neexistuje!"_s};
    QTest::newRow("neverSavedDocument") << QString() << u"a.gif"_s << QStringList{}
                                        << QStringList{u"error: Soubor a.gif neexistuje!"_s};
}

void tst_LinkAnalyzer::openTakesLocalEntriesAsFiles()
{
    QFETCH(QString, directory);
    QFETCH(QString, entry);
    QFETCH(QStringList, opened);
    QFETCH(QStringList, messages);
    RecordingShell shell;
    const std::optional<LinkMessage> message = OpenEntry(directory, entry);
    QCOMPARE(shell.opened, opened);
    QCOMPARE(rendered(message ? QList<LinkMessage>{*message} : QList<LinkMessage>{}), messages);
}

// --- the window ---------------------------------------------------------------------------

void tst_LinkAnalyzer::windowListsThePage()
{
    FakeDocument document;
    document.name = m_folder + u"index.html"_s;
    document.content = readTextFile(testDataPath(u"linkanalyzer/page.html"_s)).text;
    TForm36 window(document);
    QCOMPARE(window.windowTitle(), u"Link Analyzer"_s);
    QCOMPARE(window.Label2->text(), u"Jméno souboru:index.html"_s);
    QCOMPARE(window.Label3->text(), u"Aktuální adresář:"_s + m_folder);
    QCOMPARE(window.PageControl1->tabText(1), u"Obrázky"_s);
    QCOMPARE(items(window.ListBox1).size(), 4);
    QCOMPARE(items(window.ListBox2).first(), u"Pic.gif"_s);
    QCOMPARE(items(window.ListBox3), (QStringList{u"hudba/uvod.mid"_s, u"ftp://example.cz/zvuk.wav"_s}));

    ScriptedInteraction script;
    window.PageControl1->setCurrentIndex(1);
    window.ListBox2->item(0)->setSelected(true);
    window.ListBox2->item(3)->setSelected(true);
    window.Button1->click();
    QCOMPARE(script.log, (QStringList{u"error: Soubor "_s + m_folder + u"Pic.gif neexistuje!"_s,
                                      u"error: Soubor "_s + m_folder + u"dvě mezery.gif neexistuje!"_s}));
}

void tst_LinkAnalyzer::replaceAsksAndReadsTheListsAgain()
{
    FakeDocument document;
    document.content = u"<IMG SRC=\"Pic.gif\"><IMG SRC=\"Pic.gif\"><A HREF=\"Pic.gif\">"_s;
    TForm36 window(document);
    window.PageControl1->setCurrentIndex(1);
    window.ListBox2->setCurrentRow(0);
    ScriptedInteraction script;
    script.enterText(u"obr/Pic.png"_s);
    window.Button4->click();
    QCOMPARE(script.log, QStringList{u"text: Zaměnit Pic.gif za |Nový text"_s});
    QCOMPARE(document.replacements, QStringList{u"Pic.gif -> obr/Pic.png"_s});
    // Every occurrence, whatever tag it is in.
    QCOMPARE(items(window.ListBox2), QStringList{u"obr/Pic.png"_s});
    QCOMPARE(items(window.ListBox1), QStringList{u"obr/Pic.png"_s});
}

void tst_LinkAnalyzer::cancelledReplaceStillReadsTheListsAgain()
{
    FakeDocument document;
    document.content = u"<A HREF=\"a.html\">"_s;
    TForm36 window(document);
    window.ListBox1->setCurrentRow(0);
    document.content = u"<A HREF=\"b.html\">"_s;
    ScriptedInteraction script;
    script.enterText(std::nullopt);
    window.Button4->click();
    QVERIFY(document.replacements.isEmpty());
    QCOMPARE(items(window.ListBox1), QStringList{u"b.html"_s});
}

void tst_LinkAnalyzer::nothingCurrentMeansNothingToOpenOrReplace()
{
    FakeDocument document;
    document.content = u"<A HREF=\"a.html\">"_s;
    TForm36 window(document);
    window.ListBox1->setCurrentItem(nullptr);
    ScriptedInteraction script; // strict: a prompt here would be unexpected
    RecordingShell shell;
    window.Button3->click();
    window.Button4->click();
    QVERIFY(script.unexpected.isEmpty());
    QVERIFY(script.log.isEmpty());
    QVERIFY(shell.opened.isEmpty());
}

void tst_LinkAnalyzer::downloadButtonPresetsKilobytesOfImagesAndSounds()
{
    FakeDocument document;
    document.name = m_folder + u"index.html"_s;
    // 100 + 2000 + 3000 bytes of local files; the link, the external, the missing file and
    // the directory add nothing. 5100 / 1024 = 4 kilobytes, rounded down.
    document.content = u"<A HREF=\"a.gif\"><IMG SRC=\"a.gif\"><IMG SRC=\"img/b.png\">"
                       "<IMG SRC=\"http://x.cz/big.gif\"><IMG SRC=\"chybí.gif\"><IMG SRC=\"složka.gif\">"
                       "<BGSOUND SRC=\"hudba.mid\">"_s;
    TForm36 window(document);
    ScriptedInteraction script;
    QString preset;
    script.dialog([&preset](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Nahrávací časy..."_s);
        preset = d.findChild<QLineEdit *>(u"Edit1"_s)->text();
        d.findChild<QPushButton *>(u"Button1"_s)->click();
    });
    window.Button5->click();
    QCOMPARE(preset, u"4"_s);
    QVERIFY(script.allAnswered());
}

void tst_LinkAnalyzer::externalEntriesNeverOpenAConnection()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    int connections = 0;
    connect(&server, &QTcpServer::newConnection, this, [&connections] { ++connections; });
    const QString host = u"127.0.0.1:"_s + QString::number(server.serverPort());

    FakeDocument document;
    document.name = m_folder + u"index.html"_s;
    for (const QString &scheme : {u"http://"_s, u"HTTPS://"_s, u"ftp://"_s, u"//"_s}) {
        document.content += u"<A HREF=\"%1%2/a.html\"><IMG SRC=\"%1%2/b.gif\"><BGSOUND SRC=\"%1%2/c.mid\">"_s
                                .arg(scheme, host);
    }
    TForm36 window(document);
    ScriptedInteraction script;
    RecordingShell shell;
    int boxes = 0;
    for (int tab = 0; tab < 3; ++tab) {
        window.PageControl1->setCurrentIndex(tab);
        auto *list = qobject_cast<QListWidget *>(window.PageControl1->currentWidget());
        QVERIFY(list);
        QCOMPARE(list->count(), 4);
        list->selectAll();
        window.Button1->click();
        window.Button2->click();
        boxes += 4 + 4 + 1;
        for (int row = 0; row < list->count(); ++row) {
            list->setCurrentRow(row);
            window.Button3->click();
        }
    }
    script.dialog([](QDialog &d) {
        QCOMPARE(d.findChild<QLineEdit *>(u"Edit1"_s)->text(), u"0"_s);
        d.reject();
    });
    window.Button5->click();

    QCOMPARE(script.log.size(), boxes + 1); // and the calculator
    QVERIFY(script.errors.size() == 3); // only the three totals
    QCOMPARE(shell.opened.size(), 12);  // handed to the shell, which the test records
    QTest::qWait(300);
    QCOMPARE(connections, 0);
    QVERIFY(!server.hasPendingConnections());
}

BRISKO_TEST_MAIN(tst_LinkAnalyzer)
#include "tst_linkanalyzer.moc"
