#pragma once

#include "markup/Markup.h"

#include <QDialog>

#include <optional>

class QFormLayout;
class QLabel;
class QPushButton;
struct TSettings;

// What a dialog may need from the document it works for: the settings that shape file
// references, and the document's file name (nothing when no document is open).
struct DocumentContext
{
    const TSettings &settings;
    std::optional<QString> documentFileName;
};

// The frame every element dialog shares: labelled rows, the default button "Vložit"
// and the cancel button "Zpět". "Vložit" asks the dialog for its markup, keeps it in
// OpeningMarkup and ClosingMarkup and closes with OK. Nothing is remembered between uses.
class ElementDialog : public QDialog
{
    Q_OBJECT

public:
    QString OpeningMarkup;
    QString ClosingMarkup;

    QPushButton *insertButton() const { return m_insert; }
    QPushButton *backButton() const { return m_back; }

protected:
    ElementDialog(const QString &title, QWidget *parent);
    // The dialog's fields composed into markup; called by "Vložit".
    virtual Markup composed() const = 0;

    QLabel *addRow(const QString &label, QWidget *field);
    QLabel *addRow(const QString &label, QLayout *fields);
    void addWideRow(QWidget *field);

private:
    void insertClicked();

    QFormLayout *m_form = nullptr;
    QPushButton *m_insert = nullptr;
    QPushButton *m_back = nullptr;
};

// An editable combo box with suggested items, named for tests.
class QComboBox;
QComboBox *editableCombo(const QString &objectName, const QStringList &items, QWidget *parent);
