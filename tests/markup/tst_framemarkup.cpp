#include "support/TestMain.h"

#include "markup/FrameMarkup.h"

#include <QFile>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(FrameSetFields)
Q_DECLARE_METATYPE(FrameFields)

namespace {

FrameFields withSource(const QString &src)
{
    FrameFields fields;
    fields.src = src;
    return fields;
}

} // namespace

// Frame sets, frames and inline frames composed and read back, and the generator's pages.
class TestFrameMarkup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frameSetMarkup_data();
    void frameSetMarkup();
    void frameMarkup_data();
    void frameMarkup();
    void readFrameSet_data();
    void readFrameSet();
    void readFrame_data();
    void readFrame();
    void generatorPages_data();
    void generatorPages();
    void noPageForOtherNumbers();
};

void TestFrameMarkup::frameSetMarkup_data()
{
    QTest::addColumn<FrameSetFields>("fields");
    QTest::addColumn<QString>("opening");

    QTest::newRow("nothingChanged")
        << FrameSetFields{} << u"<FRAMESET  FRAMEBORDER=YES SCROLLING=AUTO>\r\n"_s;
    QTest::newRow("everyField")
        << FrameSetFields{u"30%,*"_s, u"2"_s, {true, 1000}, false, FrameScrolling::Yes}
        << u"<FRAMESET  COLS=\"30%,*\" ROWS=\"2\" FRAMESPACING=1000 FRAMEBORDER=NO "
           u"SCROLLING=YES>\r\n"_s;
    QTest::newRow("spacingZeroSwitchedOn")
        << FrameSetFields{{}, {}, {true, 0}, true, FrameScrolling::No}
        << u"<FRAMESET  FRAMESPACING=0 FRAMEBORDER=YES SCROLLING=NO>\r\n"_s;
}

void TestFrameMarkup::frameSetMarkup()
{
    QFETCH(FrameSetFields, fields);
    QFETCH(QString, opening);
    QCOMPARE(composeFrameSet(fields), (Markup{opening, u"\r\n</FRAMESET>"_s}));
}

void TestFrameMarkup::frameMarkup_data()
{
    QTest::addColumn<FrameFields>("fields");
    QTest::addColumn<QString>("attributes");

    QTest::newRow("nothingChanged") << FrameFields{} << u" FRAMEBORDER=YES SCROLLING=AUTO>"_s;
    QTest::newRow("marginsBeforeBorder")
        << FrameFields{u"a.htm"_s, u"m"_s, u"left"_s, {true, 4}, {true, 150},
                       FrameScrolling::No, false}
        << u" SRC=\"a.htm\" ALIGN=\"left\" NAME=\"m\" MARGINHEIGHT=4 MARGINWIDTH=150 "
           u"FRAMEBORDER=NO SCROLLING=NO>"_s;
    QTest::newRow("marginSwitchedOff")
        << FrameFields{{}, {}, {}, {false, 7}, {}, FrameScrolling::Yes, true}
        << u" FRAMEBORDER=YES SCROLLING=YES>"_s;
}

void TestFrameMarkup::frameMarkup()
{
    QFETCH(FrameFields, fields);
    QFETCH(QString, attributes);
    QCOMPARE(composeFrame(fields), (Markup{u"  <FRAME "_s + attributes + u"\r\n"_s, {}}));
    // The inline frame takes the same pieces in the same order.
    QCOMPARE(composeInlineFrame(fields),
             (Markup{u"  <IFRAME "_s + attributes + u"\r\n"_s, u"</IFRAME>"_s}));
}

void TestFrameMarkup::readFrameSet_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<FrameSetFields>("fields");
    QTest::addColumn<QString>("leftovers");

    QTest::newRow("lowerCaseYes")
        << u"<FRAMESET SCROLLING=yes>"_s << FrameSetFields{{}, {}, {}, true, FrameScrolling::Yes}
        << QString();
    QTest::newRow("unknownScrollingIsAutomatic")
        << u"<FRAMESET SCROLLING=maybe FRAMEBORDER=NO>"_s
        << FrameSetFields{{}, {}, {}, false, FrameScrolling::Auto} << QString();
    QTest::newRow("borderOneAndZero")
        << u"<FRAMESET FRAMEBORDER=0>"_s << FrameSetFields{{}, {}, {}, false, {}} << QString();
    QTest::newRow("borderOne")
        << u"<FRAMESET FRAMEBORDER=\"1\" SCROLLING=\" no \">"_s
        << FrameSetFields{{}, {}, {}, true, FrameScrolling::No} << QString();
    QTest::newRow("unknownBorderIsNone")
        << u"<FRAMESET FRAMEBORDER=thin>"_s << FrameSetFields{{}, {}, {}, false, {}}
        << QString();
    QTest::newRow("listsSpacingAndLeftovers")
        << u"<FRAMESET COLS=\"30%,*\" ROWS=\"*,*\" FRAMESPACING=200 onload=\"x()\">"_s
        << FrameSetFields{u"30%,*"_s, u"*,*"_s, {true, 200}, true, FrameScrolling::Auto}
        << u"onload=\"x()\""_s;
    QTest::newRow("spacingAboveTheDialogsRangeStays")
        << u"<FRAMESET FRAMESPACING=2000 COLS=2>"_s
        << FrameSetFields{u"2"_s, {}, {}, true, FrameScrolling::Auto} << u"FRAMESPACING=2000"_s;
    QTest::newRow("negativeSpacingStays")
        << u"<FRAMESET FRAMESPACING=-1>"_s << FrameSetFields{} << u"FRAMESPACING=-1"_s;
}

void TestFrameMarkup::readFrameSet()
{
    QFETCH(QString, tag);
    QFETCH(FrameSetFields, fields);
    QFETCH(QString, leftovers);
    const TagRead<FrameSetFields> read = readFrameSetTag(tag);
    QVERIFY(read.ok());
    QVERIFY(read.fields == fields);
    QCOMPARE(read.leftovers, leftovers);
}

void TestFrameMarkup::readFrame_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<FrameFields>("fields");
    QTest::addColumn<QString>("leftovers");
    QTest::addColumn<QString>("error");

    QTest::newRow("everyAttributeAndNoResize")
        << u"<FRAME SRC=\"a.htm\" NAME=main ALIGN=top MARGINHEIGHT=120 MARGINWIDTH=0 "
           u"SCROLLING=NO FRAMEBORDER=no NORESIZE>"_s
        << FrameFields{u"a.htm"_s, u"main"_s, u"top"_s, {true, 120}, {true, 0},
                       FrameScrolling::No, false}
        << u"NORESIZE"_s << QString();
    QTest::newRow("inlineFrameKeepsItsSize")
        << u"<IFRAME SRC=\"a.htm\" WIDTH=100%>"_s << withSource(u"a.htm"_s)
        << u"WIDTH=100%"_s << QString();
    QTest::newRow("nameInsideSource")
        << u"<FRAME SRC=\"x.htm?NAME=y\">"_s << withSource(u"x.htm?NAME=y"_s) << QString()
        << QString();
    QTest::newRow("marginInPixels") << u"<FRAME MARGINWIDTH=5px>"_s << FrameFields{}
                                    << QString() << u"Hodnota '5px' není celé číslo."_s;
}

void TestFrameMarkup::readFrame()
{
    QFETCH(QString, tag);
    QFETCH(FrameFields, fields);
    QFETCH(QString, leftovers);
    QFETCH(QString, error);
    const TagRead<FrameFields> read = readFrameTag(tag);
    QCOMPARE(read.error, error);
    if (!error.isEmpty())
        return;
    QVERIFY(read.fields == fields);
    QCOMPARE(read.leftovers, leftovers);
}

void TestFrameMarkup::generatorPages_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 1; layout <= FrameLayoutCount; ++layout)
        QTest::addRow("layout%d", layout) << layout;
}

void TestFrameMarkup::generatorPages()
{
    QFETCH(int, layout);
    QFile golden(testDataPath(u"frames/layout%1.html"_s.arg(layout)));
    QVERIFY2(golden.open(QIODevice::ReadOnly), qPrintable(golden.fileName()));
    QCOMPARE(frameLayoutPage(layout), QString::fromLatin1(golden.readAll()));
}

void TestFrameMarkup::noPageForOtherNumbers()
{
    QVERIFY(frameLayoutPage(0).isEmpty());
    QVERIFY(frameLayoutPage(FrameLayoutCount + 1).isEmpty());
}

BRISKO_TEST_MAIN(TestFrameMarkup)
#include "tst_framemarkup.moc"
