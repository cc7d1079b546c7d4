#include "FormFrameParts.h"

#include "dialogs/ElementDialog.h"
#include "dialogs/FieldWidgets.h"
#include "dialogs/LinkDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

QLineEdit *namedLineEdit(const QString &objectName, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    return edit;
}

Toggled<int> ToggledSpin::value() const
{
    return {box->isChecked(), spin->value()};
}

void ToggledSpin::setValue(const Toggled<int> &value) const
{
    spin->setValue(value.value);
    box->setChecked(value.on);
}

QHBoxLayout *ToggledSpin::row() const
{
    auto *layout = new QHBoxLayout;
    layout->addWidget(spin);
    layout->addWidget(box);
    layout->addStretch();
    return layout;
}

ToggledSpin toggledSpin(const QString &spinName, const QString &boxName, QWidget *parent,
                        int minimum, int maximum)
{
    ToggledSpin pair;
    pair.spin = new QSpinBox(parent);
    pair.spin->setObjectName(spinName);
    pair.spin->setRange(minimum, maximum);
    pair.spin->setMinimumWidth(90);
    pair.box = new QCheckBox(parent);
    pair.box->setObjectName(boxName);
    tickOnChange(pair.spin, pair.box);
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

void AddressPicker::connectButtons(const DocumentContext *context, const QString &filter,
                                   QWidget *dialog) const
{
    QComboBox *field = combo;
    QObject::connect(fileButton, &QToolButton::clicked, dialog, [context, filter, field] {
        if (const auto address = pickDocumentAddress(*context, filter))
            field->setEditText(*address);
    });
    QObject::connect(webButton, &QToolButton::clicked, dialog, [context, field, dialog] {
        if (const auto address = runAddressComposer(context->settings, dialog))
            field->setEditText(*address);
    });
}

AddressPicker addressPicker(const QString &comboName, QWidget *parent)
{
    AddressPicker picker;
    picker.combo = editableCombo(comboName, {}, parent);
    picker.fileButton = new QToolButton(parent);
    picker.fileButton->setObjectName(u"SpeedButton1"_s);
    picker.fileButton->setIcon(parent->style()->standardIcon(QStyle::SP_DialogOpenButton));
    picker.fileButton->setToolTip(u"Otevře soubor z disku"_s);
    picker.webButton = new QToolButton(parent);
    picker.webButton->setObjectName(u"SpeedButton2"_s);
    picker.webButton->setIcon(parent->style()->standardIcon(QStyle::SP_DriveNetIcon));
    picker.webButton->setToolTip(u"Otevře soubor z kteréhokoliv místa na INTERNETU"_s);
    return picker;
}
