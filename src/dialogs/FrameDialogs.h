#pragma once

#include "dialogs/ElementDialog.h"
#include "markup/FrameMarkup.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QToolButton;
class RadioGroup;

// Frame-set dialog "Soubor rámců".
class TForm17 : public FieldsDialog<FrameSetFields>
{
    Q_OBJECT

public:
    explicit TForm17(QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QComboBox *ComboBox2;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox1;
    RadioGroup *RadioGroup1;
    RadioGroup *RadioGroup2;

};

// Frame dialog "Rámec". In its inline-frame role it is titled "Vložený rámec" and
// "Vložit" composes an IFRAME with the same fields.
class TForm18 : public FieldsDialog<FrameFields>
{
    Q_OBJECT

public:
    TForm18(DocumentContext context, QWidget *parent = nullptr);

    void setInlineFrameRole();


    QComboBox *ComboBox1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QLineEdit *Edit1;
    QComboBox *ComboBox2;
    QSpinBox *SpinEdit1;
    QCheckBox *CheckBox2;
    QSpinBox *SpinEdit2;
    QCheckBox *CheckBox3;
    RadioGroup *RadioGroup2;
    RadioGroup *RadioGroup1;

protected:
    Markup composed() const override;

private:
    DocumentContext m_context;
    bool m_inline = false;
};

// The addresses a frame may show.
extern const QString FrameDocumentFilter;

// Frame generator "Generátor rámců": six picture buttons, one per ready layout; a click
// leaves that layout's whole page in OpeningMarkup and closes with OK. "Zpět" leaves
// nothing.
class TForm41 : public QDialog
{
    Q_OBJECT

public:
    explicit TForm41(QWidget *parent = nullptr);

    QString OpeningMarkup;
    QString ClosingMarkup;

    QPushButton *backButton() const { return m_back; }

private:
    void layoutChosen(int layout);

    QList<QToolButton *> m_layouts;
    QPushButton *m_back = nullptr;
};
