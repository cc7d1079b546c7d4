#include "dialogs/UserCommands.h"
#include "markup/KeyCode.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int CtrlShiftA = 0x41 + KeyCode::Shift + KeyCode::Ctrl;

// Fills TForm44 as a text command and presses "Ok".
ScriptedInteraction::DialogDriver textCommand(const QString &name, const QString &opening,
                                              const QString &closing)
{
    return [=](QDialog &d) {
        auto &f = static_cast<TForm44 &>(d);
        f.Edit2->setText(name);
        f.RadioButton1->setChecked(true);
        f.Memo1->setPlainText(opening);
        f.Memo2->setPlainText(closing);
        f.Button1->click();
    };
}

UserCommand command(const QString &caption, int hotkey = 0)
{
    UserCommand c;
    c.active = true;
    c.Caption = caption;
    c.Hotkey = hotkey;
    return c;
}

QStringList listed(const TForm45 &dialog)
{
    QStringList names;
    for (int i = 0; i < dialog.ListBox1->count(); ++i)
        names << dialog.ListBox1->item(i)->text() + u'@'
                     + dialog.ListBox1->item(i)->data(Qt::UserRole).toString();
    return names;
}

} // namespace

class tst_UserCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void newCommandsTakeSlot15Then14();
    void freedSlotIsTakenAgain();
    void addIsDisabledAtFifteen();
    void editActsOnTheChosenOfTwoSameNamed();
    void deleteActsOnTheChosenOfTwoSameNamed();
    void duplicateAndEmptyNamesAreRefused();
    void editKeepsItsOwnName();
    void fieldsRoundTrip();
    void defaultsOfANewCommand();
    void namelessCommandShowsAsNew();
    void hotKeyFieldAddsCtrlShiftToBareKeys_data();
    void hotKeyFieldAddsCtrlShiftToBareKeys();
    void programButtonUsesProgramFilter();
    void escapeAndEnterInTheKeyFieldCloseTheDialog_data();
    void escapeAndEnterInTheKeyFieldCloseTheDialog();
};

void tst_UserCommands::newCommandsTakeSlot15Then14()
{
    TSettings s;
    TForm45 dialog(s, nullptr);
    ScriptedInteraction answers;
    answers.dialog(textCommand(u"první"_s, u"<B>"_s, u"</B>"_s))
        .dialog(textCommand(u"druhý"_s, u"<I>"_s, u"</I>"_s));
    dialog.Button1->click();
    dialog.Button1->click();
    QVERIFY(s.UserCommands[14].active);
    QCOMPARE(s.UserCommands[14].Caption, u"první"_s);
    QVERIFY(s.UserCommands[13].active);
    QCOMPARE(s.UserCommands[13].Caption, u"druhý"_s);
    QCOMPARE(activeUserCommandCount(s), 2);
    // Slot order: the second command comes first.
    QCOMPARE(listed(dialog), (QStringList{u"druhý@14"_s, u"první@15"_s}));
    QCOMPARE(answers.log, (QStringList{u"dialog: Uživatelský příkaz"_s, u"dialog: Uživatelský příkaz"_s}));
}

void tst_UserCommands::freedSlotIsTakenAgain()
{
    TSettings s;
    s.UserCommands[14] = command(u"a"_s);
    s.UserCommands[13] = command(u"b"_s);
    TForm45 dialog(s, nullptr);
    dialog.ListBox1->setCurrentRow(1); // "a", slot 15
    dialog.Button3->click();
    QVERIFY(!s.UserCommands[14].active);
    QCOMPARE(freeUserCommandSlot(s), 15);
    ScriptedInteraction answers;
    answers.dialog(textCommand(u"c"_s, u"<U>"_s, u"</U>"_s));
    dialog.Button1->click();
    QCOMPARE(s.UserCommands[14].Caption, u"c"_s);
}

void tst_UserCommands::addIsDisabledAtFifteen()
{
    TSettings s;
    for (int i = 0; i < 14; ++i)
        s.UserCommands[i] = command(u"c"_s + QString::number(i + 1));
    TForm45 dialog(s, nullptr);
    QVERIFY(dialog.Button1->isEnabled());
    QCOMPARE(freeUserCommandSlot(s), 15);
    ScriptedInteraction answers;
    answers.dialog(textCommand(u"c15"_s, u"<B>"_s, u"</B>"_s));
    dialog.Button1->click();
    QVERIFY(!dialog.Button1->isEnabled());
    QCOMPARE(freeUserCommandSlot(s), 0);
}

void tst_UserCommands::editActsOnTheChosenOfTwoSameNamed()
{
    // Two commands of one name can come from settings written before names were checked.
    TSettings s;
    s.UserCommands[2] = command(u"x"_s);
    s.UserCommands[2].Tag1 = u"<three>"_s;
    s.UserCommands[9] = command(u"x"_s);
    s.UserCommands[9].Tag1 = u"<ten>"_s;
    TForm45 dialog(s, nullptr);
    QCOMPARE(listed(dialog), (QStringList{u"x@3"_s, u"x@10"_s}));
    dialog.ListBox1->setCurrentRow(0);
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        auto &f = static_cast<TForm44 &>(d);
        QCOMPARE(f.Memo1->toPlainText(), u"<three>"_s);
        f.Edit2->setText(u"y"_s);
        f.Button1->click();
    });
    dialog.Button2->click();
    QCOMPARE(s.UserCommands[2].Caption, u"y"_s);
    QCOMPARE(s.UserCommands[9].Caption, u"x"_s);
    QCOMPARE(s.UserCommands[9].Tag1, u"<ten>"_s);
}

void tst_UserCommands::deleteActsOnTheChosenOfTwoSameNamed()
{
    TSettings s;
    s.UserCommands[2] = command(u"x"_s);
    s.UserCommands[9] = command(u"x"_s);
    TForm45 dialog(s, nullptr);
    dialog.ListBox1->setCurrentRow(1);
    dialog.Button3->click();
    QVERIFY(s.UserCommands[2].active);
    QVERIFY(!s.UserCommands[9].active);
    QCOMPARE(listed(dialog), QStringList{u"x@3"_s});
}

void tst_UserCommands::duplicateAndEmptyNamesAreRefused()
{
    TSettings s;
    s.UserCommands[14] = command(u"Tučně"_s);
    TForm45 dialog(s, nullptr);
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        auto &f = static_cast<TForm44 &>(d);
        f.Edit2->setText(u"Tučně"_s);
        f.Button1->click();
        QVERIFY(f.isVisible()); // refused: the dialog stays open
        f.Edit2->setText(u"  "_s);
        f.Button1->click();
        QVERIFY(f.isVisible());
        f.Button2->click();
    });
    dialog.Button1->click();
    QCOMPARE(answers.errors.size(), 2);
    QCOMPARE(answers.errors.first(), u"Tučně již existuje!"_s);
    QCOMPARE(activeUserCommandCount(s), 1);
}

void tst_UserCommands::editKeepsItsOwnName()
{
    TSettings s;
    s.UserCommands[14] = command(u"a"_s);
    TForm45 dialog(s, nullptr);
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        auto &f = static_cast<TForm44 &>(d);
        f.Memo2->setPlainText(u"</X>"_s);
        f.Button1->click();
    });
    dialog.Button2->click();
    QVERIFY(answers.errors.isEmpty());
    QCOMPARE(s.UserCommands[14].Tag2, u"</X>"_s);
}

void tst_UserCommands::fieldsRoundTrip()
{
    TForm44 dialog({}, nullptr);
    UserCommand c;
    c.active = true;
    c.Action = false;
    c.Caption = u"Tabulka"_s;
    c.FilePath = u"/usr/bin/gimp"_s;
    c.Tag1 = u"<TABLE>\r\n<TR>"_s;
    c.Tag2 = u"</TR>\r\n</TABLE>"_s;
    c.Hotkey = 0x54 + KeyCode::Alt + KeyCode::Ctrl;
    dialog.setFields(c);
    QVERIFY(dialog.RadioButton1->isChecked());
    const UserCommand back = dialog.fields();
    QCOMPARE(back.Caption, c.Caption);
    QCOMPARE(back.FilePath, c.FilePath); // kept whatever the action
    QCOMPARE(back.Tag1, c.Tag1);         // with its CR LF
    QCOMPARE(back.Tag2, c.Tag2);
    QCOMPARE(back.Hotkey, c.Hotkey);
    QCOMPARE(back.Action, false);
    dialog.RadioButton2->setChecked(true);
    QCOMPARE(dialog.fields().Action, true);
    QCOMPARE(dialog.fields().Tag1, c.Tag1);
}

void tst_UserCommands::defaultsOfANewCommand()
{
    TForm44 dialog({}, nullptr);
    QCOMPARE(dialog.windowTitle(), u"Uživatelský příkaz"_s);
    QVERIFY(dialog.RadioButton2->isChecked());
    QCOMPARE(dialog.HotKey1->code(), CtrlShiftA);
    QCOMPARE(dialog.Edit2->text(), QString());
    QCOMPARE(dialog.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
}

// A command without a name is shown as a new one, its own key kept; one with a name shows
// what it is, "Vložit text" included, even after the dialog offered a new command.
void tst_UserCommands::namelessCommandShowsAsNew()
{
    TForm44 dialog({}, nullptr);
    UserCommand nameless;
    nameless.Hotkey = 0x54 + KeyCode::Alt + KeyCode::Ctrl;
    dialog.setFields(nameless);
    QVERIFY(dialog.RadioButton2->isChecked());
    QCOMPARE(dialog.HotKey1->code(), nameless.Hotkey);
    QVERIFY(dialog.fields().active);

    UserCommand named;
    named.Caption = u"Odstavec"_s;
    named.Tag1 = u"<P>"_s;
    dialog.setFields(named);
    QVERIFY(dialog.RadioButton1->isChecked());
    QVERIFY(!dialog.RadioButton2->isChecked());
    QCOMPARE(dialog.HotKey1->code(), 0);
    QCOMPARE(dialog.fields().Action, false);
}

void tst_UserCommands::hotKeyFieldAddsCtrlShiftToBareKeys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("code");

    QTest::newRow("bareKey_ctrlShift") << int(Qt::Key_K) << int(Qt::NoModifier)
                                       << 0x4B + KeyCode::Ctrl + KeyCode::Shift;
    QTest::newRow("shiftAlone_ctrlShift") << int(Qt::Key_F5) << int(Qt::ShiftModifier)
                                          << 0x74 + KeyCode::Ctrl + KeyCode::Shift;
    QTest::newRow("altKept") << int(Qt::Key_1) << int(Qt::AltModifier) << 0x31 + KeyCode::Alt;
    QTest::newRow("ctrlAltKept") << int(Qt::Key_Q) << int(Qt::ControlModifier | Qt::AltModifier)
                                 << 0x51 + KeyCode::Ctrl + KeyCode::Alt;
    QTest::newRow("backspaceClears") << int(Qt::Key_Backspace) << int(Qt::NoModifier) << 0;
}

void tst_UserCommands::hotKeyFieldAddsCtrlShiftToBareKeys()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, code);
    HotKeyEdit field(nullptr);
    field.setCode(CtrlShiftA);
    QTest::keyClick(&field, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(field.code(), code);
}

void tst_UserCommands::programButtonUsesProgramFilter()
{
    TForm44 dialog({}, nullptr);
    ScriptedInteraction answers;
    answers.openFile(u"/usr/bin/true"_s);
    dialog.SpeedButton1->click();
    QCOMPARE(answers.log, QStringList{u"open: Spustitelné soubory (*.exe;*.com;*.bat;*.pif;*.lnk)|"
                                      u"*.exe;*.com;*.bat;*.pif;*.lnk|Všechny soubory (*)|*"_s});
    QCOMPARE(dialog.Edit1->text(), u"/usr/bin/true"_s);
    QCOMPARE(dialog.SpeedButton1->toolTip(), u"Otevřít soubor z disku"_s);
}

void tst_UserCommands::escapeAndEnterInTheKeyFieldCloseTheDialog_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Escape cancels") << int(Qt::Key_Escape) << int(QDialog::Rejected);
    QTest::newRow("Enter confirms") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("keypad Enter confirms") << int(Qt::Key_Enter) << int(QDialog::Accepted);
}

// The key field is where a refused key sends the user back to.
void tst_UserCommands::escapeAndEnterInTheKeyFieldCloseTheDialog()
{
    QFETCH(int, key);
    QFETCH(int, result);
    TForm44 dialog({}, nullptr);
    dialog.Edit2->setText(u"Tučně"_s);
    dialog.HotKey1->setCode(0x4B + KeyCode::Ctrl + KeyCode::Alt);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.HotKey1->setFocus();
    QTest::keyClick(dialog.HotKey1, Qt::Key(key));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(dialog.result(), result);
    QCOMPARE(dialog.HotKey1->code(), 0x4B + KeyCode::Ctrl + KeyCode::Alt);
}

BRISKO_TEST_MAIN(tst_UserCommands)
#include "tst_usercommands.moc"
