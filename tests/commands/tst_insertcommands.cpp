#include "commands/ChosenInsertions.h"
#include "commands/CommandIds.h"
#include "commands/InsertCommands.h"
#include "commands/InsertTag.h"
#include "editor/HtmlDocument.h"
#include "markup/GuardedFile.h"
#include "markup/SysUt.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QLocale>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {
constexpr ColorValue Tag = 255;
constexpr ColorValue Script = 8421504;
}

class tst_InsertCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    void fixedTexts_data();
    void fixedTexts();
    void refusedInsideTag_data();
    void refusedInsideTag();
    void exemptCommandsInsertInsideTag();
    void checkOffInsertsInsideTag();
    void caretAtTagEdgeCountsAsOutside_data();
    void caretAtTagEdgeCountsAsOutside();
    void insideTagCheckAgreesWithTagLocator_data();
    void insideTagCheckAgreesWithTagLocator();
    void nothingWithoutDocument();
    void prompts_data();
    void prompts();
    void markupGoesInWholeOrNotAtAll_data();
    void markupGoesInWholeOrNotAtAll();
    void commentIsEditedWhole_data();
    void commentIsEditedWhole();
    void commentTakesTheSelection_data();
    void commentTakesTheSelection();
    void colorCommand();
    void styleSheetLink();
    void tableCommandsWithoutTableWindow_data();
    void tableCommandsWithoutTableWindow();
    void rowFromTableWindowIsIndented();
    void pageSkeleton_data();
    void pageSkeleton();
    void skeletonTakesTheWizardsPage();
    void dateAndTime();
    void lastEditScriptAndHomeLink();
    void specialCharacterAndUserTag();
    void treeNode_data();
    void treeNode();
    void moveBeforeHeadEnd_data();
    void moveBeforeHeadEnd();
    void menuItems_data();
    void menuItems();
};

void tst_InsertCommands::cleanup()
{
    setInsertClock({});
    QLocale::setDefault(QLocale::system());
}

void tst_InsertCommands::fixedTexts_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("selected"); // of "abc" in "x abc y", from the caret at 2
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    // The selection goes between the tags, the caret after it; without one the caret
    // stands between the tags.
    QTest::newRow("wraps the selection") << 1 << 3 << u"x <B>abc</B> y"_s << 8;
    QTest::newRow("empty at the caret") << 1 << 0 << u"x <B></B>abc y"_s << 5;
    QTest::newRow("no closing tag") << 12 << 3 << u"x <BR>abc y"_s << 9;
    QTest::newRow("entity") << 96 << 0 << u"x &nbsp;abc y"_s << 8;
    // A line break of the markup is one line of the document, CR LF.
    QTest::newRow("DIV breaks lines") << 27 << 3
                                      << u"x <DIV align = left>\r\nabc\r\n</DIV> y"_s << 25;
    QTest::newRow("list breaks lines") << 31 << 0 << u"x <UL >\r\n\r\n</UL>abc y"_s << 9;
    QTest::newRow("STYLE keeps one CR LF") << 55 << 3
        << u"x <STYLE type=\"text/css\">\r\nabc\r\n</STYLE> y"_s << 30;
}

void tst_InsertCommands::fixedTexts()
{
    QFETCH(int, command);
    QFETCH(int, selected);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.setText(u"x abc y"_s, 2, selected);
    const ColorValue textColor = fx.buffer().colorAt(2);
    InsertTag(fx.workspace(), command);

    QCOMPARE(fx.buffer().GetText(), expected);
    QCOMPARE(fx.buffer().SelStart(), caret);
    QCOMPARE(fx.buffer().SelLength(), 0);
    // The markup takes the tag colour, the text keeps its own.
    QCOMPARE(fx.buffer().colorAt(2), Tag);
    const int abcAt = int(expected.indexOf(u"abc"_s));
    QCOMPARE(fx.buffer().colorAt(abcAt), textColor);
    QVERIFY(si.errors.isEmpty());
}

void tst_InsertCommands::refusedInsideTag_data()
{
    QTest::addColumn<int>("command");
    for (int n = 1; n <= number(LastInsertion); ++n) {
        if (n != 25 && n != 26 && n != 58 && n != 92)
            QTest::addRow("%d", n) << n;
    }
}

void tst_InsertCommands::refusedInsideTag()
{
    QFETCH(int, command);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.setText(u"a<FONT SIZE=2>b"_s, 4, 3);
    InsertTag(fx.workspace(), command);
    QCOMPARE(si.errors, QStringList{u"Nelze vkladat tag uvnitř tagu!"_s});
    QCOMPARE(fx.buffer().GetText(), u"a<FONT SIZE=2>b"_s);
    QCOMPARE(fx.buffer().SelStart(), 4);
    QCOMPARE(fx.buffer().SelLength(), 3);
    QVERIFY(si.unexpected.isEmpty());
}

void tst_InsertCommands::exemptCommandsInsertInsideTag()
{
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.setText(u"<FONT COLOR=>"_s, 12);
    si.pickColor(QColor(0x12, 0x34, 0x56));
    InsertTag(fx.workspace(), 26);
    QCOMPARE(fx.buffer().GetText(), u"<FONT COLOR=#123456>"_s);

    fx.setText(u"<P >"_s, 3);
    InsertSpecialCharacter(fx.workspace(), u"&amp;"_s);
    QCOMPARE(fx.buffer().GetText(), u"<P &amp;>"_s);

    fx.setText(u"<P >"_s, 3);
    InsertTag(fx.workspace(), 92, InsertArgs::withItem(u"ALIGN="_s));
    QCOMPARE(fx.buffer().GetText(), u"<P ALIGN=>"_s);
    QVERIFY(si.errors.isEmpty());
}

void tst_InsertCommands::checkOffInsertsInsideTag()
{
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.settings().InsideTagCheck = false;
    fx.setText(u"<P >"_s, 3);
    InsertTag(fx.workspace(), 1);
    QCOMPARE(fx.buffer().GetText(), u"<P <B></B>>"_s);
    QVERIFY(si.errors.isEmpty());
}

void tst_InsertCommands::caretAtTagEdgeCountsAsOutside_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("expected");
    QTest::newRow("just after >") << 3 << u"<P><B></B>x<I>"_s;
    QTest::newRow("just before <") << 4 << u"<P>x<B></B><I>"_s;
}

void tst_InsertCommands::caretAtTagEdgeCountsAsOutside()
{
    QFETCH(int, caret);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.setText(u"<P>x<I>"_s, caret);
    InsertTag(fx.workspace(), 1);
    QCOMPARE(fx.buffer().GetText(), expected);
    QVERIFY(si.errors.isEmpty());
}

void tst_InsertCommands::nothingWithoutDocument()
{
    WorkspaceFixture fx(0);
    ScriptedInteraction si;
    for (int n : {1, 26, 64, 73})
        InsertTag(fx.workspace(), n);
    QVERIFY(si.log.isEmpty());
}

void tst_InsertCommands::prompts_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<std::optional<QString>>("input");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("asked");
    QTest::newRow("label") << 64 << std::optional<QString>(u"Jméno"_s)
                           << u"<LABEL TEXT=\"Jméno\"></LABEL>"_s << u"text: LABEL|Text"_s;
    QTest::newRow("label empty") << 64 << std::optional<QString>(QString())
                                 << u"<LABEL TEXT=\"\"></LABEL>"_s << u"text: LABEL|Text"_s;
    QTest::newRow("label cancelled") << 64 << std::optional<QString>() << QString()
                                     << u"text: LABEL|Text"_s;
    QTest::newRow("option") << 66 << std::optional<QString>(u"1"_s)
                            << u"<OPTION VALUE=\"1\"></OPTION>"_s << u"text: OPTION|Hodnota"_s;
    QTest::newRow("option cancelled") << 66 << std::optional<QString>() << QString()
                                      << u"text: OPTION|Hodnota"_s;
}

void tst_InsertCommands::prompts()
{
    QFETCH(int, command);
    QFETCH(std::optional<QString>, input);
    QFETCH(QString, expected);
    QFETCH(QString, asked);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    si.enterText(input);
    InsertTag(fx.workspace(), command);
    QCOMPARE(fx.buffer().GetText(), expected);
    QCOMPARE(si.log, QStringList{asked});
    QVERIFY(si.unexpected.isEmpty());
}

void tst_InsertCommands::markupGoesInWholeOrNotAtAll_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("room"); // characters left under the editor's limit
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("inserted"); // empty when refused
    QTest::newRow("pair fills the page") << 1 << 7 << QString() << u"<B></B>"_s;
    QTest::newRow("pair one over") << 1 << 6 << QString() << QString();
    QTest::newRow("typed value over") << 66 << 20 << u"dlouhá hodnota"_s << QString();
    QTest::newRow("pair with line breaks fits") << 31 << 14 << QString()
                                                << u"<UL >\r\n\r\n</UL>"_s;
    QTest::newRow("pair with line breaks over") << 31 << 13 << QString() << QString();
}

void tst_InsertCommands::markupGoesInWholeOrNotAtAll()
{
    QFETCH(int, command);
    QFETCH(int, room);
    QFETCH(QString, typed);
    QFETCH(QString, inserted);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    const QString page(HtmlDocument::MaxLength - room, u'x');
    fx.setText(page, 1);
    if (!typed.isEmpty())
        si.enterText(typed);
    InsertTag(fx.workspace(), command);
    if (inserted.isEmpty()) {
        QCOMPARE(fx.buffer().GetText(), page);
        QCOMPARE(si.errors, QStringList{doesNotFitMessage()});
    } else {
        QCOMPARE(fx.buffer().GetText(), page.first(1) + inserted + page.sliced(1));
        QVERIFY(si.errors.isEmpty());
    }
}

void tst_InsertCommands::commentIsEditedWhole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected"); // after the memo's text is replaced by "nový"
    QTest::newRow("plain comment") << u"<!-- a -->x"_s << 5 << u" a "_s << u"<!--nový-->x"_s;
    // A ">" inside the comment is not its end.
    QTest::newRow("gt inside") << u"<!-- if a > b -->x"_s << 6 << u" if a > b "_s
                               << u"<!--nový-->x"_s;
    QTest::newRow("unclosed comment") << u"<!-- a > b"_s << 5 << u" a "_s << u"<!--nový--> b"_s;
}

void tst_InsertCommands::commentIsEditedWhole()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.setText(text, caret);
    si.dialog([shown](QDialog &d) {
        auto *memo = d.findChild<QPlainTextEdit *>(u"Memo1"_s);
        QVERIFY(memo);
        QCOMPARE(memo->toPlainText(), shown);
        memo->setPlainText(u"nový"_s);
        d.findChild<QPushButton *>(u"InsertButton"_s)->click();
    });
    InsertTag(fx.workspace(), 25);
    QCOMPARE(fx.buffer().GetText(), expected);
    QVERIFY(si.allAnswered());
}

void tst_InsertCommands::commentTakesTheSelection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("expected"); // after "Vložit" with the memo as shown
    QTest::newRow("plain text") << u"a kůň b"_s << 2 << 3 << u"kůň"_s << u"a <!--kůň--> b"_s;
    // Markup with several tags is commented out, not deleted.
    QTest::newRow("several tags") << u"a<b>tučně</b> a <i>x</i>c"_s << 1 << 23
                                  << u"<b>tučně</b> a <i>x</i>"_s
                                  << u"a<!--<b>tučně</b> a <i>x</i>-->c"_s;
    QTest::newRow("lines of markup") << u"<p>\r\n<b>x</b>\r\n</p>"_s << 5 << 8 << u"<b>x</b>"_s
                                     << u"<p>\r\n<!--<b>x</b>-->\r\n</p>"_s;
    // One whole tag selected is replaced by the comment, as the tag at the caret is.
    QTest::newRow("one tag") << u"a<HR>b"_s << 1 << 4 << QString() << u"a<!--x-->b"_s;
}

void tst_InsertCommands::commentTakesTheSelection()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, shown);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    ScriptedInteraction si;
    fx.setText(text, selStart, selLength);
    si.dialog([shown](QDialog &d) {
        auto *memo = d.findChild<QPlainTextEdit *>(u"Memo1"_s);
        QVERIFY(memo);
        QCOMPARE(memo->toPlainText(), shown);
        if (shown.isEmpty())
            memo->setPlainText(u"x"_s);
        d.findChild<QPushButton *>(u"InsertButton"_s)->click();
    });
    InsertTag(fx.workspace(), 25);
    QCOMPARE(fx.buffer().GetText(), expected);
    QVERIFY(si.allAnswered());
}

void tst_InsertCommands::colorCommand()
{
    WorkspaceFixture fx;
    ScriptedInteraction si;
    si.pickColor(QColor(255, 0, 0)).pickColor(std::nullopt);
    InsertTag(fx.workspace(), 26);
    QCOMPARE(fx.buffer().GetText(), u"#FF0000"_s);
    InsertTag(fx.workspace(), 26);
    QCOMPARE(fx.buffer().GetText(), u"#FF0000"_s);
    QVERIFY(si.unexpected.isEmpty());
}

void tst_InsertCommands::styleSheetLink()
{
    WorkspaceFixture fx;
    ScriptedInteraction si;
    si.openFile(u"/home/web/styl.css"_s).openFile(QString());
    InsertTag(fx.workspace(), 56);
    QCOMPARE(fx.buffer().GetText(),
             u"<LINK REL=STYLE TYPE=\"text/css\" SRC=\"/home/web/styl.css\">"_s);
    QCOMPARE(si.log.first(), u"open: Style Sheets (*.css)|*.css"_s);
    InsertTag(fx.workspace(), 56);
    QCOMPARE(fx.buffer().GetText(),
             u"<LINK REL=STYLE TYPE=\"text/css\" SRC=\"/home/web/styl.css\">"_s);
}

void tst_InsertCommands::tableCommandsWithoutTableWindow_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("expected");
    QTest::newRow("41") << 41 << u"<TABLE>\r\n\r\n</TABLE>"_s;
    QTest::newRow("42") << 42 << u"  <TR>\r\n    \r\n  </TR>"_s;
    QTest::newRow("43") << 43 << u"<TD></TD>"_s;
    QTest::newRow("44") << 44 << u"<TH></TH>"_s;
}

void tst_InsertCommands::tableCommandsWithoutTableWindow()
{
    QFETCH(int, command);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    InsertTag(fx.workspace(), command);
    QCOMPARE(fx.buffer().GetText(), expected);
}

void tst_InsertCommands::rowFromTableWindowIsIndented()
{
    WorkspaceFixture fx;
    InsertTag(fx.workspace(), 42, InsertArgs::withMarkup({u"<TR ALIGN=left>"_s, u"</TR>"_s}));
    QCOMPARE(fx.buffer().GetText(), u"  <TR ALIGN=left>\r\n    \r\n  </TR>"_s);
    InsertTag(fx.workspace(), 43);
    QCOMPARE(fx.buffer().GetText(), u"  <TR ALIGN=left>\r\n    <TD></TD>\r\n  </TR>"_s);
}

void tst_InsertCommands::pageSkeleton_data()
{
    QTest::addColumn<bool>("metaCz");
    QTest::addColumn<QString>("expected");
    const QString head = u"<HTML>\r\n<HEAD>\r\n"
                         u"    <META NAME=\"Generator\" CONTENT=\"Brisko HTML Editor 3.52 final\">\r\n"_s;
    const QString meta = u"    <META HTTP-EQUIV=\"Content-Type\" "
                         u"CONTENT=\"text/html; charset=windows-1250\">\r\n"_s;
    const QString rest = u"    <TITLE>Bez titulku</TITLE>\r\n</HEAD>\r\n<BODY >\r\n\r\n"
                         u"\r\n\r\n</BODY>\r\n</HTML>"_s;
    QTest::newRow("MetaCz on") << true << head + meta + rest;
    QTest::newRow("MetaCz off") << false << head + rest;
}

void tst_InsertCommands::pageSkeleton()
{
    QFETCH(bool, metaCz);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    fx.settings().MetaCz = metaCz;
    InsertTag(fx.workspace(), 85);
    QCOMPARE(fx.buffer().GetText(), expected);
    const int caret = int(expected.indexOf(u"<BODY >\r\n\r\n"_s)) + 11;
    QCOMPARE(fx.buffer().SelStart(), caret);
    QCOMPARE(fx.buffer().colorAt(int(expected.indexOf(u"Bez titulku"_s))), 0);
    QCOMPARE(fx.buffer().colorAt(0), Tag);
}

void tst_InsertCommands::skeletonTakesTheWizardsPage()
{
    WorkspaceFixture fx;
    PageSkeleton page;
    page.docType = u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">"_s;
    page.title = u"Úvod"_s;
    page.bodyStart = u"<BODY BGCOLOR=\"#FFFFFF\">"_s;
    InsertTag(fx.workspace(), 85, InsertArgs::withPage(page));
    const QString text = fx.buffer().GetText();
    QVERIFY(text.startsWith(u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.0//EN\">\r\n<HTML>"_s));
    QVERIFY(text.contains(u"<TITLE>Úvod</TITLE>"_s));
    QVERIFY(text.contains(u"<BODY BGCOLOR=\"#FFFFFF\">\r\n\r\n"_s));
}

void tst_InsertCommands::dateAndTime()
{
    QLocale::setDefault(QLocale(QLocale::Czech));
    setInsertClock([] { return QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3)); });
    WorkspaceFixture fx;
    InsertTag(fx.workspace(), 73);
    QCOMPARE(fx.buffer().GetText(), u"úterý, 8.prosinec 2026"_s);
    fx.setText(QString());
    InsertTag(fx.workspace(), 74);
    QCOMPARE(fx.buffer().GetText(), u"09:05:03"_s);
    QCOMPARE(formatInsertTime(QTime(23, 59, 0)), u"23:59:00"_s);
}

void tst_InsertCommands::lastEditScriptAndHomeLink()
{
    WorkspaceFixture fx;
    InsertTag(fx.workspace(), 75);
    QCOMPARE(fx.buffer().GetText(), u"<SCRIPT LANGUAGE=\"JavaScript\" >\r\n"
                                    u"document.write(document.lastModified)\r\n</SCRIPT>"_s);
    QCOMPARE(fx.buffer().colorAt(0), Script);
    fx.setText(QString());
    InsertTag(fx.workspace(), 21);
    QCOMPARE(fx.buffer().GetText(),
             u"<A HREF=\""_s + QString::fromUtf16(HomePageAddress) + u"\" ><IMG SRC=\""_s
                 + QString::fromUtf16(LogoPictureAddress)
                 + u"\" BORDER=0 VSPACE=0 HSPACE=0 HEIGHT=33 WIDTH=80></A>"_s);
}

void tst_InsertCommands::specialCharacterAndUserTag()
{
    WorkspaceFixture fx;
    fx.setText(u"abc"_s, 0, 3);
    InsertSpecialCharacter(fx.workspace(), u"&eacute;"_s);
    QCOMPARE(fx.buffer().GetText(), u"&eacute;abc"_s);
    QCOMPARE(fx.buffer().colorAt(0), fx.settings().TEXT);
    fx.setText(u"abc"_s, 0, 3);
    InsertUserTag(fx.workspace(), u"<MOJE>"_s, u"</MOJE>"_s);
    QCOMPARE(fx.buffer().GetText(), u"<MOJE>abc</MOJE>"_s);
    QCOMPARE(fx.buffer().colorAt(0), Tag);
}

void tst_InsertCommands::treeNode_data()
{
    QTest::addColumn<std::optional<QString>>("node");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::newRow("pair") << std::optional<QString>(u"<B>,</B>"_s) << u"<B>abc</B>"_s << 6;
    QTest::newRow("no comma") << std::optional<QString>(u"ALIGN="_s) << u"abcALIGN="_s << 3;
    QTest::newRow("second comma stays") << std::optional<QString>(u"<X>,a,b"_s)
                                        << u"<X>abca,b"_s << 6;
    QTest::newRow("no node") << std::optional<QString>() << u"abc"_s << 0;
}

void tst_InsertCommands::treeNode()
{
    QFETCH(std::optional<QString>, node);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    WorkspaceFixture fx;
    fx.setText(u"abc"_s, 0, 3);
    InsertTag(fx.workspace(), 92, InsertArgs::withItem(node.value_or(QString())));
    QCOMPARE(fx.buffer().GetText(), expected);
    if (node)
        QCOMPARE(fx.buffer().SelStart(), caret);
}

void tst_InsertCommands::moveBeforeHeadEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::newRow("upper") << u"<HEAD>x</HEAD></HEAD>"_s << 7;
    QTest::newRow("lower") << u"<head>\r\n</head>"_s << 8;
    QTest::newRow("none collapses") << u"<BODY>abc"_s << 6;
}

void tst_InsertCommands::moveBeforeHeadEnd()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    WorkspaceFixture fx;
    fx.setText(text, 6, 2);
    MoveCaretBeforeHeadEnd(fx.workspace());
    QCOMPARE(fx.buffer().SelStart(), caret);
    QCOMPARE(fx.buffer().SelLength(), 0);
}

void tst_InsertCommands::menuItems_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("expected");
    QTest::newRow("InsTagCenter") << u"InsTagCenter"_s << u"<CENTER>abc</CENTER>"_s;
    QTest::newRow("InsTagTable") << u"InsTagTable"_s << u"<TABLE>\r\nabc\r\n</TABLE>"_s;
    QTest::newRow("InsTagTr") << u"InsTagTr"_s << u"  <TR>\r\n    abc\r\n  </TR>"_s;
    QTest::newRow("InsH3") << u"InsH3"_s << u"<H3>abc</H3>"_s;
    QTest::newRow("InsNbsp") << u"InsNbsp"_s << u"&nbsp;abc"_s;
    QTest::newRow("InsTrademark") << u"InsTrademark"_s << u"&#153;abc"_s;
    QTest::newRow("InsTime") << u"InsTime"_s << u"12:00:00abc"_s;
    QTest::newRow("HidUL") << u"HidUL"_s << u"<LI >abc</LI>"_s;
}

void tst_InsertCommands::menuItems()
{
    QFETCH(QString, id);
    QFETCH(QString, expected);
    setInsertClock([] { return QDateTime(QDate(2026, 1, 1), QTime(12, 0)); });
    WorkspaceFixture fx;
    fx.setText(u"abc"_s, 0, 3);
    QVERIFY(fx.commands().run(id, fx.workspace(), ui()));
    QCOMPARE(fx.buffer().GetText(), expected);
}

void tst_InsertCommands::insideTagCheckAgreesWithTagLocator_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("plain-tags") << u"a<B>b</B>c"_s;
    QTest::newRow("unclosed-at-end") << u"x <A HREF=y"_s;
    QTest::newRow("stray-gt") << u"a > b <I> c"_s;
    QTest::newRow("nested-lt") << u"<A <B> C>"_s;
    QTest::newRow("comment") << u"<!-- a > b -->"_s;
    QTest::newRow("across-lines") << u"<TD\r\nALIGN=left>\r\n<"_s;
}

// The check reads only the text around the caret; it must say what the tag locator,
// which reads the whole text, says at every caret position.
void tst_InsertCommands::insideTagCheckAgreesWithTagLocator()
{
    QFETCH(QString, text);
    WorkspaceFixture fx(1);
    for (int caret = 0; caret <= text.size(); ++caret) {
        if (caret > 0 && text[caret - 1] == u'\r' && caret < text.size() && text[caret] == u'\n')
            continue; // no caret stands between CR and LF
        fx.setText(text, caret);
        QCOMPARE(caretInsideTag(fx.buffer()), !TagAtPosition(text, caret).isEmpty());
    }
}

BRISKO_TEST_MAIN(tst_InsertCommands)
#include "tst_insertcommands.moc"
