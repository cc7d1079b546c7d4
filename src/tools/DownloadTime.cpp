#include "tools/DownloadTime.h"

#include "dialogs/ElementDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <limits>

using namespace Qt::StringLiterals;

qint64 DownloadFieldValue(QStringView text)
{
    bool ok = false;
    const qint64 value = text.toLongLong(&ok, 10);
    return ok && value > 0 ? value : 0;
}

namespace {

using Wide = unsigned __int128;

std::optional<qint64> hundredthsOf(Wide bytes, qint64 speed, qint64 throughput)
{
    // The rate is throughput % of speed / 8 bytes per second, so the time in hundredths is
    // bytes * 100 / (throughput * speed / 800). Counting it as one exact fraction in
    // 128 bits keeps every size and speed of 64 bits right and leaves no rounding noise
    // from 0.01 to tip a tie the wrong way.
    Wide numerator = bytes * 80000u;
    Wide denominator = Wide(quint64(speed)) * Wide(quint64(throughput));
    if (denominator == 0) {
        // No usable rate at all counts as one byte per second.
        numerator = bytes * 100u;
        denominator = 1;
    }
    Wide quotient = numerator / denominator;
    const Wide twiceRemainder = (numerator % denominator) * 2u;
    if (twiceRemainder > denominator || (twiceRemainder == denominator && (quotient & 1u)))
        ++quotient;
    if (quotient > Wide(std::numeric_limits<qint64>::max()))
        return std::nullopt;
    return qint64(quotient);
}

} // namespace

std::optional<qint64> DownloadHundredths(qint64 speed, qint64 throughput, qint64 size)
{
    if (speed < 0 || throughput < 0 || size < 0)
        return std::nullopt;
    return hundredthsOf(Wide(quint64(size)) * 1000u, speed, throughput);
}

std::optional<qint64> DownloadHundredthsOfBytes(qint64 speed, qint64 throughput, qint64 bytes)
{
    if (speed < 0 || throughput < 0 || bytes < 0)
        return std::nullopt;
    return hundredthsOf(Wide(quint64(bytes)), speed, throughput);
}

QString FormatDownloadTime(qint64 hundredths)
{
    return QString::number(hundredths / 360000) + u"h:"_s
           + QString::number(hundredths % 360000 / 6000) + u"m:"_s
           + QString::number(hundredths % 6000 / 100) + u'.'
           // Two digits after the point: 1.05 s written "1.5" read as one and a half.
           + QString::number(hundredths % 100).rightJustified(2, u'0');
}

QString DownloadTimeTooLongText()
{
    return u"Příliš dlouhá doba"_s;
}

std::optional<QString> DownloadTimeText(const QString &speed, const QString &throughput,
                                        const QString &size)
{
    if (speed.isEmpty() || throughput.isEmpty() || size.isEmpty())
        return std::nullopt;
    // A field that is no number used to count as 0, and the window showed a time for one
    // byte a second (27 hours for 100 kb) as if it were the answer.
    if (DownloadFieldValue(speed) == 0 || DownloadFieldValue(throughput) == 0)
        return u"Rychlost a propustnost musí být celá čísla větší než 0"_s;
    bool sizeIsNumber = false;
    if (size.toLongLong(&sizeIsNumber, 10) < 0 || !sizeIsNumber)
        return u"Velikost musí být celé číslo (kb)"_s;
    const std::optional<qint64> hundredths =
        DownloadHundredths(DownloadFieldValue(speed), DownloadFieldValue(throughput),
                           DownloadFieldValue(size));
    return hundredths ? FormatDownloadTime(*hundredths) : DownloadTimeTooLongText();
}

TBandwichBuster::TBandwichBuster(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"TBandwichBuster"_s);
    setWindowTitle(u"Nahrávací časy..."_s);

    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {u"14400"_s, u"28000"_s, u"33600"_s, u"64000"_s, u"128000"_s,
                               u"256000"_s, u"512000"_s, u"1024000"_s, u"2048000"_s},
                              this);
    ComboBox1->setToolTip(u"Zadjte rychlos připojení"_s);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {u"10"_s, u"25"_s, u"50"_s, u"75"_s, u"100"_s}, this);
    ComboBox2->setToolTip(u"Zadejte procentuélně propustnost INTERNETU"_s);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    Edit1->setToolTip(u"Zadejte velikost souborů, které se budou stahovat zároveň (HTML stránka + obrázky, video, hudba a další)"_s);
    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(u"Edit2"_s);
    Edit2->setReadOnly(true);
    Button1 = new QPushButton(u"Ok"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setDefault(true);

    auto *explanation = new QLabel(
        u"Zde najdete informace o stahovaní souborů o zadané velikosti  v závislosti na propustnosti a rychlosti připojení"_s,
        this);
    explanation->setWordWrap(true);

    auto *grid = new QGridLayout;
    auto row = [this, grid](int at, const QString &caption, QWidget *field, const QString &unit) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(field);
        grid->addWidget(label, at, 0);
        grid->addWidget(field, at, 1);
        if (!unit.isEmpty())
            grid->addWidget(new QLabel(unit, this), at, 2);
    };
    row(0, u"Rychlost připojení"_s, ComboBox1, u"b"_s);
    row(1, u"Propustnost internetu"_s, ComboBox2, u"%"_s);
    row(2, u"Velikost souborů"_s, Edit1, u"kb"_s);
    row(3, u"Nahrávací čas"_s, Edit2, {});

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addLayout(grid);
    layout->addWidget(Button1, 0, Qt::AlignRight);
    setMinimumWidth(380);

    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TBandwichBuster::recalculate);
    connect(ComboBox2, &QComboBox::editTextChanged, this, &TBandwichBuster::recalculate);
    connect(Edit1, &QLineEdit::textChanged, this, &TBandwichBuster::recalculate);
}

void TBandwichBuster::setSizeText(const QString &size)
{
    Edit1->setText(size);
}

void TBandwichBuster::recalculate()
{
    if (const std::optional<QString> text =
            DownloadTimeText(ComboBox1->currentText(), ComboBox2->currentText(), Edit1->text()))
        Edit2->setText(*text);
}
