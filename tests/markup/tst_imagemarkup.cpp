#include "support/TestMain.h"

#include "markup/ImageMarkup.h"

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ImageFields)

// The image tag, its reading back, and the map names a page offers.
class TestImageMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void compose_data();
    void compose();
    void read_data();
    void read();
    void mapNames_data();
    void mapNames();
};

void TestImageMarkup::compose_data()
{
    QTest::addColumn<ImageFields>("fields");
    QTest::addColumn<QString>("opening");

    // The trailing space of "<IMG " stays.
    QTest::newRow("nothing") << ImageFields{} << u"<IMG >"_s;
    ImageFields measured;
    measured.src = u"obr/a.gif"_s;
    measured.width = {true, 80};
    measured.height = {true, 33};
    QTest::newRow("measured") << measured << u"<IMG  SRC=\"obr/a.gif\" WIDTH=80 HEIGHT=33>"_s;
    ImageFields widthOnly;
    widthOnly.width = {true, 12};
    QTest::newRow("widthOnly") << widthOnly << u"<IMG  WIDTH=12>"_s;
    ImageFields zeroBorder;
    zeroBorder.border = {true, 0};
    QTest::newRow("borderSetBackToZero") << zeroBorder << u"<IMG  BORDER=0>"_s;
    ImageFields all;
    all.src = u"a.png"_s;
    all.align = u"left"_s;
    all.alt = u"Logo"_s;
    all.useMap = u"#nav"_s;
    all.isMap = true;
    all.width = {true, 1};
    all.height = {true, 2};
    all.vspace = {true, 3};
    all.hspace = {true, 4};
    all.border = {true, 5};
    QTest::newRow("allInOrder")
        << all
        << u"<IMG  SRC=\"a.png\" ALIGN=left ALT=\"Logo\" USEMAP=\"#nav\" WIDTH=1 HEIGHT=2 "
           u"VSPACE=3 HSPACE=4 BORDER=5 ISMAP >"_s;
}

void TestImageMarkup::compose()
{
    QFETCH(ImageFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeImage(fields), (Markup{opening, QString()}));
    const auto read = readImageTag(opening);
    QVERIFY(read.ok());
    QVERIFY(read.leftovers.isEmpty());
    QCOMPARE(composeImage(read.fields).opening, opening);
}

void TestImageMarkup::read_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("leftovers");
    QTest::addColumn<QString>("error");

    QTest::newRow("widthAndBorder") << u"<IMG WIDTH=800 BORDER=0>"_s
                                    << u"<IMG  WIDTH=800 BORDER=0>"_s << QString() << QString();
    // ISMAP is read first and only as the bare word.
    QTest::newRow("ismapAndUnknown") << u"<img ismap src='x' ID=i>"_s
                                     << u"<IMG  SRC=\"x\" ISMAP >"_s << u"ID=i"_s << QString();
    QTest::newRow("ismapInsideAltStays") << u"<IMG ALT=\"ISMAP\">"_s
                                         << u"<IMG  ALT=\"ISMAP\">"_s << QString() << QString();
    QTest::newRow("percentWidth") << u"<IMG SRC=\"a.gif\" WIDTH=50%>"_s << QString() << QString()
                                  << u"Hodnota '50%' není celé číslo."_s;
}

void TestImageMarkup::read()
{
    QFETCH(QString, tag);
    QFETCH(QString, expected);
    QFETCH(QString, leftovers);
    QFETCH(QString, error);
    const auto read = readImageTag(tag);
    QCOMPARE(read.error, error);
    if (!error.isEmpty())
        return;
    QCOMPARE(composeImage(read.fields).opening, expected);
    QCOMPARE(read.leftovers, leftovers);
}

void TestImageMarkup::mapNames_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("names");

    QTest::newRow("none") << u"<IMG SRC=a.gif>"_s << QStringList();
    // Names keep their case and duplicates stay, in document order.
    QTest::newRow("caseAndDuplicates")
        << u"<MAP NAME=\"nav\"></MAP>\r\n<map name=Nav>\r\n<MAP NAME=nav>"_s
        << QStringList{u"#nav"_s, u"#Nav"_s, u"#nav"_s};
    QTest::newRow("mapWithoutName") << u"<MAP ID=x><MAP\tNAME=b>"_s << QStringList{u"#b"_s};
    QTest::newRow("mapperIsNoMap") << u"<MAPPER NAME=x>"_s << QStringList();
    QTest::newRow("unclosedLast") << u"<MAP NAME=end"_s << QStringList{u"#end"_s};
}

void TestImageMarkup::mapNames()
{
    QFETCH(QString, text);
    QFETCH(QStringList, names);
    QCOMPARE(imageMapNames(text), names);
}

BRISKO_TEST_MAIN(TestImageMarkup)
#include "tst_imagemarkup.moc"
