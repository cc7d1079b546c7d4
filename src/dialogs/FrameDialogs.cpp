#include "FrameDialogs.h"

#include "dialogs/FieldWidgets.h"
#include "dialogs/RadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

const QString FrameDocumentFilter =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab"_s;

namespace {

RadioGroup *borderGroup(QWidget *parent)
{
    auto *group = new RadioGroup(u"RadioGroup1"_s, u"Okraje?"_s, {u"Ano"_s, u"Ne"_s}, parent);
    return group;
}

RadioGroup *scrollingGroup(QWidget *parent)
{
    return new RadioGroup(u"RadioGroup2"_s, u"Scrolovací lišty?"_s,
                          {u"Automaticky"_s, u"Ano"_s, u"Ne"_s}, parent);
}

// The two radio groups side by side, in the order given.
QWidget *groupsRow(QWidget *first, QWidget *second, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first, 1, Qt::AlignTop);
    layout->addWidget(second, 1, Qt::AlignTop);
    return row;
}

QStringList frameCounts()
{
    return {u"1"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"*"_s};
}

} // namespace

TForm17::TForm17(QWidget *parent) : FieldsDialog(u"Soubor rámců"_s, &composeFrameSet, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, frameCounts(), this);
    ComboBox1->setToolTip(u"Kolik bude mít sloupců"_s);
    ComboBox2 = editableCombo(u"ComboBox2"_s, frameCounts(), this);
    ComboBox2->setToolTip(u"Kolik bude mít řad"_s);
    const ToggledSpin spacing =
        toggledSpin(u"SpinEdit1"_s, u"CheckBox1"_s, this, 0, MaxFrameSpacing);
    SpinEdit1 = spacing.spin;
    CheckBox1 = spacing.box;
    SpinEdit1->setToolTip(u"Mezery mezi jednotlivými rámy"_s);
    RadioGroup1 = borderGroup(this);
    RadioGroup1->setToolTip(u"Určuje, zda bude mít okraje"_s);
    RadioGroup2 = scrollingGroup(this);

    addRow(u"Sloupce"_s, ComboBox1);
    addRow(u"Řádky"_s, ComboBox2);
    addRow(u"Mezery"_s, spacing.row())->setBuddy(SpinEdit1);
    addWideRow(groupsRow(RadioGroup1, RadioGroup2, this));
    setMinimumWidth(340);
    bind({{&Fields::cols, "ComboBox1"},
          {&Fields::rows, "ComboBox2"},
          {&Fields::spacing, "SpinEdit1", "CheckBox1"},
          {&Fields::border, "RadioGroup1"},
          {&Fields::scrolling, "RadioGroup2"}});
    ComboBox1->setFocus();
}



TForm18::TForm18(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Rámec"_s, &composeFrame, parent), m_context(std::move(context))
{
    const AddressPicker address = addressPicker(u"ComboBox1"_s, this);
    ComboBox1 = address.combo;
    SpeedButton1 = address.fileButton;
    SpeedButton2 = address.webButton;
    address.connectButtons(&m_context, FrameDocumentFilter, this);
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s,
                              {QString(), u"bottom"_s, u"left"_s, u"middle"_s, u"right"_s,
                               u"top"_s},
                              this);
    const ToggledSpin marginHeight = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    const ToggledSpin marginWidth = toggledSpin(u"SpinEdit2"_s, u"CheckBox3"_s, this);
    SpinEdit1 = marginHeight.spin;
    CheckBox2 = marginHeight.box;
    SpinEdit2 = marginWidth.spin;
    CheckBox3 = marginWidth.box;
    RadioGroup2 = scrollingGroup(this);
    RadioGroup1 = borderGroup(this);

    addRow(u"Adresa"_s, address.row())->setBuddy(ComboBox1);
    addRow(u"Jméno"_s, Edit1);
    addRow(u"Zarovnání"_s, ComboBox2);
    addRow(u"Výška okraje"_s, marginHeight.row())->setBuddy(SpinEdit1);
    addRow(u"Šířka okraje"_s, marginWidth.row())->setBuddy(SpinEdit2);
    addWideRow(groupsRow(RadioGroup2, RadioGroup1, this));
    setMinimumWidth(400);
    bind({{&Fields::src, "ComboBox1"},
          {&Fields::name, "Edit1"},
          {&Fields::align, "ComboBox2"},
          {&Fields::marginHeight, "SpinEdit1", "CheckBox2"},
          {&Fields::marginWidth, "SpinEdit2", "CheckBox3"},
          {&Fields::scrolling, "RadioGroup2"},
          {&Fields::border, "RadioGroup1"}});
    ComboBox1->setFocus();
}

void TForm18::setInlineFrameRole()
{
    m_inline = true;
    setWindowTitle(u"Vložený rámec"_s);
}

Markup TForm18::composed() const
{
    return m_inline ? composeInlineFrame(fields()) : composeFrame(fields());
}



TForm41::TForm41(QWidget *parent) : QDialog(parent)
{
    setWindowTitle(u"Generátor rámců"_s);
    auto *layout = new QVBoxLayout(this);
    auto *pictures = new QHBoxLayout;
    for (int layoutNo = 1; layoutNo <= FrameLayoutCount; ++layoutNo) {
        auto *button = new QToolButton(this);
        button->setObjectName(u"SpeedButton%1"_s.arg(layoutNo));
        button->setIcon(QIcon(u":/frames/layout%1.png"_s.arg(layoutNo)));
        button->setIconSize(QSize(64, 64));
        // A sketch without a caption says nothing to a screen reader.
        button->setAccessibleName(u"Vzor rámců %1"_s.arg(layoutNo));
        button->setAutoRaise(false);
        connect(button, &QToolButton::clicked, this, [this, layoutNo] { layoutChosen(layoutNo); });
        pictures->addWidget(button);
        m_layouts.append(button);
    }
    layout->addLayout(pictures);
    auto *hint = new QLabel(u"Pokud vám žádný z uvedených vzorů nevyhovuje, pak si můžete "
                            u"vytvořit vlastní pomocí záložky rámce"_s,
                            this);
    hint->setWordWrap(true);
    layout->addWidget(hint);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    m_back = new QPushButton(u"Zpět"_s, this);
    m_back->setObjectName(u"BackButton"_s);
    connect(m_back, &QPushButton::clicked, this, &QDialog::reject);
    buttons->addWidget(m_back);
    layout->addLayout(buttons);
}

void TForm41::layoutChosen(int layout)
{
    OpeningMarkup = frameLayoutPage(layout);
    ClosingMarkup.clear();
    accept();
}
