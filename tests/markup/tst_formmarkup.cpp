#include "support/TestMain.h"

#include "markup/FormMarkup.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(InputFields)
Q_DECLARE_METATYPE(FormFields)
Q_DECLARE_METATYPE(SelectFields)
Q_DECLARE_METATYPE(TextAreaFields)

// The form controls composed from their fields, and read back from start tags.
class TestFormMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void inputMarkup_data();
    void inputMarkup();
    void formMarkup_data();
    void formMarkup();
    void selectMarkup_data();
    void selectMarkup();
    void textAreaMarkup_data();
    void textAreaMarkup();

    void readInput_data();
    void readInput();
    void readForm();
    void readSelect_data();
    void readSelect();
    void readTextArea_data();
    void readTextArea();
};

void TestFormMarkup::inputMarkup_data()
{
    QTest::addColumn<InputFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothingChanged") << InputFields{} << u"<INPUT >"_s;
    InputFields text;
    text.type = u"TEXT"_s;
    text.name = u"q"_s;
    QTest::newRow("typeAndName") << text << u"<INPUT  TYPE=\"TEXT\" NAME=\"q\">"_s;
    InputFields flags;
    flags.enabled = false;
    flags.readOnly = true;
    QTest::newRow("disabledReadOnly") << flags << u"<INPUT  DISABLED READONLY>"_s;
    InputFields all{u"IMAGE"_s, u"img/a.gif"_s, u"Obrázek"_s, u"v"_s, u"t"_s,
                    u"n"_s,     u"left"_s,      {true, 3},    {true, 250}, {true, 40},
                    false,      true};
    QTest::newRow("everyFieldInItsOrder")
        << all
        << u"<INPUT  TYPE=\"IMAGE\" URL=\"img/a.gif\" ALT=\"Obrázek\" VALUE=\"v\" TITLE=\"t\" "
           u"NAME=\"n\" ALIGN=\"left\" TABINDEX=3 MAXLENGTH=250 SIZE=40 DISABLED READONLY>"_s;
    InputFields switchedOff;
    switchedOff.size = {false, 12};
    QTest::newRow("numberWithItsBoxCleared") << switchedOff << u"<INPUT >"_s;
    InputFields zero;
    zero.tabIndex = {true, 0};
    QTest::newRow("zeroWithItsBoxTicked") << zero << u"<INPUT  TABINDEX=0>"_s;
    InputFields blanks;
    blanks.value = u"a b "_s;
    QTest::newRow("valueKeepsItsBlanks") << blanks << u"<INPUT  VALUE=\"a b \">"_s;
}

void TestFormMarkup::inputMarkup()
{
    QFETCH(InputFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeInput(fields), (Markup{opening, QString()}));
}

void TestFormMarkup::formMarkup_data()
{
    QTest::addColumn<FormFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothingChanged") << FormFields{} << u"<FORM >\r\n"_s;
    QTest::newRow("postWithoutName")
        << FormFields{{}, u"POST"_s, {}, {}, {}} << u"<FORM  METHOD=\"POST\">\r\n"_s;
    QTest::newRow("everyField")
        << FormFields{u"f"_s, u"GET"_s, u"/cgi-bin/hledej"_s, u"Hledání"_s, u"_blank"_s}
        << u"<FORM  NAME=\"f\" METHOD=\"GET\" ACTION=\"/cgi-bin/hledej\" TITLE=\"Hledání\" "
           u"TARGET=\"_blank\">\r\n"_s;
}

void TestFormMarkup::formMarkup()
{
    QFETCH(FormFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeForm(fields), (Markup{opening, u"\r\n</FORM>"_s}));
}

void TestFormMarkup::selectMarkup_data()
{
    QTest::addColumn<SelectFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothingChanged") << SelectFields{} << u"<SELECT >\r\n"_s;
    SelectFields list;
    list.size = {true, 5};
    list.multiple = true;
    QTest::newRow("sizeAndListBox") << list << u"<SELECT  SIZE=5 MULTIPLE>\r\n"_s;
    QTest::newRow("alignBeforeName")
        << SelectFields{u"s"_s, u"middle"_s, {true, 120}, {true, 5}, false, true}
        << u"<SELECT  ALIGN=\"middle\" NAME=\"s\" TABINDEX=120 SIZE=5 DISABLED MULTIPLE>\r\n"_s;
}

void TestFormMarkup::selectMarkup()
{
    QFETCH(SelectFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeSelect(fields), (Markup{opening, u"\r\n</SELECT>"_s}));
}

void TestFormMarkup::textAreaMarkup_data()
{
    QTest::addColumn<TextAreaFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothingChanged") << TextAreaFields{} << u"<TEXTAREA >\r\n"_s;
    TextAreaFields size;
    size.rows = {true, 5};
    size.cols = {true, 40};
    QTest::newRow("rowsBeforeCols") << size << u"<TEXTAREA  ROWS=5 COLS=40>\r\n"_s;
    QTest::newRow("everyField")
        << TextAreaFields{u"t"_s, u"left"_s, {true, 400}, {true, 10}, {true, 1}, true}
        << u"<TEXTAREA  ALIGN=\"left\" NAME=\"t\" TABINDEX=1 ROWS=10 COLS=400 READONLY>\r\n"_s;
}

void TestFormMarkup::textAreaMarkup()
{
    QFETCH(TextAreaFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeTextArea(fields), (Markup{opening, u"\r\n</TEXTAREA>"_s}));
}

void TestFormMarkup::readInput_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<InputFields>("fields");
    QTest::addColumn<QString>("leftovers");
    QTest::addColumn<QString>("error");

    InputFields text;
    text.type = u"text"_s;
    text.name = u"q"_s;
    text.size = {true, 120};
    text.enabled = false;
    QTest::newRow("textsNumberAndFlag")
        << u"<INPUT TYPE=text NAME=\"q\" SIZE=120 DISABLED>"_s << text << QString() << QString();
    InputFields named;
    named.name = u"disabled_x"_s;
    QTest::newRow("flagWordInsideAName")
        << u"<INPUT NAME=\"disabled_x\">"_s << named << QString() << QString();
    InputFields quoted;
    quoted.value = u"a READONLY b"_s;
    QTest::newRow("flagInsideQuotedValue")
        << u"<INPUT VALUE=\"a READONLY b\">"_s << quoted << QString() << QString();
    InputFields check;
    check.type = u"checkbox"_s;
    check.readOnly = true;
    check.id = u"c"_s; // the ID a label ties to is a field now
    QTest::newRow("unknownAttributesStay")
        << u"<input type=checkbox CHECKED readonly id=c data-x=1>"_s << check << u"CHECKED data-x=1"_s
        << QString();
    InputFields spaced;
    spaced.maxLength = {true, 1000};
    QTest::newRow("blanksInsideNumber")
        << u"<INPUT MAXLENGTH=\" 1 000\">"_s << spaced << QString() << QString();
    QTest::newRow("percentIsNoNumber")
        << u"<INPUT SIZE=20%>"_s << InputFields{} << QString()
        << u"Hodnota '20%' není celé číslo."_s;
    InputFields all{u"IMAGE"_s, u"a.gif"_s, u"A"_s, u"v"_s, u"t"_s, u"n"_s, u"left"_s,
                    {true, 3}, {true, 8}, {true, 9}, true, false};
    QTest::newRow("everyAttribute")
        << u"<INPUT TYPE=IMAGE URL=a.gif ALT=A VALUE=v TITLE=t NAME=n ALIGN=left TABINDEX=3 "
           u"MAXLENGTH=8 SIZE=9>"_s
        << all << QString() << QString();
}

void TestFormMarkup::readInput()
{
    QFETCH(QString, tag);
    QFETCH(InputFields, fields);
    QFETCH(QString, leftovers);
    QFETCH(QString, error);
    const TagRead<InputFields> read = readInputTag(tag);
    QCOMPARE(read.error, error);
    if (!error.isEmpty())
        return;
    QVERIFY(read.fields == fields);
    QCOMPARE(read.leftovers, leftovers);
}

void TestFormMarkup::readForm()
{
    const TagRead<FormFields> read =
        readFormTag(u"<FORM ACTION=\"/cgi\" method=post NAME=f enctype=\"text/plain\">"_s);
    QVERIFY(read.ok());
    QVERIFY(read.fields == (FormFields{u"f"_s, u"post"_s, u"/cgi"_s, {}, {}}));
    QCOMPARE(read.leftovers, u"enctype=\"text/plain\""_s);
}

void TestFormMarkup::readSelect_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<SelectFields>("fields");
    QTest::addColumn<QString>("leftovers");

    SelectFields list{u"s"_s, {}, {}, {true, 5}, true, true};
    QTest::newRow("multipleWithScript")
        << u"<SELECT NAME=s MULTIPLE SIZE=5 onchange=\"go()\">"_s << list
        << u"onchange=\"go()\""_s;
    SelectFields big{{}, u"left"_s, {true, 150}, {}, false, false};
    QTest::newRow("disabledAndTabIndexAbove99")
        << u"<SELECT ALIGN=left DISABLED TABINDEX=150>"_s << big << QString();
    SelectFields quoted{u"MULTIPLE"_s, {}, {}, {}, true, false};
    QTest::newRow("flagAsValue") << u"<SELECT NAME=\"MULTIPLE\">"_s << quoted << QString();
}

void TestFormMarkup::readSelect()
{
    QFETCH(QString, tag);
    QFETCH(SelectFields, fields);
    QFETCH(QString, leftovers);
    const TagRead<SelectFields> read = readSelectTag(tag);
    QVERIFY(read.ok());
    QVERIFY(read.fields == fields);
    QCOMPARE(read.leftovers, leftovers);
}

void TestFormMarkup::readTextArea_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<TextAreaFields>("fields");
    QTest::addColumn<QString>("leftovers");

    TextAreaFields wrap;
    wrap.name = u"t"_s;
    QTest::newRow("wrapStays") << u"<TEXTAREA NAME=t WRAP=soft>"_s << wrap << u"WRAP=soft"_s;
    TextAreaFields size{{}, {}, {true, 140}, {true, 5}, {true, 2}, true};
    QTest::newRow("numbersAndReadOnly")
        << u"<TEXTAREA ROWS=5 COLS=140 READONLY TABINDEX=2>"_s << size << QString();
}

void TestFormMarkup::readTextArea()
{
    QFETCH(QString, tag);
    QFETCH(TextAreaFields, fields);
    QFETCH(QString, leftovers);
    const TagRead<TextAreaFields> read = readTextAreaTag(tag);
    QVERIFY(read.ok());
    QVERIFY(read.fields == fields);
    QCOMPARE(read.leftovers, leftovers);
}

BRISKO_TEST_MAIN(TestFormMarkup)
#include "tst_formmarkup.moc"
