#include "support/TestMain.h"

#include "tools/Gradient.h"

using namespace Qt::StringLiterals;

// Gradient colouring: one FONT element per character of the page, colour from start through
// middle to end; markup and line breaks pass through.
class TestGradient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void colours_data();
    void colours();
    void markup_data();
    void markup();
};

void TestGradient::colours_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("middle");
    QTest::addColumn<int>("end");
    QTest::addColumn<QList<int>>("expected");

    // Each component moves on its own: red, green and blue never borrow from each other.
    QTest::newRow("redGreenBlue") << 3 << 0x0000FF << 0x00FF00 << 0xFF0000
                                  << QList<int>{0x0000FF, 0x00FF00, 0xFF0000};
    QTest::newRow("blackWhiteBlack") << 5 << 0 << 0xFFFFFF << 0
                                     << QList<int>{0, 0x7F7F7F, 0xFFFFFF, 0x7F7F7F, 0};
    QTest::newRow("twoCharacters") << 2 << 0x000010 << 0x000020 << 0x000030
                                   << QList<int>{0x000010, 0x000020};
    // An even length does not reach the end colour exactly.
    QTest::newRow("evenLength") << 4 << 0 << 0 << 0x0000C8 << QList<int>{0, 0, 0, 0x000064};
    // One character: the start colour, no division by zero.
    QTest::newRow("oneCharacter") << 1 << 0x123456 << 0xFFFFFF << 0 << QList<int>{0x123456};
    QTest::newRow("truncatesTowardZero") << 7 << 0 << 0x0000FF << 0
                                         << QList<int>{0, 0x55, 0xAA, 0xFF, 0xAA, 0x55, 0};
}

void TestGradient::colours()
{
    QFETCH(int, length);
    QFETCH(int, start);
    QFETCH(int, middle);
    QFETCH(int, end);
    QFETCH(QList<int>, expected);
    QList<int> got;
    for (int p = 0; p < length; ++p)
        got << int(gradientColor(p, length, start, middle, end));
    QCOMPARE(got, expected);
}

void TestGradient::markup_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("onePerLine");
    QTest::addColumn<QString>("markup");

    QTest::newRow("oneCharacter") << u"ř"_s << false << u"<FONT COLOR=#FF0000>ř</FONT>"_s;
    QTest::newRow("onePerLine") << u"ab"_s << true
                                << u"<FONT COLOR=#FF0000>a</FONT>\r\n<FONT COLOR=#FFFFFF>b</FONT>\r\n"_s;
    // A line break stays one line break: wrapped, its CR and LF became two.
    QTest::newRow("lineBreak") << u"a\r\nb"_s << false
                               << u"<FONT COLOR=#FF0000>a</FONT>\r\n<FONT COLOR=#FFFFFF>b</FONT>"_s;
    QTest::newRow("lineBreakOnePerLine")
        << u"a\nb"_s << true
        << u"<FONT COLOR=#FF0000>a</FONT>\r\n\n<FONT COLOR=#FFFFFF>b</FONT>\r\n"_s;
    // Tags stay as written and take no share of the colours.
    QTest::newRow("tags") << u"<p class=\"x\">a<b>b</b></p>"_s << false
                          << u"<p class=\"x\"><FONT COLOR=#FF0000>a</FONT><b>"
                             u"<FONT COLOR=#FFFFFF>b</FONT></b></p>"_s;
    QTest::newRow("tagsOnePerLine") << u"<i>ab</i>"_s << true
                                    << u"<i><FONT COLOR=#FF0000>a</FONT>\r\n"
                                       u"<FONT COLOR=#FFFFFF>b</FONT>\r\n</i>"_s;
    QTest::newRow("comment") << u"a<!-- <b> -->b"_s << false
                             << u"<FONT COLOR=#FF0000>a</FONT><!-- <b> -->"
                                u"<FONT COLOR=#FFFFFF>b</FONT>"_s;
    // An entity is one character of the page.
    QTest::newRow("entities") << u"&amp;&#283;&#x11B;"_s << false
                              << u"<FONT COLOR=#FF0000>&amp;</FONT><FONT COLOR=#FFFFFF>&#283;</FONT>"
                                 u"<FONT COLOR=#000000>&#x11B;</FONT>"_s;
    // A '<' or '&' that starts no tag or entity is a character like any other.
    QTest::newRow("strayLessThan") << u"a<b"_s << false
                                   << u"<FONT COLOR=#FF0000>a</FONT><FONT COLOR=#FFFFFF><</FONT>"
                                      u"<FONT COLOR=#000000>b</FONT>"_s;
    QTest::newRow("strayAmpersand") << u"& ;"_s << false
                                    << u"<FONT COLOR=#FF0000>&</FONT><FONT COLOR=#FFFFFF> </FONT>"
                                       u"<FONT COLOR=#000000>;</FONT>"_s;
    QTest::newRow("unclosedComment") << u"<!--a"_s << false
                                     << u"<FONT COLOR=#FF0000><</FONT><FONT COLOR=#FF7F7F>!</FONT>"
                                        u"<FONT COLOR=#FFFFFF>-</FONT><FONT COLOR=#7F7F7F>-</FONT>"
                                        u"<FONT COLOR=#000000>a</FONT>"_s;
    // A character beyond the first 65536 is not cut in halves.
    QTest::newRow("surrogatePair") << u"\U0001F600b"_s << false
                                   << u"<FONT COLOR=#FF0000>\U0001F600</FONT><FONT COLOR=#FFFFFF>b</FONT>"_s;
}

void TestGradient::markup()
{
    QFETCH(QString, text);
    QFETCH(bool, onePerLine);
    QFETCH(QString, markup);
    QCOMPARE(composeGradient(text, 0x0000FF, 0xFFFFFF, 0, onePerLine), markup);
}

BRISKO_TEST_MAIN(TestGradient)
#include "tst_gradient.moc"
