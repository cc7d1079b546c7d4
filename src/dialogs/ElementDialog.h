#pragma once

#include "dialogs/FieldBinding.h"
#include "markup/Markup.h"

#include <QDialog>

#include <functional>
#include <optional>

class QFormLayout;
class QLabel;
class QPushButton;
struct TSettings;

// What a dialog may need from the document it works for: the settings that shape file
// references, the document's file name (nothing when no document is open), and its text,
// read only when a dialog asks (image maps, anchors).
struct DocumentContext
{
    DocumentContext(const TSettings &settings, std::optional<QString> documentFileName = {},
                    std::function<QString()> documentText = {})
        : settings(settings)
        , documentFileName(std::move(documentFileName))
        , documentText(std::move(documentText))
    {
    }

    const TSettings &settings;
    std::optional<QString> documentFileName;
    std::function<QString()> documentText;
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

    // The first field takes the focus, not "Vložit", which comes first in the focus chain.
    void showEvent(QShowEvent *event) override;

    QLabel *addRow(const QString &label, QWidget *field);
    QLabel *addRow(const QString &label, QLayout *fields);
    void addWideRow(QWidget *field);

private:
    void insertClicked();

    QFormLayout *m_form = nullptr;
    QPushButton *m_insert = nullptr;
    QPushButton *m_back = nullptr;
};

// An element dialog over a plain fields struct: its declaration binds the named controls
// to the struct's members, and it composes through the struct's pure compose function. A
// derived dialog ends its constructor with bind({...}), which also puts in the struct's
// initialisers, so those are the only place the defaults are written.
template<class F>
class FieldsDialog : public ElementDialog
{
public:
    using Fields = F;
    using Compose = std::function<Markup(const F &)>;

    virtual F fields() const { return m_bindings.read(*this); }
    virtual void setFields(const F &fields) { m_bindings.write(*this, fields); }

protected:
    FieldsDialog(const QString &title, Compose compose, QWidget *parent)
        : ElementDialog(title, parent)
        , m_compose(std::move(compose))
    {
    }
    Markup composed() const override { return m_compose(fields()); }

    void bind(FieldBindings<F> bindings)
    {
        m_bindings = std::move(bindings);
        setFields(F{});
    }

private:
    Compose m_compose;
    FieldBindings<F> m_bindings;
};

// An editable combo box with suggested items, named for tests.
class QComboBox;
QComboBox *editableCombo(const QString &objectName, const QStringList &items, QWidget *parent);
