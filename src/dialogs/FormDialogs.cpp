#include "FormDialogs.h"

#include "dialogs/FieldWidgets.h"
#include "dialogs/LinkDialogs.h"
#include "markup/Html5Markup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

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
                               u"SUBMIT"_s, u"TEXT"_s, u"EMAIL"_s, u"TEL"_s, u"URL"_s,
                               u"NUMBER"_s, u"RANGE"_s, u"DATE"_s, u"TIME"_s,
                               u"DATETIME-LOCAL"_s, u"MONTH"_s, u"WEEK"_s, u"COLOR"_s,
                               u"SEARCH"_s},
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
    const ToggledSpin tabIndex = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    const ToggledSpin maxLength = toggledSpin(u"SpinEdit2"_s, u"CheckBox3"_s, this);
    const ToggledSpin size = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this);
    SpinEdit1 = tabIndex.spin;
    CheckBox2 = tabIndex.box;
    SpinEdit2 = maxLength.spin;
    CheckBox3 = maxLength.box;
    SpinEdit3 = size.spin;
    CheckBox5 = size.box;
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, u"Aktivní"_s, this);
    CheckBox4 = namedCheckBox(u"CheckBox4"_s, u"Pouze ke čtení"_s, this);

    addRow(u"Typ"_s, ComboBox1);
    addRow(u"Zdroj"_s, source.row())->setBuddy(ComboBox2);
    addRow(u"Alternativní text"_s, Edit1);
    addRow(u"Hodnota"_s, Edit2);
    addRow(u"Titulek"_s, Edit3);
    addRow(u"Jméno"_s, Edit4);
    addRow(u"TabIndex"_s, tabIndex.row())->setBuddy(SpinEdit1);
    addRow(u"Zarovnání"_s, Edit5);
    addRow(u"Maximální délka"_s, maxLength.row())->setBuddy(SpinEdit2);
    addRow(u"Velikost"_s, size.row())->setBuddy(SpinEdit3);
    IdEdit = namedLineEdit(u"IdEdit"_s, this);
    IdEdit->setToolTip(u"Podle ID najde pole jeho popisek (LABEL FOR)"_s);
    PlaceholderEdit = namedLineEdit(u"PlaceholderEdit"_s, this);
    PlaceholderEdit->setToolTip(u"Nápověda, kterou prázdné pole ukazuje"_s);
    ListCombo = editableCombo(u"ListCombo"_s, {}, this);
    ListCombo->setToolTip(u"ID seznamu hodnot (DATALIST), které pole nabídne"_s);
    if (m_context.documentText)
        ListCombo->addItems(dataListIds(m_context.documentText()));
    AutocompleteCombo = editableCombo(u"AutocompleteCombo"_s,
                                      {QString(), u"on"_s, u"off"_s, u"name"_s, u"email"_s,
                                       u"tel"_s, u"url"_s, u"username"_s, u"current-password"_s,
                                       u"new-password"_s, u"street-address"_s,
                                       u"postal-code"_s, u"country-name"_s, u"bday"_s},
                                      this);
    PatternEdit = namedLineEdit(u"PatternEdit"_s, this);
    PatternEdit->setToolTip(u"Regulární výraz, jemuž musí hodnota vyhovět"_s);
    MinEdit = namedLineEdit(u"MinEdit"_s, this);
    MaxEdit = namedLineEdit(u"MaxEdit"_s, this);
    StepEdit = namedLineEdit(u"StepEdit"_s, this);
    RequiredBox = namedCheckBox(u"RequiredBox"_s, u"Povinné"_s, this);
    auto *bounds = new QHBoxLayout;
    bounds->addWidget(MinEdit);
    bounds->addWidget(new QLabel(u"Maximum"_s, this));
    bounds->addWidget(MaxEdit);
    bounds->addWidget(new QLabel(u"Krok"_s, this));
    bounds->addWidget(StepEdit);
    static_cast<QLabel *>(bounds->itemAt(1)->widget())->setBuddy(MaxEdit);
    static_cast<QLabel *>(bounds->itemAt(3)->widget())->setBuddy(StepEdit);
    addRow(u"ID"_s, IdEdit);
    addRow(u"Nápověda v poli"_s, PlaceholderEdit);
    addRow(u"Seznam hodnot"_s, ListCombo);
    addRow(u"Automatické vyplnění"_s, AutocompleteCombo);
    addRow(u"Vzor"_s, PatternEdit);
    addRow(u"Minimum"_s, bounds)->setBuddy(MinEdit);
    addWideRow(flagsRow(CheckBox1, CheckBox4, this));
    addWideRow(RequiredBox);
    setMinimumWidth(400);
    bind({{&Fields::id, "IdEdit"},
          {&Fields::placeholder, "PlaceholderEdit"},
          {&Fields::list, "ListCombo"},
          {&Fields::autocomplete, "AutocompleteCombo"},
          {&Fields::pattern, "PatternEdit"},
          {&Fields::min, "MinEdit"},
          {&Fields::max, "MaxEdit"},
          {&Fields::step, "StepEdit"},
          {&Fields::required, "RequiredBox"},
          {&Fields::type, "ComboBox1"},
          {&Fields::url, "ComboBox2"},
          {&Fields::alt, "Edit1"},
          {&Fields::value, "Edit2"},
          {&Fields::title, "Edit3"},
          {&Fields::name, "Edit4"},
          {&Fields::align, "Edit5"},
          {&Fields::tabIndex, "SpinEdit1", "CheckBox2"},
          {&Fields::maxLength, "SpinEdit2", "CheckBox3"},
          {&Fields::size, "SpinEdit3", "CheckBox5"},
          {&Fields::enabled, "CheckBox1"},
          {&Fields::readOnly, "CheckBox4"}});
    ComboBox1->setFocus();
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
    bind({{&Fields::name, "Edit1"},
          {&Fields::method, "ComboBox1"},
          {&Fields::action, "ComboBox2"},
          {&Fields::title, "Edit3"},
          {&Fields::target, "ComboBox3"}});
    Edit1->setFocus();
}



TForm24::TForm24(QWidget *parent) : FieldsDialog(u"Select"_s, &composeSelect, parent)
{
    Edit4 = namedLineEdit(u"Edit4"_s, this);
    ComboBox1 = editableCombo(u"ComboBox1"_s, controlAlignments(), this);
    const ToggledSpin tabIndex = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    const ToggledSpin size = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this);
    SpinEdit1 = tabIndex.spin;
    CheckBox2 = tabIndex.box;
    SpinEdit3 = size.spin;
    CheckBox5 = size.box;
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, u"Aktivní"_s, this);
    CheckBox4 = namedCheckBox(u"CheckBox4"_s, u"ListBox"_s, this);

    addRow(u"Jméno"_s, Edit4);
    addRow(u"Zarovnání"_s, ComboBox1);
    addRow(u"TabIndex"_s, tabIndex.row())->setBuddy(SpinEdit1);
    addRow(u"Velikost"_s, size.row())->setBuddy(SpinEdit3);
    addWideRow(flagsRow(CheckBox1, CheckBox4, this));
    setMinimumWidth(340);
    bind({{&Fields::name, "Edit4"},
          {&Fields::align, "ComboBox1"},
          {&Fields::tabIndex, "SpinEdit1", "CheckBox2"},
          {&Fields::size, "SpinEdit3", "CheckBox5"},
          {&Fields::enabled, "CheckBox1"},
          {&Fields::multiple, "CheckBox4"}});
    Edit4->setFocus();
}



TForm25::TForm25(QWidget *parent) : FieldsDialog(u"TEXTAREA"_s, &composeTextArea, parent)
{
    Edit4 = namedLineEdit(u"Edit4"_s, this);
    Edit4->setToolTip(u"Jméno textového pole"_s);
    ComboBox1 = editableCombo(u"ComboBox1"_s, controlAlignments(), this);
    ComboBox1->setToolTip(u"Zarovnání textového pole vzhledem ke stránce"_s);
    const ToggledSpin cols = toggledSpin(u"SpinEdit1"_s, u"CheckBox2"_s, this);
    const ToggledSpin rows = toggledSpin(u"SpinEdit3"_s, u"CheckBox5"_s, this);
    const ToggledSpin tabIndex = toggledSpin(u"SpinEdit2"_s, u"CheckBox1"_s, this);
    SpinEdit1 = cols.spin;
    CheckBox2 = cols.box;
    SpinEdit3 = rows.spin;
    CheckBox5 = rows.box;
    SpinEdit2 = tabIndex.spin;
    CheckBox1 = tabIndex.box;
    SpinEdit1->setToolTip(u"Počet slupců v textovém poli"_s);
    SpinEdit3->setToolTip(u"Počet řádků textového pole"_s);
    CheckBox4 = namedCheckBox(u"CheckBox4"_s, u"Pouze ke čtení"_s, this);
    CheckBox4->setToolTip(u"Udává, zda bude textové pole pouze ke čtení"_s);

    addRow(u"Jméno"_s, Edit4);
    addRow(u"Zarovnání"_s, ComboBox1);
    addRow(u"Sloupce"_s, cols.row())->setBuddy(SpinEdit1);
    addRow(u"Řádky"_s, rows.row())->setBuddy(SpinEdit3);
    addRow(u"TabIndex"_s, tabIndex.row())->setBuddy(SpinEdit2);
    addWideRow(CheckBox4);
    setMinimumWidth(340);
    bind({{&Fields::name, "Edit4"},
          {&Fields::align, "ComboBox1"},
          {&Fields::cols, "SpinEdit1", "CheckBox2"},
          {&Fields::rows, "SpinEdit3", "CheckBox5"},
          {&Fields::tabIndex, "SpinEdit2", "CheckBox1"},
          {&Fields::readOnly, "CheckBox4"}});
    Edit4->setFocus();
}


