#include "dialogs/MediaDialogs.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/FieldWidgets.h"
#include "dialogs/LinkDialogs.h"
#include "interaction/Interaction.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStyle>
#include <QToolButton>

#include <limits>

using namespace Qt::StringLiterals;

const QString SoundFilter =
    u"Hudební soubory (*.mid;*.wav;*.mp3;*.mod;*.au)|*.mid;*.wav;*.mp3;*.mod;*.au"_s;
const QString AllFilesFilter = u"Všechny soubory (*.*)|*.*"_s;
const QString AppletFilter = u"Java aplety (*.class)|*.class"_s;

namespace {

template<class W>
W *named(W *widget, const QString &name)
{
    widget->setObjectName(name);
    return widget;
}

// Number fields take any whole number; a spin box alone would stop at 99.
QSpinBox *spinEdit(const QString &name, QWidget *parent)
{
    auto *spin = named(new QSpinBox(parent), name);
    spin->setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
    spin->setMinimumWidth(110);
    return spin;
}

QCheckBox *checkBox(const QString &name, const QString &caption, QWidget *parent)
{
    return named(new QCheckBox(caption, parent), name);
}

QLineEdit *lineEdit(const QString &name, QWidget *parent)
{
    return named(new QLineEdit(parent), name);
}

QToolButton *addressButton(const QString &name, QStyle::StandardPixmap icon,
                           const QString &hint, QWidget *parent)
{
    auto *button = named(new QToolButton(parent), name);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setToolTip(hint);
    return button;
}

// An address field with its file button (the document picker with this filter) and its
// composer button (the address composer).
QHBoxLayout *addressRow(QWidget *dialog, QComboBox *field, QToolButton *file,
                        QToolButton *composer, const DocumentContext &context,
                        const QString &filter)
{
    QObject::connect(file, &QToolButton::clicked, dialog, [field, &context, filter] {
        if (const auto address = pickDocumentAddress(context, filter))
            field->setEditText(*address);
    });
    QObject::connect(composer, &QToolButton::clicked, dialog, [dialog, field, &context] {
        if (const auto address = runAddressComposer(context.settings, dialog))
            field->setEditText(*address);
    });
    auto *row = new QHBoxLayout;
    row->addWidget(field, 1);
    row->addWidget(file);
    row->addWidget(composer);
    return row;
}

// A number with the check box that switches its attribute on; with autoTick any change of
// the number ticks the box.
QHBoxLayout *numberRow(QSpinBox *spin, QCheckBox *check, bool autoTick)
{
    if (autoTick)
        tickOnChange(spin, check);
    auto *row = new QHBoxLayout;
    row->addWidget(spin);
    row->addWidget(check);
    row->addStretch();
    return row;
}

QHBoxLayout *colorRow(ColorCombo *picker, QCheckBox *check)
{
    auto *row = new QHBoxLayout;
    row->addWidget(picker);
    row->addWidget(check);
    row->addStretch();
    return row;
}

} // namespace

TForm14::TForm14(QWidget *parent) : FieldsDialog(u"Horizontální linka.."_s, &composeHr, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {QString(), u"95%"_s, u"75%"_s, u"65%"_s, u"800"_s, u"640"_s,
                               u"480"_s},
                              this);
    ComboBox1->setToolTip(u"Zadejte šířku horizontální linky v procentech nebo pixelech"_s);
    edit1 = editableCombo(u"edit1"_s, {u"1"_s, u"3"_s, u"5"_s, u"10"_s}, this);
    edit1->setToolTip(u"Zadejte tloušťku"_s);
    ColorCombo1 = named(new ColorCombo(this), u"ColorCombo1"_s);
    ColorCombo1->setToolTip(u"Bafva linky"_s);
    CheckBox3 = checkBox(u"CheckBox3"_s, QString(), this);
    CheckBox1 = checkBox(u"CheckBox1"_s, u"Stínovat"_s, this);
    CheckBox1->setToolTip(u"Má se linka stínovat? "_s);
    addRow(u"Šířka"_s, ComboBox1);
    addRow(u"Tloušťka"_s, edit1);
    addRow(u"Barva"_s, colorRow(ColorCombo1, CheckBox3))->setBuddy(ColorCombo1);
    addRow(QString(), CheckBox1);
    setMinimumWidth(420);
    // Touching the picker means the user wants a colour.
    connect(ColorCombo1, &QPushButton::pressed, CheckBox3, [this] { CheckBox3->setChecked(true); });
    setFields({});
}

HrFields TForm14::fields() const
{
    return {ComboBox1->currentText(), edit1->currentText(), toggledColor(ColorCombo1, CheckBox3),
            CheckBox1->isChecked()};
}

void TForm14::setFields(const HrFields &fields)
{
    ComboBox1->setEditText(fields.width);
    edit1->setEditText(fields.size);
    setToggledColor(ColorCombo1, CheckBox3, fields.color);
    CheckBox1->setChecked(fields.shade);
}

TForm15::TForm15(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Hudba a zvuk.."_s, &composeSound, parent), m_context(std::move(context))
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, {}, this);
    ComboBox1->setToolTip(u"sobor s hudbou a jeho uložení"_s);
    SpeedButton1 = addressButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton,
                                 u"Otevření souboru z disku"_s, this);
    SpeedButton2 = addressButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon,
                                 u"Otevření souobru z jakéhokoliv místa na INTERNETU"_s, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s,
                              {u"1"_s, u"2"_s, u"5"_s, u"10"_s, u"25"_s, u"50"_s, u"100"_s,
                               u"INFINITE"_s},
                              this);
    ComboBox2->setToolTip(u"kolikrát se bude písnička hrát (hodnota INFINITE = nekonečně)"_s);
    addRow(u"Adresa"_s,
           addressRow(this, ComboBox1, SpeedButton1, SpeedButton2, m_context, SoundFilter))
        ->setBuddy(ComboBox1);
    addRow(u"Kolikrát opakovat"_s, ComboBox2);
    setMinimumWidth(420);
    setFields({});
    ComboBox1->setFocus();
}

SoundFields TForm15::fields() const
{
    return {ComboBox1->currentText(), ComboBox2->currentText()};
}

void TForm15::setFields(const SoundFields &fields)
{
    ComboBox1->setEditText(fields.src);
    ComboBox2->setEditText(fields.loop);
}

TForm16::TForm16(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Vložený objekt"_s, &composeEmbed, parent), m_context(std::move(context))
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, {}, this);
    SpeedButton1 = addressButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton,
                                 u"Otevřít soubor z disku"_s, this);
    SpeedButton2 = addressButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon,
                                 u"Otevřít soubor z INTERNETU"_s, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {u"foreground"_s, u"background"_s}, this);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    CheckBox1 = checkBox(u"CheckBox1"_s, QString(), this);
    SpinEdit2 = spinEdit(u"SpinEdit2"_s, this);
    CheckBox2 = checkBox(u"CheckBox2"_s, QString(), this);
    Memo1 = named(new QPlainTextEdit(this), u"Memo1"_s);
    Memo1->setTabChangesFocus(true);
    Memo1->setMinimumHeight(90);
    addRow(u"Adresa"_s,
           addressRow(this, ComboBox1, SpeedButton1, SpeedButton2, m_context, AllFilesFilter))
        ->setBuddy(ComboBox1);
    addRow(u"Paleta"_s, ComboBox2);
    addRow(u"Výška"_s, numberRow(SpinEdit1, CheckBox1, false))->setBuddy(SpinEdit1);
    addRow(u"Šířka"_s, numberRow(SpinEdit2, CheckBox2, false))->setBuddy(SpinEdit2);
    addRow(u"Parametry"_s, Memo1);
    setMinimumWidth(420);
    setFields({});
    ComboBox1->setFocus();
}

EmbedFields TForm16::fields() const
{
    return {ComboBox1->currentText(), ComboBox2->currentText(), toggledNumber(SpinEdit1, CheckBox1),
            toggledNumber(SpinEdit2, CheckBox2), Memo1->toPlainText()};
}

void TForm16::setFields(const EmbedFields &fields)
{
    ComboBox1->setEditText(fields.src);
    ComboBox2->setEditText(fields.palette);
    setToggledNumber(SpinEdit1, CheckBox1, fields.height);
    setToggledNumber(SpinEdit2, CheckBox2, fields.width);
    Memo1->setPlainText(memoLines(fields.parameters).join(u'\n'));
}

TWRKForm1::TWRKForm1(QWidget *parent) : FieldsDialog(u"MARQUEE..."_s, &composeMarquee, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {QString(), u"SLIDE"_s, u"SCROLL"_s, u"ALTERNATE"_s}, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {QString(), u"LEFT"_s, u"RIGHT"_s}, this);
    ColorCombo1 = named(new ColorCombo(this), u"ColorCombo1"_s);
    CheckBox1 = checkBox(u"CheckBox1"_s, QString(), this);
    ComboBox3 = editableCombo(u"ComboBox3"_s,
                              {u"1"_s, u"2"_s, u"5"_s, u"10"_s, u"20"_s, u"50"_s, u"100"_s,
                               u"1000"_s, u"INFINITE"_s},
                              this);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    CheckBox2 = checkBox(u"CheckBox2"_s, u"ms"_s, this);
    SpinEdit2 = spinEdit(u"SpinEdit2"_s, this);
    CheckBox3 = checkBox(u"CheckBox3"_s, u"pixelů"_s, this);
    addRow(u"Pohyb textu"_s, ComboBox1);
    addRow(u"Směr pohybu"_s, ComboBox2);
    addRow(u"Barva pozadí"_s, colorRow(ColorCombo1, CheckBox1))->setBuddy(ColorCombo1);
    addRow(u"Kolikrát opakovat"_s, ComboBox3);
    addRow(u"Pauza"_s, numberRow(SpinEdit1, CheckBox2, true))->setBuddy(SpinEdit1);
    addRow(u"Velikost posunu"_s, numberRow(SpinEdit2, CheckBox3, true))->setBuddy(SpinEdit2);
    setMinimumWidth(360);
    setFields({});
}

MarqueeFields TWRKForm1::fields() const
{
    return {ComboBox1->currentText(),        ComboBox2->currentText(),
            ComboBox3->currentText(),        toggledColor(ColorCombo1, CheckBox1),
            toggledNumber(SpinEdit1, CheckBox2), toggledNumber(SpinEdit2, CheckBox3)};
}

void TWRKForm1::setFields(const MarqueeFields &fields)
{
    ComboBox1->setEditText(fields.behavior);
    ComboBox2->setEditText(fields.direction);
    ComboBox3->setEditText(fields.loop);
    setToggledColor(ColorCombo1, CheckBox1, fields.bgColor);
    setToggledNumber(SpinEdit1, CheckBox2, fields.scrollDelay);
    setToggledNumber(SpinEdit2, CheckBox3, fields.scrollAmount);
}

TForm26::TForm26(QWidget *parent) : FieldsDialog(u"SCRIPT"_s, &composeScript, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {u"JAVASCRIPT"_s, u"JSCRIPT"_s, u"LIVESCRIPT"_s, u"VBSCRIPT"_s,
                               u"VBS "_s},
                              this);
    Edit4 = lineEdit(u"Edit4"_s, this);
    // In the Czech order the users know: "ch" follows "h".
    ComboBox2 = editableCombo(
        u"ComboBox2"_s,
        {u"onabort"_s,        u"onafterupdate"_s,     u"onbeforeunload"_s,   u"onbeforeupdate"_s,
         u"onblur"_s,         u"onbounce"_s,          u"onclick"_s,          u"ondataavailable"_s,
         u"ondatasetcomplete"_s, u"ondatasetchanged"_s, u"ondblclick"_s,     u"ondragstart"_s,
         u"onerror"_s,        u"onerrorupdate"_s,     u"onfilterchange"_s,   u"onfinish"_s,
         u"onfocus"_s,        u"onhelp"_s,            u"onchange"_s,         u"onkeydown"_s,
         u"onkeypress"_s,     u"onkeyup"_s,           u"onload"_s,           u"onmousedown"_s,
         u"onmousemove"_s,    u"onmouseout"_s,        u"onmouseover"_s,      u"onmouseup"_s,
         u"onreadystatechange"_s, u"onreset"_s,       u"onresize"_s,         u"onrowenter"_s,
         u"onrowexit"_s,      u"onscroll"_s,          u"onselect"_s,         u"onselectstart"_s,
         u"onstart"_s,        u"onsubmit"_s,          u"onunload "_s},
        this);
    Edit1 = lineEdit(u"Edit1"_s, this);
    addRow(u"Jazyk"_s, ComboBox1);
    addRow(u"Titulek"_s, Edit4);
    addRow(u"Událost"_s, ComboBox2);
    addRow(u"Objekt"_s, Edit1);
    setMinimumWidth(340);
    setFields({});
    ComboBox1->setFocus();
}

ScriptFields TForm26::fields() const
{
    return {ComboBox1->currentText(), Edit4->text(), ComboBox2->currentText(), Edit1->text()};
}

void TForm26::setFields(const ScriptFields &fields)
{
    ComboBox1->setEditText(fields.language);
    Edit4->setText(fields.title);
    ComboBox2->setEditText(fields.event);
    Edit1->setText(fields.forObject);
}

TForm27::TForm27(const QString &listPath, QWidget *parent)
    : FieldsDialog(u"Active-X"_s, &composeActiveX, parent)
{
    ListBox1 = named(new QListWidget(this), u"ListBox1"_s);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    SpinEdit2 = spinEdit(u"SpinEdit2"_s, this);
    if (const std::optional<QStringList> lines = readComponentList(listPath)) {
        m_lines = *lines;
        for (const QString &line : m_lines)
            ListBox1->addItem(componentName(line));
    } else {
        ui().showError(u"Neexistuje soubor ActiveX.Dat!,nelze vkladat Active-x Objekty!"_s);
    }
    addWideRow(ListBox1);
    addRow(u"Výška"_s, SpinEdit1);
    addRow(u"Šířka"_s, SpinEdit2);
    setMinimumWidth(340);
    setFields({});
    ListBox1->setFocus();
}

ActiveXFields TForm27::fields() const
{
    const int row = ListBox1->currentRow();
    std::optional<QString> component;
    if (row >= 0 && row < m_lines.size() && ListBox1->currentItem()->isSelected())
        component = m_lines.at(row);
    return {component, SpinEdit1->value(), SpinEdit2->value()};
}

void TForm27::setFields(const ActiveXFields &fields)
{
    const qsizetype row = fields.component ? m_lines.indexOf(*fields.component) : -1;
    ListBox1->setCurrentRow(int(row));
    SpinEdit1->setValue(fields.height);
    SpinEdit2->setValue(fields.width);
}

TForm28::TForm28(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Java Applet"_s, &composeApplet, parent), m_context(std::move(context))
{
    ComboBox1 = editableCombo(u"ComboBox1"_s, {}, this);
    ComboBox1->setToolTip(u"sobor s hudbou a jeho uložení"_s);
    SpeedButton1 = addressButton(u"SpeedButton1"_s, QStyle::SP_DialogOpenButton,
                                 u"Otevření souboru z disku"_s, this);
    SpeedButton2 = addressButton(u"SpeedButton2"_s, QStyle::SP_DriveNetIcon,
                                 u"Otevření souobru z jakéhokoliv místa na INTERNETU"_s, this);
    Edit1 = lineEdit(u"Edit1"_s, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s,
                              {QString(), u"ABSBOTTOM"_s, u"ABSMIDDLE"_s, u"BASELINE"_s,
                               u"BOTTOM"_s, u"LEFT"_s, u"MIDDLE"_s, u"RIGHT"_s, u"TEXTTOP"_s,
                               u"TOP"_s},
                              this);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    CheckBox2 = checkBox(u"CheckBox2"_s, QString(), this);
    SpinEdit3 = spinEdit(u"SpinEdit3"_s, this);
    CheckBox5 = checkBox(u"CheckBox5"_s, QString(), this);
    addRow(u"Adresa"_s,
           addressRow(this, ComboBox1, SpeedButton1, SpeedButton2, m_context, AppletFilter))
        ->setBuddy(ComboBox1);
    addRow(u"Applet"_s, Edit1);
    addRow(u"Zarovnání"_s, ComboBox2);
    addRow(u"TabIndex"_s, numberRow(SpinEdit1, CheckBox2, true))->setBuddy(SpinEdit1);
    addRow(u"Velikost"_s, numberRow(SpinEdit3, CheckBox5, true))->setBuddy(SpinEdit3);
    setMinimumWidth(420);
    setFields({});
    ComboBox1->setFocus();
}

AppletFields TForm28::fields() const
{
    return {ComboBox1->currentText(), Edit1->text(), ComboBox2->currentText(),
            toggledNumber(SpinEdit1, CheckBox2), toggledNumber(SpinEdit3, CheckBox5)};
}

void TForm28::setFields(const AppletFields &fields)
{
    ComboBox1->setEditText(fields.codebase);
    Edit1->setText(fields.code);
    ComboBox2->setEditText(fields.align);
    setToggledNumber(SpinEdit1, CheckBox2, fields.tabIndex);
    setToggledNumber(SpinEdit3, CheckBox5, fields.maxLength);
}

TForm29::TForm29(QWidget *parent) : FieldsDialog(u"Parametr"_s, &composeParam, parent)
{
    Edit1 = lineEdit(u"Edit1"_s, this);
    Edit2 = lineEdit(u"Edit2"_s, this);
    addRow(u"Jméno"_s, Edit1);
    addRow(u"Hodnota"_s, Edit2);
    setMinimumWidth(320);
    setFields({});
    Edit1->setFocus();
}

ParamFields TForm29::fields() const
{
    return {Edit1->text(), Edit2->text()};
}

void TForm29::setFields(const ParamFields &fields)
{
    Edit1->setText(fields.name);
    Edit2->setText(fields.value);
}
