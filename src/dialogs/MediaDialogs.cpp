#include "dialogs/MediaDialogs.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/FieldWidgets.h"
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

using namespace Qt::StringLiterals;

const QString SoundFilter =
    u"Hudební soubory (*.mid;*.wav;*.mp3;*.mod;*.au)|*.mid;*.wav;*.mp3;*.mod;*.au"_s;
const QString AllFilesFilter = u"Všechny soubory (*.*)|*.*"_s;
const QString AppletFilter = u"Java aplety (*.class)|*.class"_s;

namespace {

// Number fields take any whole number; a spin box alone would stop at 99.
QSpinBox *spinEdit(const QString &name, QWidget *parent)
{
    auto *spin = unboundedSpin(name, parent);
    spin->setMinimumWidth(110);
    return spin;
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
    ColorCombo1 = namedWidget(new ColorCombo(this), u"ColorCombo1"_s);
    ColorCombo1->setToolTip(u"Bafva linky"_s);
    CheckBox3 = switchBox(ColorCombo1, u"CheckBox3"_s, this);
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, u"Stínovat"_s, this);
    CheckBox1->setToolTip(u"Má se linka stínovat? "_s);
    addRow(u"Šířka"_s, ComboBox1);
    addRow(u"Tloušťka"_s, edit1);
    addRow(u"Barva"_s, boxRow(ColorCombo1, CheckBox3))->setBuddy(ColorCombo1);
    addRow(QString(), CheckBox1);
    setMinimumWidth(420);
    bind({{&Fields::width, "ComboBox1"},
          {&Fields::size, "edit1"},
          {&Fields::color, "ColorCombo1", "CheckBox3"},
          {&Fields::shade, "CheckBox1"}});
}



TForm15::TForm15(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Hudba a zvuk.."_s, &composeSound, parent), m_context(std::move(context))
{
    const AddressPicker address =
        addressPicker(u"ComboBox1"_s, this, u"Otevření souboru z disku"_s,
                      u"Otevření souobru z jakéhokoliv místa na INTERNETU"_s);
    ComboBox1 = address.combo;
    ComboBox1->setToolTip(u"sobor s hudbou a jeho uložení"_s);
    SpeedButton1 = address.fileButton;
    SpeedButton2 = address.webButton;
    address.connectButtons(&m_context, SoundFilter, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s,
                              {u"1"_s, u"2"_s, u"5"_s, u"10"_s, u"25"_s, u"50"_s, u"100"_s,
                               u"INFINITE"_s},
                              this);
    ComboBox2->setToolTip(u"kolikrát se bude písnička hrát (hodnota INFINITE = nekonečně)"_s);
    addRow(u"Adresa"_s, address.row())->setBuddy(ComboBox1);
    addRow(u"Kolikrát opakovat"_s, ComboBox2);
    setMinimumWidth(420);
    bind({{&Fields::src, "ComboBox1"}, {&Fields::loop, "ComboBox2"}});
    ComboBox1->setFocus();
}



TForm16::TForm16(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Vložený objekt"_s, &composeEmbed, parent), m_context(std::move(context))
{
    const AddressPicker address = addressPicker(u"ComboBox1"_s, this, u"Otevřít soubor z disku"_s,
                                                u"Otevřít soubor z INTERNETU"_s);
    ComboBox1 = address.combo;
    SpeedButton1 = address.fileButton;
    SpeedButton2 = address.webButton;
    address.connectButtons(&m_context, AllFilesFilter, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {u"foreground"_s, u"background"_s}, this);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, QString(), this);
    SpinEdit2 = spinEdit(u"SpinEdit2"_s, this);
    CheckBox2 = namedCheckBox(u"CheckBox2"_s, QString(), this);
    Memo1 = namedWidget(new QPlainTextEdit(this), u"Memo1"_s);
    Memo1->setTabChangesFocus(true);
    Memo1->setMinimumHeight(90);
    addRow(u"Adresa"_s, address.row())->setBuddy(ComboBox1);
    addRow(u"Paleta"_s, ComboBox2);
    // Here the boxes do not tick by themselves.
    addRow(u"Výška"_s, boxRow(SpinEdit1, CheckBox1))->setBuddy(SpinEdit1);
    addRow(u"Šířka"_s, boxRow(SpinEdit2, CheckBox2))->setBuddy(SpinEdit2);
    addRow(u"Parametry"_s, Memo1);
    setMinimumWidth(420);
    bind({{&Fields::src, "ComboBox1"},
          {&Fields::palette, "ComboBox2"},
          {&Fields::height, "SpinEdit1", "CheckBox1"},
          {&Fields::width, "SpinEdit2", "CheckBox2"},
          {&Fields::parameters, "Memo1"}});
    ComboBox1->setFocus();
}



TWRKForm1::TWRKForm1(QWidget *parent) : FieldsDialog(u"MARQUEE..."_s, &composeMarquee, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {QString(), u"SLIDE"_s, u"SCROLL"_s, u"ALTERNATE"_s}, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s, {QString(), u"LEFT"_s, u"RIGHT"_s}, this);
    ColorCombo1 = namedWidget(new ColorCombo(this), u"ColorCombo1"_s);
    CheckBox1 = namedCheckBox(u"CheckBox1"_s, QString(), this);
    ComboBox3 = editableCombo(u"ComboBox3"_s,
                              {u"1"_s, u"2"_s, u"5"_s, u"10"_s, u"20"_s, u"50"_s, u"100"_s,
                               u"1000"_s, u"INFINITE"_s},
                              this);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    CheckBox2 = namedCheckBox(u"CheckBox2"_s, u"ms"_s, this);
    SpinEdit2 = spinEdit(u"SpinEdit2"_s, this);
    CheckBox3 = namedCheckBox(u"CheckBox3"_s, u"pixelů"_s, this);
    addRow(u"Pohyb textu"_s, ComboBox1);
    addRow(u"Směr pohybu"_s, ComboBox2);
    addRow(u"Barva pozadí"_s, boxRow(ColorCombo1, CheckBox1))->setBuddy(ColorCombo1);
    addRow(u"Kolikrát opakovat"_s, ComboBox3);
    tickOnChange(SpinEdit1, CheckBox2);
    tickOnChange(SpinEdit2, CheckBox3);
    addRow(u"Pauza"_s, boxRow(SpinEdit1, CheckBox2))->setBuddy(SpinEdit1);
    addRow(u"Velikost posunu"_s, boxRow(SpinEdit2, CheckBox3))->setBuddy(SpinEdit2);
    setMinimumWidth(360);
    bind({{&Fields::behavior, "ComboBox1"},
          {&Fields::direction, "ComboBox2"},
          {&Fields::loop, "ComboBox3"},
          {&Fields::bgColor, "ColorCombo1", "CheckBox1"},
          {&Fields::scrollDelay, "SpinEdit1", "CheckBox2"},
          {&Fields::scrollAmount, "SpinEdit2", "CheckBox3"}});
}



TForm26::TForm26(QWidget *parent) : FieldsDialog(u"SCRIPT"_s, &composeScript, parent)
{
    ComboBox1 = editableCombo(u"ComboBox1"_s,
                              {u"JAVASCRIPT"_s, u"JSCRIPT"_s, u"LIVESCRIPT"_s, u"VBSCRIPT"_s,
                               u"VBS "_s},
                              this);
    Edit4 = namedLineEdit(u"Edit4"_s, this);
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
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    addRow(u"Jazyk"_s, ComboBox1);
    addRow(u"Titulek"_s, Edit4);
    addRow(u"Událost"_s, ComboBox2);
    addRow(u"Objekt"_s, Edit1);
    setMinimumWidth(340);
    bind({{&Fields::language, "ComboBox1"},
          {&Fields::title, "Edit4"},
          {&Fields::event, "ComboBox2"},
          {&Fields::forObject, "Edit1"}});
    ComboBox1->setFocus();
}



TForm27::TForm27(const QString &listPath, QWidget *parent)
    : FieldsDialog(u"Active-X"_s, &composeActiveX, parent)
{
    ListBox1 = namedWidget(new QListWidget(this), u"ListBox1"_s);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    SpinEdit2 = spinEdit(u"SpinEdit2"_s, this);
    if (const std::optional<QStringList> lines = readComponentList(listPath)) {
        // Each name shown holds its whole line, which the markup takes.
        for (const QString &line : *lines) {
            ListBox1->addItem(componentName(line));
            ListBox1->item(ListBox1->count() - 1)->setData(Qt::UserRole, line);
        }
    } else {
        ui().showError(u"Neexistuje soubor ActiveX.Dat!,nelze vkladat Active-x Objekty!"_s);
    }
    addWideRow(ListBox1);
    addRow(u"Výška"_s, SpinEdit1);
    addRow(u"Šířka"_s, SpinEdit2);
    setMinimumWidth(340);
    bind({{&Fields::component, "ListBox1"},
          {&Fields::height, "SpinEdit1"},
          {&Fields::width, "SpinEdit2"}});
    ListBox1->setFocus();
}



TForm28::TForm28(DocumentContext context, QWidget *parent)
    : FieldsDialog(u"Java Applet"_s, &composeApplet, parent), m_context(std::move(context))
{
    const AddressPicker address =
        addressPicker(u"ComboBox1"_s, this, u"Otevření souboru z disku"_s,
                      u"Otevření souobru z jakéhokoliv místa na INTERNETU"_s);
    ComboBox1 = address.combo;
    ComboBox1->setToolTip(u"sobor s hudbou a jeho uložení"_s);
    SpeedButton1 = address.fileButton;
    SpeedButton2 = address.webButton;
    address.connectButtons(&m_context, AppletFilter, this);
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    ComboBox2 = editableCombo(u"ComboBox2"_s,
                              {QString(), u"ABSBOTTOM"_s, u"ABSMIDDLE"_s, u"BASELINE"_s,
                               u"BOTTOM"_s, u"LEFT"_s, u"MIDDLE"_s, u"RIGHT"_s, u"TEXTTOP"_s,
                               u"TOP"_s},
                              this);
    SpinEdit1 = spinEdit(u"SpinEdit1"_s, this);
    CheckBox2 = namedCheckBox(u"CheckBox2"_s, QString(), this);
    SpinEdit3 = spinEdit(u"SpinEdit3"_s, this);
    CheckBox5 = namedCheckBox(u"CheckBox5"_s, QString(), this);
    addRow(u"Adresa"_s, address.row())->setBuddy(ComboBox1);
    addRow(u"Applet"_s, Edit1);
    addRow(u"Zarovnání"_s, ComboBox2);
    tickOnChange(SpinEdit1, CheckBox2);
    tickOnChange(SpinEdit3, CheckBox5);
    addRow(u"TabIndex"_s, boxRow(SpinEdit1, CheckBox2))->setBuddy(SpinEdit1);
    addRow(u"Velikost"_s, boxRow(SpinEdit3, CheckBox5))->setBuddy(SpinEdit3);
    setMinimumWidth(420);
    bind({{&Fields::codebase, "ComboBox1"},
          {&Fields::code, "Edit1"},
          {&Fields::align, "ComboBox2"},
          {&Fields::tabIndex, "SpinEdit1", "CheckBox2"},
          {&Fields::maxLength, "SpinEdit3", "CheckBox5"}});
    ComboBox1->setFocus();
}



TForm29::TForm29(QWidget *parent) : FieldsDialog(u"Parametr"_s, &composeParam, parent)
{
    Edit1 = namedLineEdit(u"Edit1"_s, this);
    Edit2 = namedLineEdit(u"Edit2"_s, this);
    addRow(u"Jméno"_s, Edit1);
    addRow(u"Hodnota"_s, Edit2);
    setMinimumWidth(320);
    bind({{&Fields::name, "Edit1"}, {&Fields::value, "Edit2"}});
    Edit1->setFocus();
}


