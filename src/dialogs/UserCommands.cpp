#include "UserCommands.h"

#include "dialogs/FieldBinding.h"
#include "interaction/Interaction.h"
#include "markup/KeyCode.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

int freeUserCommandSlot(const TSettings &settings)
{
    for (int slot = UserCommandSlots; slot >= 1; --slot)
        if (!settings.UserCommands[slot - 1].active)
            return slot;
    return 0;
}

int activeUserCommandCount(const TSettings &settings)
{
    int count = 0;
    for (const UserCommand &c : settings.UserCommands)
        count += c.active ? 1 : 0;
    return count;
}

// --- HotKeyEdit --------------------------------------------------------------------------

HotKeyEdit::HotKeyEdit(QWidget *parent) : QLineEdit(parent)
{
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
}

void HotKeyEdit::setCode(int code)
{
    m_code = KeyCode::toKeySequence(code).isEmpty() ? 0 : code;
    const QKeySequence key = KeyCode::toKeySequence(m_code);
    setText(m_code ? key.toString(QKeySequence::NativeText) : u"Žádná"_s);
}

bool HotKeyEdit::event(QEvent *event)
{
    // While the field has the focus, a typed combination is for the field, not for the
    // menu item that may carry it.
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void HotKeyEdit::keyPressEvent(QKeyEvent *event)
{
    const auto key = Qt::Key(event->key());
    Qt::KeyboardModifiers mods = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (key == Qt::Key_Shift || key == Qt::Key_Control || key == Qt::Key_Alt
        || key == Qt::Key_Meta || key == Qt::Key_AltGr)
        return;
    const bool plain = (mods & ~Qt::ShiftModifier) == Qt::NoModifier;
    if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && plain) {
        QLineEdit::keyPressEvent(event); // moves the focus on
        return;
    }
    if ((key == Qt::Key_Backspace || key == Qt::Key_Delete) && mods == Qt::NoModifier) {
        setCode(0);
        return;
    }
    // Escape and Enter alone close the dialog as in any other field; taken as keys they
    // kept the user in the dialog with no way out but the mouse or Tab.
    if ((key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)
        && mods == Qt::NoModifier) {
        event->ignore();
        return;
    }
    if (plain)
        mods = Qt::ControlModifier | Qt::ShiftModifier;
    if (const int code = KeyCode::fromKeyCombination(QKeyCombination(mods, key)))
        setCode(code);
}

// --- TForm44 -----------------------------------------------------------------------------

namespace {

const ControlAccess<int> hotKeyCode{
    [](const QWidget *field) { return qobject_cast<const HotKeyEdit *>(field)->code(); },
    [](QWidget *field, const int &code) { qobject_cast<HotKeyEdit *>(field)->setCode(code); }};

// Which control holds which part of a command; the action is "Spustit aplikaci" ticked.
const FieldBindings<UserCommand> &userCommandFields()
{
    static const FieldBindings<UserCommand> fields{{&UserCommand::Caption, "Edit2"},
                                                   {&UserCommand::Hotkey, "HotKey1", hotKeyCode},
                                                   {&UserCommand::Tag1, "Memo1", crLfText},
                                                   {&UserCommand::Tag2, "Memo2", crLfText},
                                                   {&UserCommand::FilePath, "Edit1"},
                                                   {&UserCommand::Action, "RadioButton2"}};
    return fields;
}

QPlainTextEdit *makeMemo(QWidget *parent, const char *name)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1StringView(name));
    memo->setLineWrapMode(QPlainTextEdit::NoWrap);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memo->setTabChangesFocus(true);
    memo->setMinimumHeight(60);
    return memo;
}

QPushButton *makeButton(QWidget *parent, const char *name, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1StringView(name));
    return button;
}

} // namespace

TForm44::TForm44(const QStringList &takenNames, QWidget *parent)
    : QDialog(parent), m_takenNames(takenNames)
{
    setObjectName(u"TForm44"_s);
    setWindowTitle(u"Uživatelský příkaz"_s);

    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(u"Edit2"_s);
    HotKey1 = new HotKeyEdit(this);
    HotKey1->setObjectName(u"HotKey1"_s);
    auto *top = new QFormLayout;
    top->addRow(u"Název"_s, Edit2);
    top->addRow(u"Klávesová zkratka"_s, HotKey1);

    RadioButton1 = new QRadioButton(u"    Vložit text"_s, this);
    RadioButton1->setObjectName(u"RadioButton1"_s);
    Memo1 = makeMemo(this, "Memo1");
    Memo2 = makeMemo(this, "Memo2");
    auto *textGroup = new QGroupBox(this);
    auto *textForm = new QFormLayout(textGroup);
    textForm->addRow(RadioButton1);
    textForm->addRow(u"Počátek"_s, Memo1);
    textForm->addRow(u"Ukončení"_s, Memo2);

    RadioButton2 = new QRadioButton(u"    Spustit aplikaci"_s, this);
    RadioButton2->setObjectName(u"RadioButton2"_s);
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(u"Edit1"_s);
    SpeedButton1 = makeButton(this, "SpeedButton1", u"..."_s);
    SpeedButton1->setToolTip(u"Otevřít soubor z disku"_s);
    connect(SpeedButton1, &QPushButton::clicked, this, &TForm44::pickProgram);
    auto *pathRow = new QHBoxLayout;
    pathRow->addWidget(Edit1, 1);
    pathRow->addWidget(SpeedButton1);
    auto *runGroup = new QGroupBox(this);
    auto *runForm = new QFormLayout(runGroup);
    runForm->addRow(RadioButton2);
    runForm->addRow(u"Cesta:"_s, pathRow);

    // The two headings sit in different group boxes but choose one action.
    auto *actions = new QButtonGroup(this);
    actions->addButton(RadioButton1);
    actions->addButton(RadioButton2);

    Button1 = makeButton(this, "Button1", u"Ok"_s);
    Button1->setDefault(true);
    Button2 = makeButton(this, "Button2", u"Zpět"_s);
    connect(Button1, &QPushButton::clicked, this, &TForm44::okClicked);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(textGroup);
    layout->addWidget(runGroup);
    layout->addLayout(buttons);
    resize(420, 460);
    setFields({});
    Edit2->setFocus();
}

QString TForm44::programFilter()
{
    return u"Spustitelné soubory (*.exe;*.com;*.bat;*.pif;*.lnk)|*.exe;*.com;*.bat;*.pif;*.lnk"
           u"|Všechny soubory (*)|*"_s;
}

UserCommand TForm44::fields() const
{
    UserCommand c = userCommandFields().read(*this);
    c.active = true;
    return c;
}

void TForm44::setFields(const UserCommand &command)
{
    // A command without a name is a new one: it runs a program, on Ctrl+Shift+A unless
    // it has a key of its own.
    UserCommand shown = command;
    if (shown.Caption.isEmpty()) {
        shown.Action = true;
        // In the program Ctrl+Shift+A inserts <A>; offering it would give the new command
        // a key that never runs it.
        const int ctrlShiftA = KeyCode::Ctrl + KeyCode::Shift + 0x41;
        if (shown.Hotkey == 0 && !(m_keyHolder && !m_keyHolder(ctrlShiftA).isEmpty()))
            shown.Hotkey = ctrlShiftA;
    }
    userCommandFields().write(*this, shown);
}

void TForm44::okClicked()
{
    const QString name = Edit2->text();
    if (name.trimmed().isEmpty()) {
        ui().showError(u"Zadejte název příkazu."_s);
        Edit2->setFocus();
        return;
    }
    if (m_takenNames.contains(name)) {
        // Two commands of one name could not be told apart in the menu or the list.
        ui().showError(name + u" již existuje!"_s);
        Edit2->setFocus();
        return;
    }
    // The menu gives a shared key to the first item only: this command would show no key
    // and the key would go on running the other item.
    if (const int code = HotKey1->code(); code != 0 && m_keyHolder) {
        if (const QString holder = m_keyHolder(code); !holder.isEmpty()) {
            ui().showError(u"Klávesová zkratka %1 již patří položce „%2“. Zvolte jinou, "
                           u"nebo ji smažte klávesou Backspace."_s.arg(HotKey1->text(), holder));
            HotKey1->setFocus();
            return;
        }
    }
    accept();
}

void TForm44::pickProgram()
{
    const QString path = ui().openFileName(programFilter(), {}, {});
    if (!path.isEmpty())
        Edit1->setText(path);
}

// --- TForm45 -----------------------------------------------------------------------------

TForm45::TForm45(TSettings &settings, QWidget *parent) : QDialog(parent), m_settings(settings)
{
    setObjectName(u"TForm45"_s);
    setWindowTitle(u"Příkazy"_s);
    ListBox1 = new QListWidget(this);
    ListBox1->setObjectName(u"ListBox1"_s);
    auto *label = new QLabel(u"Příkazy"_s, this);
    label->setBuddy(ListBox1);

    Button1 = makeButton(this, "Button1", u"&Přidat.."_s);
    Button2 = makeButton(this, "Button2", u"&Upravit.."_s);
    Button3 = makeButton(this, "Button3", u"&Smazat"_s);
    Button4 = makeButton(this, "Button4", u"&Zavřít"_s);
    connect(Button1, &QPushButton::clicked, this, &TForm45::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm45::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TForm45::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &QDialog::reject);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, &TForm45::Button2Click);

    auto *side = new QVBoxLayout;
    for (QPushButton *b : {Button1, Button2, Button3})
        side->addWidget(b);
    side->addStretch();
    side->addWidget(Button4);
    auto *listColumn = new QVBoxLayout;
    listColumn->addWidget(label);
    listColumn->addWidget(ListBox1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addLayout(side);
    resize(360, 280);
    rebuildList();
}

void TForm45::rebuildList(int selectSlot)
{
    ListBox1->clear();
    for (int slot = 1; slot <= UserCommandSlots; ++slot) {
        const UserCommand &c = m_settings.UserCommands[slot - 1];
        if (!c.active)
            continue;
        auto *item = new QListWidgetItem(c.Caption, ListBox1);
        item->setData(Qt::UserRole, slot);
        if (slot == selectSlot)
            ListBox1->setCurrentItem(item);
    }
    if (!ListBox1->currentItem() && ListBox1->count() > 0)
        ListBox1->setCurrentRow(0);
    Button1->setEnabled(activeUserCommandCount(m_settings) < UserCommandSlots);
}

int TForm45::chosenSlot() const
{
    const QListWidgetItem *item = ListBox1->currentItem();
    return item && item->isSelected() ? item->data(Qt::UserRole).toInt() : 0;
}

bool TForm45::editSlot(int slot, bool isNew)
{
    QStringList taken;
    for (int n = 1; n <= UserCommandSlots; ++n) {
        const UserCommand &c = m_settings.UserCommands[n - 1];
        if (c.active && n != slot)
            taken << c.Caption;
    }
    TForm44 dialog(taken, this);
    dialog.setKeyHolder([this, slot](int code) -> QString {
        // The program's own items come first in the menu and keep their keys.
        if (const QString item = m_menuKeyHolder ? m_menuKeyHolder(code) : QString(); !item.isEmpty())
            return item;
        const QKeySequence key = KeyCode::toKeySequence(code);
        for (int n = 1; n <= UserCommandSlots; ++n) {
            const UserCommand &c = m_settings.UserCommands[n - 1];
            if (c.active && n != slot && KeyCode::toKeySequence(c.Hotkey) == key)
                return c.Caption;
        }
        return {};
    });
    dialog.setFields(isNew ? UserCommand() : m_settings.UserCommands[slot - 1]);
    if (ui().exec(dialog) != QDialog::Accepted)
        return false;
    m_settings.UserCommands[slot - 1] = dialog.fields();
    return true;
}

void TForm45::Button1Click()
{
    const int slot = freeUserCommandSlot(m_settings);
    if (slot == 0)
        return;
    editSlot(slot, true);
    rebuildList(m_settings.UserCommands[slot - 1].active ? slot : 0);
}

void TForm45::Button2Click()
{
    const int slot = chosenSlot();
    if (slot == 0)
        return;
    editSlot(slot, false);
    rebuildList(slot);
}

void TForm45::Button3Click()
{
    const int slot = chosenSlot();
    if (slot == 0)
        return;
    m_settings.UserCommands[slot - 1].active = false;
    rebuildList();
}
