#include "markup/SysUt.h"
#include "settings/TSettings.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

class tst_SysUt : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void tagAtPosition_data();
    void tagAtPosition();
    void tagNameAndAttributeText_data();
    void tagNameAndAttributeText();
    void tagContains_data();
    void tagContains();
    void findAttribute_data();
    void findAttribute();
    void readAttribute_data();
    void readAttribute();
    void readAttributeWithRemoveTakesItOut_data();
    void readAttributeWithRemoveTakesItOut();
    void attributePieces();
    void htmlColorToColor_data();
    void htmlColorToColor();
    void colorToHexRoundTripsThroughHtmlColor();
    void czechCaseRoundTripsEveryTableLetter();
    void czechCaseLeavesOtherLettersAlone_data();
    void czechCaseLeavesOtherLettersAlone();
    void relativePath_data();
    void relativePath();
    void documentRelativePath_data();
    void documentRelativePath();
    void textTransformations_data();
    void textTransformations();
    void replaceAll_data();
    void replaceAll();
    void replaceAllEndsOnEndlesslyGrowingRule();
    void smallStringFunctions();
};

void tst_SysUt::tagAtPosition_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("tag");

    QTest::newRow("caretAfterFinishedTag") << u"<B>text"_s << 3 << QString();
    QTest::newRow("caretBetweenLtAndName") << u"<B>"_s << 1 << u"<B>"_s;
    QTest::newRow("caretJustBeforeGt") << u"x<IMG SRC=a.gif>y"_s << 15 << u"<IMG SRC=a.gif>"_s;
    QTest::newRow("caretBeforeLt") << u"x<B>"_s << 1 << QString();
    QTest::newRow("caretAtTextStart") << u"<B>"_s << 0 << QString();
    QTest::newRow("noGtAfterCaret") << u"a <B and more"_s << 3 << QString();
    QTest::newRow("ltBeforeGtAfterCaret") << u"<B <I>"_s << 2 << QString();
    QTest::newRow("caretInTextBetweenTags") << u"<B>bold</B>"_s << 5 << QString();
    QTest::newRow("secondTag") << u"<B>bold</B>"_s << 9 << u"</B>"_s;
    // A line break inside a tag is part of it; CR LF counts as two characters.
    QTest::newRow("lineBreakInsideTag") << u"<TABLE\r\nBORDER=1>"_s << 9 << u"<TABLE\r\nBORDER=1>"_s;
    // A ">" inside a quoted value ends the tag early, as the rule says.
    QTest::newRow("gtInsideQuotes") << u"<A TITLE=\"a>b\">"_s << 4 << u"<A TITLE=\"a>"_s;
    QTest::newRow("caretBeyondEnd") << u"<B"_s << 99 << QString();
    QTest::newRow("negativeCaret") << u"<B>"_s << -5 << QString();
}

void tst_SysUt::tagAtPosition()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, tag);
    QCOMPARE(TagAtPosition(text, caret), tag);
}

void tst_SysUt::tagNameAndAttributeText_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("attributes");

    QTest::newRow("withAttribute") << u"<IMG SRC=a.gif>"_s << u"IMG"_s << u"SRC=a.gif"_s;
    QTest::newRow("bare") << u"<BR>"_s << u"BR"_s << QString();
    QTest::newRow("closing") << u"</B>"_s << u"/B"_s << QString();
    QTest::newRow("lineBreakNoSpace") << u"<TABLE\r\nBORDER=1>"_s << u"TABLE\r\nBORDER=1"_s << QString();
    QTest::newRow("spaceRightAfterLt") << u"< B>"_s << u"B"_s << u"B"_s;
    QTest::newRow("trailingSpaces") << u"<HR  >"_s << u"HR"_s << QString();
    QTest::newRow("caseKept") << u"<img src=x>"_s << u"img"_s << u"src=x"_s;
    QTest::newRow("empty") << QString() << QString() << QString();
}

void tst_SysUt::tagNameAndAttributeText()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QString, attributes);
    QCOMPARE(TagName(tag), name);
    QCOMPARE(TagAttributeText(tag), attributes);
}

void tst_SysUt::tagContains_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("word");
    QTest::addColumn<bool>("contains");

    QTest::newRow("flag") << u"<HR NOSHADE>"_s << u"NOSHADE"_s << true;
    QTest::newRow("flagPrefixOfLongerWord") << u"<HR NOSHADES>"_s << u"noshade"_s << true;
    QTest::newRow("spacesRemovedFirst") << u"<HR NO SHADE>"_s << u"NOSHADE"_s << true;
    QTest::newRow("absent") << u"<HR SIZE=2>"_s << u"NOSHADE"_s << false;
    QTest::newRow("emptyWord") << u"<HR>"_s << QString() << false;
}

void tst_SysUt::tagContains()
{
    QFETCH(QString, tag);
    QFETCH(QString, word);
    QFETCH(bool, contains);
    QCOMPARE(TagContains(tag, word), contains);
}

void tst_SysUt::findAttribute_data()
{
    QTest::addColumn<QString>("needle");
    QTest::addColumn<QString>("upperTag");
    QTest::addColumn<int>("position");

    QTest::newRow("secondOccurrenceHasEquals") << u" WIDTH"_s << u"<TABLE WIDTHS=3 WIDTH=50>"_s << 16;
    QTest::newRow("notInsideLongerName") << u" ALIGN"_s << u"<TD VALIGN=TOP>"_s << 0;
    QTest::newRow("blanksBeforeEquals") << u" SRC"_s << u"<IMG SRC = X>"_s << 5;
    QTest::newRow("lineBreakBeforeEquals") << u" SRC"_s << u"<IMG SRC\r\n=X>"_s << 5;
    QTest::newRow("flagWithoutValue") << u" NOSHADE"_s << u"<HR NOSHADE>"_s << 0;
    // The needle at position 1 is still found.
    QTest::newRow("atPositionOne") << u" A"_s << u" A=1>"_s << 1;
    // Quoted values are not special to the search.
    QTest::newRow("insideQuotedValue") << u" WIDTH"_s << u"<IMG ALT=\"X WIDTH=5\">"_s << 12;
    QTest::newRow("emptyNeedle") << QString() << u"<B>"_s << 0;
}

void tst_SysUt::findAttribute()
{
    QFETCH(QString, needle);
    QFETCH(QString, upperTag);
    QFETCH(int, position);
    QCOMPARE(FindAttribute(needle, upperTag), position);
}

void tst_SysUt::readAttribute_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");

    QTest::newRow("notInsideValign") << u"<TD VALIGN=top ALIGN=left>"_s << u"ALIGN"_s << u"left"_s;
    QTest::newRow("quotedLowerCaseName") << u"<A HREF=\"x.html\">"_s << u"href"_s << u"x.html"_s;
    QTest::newRow("valueAtVeryEnd") << u"<IMG SRC=a.gif>"_s << u"SRC"_s << u"a.gif"_s;
    QTest::newRow("unclosedQuote") << u"<IMG SRC=\"a.gif>"_s << u"SRC"_s << QString();
    QTest::newRow("noTrailingSpace") << u"<TD WIDTH=5 HEIGHT=6>"_s << u"WIDTH"_s << u"5"_s;
    QTest::newRow("nameWithLeadingSpace") << u"<TD WIDTH=5>"_s << u" width"_s << u"5"_s;
    QTest::newRow("spacesAroundEquals") << u"<IMG SRC = \"a b.gif\" >"_s << u"SRC"_s << u"a b.gif"_s;
    QTest::newRow("quotedValueWithGt") << u"<A TITLE=\"1>2\">"_s << u"TITLE"_s << u"1>2"_s;
    QTest::newRow("missing") << u"<IMG SRC=a.gif>"_s << u"ALT"_s << QString();
    QTest::newRow("flagOnly") << u"<HR NOSHADE>"_s << u"NOSHADE"_s << QString();
    // Single quotes are not recognised: they stay part of the value.
    QTest::newRow("singleQuotes") << u"<IMG SRC='a.gif' BORDER=0>"_s << u"SRC"_s << u"'a.gif'"_s;
    // Only a space ends an unquoted value, so a line break stays in it.
    QTest::newRow("lineBreakAfterValue") << u"<IMG SRC=a.gif\r\nBORDER=0>"_s << u"SRC"_s
                                         << u"a.gif\r\nBORDER=0"_s;
    QTest::newRow("lineBreakBeforeName") << u"<IMG\r\n SRC=a.gif>"_s << u"SRC"_s << u"a.gif"_s;
    // Reading takes the first occurrence followed by "=", even inside another value. This is
    // the helper's documented rule, kept for whoever relies on it; the editor's own reads
    // (F7, the anchor list, the link analyser) go through AttributeReader, which skips it.
    QTest::newRow("nameInsideOtherValue") << u"<IMG ALT=\"x WIDTH=5\" WIDTH=10>"_s << u"WIDTH"_s
                                          << u"5\""_s;
    QTest::newRow("emptyValueAtEnd") << u"<IMG SRC=>"_s << u"SRC"_s << QString();
}

void tst_SysUt::readAttribute()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QString kept = tag;
    QCOMPARE(ReadAttribute(kept, name, false), value);
    QCOMPARE(kept, tag);
}

void tst_SysUt::readAttributeWithRemoveTakesItOut_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("rest");

    QTest::newRow("quotedBeforeOther") << u"<IMG SRC=\"a.gif\" WIDTH=5>"_s << u"SRC"_s << u"a.gif"_s
                                       << u"<IMG WIDTH=5>"_s;
    QTest::newRow("unquotedFirst") << u"<IMG WIDTH=5 HEIGHT=6>"_s << u"WIDTH"_s << u"5"_s
                                   << u"<IMG HEIGHT=6>"_s;
    QTest::newRow("unquotedLast") << u"<IMG WIDTH=5 HEIGHT=6>"_s << u"height"_s << u"6"_s
                                  << u"<IMG WIDTH=5>"_s;
    QTest::newRow("spacesAroundEquals") << u"<IMG SRC = x.gif BORDER=0>"_s << u"SRC"_s << u"x.gif"_s
                                        << u"<IMG BORDER=0>"_s;
    QTest::newRow("missingLeavesTag") << u"<IMG SRC=a>"_s << u"ALT"_s << QString() << u"<IMG SRC=a>"_s;
    // An unclosed quote leaves an odd quote count: nothing is removed.
    QTest::newRow("unclosedQuoteLeavesTag") << u"<IMG SRC=\"a.gif>"_s << u"SRC"_s << QString()
                                            << u"<IMG SRC=\"a.gif>"_s;
    // Removing skips the occurrence inside the ALT value, unlike reading.
    QTest::newRow("skipsNameInsideQuotedValue") << u"<IMG ALT=\"x WIDTH=5\" WIDTH=10>"_s << u"WIDTH"_s
                                                << u"5\""_s << u"<IMG ALT=\"x WIDTH=5\">"_s;
    QTest::newRow("onlyInsideQuotedValue") << u"<IMG ALT=\"x WIDTH=5\">"_s << u"WIDTH"_s << u"5\""_s
                                           << u"<IMG ALT=\"x WIDTH=5\">"_s;
    QTest::newRow("trailingBlanks") << u"<IMG WIDTH=5 >"_s << u"WIDTH"_s << u"5"_s << u"<IMG >"_s;
}

void tst_SysUt::readAttributeWithRemoveTakesItOut()
{
    QFETCH(QString, tag);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QFETCH(QString, rest);
    QCOMPARE(ReadAttribute(tag, name, true), value);
    QCOMPARE(tag, rest);
    QCOMPARE(RemoveAttribute(u"<P>"_s, name), u"<P>"_s);
}

void tst_SysUt::attributePieces()
{
    QCOMPARE(AttrPiece(u"WIDTH="_s, u"5"_s), u" WIDTH=5"_s);
    QCOMPARE(AttrPiece(u"WIDTH="_s, QString()), QString());
    QCOMPARE(QuotedAttrPiece(u"SRC="_s, u"a b.gif"_s), u" SRC=\"a b.gif\""_s);
    QCOMPARE(QuotedAttrPiece(u"SRC="_s, QString()), QString());
    // A value typed with quotes in it never ends the attribute early.
    QCOMPARE(QuotedAttrPiece(u"ALT="_s, u"a \"b\" & č"_s), u" ALT='a \"b\" & č'"_s);
    QCOMPARE(QuotedAttrPiece(u"ALT="_s, u"don't"_s), u" ALT=\"don't\""_s);
    QCOMPARE(QuotedAttrPiece(u"ALT="_s, u"\"don't\""_s), u" ALT=\"&quot;don't&quot;\""_s);
    QCOMPARE(ColorAttrPiece(u"BGCOLOR="_s, 0x804020, true), u" BGCOLOR=\"#204080\""_s);
    QCOMPARE(ColorAttrPiece(u"BGCOLOR="_s, 0x804020, false), QString());
    QCOMPARE(NumberAttrPiece(u"BORDER="_s, -3, true), u" BORDER=-3"_s);
    QCOMPARE(NumberAttrPiece(u"BORDER="_s, 3, false), QString());
}

void tst_SysUt::htmlColorToColor_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("color");

    QTest::newRow("nameTrimmedAnyCase") << u" navy "_s << 8388608;
    QTest::newRow("hexLowerCase") << u"#ff0000"_s << 255;
    QTest::newRow("greenByte") << u"#00FF00"_s << 0xFF00;
    QTest::newRow("fuchsia") << u"Fuchsia"_s << 0xFF00FF;
    QTest::newRow("olive") << u"OLIVE"_s << 0x008080;
    QTest::newRow("tooShort") << u"#FFF"_s << 0;
    QTest::newRow("tooLongUsesFirstSix") << u"#12345678"_s << 0x563412;
    QTest::newRow("nonHexDigitCountsZero") << u"#G1FFFF"_s << 0xFFFF01;
    QTest::newRow("withoutHash") << u"FF0000"_s << 0;
    QTest::newRow("unknownName") << u"orange"_s << 0;
    QTest::newRow("empty") << QString() << 0;
}

void tst_SysUt::htmlColorToColor()
{
    QFETCH(QString, text);
    QFETCH(int, color);
    QCOMPARE(HtmlColorToColor(text), color);
}

void tst_SysUt::colorToHexRoundTripsThroughHtmlColor()
{
    QCOMPARE(ColorToHex(255), u"FF0000"_s);
    QCOMPARE(ColorToHex(0x0A0B0C), u"0C0B0A"_s);
    for (int color : {0, 1, 0xFF, 0xFF00, 0xFF0000, 0x123456, 0xABCDEF, 0xFFFFFF})
        QCOMPARE(HtmlColorToColor(u'#' + ColorToHex(color)), color);
}

void tst_SysUt::czechCaseRoundTripsEveryTableLetter()
{
    const QString lower = u"aábcčdďeěéfghiíjklmnňoópqrřsštťvuúůvwxyýzž"_s;
    const QString upper = u"AÁBCČDĎEĚÉFGHIÍJKLMNŇOÓPQRŘSŠTŤVUÚŮVWXYÝZŽ"_s;
    QCOMPARE(CzechUpperCase(lower), upper);
    QCOMPARE(CzechLowerCase(upper), lower);
    for (qsizetype i = 0; i < lower.size(); ++i) {
        QCOMPARE(CzechLowerCase(CzechUpperCase(lower.sliced(i, 1))), lower.sliced(i, 1));
        QCOMPARE(CzechUpperCase(CzechLowerCase(upper.sliced(i, 1))), upper.sliced(i, 1));
    }
    QCOMPARE(CzechUpperCase(u"žluťoučký kůň"_s), u"ŽLUŤOUČKÝ KŮŇ"_s);
}

void tst_SysUt::czechCaseLeavesOtherLettersAlone_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("germanAndSlovak") << u"äöüĺľŕÄÖÜĹĽŔ"_s;
    QTest::newRow("digitsAndMarks") << u"0123456789 <>\"\r\n"_s;
    QTest::newRow("beyondTables") << u"ßЖж€"_s;
}

void tst_SysUt::czechCaseLeavesOtherLettersAlone()
{
    QFETCH(QString, text);
    QCOMPARE(CzechUpperCase(text), text);
    QCOMPARE(CzechLowerCase(text), text);
}

void tst_SysUt::relativePath_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("relative");

    QTest::newRow("upOneDirectory") << u"/web/a/doc.html"_s << u"/web/img/x.gif"_s << u"../img/x.gif"_s;
    // The shared part ends at the last separator before the first difference.
    QTest::newRow("commonPrefixNotDirectory") << u"/web/doc.html"_s << u"/webs/x.gif"_s
                                              << u"../webs/x.gif"_s;
    QTest::newRow("sameDirectory") << u"/web/doc.html"_s << u"/web/pic.gif"_s << u"pic.gif"_s;
    QTest::newRow("otherDrive") << u"C:/web/doc.html"_s << u"D:/pic.gif"_s << u"D:/pic.gif"_s;
    QTest::newRow("deeperFile") << u"/web/doc.html"_s << u"/web/img/a/x.gif"_s << u"img/a/x.gif"_s;
    QTest::newRow("samePath") << u"/web/doc.html"_s << u"/web/doc.html"_s << u"doc.html"_s;
    QTest::newRow("caseSensitive") << u"/Web/doc.html"_s << u"/web/x.gif"_s << u"../web/x.gif"_s;
}

void tst_SysUt::relativePath()
{
    QFETCH(QString, document);
    QFETCH(QString, file);
    QFETCH(QString, relative);
    QCOMPARE(RelativePath(document, file), relative);
}

void tst_SysUt::documentRelativePath_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("relPa");
    QTest::addColumn<bool>("alt92");
    QTest::addColumn<bool>("upper");
    QTest::addColumn<QString>("result");

    const QString saved = u"/web/a/doc.html"_s;
    QTest::newRow("relative") << saved << true << false << false << u"../img/x.Gif"_s;
    QTest::newRow("neverSavedGivesBareName") << u"Bez jména"_s << true << false << false << u"x.Gif"_s;
    QTest::newRow("relPaOffGivesBareName") << saved << false << false << false << u"x.Gif"_s;
    QTest::newRow("alt92KeepsBackslashes") << saved << true << true << false << u"..\\img\\x.Gif"_s;
    QTest::newRow("upperCaseFiles") << saved << true << false << true << u"../IMG/X.GIF"_s;
}

void tst_SysUt::documentRelativePath()
{
    QFETCH(QString, document);
    QFETCH(bool, relPa);
    QFETCH(bool, alt92);
    QFETCH(bool, upper);
    QFETCH(QString, result);
    TSettings settings;
    settings.RelPa = relPa;
    settings.Alt92 = alt92;
    settings.UpperCaseFiles = upper;
    QCOMPARE(DocumentRelativePath(u"/web/img/x.Gif"_s, document, settings.pathOptions()), result);
    QCOMPARE(PathSeparator(settings.pathOptions()), alt92 ? u"\\"_s : u"/"_s);
}

void tst_SysUt::textTransformations_data()
{
    QTest::addColumn<QString>("function");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");

    QTest::newRow("stripTagsUnclosedDropsRest") << u"strip"_s << u"a<B>b</B>c<"_s << u"abc"_s;
    QTest::newRow("stripTagsGtInQuotedValues") << u"strip"_s
                                               << u"<A TITLE=\"a>b\" HREF='c>d'>x</A> y"_s
                                               << u"x y"_s;
    QTest::newRow("stripTagsApostropheInUnquotedValue") << u"strip"_s
                                                        << u"<IMG ALT=don't>x<B>y</B>'"_s
                                                        << u"xy'"_s;
    // A quote left open ends at the tag's first ">", as before; the text after it stays.
    QTest::newRow("stripTagsUnclosedQuote") << u"strip"_s << u"<A TITLE=\"x>text</A>"_s
                                            << u"text"_s;
    QTest::newRow("stripTagsStrayGt") << u"strip"_s << u"a>b<i>c"_s << u"abc"_s;
    QTest::newRow("spacesOutsideTags") << u"spaces"_s << u"a b <P ALIGN=left> c d"_s
                                       << u"ab<P ALIGN=left>cd"_s;
    QTest::newRow("spacesOutsideTagsKeepsTabsAndBreaks") << u"spaces"_s << u"a\t b\r\n<B>"_s
                                                         << u"a\tb\r\n<B>"_s;
    // A "<" inside a quoted value starts no tag: the tag keeps its spaces.
    QTest::newRow("spacesLtInQuotedValue") << u"spaces"_s << u"<A TITLE=\"1 < 2\" HREF=z> a b</A>"_s
                                           << u"<A TITLE=\"1 < 2\" HREF=z>ab</A>"_s;
    // A run ended by a stray ">" counts as inside a tag and keeps its spaces.
    QTest::newRow("spacesBeforeStrayGt") << u"spaces"_s << u"a b > c"_s << u"a b >c"_s;
    QTest::newRow("slashesOnlyInQuotes") << u"slashes"_s << u"a\\b \"c\\d\" e\\f \"g\\"_s
                                         << u"a\\b \"c/d\" e\\f \"g/"_s;
    QTest::newRow("removeSpaces") << u"remove"_s << u" a b  c "_s << u"abc"_s;
}

void tst_SysUt::textTransformations()
{
    QFETCH(QString, function);
    QFETCH(QString, input);
    QFETCH(QString, output);
    if (function == u"strip")
        QCOMPARE(StripTags(input), output);
    else if (function == u"spaces")
        QCOMPARE(RemoveSpacesOutsideTags(input), output);
    else if (function == u"slashes")
        QCOMPARE(SlashesInQuotes(input), output);
    else
        QCOMPARE(RemoveSpaces(input), output);
}

void tst_SysUt::replaceAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("all");
    QTest::addColumn<QString>("each");

    QTest::newRow("plain") << u"a-b-c"_s << u"-"_s << u"+"_s << u"a+b+c"_s << u"a+b+c"_s;
    // Produced text is searched again by ReplaceAll only.
    QTest::newRow("producedTextSearchedAgain") << u"aaab"_s << u"ab"_s << u"b"_s << u"b"_s << u"aab"_s;
    QTest::newRow("collapseDoubleSpaces") << u"a     b"_s << u"  "_s << u" "_s << u"a b"_s << u"a   b"_s;
    // A replacement holding the searched text would never end: one pass instead.
    QTest::newRow("replacementContainsFind") << u"a.b"_s << u"."_s << u".."_s << u"a..b"_s << u"a..b"_s;
    QTest::newRow("emptyFind") << u"abc"_s << QString() << u"x"_s << u"abc"_s << u"abc"_s;
    QTest::newRow("shrinkingCascade") << u"aaabbb"_s << u"ab"_s << QString() << QString() << u"aabb"_s;
    QTest::newRow("caseSensitive") << u"A a"_s << u"a"_s << u"b"_s << u"A b"_s << u"A b"_s;
}

void tst_SysUt::replaceAll()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(QString, all);
    QFETCH(QString, each);
    QCOMPARE(ReplaceAll(text, find, replacement), all);
    QCOMPARE(ReplaceEach(text, find, replacement), each);
}

void tst_SysUt::replaceAllEndsOnEndlesslyGrowingRule()
{
    // "aab" -> "abbaa" -> "bbaabaa" -> ... never runs out of "ab"; the call must still end.
    const QString result = ReplaceAll(u"aab"_s, u"ab"_s, u"bbaa"_s);
    QVERIFY(result.size() > 1'000'000);
}

void tst_SysUt::smallStringFunctions()
{
    QCOMPARE(Spaces(3), u"   "_s);
    QCOMPARE(Spaces(-1), QString());
    QCOMPARE(CountChar(u'"', u"a\"b\"\"c"_s), 3);
    QCOMPARE(LeadingSpaces(u"  \tx"_s), 2);
    QCOMPARE(LeadingSpaces(u"   "_s), 3);
}

BRISKO_TEST_MAIN(tst_SysUt)
#include "tst_sysut.moc"
