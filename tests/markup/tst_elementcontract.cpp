#include "support/TestMain.h"

#include "markup/ElementContract.h"
#include "markup/LinkMarkup.h"
#include "markup/TextMarkup.h"

using namespace Qt::StringLiterals;

// How edit-current-tag reads a start tag back into a dialog's fields: which start tag is
// edited, which attributes count as present, how values convert, what is left over.
class TestElementContract : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void leadingStartTag_data();
    void leadingStartTag();
    void withLeftovers_data();
    void withLeftovers();
    void attributeReads_data();
    void attributeReads();
    void readsInTableOrderAndKeepsTheRest();
    void fontTag_data();
    void fontTag();
    void linkAndAnchor_data();
    void linkAndAnchor();
    void metaTag();
};

void TestElementContract::leadingStartTag_data()
{
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("tag"); // "-" for none

    QTest::newRow("wholeTag") << u"<HR SIZE=2>"_s << u"<HR SIZE=2>"_s;
    // A hand-made selection of a whole element edits its start tag only.
    QTest::newRow("wholeElementGivesItsStartTag") << u"<FONT SIZE=3>x</FONT>"_s
                                                  << u"<FONT SIZE=3>"_s;
    QTest::newRow("gtInsideQuotes") << u"<A HREF=\"a>b\">x"_s << u"<A HREF=\"a>b\">"_s;
    QTest::newRow("gtInsideSingleQuotes") << u"<A TITLE='a>b' HREF=x>y"_s
                                          << u"<A TITLE='a>b' HREF=x>"_s;
    QTest::newRow("doubleQuotesInsideSingle") << u"<A TITLE='say \"hi>'>"_s
                                              << u"<A TITLE='say \"hi>'>"_s;
    // An apostrophe inside an unquoted value opens nothing.
    QTest::newRow("apostropheInUnquotedValue") << u"<IMG ALT=don't SRC=a.png>x'"_s
                                               << u"<IMG ALT=don't SRC=a.png>"_s;
    QTest::newRow("unclosedSingleQuote") << u"<A HREF='x>"_s << u"-"_s;
    QTest::newRow("unclosedTag") << u"<FONT SIZE=3"_s << u"-"_s;
    QTest::newRow("oddQuotes") << u"<A HREF=\"x>"_s << u"-"_s;
    QTest::newRow("plainText") << u"abc<B>"_s << u"-"_s;
}

void TestElementContract::leadingStartTag()
{
    QFETCH(QString, selected);
    QFETCH(QString, tag);
    QCOMPARE(::leadingStartTag(selected).value_or(u"-"_s), tag);
}

void TestElementContract::withLeftovers_data()
{
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("leftovers");
    QTest::addColumn<QString>("tag");

    QTest::newRow("none") << u"<B>"_s << QString() << u"<B>"_s;
    QTest::newRow("beforeLastGt") << u"<FONT  SIZE=\"+2\">"_s << u" CLASS=x "_s
                                  << u"<FONT  SIZE=\"+2\" CLASS=x>"_s;
    // Breaks and indents around the composed markup do not pile up on repeated edits.
    QTest::newRow("trailingBreakDropped") << u"<FORM NAME=\"f\">\r\n"_s << u"ID=a"_s
                                          << u"<FORM NAME=\"f\" ID=a>"_s;
    QTest::newRow("leadingIndentDropped") << u"  <TR>\r\n    "_s << QString() << u"<TR>"_s;
}

void TestElementContract::withLeftovers()
{
    QFETCH(QString, opening);
    QFETCH(QString, leftovers);
    QFETCH(QString, tag);
    QCOMPARE(::withLeftovers(opening, leftovers), tag);
}

void TestElementContract::attributeReads_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("read");     // kind:NAME
    QTest::addColumn<QString>("result");   // what the field gets; "-" when untouched
    QTest::addColumn<QString>("leftovers");
    QTest::addColumn<QString>("error");

    // text
    QTest::newRow("quotedValueKeepsCase") << u"<A HREF=\"Index.HTM\">"_s << u"text:href"_s
                                          << u"Index.HTM"_s << QString() << QString();
    QTest::newRow("blanksAroundEquals") << u"<A HREF = x.htm TARGET=_top>"_s << u"text:HREF"_s
                                        << u"x.htm"_s << u"TARGET=_top"_s << QString();
    QTest::newRow("nameInsideQuotedValueIsNotPresent")
        << u"<A TITLE=\"HREF=x\">"_s << u"text:HREF"_s << u"-"_s << u"TITLE=\"HREF=x\""_s
        << QString();
    // The occurrence that is read is the one that goes.
    QTest::newRow("realOccurrenceAfterQuotedOne")
        << u"<A TITLE=\"HREF=x\" HREF=y>"_s << u"text:HREF"_s << u"y"_s
        << u"TITLE=\"HREF=x\""_s << QString();
    // Hand-written pages quote with apostrophes too; a value keeps what the other quote holds.
    QTest::newRow("singleQuotedValue") << u"<a href='my page.html' title='say \"hi\"'>"_s
                                       << u"text:HREF"_s << u"my page.html"_s
                                       << u"title='say \"hi\"'"_s << QString();
    QTest::newRow("singleQuotedValueWithDoubleQuotes")
        << u"<a href='x.html' title='say \"hi\"'>"_s << u"text:TITLE"_s << u"say \"hi\""_s
        << u"href='x.html'"_s << QString();
    QTest::newRow("nameInsideSingleQuotedValueIsNotPresent")
        << u"<A TITLE='HREF=x' HREF=y>"_s << u"text:HREF"_s << u"y"_s << u"TITLE='HREF=x'"_s
        << QString();
    QTest::newRow("apostropheInsideUnquotedValue") << u"<IMG ALT=don't SRC=a.png>"_s
                                                   << u"text:SRC"_s << u"a.png"_s
                                                   << u"ALT=don't"_s << QString();
    QTest::newRow("numberSingleQuoted") << u"<IMG WIDTH='80' BORDER=0>"_s << u"number:WIDTH"_s
                                        << u"on 80"_s << u"BORDER=0"_s << QString();
    QTest::newRow("nameIsAWholeWord") << u"<BODY ALINK=red>"_s << u"text:LINK"_s << u"-"_s
                                      << u"ALINK=red"_s << QString();
    QTest::newRow("bareNameHasNoValue") << u"<A HREF>"_s << u"text:HREF"_s << u"-"_s
                                        << u"HREF"_s << QString();
    QTest::newRow("tabAndLineBreakAreBlanks")
        << u"<FONT\r\nSIZE=2\tCOLOR=red>"_s << u"text:COLOR"_s << u"red"_s << u"SIZE=2"_s
        << QString();

    // number
    QTest::newRow("numberAbove99") << u"<IMG WIDTH=800 BORDER=0>"_s << u"number:WIDTH"_s
                                   << u"on 800"_s << u"BORDER=0"_s << QString();
    QTest::newRow("numberBlanksRemoved") << u"<IMG WIDTH=\" 1 2 \">"_s << u"number:WIDTH"_s
                                         << u"on 12"_s << QString() << QString();
    QTest::newRow("numberZeroTicks") << u"<IMG BORDER=0>"_s << u"number:BORDER"_s << u"on 0"_s
                                     << QString() << QString();
    QTest::newRow("percentStopsTheEdit") << u"<IMG SRC=\"a.gif\" WIDTH=50%>"_s
                                         << u"number:WIDTH"_s << u"-"_s << u"SRC=\"a.gif\""_s
                                         << u"Hodnota '50%' není celé číslo."_s;

    // colour
    QTest::newRow("colourName") << u"<FONT COLOR=Red>"_s << u"color:COLOR"_s << u"on 0000ff"_s
                                << QString() << QString();
    QTest::newRow("colourHex") << u"<FONT COLOR=\"#00FF80\">"_s << u"color:COLOR"_s
                               << u"on 80ff00"_s << QString() << QString();
    // A colour the editor cannot read is left word for word, its box clear.
    QTest::newRow("unknownColourStays") << u"<FONT COLOR=orange SIZE=2>"_s << u"color:COLOR"_s
                                        << u"-"_s << u"COLOR=orange SIZE=2"_s << QString();
    QTest::newRow("shortHexStays") << u"<FONT COLOR=#FFF>"_s << u"color:COLOR"_s << u"-"_s
                                   << u"COLOR=#FFF"_s << QString();

    // flag
    QTest::newRow("flagPresent") << u"<HR NOSHADE SIZE=2>"_s << u"flag:NOSHADE"_s << u"yes"_s
                                 << u"SIZE=2"_s << QString();
    QTest::newRow("flagInsideQuotedValue") << u"<INPUT NAME=\"disabled_x\" VALUE=\"a disabled\">"_s
                                           << u"flag:DISABLED"_s << u"no"_s
                                           << u"NAME=\"disabled_x\" VALUE=\"a disabled\""_s
                                           << QString();
    QTest::newRow("flagWithValueIsNotAFlag") << u"<SELECT MULTIPLE=1>"_s << u"flag:MULTIPLE"_s
                                             << u"no"_s << u"MULTIPLE=1"_s << QString();

    // yes/no
    QTest::newRow("yesAnyCase") << u"<FRAMESET SCROLLING=yes>"_s << u"yesno:SCROLLING"_s
                                << u"Yes"_s << QString() << QString();
    QTest::newRow("noBlanksRemoved") << u"<FRAME SCROLLING=\" N O \">"_s << u"yesno:SCROLLING"_s
                                     << u"No"_s << QString() << QString();
    QTest::newRow("otherValue") << u"<FRAME SCROLLING=auto>"_s << u"yesno:SCROLLING"_s
                                << u"Other"_s << QString() << QString();
    QTest::newRow("oneMeansYesForBorders") << u"<FRAME FRAMEBORDER=1>"_s
                                           << u"yesno10:FRAMEBORDER"_s << u"Yes"_s << QString()
                                           << QString();
    QTest::newRow("zeroMeansNoForBorders") << u"<FRAME FRAMEBORDER=0>"_s
                                           << u"yesno10:FRAMEBORDER"_s << u"No"_s << QString()
                                           << QString();
    QTest::newRow("absent") << u"<FRAME>"_s << u"yesno:SCROLLING"_s << u"Absent"_s << QString()
                            << QString();
}

void TestElementContract::attributeReads()
{
    QFETCH(QString, tag);
    QFETCH(QString, read);
    QFETCH(QString, result);
    QFETCH(QString, leftovers);
    QFETCH(QString, error);

    const QString kind = read.section(u':', 0, 0);
    const QString name = read.section(u':', 1);
    AttributeReader reader(tag);
    QString got = u"-"_s;
    if (kind == u"text"_s) {
        reader.text(name, got);
    } else if (kind == u"number"_s) {
        Toggled<int> field;
        reader.number(name, field);
        if (field.on)
            got = u"on "_s + QString::number(field.value);
    } else if (kind == u"color"_s) {
        Toggled<ColorValue> field;
        reader.color(name, field);
        if (field.on)
            got = u"on "_s + QString::number(field.value, 16).rightJustified(6, u'0');
    } else if (kind == u"flag"_s) {
        got = reader.flag(name) ? u"yes"_s : u"no"_s;
    } else {
        static const QStringList names{u"Absent"_s, u"Yes"_s, u"No"_s, u"Other"_s};
        got = names.at(int(reader.yesNo(name, kind == u"yesno10"_s)));
    }
    QCOMPARE(got, result);
    QCOMPARE(reader.leftovers(), leftovers);
    QCOMPARE(reader.error(), error);
}

void TestElementContract::readsInTableOrderAndKeepsTheRest()
{
    // A repeated attribute: the first is read and removed, the second stays over.
    AttributeReader reader(u"<P ALIGN=left ALIGN=right>"_s);
    QCOMPARE(reader.text(u"ALIGN"), u"left"_s);
    QCOMPARE(reader.leftovers(), u"ALIGN=right"_s);
    QVERIFY(reader.has(u"ALIGN"));
    QVERIFY(!reader.has(u"ALIGN", true));
}

void TestElementContract::fontTag_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("face");
    QTest::addColumn<QString>("sign");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("colorOn");
    QTest::addColumn<int>("color");
    QTest::addColumn<QString>("leftovers");

    QTest::newRow("classColourSignedSize") << u"<FONT CLASS=x COLOR=red SIZE=+2>"_s << QString()
                                           << u"+"_s << u"2"_s << true << 0x0000FF
                                           << u"CLASS=x"_s;
    QTest::newRow("faceAndPlainSize") << u"<font face=\"Times New Roman\" size=3>"_s
                                      << u"Times New Roman"_s << QString() << u"3"_s << false
                                      << 0xFFFFFF << QString();
    QTest::newRow("minusSign") << u"<FONT SIZE=-1>"_s << QString() << u"-"_s << u"1"_s << false
                               << 0xFFFFFF << QString();
    QTest::newRow("unreadableColourKept") << u"<FONT COLOR=orange>"_s << QString() << QString()
                                          << QString() << false << 0xFFFFFF
                                          << u"COLOR=orange"_s;
}

void TestElementContract::fontTag()
{
    QFETCH(QString, tag);
    QFETCH(QString, face);
    QFETCH(QString, sign);
    QFETCH(QString, size);
    QFETCH(bool, colorOn);
    QFETCH(int, color);
    QFETCH(QString, leftovers);
    const TagRead<FontFields> read = readFontTag(tag);
    QVERIFY(read.ok());
    QCOMPARE(read.fields.face, face);
    QCOMPARE(read.fields.sizeSign, sign);
    QCOMPARE(read.fields.size, size);
    QCOMPARE(read.fields.color, (Toggled<ColorValue>{colorOn, ColorValue(color)}));
    QCOMPARE(read.leftovers, leftovers);
}

void TestElementContract::linkAndAnchor_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<bool>("anchor");
    QTest::addColumn<QString>("href");
    QTest::addColumn<QString>("target");

    QTest::newRow("link") << u"<A HREF=\"x.htm\" TARGET=_blank>"_s << false << u"x.htm"_s
                          << u"_blank"_s;
    QTest::newRow("anchor") << u"<A NAME=\"top\">"_s << true << QString() << QString();
    QTest::newRow("anchorLowerCase") << u"<a name=top href=x>"_s << true << u"x"_s << QString();
    // NAME inside a value does not make a link an anchor.
    QTest::newRow("nameInValue") << u"<A HREF=\"names.htm\">"_s << false << u"names.htm"_s
                                 << QString();
}

void TestElementContract::linkAndAnchor()
{
    QFETCH(QString, tag);
    QFETCH(bool, anchor);
    QFETCH(QString, href);
    QFETCH(QString, target);
    QCOMPARE(isAnchorTag(tag), anchor);
    const TagRead<LinkFields> read = readLinkTag(tag);
    QCOMPARE(read.fields.href, href);
    QCOMPARE(read.fields.target, target);
}

void TestElementContract::metaTag()
{
    const TagRead<MetaFields> read =
        readMetaTag(u"<META HTTP-EQUIV=\"refresh\" CONTENT=\"5; URL=a.htm\" SCHEME=x>"_s);
    QCOMPARE(read.fields.httpEquiv, u"refresh"_s);
    QCOMPARE(read.fields.content, u"5; URL=a.htm"_s);
    QVERIFY(read.fields.name.isEmpty());
    QVERIFY(read.fields.beforeHead);
    QCOMPARE(read.leftovers, u"SCHEME=x"_s);
    // The composed tag with the leftovers, as F7 writes it back.
    QCOMPARE(::withLeftovers(composeMeta(read.fields).opening, read.leftovers),
             u"<META  CONTENT=\"5; URL=a.htm\" HTTP-EQUIV=\"refresh\" SCHEME=x>"_s);
}

BRISKO_TEST_MAIN(TestElementContract)
#include "tst_elementcontract.moc"
