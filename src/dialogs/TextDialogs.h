#pragma once

#include "dialogs/ElementDialog.h"
#include "markup/TextMarkup.h"

class ColorCombo;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

// Font dialog "Písmo..": face, size sign and size, and a colour switched on by its check box.
class TMyFontDialog : public FieldsDialog<FontFields>
{
    Q_OBJECT

public:
    explicit TMyFontDialog(QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QComboBox *ComboBox2;
    QComboBox *ComboBox3;
    ColorCombo *Panel1;
    QCheckBox *CheckBox1;
};

// Comment dialog "Komentář": the text between "<!--" and "-->".
class TForm10 : public ElementDialog
{
    Q_OBJECT

public:
    explicit TForm10(QWidget *parent = nullptr);

    // The memo's text with CR LF line breaks, as the document holds them.
    QString commentText() const;
    void setCommentText(const QString &text);

    QPlainTextEdit *Memo1;

protected:
    Markup composed() const override;

private:
    static QString normalizeBreaks(QString text);
};

// META dialog "META".
class TWRKForm2 : public FieldsDialog<MetaFields>
{
    Q_OBJECT

public:
    explicit TWRKForm2(QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QComboBox *ComboBox2;
    QComboBox *ComboBox3;
    QCheckBox *CheckBox1;
};

// Page counter dialog "Vložit počítadlo".
class TCounterForm : public FieldsDialog<CounterFields>
{
    Q_OBJECT

public:
    explicit TCounterForm(QWidget *parent = nullptr);

    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QSpinBox *SpinEdit1;
    QPushButton *Button1;

    void Button1Click();
};
