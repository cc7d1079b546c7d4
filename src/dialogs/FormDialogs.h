#pragma once

#include "dialogs/ElementDialog.h"
#include "dialogs/FormFrameParts.h"
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

    InputFields fields() const override;
    void setFields(const InputFields &fields) override;

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

private:
    DocumentContext m_context;
    ToggledSpin m_tabIndex;
    ToggledSpin m_maxLength;
    ToggledSpin m_size;
};

// FORM dialog "Formulář".
class TForm23 : public FieldsDialog<FormFields>
{
    Q_OBJECT

public:
    TForm23(DocumentContext context, QWidget *parent = nullptr);

    FormFields fields() const override;
    void setFields(const FormFields &fields) override;

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

    SelectFields fields() const override;
    void setFields(const SelectFields &fields) override;

    QLineEdit *Edit4;
    QComboBox *ComboBox1;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox4;

private:
    ToggledSpin m_tabIndex;
    ToggledSpin m_size;
};

// TEXTAREA dialog "TEXTAREA".
class TForm25 : public FieldsDialog<TextAreaFields>
{
    Q_OBJECT

public:
    explicit TForm25(QWidget *parent = nullptr);

    TextAreaFields fields() const override;
    void setFields(const TextAreaFields &fields) override;

    QLineEdit *Edit4;
    QComboBox *ComboBox1;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox4;

private:
    ToggledSpin m_cols;
    ToggledSpin m_rows;
    ToggledSpin m_tabIndex;
};
