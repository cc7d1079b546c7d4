#include "app/SiteTools.h"
#include "commands/SiteSearchCommands.h"
#include "editor/HtmlDocument.h"
#include "markup/GuardedFile.h"
#include "support/DialogControls.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "tools/SiteSearchPanel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QSplitter>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void writeSiteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

QByteArray siteFileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray encodedPage(const char *encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}

// A page of a hand-kept site: its own text, then the footer every page repeats.
QString footerPage(const QString &body, const QString &lineBreak)
{
    return u"<html><body>"_s + lineBreak + u"<p>"_s + body + u"</p>"_s + lineBreak
           + u"<div class=\"paticka\">&copy; 2023 Žluťoučký kůň</div>"_s + lineBreak + u"</body></html>"_s
           + lineBreak;
}

struct SitePage
{
    QString name;
    QByteArray before;
    QByteArray after;
};

// Pages in the encodings and line breaks a site collects over the years, each with the
// bytes it must have once the footer's year is replaced.
QList<SitePage> mixedSite()
{
    QList<SitePage> pages;
    const QString cz = u"Příliš žluťoučký kůň úpěl ďábelské ódy"_s;
    auto add = [&pages](const QString &name, const QByteArray &before) {
        pages.append({name, before, QByteArray(before).replace("2023", "2026")});
    };
    add(u"utf8-lf.html"_s, (u"<meta charset=\"utf-8\">\n"_s + footerPage(cz, u"\n"_s)).toUtf8());
    add(u"utf8-bom-crlf.html"_s, "\xEF\xBB\xBF" + footerPage(cz, u"\r\n"_s).toUtf8());
    add(u"cp1250-crlf.htm"_s, encodedPage("windows-1250", footerPage(cz, u"\r\n"_s)));
    add(u"sub/cp1250-cr.html"_s, encodedPage("windows-1250", footerPage(cz, u"\r"_s)));
    add(u"sub/deeper/iso-8859-2.html"_s,
        encodedPage("ISO-8859-2", u"<meta charset=\"iso-8859-2\">\r\n"_s + footerPage(cz, u"\r\n"_s)));
    return pages;
}

} // namespace

// "Hledat v souborech..." and "Nahradit vše..." from the frame's menu to the files and back.
class tst_SiteSearchCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void replacesTheFooterInEveryPageKeepingEverythingElse();
    void skippedFilesAreListedWithTheReason();
    void openPageChangesInItsDocumentAsOneUndoStep();
    void fileChangedSinceTheSearchIsNotWritten();
    void backupFollowsTheSetting_data();
    void backupFollowsTheSetting();
    void doubleClickOpensThePageAtTheMatch();
    void captionsCountInCzech_data();
    void captionsCountInCzech();

private:
    SiteSearchPanel &panel() const
    {
        return *m_tools->panel();
    }
    // Runs the menu's command with the dialog filled as given, and waits for the results.
    void search(const QString &text, bool regularExpression, const QString &masks = {});
    // "Nahradit vše..." with this replacement, leaving out the files of these names.
    void replaceAll(const QString &replacement, const QStringList &leftOut = {});
    QString path(const QString &name) const { return m_dir.filePath(u"site/"_s + name); }

    QTemporaryDir m_dir;
    std::unique_ptr<WorkspaceFixture> m_fx;
    // The frame's column under the documents, where the results panel stands.
    std::unique_ptr<QSplitter> m_column;
    SiteSearchTools *m_tools = nullptr;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void tst_SiteSearchCommands::init()
{
    m_fx = std::make_unique<WorkspaceFixture>(1);
    m_column = std::make_unique<QSplitter>(Qt::Vertical);
    m_tools = new SiteSearchTools(m_fx->workspace(), *m_column, m_fx->commands());
    m_ui = std::make_unique<ScriptedInteraction>();
    QDir(m_dir.filePath(u"site"_s)).removeRecursively();
}

void tst_SiteSearchCommands::cleanup()
{
    m_column.reset();
    m_fx.reset();
    endScript(m_ui);
}

void tst_SiteSearchCommands::search(const QString &text, bool regularExpression, const QString &masks)
{
    m_ui->dialog([&](QDialog &d) {
        control<QLineEdit>(d, u"Edit1"_s)->setText(text);
        control<QCheckBox>(d, u"CheckBox3"_s)->setChecked(regularExpression);
        control<QComboBox>(d, u"ComboBox1"_s)->setEditText(m_dir.filePath(u"site"_s));
        if (!masks.isEmpty())
            control<QLineEdit>(d, u"Edit2"_s)->setText(masks);
        press(d, u"OkButton"_s);
    });
    QSignalSpy finished(&panel(), &SiteSearchPanel::finished);
    QVERIFY(m_fx->commands().run(Cmd::SearchInFiles, m_fx->workspace(), *m_ui));
    QVERIFY(finished.wait(30000));
    QVERIFY(!panel().isHidden());
}

void tst_SiteSearchCommands::replaceAll(const QString &replacement, const QStringList &leftOut)
{
    m_ui->dialog([&](QDialog &d) {
        control<QLineEdit>(d, u"Edit1"_s)->setText(replacement);
        auto *files = control<QTreeWidget>(d, u"Files"_s);
        for (int i = 0; i < files->topLevelItemCount(); ++i) {
            QTreeWidgetItem *item = files->topLevelItem(i);
            if (leftOut.contains(QFileInfo(item->data(0, Qt::UserRole).toString()).fileName()))
                item->setCheckState(0, Qt::Unchecked);
        }
        press(d, u"OkButton"_s);
    });
    QVERIFY(panel().ReplaceButton->isEnabled());
    panel().ReplaceButton->click();
}

void tst_SiteSearchCommands::replacesTheFooterInEveryPageKeepingEverythingElse()
{
    const QList<SitePage> pages = mixedSite();
    for (const SitePage &p : pages)
        writeSiteFile(path(p.name), p.before);
    writeSiteFile(path(u"left-out.html"_s), "<div class=\"paticka\">&copy; 2023 Jan</div>\n");
    writeSiteFile(path(u"notes.txt"_s), "&copy; 2023 not a page");

    // A group of the expression carries the name over into the replacement.
    search(u"&copy; (20\\d\\d) (\\S+)"_s, true);
    QCOMPARE(panel().List->topLevelItemCount(), pages.size() + 1); // the text file is no page
    replaceAll(u"&copy; 2026 \\2"_s, {u"left-out.html"_s});

    for (const SitePage &p : pages)
        QVERIFY2(siteFileBytes(path(p.name)) == p.after, qPrintable(p.name));
    QCOMPARE(siteFileBytes(path(u"left-out.html"_s)), QByteArray("<div class=\"paticka\">&copy; 2023 Jan</div>\n"));
    QCOMPARE(siteFileBytes(path(u"notes.txt"_s)), QByteArray("&copy; 2023 not a page"));
    QVERIFY2(panel().Caption->text().startsWith(u"Nahrazeno: 5 nálezů v 5 souborech"_s),
             qPrintable(panel().Caption->text()));
}

void tst_SiteSearchCommands::skippedFilesAreListedWithTheReason()
{
    writeSiteFile(path(u"index.html"_s), "<p>hledané slovo</p>");
    static const char gif[] = "GIF89a\x01\0\x01\0\0\0\0hledané";
    writeSiteFile(path(u"picture.html"_s), QByteArray(gif, sizeof gif - 1));
    writeSiteFile(path(u"huge.html"_s), QByteArray(MaxDocumentBytes + 1, 'x'));
    search(u"hledané"_s, false);
    QStringList rows;
    for (int i = 0; i < panel().List->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = panel().List->topLevelItem(i);
        rows << item->text(0) + u" | "_s + item->text(1) + u" | "_s + (item->text(2).isEmpty() ? u"-"_s : u"note"_s);
    }
    QCOMPARE(rows, (QStringList{u"huge.html |  | note"_s, u"index.html | 1 nález | -"_s,
                                u"picture.html |  | note"_s}));
    QVERIFY(panel().Caption->text().contains(u"přeskočeno souborů: 2"_s));
}

void tst_SiteSearchCommands::openPageChangesInItsDocumentAsOneUndoStep()
{
    const QByteArray onDisk = footerPage(u"první"_s, u"\r\n"_s).toUtf8();
    writeSiteFile(path(u"open.html"_s), onDisk);
    HtmlDocument *doc = m_fx->workspace().openInNewWindow(path(u"open.html"_s));
    QVERIFY(doc);
    // Typed and not saved: the search reads the page as the editor holds it.
    doc->SetSelStart(0);
    doc->ReplaceSelection(u"<p>© 2023 nahoře</p>\r\n"_s);
    const QString edited = doc->GetText();
    search(u"2023"_s, false);
    QCOMPARE(panel().results().size(), 1);
    QCOMPARE(panel().results().first().matches.size(), 2);
    replaceAll(u"2026"_s);

    QCOMPARE(doc->GetText(), QString(edited).replace(u"2023"_s, u"2026"_s));
    QVERIFY(doc->IsModified());
    QCOMPARE(siteFileBytes(path(u"open.html"_s)), onDisk); // the user saves it
    doc->Undo();
    QCOMPARE(doc->GetText(), edited);
}

void tst_SiteSearchCommands::fileChangedSinceTheSearchIsNotWritten()
{
    writeSiteFile(path(u"a.html"_s), "<p>2023</p>");
    writeSiteFile(path(u"b.html"_s), "<p>2023</p>");
    writeSiteFile(path(u"c.html"_s), "<p>2023</p>");
    search(u"2023"_s, false);
    writeSiteFile(path(u"b.html"_s), "<p>2023, and what the user wrote meanwhile</p>");
    // An open page typed into since the search is left alone the same way.
    HtmlDocument *doc = m_fx->workspace().openInNewWindow(path(u"c.html"_s));
    QVERIFY(doc);
    doc->SetSelStart(0);
    doc->ReplaceSelection(u"x"_s);
    replaceAll(u"2026"_s);
    QCOMPARE(siteFileBytes(path(u"a.html"_s)), QByteArray("<p>2026</p>"));
    QCOMPARE(siteFileBytes(path(u"b.html"_s)), QByteArray("<p>2023, and what the user wrote meanwhile</p>"));
    QCOMPARE(doc->GetText(), u"x<p>2023</p>"_s);
    QStringList notes;
    for (int i = 0; i < panel().List->topLevelItemCount(); ++i)
        notes << panel().List->topLevelItem(i)->text(2);
    QCOMPARE(notes, (QStringList{u"nahrazeno"_s, u"změněno od hledání, nepřepsáno"_s,
                                 u"změněno od hledání, nepřepsáno"_s}));
}

void tst_SiteSearchCommands::backupFollowsTheSetting_data()
{
    QTest::addColumn<bool>("backup");
    QTest::newRow("backup on") << true;
    QTest::newRow("backup off") << false;
}

void tst_SiteSearchCommands::backupFollowsTheSetting()
{
    QFETCH(bool, backup);
    m_fx->settings().Backup = backup;
    m_fx->settings().BackupPrip = u"bak"_s;
    writeSiteFile(path(u"a.html"_s), "<p>2023</p>");
    search(u"2023"_s, false);
    replaceAll(u"2026"_s);
    QCOMPARE(siteFileBytes(path(u"a.html"_s)), QByteArray("<p>2026</p>"));
    QCOMPARE(QFileInfo::exists(path(u"a.bak"_s)), backup);
    if (backup)
        QCOMPARE(siteFileBytes(path(u"a.bak"_s)), QByteArray("<p>2023</p>"));
}

void tst_SiteSearchCommands::doubleClickOpensThePageAtTheMatch()
{
    writeSiteFile(path(u"a.html"_s), "<p>one</p>\r\n<p>two found</p>\r\n");
    search(u"found"_s, false);
    QTreeWidgetItem *match = panel().List->topLevelItem(0)->child(0);
    QCOMPARE(match->text(1), u"2:8"_s);
    Q_EMIT panel().List->itemDoubleClicked(match, 2);
    HtmlDocument *doc = m_fx->workspace().activeDocument();
    QCOMPARE(QFileInfo(doc->FileName()), QFileInfo(path(u"a.html"_s)));
    QCOMPARE(doc->CaretLineColumn(), qMakePair(2, 8));
    // Once open, the same page is found again, not opened twice.
    const qsizetype open = m_fx->workspace().documents().size();
    Q_EMIT panel().List->itemDoubleClicked(match, 2);
    QCOMPARE(m_fx->workspace().documents().size(), open);
}

void tst_SiteSearchCommands::captionsCountInCzech_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<QString>("found");
    QTest::addColumn<QString>("replaced");
    QTest::newRow("one") << 1 << u": 1 nález v 1 souboru"_s << u"Nahrazeno: 1 nález v 1 souboru"_s;
    QTest::newRow("three") << 3 << u": 3 nálezy v 3 souborech"_s << u"Nahrazeno: 3 nálezy v 3 souborech"_s;
    QTest::newRow("five") << 5 << u": 5 nálezů v 5 souborech"_s << u"Nahrazeno: 5 nálezů v 5 souborech"_s;
}

void tst_SiteSearchCommands::captionsCountInCzech()
{
    QFETCH(int, files);
    QFETCH(QString, found);
    QFETCH(QString, replaced);
    for (int i = 0; i < files; ++i)
        writeSiteFile(path(u"strana%1.html"_s.arg(i)), "<p>k\xC5\xAF\xC5\x88</p>\n");
    search(u"kůň"_s, false);
    QVERIFY2(panel().Caption->text().endsWith(found), qPrintable(panel().Caption->text()));
    replaceAll(u"KŮŇ"_s);
    QCOMPARE(panel().Caption->text(), replaced);
}

BRISKO_TEST_MAIN(tst_SiteSearchCommands)
#include "tst_sitesearchcommands.moc"
