#pragma once

#include "markup/ElementContract.h"

#include <QString>

#include <limits>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QSpinBox;
class QToolButton;
class QWidget;
struct DocumentContext;

// Controls shared by the form-control and frame dialogs.

QLineEdit *namedLineEdit(const QString &objectName, QWidget *parent);

// A number with the caption-less check box that switches its attribute on: any change of
// the number ticks the box. Unbounded unless bounds are given.
struct ToggledSpin
{
    QSpinBox *spin = nullptr;
    QCheckBox *box = nullptr;

    Toggled<int> value() const;
    // Ticks or clears the box as the value says, even when the number equals the old one.
    void setValue(const Toggled<int> &value) const;
    QHBoxLayout *row() const;
};

ToggledSpin toggledSpin(const QString &spinName, const QString &boxName, QWidget *parent,
                        int minimum = std::numeric_limits<int>::min(),
                        int maximum = std::numeric_limits<int>::max());

// The address field with its two buttons: a document from disk ("SpeedButton1") and the
// address composer ("SpeedButton2").
struct AddressPicker
{
    QComboBox *combo = nullptr;
    QToolButton *fileButton = nullptr;
    QToolButton *webButton = nullptr;
    QHBoxLayout *row() const;
    // The first button puts the chosen document's address (as written into markup) into
    // the field, the second the composed address; context must outlive the buttons.
    void connectButtons(const DocumentContext *context, const QString &filter,
                        QWidget *dialog) const;
};

AddressPicker addressPicker(const QString &comboName, QWidget *parent);
