#pragma once

#include "dialogs/ElementDialog.h"
#include "markup/LinkMarkup.h"

class QComboBox;
class QLineEdit;
class QToolButton;

// Address composer "Odkaz": builds an address from scheme, server, file, anchor and an
// optional login. On OK its address is in ComposedAddress.
class TMakeLink : public FieldsDialog<AddressFields>
{
    Q_OBJECT

public:
    TMakeLink(const TSettings &settings, QWidget *parent = nullptr);

    // The address the last "Vložit" composed.
    QString ComposedAddress() const { return OpeningMarkup; }

    QComboBox *ComboBox1;
    QLineEdit *Edit1;
    QLineEdit *Edit2;
    QLineEdit *Edit3;
    QLineEdit *Edit5;
    QLineEdit *Edit6;
};

// Runs the address composer; the composed address, or nothing when cancelled. Every
// dialog with an address field uses it for its second button.
std::optional<QString> runAddressComposer(const TSettings &settings, QWidget *parent);
// Runs the document picker of address fields with the given filter; the chosen file as
// written into markup, or nothing (also without an open document).
std::optional<QString> pickDocumentAddress(const DocumentContext &context, const QString &filter);

// Link dialog "Vložit odkaz".
class TLinkForm : public FieldsDialog<LinkFields>
{
    Q_OBJECT

public:
    TLinkForm(DocumentContext context, QWidget *parent = nullptr);


    QComboBox *ComboBox1;
    QToolButton *SpeedButton1;
    QToolButton *SpeedButton2;
    QToolButton *SpeedButton3;
    QComboBox *ComboBox2;

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

private:
    DocumentContext m_context;
};

// The filters of the address pickers, as the users know them.
extern const QString DocumentFilter;
extern const QString InternetShortcutFilter;
