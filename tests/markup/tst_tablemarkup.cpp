#include "support/TestMain.h"

#include "markup/TableMarkup.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TableFields)
Q_DECLARE_METATYPE(RowFields)
Q_DECLARE_METATYPE(CellFields)

namespace {
constexpr ColorValue Red = 0x0000FF;
constexpr ColorValue Blue = 0xFF0000;
} // namespace

// The table window's compositions and their reading back by edit-current-tag.
class TestTableMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void table_data();
    void table();
    void widthIsWrittenAsTyped();
    void row_data();
    void row();
    void cell_data();
    void cell();
    void readKeepsWhatTheTagDoesNotSet();
    void readErrorsAndLeftovers_data();
    void readErrorsAndLeftovers();
};

void TestTableMarkup::table_data()
{
    QTest::addColumn<TableFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("empty") << TableFields{} << u"<TABLE>"_s;
    TableFields example;
    example.border = {true, 1};
    example.width = u"100%"_s;
    example.align = u"center"_s;
    example.bgColor = {true, Red};
    QTest::newRow("example") << example
                             << u"<TABLE BORDER=1 WIDTH=100% ALIGN=center BGCOLOR=\"#FF0000\">"_s;
    // Every attribute, in the order the window writes them; padding keeps its old spelling.
    TableFields all;
    all.border = {true, -2};
    all.cellSpacing = {true, 3};
    all.cellPadding = {true, 4};
    all.width = u"80%"_s;
    all.background = u"a.gif"_s;
    all.frame = u"box"_s;
    all.align = u"right "_s;
    all.bgColor = {true, 0};
    all.borderColor = {true, Red};
    all.borderColorDark = {true, Blue};
    all.borderColorLight = {true, 0xFFFFFF};
    QTest::newRow("allInOrder")
        << all
        << u"<TABLE BORDER=-2 CELLSPACING=3 CELLSPADING=4 WIDTH=80% BACKGROUND=\"a.gif\" "
           u"FRAME=box ALIGN=right  BGCOLOR=\"#000000\" BORDERCOLOR=\"#FF0000\" "
           u"BORDERCOLORDARK=\"#0000FF\" BORDERCOLORLIGHT=\"#FFFFFF\">"_s;
    // A cleared check box leaves the attribute out although the value is kept.
    TableFields cleared;
    cleared.border = {false, 5};
    QTest::newRow("clearedBoxKeepsValueOut") << cleared << u"<TABLE>"_s;
}

void TestTableMarkup::widthIsWrittenAsTyped()
{
    TableFields spaced;
    spaced.width = u"80 %"_s;
    QCOMPARE(composeTable(spaced).opening, u"<TABLE WIDTH=80 %>"_s);
}

void TestTableMarkup::table()
{
    QFETCH(TableFields, fields);
    QFETCH(QString, opening);
    const Markup markup = composeTable(fields);
    QCOMPARE(markup.opening, opening);
    QCOMPARE(markup.closing, u"\r\n</TABLE>"_s);
    const auto read = readTableTag(opening);
    QVERIFY(read.ok());
    // Read back, an item's trailing space is gone; everything else comes back as written.
    QCOMPARE(composeTable(read.fields).opening, opening.replace(u"right  "_s, u"right "_s));
}

void TestTableMarkup::row_data()
{
    QTest::addColumn<RowFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("empty") << RowFields{} << u"<TR>"_s;
    // The row writes its background first, before the alignments.
    RowFields all;
    all.align = u"left"_s;
    all.valign = u"TOP"_s;
    all.background = u"r.gif"_s;
    all.bgColor = {true, Red};
    all.borderColorLight = {true, Blue};
    QTest::newRow("backgroundFirst")
        << all
        << u"<TR BACKGROUND=\"r.gif\" ALIGN=left VALIGN=TOP BGCOLOR=\"#FF0000\" "
           u"BORDERCOLORLIGHT=\"#0000FF\">"_s;
}

void TestTableMarkup::row()
{
    QFETCH(RowFields, fields);
    QFETCH(QString, opening);
    const Markup markup = composeRow(fields);
    QCOMPARE(markup.opening, opening);
    QCOMPARE(markup.closing, u"</TR>"_s);
    QCOMPARE(composeRow(readRowTag(opening).fields).opening, opening);
}

void TestTableMarkup::cell_data()
{
    QTest::addColumn<CellFields>("fields");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("opening");

    QTest::newRow("emptyTd") << CellFields{} << u"TD"_s << u"<TD>"_s;
    QTest::newRow("emptyTh") << CellFields{} << u"TH"_s << u"<TH>"_s;
    // Width and the spans come after the alignments, the colours last.
    CellFields all;
    all.align = u"center"_s;
    all.valign = u"BASELINE"_s;
    all.background = u"c.png"_s;
    all.width = u"50%"_s;
    all.colSpan = {true, 2};
    all.rowSpan = {true, 0};
    all.borderColor = {true, Red};
    QTest::newRow("allTh")
        << all << u"TH"_s
        << u"<TH BACKGROUND=\"c.png\" ALIGN=center VALIGN=BASELINE WIDTH=50% COLSPAN=2 "
           u"ROWSPAN=0 BORDERCOLOR=\"#FF0000\">"_s;
}

void TestTableMarkup::cell()
{
    QFETCH(CellFields, fields);
    QFETCH(QString, kind);
    QFETCH(QString, opening);
    const Markup markup = composeCell(fields, kind);
    QCOMPARE(markup.opening, opening);
    QCOMPARE(markup.closing, u"</"_s + kind + u'>');
    QCOMPARE(composeCell(readCellTag(opening).fields, kind).opening, opening);
}

void TestTableMarkup::readKeepsWhatTheTagDoesNotSet()
{
    CellFields open;
    open.align = u"left"_s;
    open.colSpan = {true, 3};
    const auto read = readCellTag(u"<TD BORDERCOLORLIGHT=red WIDTH=10>", open);
    QCOMPARE(read.fields.align, u"left"_s);
    QCOMPARE(read.fields.colSpan, (Toggled<int>{true, 3}));
    QCOMPARE(read.fields.width, u"10"_s);
    QCOMPARE(read.fields.borderColorLight, (Toggled<ColorValue>{true, Red}));
    QVERIFY(!read.fields.borderColor.on);
}

void TestTableMarkup::readErrorsAndLeftovers_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("leftovers");

    QTest::newRow("percentBorder") << u"<TABLE BORDER=50%>"_s
                                   << u"Hodnota '50%' není celé číslo."_s << QString();
    // The usual spelling is not the window's: it stays among the leftovers.
    QTest::newRow("cellpaddingIsLeftOver") << u"<TABLE CELLPADDING=2 BORDER=1>"_s << QString()
                                           << u"CELLPADDING=2"_s;
    // BORDER= must not be taken from BORDERCOLOR=.
    QTest::newRow("borderColorIsNotBorder") << u"<TABLE BORDERCOLOR=#00FF00 ID=t>"_s
                                            << QString() << u"ID=t"_s;
    QTest::newRow("unreadableColourStays") << u"<TABLE BGCOLOR=rgb(1,2,3)>"_s << QString()
                                           << u"BGCOLOR=rgb(1,2,3)"_s;
}

void TestTableMarkup::readErrorsAndLeftovers()
{
    QFETCH(QString, tag);
    QFETCH(QString, error);
    QFETCH(QString, leftovers);
    const auto read = readTableTag(tag);
    QCOMPARE(read.error, error);
    if (error.isEmpty())
        QCOMPARE(read.leftovers, leftovers);
}

BRISKO_TEST_MAIN(TestTableMarkup)
#include "tst_tablemarkup.moc"
