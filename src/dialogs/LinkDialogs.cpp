#include "LinkDialogs.h"

#include "interaction/Interaction.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

using namespace Qt::StringLiterals;

const QString DocumentFilter =
    u"Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|Šablony (*.sab)|*.sab|"
    u"Archivní soubory (*.zip;*.cab;*.arj)|*.zip;*.cab;*.arj"_s;
const QString InternetShortcutFilter = u"Internetová adresa (*.url)|*.url"_s;

namespace {

QLineEdit *namedEdit(const QString &name, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(name);
    return edit;
}

QToolButton *pickerButton(const QString &name, QStyle::StandardPixmap icon,
                          const QString &hint, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    button->setAccessibleName(hint); // a picture alone says nothing to a screen reader
    return button;
}

} // namespace

TMakeLink::TMakeLink(const TSettings &settings, QWidget *parent)
    : ElementDialog(u"Odkaz"_s, parent), m_settings(settings)
{
    ComboBox1 = editableCombo(
        u"ComboBox1"_s, {u"HTTP://"_s, u"FTP://"_s, u"MAILTO:"_s, u"NEWS:"_s, u"TELNET://"_s},
        this);
    ComboBox1->setEditText(u"HTTP://"_s);
    ComboBox1->setToolTip(u"Vyberte si typ odkazu"_s);
    Edit1 = namedEdit(u"Edit1"_s, this);
    Edit2 = namedEdit(u"Edit2"_s, this);
    Edit3 = namedEdit(u"Edit3"_s, this);
    Edit5 = namedEdit(u"Edit5"_s, this);
    Edit6 = namedEdit(u"Edit6"_s, this);
    const QString loginHint =
        u"Sem zadáváte údaje pouze v případě, že tvoříte odkazy na stránky chráněné heslem!"_s;
    Edit5->setToolTip(loginHint);
    Edit6->setToolTip(loginHint);
    addRow(u"Typ odkazu"_s, ComboBox1);
    addRow(u"Server"_s, Edit1);
    addRow(u"Soubor"_s, Edit2);
    addRow(u"Kotva"_s, Edit3);
    addRow(u"Uživatelské jméno"_s, Edit5);
    addRow(u"Heslo"_s, Edit6);
    setMinimumWidth(380);
}

AddressFields TMakeLink::fields() const
{
    return {ComboBox1->currentText(), Edit1->text(), Edit2->text(),
            Edit3->text(),            Edit5->text(), Edit6->text()};
}

void TMakeLink::setFields(const AddressFields &fields)
{
    ComboBox1->setEditText(fields.scheme);
    Edit1->setText(fields.server);
    Edit2->setText(fields.file);
    Edit3->setText(fields.anchor);
    Edit5->setText(fields.userName);
    Edit6->setText(fields.password);
}

Markup TMakeLink::composed() const
{
    return {::ComposedAddress(fields(), PathSeparator(m_settings.pathOptions())), QString()};
}

std::optional<QString> runAddressComposer(const TSettings &settings, QWidget *parent)
{
    TMakeLink dialog(settings, parent);
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.ComposedAddress();
}

std::optional<QString> pickDocumentAddress(const DocumentContext &context, const QString &filter)
{
    if (!context.documentFileName)
        return std::nullopt;
    // The filter is handed over for this one question, so the previous one stays as it was.
    const QString chosen = ui().openFileName(filter);
    if (chosen.isEmpty())
        return std::nullopt;
    return DocumentRelativePath(chosen, *context.documentFileName, context.settings.pathOptions());
}

TLinkForm::TLinkForm(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Vložit odkaz"_s, &composeLink, parent), m_context(std::move(context))
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, {}, this);
    SpeedButton1 = pickerButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton,
                                u"Otevřít soubor z disku"_s, this);
    SpeedButton2 = pickerButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon,
                                u"Otevřít soubor z jekéhokoliv místa na internetu"_s, this);
    SpeedButton3 = pickerButton(u"SpeedButton3"_s, QStyle::SP_FileLinkIcon,
                                u"Otevřít internetovou oslavu"_s, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s,
                              {u"_top"_s, u"_self"_s, u"_parent"_s, u"_blank"_s}, this);
    auto *address = new QHBoxLayout;
    address->addWidget(ComboBox1, 1);
    address->addWidget(SpeedButton1);
    address->addWidget(SpeedButton2);
    address->addWidget(SpeedButton3);
    addRow(u"Adresa"_s, address)->setBuddy(ComboBox1);
    addRow(u"Rámec"_s, ComboBox2);
    setMinimumWidth(420);
    ComboBox1->setFocus();
    connect(SpeedButton1, &QToolButton::clicked, this, &TLinkForm::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TLinkForm::SpeedButton2Click);
    connect(SpeedButton3, &QToolButton::clicked, this, &TLinkForm::SpeedButton3Click);
    bind({{&Fields::href, "ComboBox1"}, {&Fields::target, "ComboBox2"}});
}



void TLinkForm::SpeedButton1Click()
{
    if (const auto address = pickDocumentAddress(m_context, DocumentFilter))
        ComboBox1->setEditText(*address);
}

void TLinkForm::SpeedButton2Click()
{
    if (const auto address = runAddressComposer(m_context.settings, this))
        ComboBox1->setEditText(*address);
}

void TLinkForm::SpeedButton3Click()
{
    const QString chosen = ui().openFileName(InternetShortcutFilter);
    if (!chosen.isEmpty())
        ComboBox1->setEditText(readInternetShortcut(chosen));
}
