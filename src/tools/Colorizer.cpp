#include "tools/Colorizer.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/FieldWidgets.h"
#include "markup/SysUt.h"
#include "tools/Gradient.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TColorForm::TColorForm(const QString &text, QWidget *parent) : CheckedDialog(parent)
{
    setWindowTitle(u"Kolorovaní textu"_s);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(u"Memo1"_s);
    Memo1->setTabChangesFocus(true);
    ColorCombo1 = namedWidget(new ColorCombo(this), u"ColorCombo1"_s);
    ColorCombo2 = namedWidget(new ColorCombo(this), u"ColorCombo2"_s);
    ColorCombo3 = namedWidget(new ColorCombo(this), u"ColorCombo3"_s);
    CheckBox1 = new QCheckBox(u"Každý znak na jeden řádek"_s, this);
    CheckBox1->setObjectName(u"CheckBox1"_s);
    CheckBox2 = new QCheckBox(u"Při vložení odstranít řádkování"_s, this);
    CheckBox2->setObjectName(u"CheckBox2"_s);
    Button1 = new QPushButton(u"Generování"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button1->setToolTip(u"Vygeneruje zadané údaje"_s);
    Button1->setAutoDefault(false);
    Button2 = new QPushButton(u"Vložit"_s, this);
    Button2->setObjectName(u"InsertButton"_s);
    Button2->setToolTip(u"Vygenerované údaje vloží na pozici kurzoru"_s);
    Button2->setDefault(true);
    Button3 = new QPushButton(u"Zpět"_s, this);
    Button3->setObjectName(u"BackButton"_s);
    Button3->setAutoDefault(false);

    auto *colors = new QGridLayout;
    const std::pair<QString, ColorCombo *> rows[] = {{u"Počáteční barva"_s, ColorCombo1},
                                                     {u"Střed"_s, ColorCombo2},
                                                     {u"Konečná barva"_s, ColorCombo3}};
    int row = 0;
    for (const auto &[caption, combo] : rows) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(combo);
        colors->addWidget(label, row, 0);
        colors->addWidget(combo, row++, 1, Qt::AlignLeft);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Button1);
    buttons->addStretch();
    buttons->addWidget(Button2);
    buttons->addWidget(Button3);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Memo1, 1);
    layout->addLayout(colors);
    layout->addWidget(CheckBox1);
    layout->addWidget(CheckBox2);
    layout->addLayout(buttons);
    resize(460, 380);

    connect(Memo1, &QPlainTextEdit::textChanged, this, [this] {
        if (!m_settingText)
            m_edited = true;
        Button1->setEnabled(!Memo1->document()->isEmpty());
    });
    connect(Button1, &QPushButton::clicked, this, &TColorForm::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button3, &QPushButton::clicked, this, &QDialog::reject);
    setAreaText(text);
    Memo1->setFocus();
}

QString TColorForm::areaText() const
{
    if (!m_edited)
        return m_text;
    // The area keeps one LF per line; the document wants CR LF.
    return Memo1->toPlainText().replace(u'\n', u"\r\n"_s);
}

void TColorForm::setAreaText(const QString &text)
{
    m_text = text;
    m_edited = false;
    m_generation.reset();
    m_settingText = true;
    Memo1->setPlainText(text);
    m_settingText = false;
    Button1->setEnabled(!text.isEmpty());
}

void TColorForm::Button1Click()
{
    const QString source = areaText();
    if (source.isEmpty())
        return;
    Generation g{source, toColorValue(ColorCombo1->color()), toColorValue(ColorCombo2->color()),
                 toColorValue(ColorCombo3->color()), CheckBox1->isChecked()};
    setAreaText(composeGradient(g.source, g.start, g.middle, g.end, g.onePerLine));
    m_generation = std::move(g);
}

QString TColorForm::Result() const
{
    const QString text = areaText();
    if (!CheckBox2->isChecked())
        return text;
    if (m_generation && !m_edited) {
        const Generation &g = *m_generation;
        return g.onePerLine ? composeGradient(g.source, g.start, g.middle, g.end, false) : text;
    }
    return ReplaceEach(text, u"\r\n"_s, QString());
}
