#pragma once

#include "markup/ColorValue.h"
#include "markup/ElementContract.h"

#include <QCheckBox>
#include <QSpinBox>
#include <QString>
#include <QStyle>

#include <limits>

class QComboBox;
class QHBoxLayout;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;
struct DocumentContext;

// The one set of building blocks for the element dialogs' named controls, and the two
// ways a field's check box ticks by itself.

template<class W>
W *namedWidget(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

QLineEdit *namedLineEdit(const QString &name, QWidget *parent);
QCheckBox *namedCheckBox(const QString &name, const QString &caption, QWidget *parent);

// A small button with one of the style's pictures, such as the file pickers beside a field.
QToolButton *iconButton(const QString &name, QStyle::StandardPixmap icon, QWidget *parent,
                        const QString &hint = {});

// A spin edit over the whole int range (Qt's spin boxes stop at 99 otherwise).
QSpinBox *unboundedSpin(const QString &name, QWidget *parent);
// A change of the value, typed, by the arrows or set by the program, ticks the box.
void tickOnChange(QSpinBox *spin, QCheckBox *box);
// Touching the colour picker means the user wants a colour.
void tickOnPress(QPushButton *picker, QCheckBox *box);
// The caption-less check box that switches a field's attribute on, ticked by a change of
// the number or a press on the colour picker.
QCheckBox *switchBox(QSpinBox *spin, const QString &boxName, QWidget *parent);
QCheckBox *switchBox(QPushButton *picker, const QString &boxName, QWidget *parent);

// A field with its caption-less check box beside it, then the rest of the row empty.
QHBoxLayout *boxRow(QWidget *field, QCheckBox *box);

// A number with the caption-less check box that switches its attribute on: any change of
// the number ticks the box. Unbounded unless bounds are given.
struct ToggledSpin
{
    QSpinBox *spin = nullptr;
    QCheckBox *box = nullptr;
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
    // the field, the second the composed address; context must outlive the buttons. Defined
    // in LinkDialogs.cpp, beside the two pickers.
    void connectButtons(const DocumentContext *context, const QString &filter,
                        QWidget *dialog) const;
};

AddressPicker addressPicker(const QString &comboName, QWidget *parent,
                            const QString &fileHint = QStringLiteral("Otevře soubor z disku"),
                            const QString &webHint = QStringLiteral(
                                "Otevře soubor z kteréhokoliv místa na INTERNETU"));
