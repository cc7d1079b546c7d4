#pragma once

#include "dialogs/CheckedDialog.h"
#include "tools/StyleRule.h"

#include <QDialog>

#include <array>

class ColorCombo;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class WebBrowser;

// "Style builder": composes one style rule from its fields, shows its effect on a sample
// in the embedded browser, and leaves the rule for the document. It composes only; it
// reads no style back.
class TStyleForm : public CheckedDialog
{
    Q_OBJECT

public:
    explicit TStyleForm(QWidget *parent = nullptr);

    StyleFields fields() const;
    void setFields(const StyleFields &fields);

    QString selector() const;
    QString declarations() const { return composeDeclarations(fields()); }
    bool insertBeforeStyleEnd() const;
    // The sample page as last shown, and the file it was written to.

    QTabWidget *PageControl1;
    std::array<QComboBox *, 13> TextBoxes{};       // rows 1-13
    ColorCombo *ColorCombo1;                        // row 14, "color"
    QCheckBox *CheckBox1;
    ColorCombo *ColorCombo2;                        // row 15, "background-color"
    QCheckBox *CheckBox2;
    std::array<QComboBox *, 12> PlacementBoxes{};  // rows 16-27
    std::array<QComboBox *, 4> EdgeWidths{};        // rows 28-31
    std::array<QComboBox *, 4> EdgeStyles{};
    std::array<ColorCombo *, 4> EdgeColors{};
    std::array<QCheckBox *, 4> EdgeColorBoxes{};
    QComboBox *BorderWidth;       // row 32
    QComboBox *BorderStyleLower;  // row 33
    QComboBox *BorderStyleRight;  // row 34
    std::array<QComboBox *, 3> ClassificationBoxes{}; // rows 35-37
    QLineEdit *Edit1;             // "Jméno tagu:"
    QPlainTextEdit *Memo1;        // the sample text
    QPlainTextEdit *Memo2;        // "Výsledný dokument..."
    WebBrowser *WebBrowser1;
    QPushButton *RefreshButton;
    QCheckBox *CheckBox3;         // "Vložit pred </STYLE>"
    QPushButton *OkButton;
    QPushButton *BackButton;

    // Rewrites the sample page and shows it; nothing while the selector is empty.
    void RefreshSample();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *textPage();
    QWidget *fontPage();
    QWidget *colorPage();
    QWidget *placementPage();
    QWidget *borderPage();
    QWidget *classificationPage();
    QComboBox *box(const QString &name, const QStringList &items);

    QString m_sampleFile;
};
