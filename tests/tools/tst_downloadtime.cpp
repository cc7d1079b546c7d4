#include "support/TestMain.h"

#include "support/ScriptedInteraction.h"
#include "tools/DownloadTime.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The download-time computation as a table, and the calculator window through its fields.
class tst_DownloadTime : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void resultText_data();
    void resultText();
    void formatShowsTwoDigitsOfHundredths_data();
    void formatShowsTwoDigitsOfHundredths();

    void windowRecalculatesOnEveryField();
    void clearedFieldKeepsLastResult();
    void presetSizeNeedsTheOtherTwoFields();
};

void tst_DownloadTime::resultText_data()
{
    QTest::addColumn<QString>("speed");
    QTest::addColumn<QString>("throughput");
    QTest::addColumn<QString>("size");
    QTest::addColumn<QString>("result"); // "-" for no result

    // The worked example: 1750 bytes per second, 57.142857 s.
    QTest::newRow("example_100kbAt28000And50") << u"28000"_s << u"50"_s << u"100"_s << u"0h:0m:57.14"_s;
    QTest::newRow("modemAtFullThroughput") << u"14400"_s << u"100"_s << u"60"_s << u"0h:0m:33.33"_s;
    // 105 hundredths: "1.05", not "1.5", which reads as one and a half seconds.
    QTest::newRow("fiveHundredths_twoDigits") << u"761905"_s << u"1"_s << u"1"_s << u"0h:0m:1.05"_s;
    // Exact halves go to the even neighbour: 1.5 up to 2, 2.5 down to 2.
    QTest::newRow("tie_1.5_roundsUp") << u"1600000"_s << u"100"_s << u"3"_s << u"0h:0m:0.02"_s;
    QTest::newRow("tie_2.5_roundsDown") << u"320000"_s << u"100"_s << u"1"_s << u"0h:0m:0.02"_s;

    // A field that is no usable number is said so, never turned into a time.
    const QString rate = u"Rychlost a propustnost musí být celá čísla větší než 0"_s;
    const QString sizeNote = u"Velikost musí být celé číslo (kb)"_s;
    QTest::newRow("zeroThroughput") << u"28000"_s << u"0"_s << u"100"_s << rate;
    QTest::newRow("zeroSpeed") << u"0"_s << u"50"_s << u"100"_s << rate;
    QTest::newRow("speedNotANumber") << u"rychle"_s << u"50"_s << u"100"_s << rate;
    QTest::newRow("numberTooLongFor64Bits") << u"99999999999999999999"_s << u"50"_s << u"100"_s << rate;
    QTest::newRow("negativeThroughput") << u"28000"_s << u"-50"_s << u"100"_s << rate;
    QTest::newRow("negativeSize") << u"28000"_s << u"50"_s << u"-100"_s << sizeNote;
    QTest::newRow("sizeNotANumber") << u"28000"_s << u"50"_s << u"sto"_s << sizeNote;
    QTest::newRow("zeroSize") << u"28000"_s << u"50"_s << u"0"_s << u"0h:0m:0.00"_s;
    QTest::newRow("slowRateBelowOneBytePerSecond") << u"1"_s << u"1"_s << u"1"_s << u"222h:13m:20.00"_s;

    // Beyond 32 bits: the byte count, then the hundredths, then the largest size.
    QTest::newRow("bytesBeyond32Bits") << u"2048000"_s << u"100"_s << u"2147483648"_s << u"2330h:10m:8.00"_s;
    QTest::newRow("hundredthsBeyond32Bits") << u"8"_s << u"100"_s << u"100000"_s << u"27777h:46m:40.00"_s;
    QTest::newRow("largestSizeAtLargestSpeed") << u"9223372036854775807"_s << u"100"_s
                                               << u"9223372036854775807"_s << u"2h:13m:20.00"_s;
    QTest::newRow("timeBeyond64Bits_isSaidSo") << u"8"_s << u"100"_s << u"9223372036854775807"_s
                                               << DownloadTimeTooLongText();
    QTest::newRow("largestTimeThatFits") << u"800"_s << u"1"_s << u"92233720368547"_s
                                         << FormatDownloadTime(9223372036854700000);

    // Nothing is computed until all three fields hold text.
    QTest::newRow("emptySpeed") << QString() << u"50"_s << u"100"_s << u"-"_s;
    QTest::newRow("emptyThroughput") << u"28000"_s << QString() << u"100"_s << u"-"_s;
    QTest::newRow("emptySize") << u"28000"_s << u"50"_s << QString() << u"-"_s;
}

void tst_DownloadTime::resultText()
{
    QFETCH(QString, speed);
    QFETCH(QString, throughput);
    QFETCH(QString, size);
    QFETCH(QString, result);
    QCOMPARE(DownloadTimeText(speed, throughput, size).value_or(u"-"_s), result);
}

void tst_DownloadTime::formatShowsTwoDigitsOfHundredths_data()
{
    QTest::addColumn<qint64>("hundredths");
    QTest::addColumn<QString>("text");
    QTest::newRow("zero") << qint64(0) << u"0h:0m:0.00"_s;
    QTest::newRow("oneHourOneMinuteOneSecond") << qint64(366101) << u"1h:1m:1.01"_s;
    QTest::newRow("justBelowAnHour") << qint64(359999) << u"0h:59m:59.99"_s;
    QTest::newRow("largest") << std::numeric_limits<qint64>::max()
                             << u"25620477880152h:9m:18.07"_s;
}

void tst_DownloadTime::formatShowsTwoDigitsOfHundredths()
{
    QFETCH(qint64, hundredths);
    QFETCH(QString, text);
    QCOMPARE(FormatDownloadTime(hundredths), text);
}

void tst_DownloadTime::windowRecalculatesOnEveryField()
{
    TBandwichBuster window;
    QCOMPARE(window.windowTitle(), u"Nahrávací časy..."_s);
    QVERIFY(window.Edit2->isReadOnly());
    QVERIFY(window.ComboBox1->currentText().isEmpty());
    QVERIFY(window.ComboBox2->currentText().isEmpty());
    QCOMPARE(window.ComboBox1->count(), 9);
    QCOMPARE(window.ComboBox2->itemText(4), u"100"_s);

    window.ComboBox1->setCurrentIndex(window.ComboBox1->findText(u"28000"_s)); // picked
    window.ComboBox2->setEditText(u"50"_s);                                      // typed
    QVERIFY(window.Edit2->text().isEmpty());
    window.Edit1->setText(u"100"_s);
    QCOMPARE(window.Edit2->text(), u"0h:0m:57.14"_s);
    window.ComboBox2->setCurrentIndex(window.ComboBox2->findText(u"100"_s));
    QCOMPARE(window.Edit2->text(), u"0h:0m:28.57"_s);

    ScriptedInteraction script;
    script.dialog([](QDialog &d) { d.findChild<QPushButton *>(u"Button1"_s)->click(); });
    QCOMPARE(ui().exec(window), int(QDialog::Accepted));
}

void tst_DownloadTime::clearedFieldKeepsLastResult()
{
    TBandwichBuster window;
    window.ComboBox1->setEditText(u"28000"_s);
    window.ComboBox2->setEditText(u"50"_s);
    window.Edit1->setText(u"100"_s);
    window.Edit1->clear();
    QCOMPARE(window.Edit2->text(), u"0h:0m:57.14"_s);
    window.ComboBox1->setEditText(QString());
    window.Edit1->setText(u"200"_s);
    QCOMPARE(window.Edit2->text(), u"0h:0m:57.14"_s);
}

void tst_DownloadTime::presetSizeNeedsTheOtherTwoFields()
{
    TBandwichBuster window;
    window.setSizeText(u"4"_s);
    QCOMPARE(window.Edit1->text(), u"4"_s);
    QVERIFY(window.Edit2->text().isEmpty());
    window.ComboBox1->setEditText(u"28000"_s);
    window.ComboBox2->setEditText(u"50"_s);
    // The preset counts in thousands of bytes here: 4000 / 1750 s.
    QCOMPARE(window.Edit2->text(), u"0h:0m:2.29"_s);
}

BRISKO_TEST_MAIN(tst_DownloadTime)
#include "tst_downloadtime.moc"
