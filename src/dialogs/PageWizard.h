#pragma once

#include "dialogs/ElementDialog.h"
#include "markup/PageMarkup.h"

class ColorCombo;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QToolButton;

// New page wizard "Nová stránka": the body's colours, margins and background on "Tělo
// dokumentu", the document type and title on "Hlavička dokumentu". "Ok" leaves the BODY
// start and end tags in OpeningMarkup and ClosingMarkup; the caller writes the page.
class TForm33 : public FieldsDialog<BodyFields>
{
    Q_OBJECT

public:
    TForm33(DocumentContext context, QWidget *parent = nullptr);

    PageFields pageFields() const;
    void setPageFields(const PageFields &fields);

    // Edit mode for a BODY tag: no "Hlavička dokumentu" page, caption "BODY".
    void setBodyOnly();

    QTabWidget *PageControl1;
    ColorCombo *ColorCombo1;
    ColorCombo *ColorCombo2;
    ColorCombo *ColorCombo3;
    ColorCombo *ColorCombo4;
    ColorCombo *ColorCombo5;
    QCheckBox *CheckBox1;
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox3;
    QCheckBox *CheckBox4;
    QCheckBox *CheckBox5;
    QSpinBox *SpinEdit1;
    QSpinBox *SpinEdit2;
    QSpinBox *SpinEdit3;
    QSpinBox *SpinEdit4;
    QCheckBox *CheckBox7;
    QCheckBox *CheckBox8;
    QCheckBox *CheckBox9;
    QCheckBox *CheckBox10;
    QComboBox *ComboBox2;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QCheckBox *CheckBox6;
    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    // The page's language, for HTML5 pages only.
    QComboBox *LangCombo;

    // The background picture, as written into markup relative to the document.
    void SpeedButton1Click();
    void SpeedButton2Click();

private:
    QWidget *createBodyPage();
    QWidget *createHeadPage();

    DocumentContext m_context;
    QWidget *m_headPage = nullptr;
};
