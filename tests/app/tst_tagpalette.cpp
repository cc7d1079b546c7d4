#include "app/PaletteBar.h"
#include "app/TagPalette.h"
#include "commands/ElementTable.h"
#include "commands/InsertCommands.h"
#include "dialogs/TableDialogs.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QComboBox>
#include <QLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QSet>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {
constexpr ColorValue Link = 16711680;

QStringList captionsOf(QWidget *page)
{
    QStringList captions;
    auto *row = page->layout();
    for (int i = 0; i < row->count(); ++i) {
        if (auto *button = qobject_cast<QToolButton *>(row->itemAt(i)->widget()))
            captions.append(button->text());
        else if (qobject_cast<QComboBox *>(row->itemAt(i)->widget()))
            captions.append(u"<ComboBox1>"_s);
    }
    return captions;
}

void pressOn(QWidget *button, Qt::KeyboardModifiers modifiers = {})
{
    QTest::mousePress(button, Qt::LeftButton, modifiers);
    QTest::mouseRelease(button, Qt::LeftButton, modifiers);
}

void clickItem(QListWidget *list, const QString &text)
{
    const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
    QVERIFY(items.size() == 1);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(items.first()).center());
}
}

class tst_TagPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tabsInOrderTextActive();
    void everyTabHoldsItsButtons();
    void everyButtonReachesInsertionStep();
    void hintsKeepTheirSpacing_data();
    void hintsKeepTheirSpacing();
    void menuSaysWhatHtml5Dropped();
    void headingButtons_data();
    void headingButtons();
    void html5ButtonsWrapTheSelection_data();
    void html5ButtonsWrapTheSelection();
    void rowAndCellButton();
    void divBarToggles();
    void tablesTabGivesTheTableWindowTheKeyboard();
    void popupLists_data();
    void popupLists();
    void plainPressOnShownListHidesIt();
    void popupButtonsIdleWithoutDocument();
    void documentTakingFocusHidesPopupList();
    void anchorsAndLinks_data();
    void anchorsAndLinks();
    void anchorListRebuild();
    void anchorNamesFromText_data();
    void anchorNamesFromText();
};

void tst_TagPalette::tabsInOrderTextActive()
{
    MainWindowFixture fx;
    QTabWidget *tabs = fx.window().palette().tabs();
    QStringList names;
    for (int i = 0; i < tabs->count(); ++i)
        names.append(tabs->tabText(i));
    QCOMPARE(names, (QStringList{u"Text"_s, u"Formát"_s, u"Styl"_s, u"Odkazy"_s, u"Seznamy"_s,
                                 u"Tabulky"_s, u"Multimédia"_s, u"Formuláře"_s, u"Rámce"_s,
                                 u"Script"_s, u"Další"_s, u"HTML5"_s}));
    QCOMPARE(tabs->currentIndex(), 0);
}

// Every tab holds buttons, none twice; the links tab ends with the anchor list.
void tst_TagPalette::everyTabHoldsItsButtons()
{
    MainWindowFixture fx;
    QTabWidget *tabs = fx.window().palette().tabs();
    for (int i = 0; i < tabs->count(); ++i) {
        const QStringList captions = captionsOf(tabs->widget(i));
        QVERIFY2(!captions.isEmpty(), qPrintable(tabs->tabText(i)));
        QCOMPARE(QSet<QString>(captions.begin(), captions.end()).size(), captions.size());
        QCOMPARE(captions.last() == u"<ComboBox1>"_s, tabs->tabText(i) == u"Odkazy"_s);
    }
}

void tst_TagPalette::everyButtonReachesInsertionStep()
{
    // The insertions with a step of their own, neither a dialog's row of the element
    // table nor a pair of fixed texts: prompts, the anchor list, the table window's tags.
    const QList<Insertion> ownSteps{Insertion::AnchorLink, Insertion::Anchor,
                                    Insertion::StyleLink, Insertion::Table, Insertion::TableRow,
                                    Insertion::TableCell, Insertion::TableHeaderCell,
                                    Insertion::TimeTag};
    MainWindowFixture fx(0);
    const QList<PaletteEntry> entries = paletteEntries();
    QVERIFY(entries.size() > 80);
    for (const PaletteEntry &e : entries) {
        const int n = number(e.command);
        const bool reached = elementForCommand(n) || fixedInsertText(n) || ownSteps.contains(e.command);
        QVERIFY2(reached, qPrintable(e.tab + u' ' + e.caption));
        // The entry is a button the user sees on its tab (the DIV bar's on its own bar).
        const QList<QToolButton *> divButtons = divBar(fx.window())->findChildren<QToolButton *>();
        const bool shown = paletteButton(fx.window(), e.tab, e.caption)
                        || std::any_of(divButtons.cbegin(), divButtons.cend(),
                                       [&e](QToolButton *b) { return b->text() == e.caption; });
        QVERIFY2(shown, qPrintable(e.tab + u' ' + e.caption));
    }
}

void tst_TagPalette::hintsKeepTheirSpacing_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("hint");
    QTest::newRow("TT double space") << u"Text"_s << u"TT"_s << u"Neproporcionální  písmo (CTRL+T)"_s;
    QTest::newRow("S trailing space") << u"Text"_s << u"S"_s << u"Přeškrtnuté písmo "_s;
    QTest::newRow("P dots") << u"Formát"_s << u"P"_s << u"Nový odtstavec ...."_s;
    QTest::newRow("H1 misspelt") << u"Styl"_s << u"H1"_s << u"Nejvetší nadpis (ALT+1)"_s;
    QTest::newRow("LABEL none") << u"Formuláře"_s << u"LABEL"_s << QString();
    QTest::newRow("Q of Další") << u"Další"_s << u"Q"_s
                                << u"Definuje citát (Prvek není standartizován!)"_s;
    // Elements HTML5 dropped without a replacement are still offered, and said so
    QTest::newRow("BLINK obsolete") << u"Text"_s << u"*BLINK"_s << u"Blikající písmo (zastaralé)"_s;
    QTest::newRow("FRAMESET obsolete") << u"Rámce"_s << u"FRAMESET"_s
                                       << u"Definuje strukturu rámců (zastaralé)"_s;
    QTest::newRow("APPLET obsolete") << u"Script"_s << u"APPLET"_s << u"Vloží JAVA APPLET (zastaralé)"_s;
    // CENTER has a replacement, which HTML5 mode writes
    QTest::newRow("CENTER not obsolete") << u"Formát"_s << u"CENTER"_s << u"Centrování (SHIFT+CTRL+C)"_s;
}

void tst_TagPalette::hintsKeepTheirSpacing()
{
    QFETCH(QString, tab);
    QFETCH(QString, caption);
    QFETCH(QString, hint);
    MainWindowFixture fx;
    QToolButton *button = paletteButton(fx.window(), tab, caption);
    QVERIFY(button);
    QCOMPARE(button->toolTip(), hint);
}

// The menu's items that write frames or background sound say so, as the palette does.
void tst_TagPalette::menuSaysWhatHtml5Dropped()
{
    MainWindowFixture fx;
    QCOMPARE(fx.window().action(Cmd::ToolFrames)->text(), u"Generátor rámců (zastaralé)"_s);
    QCOMPARE(fx.window().action(Cmd::HidSound)->text(), u"Vlozit zvuk (zastaralé)"_s);
    QCOMPARE(fx.window().action(Cmd::InsTagCenter)->text(), u"<CENTER>"_s);
}

void tst_TagPalette::headingButtons_data()
{
    QTest::addColumn<int>("level");
    for (int level = 1; level <= 6; ++level)
        QTest::addRow("H%d", level) << level;
}

void tst_TagPalette::headingButtons()
{
    QFETCH(int, level);
    MainWindowFixture fx;
    fx.setText(u"abc"_s, 0, 3);
    paletteButton(fx.window(), u"Styl"_s, u"H%1"_s.arg(level))->click();
    QCOMPARE(fx.buffer().GetText(), u"<H%1>abc</H%1>"_s.arg(level));
}

void tst_TagPalette::html5ButtonsWrapTheSelection_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("expected");

    QTest::newRow("section") << u"SECTION"_s << u"<SECTION>\r\nabc\r\n</SECTION>"_s;
    QTest::newRow("mark") << u"MARK"_s << u"<MARK>abc</MARK>"_s;
    // Pairs that bring their companion: the caption, the summary, the block around code.
    QTest::newRow("figure with caption")
        << u"FIGURE"_s << u"<FIGURE>\r\nabc\r\n<FIGCAPTION></FIGCAPTION>\r\n</FIGURE>"_s;
    QTest::newRow("details with summary")
        << u"DETAILS"_s << u"<DETAILS>\r\n<SUMMARY></SUMMARY>\r\nabc\r\n</DETAILS>"_s;
    QTest::newRow("code in pre") << u"CODE"_s << u"<PRE><CODE>abc</CODE></PRE>"_s;
}

void tst_TagPalette::html5ButtonsWrapTheSelection()
{
    QFETCH(QString, caption);
    QFETCH(QString, expected);
    MainWindowFixture fx;
    fx.setText(u"abc"_s, 0, 3);
    paletteButton(fx.window(), u"HTML5"_s, caption)->click();
    QCOMPARE(fx.buffer().GetText(), expected);
}

void tst_TagPalette::rowAndCellButton()
{
    MainWindowFixture fx;
    paletteButton(fx.window(), u"Tabulky"_s, u"TR&&TD"_s)->click();
    QCOMPARE(fx.buffer().GetText(), u"  <TR>\r\n    <TD></TD>\r\n  </TR>"_s);
    QCOMPARE(fx.buffer().SelStart(), 16); // between <TD> and </TD>
}

void tst_TagPalette::tablesTabGivesTheTableWindowTheKeyboard()
{
    MainWindowFixture fx;
    fx.window().show();
    fx.workspace().toggleTableWindow();
    QWidget *table = fx.workspace().tableWindow();
    QVERIFY(table);
    fx.view().setFocus();
    fx.window().activateWindow();
    QTRY_VERIFY(fx.window().isActiveWindow());
    QTabWidget *palette = fx.window().palette().tabs();
    palette->setCurrentIndex(0);
    for (int i = 0; i < palette->count(); ++i) {
        if (palette->tabText(i) == u"Tabulky"_s)
            palette->setCurrentIndex(i);
    }
    QCOMPARE(palette->tabText(palette->currentIndex()), u"Tabulky"_s);
    QTRY_VERIFY(table->isActiveWindow());
    QTRY_VERIFY(QApplication::focusWidget() && table->isAncestorOf(QApplication::focusWidget()));
    // The tab only brings the window forward: it stays open, its mark on.
    QCOMPARE(static_cast<QWidget *>(fx.workspace().tableWindow()), table);
    QVERIFY(fx.window().action(u"OptTableWindow"_s)->isChecked());
    fx.workspace().closeTableWindow();
}

void tst_TagPalette::divBarToggles()
{
    MainWindowFixture fx;
    QWidget *bar = divBar(fx.window());
    QVERIFY(bar);
    QVERIFY(!bar->isVisible());
    QToolButton *toggle = paletteButton(fx.window(), u"Formát"_s, u"DIV"_s);
    toggle->click();
    QVERIFY(bar->isVisible());
    toggle->click();
    QVERIFY(!bar->isVisible());
    toggle->click();
    auto *second = bar->findChild<QToolButton *>(u"DivButton2"_s);
    QCOMPARE(second->toolTip(), u"Zarovnat text dokumentu na střed (DIV) (ALT+8)"_s);
    fx.setText(u"abc"_s, 0, 3);
    second->click();
    QCOMPARE(fx.buffer().GetText(), u"<DIV align = center>\r\nabc\r\n</DIV>"_s);
    QVERIFY(!bar->isVisible());
}

void tst_TagPalette::popupLists_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("plain");
    QTest::newRow("P justify keeps space") << u"Formát"_s << u"P"_s << u"ListBox2"_s
        << u"align=justify "_s << u"<P align=justify >abc</P>"_s << u"<P>abc</P>"_s;
    QTest::newRow("BR clear") << u"Formát"_s << u"BR"_s << u"ListBox1"_s << u"clear=all"_s
        << u"<BR clear=all>abc"_s << u"<BR>abc"_s;
    QTest::newRow("UL square") << u"Seznamy"_s << u"UL"_s << u"ListBox3"_s << u"type=square"_s
        << u"<UL type=square>\r\nabc\r\n</UL>"_s << u"<UL >\r\nabc\r\n</UL>"_s;
}

void tst_TagPalette::popupLists()
{
    QFETCH(QString, tab);
    QFETCH(QString, caption);
    QFETCH(QString, list);
    QFETCH(QString, item);
    QFETCH(QString, expected);
    QFETCH(QString, plain);
    MainWindowFixture fx;
    fx.window().palette().tabs()->setCurrentWidget(
        fx.window().palette().tabs()->findChild<QWidget *>(u"Page"_s + tab));
    QToolButton *button = paletteButton(fx.window(), tab, caption);
    auto *box = fx.window().findChild<QListWidget *>(list);

    fx.setText(u"abc"_s, 0, 3);
    pressOn(button);
    QCOMPARE(fx.buffer().GetText(), plain);

    fx.setText(u"abc"_s, 0, 3);
    pressOn(button, Qt::ShiftModifier);
    QVERIFY(box->isVisible());
    QCOMPARE(fx.buffer().GetText(), u"abc"_s);
    clickItem(box, item);
    QCOMPARE(fx.buffer().GetText(), expected);
    QVERIFY(!box->isVisible());
}

void tst_TagPalette::plainPressOnShownListHidesIt()
{
    MainWindowFixture fx;
    fx.window().palette().tabs()->setCurrentIndex(1);
    QToolButton *p = paletteButton(fx.window(), u"Formát"_s, u"P"_s);
    QToolButton *br = paletteButton(fx.window(), u"Formát"_s, u"BR"_s);
    pressOn(br, Qt::ShiftModifier);
    pressOn(p, Qt::ShiftModifier);
    QVERIFY(!fx.window().findChild<QListWidget *>(u"ListBox1"_s)->isVisible()); // one list at a time
    QVERIFY(fx.window().findChild<QListWidget *>(u"ListBox2"_s)->isVisible());
    pressOn(p);
    QVERIFY(!fx.window().findChild<QListWidget *>(u"ListBox2"_s)->isVisible());
    QCOMPARE(fx.buffer().GetText(), QString());
}

void tst_TagPalette::popupButtonsIdleWithoutDocument()
{
    MainWindowFixture fx(0);
    fx.window().palette().tabs()->setCurrentIndex(1);
    pressOn(paletteButton(fx.window(), u"Formát"_s, u"P"_s), Qt::ShiftModifier);
    QVERIFY(!fx.window().findChild<QListWidget *>(u"ListBox2"_s)->isVisible());
}

void tst_TagPalette::documentTakingFocusHidesPopupList()
{
    MainWindowFixture fx;
    fx.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fx.window()));
    fx.window().palette().tabs()->setCurrentIndex(1);
    QToolButton *p = paletteButton(fx.window(), u"Formát"_s, u"P"_s);
    fx.setText(u"Z"_s, 0, 1);
    pressOn(p, Qt::ShiftModifier);
    QVERIFY(fx.window().findChild<QListWidget *>(u"ListBox2"_s)->isVisible());
    // A click into the document window moves the focus there: the list goes.
    fx.view().setFocus(Qt::MouseFocusReason);
    QVERIFY(!fx.window().findChild<QListWidget *>(u"ListBox2"_s)->isVisible());
    // ... and the next plain press inserts.
    pressOn(p);
    QCOMPARE(fx.buffer().GetText(), u"<P>Z</P>"_s);
}

void tst_TagPalette::anchorsAndLinks_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("anchor");
    QTest::addColumn<QString>("expected");
    QTest::newRow("NAME empty") << u"NAME"_s << QString() << u"<A>abc</A>"_s;
    QTest::newRow("NAME filled") << u"NAME"_s << u"TOP"_s << u"<A NAME=\"TOP\">abc</A>"_s;
    QTest::newRow("LOCAL empty") << u"LOCAL"_s << QString() << u"<A HREF=\"#\">abc</A>"_s;
    QTest::newRow("LOCAL filled") << u"LOCAL"_s << u"TOP"_s << u"<A HREF=\"#TOP\">abc</A>"_s;
}

void tst_TagPalette::anchorsAndLinks()
{
    QFETCH(QString, caption);
    QFETCH(QString, anchor);
    QFETCH(QString, expected);
    MainWindowFixture fx;
    anchorList(fx.window())->setEditText(anchor);
    fx.setText(u"abc"_s, 0, 3);
    paletteButton(fx.window(), u"Odkazy"_s, caption)->click();
    QCOMPARE(fx.buffer().GetText(), expected);
    QCOMPARE(fx.buffer().colorAt(0), Link);
    QCOMPARE(fx.buffer().colorAt(int(expected.size()) - 1), Link);
}

void tst_TagPalette::anchorListRebuild()
{
    MainWindowFixture fx;
    fx.setText(u"<a name=\"top\">x</a> <A NAME=x> <A HREF=\"#top\"> <a name=\"top\">"_s);
    fx.window().palette().tabs()->setCurrentIndex(3);
    QComboBox *combo = anchorList(fx.window());
    combo->addItem(u"STARÝ"_s);
    combo->setEditText(u"napsáno"_s);
    QTest::mouseDClick(combo->lineEdit(), Qt::LeftButton);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    // Old items and the typed text are gone; names keep the document's case.
    QCOMPARE(items, (QStringList{u"top"_s, u"x"_s, u"top"_s}));
    QCOMPARE(combo->currentText(), QString());
}

void tst_TagPalette::anchorNamesFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("quoted and bare") << u"<a name=\"top\"> <A NAME=x>"_s
                                     << QStringList{u"top"_s, u"x"_s};
    QTest::newRow("mixed case kept") << u"<A name=\"Kapitola1\"> <a NAME=\"ÚVOD\">"_s
                                     << QStringList{u"Kapitola1"_s, u"ÚVOD"_s};
    QTest::newRow("line break after A not found") << u"<A\r\nNAME=a> <A\tNAME=b>"_s
                                                  << QStringList{};
    QTest::newRow("lower-case tag, mixed-case name") << u"<a href=x name=Kapitola1>"_s
                                                     << QStringList{u"Kapitola1"_s};
    QTest::newRow("links without name skipped") << u"<A HREF=x.html>y</A>"_s << QStringList{};
    // NAME= inside another attribute's quoted value names no anchor.
    QTest::newRow("name inside a quoted value") << u"<A TITLE=\"viz NAME=x\" NAME=y> <A ALT=\"NAME=z\">"_s
                                                << QStringList{u"y"_s};
    QTest::newRow("unclosed last tag") << u"<A NAME=\"end\""_s << QStringList{u"end"_s};
}

void tst_TagPalette::anchorNamesFromText()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QCOMPARE(anchorNames(text), names);
}

BRISKO_TEST_MAIN(tst_TagPalette)
#include "tst_tagpalette.moc"
