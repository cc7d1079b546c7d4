#include "editor/TextOffsets.h"
#include "support/TestMain.h"

#include <QTextDocument>

using namespace Qt::StringLiterals;

// The control holds "ab\ncd\n\nef"; the page is "ab\r\ncd\r\n\r\nef". Offsets count each CR LF
// as two: a0 b1 CR2 LF3 c4 d5 CR6 LF7 CR8 LF9 e10 f11, the end 12. Positions: a0 b1 c3 d4,
// the empty line 6, e7 f8, the end 9.
class tst_TextOffsets : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void offsetsAndPositionsMeetAtEveryLine_data();
    void offsetsAndPositionsMeetAtEveryLine();
    void walkingBothWaysFindsTheSamePositions();
    void lineBreaksOfEveryKindBecomeOne_data();
    void lineBreaksOfEveryKindBecomeOne();
};

void tst_TextOffsets::offsetsAndPositionsMeetAtEveryLine_data()
{
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("position");
    QTest::addColumn<bool>("roundTrip"); // false where the offset has no character of its own
    QTest::newRow("start") << 0 << 0 << true;
    QTest::newRow("end of the first line") << 2 << 2 << true;
    QTest::newRow("between CR and LF stands at the line's end") << 3 << 2 << false;
    QTest::newRow("second line") << 4 << 3 << true;
    QTest::newRow("empty line") << 8 << 6 << true;
    QTest::newRow("inside the empty line's CR LF") << 9 << 6 << false;
    QTest::newRow("last line") << 10 << 7 << true;
    QTest::newRow("end of the text") << 12 << 9 << true;
    QTest::newRow("past the end") << 50 << 9 << false;
}

void tst_TextOffsets::offsetsAndPositionsMeetAtEveryLine()
{
    QFETCH(int, offset);
    QFETCH(int, position);
    QFETCH(bool, roundTrip);
    QTextDocument document(u"ab\ncd\n\nef"_s);
    QCOMPARE(offsetLength(document), 12);
    QCOMPARE(positionOfOffset(document, offset), position);
    if (roundTrip)
        QCOMPARE(offsetOfPosition(document, position), offset);
}

void tst_TextOffsets::walkingBothWaysFindsTheSamePositions()
{
    QTextDocument document(u"ab\ncd\n\nef\n\nghi"_s);
    LineWalker walker(document);
    const int end = offsetLength(document);
    for (int offset = 0; offset <= end; ++offset)
        QCOMPARE(walker.positionOf(offset), positionOfOffset(document, offset));
    for (int offset = end; offset >= 0; --offset)
        QCOMPARE(walker.positionOf(offset), positionOfOffset(document, offset));
}

void tst_TextOffsets::lineBreaksOfEveryKindBecomeOne_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("control");
    QTest::newRow("CR LF") << u"a\r\nb"_s << u"a\nb"_s;
    QTest::newRow("lone CR") << u"a\rb"_s << u"a\nb"_s;
    QTest::newRow("two CR LF make an empty line") << u"a\r\n\r\nb"_s << u"a\n\nb"_s;
    QTest::newRow("line separator (Shift+Enter)") << u"a\u2028b"_s << u"a\nb"_s;
    QTest::newRow("paragraph separator") << u"a\u2029b"_s << u"a\nb"_s;
    QTest::newRow("LF stays") << u"a\nb"_s << u"a\nb"_s;
    QTest::newRow("CR before CR LF: two lines") << u"a\r\r\nb"_s << u"a\n\nb"_s;
    QTest::newRow("breaks at both ends") << u"\r\na\r"_s << u"\na\n"_s;
    QTest::newRow("every kind in a row") << u"\u2029\r\n\n\r\u2028"_s << u"\n\n\n\n\n"_s;
    QTest::newRow("no break") << u"abc"_s << u"abc"_s;
}

void tst_TextOffsets::lineBreaksOfEveryKindBecomeOne()
{
    QFETCH(QString, text);
    QFETCH(QString, control);
    QCOMPARE(toControlText(text), control);
}

BRISKO_TEST_MAIN(tst_TextOffsets)
#include "tst_textoffsets.moc"
