#include "app/DocumentArea.h"
#include "app/DocumentManager.h"
#include "app/LanguageTools.h"
#include "app/TForm1.h"
#include "editor/SpellMarker.h"
#include "markup/TextFile.h"
#include "support/MainWindowFixture.h"
#include "support/TestMain.h"
#include "tools/HtmlCheckPanel.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

class tst_LanguageTools : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void spellingMenuOffersTheInstalledLanguages();
    void switchingOffIsKeptInTheSettingsAndUnmarks();
    void withoutDictionaryTheItemSaysWhy();
    void dictionaryIsReadWithTheFirstPage();
    void jumpNeverSplitsACharacter();
    void missingChosenDictionaryIsSaidAndNothingIsChecked();
    void missingCzechDictionaryNamesItsPackage();
    void htmlCheckListsTheFindingsOfTheTextInMemory();
    void doubleClickPutsTheCaretOnTheFinding_data();
    void doubleClickPutsTheCaretOnTheFinding();
};

void tst_LanguageTools::cleanup()
{
    QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
}

void tst_LanguageTools::spellingMenuOffersTheInstalledLanguages()
{
    MainWindowFixture fx;
    LanguageTools *tools = LanguageTools::of(fx.window());
    QVERIFY(tools);
    if (tools->dictionaries().isEmpty())
        QFAIL("no Hunspell dictionary: the set-up installs hunspell-cs");
    QAction *item = fx.window().action(u"OptSpelling"_s);
    QCOMPARE(item->text(), u"Kontrola pravopisu"_s);
    QVERIFY(item->menu());
    auto *on = item->menu()->findChild<QAction *>(u"SpellOn"_s);
    QVERIFY(on && on->isChecked()); // on by default, in Czech
    auto *czech = item->menu()->findChild<QAction *>(u"Spell_cs_CZ"_s);
    QVERIFY(czech);
    QCOMPARE(czech->text(), u"Čeština (cs_CZ)"_s);
    QVERIFY(czech->isChecked());
    QCOMPARE(fx.window().settings().SpellCheck, u"cs_CZ"_s);
    QVERIFY(SpellMarker::of(fx.view()));
    QVERIFY(SpellMarker::of(fx.view())->isEnabled());
}

void tst_LanguageTools::switchingOffIsKeptInTheSettingsAndUnmarks()
{
    QString iniPath;
    {
        MainWindowFixture fx;
        LanguageTools *tools = LanguageTools::of(fx.window());
        if (tools->dictionaries().isEmpty())
            QFAIL("no Hunspell dictionary: the set-up installs hunspell-cs");
        tools->checker().waitUntilLoaded();
        fx.setText(u"<P>Vítejte na naší strýnce.\r\n"_s);
        SpellMarker *marker = SpellMarker::of(fx.view());
        QTRY_COMPARE(marker->markedWords().size(), 1);
        auto *on = fx.window().action(u"OptSpelling"_s)->menu()->findChild<QAction *>(u"SpellOn"_s);
        on->trigger();
        QVERIFY(!on->isChecked());
        QCOMPARE(fx.window().settings().SpellCheck, QString());
        QVERIFY(!marker->isEnabled());
        QVERIFY(fx.view().extraSelections().isEmpty());
        iniPath = fx.iniPath;
    }
    TSettings stored;
    SettingsStore(iniPath).LoadSettings(stored);
    QCOMPARE(stored.SpellCheck, QString());
}

void tst_LanguageTools::withoutDictionaryTheItemSaysWhy()
{
    MainWindowFixture fx;
    QTemporaryDir empty;
    auto *tools = new LanguageTools({fx.window(), fx.window().mainMenu(), fx.workspace(),
                                      fx.window().documentArea(), *fx.window().findChild<QSplitter *>(u"Splitter1"_s)},
                                     {empty.path()});
    QVERIFY(tools->dictionaries().isEmpty());
    QAction *item = fx.window().action(u"OptSpelling"_s);
    QVERIFY(!item->isEnabled());
    QVERIFY2(item->text().contains(u"není nainstalován žádný slovník"_s), qPrintable(item->text()));
    // and nothing else changes: the setting stays as it was
    QCOMPARE(fx.window().settings().SpellCheck, u"cs_CZ"_s);
}

void tst_LanguageTools::htmlCheckListsTheFindingsOfTheTextInMemory()
{
    MainWindowFixture fx;
    QAction *check = fx.window().action(u"ToolHtmlCheck"_s);
    QCOMPARE(check->text(), u"Zkontrolovat HTML"_s);
    QCOMPARE(check->shortcut(), QKeySequence(u"Ctrl+F5"_s));
    const QString page = u"<!DOCTYPE html>\r\n<html><head><title>T</title></head><body>\r\n"
                         u"<p><b>tučně</p>\r\n<marquee>běží</marquee>\r\n</body></html>\r\n"_s;
    fx.setText(page);
    fx.buffer().SetModified(true); // unsaved: the file on disk is not what is checked
    check->trigger();
    HtmlCheckPanel *panel = LanguageTools::of(fx.window())->panel();
    QVERIFY(panel->isVisible());
    QStringList rows;
    for (int i = 0; i < panel->List->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = panel->List->topLevelItem(i);
        rows << item->text(0) + u' ' + item->text(1) + u' ' + item->text(2);
    }
    QCOMPARE(rows, (QStringList{
                       u"Varování 3:4 chybí koncová značka </b> před </p>"_s,
                       u"Varování 4:1 chybí <b>, doplní se"_s,
                       u"Nestandardní 4:1 <marquee> je nestandardní prvek (W3C jej neschválilo) (zastaralé: HTML5 za něj nemá náhradu)"_s,
                   }));
    // the check never changes the document
    QCOMPARE(fx.buffer().GetText(), page);
    QVERIFY(fx.buffer().IsModified());
}

void tst_LanguageTools::doubleClickPutsTheCaretOnTheFinding_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("html4_windows1250") << u"htmlcheck/html4-windows1250"_s;
    QTest::newRow("html4_iso88592_tabs") << u"htmlcheck/html4-iso88592"_s;
    // Tidy counts an emoji as one column, the editor as two.
    QTest::newRow("html5_utf8_emoji") << u"htmlcheck/html5-utf8-emoji"_s;
}

void tst_LanguageTools::doubleClickPutsTheCaretOnTheFinding()
{
    QFETCH(QString, folder);
    MainWindowFixture fx(2);
    HtmlDocument *checked = fx.doc();
    const TextFileResult file = readDocumentFile(testDataPath(folder + u"/input.html"_s));
    fx.setText(file.text);
    fx.window().action(u"ToolHtmlCheck"_s)->trigger();
    HtmlCheckPanel *panel = LanguageTools::of(fx.window())->panel();
    QVERIFY(panel->List->topLevelItemCount() > 0);
    fx.workspace().NewDocumentWindow(); // another document is active when the user picks
    for (int i = 0; i < panel->List->topLevelItemCount(); ++i) {
        const HtmlMessage &m = panel->messages()[i];
        Q_EMIT panel->List->itemDoubleClicked(panel->List->topLevelItem(i), 0);
        QCOMPARE(fx.workspace().activeDocument(), checked);
        HtmlDocument &buffer = *checked;
        QCOMPARE(buffer.CaretLineColumn(), qMakePair(m.line, m.column));
        // The status bar shows where the caret went, not where it was.
        QCOMPARE(fx.window().statusText(3), u"%1:%2"_s.arg(m.line).arg(m.column));
        // Every finding of these pages is at a tag: the caret is before its "<".
        QCOMPARE(buffer.textRange(buffer.SelStart(), 1), u"<"_s);
    }
    QCOMPARE(checked->GetText(), file.text);
}

void tst_LanguageTools::dictionaryIsReadWithTheFirstPage()
{
    // Tens of megabytes and a processor for a while: not while the program starts with no
    // page, but as soon as the first page is there, and that page is checked.
    MainWindowFixture fx(0);
    LanguageTools *tools = LanguageTools::of(fx.window());
    if (tools->dictionaries().isEmpty())
        QFAIL("no Hunspell dictionary: the set-up installs hunspell-cs");
    QVERIFY(!tools->checker().isLoading());
    QCOMPARE(tools->checker().language(), QString());
    fx.window().workspace().NewDocumentWindow();
    // Once the page is in: read beside it, the two fought over memory.
    QVERIFY(!tools->checker().isLoading());
    QTRY_VERIFY(tools->checker().isLoading() || tools->checker().language() == u"cs_CZ"_s);
    tools->checker().waitUntilLoaded();
    QCOMPARE(tools->checker().language(), u"cs_CZ"_s);
    fx.setText(u"<P>Vítejte na naší strýnce.\r\n"_s);
    QTRY_COMPARE(SpellMarker::of(fx.view())->markedWords().size(), 1);
    // A second page reads nothing again.
    fx.window().workspace().NewDocumentWindow();
    QCoreApplication::processEvents();
    QVERIFY(!tools->checker().isLoading());
    QCOMPARE(tools->checker().language(), u"cs_CZ"_s);
}

void tst_LanguageTools::jumpNeverSplitsACharacter()
{
    MainWindowFixture fx;
    fx.setText(u"<p>😀😀</p>\r\n"_s);
    // Column 5 is the second half of the first emoji: the caret goes before the character.
    moveCaretTo(fx.buffer(), 1, 5);
    QCOMPARE(fx.buffer().SelStart(), 3);
    moveCaretTo(fx.buffer(), 1, 6);
    QCOMPARE(fx.buffer().SelStart(), 5);
}

void tst_LanguageTools::missingChosenDictionaryIsSaidAndNothingIsChecked()
{
    // Checking chosen in German at an earlier run; only Czech and English are installed.
    const QString ini = useFreshConfig();
    QSettings(ini, QSettings::IniFormat).setValue(u"User/SpellCheck"_s, u"de_DE"_s);
    auto window = std::make_unique<TForm1>(std::make_unique<SettingsStore>(ini));
    window->show();
    LanguageTools *tools = LanguageTools::of(*window);
    if (tools->dictionaries().size() < 2)
        QFAIL("the set-up installs hunspell-cs and hunspell-en-us");
    QCOMPARE(window->settings().SpellCheck, u"de_DE"_s); // the choice stays
    QLabel *said = tools->missingDictionaryLabel();
    QVERIFY(said);
    QVERIFY(said->isVisible());
    QCOMPARE(said->text(), u"Chybí slovník Němčina (de_DE): pravopis se nekontroluje"_s);
    QVERIFY(said->toolTip().startsWith(missingDictionaryText(u"de_DE"_s)));
    QMenu *menu = window->action(u"OptSpelling"_s)->menu();
    QVERIFY(menu->findChild<QAction *>(u"SpellOn"_s)->isChecked());
    auto *missing = menu->findChild<QAction *>(u"SpellMissing"_s);
    QVERIFY(missing->isVisible() && missing->isChecked() && !missing->isEnabled());
    QCOMPARE(missing->text(), u"Němčina (de_DE) – slovník není nainstalován"_s);
    for (const QString &name : {u"Spell_cs_CZ"_s, u"Spell_en_US"_s})
        QVERIFY(!menu->findChild<QAction *>(name)->isChecked());

    // A page opens: it is checked in no other language.
    window->workspace().NewDocumentWindow();
    EditorBuffer &buffer = *window->workspace().activeView();
    buffer.htmlDocument().loadText(u"<P>Vítejte na naší strýnce. Welcome to our pagge.\r\n"_s);
    QVERIFY(!tools->checker().isLoading());
    QCOMPARE(tools->checker().language(), QString());
    SpellMarker *marker = SpellMarker::of(buffer);
    QVERIFY(!marker || !marker->isEnabled());
    QVERIFY(buffer.extraSelections().isEmpty());

    // Choosing an installed language checks in it, and the word goes.
    menu->findChild<QAction *>(u"Spell_cs_CZ"_s)->trigger();
    QVERIFY(!said->isVisible());
    QVERIFY(!missing->isVisible());
    tools->checker().waitUntilLoaded();
    QCOMPARE(tools->checker().language(), u"cs_CZ"_s);
    QTRY_VERIFY(SpellMarker::of(buffer) && !SpellMarker::of(buffer)->markedWords().isEmpty());
    buffer.htmlDocument().SetModified(false);
}

void tst_LanguageTools::missingCzechDictionaryNamesItsPackage()
{
    QCOMPARE(missingDictionaryText(u"cs_CZ"_s),
             u"Slovník pro kontrolu pravopisu Čeština (cs_CZ) není nainstalován "
             u"(balíček hunspell-cs): pravopis se nekontroluje."_s);
    // With only the English dictionary installed, Czech (the default) is said to be missing.
    MainWindowFixture fx(0);
    QTemporaryDir english;
    for (const char *file : {"en_US.aff", "en_US.dic"}) {
        const QString name = QString::fromLatin1(file);
        if (!QFile::link(u"/usr/share/hunspell/"_s + name, english.filePath(name)))
            QFAIL("the set-up installs hunspell-en-us");
    }
    auto *tools = new LanguageTools({fx.window(), fx.window().mainMenu(), fx.workspace(),
                                      fx.window().documentArea(), *fx.window().findChild<QSplitter *>(u"Splitter1"_s)},
                                     {english.path()});
    QCOMPARE(tools->dictionaries().size(), 1);
    QVERIFY(tools->missingDictionaryLabel()->isVisible());
    QCOMPARE(tools->missingDictionaryLabel()->text(),
             u"Chybí slovník Čeština (cs_CZ): pravopis se nekontroluje"_s);
    QCOMPARE(tools->checker().language(), QString());
}

BRISKO_TEST_MAIN(tst_LanguageTools)
#include "tst_languagetools.moc"
