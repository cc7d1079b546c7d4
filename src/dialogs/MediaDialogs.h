#pragma once

#include "dialogs/ElementDialog.h"
#include "markup/MediaMarkup.h"

class ColorCombo;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QSpinBox;
class QToolButton;

// The file filters of the address buttons.
extern const QString SoundFilter;
extern const QString AllFilesFilter;
extern const QString AppletFilter;

// Horizontal line "Horizontální linka..".
class TForm14 : public FieldsDialog<HrFields>
{
    Q_OBJECT

public:
    explicit TForm14(QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QComboBox *edit1;
    ColorCombo *ColorCombo1;
    QCheckBox *CheckBox3;
    QCheckBox *CheckBox1;
};

// Background sound "Hudba a zvuk..": an address with its two buttons and the repeat count.
class TForm15 : public FieldsDialog<SoundFields>
{
    Q_OBJECT

public:
    TForm15(DocumentContext context, QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QComboBox *ComboBox2;

private:
    DocumentContext m_context;
};

// Embedded file "Vložený objekt".
class TForm16 : public FieldsDialog<EmbedFields>
{
    Q_OBJECT

public:
    TForm16(DocumentContext context, QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QComboBox *ComboBox2;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox1;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox2;
    QPlainTextEdit *Memo1;

private:
    DocumentContext m_context;
};

// Scrolling text "MARQUEE...".
class TWRKForm1 : public FieldsDialog<MarqueeFields>
{
    Q_OBJECT

public:
    explicit TWRKForm1(QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QComboBox *ComboBox2;
    ColorCombo *ColorCombo1;
    QCheckBox *CheckBox1;
    QComboBox *ComboBox3;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox3;
};

// Script "SCRIPT".
class TForm26 : public FieldsDialog<ScriptFields>
{
    Q_OBJECT

public:
    explicit TForm26(QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QLineEdit *Edit4;
    QComboBox *ComboBox2;
    QLineEdit *Edit1;
};

// Registered component "Active-X": the names of the component list and the object's size.
// The list is read from listPath when the dialog is created; without it the user is told
// and the list stays empty.
class TForm27 : public FieldsDialog<ActiveXFields>
{
    Q_OBJECT

public:
    TForm27(const QString &listPath, QWidget *parent = nullptr);


    QListWidget *ListBox1;
    QSpinBox *SpinEdit1;
    QSpinBox *SpinEdit2;
};

// Java applet "Java Applet": the sound dialog's address row with the applet fields.
class TForm28 : public FieldsDialog<AppletFields>
{
    Q_OBJECT

public:
    TForm28(DocumentContext context, QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QLineEdit *Edit1;
    QComboBox *ComboBox2;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit3;
    QCheckBox *CheckBox5;

private:
    DocumentContext m_context;
};

// Object parameter "Parametr".
class TForm29 : public FieldsDialog<ParamFields>
{
    Q_OBJECT

public:
    explicit TForm29(QWidget *parent = nullptr);


    QLineEdit *Edit1;
    QLineEdit *Edit2;
};
