#include "commands/TextTransforms.h"
#include "markup/SysUt.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QTextDocument>

#include <memory>

using namespace Qt::StringLiterals;

// The Edit menu's tag and case commands and "Zaměnit lomítka", run by their menu
// identifiers on the workspace.
class tst_TextCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_fx = std::make_unique<WorkspaceFixture>(1); }
    void cleanup() { m_fx.reset(); }

    void transformsSelectionOrWholeText_data();
    void transformsSelectionOrWholeText();
    void wholeTextTransformUndoesInOneStep();
    void wholeTextTransformKeepsTheCaret_data();
    void wholeTextTransformKeepsTheCaret();
    void wholeTextTransformThatChangesNothingIsNoEdit();
    void selectTagAtCaret_data();
    void selectTagAtCaret();
    void goToPairTag_data();
    void goToPairTag();
    void deleteCurrentTag_data();
    void deleteCurrentTag();
    void deleteCurrentTagUndoesInOneStep();
    void commandsDoNothingWithoutDocument();

private:
    void trigger(const QString &id) { QVERIFY(m_fx->commands().run(id, m_fx->workspace(), ui())); }
    std::unique_ptr<WorkspaceFixture> m_fx;
};

void tst_TextCommands::transformsSelectionOrWholeText_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("expected");

    // Case tables, with and without a selection.
    QTest::newRow("upper_noSelection_wholeText")
        << u"EditUpper"_s << u"žluťoučký kůň"_s << 3 << 0 << u"ŽLUŤOUČKÝ KŮŇ"_s;
    QTest::newRow("upper_selection_onlySelection")
        << u"EditUpper"_s << u"abc def"_s << 4 << 3 << u"abc DEF"_s;
    QTest::newRow("lower_noSelection_wholeText")
        << u"EditLower"_s << u"ŘEŘICHA <B>"_s << 0 << 0 << u"řeřicha <b>"_s;
    // Letters outside the Czech tables stay as they are.
    QTest::newRow("upper_letterOutsideTable_stays")
        << u"EditUpper"_s << u"ä"_s << 0 << 0 << u"ä"_s;
    // Tags and blanks.
    QTest::newRow("stripTags_simple") << u"EditStripTags"_s << u"a<b>c</b>d"_s << 0 << 0 << u"acd"_s;
    QTest::newRow("stripTags_loneClosingBracketDropped")
        << u"EditStripTags"_s << u"x > y"_s << 0 << 0 << u"x  y"_s;
    QTest::newRow("stripTags_selectionOnly")
        << u"EditStripTags"_s << u"<i>a</i><b>c</b>"_s << 8 << 8 << u"<i>a</i>c"_s;
    QTest::newRow("removeSpaces_outsideTagsOnly")
        << u"EditRemoveSpaces"_s << u"<p class=x> a b </p>"_s << 0 << 0 << u"<p class=x>ab</p>"_s;
    // Slashes only inside double quotes; an odd quote leaves the rest quoted.
    QTest::newRow("slashes_insideQuotesOnly")
        << u"SearchSlashes"_s << u"a\\b <A HREF=\"c\\d\">"_s << 0 << 0
        << u"a\\b <A HREF=\"c/d\">"_s;
    QTest::newRow("slashes_oddQuotes_restIsQuoted")
        << u"SearchSlashes"_s << u"x\\ \"a\\b\" \"c\\d"_s << 0 << 0 << u"x\\ \"a/b\" \"c/d"_s;
    QTest::newRow("slashes_acrossLines")
        << u"SearchSlashes"_s << u"\"a\\\r\nb\\\"\\"_s << 0 << 0 << u"\"a/\r\nb/\"\\"_s;
}

void tst_TextCommands::transformsSelectionOrWholeText()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, expected);
    m_fx->setText(text, selStart, selLength);
    trigger(command);
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

void tst_TextCommands::wholeTextTransformUndoesInOneStep()
{
    const QString text = u"<p>line one</p>\r\n<p>line two</p>\r\n"_s;
    m_fx->setText(text);
    trigger(u"EditUpper"_s);
    QCOMPARE(m_fx->buffer().GetText(), CzechUpperCase(text));
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), text);
}

void tst_TextCommands::wholeTextTransformKeepsTheCaret_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("caretAfter");

    QTest::newRow("upper_secondLine") << u"EditUpper"_s << u"<p>a</p>\r\n<p>kůň</p>\r\nz"_s << 13
                                      << 13;
    QTest::newRow("lower_atStart") << u"EditLower"_s << u"ŘEŘICHA\r\n<B>"_s << 0 << 0;
    // A text that got shorter than the caret's offset keeps the caret at its end.
    QTest::newRow("stripTags_shorter") << u"EditStripTags"_s << u"<b>ab</b>cd"_s << 10 << 4;
}

void tst_TextCommands::wholeTextTransformKeepsTheCaret()
{
    QFETCH(QString, command);
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, caretAfter);
    m_fx->setText(text, caret);
    trigger(command);
    QVERIFY(m_fx->buffer().GetText() != text);
    QCOMPARE(m_fx->buffer().SelStart(), caretAfter);
    QCOMPARE(m_fx->buffer().SelLength(), 0);
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), text);
    QCOMPARE(m_fx->buffer().SelStart(), caret);
}

void tst_TextCommands::wholeTextTransformThatChangesNothingIsNoEdit()
{
    m_fx->setText(u"<P>KŮŇ</P>\r\n"_s, 4);
    trigger(u"EditUpper"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"<P>KŮŇ</P>\r\n"_s);
    QVERIFY(!m_fx->buffer().IsModified());
    QVERIFY(!m_fx->buffer().textDocument()->isUndoAvailable());
    QCOMPARE(m_fx->buffer().SelStart(), 4);
}

void tst_TextCommands::selectTagAtCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("selected");

    QTest::newRow("insideTag_wholeTag") << u"x<TD ALIGN=left>y"_s << 5 << u"<TD ALIGN=left>"_s;
    QTest::newRow("rightAfterGreater_nothing") << u"<B>x"_s << 3 << QString();
    QTest::newRow("rightBeforeLess_nothing") << u"x<B>"_s << 1 << QString();
    QTest::newRow("noClosingBracket_upToCaret") << u"a <B"_s << 4 << u"<B"_s;
    // Comments get no special treatment: the first ">" closes.
    QTest::newRow("comment_firstGreaterCloses") << u"<!-- a > b -->"_s << 7 << u"<!-- a >"_s;
    QTest::newRow("comment_afterGreater_outside") << u"<!-- a > b -->"_s << 10 << QString();
    QTest::newRow("tagOverLines") << u"<A\r\nHREF=x>"_s << 4 << u"<A\r\nHREF=x>"_s;
    QTest::newRow("gtInQuotedValue") << u"x<A TITLE='a>b' HREF=c>y"_s << 3
                                     << u"<A TITLE='a>b' HREF=c>"_s;
    QTest::newRow("gtInQuotedValue_caretAfterIt") << u"x<A TITLE='a>b' HREF=c>y"_s << 13
                                                  << u"<A TITLE='a>b' HREF=c>"_s;
    QTest::newRow("gtInQuotedValue_caretAfterTheTag") << u"x<A TITLE='a>b' HREF=c>y"_s << 23
                                                      << QString();
}

void tst_TextCommands::selectTagAtCaret()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, selected);
    m_fx->setText(text, caret);
    trigger(u"EditSelectTag"_s);
    QCOMPARE(m_fx->buffer().SelText(), selected);
    if (selected.isEmpty())
        QCOMPARE(m_fx->buffer().SelStart(), caret);
}

void tst_TextCommands::goToPairTag_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("movedTo"); // after the partner's "<"; the caret itself: no pair

    // Offsets count the line breaks as CR LF.
    QTest::newRow("endToStart") << u"<UL>\r\n<LI>a</LI>\r\n</UL>"_s << 18 << 1;
    QTest::newRow("startToEnd") << u"x\r\n<B>y</B>"_s << 4 << 8;
    QTest::newRow("void_stays") << u"<P><BR></P>"_s << 5 << 5;
    QTest::newRow("betweenTags_stays") << u"<B>xy</B>"_s << 4 << 4;
}

void tst_TextCommands::goToPairTag()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(int, movedTo);
    m_fx->setText(text, caret);
    trigger(u"EditGoToPairTag"_s);
    QCOMPARE(m_fx->buffer().SelStart(), movedTo);
    QCOMPARE(m_fx->buffer().GetText(), text);
}

void tst_TextCommands::deleteCurrentTag_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("expected");

    QTest::newRow("upperCase_closingTagToo") << u"<B>x</B>"_s << 1 << 0 << u"x"_s;
    // The closing tag is searched in upper case only.
    QTest::newRow("lowerCase_closingTagStays") << u"<b>x</b>"_s << 1 << 0 << u"x</b>"_s;
    QTest::newRow("noClosingTag_onlyTag") << u"a<BR>b</B>"_s << 2 << 0 << u"ab</B>"_s;
    QTest::newRow("attributes_nameOnly") << u"<FONT SIZE=2>x</FONT>y"_s << 3 << 0 << u"xy"_s;
    QTest::newRow("closingTagBeforeCaret_notTouched")
        << u"</B><B>x"_s << 6 << 0 << u"</B>x"_s;
    QTest::newRow("handSelectedTag") << u"<I>x</I>"_s << 0 << 3 << u"x"_s;
    // A ">" inside a quoted value is not the tag's end.
    QTest::newRow("gtInQuotedValue") << u"<A TITLE=\"a>b\" HREF='c>d'>x</A>y"_s << 2 << 0
                                     << u"xy"_s;
    QTest::newRow("gtInQuotedValue_caretAfterIt") << u"<A TITLE=\"a>b\" HREF='c>d'>x</A>y"_s << 22
                                                  << 0 << u"xy"_s;
    QTest::newRow("unclosedQuote_upToFirstGt") << u"<B TITLE=\"a>b"_s << 2 << 0 << u"b"_s;
    QTest::newRow("outsideTag_noSelection_nothing") << u"<B>x</B>"_s << 3 << 0 << u"<B>x</B>"_s;
    // Only the tag's own end tag goes, never one of another element further on.
    QTest::newRow("lowerCase_laterUpperCaseElementUntouched")
        << u"<b>a</b> <B>c</B>"_s << 1 << 0 << u"a</b> <B>c</B>"_s;
    QTest::newRow("unclosedTag_nextEndTagIsAnothers")
        << u"<P>a<P>b</P>"_s << 1 << 0 << u"a<P>b</P>"_s;
    QTest::newRow("nested_ownEndTag") << u"<DIV>a<DIV>b</DIV>c</DIV>"_s << 1 << 0
                                      << u"a<DIV>b</DIV>c"_s;
    // Words selected outside any tag (a found word, say) are no tag: they stay.
    QTest::newRow("outsideTag_wordSelected_stays")
        << u"<B>x</B> kůň úpěl"_s << 9 << 3 << u"<B>x</B> kůň úpěl"_s;
    QTest::newRow("outsideTag_textAndClosingTagSelected_stays")
        << u"<B>x</B> y"_s << 3 << 5 << u"<B>x</B> y"_s;
}

void tst_TextCommands::deleteCurrentTag()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, expected);
    m_fx->setText(text, selStart, selLength);
    trigger(u"EditDeleteTag"_s);
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

void tst_TextCommands::deleteCurrentTagUndoesInOneStep()
{
    m_fx->setText(u"a<B>x</B>b"_s, 2);
    trigger(u"EditDeleteTag"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"axb"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 1); // where the tag was, not at its end tag
    QCOMPARE(m_fx->statusText(3), u"1:2"_s);
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), u"a<B>x</B>b"_s);
}

void tst_TextCommands::commandsDoNothingWithoutDocument()
{
    m_fx = std::make_unique<WorkspaceFixture>(0);
    ScriptedInteraction script; // any dialog or message would be unexpected
    for (const char *id : {"EditSelectTag", "EditDeleteTag", "EditUpper", "EditLower",
                           "EditStripTags", "EditRemoveSpaces", "SearchSlashes", "SearchFind",
                           "SearchReplace"})
        trigger(QLatin1StringView(id));
    QVERIFY(script.log.isEmpty());
    QVERIFY(script.unexpected.isEmpty());
}

BRISKO_TEST_MAIN(tst_TextCommands)
#include "tst_textcommands.moc"
