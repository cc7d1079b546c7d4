#include "LinkDialogs.h"

#include "dialogs/FieldWidgets.h"
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

TMakeLink::TMakeLink(const TSettings &settings, QWidget *parent)
    : FieldsDialog(u"Odkaz"_s,
                   [&settings](const AddressFields &fields) {
                       return Markup{::ComposedAddress(fields, PathSeparator(settings.pathOptions())),
                                     QString()};
                   },
                   parent)
{
    ComboBox1 = editableCombo(
        u"ComboBox1"_s, {u"HTTP://"_s, u"FTP://"_s, u"MAILTO:"_s, u"NEWS:"_s, u"TELNET://"_s},
        this);
    ComboBox1->setToolTip(u"Vyberte si typ odkazu"_s);
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    Edit2 = namedLineEdit(u"Edit2"_s, this);
    Edit3 = namedLineEdit(u"Edit3"_s, this);
    Edit5 = namedLineEdit(u"Edit5"_s, this);
    Edit6 = namedLineEdit(u"Edit6"_s, this);
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
    bind({{&Fields::scheme, "ComboBox1"},
          {&Fields::server, "Edit1"},
          {&Fields::file, "Edit2"},
          {&Fields::anchor, "Edit3"},
          {&Fields::userName, "Edit5"},
          {&Fields::password, "Edit6"}});
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

// Defined beside the two pickers it runs, so the helper set needs nothing of the link dialogs.
void AddressPicker::connectButtons(const DocumentContext *context, const QString &filter,
                                   QWidget *dialog) const
{
    QComboBox *field = combo;
    QObject::connect(fileButton, &QToolButton::clicked, dialog, [context, filter, field] {
        if (const auto address = pickDocumentAddress(*context, filter))
            field->setEditText(*address);
    });
    QObject::connect(webButton, &QToolButton::clicked, dialog, [context, field, dialog] {
        if (const auto address = runAddressComposer(context->settings, dialog))
            field->setEditText(*address);
    });
}

TLinkForm::TLinkForm(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Vložit odkaz"_s, &composeLink, parent), m_context(std::move(context))
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, {}, this);
    SpeedButton1 = iconButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton, this,
                              u"Otevřít soubor z disku"_s);
    SpeedButton2 = iconButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon, this,
                              u"Otevřít soubor z jekéhokoliv místa na internetu"_s);
    SpeedButton3 = iconButton(u"SpeedButton3"_s, QStyle::SP_FileLinkIcon, this,
                              u"Otevřít internetovou oslavu"_s);
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
