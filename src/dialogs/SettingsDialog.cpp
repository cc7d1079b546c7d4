#include "dialogs/SettingsDialog.h"

#include "dialogs/FieldBinding.h"
#include "interaction/Interaction.h"
#include "settings/TSettings.h"

#include <QAction>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kProgramFilter =
    u"Spustitelné soubory (*.exe;*.com;*.bat;*.pif;*.lnk)|*.exe;*.com;*.bat;*.pif;*.lnk|"
    u"Všechny soubory (*)|*"_s; // programs here rarely end in ".exe"

// The narrowest the pages get; the wrapped explanations are laid out to this width.
constexpr int kPageWidth = 440;

QLabel *wrappedLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

} // namespace

namespace settingsdialog {

// A button showing a colour swatch; a click asks the user for another colour. Kept small
// and private so a richer colour widget can replace it without touching the mapping.
class ColorPicker : public QPushButton
{
public:
    explicit ColorPicker(QWidget *parent) : QPushButton(parent)
    {
        setFixedSize(72, 24);
        setIconSize(QSize(56, 14));
        connect(this, &QPushButton::clicked, this, [this] {
            if (const std::optional<QColor> picked = ui().color(toQColor(m_value)))
                setValue(toColorValue(*picked));
        });
        setValue(0);
    }

    ColorValue value() const { return m_value; }
    void setValue(ColorValue value)
    {
        m_value = value & 0xFFFFFF;
        QPixmap swatch(iconSize());
        swatch.fill(toQColor(m_value));
        QPainter frame(&swatch);
        frame.setPen(palette().color(QPalette::WindowText));
        frame.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
        frame.end();
        setIcon(QIcon(swatch));
        setToolTip(toQColor(m_value).name(QColor::HexRgb).toUpper());
    }

private:
    ColorValue m_value = 0;
};

// The controls whose values the kind of control alone does not give.

// Ticked means forward slashes: the inverse of the stored flag.
const ControlAccess<bool> invertedFlag{
    [](const QWidget *box) { return !controlFlag(box); },
    [](QWidget *box, const bool &on) { setControlFlag(box, !on); }};

const ControlAccess<int> pickedColor{
    [](const QWidget *control) {
        auto *picker = dynamic_cast<const ColorPicker *>(control);
        if (!picker)
            qFatal("%s is no colour picker", qPrintable(control->objectName()));
        return picker->value();
    },
    [](QWidget *control, const int &color) {
        auto *picker = dynamic_cast<ColorPicker *>(control);
        if (!picker)
            qFatal("%s is no colour picker", qPrintable(control->objectName()));
        picker->setValue(color);
    }};

// A stored format outside the three leaves no choice made; the group keeps the stored
// number, and Ok then keeps it too.
const ControlAccess<int> lineEndChoice{
    [](const QWidget *box) {
        const int chosen = box->findChild<QButtonGroup *>()->checkedId();
        return chosen >= 0 ? chosen : box->property("storedFormat").toInt();
    },
    [](QWidget *box, const int &format) {
        box->setProperty("storedFormat", format);
        QButtonGroup *group = box->findChild<QButtonGroup *>();
        group->setExclusive(false);
        for (QAbstractButton *radio : group->buttons())
            radio->setChecked(radio == group->button(format));
        group->setExclusive(true);
    }};

// The face is chosen in the list when it is there, and kept by name when it is not.
const ControlAccess<QString> fontFace{
    [](const QWidget *combo) { return controlText(combo); },
    [](QWidget *control, const QString &face) {
        auto *combo = qobject_cast<QComboBox *>(control);
        combo->setCurrentIndex(combo->findText(face));
        combo->setEditText(face);
    }};

// The stored word of the markup style: an unknown one reads as HTML 4 and is kept unless
// the user chooses otherwise.
const ControlAccess<QString> markupStyleChoice{
    [](const QWidget *control) {
        auto *combo = qobject_cast<const QComboBox *>(control);
        const QString stored = combo->property("storedStyle").toString();
        const QString chosen = combo->currentData().toString();
        return chosen == markupStyleName(markupStyleFromName(stored)) ? stored : chosen;
    },
    [](QWidget *control, const QString &stored) {
        auto *combo = qobject_cast<QComboBox *>(control);
        combo->setProperty("storedStyle", stored);
        combo->setCurrentIndex(combo->findData(markupStyleName(markupStyleFromName(stored))));
    }};

// Which control edits which setting.
const FieldBindings<TSettings> &settingsFormBindings()
{
    static const FieldBindings<TSettings> bindings{
        // "Obecné"
        {&TSettings::Alt92, "SlashCheck", invertedFlag},
        {&TSettings::RelPa, "RelPaCheck"},
        {&TSettings::InsideTagCheck, "InsideTagCheck"},
        {&TSettings::MetaCz, "MetaCzCheck"},
        {&TSettings::GenVys, "GenVysCheck"},
        {&TSettings::Colorize, "ColorizeCheck"},
        {&TSettings::FindDir, "FindDirCheck"},
        {&TSettings::HidePrew, "HidePrewCheck"},
        {&TSettings::Ulpre, "UlpreCheck"},
        {&TSettings::UpperCaseFiles, "UpperCaseFilesCheck"},
        {&TSettings::ReopenSession, "ReopenSessionCheck"},
        {&TSettings::Backup, "BackupCheck"},
        {&TSettings::BackupPrip, "BackupPripEdit"},
        {&TSettings::FITIP, "FitipGroup", lineEndChoice},
        {&TSettings::MarkupStyle, "MarkupStyleCombo", markupStyleChoice},
        // "Barvy"
        {&TSettings::TEXT, "TextColor", pickedColor},
        {&TSettings::TAG, "TagColor", pickedColor},
        {&TSettings::LINK, "LinkColor", pickedColor},
        {&TSettings::IMAGE, "ImageColor", pickedColor},
        {&TSettings::STYLE, "StyleColor", pickedColor},
        {&TSettings::SCRIPT, "ScriptColor", pickedColor},
        {&TSettings::CssSelector, "CssSelectorColor", pickedColor},
        {&TSettings::CssProperty, "CssPropertyColor", pickedColor},
        {&TSettings::CssValue, "CssValueColor", pickedColor},
        {&TSettings::CssComment, "CssCommentColor", pickedColor},
        {&TSettings::JsKeyword, "JsKeywordColor", pickedColor},
        {&TSettings::JsString, "JsStringColor", pickedColor},
        {&TSettings::JsNumber, "JsNumberColor", pickedColor},
        {&TSettings::JsComment, "JsCommentColor", pickedColor},
        // "Editor"
        {&TSettings::EditFont, "FontCombo", fontFace},
        {&TSettings::Vyska, "SizeSpin"},
        {&TSettings::Tab, "TabSpin"},
        {&TSettings::Alt_Enter, "AltEnterCheck"},
        {&TSettings::Alt_Enter_Text, "AltEnterEdit"},
        {&TSettings::LineNumbers, "LineNumbersCheck"},
        {&TSettings::TagPairs, "TagPairsCheck"},
        {&TSettings::CloseTags, "CloseTagsCheck"},
        {&TSettings::RenamePairs, "RenamePairsCheck"},
        {&TSettings::Completion, "CompletionCheck"},
        // "Prohlížení "
        {&TSettings::ExtBrow, "ExtBrowEdit"},
        {&TSettings::IBrow, "IBrowCheck"},
        {&TSettings::UseDDE, "UseDDECheck"},
    };
    return bindings;
}

} // namespace settingsdialog

using settingsdialog::ColorPicker;

// Order of the colour pickers on their page, and so of m_colors.
enum ColorSlot {
    TextSlot, TagSlot, LinkSlot, ImageSlot, StyleSlot, ScriptSlot,
    CssSelectorSlot, CssPropertySlot, CssValueSlot, CssCommentSlot,
    JsKeywordSlot, JsStringSlot, JsNumberSlot, JsCommentSlot, SlotCount
};


TSettingsForm::TSettingsForm(const TSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setObjectName(u"SettingsForm"_s);
    setWindowTitle(u"Nastavení"_s);
    setModal(true);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(u"PageControl1"_s);
    PageControl1->addTab(createGeneralPage(), u"Obecné"_s);
    PageControl1->addTab(createColorsPage(), u"Barvy"_s);
    PageControl1->addTab(createEditorPage(), u"Editor"_s);
    PageControl1->addTab(createBrowsingPage(), u"Prohlížení "_s);
    PageControl1->setMinimumWidth(kPageWidth);

    CancelButton = new QPushButton(u"Zpět"_s, this);
    CancelButton->setObjectName(u"CancelButton"_s);
    CancelButton->setAutoDefault(false);
    DefaultsButton = new QPushButton(u"Původní nastavení"_s, this);
    DefaultsButton->setObjectName(u"DefaultsButton"_s);
    DefaultsButton->setAutoDefault(false);
    OkButton = new QPushButton(u"Ok"_s, this);
    OkButton->setObjectName(u"OkButton"_s);
    OkButton->setDefault(true);
    connect(CancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(DefaultsButton, &QPushButton::clicked, this, &TSettingsForm::DefaultsButtonClick);
    connect(OkButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(CancelButton);
    buttons->addWidget(DefaultsButton);
    buttons->addWidget(OkButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1);
    layout->addLayout(buttons);

    FormShow();
    setFixedSize(sizeHint());
}

QCheckBox *TSettingsForm::addCheck(const char *name, const QString &text)
{
    auto *box = new QCheckBox(text, m_page);
    box->setObjectName(QLatin1StringView(name));
    m_page->layout()->addWidget(box);
    return box;
}

QWidget *TSettingsForm::createGeneralPage()
{
    m_page = new QWidget;
    m_page->setObjectName(u"GeneralPage"_s);
    auto *layout = new QVBoxLayout(m_page);
    layout->setSpacing(4);
    SlashCheck = addCheck("SlashCheck", u"Ve jménech souboru použít lomítko ' / '"_s);
    RelPaCheck = addCheck("RelPaCheck", u"Používat relativní cesty ve jménech souborů"_s);
    InsideTagCheck = addCheck("InsideTagCheck", u"Kontrolovat vložení uvnitř tagu"_s);
    MetaCzCheck =
        addCheck("MetaCzCheck", u"Vkládat při generování hlavičky META tag  pro češtinu"_s);
    GenVysCheck = addCheck("GenVysCheck", u"Automaticky generovat výšku a šířku obrázku"_s);
    ColorizeCheck = addCheck("ColorizeCheck", u"Kolorovat dokument po otevření"_s);
    FindDirCheck = addCheck("FindDirCheck", u"Při ukládání souboru nalezt aktuální adresář"_s);
    HidePrewCheck = addCheck("HidePrewCheck", u"Při preview skrýt panel zdrojů"_s);
    UlpreCheck = addCheck("UlpreCheck", u"Automaticky ukládat před preview"_s);
    UpperCaseFilesCheck = addCheck("UpperCaseFilesCheck", u"Jména souborů velkým písmem"_s);
    ReopenSessionCheck = addCheck("ReopenSessionCheck",
                                  u"Při spuštění znovu otevřít stránky otevřené při ukončení"_s);
    BackupCheck = addCheck("BackupCheck", u"Vytvářet zálohu s příponou"_s);

    BackupPripEdit = new QLineEdit(m_page);
    BackupPripEdit->setObjectName(u"BackupPripEdit"_s);
    BackupPripEdit->setFixedWidth(80);
    BackupPripEdit->setAccessibleName(u"Vytvářet zálohu s příponou"_s);
    auto *backupRow = new QHBoxLayout;
    // Indented under its check box, as the extension belongs to it.
    backupRow->addSpacing(22);
    backupRow->addWidget(BackupPripEdit);
    backupRow->addStretch(1);
    layout->addLayout(backupRow);

    auto *format = new QGroupBox(u"Ukládat soubory ve formátu"_s, m_page);
    format->setObjectName(u"FitipGroup"_s);
    auto *formatRow = new QHBoxLayout(format);
    auto *group = new QButtonGroup(format);
    const char *names[] = {"FitipDos", "FitipUnix", "FitipMac"};
    const QString texts[] = {u"Dos/Windows"_s, u"Unix"_s, u"Mac"_s};
    for (int i = 0; i < 3; ++i) {
        FitipRadio[i] = new QRadioButton(texts[i], format);
        FitipRadio[i]->setObjectName(QLatin1StringView(names[i]));
        group->addButton(FitipRadio[i], i);
        formatRow->addWidget(FitipRadio[i]);
    }
    formatRow->addStretch(1);
    layout->addSpacing(6);
    layout->addWidget(format);

    // Item data: the settings' words for the style.
    MarkupStyleCombo = new QComboBox(m_page);
    MarkupStyleCombo->setObjectName(u"MarkupStyleCombo"_s);
    MarkupStyleCombo->addItem(u"HTML 4"_s, markupStyleName(MarkupStyle::Html4));
    MarkupStyleCombo->addItem(u"HTML5"_s, markupStyleName(MarkupStyle::Html5));
    MarkupStyleCombo->setToolTip(u"Jak vkládací příkazy píší nové značky; napsaný text se nemění."_s);
    auto *styleLabel = new QLabel(u"Styl kódu:"_s, m_page);
    styleLabel->setBuddy(MarkupStyleCombo);
    auto *styleRow = new QHBoxLayout;
    styleRow->addWidget(styleLabel);
    styleRow->addWidget(MarkupStyleCombo);
    styleRow->addStretch(1);
    layout->addSpacing(6);
    layout->addLayout(styleRow);
    layout->addStretch(1);
    return m_page;
}

QWidget *TSettingsForm::createColorsPage()
{
    m_page = new QWidget;
    m_page->setObjectName(u"ColorsPage"_s);
    auto *layout = new QVBoxLayout(m_page);

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(12);
    const char *names[SlotCount] = {
        "TextColor",        "TagColor",         "LinkColor",      "ImageColor",
        "StyleColor",       "ScriptColor",      "CssSelectorColor", "CssPropertyColor",
        "CssValueColor",    "CssCommentColor",  "JsKeywordColor", "JsStringColor",
        "JsNumberColor",    "JsCommentColor"};
    const QString captions[SlotCount] = {
        u"Barva textu"_s,        u"Barva tagů"_s,          u"Barva odkazů"_s,
        u"Barva obrázků"_s,      u"Barva Stylů"_s,         u"Barva Scriptů"_s,
        u"CSS: selektory"_s,     u"CSS: vlastnosti"_s,     u"CSS: hodnoty"_s,
        u"CSS: komentáře"_s,     u"Script: klíčová slova"_s, u"Script: řetězce"_s,
        u"Script: čísla"_s,      u"Script: komentáře"_s};
    for (int i = 0; i < SlotCount; ++i) {
        m_colors[i] = new ColorPicker(m_page);
        m_colors[i]->setObjectName(QLatin1StringView(names[i]));
        auto *label = new QLabel(captions[i], m_page);
        label->setBuddy(m_colors[i]);
        // The six markup colours in two columns of three, as always; the code's colours
        // below them, the style sheet's on the left and the script's on the right.
        const bool code = i >= CssSelectorSlot;
        const int index = code ? i - CssSelectorSlot : i;
        const int perColumn = code ? 4 : 3;
        const int row = index % perColumn + (code ? 4 : 0);
        const int column = (index / perColumn) * 3;
        grid->addWidget(label, row, column);
        grid->addWidget(m_colors[i], row, column + 1);
    }
    grid->setRowMinimumHeight(3, 8);
    grid->setColumnMinimumWidth(2, 24);
    grid->setColumnStretch(5, 1);
    layout->addLayout(grid);
    layout->addSpacing(8);

    OneColorCheck = addCheck("OneColorCheck", u"Použít na vše jednu barvu"_s);
    layout->addSpacing(8);
    auto *hint = wrappedLabel(
        u"Zde si můžete nastavit barvy, kterými se bude obarvovat text ,pokud chcete "
        u"obarvovat pouze jednou barvou text, pak zaškrtněte \"Použít na vše jednu barvu\""_s,
        m_page);
    hint->setObjectName(u"ColorsHint"_s);
    layout->addWidget(hint);
    layout->addStretch(1);
    return m_page;
}

QWidget *TSettingsForm::createEditorPage()
{
    m_page = new QWidget;
    m_page->setObjectName(u"EditorPage"_s);
    auto *layout = new QVBoxLayout(m_page);

    auto *heading = new QLabel(u"Nastavení typu a velikosti písma v editoru"_s, m_page);
    heading->setObjectName(u"FontHeading"_s);
    QFont bold = heading->font();
    bold.setBold(true);
    heading->setFont(bold);
    layout->addWidget(heading);

    auto *form = new QFormLayout;
    form->setLabelAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    FontCombo = new QComboBox(m_page);
    FontCombo->setObjectName(u"FontCombo"_s);
    // Editable, so a face that is not installed here keeps its name.
    FontCombo->setEditable(true);
    FontCombo->setInsertPolicy(QComboBox::NoInsert);
    FontCombo->setMinimumWidth(220);
    QStringList families = QFontDatabase::families();
    families.sort(Qt::CaseInsensitive);
    FontCombo->addItems(families);
    form->addRow(u"Jméno fontu"_s, FontCombo);
    SizeSpin = new QSpinBox(m_page);
    SizeSpin->setObjectName(u"SizeSpin"_s);
    SizeSpin->setRange(1, 500);
    SizeSpin->setMinimumWidth(60);
    form->addRow(u"Velikost písma"_s, SizeSpin);
    layout->addLayout(form);
    layout->addSpacing(12);

    auto *tabRow = new QHBoxLayout;
    TabSpin = new QSpinBox(m_page);
    TabSpin->setObjectName(u"TabSpin"_s);
    TabSpin->setRange(0, 100);
    auto *tabCaption = new QLabel(u"Po stisku tabelátoru vkládat"_s, m_page);
    tabCaption->setBuddy(TabSpin);
    tabRow->addWidget(tabCaption);
    tabRow->addWidget(TabSpin);
    tabRow->addWidget(new QLabel(u"mezer"_s, m_page));
    tabRow->addStretch(1);
    layout->addLayout(tabRow);
    layout->addSpacing(8);

    AltEnterCheck = addCheck("AltEnterCheck", u"Po Alt+Enter vkládat"_s);
    AltEnterEdit = new QLineEdit(m_page);
    AltEnterEdit->setObjectName(u"AltEnterEdit"_s);
    AltEnterEdit->setFixedWidth(220);
    AltEnterEdit->setAccessibleName(u"Po Alt+Enter vkládat"_s);
    auto *altEnterRow = new QHBoxLayout;
    // Indented under its check box, as the text belongs to it.
    altEnterRow->addSpacing(22);
    altEnterRow->addWidget(AltEnterEdit);
    altEnterRow->addStretch(1);
    layout->addLayout(altEnterRow);
    layout->addSpacing(8);

    LineNumbersCheck = addCheck("LineNumbersCheck", u"Zobrazovat čísla řádků"_s);
    TagPairsCheck = addCheck("TagPairsCheck", u"Zvýrazňovat párový tag"_s);
    CloseTagsCheck = addCheck("CloseTagsCheck", u"Při psaní doplňovat koncové tagy"_s);
    RenamePairsCheck = addCheck("RenamePairsCheck", u"Přejmenovat s tagem i jeho párový tag"_s);
    CompletionCheck = addCheck("CompletionCheck", u"Nabízet jména tagů, atributů a hodnot"_s);
    layout->addStretch(1);
    return m_page;
}

QWidget *TSettingsForm::createBrowsingPage()
{
    m_page = new QWidget;
    m_page->setObjectName(u"BrowsingPage"_s);
    auto *layout = new QVBoxLayout(m_page);

    auto *caption = new QLabel(u"Externí prohlížeč"_s, m_page);
    layout->addWidget(caption);
    auto *row = new QHBoxLayout;
    ExtBrowEdit = new QLineEdit(m_page);
    ExtBrowEdit->setObjectName(u"ExtBrowEdit"_s);
    caption->setBuddy(ExtBrowEdit);
    BrowseButton = new QToolButton(m_page);
    BrowseButton->setText(u"..."_s);
    BrowseButton->setObjectName(u"BrowseButton"_s);
    connect(BrowseButton, &QToolButton::clicked, this, &TSettingsForm::BrowseButtonClick);
    row->addWidget(ExtBrowEdit, 1);
    row->addWidget(BrowseButton);
    layout->addLayout(row);

    BrowseHint = wrappedLabel(
        u"Pokud hodláte použít váš oblíbený prohlížeč, s kterým jsou dokumenty HTML "
        u"asociovány, pak nemusíte zde nic nastavovat.  Volbu používat DDE zašktrtněte pouze "
        u"pokud používáte Netscape !"_s,
        m_page);
    BrowseHint->setObjectName(u"BrowseHint"_s);
    BrowseHint->setCursor(Qt::PointingHandCursor);
    BrowseHint->installEventFilter(this);
    layout->addWidget(BrowseHint);
    layout->addSpacing(8);

    IBrowCheck = addCheck("IBrowCheck", u"Používat interní prohlížeč"_s);
    UseDDECheck = addCheck("UseDDECheck", u"Používat DDE"_s);
    layout->addStretch(1);
    return m_page;
}

bool TSettingsForm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == BrowseHint && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
        BrowseButtonClick();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TSettingsForm::FormShow()
{
    settingsdialog::settingsFormBindings().write(*this, m_settings);
}

void TSettingsForm::storeControls()
{
    if (OneColorCheck->isChecked()) {
        for (ColorPicker *picker : m_colors)
            picker->setValue(m_colors[TextSlot]->value());
    }
    settingsdialog::settingsFormBindings().read(*this, m_settings);
}

std::optional<TSettings> TSettingsForm::chosenSettings() const
{
    if (result() == QDialog::Accepted)
        return m_settings;
    return m_restored;
}

void TSettingsForm::accept()
{
    storeControls();
    QDialog::accept();
}

void TSettingsForm::DefaultsButtonClick()
{
    SetDefaultSettings(m_settings);
    m_restored = m_settings;
    FormShow();
}

void TSettingsForm::BrowseButtonClick()
{
    const QString path = ui().openFileName(kProgramFilter);
    if (!path.isEmpty())
        ExtBrowEdit->setText(path);
}
