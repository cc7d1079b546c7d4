#include "support/TestMain.h"

#include "support/ScriptedInteraction.h"
#include "dialogs/ColorCombo.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

// The colour picker of the element dialogs: its palette, its picks and its change reports.
class TestColorCombo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWhite();
    void paletteHasSwatchesInOrder();
    void releasingOnSwatchTakesColor();
    void sameColorReportsNoChange();
    void escapeKeepsColor();
    void moreTakesColorOfColorDialog();
    void cancelledColorDialogKeepsColor();
};

namespace {

ColorSwatch *swatch(ColorCombo &combo, int n)
{
    return combo.popup()->findChild<ColorSwatch *>(u"Swatch"_s + QString::number(n));
}

} // namespace

void TestColorCombo::startsWhite()
{
    ColorCombo combo;
    QCOMPARE(combo.color(), QColor(Qt::white));
    QVERIFY(!combo.popup());
}

void TestColorCombo::paletteHasSwatchesInOrder()
{
    ColorCombo combo;
    combo.show();
    QTest::mouseClick(&combo, Qt::LeftButton);
    QVERIFY(combo.popup());
    QCOMPARE(combo.popup()->objectName(), u"ColorPalette"_s);
    const QStringList expected = {
        u"#ffffff"_s, u"#000000"_s, u"#c0c0c0"_s, u"#808080"_s, u"#ff0000"_s, u"#800000"_s,
        u"#ffff00"_s, u"#808000"_s, u"#00ff00"_s, u"#008000"_s, u"#00ffff"_s, u"#008080"_s,
        u"#0000ff"_s, u"#000080"_s, u"#ff00ff"_s, u"#800080"_s};
    QStringList actual;
    for (int i = 1; i <= 16; ++i)
        actual << swatch(combo, i)->color().name();
    QCOMPARE(actual, expected);
    // Four rows of four: the fifth swatch starts the second row.
    QCOMPARE(swatch(combo, 5)->x(), swatch(combo, 1)->x());
    QVERIFY(swatch(combo, 5)->y() > swatch(combo, 4)->y());
    // The palette opens just below the button.
    const QPoint below = combo.mapToGlobal(combo.rect().bottomLeft());
    QVERIFY((combo.popup()->geometry().topLeft() - below).manhattanLength() <= 6);
    combo.popup()->close();
}

void TestColorCombo::releasingOnSwatchTakesColor()
{
    ColorCombo combo;
    combo.show();
    QSignalSpy changed(&combo, &ColorCombo::colorChanged);
    QTest::mouseClick(&combo, Qt::LeftButton);
    QTest::mouseRelease(swatch(combo, 5), Qt::LeftButton);
    QCOMPARE(combo.color(), QColor(0xFF, 0, 0));
    QCOMPARE(changed.count(), 1);
    QTRY_VERIFY(!combo.popup());
}

void TestColorCombo::sameColorReportsNoChange()
{
    ColorCombo combo;
    combo.show();
    QSignalSpy changed(&combo, &ColorCombo::colorChanged);
    QTest::mouseClick(&combo, Qt::LeftButton);
    QTest::mouseRelease(swatch(combo, 1), Qt::LeftButton); // white again
    QCOMPARE(changed.count(), 0);
    combo.setColor(QColor(Qt::white));
    QCOMPARE(changed.count(), 0);
}

void TestColorCombo::escapeKeepsColor()
{
    ColorCombo combo;
    combo.show();
    QSignalSpy changed(&combo, &ColorCombo::colorChanged);
    QTest::mouseClick(&combo, Qt::LeftButton);
    QTest::keyClick(combo.popup(), Qt::Key_Escape);
    QTRY_VERIFY(!combo.popup());
    QCOMPARE(combo.color(), QColor(Qt::white));
    QCOMPARE(changed.count(), 0);
}

void TestColorCombo::moreTakesColorOfColorDialog()
{
    ScriptedInteraction script;
    script.pickColor(QColor(0x12, 0x34, 0x56));
    ColorCombo combo;
    combo.show();
    QTest::mouseClick(&combo, Qt::LeftButton);
    combo.popup()->findChild<QPushButton *>(u"MoreButton"_s)->click();
    QCOMPARE(combo.color(), QColor(0x12, 0x34, 0x56));
    QCOMPARE(script.log, QStringList{u"color"_s});
    QTRY_VERIFY(!combo.popup());
}

void TestColorCombo::cancelledColorDialogKeepsColor()
{
    ScriptedInteraction script;
    script.pickColor(std::nullopt);
    ColorCombo combo;
    combo.setColor(Qt::blue);
    combo.show();
    QSignalSpy changed(&combo, &ColorCombo::colorChanged);
    QTest::mouseClick(&combo, Qt::LeftButton);
    combo.popup()->findChild<QPushButton *>(u"MoreButton"_s)->click();
    QCOMPARE(combo.color(), QColor(Qt::blue));
    QCOMPARE(changed.count(), 0);
}

BRISKO_TEST_MAIN(TestColorCombo)
#include "tst_colorcombo.moc"
