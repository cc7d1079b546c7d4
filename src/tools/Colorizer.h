#pragma once

#include "dialogs/CheckedDialog.h"

#include <QDialog>

class ColorCombo;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// "Kolorovaní textu": turns a text into a run of FONT elements whose colour moves from a
// start colour through a middle one to an end colour. The generated markup is kept as a
// string, so its CR and LF elements reach the document as they are; the text area only
// shows it, and what the user types there after generating goes in instead.
class TColorForm : public CheckedDialog
{
    Q_OBJECT

public:
    // The text starts as the document's selection (CR LF line breaks).
    explicit TColorForm(const QString &text, QWidget *parent = nullptr);

    // What "Vložit" hands to the document: the generated markup, or the area's text when
    // the user changed it, without line breaks when that box is ticked.
    QString Result() const;

    QPlainTextEdit *Memo1;
    ColorCombo *ColorCombo1; // "Počáteční barva"
    ColorCombo *ColorCombo2; // "Střed"
    ColorCombo *ColorCombo3; // "Konečná barva"
    QCheckBox *CheckBox1;    // "Každý znak na jeden řádek"
    QCheckBox *CheckBox2;    // "Při vložení odstranít řádkování"
    QPushButton *Button1;    // "Generování"
    QPushButton *Button2;    // "Vložit"
    QPushButton *Button3;    // "Zpět"

    void Button1Click();

private:
    QString areaText() const;
    void setAreaText(const QString &text);

    // The text with CR LF breaks the area stands for: what was set or generated last,
    // as long as the user has not typed since.
    QString m_text;
    bool m_edited = false;
    bool m_settingText = false;
};
