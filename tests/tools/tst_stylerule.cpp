#include "support/TestMain.h"

#include "markup/TextFile.h"
#include "preview/WebBrowser.h"
#include "tools/StyleRule.h"
#include "dialogs/ColorCombo.h"
#include "tools/Stylemaker.h"

#include <QCheckBox>
#include <QComboBox>

#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The style builder's rule, sample element and sample page as pure functions.
class TestStyleRule : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void declarations_data();
    void declarations();
    void sampleElement_data();
    void sampleElement();
    void ruleAndPage();
    void sampleFileIsPrivate();
    void builderShowsEveryTabAndNoEmptyArea();
    void builderFieldsLiveInTheirRowsBoxes();
};

void TestStyleRule::declarations_data()
{
    QTest::addColumn<StyleFields>("fields");
    QTest::addColumn<QString>("block");

    QTest::newRow("nothing") << StyleFields{} << QString();
    StyleFields alignAndColor;
    alignAndColor.text[2] = u"center"_s;
    alignAndColor.color = {true, 0x0000FF};
    // The label's own trailing blank stands before the colon.
    QTest::newRow("alignmentPlusColour") << alignAndColor
                                         << u"text-align :center;\r\ncolor:#FF0000;\r\n"_s;
    StyleFields colourOff;
    colourOff.backgroundColor = {false, 0x00FF00};
    QTest::newRow("colourWithoutItsBox") << colourOff << QString();
    StyleFields onlyStyle;
    onlyStyle.edges[0].style = u"solid"_s;
    QTest::newRow("edgeWithOnlyAStyle") << onlyStyle << u"border-top: solid ;\r\n"_s;
    StyleFields onlyWidth;
    onlyWidth.edges[1].width = u"thin"_s;
    QTest::newRow("edgeWithOnlyAWidth") << onlyWidth << u"border-bottom:thin  ;\r\n"_s;
    StyleFields edgeColour;
    edgeColour.edges[3].color = {true, 0xFF0000};
    QTest::newRow("edgeWithOnlyAColour") << edgeColour << u"border-left:  #0000FF;\r\n"_s;
    StyleFields twoStyles;
    twoStyles.borderStyleLower = u"dotted"_s;
    twoStyles.borderStyleRight = u"double"_s;
    QTest::newRow("bothBorderStylesLowerFirst")
        << twoStyles << u"border-style:dotted;\r\nborder-style:double;\r\n"_s;
    StyleFields order;
    order.classification[2] = u"disc"_s;
    order.placement[0] = u"auto"_s;
    order.text[6] = u"Arial "_s; // values go in unchanged, trailing blanks included
    QTest::newRow("rowOrder") << order
                              << u"font-family :Arial ;\r\nmargin-top:auto;\r\nlist-style-type:disc;\r\n"_s;
}

void TestStyleRule::declarations()
{
    QFETCH(StyleFields, fields);
    QFETCH(QString, block);
    QCOMPARE(composeDeclarations(fields), block);
}

void TestStyleRule::sampleElement_data()
{
    QTest::addColumn<QString>("selector");
    QTest::addColumn<QString>("element");

    QTest::newRow("element") << u" B "_s << u"<B >M</B>"_s;
    QTest::newRow("classOnly") << u".x"_s << u"<SPAN CLASS=\"x\">M</SPAN>"_s;
    QTest::newRow("elementWithClass") << u"B.x"_s << u"<B  CLASS=\"x\">M</B>"_s;
    QTest::newRow("linkGetsEmptyHref") << u"A"_s << u"<A  HREF=\"\">M</A>"_s;
    QTest::newRow("imageWithClass") << u"IMG.big"_s << u"<IMG  SRC=\"\" CLASS=\"big\">M</IMG>"_s;
    // The extra attribute compares case-sensitively.
    QTest::newRow("lowerCaseLink") << u"a"_s << u"<a >M</a>"_s;
}

void TestStyleRule::sampleElement()
{
    QFETCH(QString, selector);
    QFETCH(QString, element);
    QCOMPARE(styleSampleElement(selector, u"M"_s), element);
}

void TestStyleRule::ruleAndPage()
{
    QCOMPARE(composeStyleRule(u"H1"_s, QString()), u"H1\r\n{}\r\n"_s);
    QCOMPARE(composeStyleRule(u"H1"_s, u"color:#000000;\r\n"_s),
             u"H1\r\n{color:#000000;\r\n}\r\n"_s);
    QCOMPARE(styleSamplePage(u".x"_s, u"float:left;\r\n"_s, u"T"_s),
             u"<HTML><HEAD><TITLE>Pokusný dokument</TITLE></HEAD><STYLE>\r\n.x{float:left;\r\n}"
             u"\r\n</STYLE><BODY><SPAN CLASS=\"x\">T</SPAN></BODY></HTML>"_s);
}

void TestStyleRule::sampleFileIsPrivate()
{
    const QString page = u"<HTML>žluťoučký</HTML>"_s;
    const QString path = writeStyleSample(page);
    QVERIFY(path.startsWith(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)));
    QVERIFY(path.startsWith(TestEnvironment::root()));
    const TextFileResult read = readTextFile(path);
    QVERIFY(read.ok);
    QCOMPARE(read.text, page);
}

void TestStyleRule::builderShowsEveryTabAndNoEmptyArea()
{
    TStyleForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.width(), 620);
    QTabBar *tabs = form.PageControl1->tabBar();
    QCOMPARE(tabs->count(), 6);
    // All six side by side, without the scroll arrows of a bar that is too narrow.
    QVERIFY2(tabs->tabRect(5).right() < form.PageControl1->width(),
             qPrintable(QString::number(tabs->tabRect(5).right())));
    for (QToolButton *arrow : tabs->findChildren<QToolButton *>())
        QVERIFY(!arrow->isVisible());
    // Until there is a tag name there is no sample to show: the sample text takes the
    // browser's room.
    QVERIFY(!form.WebBrowser1->isVisible());
    QVERIFY(form.Memo1->height() > 200);
}

// Every declaration row has a value of its own: each lands in the box of its row and comes
// back from it, so no two rows share a box and none is left out.
void TestStyleRule::builderFieldsLiveInTheirRowsBoxes()
{
    StyleFields f;
    for (size_t i = 0; i < f.text.size(); ++i)
        f.text[i] = u"t"_s + QString::number(i);
    for (size_t i = 0; i < f.placement.size(); ++i)
        f.placement[i] = u"p"_s + QString::number(i);
    for (size_t i = 0; i < f.edges.size(); ++i)
        f.edges[i] = {u"w"_s + QString::number(i), u"s"_s + QString::number(i),
                      {i % 2 == 1, ColorValue(0x10 + i)}};
    for (size_t i = 0; i < f.classification.size(); ++i)
        f.classification[i] = u"c"_s + QString::number(i);
    f.color = {true, 0x0000FF};
    f.backgroundColor = {false, 0x00FF00};
    f.borderWidth = u"bw"_s;
    f.borderStyleLower = u"bl"_s;
    f.borderStyleRight = u"br"_s;

    TStyleForm form;
    form.setFields(f);
    QCOMPARE(form.TextBoxes[12]->currentText(), u"t12"_s);
    QCOMPARE(form.PlacementBoxes[11]->currentText(), u"p11"_s);
    QCOMPARE(form.ClassificationBoxes[2]->currentText(), u"c2"_s);
    QCOMPARE(form.EdgeStyles[3]->currentText(), u"s3"_s);
    QVERIFY(form.EdgeColorBoxes[3]->isChecked());
    QVERIFY(!form.EdgeColorBoxes[2]->isChecked());
    QCOMPARE(form.EdgeColors[3]->color(), toQColor(0x13));
    QCOMPARE(form.BorderStyleLower->currentText(), u"bl"_s);
    QVERIFY(form.CheckBox1->isChecked());
    QVERIFY(!form.CheckBox2->isChecked());
    QCOMPARE(form.ColorCombo2->color(), toQColor(0x00FF00));
    QCOMPARE(form.declarations(), composeDeclarations(f));
}

BRISKO_TEST_MAIN(TestStyleRule)
#include "tst_stylerule.moc"
