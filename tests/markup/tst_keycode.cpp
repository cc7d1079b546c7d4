#include "markup/KeyCode.h"
#include "support/TestMain.h"

using namespace Qt::StringLiterals;

class tst_KeyCode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void codesAndKeys_data();
    void codesAndKeys();
    void unknownKeysHaveNoCode();
};

void tst_KeyCode::codesAndKeys_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("key");

    QTest::newRow("ctrlShiftA_default") << 0x41 + 8192 + 16384 << u"Ctrl+Shift+A"_s;
    QTest::newRow("altF5") << 0x74 + 32768 << u"Alt+F5"_s;
    QTest::newRow("ctrlAltDigit") << 0x37 + 16384 + 32768 << u"Ctrl+Alt+7"_s;
    QTest::newRow("ctrlF12") << 0x7B + 16384 << u"Ctrl+F12"_s;
    QTest::newRow("shiftInsert") << 0x2D + 8192 << u"Shift+Ins"_s;
    QTest::newRow("ctrlComma_oemKey") << 0xBC + 16384 << u"Ctrl+,"_s;
    QTest::newRow("ctrlSpace") << 0x20 + 16384 << u"Ctrl+Space"_s;
    QTest::newRow("allModifiers") << 0x5A + 8192 + 16384 + 32768 << u"Ctrl+Alt+Shift+Z"_s;
}

void tst_KeyCode::codesAndKeys()
{
    QFETCH(int, code);
    QFETCH(QString, key);
    const QKeySequence sequence = KeyCode::toKeySequence(code);
    QCOMPARE(sequence, QKeySequence(key));
    QCOMPARE(KeyCode::fromKeyCombination(sequence[0]), code);
}

void tst_KeyCode::unknownKeysHaveNoCode()
{
    QVERIFY(KeyCode::toKeySequence(0).isEmpty());
    // 0xFF is no key of the table.
    QVERIFY(KeyCode::toKeySequence(0xFF + 16384).isEmpty());
    QCOMPARE(KeyCode::fromKeyCombination(QKeyCombination(Qt::ControlModifier, Qt::Key_Launch0)), 0);
}

BRISKO_TEST_MAIN(tst_KeyCode)
#include "tst_keycode.moc"
