#include "support/TestMain.h"

#include "markup/PageMarkup.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(BodyFields)

// The new page's BODY tag and its reading back.
class TestPageMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void body_data();
    void body();
    void readBody_data();
    void readBody();
};

void TestPageMarkup::body_data()
{
    QTest::addColumn<BodyFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothing") << BodyFields{} << u"<BODY >"_s;
    BodyFields fixed;
    fixed.fixedBackground = true;
    QTest::newRow("onlyFixed") << fixed << u"<BODY  BGPROPERTIES=FIXED>"_s;
    BodyFields all;
    all.bgColor.on = true;
    all.text = {true, 0};
    all.link = {true, 0x0000FF};
    all.aLink = {true, 0x00FF00};
    all.vLink = {true, 0xFF0000};
    all.topMargin = {true, 1};
    all.bottomMargin = {true, 2};
    all.rightMargin = {true, 3};
    all.leftMargin = {true, -4};
    all.background = u"bg.gif"_s;
    all.fixedBackground = true;
    QTest::newRow("allInOrder")
        << all
        << u"<BODY  BGCOLOR=\"#FFFFFF\" TEXT=\"#000000\" LINK=\"#FF0000\" ALINK=\"#00FF00\" "
           u"VLINK=\"#0000FF\" TOPMARGIN=1 BOTTOMMARGIN=2 RIGHTMARGIN=3 LEFTMARGIN=-4 "
           u"BACKGROUND=\"bg.gif\" BGPROPERTIES=FIXED>"_s;
}

void TestPageMarkup::body()
{
    QFETCH(BodyFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeBody(fields), (Markup{opening, u"</BODY>"_s}));
    const auto read = readBodyTag(opening);
    QVERIFY(read.ok());
    QVERIFY(read.leftovers.isEmpty());
    QCOMPARE(composeBody(read.fields).opening, opening);
}

void TestPageMarkup::readBody_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("leftovers");

    // ALINK is not LINK.
    QTest::newRow("alinkOnly") << u"<BODY ALINK=red>"_s << u"<BODY  ALINK=\"#FF0000\">"_s
                               << QString();
    // Any BGPROPERTIES value ticks the fixed background and is dropped.
    QTest::newRow("bgpropertiesValueDropped") << u"<BODY bgproperties=\"scroll\" ONLOAD=x()>"_s
                                              << u"<BODY  BGPROPERTIES=FIXED>"_s << u"ONLOAD=x()"_s;
    QTest::newRow("unreadableTextColourStays") << u"<BODY TEXT=blau>"_s << u"<BODY >"_s
                                               << u"TEXT=blau"_s;
}

void TestPageMarkup::readBody()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QFETCH(QString, leftovers);
    const auto read = readBodyTag(tag);
    QVERIFY(read.ok());
    QCOMPARE(composeBody(read.fields).opening, expected);
    QCOMPARE(read.leftovers, leftovers);
}

BRISKO_TEST_MAIN(TestPageMarkup)
#include "tst_pagemarkup.moc"
