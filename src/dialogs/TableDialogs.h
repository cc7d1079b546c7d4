#pragma once

#include "dialogs/CheckedDialog.h"
#include "dialogs/ElementDialog.h"
#include "markup/TableMarkup.h"

#include <QDialog>
#include <QPushButton>

#include <functional>

class QCheckBox;
class QComboBox;
class QSpinBox;
class QTableWidget;
class QTabWidget;
class QToolButton;

// A colour panel of the table window: shows its colour; a click asks for another one.
class ColorPanel : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor)

public:
    explicit ColorPanel(QWidget *parent = nullptr);
    QColor color() const { return m_color; }
    void setColor(const QColor &color);

private:
    QColor m_color = Qt::black;
};

// The table window "Tabulky..": table, row and cell attributes on three pages. As a tool
// window beside the documents it composes the markup of the table insertion commands
// while it is open; in edit mode it is shown modally for one TABLE, TR, TD or TH tag with
// only that tag's page enabled and its "Vložit" and "Zpět" buttons shown.
class TTableForm : public QDialog
{
    Q_OBJECT

public:
    // context gives the active document at the moment a "Pozadí" button is pressed.
    TTableForm(std::function<DocumentContext()> context, QWidget *parent = nullptr);

    QString OpeningMarkup;
    QString ClosingMarkup;

    // Each page's fields; setFields fills the page of the fields' kind.
    TableFields tableFields() const;
    RowFields rowFields() const;
    CellFields cellFields() const;
    void setFields(const TableFields &fields);
    void setFields(const RowFields &fields);
    void setFields(const CellFields &fields);

    // Each sets OpeningMarkup and ClosingMarkup from its page and returns them.
    Markup ComposeTable();
    Markup ComposeRow();
    Markup ComposeCell(const QString &kind);

    // Edit mode for a start tag named "TABLE", "TR", "TD" or "TH".
    void setEditMode(const QString &tagName);
    bool inEditMode() const { return !m_editTag.isEmpty(); }
    // The edited page's buttons (nullptr outside edit mode).
    QPushButton *insertButton() const;
    QPushButton *backButton() const;

    QTabWidget *PageControl1;
    // "Tabulka"
    QSpinBox *SpinEdit1, *SpinEdit2, *SpinEdit3;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox3;
    QComboBox *ComboBox4, *ComboBox1, *ComboBox2, *ComboBox3;
    ColorPanel *Panel1, *Panel4, *Panel2, *Panel3;
    QCheckBox *CheckBox5, *CheckBox8, *CheckBox6, *CheckBox7;
    // "Řádek"
    QComboBox *ComboBox5, *ComboBox6, *ComboBox7;
    ColorPanel *Panel5, *Panel8, *Panel6, *Panel7;
    QCheckBox *CheckBox9, *CheckBox12, *CheckBox10, *CheckBox11;
    // "Buňka"
    QComboBox *ComboBox8, *ComboBox9, *ComboBox10, *ComboBox11;
    QSpinBox *SpinEdit5, *SpinEdit6;
    QCheckBox *CheckBox17, *CheckBox18;
    ColorPanel *Panel9, *Panel12, *Panel10, *Panel11;
    QCheckBox *CheckBox13, *CheckBox16, *CheckBox14, *CheckBox15;

protected:
    // The window opens on the first field of its page, not on the page tabs.
    void showEvent(QShowEvent *event) override;

private:
    struct PageButtons
    {
        QPushButton *insert = nullptr;
        QPushButton *back = nullptr;
    };
    QWidget *createTablePage();
    QWidget *createRowPage();
    QWidget *createCellPage();
    QWidget *backgroundField(QComboBox *combo, int firstButton, QWidget *page);
    QCheckBox *colorSwitch(ColorPanel *&panel, int panelNo, int boxNo, QWidget *page);
    void addButtons(QWidget *page, int index);
    void insertClicked();
    // The composed markup, kept for the caller as OpeningMarkup and ClosingMarkup.
    Markup keep(const Markup &markup);

    std::function<DocumentContext()> m_context;
    PageButtons m_buttons[3];
    QString m_editTag;
};

// What the grid dialog leaves: the skeleton's size and whether to leave out the table.
struct TableGridFields
{
    int rows = 0;
    int columns = 0;
    bool noHeader = false;
};

// Table grid "Tabulka": rows and columns picked on a 20 x 20 grid or typed (0..999).
class TForm21 : public CheckedDialog
{
    Q_OBJECT

public:
    TForm21(bool tableWindowOpen, QWidget *parent = nullptr);

    TableGridFields fields() const;

    QTableWidget *StringGrid1;
    QSpinBox *SpinEdit1; // "Výška": rows
    QSpinBox *SpinEdit2; // "Šířka": columns
    QCheckBox *CheckBox2;
    QCheckBox *CheckBox1;
    QPushButton *Button1;
    QPushButton *Button2;

    static constexpr int MaxCount = 999;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void followSelection();
};
