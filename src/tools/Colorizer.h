#pragma once

#include "dialogs/CheckedDialog.h"
#include "markup/ColorValue.h"

#include <QDialog>

#include <optional>

class ColorCombo;
class QCheckBox;
class QPlainTextEdit;
class QPushButton;

// "Kolorovaní textu": turns a text into a run of FONT elements whose colour moves from a
// start colour through a middle one to an end colour; tags, entities and line breaks of the
// text keep their meaning. The generated markup is kept as a string, so its line breaks
// reach the document as they are; the text area only shows it, and what the user types
// there after generating goes in instead.
class TColorForm : public CheckedDialog
{
    Q_OBJECT

public:
    // The text starts as the document's selection (CR LF line breaks).
    explicit TColorForm(const QString &text, QWidget *parent = nullptr);

    // What "Vložit" hands to the document: the generated markup, or the area's text when
    // the user changed it. With the box ticked, without the line breaks the generation
    // put after each character (the selection's own stay, or its words would run
    // together), or without any line breaks in a text the user wrote.
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
    // What the last generation was made of, while the area still shows it.
    struct Generation
    {
        QString source;
        ColorValue start = 0;
        ColorValue middle = 0;
        ColorValue end = 0;
        bool onePerLine = false;
    };
    std::optional<Generation> m_generation;
};
