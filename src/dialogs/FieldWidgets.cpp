#include "FieldWidgets.h"

#include "dialogs/ElementDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

QLineEdit *namedLineEdit(const QString &name, QWidget *parent)
{
    return namedWidget(new QLineEdit(parent), name);
}

QCheckBox *namedCheckBox(const QString &name, const QString &caption, QWidget *parent)
{
    return namedWidget(new QCheckBox(caption, parent), name);
}

QSpinBox *unboundedSpin(const QString &name, QWidget *parent)
{
    auto *spin = namedWidget(new QSpinBox(parent), name);
    spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    return spin;
}

void tickOnChange(QSpinBox *spin, QCheckBox *box)
{
    // Enter and the loss of the focus report the value again even when it stayed the same;
    // only a value other than the last one ticks the box.
    QObject::connect(spin, &QSpinBox::valueChanged, box,
                     [box, last = spin->value()](int value) mutable {
                         if (value == last)
                             return;
                         last = value;
                         box->setChecked(true);
                     });
}

void tickOnPress(QPushButton *picker, QCheckBox *box)
{
    QObject::connect(picker, &QPushButton::pressed, box, [box] { box->setChecked(true); });
}

QCheckBox *switchBox(QSpinBox *spin, const QString &boxName, QWidget *parent)
{
    auto *box = namedWidget(new QCheckBox(parent), boxName);
    tickOnChange(spin, box);
    return box;
}

QCheckBox *switchBox(QPushButton *picker, const QString &boxName, QWidget *parent)
{
    auto *box = namedWidget(new QCheckBox(parent), boxName);
    tickOnPress(picker, box);
    return box;
}

QToolButton *iconButton(const QString &name, QStyle::StandardPixmap icon, QWidget *parent,
                        const QString &hint)
{
    auto *button = namedWidget(new QToolButton(parent), name);
    button->setIcon(parent->style()->standardIcon(icon));
    if (!hint.isEmpty()) {
        button->setToolTip(hint);
        button->setAccessibleName(hint); // a picture alone says nothing to a screen reader
    }
    return button;
}

QHBoxLayout *boxRow(QWidget *field, QCheckBox *box)
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(field);
    layout->addWidget(box);
    layout->addStretch();
    return layout;
}

QHBoxLayout *ToggledSpin::row() const
{
    return boxRow(spin, box);
}

ToggledSpin toggledSpin(const QString &spinName, const QString &boxName, QWidget *parent,
                        int minimum, int maximum)
{
    ToggledSpin pair;
    pair.spin = namedWidget(new QSpinBox(parent), spinName);
    pair.spin->setRange(minimum, maximum);
    pair.spin->setMinimumWidth(90);
    pair.box = switchBox(pair.spin, boxName, parent);
    return pair;
}

QHBoxLayout *AddressPicker::row() const
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(combo, 1);
    layout->addWidget(fileButton);
    layout->addWidget(webButton);
    return layout;
}


AddressPicker addressPicker(const QString &comboName, QWidget *parent, const QString &fileHint,
                            const QString &webHint)
{
    AddressPicker picker;
    picker.combo = editableCombo(comboName, {}, parent);
    picker.fileButton =
        iconButton(QStringLiteral("SpeedButton1"), QStyle::SP_DialogOpenButton, parent, fileHint);
    picker.webButton =
        iconButton(QStringLiteral("SpeedButton2"), QStyle::SP_DriveNetIcon, parent, webHint);
    return picker;
}
