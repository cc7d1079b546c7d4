#pragma once

#include <QDialog>
#include <QString>
#include <QStringView>

#include <optional>

class QComboBox;
class QLineEdit;
class QPushButton;

// --- computation ------------------------------------------------------------------------
// Speed is in bits per second, throughput in per cent, size in units of 1000 bytes.

// A field's text as a whole decimal number; text that is not one, or a negative number,
// counts as 0 (a negative time has no meaning).
qint64 DownloadFieldValue(QStringView text);

// The transfer time in hundredths of a second, rounded to the nearest (ties to the even
// neighbour); nothing when the time does not fit in 64 bits.
std::optional<qint64> DownloadHundredths(qint64 speed, qint64 throughput, qint64 size);
// The same for a size counted in bytes.
std::optional<qint64> DownloadHundredthsOfBytes(qint64 speed, qint64 throughput, qint64 bytes);

// "0h:0m:57.14": hours, minutes and seconds without leading zeros, and always two digits
// of hundredths ("1.05").
QString FormatDownloadTime(qint64 hundredths);

// The result field's text for the three field texts; nothing (the result stays as it
// was) while any of them is empty; what is wrong when one is no usable number.
std::optional<QString> DownloadTimeText(const QString &speed, const QString &throughput,
                                        const QString &size);

// Shown instead of a time too long to count.
QString DownloadTimeTooLongText();

// --- window -------------------------------------------------------------------------------

// "Nahrávací časy...": how long a transfer of a size takes at a line speed and a share of
// usable throughput. It computes whenever a field changes; nothing is stored.
class TBandwichBuster : public QDialog
{
    Q_OBJECT

public:
    explicit TBandwichBuster(QWidget *parent = nullptr);

    // The size field's text, as the link analyser presets it (kilobytes).
    void setSizeText(const QString &size);

    QComboBox *ComboBox1; // speed, bits per second
    QComboBox *ComboBox2; // throughput, per cent
    QLineEdit *Edit1;     // size, kb
    QLineEdit *Edit2;     // result, read-only
    QPushButton *Button1; // "Ok"

private:
    void recalculate();
};
