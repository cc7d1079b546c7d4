#include "FormDialogs.h"

#include "dialogs/LinkDialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

QCheckBox *namedCheckBox(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(objectName);
    return box;
}

// The alignments offered for lists and text areas.
QStringList controlAlignments()
{
    return {u"baseline"_s, u"center"_s,     u"left"_s,       u"middle"_s,
            u"right"_s,    u"textbottom"_s, u"textmiddle"_s, u"texttop"_s};
}

// Two flags side by side in one wide row.
QWidget *flagsRow(QCheckBox *first, QCheckBox *second, QWidget *parent)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    return row;
}

} // namespace

TForm22::TForm22(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Element formuláře"_s, &composeInput, parent), m_context(std::move(context))
{
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {QString(), u"BUTTON"_s, u"CHECKBOX"_s, u"FILE"_s, u"HIDDEN"_s,
                               u"IMAGE"_s, u"PASSWORD"_s, u"RADIO"_s, u"RESET"_s,
                               u"SUBMIT"_s, u"TEXT"_s},
                              this);
    const AddressPicker source = addressPicker(u"ComboBox2"_s, this);
    ComboBox2 = source.combo;
    SpeedButton1 = source.fileButton;
    SpeedButton2 = source.webButton;
    source.connectButtons(&m_context, DocumentFilter, this);
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    Edit2 = namedLineEdit(u"Edit2"_s, this);
    Edit3 = namedLineEdit(u"Edit3"_s, this);
    Edit4 = namedLineEdit(u"Edit4"_s, this);
    Edit5 = editableCombo(u"Edit5"_s, {QString(), u"center"_s, u"left"_s, u"right"_s}, this);
    m_tabIndex = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    m_maxLength = toggledSpin(u"SpinEdit2"_s, u"CheckBox3"_s, this);
    m_size = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this);
    SpinEdit1 = m_tabIndex.spin;
    CheckBox2 = m_tabIndex.box;
    SpinEdit2 = m_maxLength.spin;
    CheckBox3 = m_maxLength.box;
    SpinEdit3 = m_size.spin;
    CheckBox5 = m_size.box;
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, u"Aktivní"_s, this);
    CheckBox4 = namedCheckBox(u"CheckBox4"_s, u"Pouze ke čtení"_s, this);

    addRow(u"Typ"_s, ComboBox1);
    addRow(u"Zdroj"_s, source.row())->setBuddy(ComboBox2);
    addRow(u"Alternativní text"_s, Edit1);
    addRow(u"Hodnota"_s, Edit2);
    addRow(u"Titulek"_s, Edit3);
    addRow(u"Jméno"_s, Edit4);
    addRow(u"TabIndex"_s, m_tabIndex.row())->setBuddy(SpinEdit1);
    addRow(u"Zarovnání"_s, Edit5);
    addRow(u"Maximální délka"_s, m_maxLength.row())->setBuddy(SpinEdit2);
    addRow(u"Velikost"_s, m_size.row())->setBuddy(SpinEdit3);
    addWideRow(flagsRow(CheckBox1, CheckBox4, this));
    setMinimumWidth(400);
    setFields({});
    ComboBox1->setFocus();
}

InputFields TForm22::fields() const
{
    InputFields f;
    f.type = ComboBox1->currentText();
    f.url = ComboBox2->currentText();
    f.alt = Edit1->text();
    f.value = Edit2->text();
    f.title = Edit3->text();
    f.name = Edit4->text();
    f.align = Edit5->currentText();
    f.tabIndex = m_tabIndex.value();
    f.maxLength = m_maxLength.value();
    f.size = m_size.value();
    f.enabled = CheckBox1->isChecked();
    f.readOnly = CheckBox4->isChecked();
    return f;
}

void TForm22::setFields(const InputFields &f)
{
    ComboBox1->setEditText(f.type);
    ComboBox2->setEditText(f.url);
    Edit1->setText(f.alt);
    Edit2->setText(f.value);
    Edit3->setText(f.title);
    Edit4->setText(f.name);
    Edit5->setEditText(f.align);
    m_tabIndex.setValue(f.tabIndex);
    m_maxLength.setValue(f.maxLength);
    m_size.setValue(f.size);
    CheckBox1->setChecked(f.enabled);
    CheckBox4->setChecked(f.readOnly);
}

TForm23::TForm23(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Formulář"_s, &composeForm, parent), m_context(std::move(context))
{
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    ComboBox1 = editableCombo(u"ComboBox1"_s, {QString(), u"GET"_s, u"POST"_s}, this);
    // The buttons beside "Akce" pick an address as those beside "Zdroj" of a control do.
    const AddressPicker action = addressPicker(u"ComboBox2"_s, this);
    ComboBox2 = action.combo;
    SpeedButton1 = action.fileButton;
    SpeedButton2 = action.webButton;
    action.connectButtons(&m_context, DocumentFilter, this);
    Edit3 = namedLineEdit(u"Edit3"_s, this);
    ComboBox3 = editableCombo(u"ComboBox3"_s,
                              {u"_top"_s, u"_self"_s, u"_parent"_s, u"_blank"_s}, this);

    addRow(u"Jméno"_s, Edit1);
    addRow(u"Metoda"_s, ComboBox1);
    addRow(u"Akce"_s, action.row())->setBuddy(ComboBox2);
    addRow(u"Titulek"_s, Edit3);
    addRow(u"Rámec"_s, ComboBox3);
    setMinimumWidth(400);
    setFields({});
    Edit1->setFocus();
}

FormFields TForm23::fields() const
{
    return {Edit1->text(), ComboBox1->currentText(), ComboBox2->currentText(), Edit3->text(),
            ComboBox3->currentText()};
}

void TForm23::setFields(const FormFields &f)
{
    Edit1->setText(f.name);
    ComboBox1->setEditText(f.method);
    ComboBox2->setEditText(f.action);
    Edit3->setText(f.title);
    ComboBox3->setEditText(f.target);
}

TForm24::TForm24(QWidget *parent) : FieldsDialog(u"Select"_s, &composeSelect, parent)
{
    Edit4 = namedLineEdit(u"Edit4"_s, this);
    ComboBox1 = editableCombo(u"ComboBox1"_s, controlAlignments(), this);
    m_tabIndex = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    m_size = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this);
    SpinEdit1 = m_tabIndex.spin;
    CheckBox2 = m_tabIndex.box;
    SpinEdit3 = m_size.spin;
    CheckBox5 = m_size.box;
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, u"Aktivní"_s, this);
    CheckBox4 = namedCheckBox(u"CheckBox4"_s, u"ListBox"_s, this);

    addRow(u"Jméno"_s, Edit4);
    addRow(u"Zarovnání"_s, ComboBox1);
    addRow(u"TabIndex"_s, m_tabIndex.row())->setBuddy(SpinEdit1);
    addRow(u"Velikost"_s, m_size.row())->setBuddy(SpinEdit3);
    addWideRow(flagsRow(CheckBox1, CheckBox4, this));
    setMinimumWidth(340);
    setFields({});
    Edit4->setFocus();
}

SelectFields TForm24::fields() const
{
    return {Edit4->text(),        ComboBox1->currentText(), m_tabIndex.value(),
            m_size.value(),       CheckBox1->isChecked(),   CheckBox4->isChecked()};
}

void TForm24::setFields(const SelectFields &f)
{
    Edit4->setText(f.name);
    ComboBox1->setEditText(f.align);
    m_tabIndex.setValue(f.tabIndex);
    m_size.setValue(f.size);
    CheckBox1->setChecked(f.enabled);
    CheckBox4->setChecked(f.multiple);
}

TForm25::TForm25(QWidget *parent) : FieldsDialog(u"TEXTAREA"_s, &composeTextArea, parent)
{
    Edit4 = namedLineEdit(u"Edit4"_s, this);
    Edit4->setToolTip(u"Jméno textového pole"_s);
    ComboBox1 = editableCombo(u"ComboBox1"_s, controlAlignments(), this);
    ComboBox1->setToolTip(u"Zarovnání textového pole vzhledem ke stránce"_s);
    m_cols = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    m_rows = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this);
    m_tabIndex = toggledSpin(u"SpinEdit2"_s, u"CheckBox1"_s, this);
    SpinEdit1 = m_cols.spin;
    CheckBox2 = m_cols.box;
    SpinEdit3 = m_rows.spin;
    CheckBox5 = m_rows.box;
    SpinEdit2 = m_tabIndex.spin;
    CheckBox1 = m_tabIndex.box;
    SpinEdit1->setToolTip(u"Počet slupců v textovém poli"_s);
    SpinEdit3->setToolTip(u"Počet řádků textového pole"_s);
    CheckBox4 = namedCheckBox(u"CheckBox4"_s, u"Pouze ke čtení"_s, this);
    CheckBox4->setToolTip(u"Udává, zda bude textové pole pouze ke čtení"_s);

    addRow(u"Jméno"_s, Edit4);
    addRow(u"Zarovnání"_s, ComboBox1);
    addRow(u"Sloupce"_s, m_cols.row())->setBuddy(SpinEdit1);
    addRow(u"Řádky"_s, m_rows.row())->setBuddy(SpinEdit3);
    addRow(u"TabIndex"_s, m_tabIndex.row())->setBuddy(SpinEdit2);
    addWideRow(CheckBox4);
    setMinimumWidth(340);
    setFields({});
    Edit4->setFocus();
}

TextAreaFields TForm25::fields() const
{
    TextAreaFields f;
    f.name = Edit4->text();
    f.align = ComboBox1->currentText();
    f.cols = m_cols.value();
    f.rows = m_rows.value();
    f.tabIndex = m_tabIndex.value();
    f.readOnly = CheckBox4->isChecked();
    return f;
}

void TForm25::setFields(const TextAreaFields &f)
{
    Edit4->setText(f.name);
    ComboBox1->setEditText(f.align);
    m_cols.setValue(f.cols);
    m_rows.setValue(f.rows);
    m_tabIndex.setValue(f.tabIndex);
    CheckBox4->setChecked(f.readOnly);
}
