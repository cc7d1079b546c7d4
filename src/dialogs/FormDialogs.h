#pragma once

#include "dialogs/ElementDialog.h"
#include "markup/FormMarkup.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QToolButton;

// INPUT control dialog "Element formuláře".
class TForm22 : public FieldsDialog<InputFields>
{
    Q_OBJECT

public:
    TForm22(DocumentContext context, QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QComboBox *ComboBox2;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QLineEdit *Edit4;
    QComboBox *Edit5;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox3;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox4;
    // The attributes of today's forms.
    QLineEdit *IdEdit;
    QLineEdit *PlaceholderEdit;
    QComboBox *ListCombo;
    QComboBox *AutocompleteCombo;
    QLineEdit *PatternEdit;
    QLineEdit *MinEdit;
    QLineEdit *MaxEdit;
    QLineEdit *StepEdit;
    QCheckBox *RequiredBox;

private:
    DocumentContext m_context;
};

// FORM dialog "Formulář".
class TForm23 : public FieldsDialog<FormFields>
{
    Q_OBJECT

public:
    TForm23(DocumentContext context, QWidget *parent = nullptr);


    QLineEdit *Edit1;
    QComboBox *ComboBox1;
    QComboBox *ComboBox2;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QLineEdit *Edit3;
    QComboBox *ComboBox3;

private:
    DocumentContext m_context;
};

// SELECT dialog "Select".
class TForm24 : public FieldsDialog<SelectFields>
{
    Q_OBJECT

public:
    explicit TForm24(QWidget *parent = nullptr);


    QLineEdit *Edit4;
    QComboBox *ComboBox1;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox4;

};

// TEXTAREA dialog "TEXTAREA".
class TForm25 : public FieldsDialog<TextAreaFields>
{
    Q_OBJECT

public:
    explicit TForm25(QWidget *parent = nullptr);


    QLineEdit *Edit4;
    QComboBox *ComboBox1;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox4;

};
