#include "PageWizard.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/FieldWidgets.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/LinkDialogs.h"
#include "interaction/Interaction.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QCheckBox *colorSwitch(ColorCombo *&combo, const QString &comboName, const QString &boxName,
                       QWidget *parent)
{
    combo = namedWidget(new ColorCombo(parent), comboName);
    // Enter confirms the wizard even while a picker has the focus.
    combo->setAutoDefault(false);
    return switchBox(combo, boxName, parent);
}

QCheckBox *marginSwitch(QSpinBox *&spin, const QString &spinName, const QString &boxName,
                        QWidget *parent)
{
    spin = unboundedSpin(spinName, parent);
    return switchBox(spin, boxName, parent);
}

// The body page's declaration; the whole wizard adds the head page's two fields to it.
const FieldBindings<BodyFields> &pageWizardBody()
{
    static const FieldBindings<BodyFields> body{
        {&BodyFields::bgColor, "ColorCombo1", "CheckBox1"},
        {&BodyFields::text, "ColorCombo2", "CheckBox2"},
        {&BodyFields::link, "ColorCombo3", "CheckBox3"},
        {&BodyFields::aLink, "ColorCombo4", "CheckBox4"},
        {&BodyFields::vLink, "ColorCombo5", "CheckBox5"},
        {&BodyFields::topMargin, "SpinEdit1", "CheckBox7"},
        {&BodyFields::bottomMargin, "SpinEdit2", "CheckBox8"},
        {&BodyFields::rightMargin, "SpinEdit3", "CheckBox9"},
        {&BodyFields::leftMargin, "SpinEdit4", "CheckBox10"},
        {&BodyFields::background, "ComboBox2"},
        {&BodyFields::fixedBackground, "CheckBox6"}};
    return body;
}

const FieldBindings<PageFields> &pageWizardPage()
{
    static const FieldBindings<PageFields> page{{&PageFields::docType, "ComboBox1"},
                                                {&PageFields::title, "Edit1"},
                                                {&PageFields::lang, "LangCombo"},
                                                {&PageFields::body, pageWizardBody()}};
    return page;
}

} // namespace

TForm33::TForm33(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Nová stránka"_s, &composeBody, parent), m_context(std::move(context))
{
    PageControl1 = namedWidget(new QTabWidget(this), u"PageControl1"_s);
    PageControl1->addTab(createBodyPage(), u"Tělo dokumentu"_s);
    m_headPage = createHeadPage();
    PageControl1->addTab(m_headPage, u"Hlavička dokumentu"_s);
    addWideRow(PageControl1);
    insertButton()->setText(u"Ok"_s);
    connect(SpeedButton1, &QToolButton::clicked, this, &TForm33::SpeedButton1Click);
    connect(SpeedButton2, &QToolButton::clicked, this, &TForm33::SpeedButton2Click);
    bind(pageWizardBody());
    PageFields first;
    if (m_context.settings.markupStyle() == MarkupStyle::Html5)
        first.docType = documentTypes(MarkupStyle::Html5).first();
    setPageFields(first);
    PageControl1->setCurrentIndex(0);
    ColorCombo1->setFocus();
}

QWidget *TForm33::createBodyPage()
{
    auto *page = new QWidget(this);
    auto *colors = new QGridLayout;
    const struct { ColorCombo **combo; QCheckBox **box; const char16_t *label; } pickers[] = {
        {&ColorCombo1, &CheckBox1, u"Barva pozadí"},
        {&ColorCombo2, &CheckBox2, u"Barva textu"},
        {&ColorCombo3, &CheckBox3, u"Barva odkazů"},
        {&ColorCombo4, &CheckBox4, u"Barva aktivních odkazů"},
        {&ColorCombo5, &CheckBox5, u"Barva navštívených odkazů"}};
    int row = 0;
    for (const auto &p : pickers) {
        const QString n = QString::number(row + 1);
        *p.box = colorSwitch(*p.combo, u"ColorCombo"_s + n, u"CheckBox"_s + n, page);
        // The label stands beside the picker and its caption-less box: both take its text.
        const QString label = QString::fromUtf16(p.label);
        (*p.combo)->setAccessibleName(label);
        (*p.box)->setAccessibleName(label);
        colors->addWidget(new QLabel(label, page), row, 0);
        colors->addWidget(*p.combo, row, 1);
        colors->addWidget(*p.box, row++, 2);
    }
    auto *margins = new QGroupBox(u"Okraje"_s, page);
    auto *marginGrid = new QGridLayout(margins);
    const struct { QSpinBox **spin; QCheckBox **box; const char16_t *label; } spins[] = {
        {&SpinEdit1, &CheckBox7, u"Nahoře"}, {&SpinEdit2, &CheckBox8, u"Dole"},
        {&SpinEdit3, &CheckBox9, u"Vpravo"}, {&SpinEdit4, &CheckBox10, u"Vlevo"}};
    row = 0;
    for (const auto &s : spins) {
        *s.box = marginSwitch(*s.spin, u"SpinEdit"_s + QString::number(row + 1),
                              u"CheckBox"_s + QString::number(row + 7), margins);
        const QString label = QString::fromUtf16(s.label);
        (*s.spin)->setAccessibleName(label);
        (*s.box)->setAccessibleName(label);
        marginGrid->addWidget(new QLabel(label, margins), row, 0);
        marginGrid->addWidget(*s.spin, row, 1);
        marginGrid->addWidget(*s.box, row++, 2);
    }
    ComboBox2 = editableCombo(u"ComboBox2"_s, {}, page);
    SpeedButton1 = iconButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton, page,
                              u"Otevře soubor z disku"_s);
    SpeedButton2 = iconButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon, page,
                              u"Otevře soubor odkudkoliv z INTERNETU"_s);
    ComboBox2->setAccessibleName(u"Pozadí"_s);
    CheckBox6 = namedWidget(new QCheckBox(u"Fixovat pozadí"_s, page), u"CheckBox6"_s);

    auto *background = new QHBoxLayout;
    background->addWidget(new QLabel(u"Pozadí"_s, page));
    background->addWidget(ComboBox2, 1);
    background->addWidget(SpeedButton1);
    background->addWidget(SpeedButton2);
    auto *columns = new QHBoxLayout;
    columns->addLayout(colors);
    columns->addWidget(margins);
    auto *layout = new QVBoxLayout(page);
    layout->addLayout(columns);
    layout->addLayout(background);
    layout->addWidget(CheckBox6);
    return page;
}

QWidget *TForm33::createHeadPage()
{
    auto *page = new QWidget(this);
    ComboBox1 = editableCombo(u"ComboBox1"_s, documentTypes(m_context.settings.markupStyle()), page);
    Edit1 = namedWidget(new QLineEdit(page), u"Edit1"_s);
    LangCombo = editableCombo(u"LangCombo"_s, {u"cs"_s, u"sk"_s, u"en"_s, u"de"_s, u"pl"_s}, page);
    LangCombo->setToolTip(u"Kód jazyka stránky (lang): čtečkám obrazovky a dělení slov"_s);
    auto *form = new QFormLayout(page);
    form->addRow(u"Hlavička dokumentu"_s, ComboBox1);
    form->addRow(u"Titulek dokumentu"_s, Edit1);
    form->addRow(u"Jazyk stránky"_s, LangCombo);
    // HTML 4 pages are written without a language, as they always were.
    LangCombo->setEnabled(m_context.settings.markupStyle() == MarkupStyle::Html5);
    return page;
}

PageFields TForm33::pageFields() const
{
    return pageWizardPage().read(*this);
}

void TForm33::setPageFields(const PageFields &f)
{
    pageWizardPage().write(*this, f);
}

void TForm33::setBodyOnly()
{
    PageControl1->removeTab(PageControl1->indexOf(m_headPage));
    m_headPage->hide();
    setWindowTitle(u"BODY"_s);
}

void TForm33::SpeedButton1Click()
{
    const QString chosen = ui().openFileName(ImageFilter);
    if (chosen.isEmpty())
        return;
    // An untitled document gives the bare file name.
    ComboBox2->setEditText(DocumentRelativePath(
        chosen, m_context.documentFileName.value_or(NeverSavedName()),
        m_context.settings.pathOptions()));
}

void TForm33::SpeedButton2Click()
{
    if (const auto address = runAddressComposer(m_context.settings, this))
        ComboBox2->setEditText(*address);
}
