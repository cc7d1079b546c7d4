#include "FieldWidgets.h"

#include <QToolButton>

#include <limits>

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

Toggled<int> toggledNumber(const QSpinBox *spin, const QCheckBox *box)
{
    return {box->isChecked(), spin->value()};
}

void setToggledNumber(QSpinBox *spin, QCheckBox *box, const Toggled<int> &value)
{
    spin->setValue(value.value);
    box->setChecked(value.on);
}

QToolButton *iconButton(const QString &name, QStyle::StandardPixmap icon, QWidget *parent)
{
    auto *button = namedWidget(new QToolButton(parent), name);
    button->setIcon(parent->style()->standardIcon(icon));
    return button;
}
