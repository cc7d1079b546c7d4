#include "app/CommandToolbar.h"
#include "app/DesktopIntegration.h"
#include "app/DocumentArea.h"
#include "app/PaletteBar.h"
#include "app/RecoveryBinding.h"
#include "app/SidePanel.h"
#include "app/DocumentManager.h"
#include "app/InfoWindows.h"
#include "app/LogoAnimation.h"
#include "app/StartUp.h"
#include "app/StartUpWindow.h"
#include "app/DocumentWindows.h"
#include "app/TForm1.h"
#include "app/TagTreePanel.h"
#include "dialogs/SpecialChars.h"
#include "markup/GuardedFile.h"
#include "markup/RecoveryStore.h"
#include "support/DialogControls.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QMdiSubWindow>
#include <QWindow>
#include <QMdiArea>
#include <QPointer>
#include <QTextDocument>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QCheckBox>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;
using Answer = Interaction::Answer;

namespace {
// Counts the requests for a new layout that reach a widget.
class StatusLayoutRequests : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::LayoutRequest)
            ++count;
        return false;
    }
};
} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup();

    // First: any picture read later loads the image plugins for the rest of the process.
    void startLoadsNoImagePluginAndTheOverflowIconsStillDraw();
    void startsWithCaptionMenusAndPanels();
    void everyMenuItemHasRegisteredCommand();
    void unmodifiedDocumentClosesWithoutQuestion();
    void closeQuestionAnswers_data();
    void closeQuestionAnswers();
    void yesOnUntitledOpensSaveAs();
    void cancelWhenClosingFrameKeepsEverything();
    void exitAsksAboutModifiedDocuments();
    void thirtiethWindowOpensThirtyFirstIsRefused();
    void browserVersionCheck_data();
    void browserVersionCheck();
    void droppedFilesOpenOnlyPages();
    void documentCheckMessages_data();
    void documentCheckMessages();
    void droppedTagItemsSplitAtFirstComma_data();
    void droppedTagItemsSplitAtFirstComma();
    void statusBarFollowsTheDocument();
    void typingLeavesTheStatusBarLayoutAlone();
    void openedFileIsNotReportedChanged();
    void restoredPageIsReportedChanged();
    void fileReadAgainInAnotherEncodingIsNotReportedChanged();
    void hidingSidePanelPressesItsButton();
    void autoIndentShortcutFlipsButtonOnly();
    void toolbarInsertionButtonsRunTheirInsertion_data();
    void toolbarInsertionButtonsRunTheirInsertion();
    void tipsRingAndShowNextTime();
    void settingsAreWrittenAtExit();
    void settingsAreWrittenWhenTheyChange();
    void closedDocumentsLeaveNothingBehind();
    void windowChosenFromTheListComesBackWithTheKeys_data();
    void windowChosenFromTheListComesBackWithTheKeys();
    void reopeningDoesNotMoveARecentEntry();
    void eleventhFileDropsTheOldest();
    void specialCharactersWindowInsertsEntities();
    void tagTreeEnterInsertsEscapeLeaves();
    void ctrlAltTFocusesTagTree();
    void paletteRunsLogoEvery50ms();
    void titleIsExactlyTheProgramsOwn();
    void toolWindowsOpenOverTheMainWindow();
    void windowIconIsTheProgramsOwn();
    // "Možnosti" - "Nastavení": what the frame does with the dialog's answer.
    void settingsCommandAppliesFontsButKeepsColours();
    void settingsCommandAfterDefaultsAndZpetAppliesTheDefaults();
    void settingsCommandWorksWithoutDocuments();
    void settingsCommandZpetAnnouncesNothing();

private:
    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

void tst_MainWindow::cleanup()
{
    // Only the hidden frame of QApplication's own may stay.
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY2(!w->isVisible(), qPrintable(w->objectName()));
}

namespace {
bool imagePluginLoaded()
{
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}
} // namespace

void tst_MainWindow::startLoadsNoImagePluginAndTheOverflowIconsStillDraw()
{
    QApplication::setStyle(newProgramStyle());
    QVERIFY2(!imagePluginLoaded(), "loaded before the main window was built");
    MainWindowFixture fx(0);
    fx.window().show();
    QVERIFY(QTest::qWaitForWindowExposed(&fx.window()));
    // The icons are read with their format named; Qt left to find it loads every plugin.
    QVERIFY(!imagePluginLoaded());
    QVERIFY(!fx.window().toolbar().findChild<QToolButton *>(u"SaveButton"_s)->icon().isNull());
    // The buttons for menus and tools that do not fit get the style's icons when drawn.
    for (const char *name : {"qt_menubar_ext_button", "qt_toolbar_ext_button"}) {
        const auto *button = fx.window().findChild<QToolButton *>(QLatin1StringView(name));
        QVERIFY2(button, name);
        QVERIFY2(!button->icon().pixmap(QSize(16, 16)).isNull(), name);
    }
}

void tst_MainWindow::startsWithCaptionMenusAndPanels()
{
    MainWindowFixture fx(0);
    TForm1 &w = fx.window();
    QCOMPARE(w.windowTitle(), u"Brisko HTML Editor 3.52 final"_s);
    QStringList menus;
    for (QAction *a : w.menuBar()->actions())
        menus << a->text();
    QCOMPARE(menus, (QStringList{u"Soubor"_s, u"Úpravy"_s, u"Hledání"_s, u"Vložit"_s,
                                 u"Nástroje"_s, u"Možnosti"_s, u"Okno"_s, u"Nápověda"_s}));
    QCOMPARE(w.palette().tabs()->count(), 12);
    QCOMPARE(w.palette().tabs()->tabText(0), u"Text"_s);
    QCOMPARE(w.palette().tabs()->currentIndex(), 0);
    QCOMPARE(w.sidePanel().notebook()->count(), 3);
    QCOMPARE(w.sidePanel().notebook()->tabText(2), u"Nápověda"_s);
    int buttons = 0;
    for (QToolButton *b : w.toolbar().findChildren<QToolButton *>())
        buttons += b->objectName().endsWith(u"Button"_s) ? 1 : 0;
    QCOMPARE(buttons, 17);
    // The first item in menu order keeps a shared shortcut.
    QCOMPARE(w.action(u"InsCopyright"_s)->shortcut(), QKeySequence(u"Ctrl+Shift+C"_s));
    QVERIFY(w.action(u"InsTagCenter"_s)->shortcut().isEmpty());
    QVERIFY(w.action(u"InsTagTable"_s)->shortcut().isEmpty());
    QCOMPARE(w.action(u"HidBold"_s)->shortcut(), QKeySequence(u"Ctrl+B"_s));
    QVERIFY(w.actions().contains(w.action(u"HidBold"_s)));
    QVERIFY(w.documentArea().previewTabs()->isVisibleTo(&w));
    QVERIFY(!w.findChild<QListWidget *>(u"ListBox1"_s)->isVisible());
}

void tst_MainWindow::unmodifiedDocumentClosesWithoutQuestion()
{
    ScriptedInteraction user;
    MainWindowFixture fx(1);
    fx.window().action(u"FileClose"_s)->trigger();
    QTRY_COMPARE(fx.workspace().documents().size(), 0);
    QVERIFY(user.questions.isEmpty());
    QCOMPARE(fx.workspace().ActiveDocument, 0);
}

void tst_MainWindow::closeQuestionAnswers_data()
{
    QTest::addColumn<Answer>("answer");
    QTest::addColumn<bool>("closed");
    QTest::newRow("no-closes-without-saving") << Answer::No << true;
    QTest::newRow("cancel-keeps-window") << Answer::Cancel << false;
}

void tst_MainWindow::closeQuestionAnswers()
{
    QFETCH(Answer, answer);
    QFETCH(bool, closed);
    ScriptedInteraction user;
    MainWindowFixture fx(1);
    fx.buffer().SetText(u"x"_s);
    user.answer(answer);
    fx.window().action(u"FileClose"_s)->trigger();
    QCOMPARE(user.questions, QStringList{u"Uložit změny do Bez jména?"_s});
    QTRY_COMPARE(fx.workspace().documents().isEmpty(), closed);
}

void tst_MainWindow::yesOnUntitledOpensSaveAs()
{
    ScriptedInteraction user;
    MainWindowFixture fx(1);
    fx.buffer().SetText(u"x"_s);
    user.answer(Answer::Yes).saveFile(QString());
    fx.window().action(u"FileClose"_s)->trigger();
    QVERIFY(user.allAnswered());
    QVERIFY(user.log.last().startsWith(u"save: "_s));
    // Save As was cancelled: the window and its text stay.
    QCOMPARE(fx.workspace().documents().size(), 1);
    QCOMPARE(fx.buffer().GetText(), u"x"_s);

    // Saved under a name, it closes.
    QTemporaryDir dir;
    user.answer(Answer::Yes).saveFile(dir.filePath(u"saved.htm"_s));
    fx.window().action(u"FileClose"_s)->trigger();
    QTRY_VERIFY(fx.workspace().documents().isEmpty());
    QVERIFY(QFile::exists(dir.filePath(u"saved.htm"_s)));
}

void tst_MainWindow::cancelWhenClosingFrameKeepsEverything()
{
    ScriptedInteraction user;
    MainWindowFixture fx(2);
    fx.workspace().documents().at(0)->SetText(u"a"_s);
    fx.workspace().documents().at(1)->SetText(u"b"_s);
    user.answer(Answer::No).answer(Answer::Cancel);
    QVERIFY(!fx.window().close());
    QCOMPARE(user.questions.size(), 2);
    QCOMPARE(fx.workspace().documents().size(), 2);
    QVERIFY(fx.window().isVisible());
}

void tst_MainWindow::exitAsksAboutModifiedDocuments()
{
    ScriptedInteraction user;
    MainWindowFixture fx(1);
    fx.buffer().SetText(u"unsaved"_s);
    user.answer(Answer::Cancel);
    fx.window().action(u"FileExit"_s)->trigger();
    QCOMPARE(user.questions, QStringList{u"Uložit změny do Bez jména?"_s});
    QVERIFY(fx.window().isVisible());
    QCOMPARE(fx.buffer().GetText(), u"unsaved"_s);
}

void tst_MainWindow::thirtiethWindowOpensThirtyFirstIsRefused()
{
    ScriptedInteraction user;
    MainWindowFixture fx(29);
    QVERIFY(fx.workspace().NewDocumentWindow());
    QCOMPARE(fx.workspace().ActiveDocument, 30);
    QVERIFY(!fx.workspace().NewDocumentWindow());
    QCOMPARE(user.errors, QStringList{u"Nelze vytvořit více jak 30 oken!"_s});
    QCOMPARE(fx.workspace().documents().size(), 30);
    // A freed slot is taken again, lowest first.
    fx.workspace().document(7)->closeConfirmed();
    QTRY_VERIFY(!fx.workspace().document(7));
    QCOMPARE(fx.workspace().NewDocumentWindow()->SlotIndex, 7);
}

void tst_MainWindow::browserVersionCheck_data()
{
    QTest::addColumn<QString>("version");
    QTest::addColumn<bool>("passes");
    QTest::newRow("old-component") << u"5.00.2614.3500"_s << true;
    QTest::newRow("engine-102") << u"102.0.5005.177"_s << true;
    QTest::newRow("ten-is-not-one") << u"10.0"_s << true;
    QTest::newRow("too-old") << u"3.02"_s << false;
    QTest::newRow("missing") << QString() << false;
    QTest::newRow("not-a-number") << u"abc"_s << false;
}

void tst_MainWindow::browserVersionCheck()
{
    QFETCH(QString, version);
    QFETCH(bool, passes);
    QCOMPARE(browserComponentIsRecent(version), passes);
}

void tst_MainWindow::droppedFilesOpenOnlyPages()
{
    ScriptedInteraction user;
    QTemporaryDir dir;
    writeFile(dir.filePath(u"a.htm"_s), "<P>a</P>");
    writeFile(dir.filePath(u"b.gif"_s), "GIF89a");
    writeFile(dir.filePath(u"c.SAB"_s), "<HTML></HTML>");
    MainWindowFixture fx(0);
    // A page the file manager still showed but that is gone is reported, without a window.
    fx.window().openDroppedFiles({QUrl::fromLocalFile(dir.filePath(u"a.htm"_s)),
                                  QUrl::fromLocalFile(dir.filePath(u"b.gif"_s)),
                                  QUrl::fromLocalFile(dir.filePath(u"smazaná.html"_s)),
                                  QUrl::fromLocalFile(dir.filePath(u"c.SAB"_s))});
    const QList<HtmlDocument *> docs = fx.workspace().documents();
    QCOMPARE(docs.size(), 2);
    QCOMPARE(docs[0]->caption(), u"a.htm"_s);
    QCOMPARE(docs[1]->GetText(), u"<HTML></HTML>"_s);
    QCOMPARE(user.errors.size(), 1);
    QVERIFY(user.errors[0].contains(dir.filePath(u"smazaná.html"_s)));
}

void tst_MainWindow::documentCheckMessages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QString>("info");
    QTest::newRow("correct") << u"<html><head></head><body></body></html>"_s << QString()
                             << u"Dokument vyhlíží jako správný!"_s;
    // An opening tag with attributes is not "<HTML>".
    QTest::newRow("html-with-attributes") << u"<HTML LANG=cs><HEAD></HEAD></HTML>"_s
                                          << u"Nebyl nalezen tag začátku dokumentu (<HTML>,</HTML>)"_s
                                          << QString();
    QTest::newRow("no-head") << u"<HTML><BODY></BODY></HTML>"_s
                             << u"Nebyl nalezen tag hlavičky dokumentu (<HEAD>,</HEAD>)"_s
                             << QString();
    QTest::newRow("center") << u"<HTML><HEAD></HEAD><center>x</center></HTML>"_s << QString()
                            << u"Dokument obsahuje tag <CENTER>, některé verze prohlížeče Netscape s ním nemusí zacházet dobře!"_s;
}

void tst_MainWindow::documentCheckMessages()
{
    QFETCH(QString, text);
    QFETCH(QString, error);
    QFETCH(QString, info);
    ScriptedInteraction user;
    MainWindowFixture fx(1);
    fx.setText(text);
    fx.window().toolButton(u"CheckButton"_s)->click();
    QCOMPARE(user.errors, error.isEmpty() ? QStringList() : QStringList{error});
    QCOMPARE(user.infos, info.isEmpty() ? QStringList() : QStringList{info});
}

void tst_MainWindow::droppedTagItemsSplitAtFirstComma_data()
{
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    QTest::addColumn<ColorValue>("color");
    QTest::newRow("pair-around-selection") << u"<B>,</B>"_s << u"<B>x</B>"_s << 4 << 255;
    QTest::newRow("no-comma-goes-after-caret") << u"<HR>"_s << u"x<HR>"_s << 1 << 255;
    QTest::newRow("only-first-comma-splits") << u"<A HREF=\"a,b\">,</A>"_s
                                             << u"<A HREF=\"axb\">,</A>"_s << 11 << 255;
    QTest::newRow("script-colour") << u"<SCRIPT>"_s << u"x<SCRIPT>"_s << 1 << 8421504;
}

void tst_MainWindow::droppedTagItemsSplitAtFirstComma()
{
    QFETCH(QString, item);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    QFETCH(ColorValue, color);
    MainWindowFixture fx(1);
    fx.setText(u"x"_s, 0, 1);
    fx.workspace().windows()->tagItemDropped(*fx.doc(), item);
    QCOMPARE(fx.buffer().GetText(), expected);
    QCOMPARE(fx.buffer().SelStart(), caret);
    QCOMPARE(fx.buffer().colorAt(expected.indexOf(u'<')), color);
}

void tst_MainWindow::statusBarFollowsTheDocument()
{
    MainWindowFixture fx(1);
    TForm1 &w = fx.window();
    QVERIFY(!w.toolButton(u"SaveButton"_s)->isEnabled());
    fx.buffer().SetText(u"ab\r\ncd"_s);
    QCOMPARE(w.statusText(1), u"Změněno"_s);
    QCOMPARE(w.statusText(2), u"Velikost:6 znaků"_s);
    QVERIFY(w.toolButton(u"SaveButton"_s)->isEnabled());
    QVERIFY(!w.toolButton(u"CutButton"_s)->isEnabled());
    fx.buffer().SetSelStart(4);
    fx.buffer().SetSelLength(2);
    QVERIFY(w.toolButton(u"CutButton"_s)->isEnabled());
    QVERIFY(w.toolButton(u"CopyButton"_s)->isEnabled());
    QTest::keyClick(&fx.view(), Qt::Key_End);
    QCOMPARE(w.statusText(3), u"2:3"_s);
}

// Each key changes the size and the caret's place in the status bar. Asking the bar for a
// new layout at each made it repaint whole, every panel, with every key.
void tst_MainWindow::typingLeavesTheStatusBarLayoutAlone()
{
    MainWindowFixture fx(1);
    TForm1 &w = fx.window();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    fx.buffer().SetText(u"ab\r\ncd"_s);
    QCoreApplication::processEvents();
    auto *bar = w.findChild<QStatusBar *>(u"StatusBar"_s);
    QVERIFY(bar);
    StatusLayoutRequests layoutRequests;
    bar->installEventFilter(&layoutRequests);
    QTest::keyClicks(&fx.view(), u"xyz"_s);
    QTest::keyClick(&fx.view(), Qt::Key_Home);
    QCoreApplication::processEvents();
    QCOMPARE(w.statusText(2), u"Velikost:9 znaků"_s);
    QCOMPARE(w.statusText(3), u"2:1"_s);
    QCOMPARE(layoutRequests.count, 0);
}

void tst_MainWindow::openedFileIsNotReportedChanged()
{
    ScriptedInteraction user;
    QTemporaryDir dir;
    writeFile(dir.filePath(u"a.htm"_s), "<P>a</P>");
    MainWindowFixture fx(1);
    TForm1 &w = fx.window();
    w.settings().Colorize = true;
    fx.buffer().SetText(u"x"_s);
    QCOMPARE(w.statusText(1), u"Změněno"_s);
    w.workspace().openInNewWindow(dir.filePath(u"a.htm"_s));
    QVERIFY(!fx.buffer().IsModified());
    QCOMPARE(w.statusText(1), QString());
    QTest::keyClicks(&fx.view(), u"y"_s);
    QCOMPARE(w.statusText(1), u"Změněno"_s);
    // Undone back to the text as read, the page is unchanged again.
    fx.doc()->textDocument()->undo();
    QVERIFY(!fx.buffer().IsModified());
    QCOMPARE(w.statusText(1), QString());
}

// A page restored after a crash holds what was typed before it and was never saved: the
// bar says so as it says for a typed key, or the user takes it for the saved page.
void tst_MainWindow::restoredPageIsReportedChanged()
{
    ScriptedInteraction user;
    QTemporaryDir dir;
    const QString folder = dir.filePath(u"recovery"_s);
    QVERIFY(QDir().mkpath(folder));
    RecoveryCopy copy;
    copy.fileName = dir.filePath(u"a.htm"_s);
    copy.slot = 1;
    copy.text = u"<P>psáno před pádem</P>"_s;
    QCOMPARE(commitFile(folder + u"/ended-1.rec"_s, serializeRecoveryCopy(copy)), QString());
    MainWindowFixture fx(0);
    TForm1 &w = fx.window();
    RecoveryBinding binding(w.workspace(), folder);
    user.choice(0); // "Obnovit"
    QCOMPARE(binding.offer(), 1);
    QVERIFY(fx.doc()->IsModified());
    QCOMPARE(w.statusText(1), u"Změněno"_s);
    QVERIFY(w.toolButton(u"SaveButton"_s)->isEnabled());
}

void tst_MainWindow::fileReadAgainInAnotherEncodingIsNotReportedChanged()
{
    ScriptedInteraction user;
    QTemporaryDir dir;
    writeFile(dir.filePath(u"a.htm"_s), "<P>\xe8\xe1p</P>"); // "čáp" in Windows-1250
    MainWindowFixture fx(0);
    TForm1 &w = fx.window();
    w.settings().Colorize = true;
    QVERIFY(w.workspace().openInNewWindow(dir.filePath(u"a.htm"_s)));
    QCOMPARE(w.statusText(1), QString());

    // The encoding panel's menu, as the user opens it from "Soubor" -> "Kódování".
    auto *menu = w.findChild<QMenu *>(u"FileEncoding"_s);
    QVERIFY(menu);
    Q_EMIT menu->aboutToShow();
    auto *reopen = menu->findChild<QAction *>(u"ReopenAs ISO-8859-2"_s);
    QVERIFY(reopen);
    QVERIFY(reopen->isEnabled());
    reopen->trigger();
    QCOMPARE(fx.doc()->encoding().encoding, TextEncoding::Iso88592);
    QVERIFY(!fx.buffer().IsModified());
    QCOMPARE(w.statusText(1), QString());
    QVERIFY(!w.toolButton(u"SaveButton"_s)->isEnabled());
    QTest::keyClicks(&fx.view(), u"y"_s);
    QCOMPARE(w.statusText(1), u"Změněno"_s);
}

void tst_MainWindow::hidingSidePanelPressesItsButton()
{
    MainWindowFixture fx(0);
    TForm1 &w = fx.window();
    QToolButton *button = w.toolButton(u"SidePanelButton"_s);
    w.action(u"OptSourcePanel"_s)->trigger();
    QVERIFY(!w.sidePanel().isVisible());
    QVERIFY(button->isChecked());
    button->click();
    QVERIFY(w.sidePanel().isVisible());
    QVERIFY(!button->isChecked());
    QVERIFY(w.action(u"OptSourcePanel"_s)->isChecked());
    w.action(u"OptCommandPanel"_s)->trigger();
    QVERIFY(!w.toolbar().isVisible());
}

void tst_MainWindow::autoIndentShortcutFlipsButtonOnly()
{
    MainWindowFixture fx(1);
    TForm1 &w = fx.window();
    QToolButton *button = w.toolButton(u"AutoIndentButton"_s);
    QVERIFY(button->isChecked());
    QVERIFY(w.autoIndentOn());
    QVERIFY(w.settings().AutoIntend);
    w.action(u"HidAutoIndent"_s)->trigger();
    QVERIFY(!button->isChecked());
    QVERIFY(!w.autoIndentOn());
    QVERIFY(w.settings().AutoIntend);
    button->click();
    QVERIFY(button->isChecked());
    QVERIFY(w.autoIndentOn());
    QVERIFY(w.settings().AutoIntend);
    button->click();
    QVERIFY(!w.settings().AutoIntend);
}

void tst_MainWindow::toolbarInsertionButtonsRunTheirInsertion_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("expectedStart");
    QTest::newRow("colour") << u"ColorButton"_s << u"#0000FF"_s;
    QTest::newRow("comment") << u"CommentButton"_s << u"<!--poznámka-->"_s;
    QTest::newRow("new-page wizard") << u"WizardButton"_s << u"<HTML>\r\n<HEAD>\r\n"_s;
}

void tst_MainWindow::toolbarInsertionButtonsRunTheirInsertion()
{
    QFETCH(QString, button);
    QFETCH(QString, expectedStart);
    MainWindowFixture fx;
    ScriptedInteraction si;
    if (button == u"ColorButton"_s) {
        si.pickColor(QColor(0, 0, 255));
    } else {
        si.dialog([](QDialog &d) {
            if (auto *memo = d.findChild<QPlainTextEdit *>(u"Memo1"_s))
                memo->setPlainText(u"poznámka"_s);
            pressInsert(d);
        });
    }
    fx.window().toolButton(button)->click();
    QVERIFY2(fx.buffer().GetText().startsWith(expectedStart), qPrintable(fx.buffer().GetText()));
    QVERIFY(si.allAnswered());
}

void tst_MainWindow::tipsRingAndShowNextTime()
{
    MainWindowFixture fx(0);
    TForm1 &w = fx.window();
    w.action(u"HelpTips"_s)->trigger();
    auto *tips = w.findChild<TipsWindow *>();
    QVERIFY(tips);
    for (int i = 0; i < 12; ++i)
        tips->nextTip();
    QCOMPARE(tips->currentTip(), 0);
    tips->close();
    QTRY_VERIFY(!w.findChild<TipsWindow *>());
    // Ticked by default: the tips do not come back at the next start.
    QCOMPARE(w.settings().Tipky, false);
}

void tst_MainWindow::settingsAreWrittenAtExit()
{
    QString ini;
    {
        MainWindowFixture fx(0);
        ini = fx.iniPath;
        fx.workspace().AddRecentFile(u"/web/a.htm"_s);
    }
    QSettings raw(ini, QSettings::IniFormat);
    QCOMPARE(raw.childGroups(), (QStringList{u"Colors"_s, u"Formelina"_s, u"PlugIns"_s, u"User"_s}));
    QCOMPARE(raw.value(u"User/File-1"_s).toString(), u"/web/a.htm"_s);
    QVERIFY(raw.contains(u"Formelina/WinState"_s));
}

// A crash or a kill after a change loses none: the file holds it while the program runs.
void tst_MainWindow::settingsAreWrittenWhenTheyChange()
{
    QTemporaryDir dir;
    MainWindowFixture fx(0);
    const auto stored = [&fx](const QString &key) {
        return QSettings(fx.iniPath, QSettings::IniFormat).value(key).toString();
    };
    // A click on a button that is a setting.
    QToolButton *autoIndent = fx.window().findChild<QToolButton *>(u"AutoIndentButton"_s);
    QVERIFY(autoIndent);
    const bool before = fx.window().settings().AutoIntend;
    QTest::mouseClick(autoIndent, Qt::LeftButton);
    QCOMPARE(fx.window().settings().AutoIntend, !before);
    QTRY_COMPARE(stored(u"User/AutoIntend"_s), before ? u"0"_s : u"1"_s);
    // A page opened without a click or a key (handed over by a second start).
    const QString page = dir.filePath(u"a.html"_s);
    writeFile(page, "<P>a</P>");
    fx.workspace().openInNewWindow(page);
    QTRY_COMPARE(stored(u"User/File-1"_s), page);
}

void tst_MainWindow::closedDocumentsLeaveNothingBehind()
{
    // Ten pages opened as the user opens them (colours and spelling going in) and all
    // closed, three times: each time every document, its text and everything hanging on
    // it goes, and the frame holds no more objects after the second and third time than
    // after the first (the sanitized build also reports what leaked at exit).
    QTemporaryDir dir;
    QStringList pages;
    QString text;
    while (text.size() < 20000)
        text += u"<P ALIGN=left>Obyčejná <B>slova</B> stránky <A HREF=\"x.html\">odkaz</A>\r\n"_s;
    for (int i = 0; i < 10; ++i) {
        pages << dir.filePath(u"page%1.html"_s.arg(i));
        writeFile(pages.last(), text.toLatin1());
    }
    MainWindowFixture fx(0);
    TForm1 &w = fx.window();
    DocumentManager &docs = w.workspace();
    const auto objectsIn = [&w] { return w.findChildren<QObject *>().size(); };
    qsizetype afterFirst = -1;
    for (int cycle = 0; cycle < 3; ++cycle) {
        QList<QPointer<QObject>> opened;
        for (const QString &page : std::as_const(pages)) {
            HtmlDocument *doc = docs.openInNewWindow(page);
            QVERIFY(doc);
            opened << doc << docs.window(doc) << docs.window(doc)->RichEdit1 << doc->textDocument();
        }
        QCOMPARE(docs.documents().size(), 10);
        QTRY_VERIFY(!docs.activeDocument()->backgroundColouringPending());
        for (HtmlDocument *doc : docs.documents())
            doc->closeConfirmed();
        QTRY_VERIFY(docs.documents().isEmpty());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        for (const QPointer<QObject> &o : std::as_const(opened))
            QVERIFY2(!o, qPrintable(u"cycle %1"_s.arg(cycle + 1)));
        QTRY_COMPARE(w.findChild<QMdiArea *>()->subWindowList().size(), 0);
        if (cycle == 0)
            afterFirst = objectsIn();
        else
            QCOMPARE(objectsIn(), afterFirst);
    }
}

void tst_MainWindow::windowChosenFromTheListComesBackWithTheKeys_data()
{
    QTest::addColumn<bool>("minimised");
    QTest::addColumn<bool>("othersMaximised");
    QTest::addColumn<bool>("underThePreview"); // the "Preview" tab covers the documents
    QTest::newRow("minimised") << true << false << false;
    QTest::newRow("behindAMaximisedOne") << false << true << false;
    QTest::newRow("behindAnother") << false << false << false;
    QTest::newRow("underThePreview") << false << true << true;
    QTest::newRow("minimisedUnderThePreview") << true << false << true;
}

void tst_MainWindow::windowChosenFromTheListComesBackWithTheKeys()
{
    QFETCH(bool, minimised);
    QFETCH(bool, othersMaximised);
    QFETCH(bool, underThePreview);
    MainWindowFixture fx(3);
    QMdiArea *mdi = fx.window().documentArea().windows();
    HtmlDocument *first = fx.workspace().documents()[0];
    TForm2 *firstWindow = fx.workspace().window(first);
    auto *sub = qobject_cast<QMdiSubWindow *>(firstWindow->parentWidget());
    QVERIFY(sub);
    QCOMPARE(mdi->subWindowList().indexOf(sub), 0);
    if (!othersMaximised) {
        for (QMdiSubWindow *w : mdi->subWindowList())
            w->showNormal();
    }
    if (minimised)
        sub->showMinimized();
    mdi->setActiveSubWindow(mdi->subWindowList().last());
    QCOMPARE(sub->isMinimized(), minimised);
    QVERIFY(fx.workspace().activeDocument() != first);
    DocumentArea &documentArea = fx.window().documentArea();
    if (underThePreview) {
        // As the "Preview" tab leaves them, without loading a page for it.
        documentArea.setCovered(true);
        const QSignalBlocker quiet(documentArea.previewTabs());
        documentArea.previewTabs()->setCurrentIndex(1);
    }

    // The "Okno" menu's list, as it is filled when the menu opens: the first window's entry.
    QMenu menu;
    fx.window().documentArea().listWindows(menu);
    QList<QAction *> entries;
    for (QAction *a : menu.actions()) {
        if (a->property("windowListEntry").toBool() && !a->isSeparator())
            entries << a;
    }
    QCOMPARE(entries.size(), 3);
    entries[0]->trigger();
    QVERIFY(!documentArea.covered());
    QCOMPARE(documentArea.previewTabs()->currentIndex(), 0);
    QVERIFY(!sub->isMinimized());
    QCOMPARE(mdi->activeSubWindow(), sub);
    QCOMPARE(fx.workspace().activeDocument(), first);
    // Typing goes into the chosen page.
    QCOMPARE(fx.window().focusWidget(), static_cast<QWidget *>(firstWindow->RichEdit1));
}

void tst_MainWindow::everyMenuItemHasRegisteredCommand()
{
    MainWindowFixture fx(0);
    const auto &items = fx.window().mainMenu().actions();
    QVERIFY(items.size() > 100);
    QStringList missing;
    for (auto it = items.cbegin(); it != items.cend(); ++it) {
        if (!fx.window().commands().contains(it.key()))
            missing << it.key();
        // The item's name is the identifier its command is found by.
        QCOMPARE(it.value()->objectName(), it.key());
    }
    QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u", "_s)));
}

// --- the recent files' submenu -------------------------------------------------------------

void tst_MainWindow::reopeningDoesNotMoveARecentEntry()
{
    QTemporaryDir dir;
    ScriptedInteraction user;
    MainWindowFixture frame(0);
    frame.window().settings().Colorize = false;
    for (const char *name : {"a.htm", "b.htm"}) {
        writeFile(dir.filePath(QLatin1StringView(name)), "x");
        user.openFile(dir.filePath(QLatin1StringView(name)));
        frame.window().action(Cmd::FileOpen)->trigger();
    }
    user.openFile(dir.filePath(u"a.htm"_s));
    frame.window().action(Cmd::FileOpen)->trigger();
    const auto &recent = frame.window().settings().RecentFiles;
    QCOMPARE(recent[0], dir.filePath(u"b.htm"_s));
    QCOMPARE(recent[1], dir.filePath(u"a.htm"_s));
    QCOMPARE(recent[2], QString());
    QVERIFY(frame.window().action(u"Recent2"_s)->isVisible());
    QVERIFY(!frame.window().action(u"Recent3"_s)->isVisible());

    // A file open already is not opened a second time (the two would save over each
    // other): reopening it, from the dialog or the submenu, brings its window forward.
    QCOMPARE(frame.workspace().documents().size(), 2);
    frame.workspace().activateDocument(*frame.workspace().documentOf(dir.filePath(u"b.htm"_s)));
    frame.window().action(u"Recent2"_s)->trigger();
    QCOMPARE(frame.workspace().documents().size(), 2);
    QCOMPARE(frame.doc()->FileName(), dir.filePath(u"a.htm"_s));
    QVERIFY(user.allAnswered());
    QVERIFY(user.unexpected.isEmpty());

    // Opened again through a link to its folder, the file keeps its one entry.
    QVERIFY(QFile::link(dir.path(), dir.filePath(u"odkaz"_s)));
    for (HtmlDocument *doc : frame.workspace().documents())
        doc->closeConfirmed();
    QTRY_VERIFY(frame.workspace().documents().isEmpty());
    QVERIFY(frame.workspace().openInNewWindow(dir.filePath(u"odkaz/a.htm"_s)));
    QCOMPARE(recent[0], dir.filePath(u"b.htm"_s));
    QCOMPARE(recent[1], dir.filePath(u"a.htm"_s));
    QCOMPARE(recent[2], QString());
}

void tst_MainWindow::eleventhFileDropsTheOldest()
{
    QTemporaryDir dir;
    MainWindowFixture frame(0);
    for (int i = 1; i <= 11; ++i)
        frame.workspace().AddRecentFile(dir.filePath(u"f%1.htm"_s.arg(i)));
    frame.window().RefreshRecentMenu();
    const auto &recent = frame.window().settings().RecentFiles;
    QCOMPARE(recent[0], dir.filePath(u"f11.htm"_s));
    QCOMPARE(recent[9], dir.filePath(u"f2.htm"_s));
    QCOMPARE(frame.window().action(u"Recent10"_s)->text(), dir.filePath(u"f2.htm"_s));
}

void tst_MainWindow::specialCharactersWindowInsertsEntities()
{
    ScriptedInteraction script;
    MainWindowFixture fx;
    TForm1 &w = fx.window();
    QAction *item = w.action(u"ToolSpecialChars"_s);
    fx.setText(u"<B>"_s, 1); // inside a tag: the entities are exempt from the check
    item->trigger();
    item->trigger(); // a second time brings the same window forward
    QCOMPARE(w.findChildren<TForm19 *>().size(), 1);
    QVERIFY(item->isChecked());
    auto *chars = w.findChild<TForm19 *>();
    QCOMPARE(chars->windowTitle(), u"Speciální znaky"_s);
    const auto buttons = chars->findChildren<QPushButton *>();
    auto press = [&](const QString &caption) {
        for (QPushButton *b : buttons)
            if (b->text() == caption)
                b->click();
    };
    press(u"©"_s);
    press(u"NBSP"_s);
    press(u"<"_s);
    QCOMPARE(fx.buffer().GetText(), u"<&#169;&nbsp;&lt;B>"_s);
    QCOMPARE(fx.buffer().colorAt(1), w.settings().TEXT);
    QCOMPARE(script.errors, QStringList());
    chars->close();
    QTRY_VERIFY(!w.findChild<TForm19 *>());
    QVERIFY(!item->isChecked());
}

// --- the side panel's tag tree ----------------------------------------------------------------

void tst_MainWindow::tagTreeEnterInsertsEscapeLeaves()
{
    ScriptedInteraction user;
    MainWindowFixture fx;
    TagTreePanel &p = *fx.window().sidePanel().tagTreePage()->findChild<TagTreePanel *>();
    p.loadText(u"<BR>,\r\n"_s);
    fx.setText(u"x"_s, 1);
    p.TreeView1->setCurrentItem(p.TreeView1->topLevelItem(0));
    QTest::keyClick(p.TreeView1, Qt::Key_Return);
    QCOMPARE(fx.buffer().GetText(), u"x<BR>"_s);
    QCOMPARE(fx.buffer().SelStart(), 5);
    p.TreeView1->setFocus();
    QTest::keyClick(p.TreeView1, Qt::Key_Escape);
    QCOMPARE(fx.window().focusWidget(), &fx.view());
    QVERIFY(user.unexpected.isEmpty());
}

void tst_MainWindow::ctrlAltTFocusesTagTree()
{
    MainWindowFixture fx;
    TForm1 &w = fx.window();
    w.sidePanel().notebook()->setCurrentIndex(0);
    w.action(u"HidTagWindow"_s)->trigger();
    QCOMPARE(w.sidePanel().notebook()->currentWidget(), w.sidePanel().tagTreePage());
    QCOMPARE(w.focusWidget(), w.sidePanel().tagTreePage()->findChild<TagTreePanel *>()->TreeView1);
}

void tst_MainWindow::paletteRunsLogoEvery50ms()
{
    MainWindowFixture fx;
    auto *logo = fx.window().palette().logoBox()->findChild<LogoAnimation *>();
    QVERIFY(logo);
    QVERIFY(logo->timer()->isActive());
    QCOMPARE(logo->timer()->interval(), 50);
    for (int i = 0; i < LogoAnimation::FrameCount; ++i) {
        QVERIFY2(!logo->frame(i).isNull(), qPrintable(LogoAnimation::frameName(i)));
        QCOMPARE(logo->frame(i).size(), QSize(40, 40));
    }
    QCOMPARE(fx.window().palette().logoBox()->size(), QSize(40, 40));
    QCOMPARE(fx.window().palette().logoBox()->cursor().shape(), Qt::PointingHandCursor);
}

// --- the frame on the desktop ------------------------------------------------------------

void tst_MainWindow::titleIsExactlyTheProgramsOwn()
{
    // Qt appends the application's display name to every title when one is set.
    setUpApplication(*qApp);
    QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    MainWindowFixture fx(0);
    QCOMPARE(fx.window().windowTitle(), u"Brisko HTML Editor 3.52 final"_s);
    QCOMPARE(fx.window().windowHandle()->title(), u"Brisko HTML Editor 3.52 final"_s);
    fx.workspace().NewDocumentWindow();
    QVERIFY(fx.window().mdiArea()->activeSubWindow()->isMaximized());
    QCOMPARE(fx.window().windowTitle(), u"Brisko HTML Editor 3.52 final - [Bez jména]"_s);
}

void tst_MainWindow::toolWindowsOpenOverTheMainWindow()
{
    MainWindowFixture fx(1);
    TForm1 &w = fx.window();
    w.setGeometry(300, 200, 900, 700);
    const QRect frame = w.frameGeometry();
    w.showTips();
    auto *tips = w.findChild<TipsWindow *>();
    QVERIFY(tips);
    QVERIFY2(frame.contains(tips->geometry().center()), "Tipy opens over the main window");
    tips->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    w.action(u"ToolSpecialChars"_s)->trigger();
    auto *chars = w.findChild<TForm19 *>();
    QVERIFY(chars && chars->isVisible());
    QVERIFY2(frame.contains(chars->geometry().center()), "Speciální znaky opens over the main window");
    QTest::keyClick(chars, Qt::Key_Escape);
    QTRY_VERIFY(!w.findChild<TForm19 *>() || !w.findChild<TForm19 *>()->isVisible());
}

void tst_MainWindow::windowIconIsTheProgramsOwn()
{
    setUpApplication(*qApp);
    const QIcon icon = QApplication::windowIcon();
    for (int size : {16, 32, 48, 64})
        QVERIFY2(icon.availableSizes().contains(QSize(size, size)), qPrintable(QString::number(size)));
    MainWindowFixture fx(1);
    QCOMPARE(fx.window().windowIcon().cacheKey(), icon.cacheKey());
    // A maximised document shows its icon in the menu bar: the program's, not Qt's logo.
    QCOMPARE(fx.window().mdiArea()->activeSubWindow()->windowIcon().cacheKey(), icon.cacheKey());
}

void tst_MainWindow::settingsCommandAppliesFontsButKeepsColours()
{
    MainWindowFixture fx(2);
    fx.setText(u"<B>ab</B>"_s);
    fx.buffer().ColorRange(0, 3, 255);
    fx.buffer().SetSelStart(4);
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        control<QSpinBox>(d, u"SizeSpin"_s)->setValue(17);
        control<QSpinBox>(d, u"TabSpin"_s)->setValue(2);
        press(d, u"OkButton"_s);
    });
    fx.window().action(u"OptSettings"_s)->trigger();
    QCOMPARE(answers.log, QStringList{u"dialog: Nastavení"_s});
    QCOMPARE(fx.window().settings().Vyska, 17);
    QCOMPARE(fx.window().settings().TabText(), u"  "_s);
    for (HtmlDocument *doc : fx.workspace().documents())
        QCOMPARE(fx.workspace().window(doc)->RichEdit1->font().pointSize(), 17);
    HtmlDocument &b = fx.buffer();
    QCOMPARE(b.colorAt(1), 255);
    QCOMPARE(b.colorAt(4), 0);
    QCOMPARE(b.SelStart(), 0);
    QCOMPARE(b.SelLength(), 0);
}

void tst_MainWindow::settingsCommandAfterDefaultsAndZpetAppliesTheDefaults()
{
    MainWindowFixture fx(1);
    TSettings changed = fx.window().settings();
    changed.Vyska = 20;
    changed.Tab = 3;
    fx.window().settingsModel().replace(changed);
    QCOMPARE(fx.view().font().pointSize(), 20);
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        press(d, u"DefaultsButton"_s);
        press(d, u"CancelButton"_s);
    });
    fx.window().action(u"OptSettings"_s)->trigger();
    QCOMPARE(fx.window().settings().Vyska, 10);
    QCOMPARE(fx.window().settings().TabText(), QString(8, u' '));
    QCOMPARE(fx.view().font().pointSize(), 10);
}

void tst_MainWindow::settingsCommandWorksWithoutDocuments()
{
    MainWindowFixture fx(0);
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        control<QCheckBox>(d, u"IBrowCheck"_s)->setChecked(false);
        press(d, u"OkButton"_s);
    });
    QVERIFY(fx.window().action(u"OptSettings"_s)->isEnabled());
    QVERIFY(fx.window().documentArea().previewTabs()->isVisible());
    fx.window().action(u"OptSettings"_s)->trigger();
    QVERIFY(answers.allAnswered());
    QCOMPARE(fx.window().settings().IBrow, false);
    QVERIFY(!fx.window().documentArea().previewTabs()->isVisible());
}

void tst_MainWindow::settingsCommandZpetAnnouncesNothing()
{
    MainWindowFixture fx(1);
    int announced = 0;
    connect(&fx.window().settingsModel(), &SettingsModel::changed, this, [&] { ++announced; });
    const TSettings before = fx.window().settings();
    ScriptedInteraction answers;
    answers.dialog([](QDialog &d) {
        control<QSpinBox>(d, u"SizeSpin"_s)->setValue(30);
        press(d, u"CancelButton"_s);
    });
    fx.window().action(u"OptSettings"_s)->trigger();
    QVERIFY(answers.allAnswered());
    QCOMPARE(announced, 0);
    QVERIFY(fx.window().settings() == before);
    QCOMPARE(fx.view().font().pointSize(), before.Vyska);
}

BRISKO_TEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
