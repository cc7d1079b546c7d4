#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QString>
#include <QStyle>

class QToolButton;

// Building blocks of the element dialogs' named controls and their mapping to fields.

template<class W>
W *namedWidget(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// A small button with one of the style's pictures, such as the file pickers beside a field.
QToolButton *iconButton(const QString &name, QStyle::StandardPixmap icon, QWidget *parent);

// A spin edit over the whole int range (Qt's spin boxes stop at 99 otherwise).
QSpinBox *unboundedSpin(const QString &name, QWidget *parent);
// Any change of the value, typed, by the arrows or set by the program, ticks the box.
void tickOnChange(QSpinBox *spin, QCheckBox *box);

Toggled<int> toggledNumber(const QSpinBox *spin, const QCheckBox *box);
// The value first, then the box, so a value equal to the old one still ticks as told.
void setToggledNumber(QSpinBox *spin, QCheckBox *box, const Toggled<int> &value);

// Picker is any colour control with color() and setColor().
template<class Picker>
Toggled<ColorValue> toggledColor(const Picker *picker, const QCheckBox *box)
{
    return {box->isChecked(), toColorValue(picker->color())};
}

template<class Picker>
void setToggledColor(Picker *picker, QCheckBox *box, const Toggled<ColorValue> &value)
{
    picker->setColor(toQColor(value.value));
    box->setChecked(value.on);
}
