#include "app/CommandBindings.h"
#include "app/DocumentWindows.h"
#include "app/FilePanel.h"
#include "app/UserTagsWindow.h"
#include "dialogs/UserCommands.h"
#include "dialogs/UserTags.h"
#include "markup/KeyCode.h"
#include "markup/SysUt.h"
#include "support/RecordingShell.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

constexpr ColorValue Tag = 255;
constexpr int CtrlShiftA = 0x41 + KeyCode::Shift + KeyCode::Ctrl;

UserCommand textCommand(const QString &caption, const QString &tag1, const QString &tag2,
                        int hotkey = 0)
{
    UserCommand c;
    c.active = true;
    c.Caption = caption;
    c.Tag1 = tag1;
    c.Tag2 = tag2;
    c.Hotkey = hotkey;
    return c;
}

QAction *item(TForm1 &w, int slot)
{
    return w.action(u"UserCmd"_s + QString::number(slot));
}

} // namespace

class tst_UserExtensions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();
    // user tags
    void f12ShowsOneUserTagsWindow();
    void chosenEntryIsInsertedThroughCommand59();
    void insertionInsideATagIsRefused();
    void fileFromThePanelLoadsIntoTheWindow();
    void leavingWithUnsavedListAsks();
    void droppedItemsOfOtherListsKeepTheirText();
    // user commands
    void freshInstallationShowsOnlyEditItem();
    void allFifteenSurviveARestart();
    void menuItemKeepsItsKeyAgainstACommand();
    void firstCommandInMenuOrderKeepsASharedKey();
    void textCommandWrapsTheSelection();
    void textCommandWithoutSelectionLeavesCaretBetween();
    void programCommandStartsThroughShellRun();
    void missingProgramIsReported_data();
    void missingProgramIsReported();
    void editDialogRefreshesTheMenu();
    void keyHeldByAnotherItemIsRefused_data();
    void keyHeldByAnotherItemIsRefused();
    void newCommandIsOfferedNoTakenKey();
};

void tst_UserExtensions::cleanup()
{
    QTRY_VERIFY(QApplication::activeModalWidget() == nullptr);
}

void tst_UserExtensions::f12ShowsOneUserTagsWindow()
{
    MainWindowFixture fx;
    QVERIFY(!userTagsWindow(fx.window()));
    QCOMPARE(fx.window().action(u"ToolUserTags"_s)->shortcut(), QKeySequence(u"F12"_s));
    fx.window().action(u"ToolUserTags"_s)->trigger();
    TUserTags *tags = userTagsWindow(fx.window());
    QVERIFY(tags);
    QVERIFY(tags->isVisible());
    QVERIFY(tags->windowFlags() & Qt::Tool);
    fx.window().action(u"ToolUserTags"_s)->trigger();
    QCOMPARE(fx.window().findChildren<TUserTags *>().size(), 1);
    tags->close();
    QTRY_VERIFY(!userTagsWindow(fx.window()));
}

void tst_UserExtensions::chosenEntryIsInsertedThroughCommand59()
{
    MainWindowFixture fx;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"t.tag"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Tu\xe8n\xec,<B>,</B>\r\n");
    f.close();
    fx.setText(u"a word b"_s, 2, 4);
    fx.window().findChild<FilePanel *>()->openByType(path);
    TUserTags *tags = userTagsWindow(fx.window());
    QVERIFY(tags);
    QCOMPARE(tags->fileName(), path);
    tags->ListBox1->setCurrentRow(0);
    tags->insertTag();
    QCOMPARE(fx.buffer().GetText(), u"a <B>word</B> b"_s);
    QCOMPARE(fx.buffer().colorAt(3), Tag);
}

void tst_UserExtensions::insertionInsideATagIsRefused()
{
    MainWindowFixture fx;
    fx.setText(u"<P ALIGN=left>x"_s, 5, 0);
    TUserTags *tags = showUserTagsWindow(fx.window());
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        static_cast<TForm20 &>(d).setFields({u"b"_s, u"<B>"_s, u"</B>"_s});
        d.findChild<QPushButton *>(u"Button1"_s)->click();
    });
    tags->newTag();
    tags->insertTag();
    QCOMPARE(answers.errors, QStringList{u"Nelze vkladat tag uvnitř tagu!"_s});
    QCOMPARE(fx.buffer().GetText(), u"<P ALIGN=left>x"_s);
    tags->discardChanges();
}

void tst_UserExtensions::fileFromThePanelLoadsIntoTheWindow()
{
    MainWindowFixture fx;
    QTemporaryDir dir;
    const QString path = dir.filePath(u"b.tag"_s);
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("b,<I>,</I>\r\na,<B>,</B>\r\n");
    f.close();
    FilePanel *files = fx.window().findChild<FilePanel *>();
    QVERIFY(files);
    files->openByType(path);
    files->openByType(path); // brought to the front, loaded again
    QCOMPARE(fx.window().findChildren<TUserTags *>().size(), 1);
    QCOMPARE(userTagsWindow(fx.window())->lines(),
             (QStringList{u"a,<B>,</B>"_s, u"b,<I>,</I>"_s}));
}

void tst_UserExtensions::leavingWithUnsavedListAsks()
{
    MainWindowFixture fx;
    TUserTags *tags = showUserTagsWindow(fx.window());
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        static_cast<TForm20 &>(d).setFields({u"b"_s, u"<B>"_s, u"</B>"_s});
        d.accept();
    });
    tags->newTag();
    // Yes, then a cancelled "save as": the program keeps running with its list.
    answers.answer(Interaction::Answer::Yes).saveFile(QString());
    QVERIFY(!fx.window().close());
    QVERIFY(fx.window().isVisible());
    QCOMPARE(tags->lines().size(), 1);
    answers.answer(Interaction::Answer::No);
    QVERIFY(fx.window().close());
    QCOMPARE(answers.questions.size(), 2);
    QVERIFY(answers.allAnswered());
}

void tst_UserExtensions::droppedItemsOfOtherListsKeepTheirText()
{
    MainWindowFixture fx;
    showUserTagsWindow(fx.window());
    fx.setText(u"x"_s, 0, 1);
    fx.workspace().windows()->tagItemDropped(*fx.doc(), u"<I>,</I>"_s);
    QCOMPARE(fx.buffer().GetText(), u"<I>x</I>"_s);
}

void tst_UserExtensions::freshInstallationShowsOnlyEditItem()
{
    MainWindowFixture fx;
    QMenu *menu = fx.window().menu(u"UserCommands"_s);
    QStringList visible;
    for (QAction *a : menu->actions())
        if (a->isVisible())
            visible << (a->isSeparator() ? u"-"_s : a->text());
    QCOMPARE(visible, (QStringList{u"Upravit..."_s, u"-"_s}));
}

void tst_UserExtensions::allFifteenSurviveARestart()
{
    QString ini;
    {
        MainWindowFixture fx(0);
        ini = fx.iniPath;
        for (int n = 1; n <= 15; ++n) {
            UserCommand c = textCommand(u"Příkaz %1"_s.arg(n), u"<P%1>\r\n"_s.arg(n), u"</P>"_s,
                                        0x70 + n - 1 + KeyCode::Ctrl + KeyCode::Alt);
            c.Action = n % 2 == 0;
            c.FilePath = u"/opt/p%1"_s.arg(n);
            fx.window().settings().UserCommands[n - 1] = c;
        }
    }
    TForm1 again(std::make_unique<SettingsStore>(ini));
    installCommands(again);
    for (int n = 1; n <= 15; ++n) {
        const UserCommand &c = again.settings().UserCommands[n - 1];
        QVERIFY2(c.active, qPrintable(QString::number(n)));
        QCOMPARE(c.Caption, u"Příkaz %1"_s.arg(n));
        QCOMPARE(c.Tag1, u"<P%1>\r\n"_s.arg(n));
        QCOMPARE(c.Action, n % 2 == 0);
        QCOMPARE(c.FilePath, u"/opt/p%1"_s.arg(n));
        QVERIFY(item(again, n)->isVisible());
        QCOMPARE(item(again, n)->text(), u"Příkaz %1"_s.arg(n));
        QCOMPARE(item(again, n)->shortcut(), KeyCode::toKeySequence(c.Hotkey));
    }
}

void tst_UserExtensions::menuItemKeepsItsKeyAgainstACommand()
{
    MainWindowFixture fx;
    fx.window().settings().UserCommands[14] = textCommand(u"a"_s, u"<X>"_s, u"</X>"_s, CtrlShiftA);
    fx.window().rebuildUserCommandMenu();
    QCOMPARE(fx.window().action(u"InsTagA"_s)->shortcut(), QKeySequence(u"Ctrl+Shift+A"_s));
    QVERIFY(item(fx.window(), 15)->shortcut().isEmpty());
    QVERIFY(item(fx.window(), 15)->isVisible());
}

void tst_UserExtensions::firstCommandInMenuOrderKeepsASharedKey()
{
    MainWindowFixture fx;
    const int ctrlAltK = 0x4B + KeyCode::Ctrl + KeyCode::Alt;
    fx.window().settings().UserCommands[6] = textCommand(u"seven"_s, u"<7>"_s, {}, ctrlAltK);
    fx.window().settings().UserCommands[2] = textCommand(u"three"_s, u"<3>"_s, {}, ctrlAltK);
    fx.window().rebuildUserCommandMenu();
    QCOMPARE(item(fx.window(), 3)->shortcut(), QKeySequence(u"Ctrl+Alt+K"_s));
    QVERIFY(item(fx.window(), 7)->shortcut().isEmpty());
    // Once the first is deleted, the other gets the key.
    fx.window().settings().UserCommands[2].active = false;
    fx.window().rebuildUserCommandMenu();
    QVERIFY(!item(fx.window(), 3)->isVisible());
    QVERIFY(item(fx.window(), 3)->shortcut().isEmpty());
    QCOMPARE(item(fx.window(), 7)->shortcut(), QKeySequence(u"Ctrl+Alt+K"_s));
}

void tst_UserExtensions::textCommandWrapsTheSelection()
{
    MainWindowFixture fx;
    fx.window().settings().UserCommands[14] =
        textCommand(u"Odstavec"_s, u"<DIV>\r\n"_s, u"\r\n</DIV>"_s);
    fx.window().rebuildUserCommandMenu();
    fx.setText(u"ab cd"_s, 3, 2);
    item(fx.window(), 15)->trigger();
    QCOMPARE(fx.buffer().GetText(), u"ab <DIV>\r\ncd\r\n</DIV>"_s);
    QCOMPARE(fx.buffer().colorAt(4), Tag);
    QVERIFY(fx.doc()->IsModified());
}

void tst_UserExtensions::textCommandWithoutSelectionLeavesCaretBetween()
{
    MainWindowFixture fx;
    fx.window().settings().UserCommands[0] = textCommand(u"b"_s, u"<B>"_s, u"</B>"_s);
    fx.window().rebuildUserCommandMenu();
    fx.setText(u"xy"_s, 1, 0);
    item(fx.window(), 1)->trigger();
    QCOMPARE(fx.buffer().GetText(), u"x<B></B>y"_s);
    QCOMPARE(fx.buffer().SelStart(), 4);
    QCOMPARE(fx.buffer().SelLength(), 0);
}

void tst_UserExtensions::programCommandStartsThroughShellRun()
{
    MainWindowFixture fx;
    QTemporaryDir dir;
    // A name with blanks and a semicolon: no shell sees it and nothing splits it.
    const QString program = dir.filePath(u"my tool; rm x"_s);
    QFile f(program);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFile::ExeOwner));
    UserCommand c = textCommand(u"nástroj"_s, u"<B>"_s, u"</B>"_s);
    c.Action = true;
    c.FilePath = program;
    fx.window().settings().UserCommands[14] = c;
    fx.window().rebuildUserCommandMenu();
    fx.setText(u"keep"_s, 0, 4);
    RecordingShell shell;
    item(fx.window(), 15)->trigger();
    QCOMPARE(shell.log, QStringList{u"start "_s + program + u" [] in "_s + dir.path()});
    QCOMPARE(fx.buffer().GetText(), u"keep"_s);
}

void tst_UserExtensions::missingProgramIsReported_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("path with blanks and Czech letters") << u"/nikde/Můj nástroj/spusť to"_s;
    QTest::newRow("name looked up in PATH") << u"brisko-zadny-takovy-program"_s;
}

// The desktop's opener says nothing about a file that is not there, so the editor does.
void tst_UserExtensions::missingProgramIsReported()
{
    QFETCH(QString, program);
    MainWindowFixture fx;
    UserCommand c = textCommand(u"Nástroj"_s, {}, {});
    c.Action = true;
    c.FilePath = program;
    fx.window().settings().UserCommands[14] = c;
    fx.window().rebuildUserCommandMenu();
    fx.setText(u"keep"_s, 0, 0);
    RecordingShell shell;
    ScriptedInteraction answers;
    item(fx.window(), 15)->trigger();
    QCOMPARE(shell.log, QStringList());
    QCOMPARE(answers.errors,
             QStringList{u"Příkaz „Nástroj“ nelze spustit: soubor "_s + program + u" neexistuje."_s});
    QCOMPARE(fx.buffer().GetText(), u"keep"_s);
}

void tst_UserExtensions::editDialogRefreshesTheMenu()
{
    MainWindowFixture fx;
    ScriptedInteraction answers;
    answers
        .dialog([](QDialog &d) {
            auto &list = static_cast<TForm45 &>(d);
            list.Button1->click();
            list.Button4->click();
        })
        .dialog([](QDialog &d) {
            auto &f = static_cast<TForm44 &>(d);
            f.Edit2->setText(u"Tučně"_s);
            f.HotKey1->setCode(0x4B + KeyCode::Ctrl + KeyCode::Shift);
            f.RadioButton1->setChecked(true);
            f.Memo1->setPlainText(u"<B>"_s);
            f.Memo2->setPlainText(u"</B>"_s);
            f.Button1->click();
        });
    fx.window().action(u"UserCmdEdit"_s)->trigger();
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.log, (QStringList{u"dialog: Příkazy"_s, u"dialog: Uživatelský příkaz"_s}));
    QAction *a = item(fx.window(), 15);
    QVERIFY(a->isVisible());
    QCOMPARE(a->text(), u"Tučně"_s);
    QCOMPARE(a->shortcut(), QKeySequence(u"Ctrl+Shift+K"_s));
    fx.setText(u"slovo"_s, 0, 5);
    a->trigger();
    QCOMPARE(fx.buffer().GetText(), u"<B>slovo</B>"_s);
}

void tst_UserExtensions::keyHeldByAnotherItemIsRefused_data()
{
    QTest::addColumn<int>("hotkey");
    QTest::addColumn<QString>("error");
    QTest::newRow("an item of the program") << CtrlShiftA
        << u"Klávesová zkratka Ctrl+Shift+A již patří položce „<A>“. Zvolte jinou, nebo ji "
           u"smažte klávesou Backspace."_s;
    QTest::newRow("another user command") << 0x4B + KeyCode::Ctrl + KeyCode::Alt
        << u"Klávesová zkratka Ctrl+Alt+K již patří položce „Kurzíva“. Zvolte jinou, nebo ji "
           u"smažte klávesou Backspace."_s;
    // "Citát" was given the key of <BLOCKQUOTE> and never got it: the item is named.
    QTest::newRow("an item and a command") << 0x42 + KeyCode::Ctrl + KeyCode::Shift
        << u"Klávesová zkratka Ctrl+Shift+B již patří položce „<BLOCKQUOTE>“. Zvolte jinou, "
           u"nebo ji smažte klávesou Backspace."_s;
    QTest::newRow("a free key") << 0x4B + KeyCode::Ctrl + KeyCode::Shift << QString();
}

// A shared key stays with the first item in the menu; the command given it would show no
// key and never run from the keyboard, so the dialog says so while it can be changed.
void tst_UserExtensions::keyHeldByAnotherItemIsRefused()
{
    QFETCH(int, hotkey);
    QFETCH(QString, error);
    MainWindowFixture fx;
    fx.window().settings().UserCommands[0] =
        textCommand(u"Kurzíva"_s, u"<I>"_s, u"</I>"_s, 0x4B + KeyCode::Ctrl + KeyCode::Alt);
    fx.window().settings().UserCommands[1] =
        textCommand(u"Citát"_s, u"<Q>"_s, u"</Q>"_s, 0x42 + KeyCode::Ctrl + KeyCode::Shift);
    fx.window().rebuildUserCommandMenu();
    bool stayedOpen = false;
    ScriptedInteraction answers;
    answers
        .dialog([](QDialog &d) {
            auto &list = static_cast<TForm45 &>(d);
            list.Button1->click();
            list.Button4->click();
        })
        .dialog([hotkey, &stayedOpen](QDialog &d) {
            auto &f = static_cast<TForm44 &>(d);
            f.Edit2->setText(u"Tučně"_s);
            f.HotKey1->setCode(hotkey);
            f.RadioButton1->setChecked(true);
            f.Memo1->setPlainText(u"<B>"_s);
            f.Button1->click();
            stayedOpen = f.isVisible();
            if (stayedOpen) {
                QCOMPARE(f.focusWidget(), static_cast<QWidget *>(f.HotKey1));
                f.HotKey1->setCode(0);
                f.Button1->click();
            }
        });
    fx.window().action(u"UserCmdEdit"_s)->trigger();
    QVERIFY(answers.allAnswered());
    QCOMPARE(answers.errors, error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(stayedOpen, !error.isEmpty());
    QVERIFY(item(fx.window(), 15)->isVisible());
    QCOMPARE(item(fx.window(), 15)->shortcut(),
             error.isEmpty() ? KeyCode::toKeySequence(hotkey) : QKeySequence());
    QCOMPARE(item(fx.window(), 1)->shortcut(), QKeySequence(u"Ctrl+Alt+K"_s));
}

void tst_UserExtensions::newCommandIsOfferedNoTakenKey()
{
    MainWindowFixture fx;
    int offered = -1;
    ScriptedInteraction answers;
    answers
        .dialog([](QDialog &d) {
            auto &list = static_cast<TForm45 &>(d);
            list.Button1->click();
            list.Button4->click();
        })
        .dialog([&offered](QDialog &d) {
            offered = static_cast<TForm44 &>(d).HotKey1->code();
            static_cast<TForm44 &>(d).Button2->click();
        });
    fx.window().action(u"UserCmdEdit"_s)->trigger();
    QVERIFY(answers.allAnswered());
    // Ctrl+Shift+A inserts <A>.
    QCOMPARE(offered, 0);
}

BRISKO_TEST_MAIN(tst_UserExtensions)
#include "tst_userextensions.moc"
