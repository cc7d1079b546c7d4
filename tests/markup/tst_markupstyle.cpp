#include "support/TestMain.h"

#include "markup/MarkupStyle.h"

using namespace Qt::StringLiterals;

// The HTML5 writing of what the commands compose in HTML 4.
class TestMarkupStyle : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void html5_data();
    void html5();
    void openingAndClosingShareTheTable();
    void html4StaysWordForWord();
    void styleOfTag_data();
    void styleOfTag();
    void html4Reading_data();
    void html4Reading();
};

void TestMarkupStyle::html5_data()
{
    QTest::addColumn<QString>("html4");
    QTest::addColumn<QString>("html5");

    // Names, values and blanks
    QTest::newRow("namesLowerValuesQuoted") << u"<TD WIDTH=50% CLASS=x>"_s << u"<td class=\"x\" style=\"width: 50%\">"_s;
    QTest::newRow("blanksAroundEquals") << u"<DIV align = center>\n"_s << u"<div style=\"text-align: center\">\n"_s;
    QTest::newRow("trailingBlank") << u"<DL ><DT >a</DL>"_s << u"<dl><dt>a</dl>"_s;
    QTest::newRow("breakWithoutSlash") << u"a<BR>b<BR />"_s << u"a<br>b<br>"_s;
    QTest::newRow("booleanStaysBare") << u"<INPUT TYPE=CHECKBOX NAME=a CHECKED>"_s
                                      << u"<input type=\"CHECKBOX\" name=\"a\" checked>"_s;
    QTest::newRow("quoteInValue") << u"<IMG ALT='say \"hi\"' SRC=a.gif>"_s << u"<img alt='say \"hi\"' src=\"a.gif\">"_s;
    QTest::newRow("gtInsideQuotedValue") << u"<A HREF=\"a>b.html\">x</A>"_s << u"<a href=\"a>b.html\">x</a>"_s;
    // Elements with a plain replacement
    QTest::newRow("center") << u"<CENTER>x</CENTER>"_s << u"<div style=\"text-align: center\">x</div>"_s;
    QTest::newRow("fontAll") << u"<FONT FACE=\"Arial\" SIZE=\"+1\" COLOR=#FF0000>x</FONT>"_s
                             << u"<span style=\"font-family: Arial; font-size: large; color: #FF0000\">x</span>"_s;
    QTest::newRow("fontSizeClamped") << u"<FONT SIZE=\"9\">"_s << u"<span style=\"font-size: xxx-large\">"_s;
    QTest::newRow("strikeTtAcronym") << u"<STRIKE>a</STRIKE><TT>b</TT><ACRONYM>c</ACRONYM>"_s
                                     << u"<s>a</s><code>b</code><abbr>c</abbr>"_s;
    QTest::newRow("underlineKept") << u"<U>a</U>"_s << u"<u>a</u>"_s;
    QTest::newRow("emptyStyleWaitsForTheUser") << u"<SPAN STYLE=\"\">"_s << u"<span style=\"\">"_s;
    QTest::newRow("ownStyleComesLast") << u"<CENTER STYLE=\"color: red\">"_s
                                       << u"<div style=\"text-align: center; color: red\">"_s;
    // Attributes that became style
    QTest::newRow("tableAlignCenter") << u"<TABLE ALIGN=center>"_s
                                      << u"<table style=\"margin-left: auto; margin-right: auto\">"_s;
    QTest::newRow("imageKeepsNumericSize") << u"<IMG SRC=\"a.png\" WIDTH=10 HEIGHT=20 BORDER=0 ALIGN=left HSPACE=4>"_s
                                           << u"<img src=\"a.png\" width=\"10\" height=\"20\" alt=\"\" style=\"float: left; margin-left: 4px; margin-right: 4px\">"_s;
    QTest::newRow("imagePercentWidth") << u"<IMG SRC=a WIDTH=50%>"_s << u"<img src=\"a\" alt=\"\" style=\"width: 50%\">"_s;
    QTest::newRow("imageAbsMiddle") << u"<IMG SRC=a ALIGN=absmiddle>"_s << u"<img src=\"a\" alt=\"\" style=\"vertical-align: middle\">"_s;
    QTest::newRow("bgcolorWithoutHash") << u"<TD BGCOLOR=00ff00>"_s << u"<td style=\"background-color: #00ff00\">"_s;
    QTest::newRow("body") << u"<BODY BACKGROUND=\"bg.gif\" TEXT=#000000 TOPMARGIN=1 BGPROPERTIES=FIXED>"_s
                          << u"<body style=\"background-image: url('bg.gif'); color: #000000; margin-top: 1px; background-attachment: fixed\">"_s;
    QTest::newRow("rule") << u"<HR ALIGN=left WIDTH=50% SIZE=3 NOSHADE>"_s
                          << u"<hr style=\"margin-left: 0; margin-right: auto; width: 50%; height: 3px; border-style: solid\">"_s;
    QTest::newRow("clearAll") << u"<BR CLEAR=ALL>"_s << u"<br style=\"clear: both\">"_s;
    QTest::newRow("emptyValuesSayNothing") << u"<P ALIGN=\"\" STYLE=\"color: red\">"_s
                                           << u"<p style=\"color: red\">"_s;
    QTest::newRow("emptyColourAndFace") << u"<FONT COLOR=\"\" FACE=' '>x</FONT>"_s << u"<span>x</span>"_s;
    // An inline frame scrolls as its content needs unless told otherwise.
    QTest::newRow("inlineFrameScrollingAuto") << u"<IFRAME SRC=a.htm SCROLLING=AUTO></IFRAME>"_s
                                              << u"<iframe src=\"a.htm\"></iframe>"_s;
    QTest::newRow("inlineFrameScrollingNo") << u"<IFRAME SRC=a.htm FRAMEBORDER=NO SCROLLING=NO>"_s
                                            << u"<iframe src=\"a.htm\" style=\"border: 0; overflow: hidden\">"_s;
    QTest::newRow("inlineFrameBorderYes") << u"<IFRAME SRC=a.htm FRAMEBORDER=YES>"_s
                                          << u"<iframe src=\"a.htm\">"_s;
    QTest::newRow("inlineFrameBorderOne") << u"<IFRAME FRAMEBORDER=1>"_s << u"<iframe>"_s;
    QTest::newRow("inlineFrameBorderZero") << u"<IFRAME FRAMEBORDER=\"0\">"_s << u"<iframe style=\"border: 0\">"_s;
    QTest::newRow("inlineFrameScrollingYes") << u"<IFRAME SCROLLING=yes>"_s
                                             << u"<iframe style=\"overflow: scroll\">"_s;
    QTest::newRow("anchorName") << u"<A NAME=top></A>"_s << u"<a id=\"top\"></a>"_s;
    QTest::newRow("scriptLanguageDropped") << u"<SCRIPT LANGUAGE=\"JavaScript\">if (a<b) x();</SCRIPT>"_s
                                           << u"<script>if (a<b) x();</script>"_s;
    // A picture always has its text, empty when the user gave none
    QTest::newRow("imageGetsEmptyAlt") << u"<IMG SRC=\"a.gif\" BORDER=0>"_s << u"<img src=\"a.gif\" alt=\"\">"_s;
    QTest::newRow("imageKeepsItsAlt") << u"<IMG ALT=\"Logo\" SRC=a.gif>"_s << u"<img alt=\"Logo\" src=\"a.gif\">"_s;
    // The style sheet link named its file SRC and its relation STYLE
    QTest::newRow("styleSheetLink") << u"<LINK REL=STYLE TYPE=\"text/css\" SRC=\"a.css\">"_s
                                    << u"<link rel=\"stylesheet\" type=\"text/css\" href=\"a.css\">"_s;
    QTest::newRow("otherRelationKept") << u"<LINK REL=icon HREF=\"a.ico\">"_s << u"<link rel=\"icon\" href=\"a.ico\">"_s;
    QTest::newRow("unknownAttributeKept") << u"<TABLE SUMMARY=\"x\">"_s << u"<table summary=\"x\">"_s;
    // A table's border and padding reach its cells, not the cells of the next table
    QTest::newRow("tableBorderToCells")
        << u"<TABLE BORDER=2 CELLPADDING=3 CELLSPACING=0>\r\n<TR>\r\n<TD>a</TD>\r\n</TR>\r\n</TABLE><TABLE><TR><TD>"_s
        << u"<table style=\"border: 2px outset; border-spacing: 0px\">\r\n<tr>\r\n<td style=\"border: 1px inset; padding: 3px\">a</td>\r\n</tr>\r\n</table><table><tr><td>"_s;
    QTest::newRow("tableBorderZero") << u"<TABLE BORDER=0>"_s << u"<table>"_s;
    // What is not a tag stays as it is
    QTest::newRow("commentDoctype") << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><!-- <B> -->"_s
                                    << u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01//EN\"><!-- <B> -->"_s;
    QTest::newRow("loneLessThan") << u"a < b <3"_s << u"a < b <3"_s;
    QTest::newRow("unclosedTag") << u"x <B"_s << u"x <B"_s;
    // References into 128..159 meant Windows-1252's characters; HTML5 reads them as controls
    QTest::newRow("tradeMark") << u"a&#153;b&#150;"_s << u"a&trade;b&ndash;"_s;
    QTest::newRow("otherReferencesStay") << u"&#129; &#160; &#x99; &#15"_s << u"&#129; &#160; &#x99; &#15"_s;
    // Elements HTML5 has no replacement for are still written, lower case
    QTest::newRow("marquee") << u"<MARQUEE>x</MARQUEE>"_s << u"<marquee>x</marquee>"_s;
}

void TestMarkupStyle::html5()
{
    QFETCH(QString, html4);
    QFETCH(QString, html5);
    QCOMPARE(toHtml5(html4), html5);
    QCOMPARE(toHtml5(html5), html5); // written once more, nothing changes
}

void TestMarkupStyle::openingAndClosingShareTheTable()
{
    const Markup html5 = toHtml5(Markup{u"<TABLE BORDER=1><TR><TD>"_s, u"</TD><TD>b</TD></TR></TABLE>"_s});
    QCOMPARE(html5.opening, u"<table style=\"border: 1px outset\"><tr><td style=\"border: 1px inset\">"_s);
    QCOMPARE(html5.closing, u"</td><td style=\"border: 1px inset\">b</td></tr></table>"_s);
    // Pieces written one after another: the cell still takes the table's border.
    QCOMPARE(toHtml5(QStringList{u"<TABLE BORDER=1>"_s, u"<TR>"_s, u"<TD>"_s, u"</TD>"_s, u"</TR>"_s, u"</TABLE>"_s}),
             (QStringList{u"<table style=\"border: 1px outset\">"_s, u"<tr>"_s, u"<td style=\"border: 1px inset\">"_s,
                          u"</td>"_s, u"</tr>"_s, u"</table>"_s}));
    QCOMPARE(toHtml5(Markup{u"<FONT COLOR=#FF0000>"_s, u"</FONT>"_s}),
             (Markup{u"<span style=\"color: #FF0000\">"_s, u"</span>"_s}));
}

void TestMarkupStyle::html4StaysWordForWord()
{
    const Markup html4{u"<DIV align = center>\n"_s, u"</DIV>"_s};
    QCOMPARE(inStyle(MarkupStyle::Html4, html4), html4);
    QCOMPARE(markupStyleFromName(markupStyleName(MarkupStyle::Html5)), MarkupStyle::Html5);
    QCOMPARE(markupStyleFromName(u"nonsense"), MarkupStyle::Html4);
}

void TestMarkupStyle::styleOfTag_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("html5");
    QTest::newRow("upper") << u"<TD WIDTH=\"a\">"_s << false;
    QTest::newRow("lower") << u"<td WIDTH=5>"_s << true;
    QTest::newRow("mixed") << u"<Td>"_s << true;
    QTest::newRow("closing") << u"</table>"_s << true;
    QTest::newRow("heading") << u"<H1>"_s << false;
}

void TestMarkupStyle::styleOfTag()
{
    QFETCH(QString, tag);
    QFETCH(bool, html5);
    QCOMPARE(::styleOfTag(tag) == MarkupStyle::Html5, html5);
}

void TestMarkupStyle::html4Reading_data()
{
    QTest::addColumn<QString>("html5");
    QTest::addColumn<QString>("html4");
    // What the rewriting made style goes back to the attribute the dialog has a field for
    QTest::newRow("cell") << u"<td class=\"x\" style=\"width: 50%; background-color: #00ff00\">"_s
                          << u"<td class=\"x\" WIDTH=\"50%\" BGCOLOR=\"#00ff00\">"_s;
    QTest::newRow("pixels") << u"<table style=\"width: 300px\">"_s << u"<table WIDTH=\"300\">"_s;
    QTest::newRow("body") << u"<body style=\"background-image: url('a.gif'); color: #000000; background-attachment: fixed\">"_s
                          << u"<body BACKGROUND=\"a.gif\" TEXT=\"#000000\" BGPROPERTIES=\"FIXED\">"_s;
    // The rest stays style, and an attribute the tag has is not written twice
    QTest::newRow("ownStyleStays") << u"<td style=\"border: 1px inset; text-align: center\">"_s
                                   << u"<td style=\"border: 1px inset\" ALIGN=\"center\">"_s;
    QTest::newRow("attributeWins") << u"<td width=\"10\" style=\"width: 50%\">"_s
                                   << u"<td width=\"10\" style=\"width: 50%\">"_s;
    QTest::newRow("noStyle") << u"<img src=\"a.gif\" alt=\"\">"_s << u"<img src=\"a.gif\" alt=\"\">"_s;
    QTest::newRow("endTag") << u"</td>"_s << u"</td>"_s;
}

void TestMarkupStyle::html4Reading()
{
    QFETCH(QString, html5);
    QFETCH(QString, html4);
    QCOMPARE(::html4Reading(html5), html4);
}

BRISKO_TEST_MAIN(TestMarkupStyle)
#include "tst_markupstyle.moc"
