#include "editor/PendingColours.h"
#include "support/TestMain.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

using Run = PendingColours::Run;

// Runs drawn as letters over their positions ('.' where nothing is coloured): colour 1 is
// 'a', 2 'b' and so on.
QString drawn(std::span<const Run> runs)
{
    int length = 0;
    for (const Run &r : runs)
        length = std::max(length, r.to);
    QString picture(length, u'.');
    for (const Run &r : runs)
        for (int i = r.from; i < r.to; ++i)
            picture[i] = QChar(u'a' + int(r.color) - 1);
    return picture;
}

// "aaabbbcccc": three runs side by side.
PendingColours threeRuns()
{
    PendingColours pending;
    pending.reset({{0, 3, 1}, {3, 6, 2}, {6, 10, 3}});
    return pending;
}

} // namespace

class tst_PendingColours : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void runsStillToComeMoveWithAnEdit_data();
    void runsStillToComeMoveWithAnEdit();
    void whatIsOnScreenIsTakenFirst();
};

void tst_PendingColours::runsStillToComeMoveWithAnEdit_data()
{
    QTest::addColumn<int>("alreadyTaken");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("removed");
    QTest::addColumn<int>("added");
    QTest::addColumn<QString>("expected");
    QTest::newRow("typing before every run moves them all") << 0 << 0 << 0 << 2 << u"..aaabbbcccc"_s;
    QTest::newRow("typing inside a run leaves the typed text alone")
        << 0 << 4 << 0 << 2 << u"aaab..bbcccc"_s;
    QTest::newRow("deleting across two runs keeps their rests") << 0 << 2 << 3 << 0 << u"aabcccc"_s;
    QTest::newRow("a run replaced whole is gone") << 0 << 3 << 3 << 1 << u"aaa.cccc"_s;
    QTest::newRow("typing after the last run moves nothing") << 0 << 12 << 0 << 5 << u"aaabbbcccc"_s;
    QTest::newRow("runs already put in are not put in again") << 1 << 0 << 0 << 1 << u"....bbbcccc"_s;
}

void tst_PendingColours::runsStillToComeMoveWithAnEdit()
{
    QFETCH(int, alreadyTaken);
    QFETCH(int, position);
    QFETCH(int, removed);
    QFETCH(int, added);
    QFETCH(QString, expected);
    PendingColours pending = threeRuns();
    pending.takeNext(std::size_t(alreadyTaken));
    pending.moveWithEdit(position, removed, added);
    QCOMPARE(drawn(pending.takeNext(100)), expected);
    QVERIFY(!pending.pending());
}

void tst_PendingColours::whatIsOnScreenIsTakenFirst()
{
    PendingColours pending = threeRuns();
    // The screen shows positions 4 to 6: the runs reaching into it come out at once, in order.
    QCOMPARE(drawn(pending.takeVisible(4, 7)), u"...bbbcccc"_s);
    QVERIFY(pending.pending());
    QCOMPARE(drawn(pending.takeNext(1)), u"aaa"_s);
    QVERIFY(!pending.pending());
    QVERIFY(pending.takeNext(1).empty());
}

BRISKO_TEST_MAIN(tst_PendingColours)
#include "tst_pendingcolours.moc"
