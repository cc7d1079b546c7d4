#include "app/TForm1.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QShortcut>
#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

// Every key held by more than one enabled action or shortcut of the window and its
// children, as "Ctrl+W: WinPreview, <sub-window close>".
QStringList keysHeldTwice(QWidget &window)
{
    QMultiHash<QString, QString> holders;
    for (QAction *a : window.findChildren<QAction *>()) {
        if (!a->isEnabled())
            continue;
        const QString who = a->objectName().isEmpty() ? a->text() : a->objectName();
        for (const QKeySequence &key : a->shortcuts())
            holders.insert(key.toString(), who);
    }
    for (QShortcut *s : window.findChildren<QShortcut *>()) {
        if (s->isEnabled() && !s->key().isEmpty())
            holders.insert(s->key().toString(), s->objectName());
    }
    QStringList twice;
    for (const QString &key : holders.uniqueKeys()) {
        const QStringList who = holders.values(key);
        if (who.size() > 1)
            twice << key + u": "_s + who.join(u", "_s);
    }
    return twice;
}

} // namespace

class tst_Shortcuts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void noKeyIsHeldTwice_data();
    void noKeyIsHeldTwice();
    void firstInMenuOrderKeepsTheKey_data();
    void firstInMenuOrderKeepsTheKey();
    void ctrlWOpensThePreviewWindowFromADocument();
    void keysTheEditorKnowsGoToTheMenu_data();
    void keysTheEditorKnowsGoToTheMenu();
    void insertionKeysWriteTheirTags_data();
    void insertionKeysWriteTheirTags();
};

void tst_Shortcuts::noKeyIsHeldTwice_data()
{
    QTest::addColumn<int>("documents");
    QTest::newRow("no document") << 0;
    QTest::newRow("one maximised document") << 1;
    QTest::newRow("three documents") << 3;
}

void tst_Shortcuts::noKeyIsHeldTwice()
{
    QFETCH(int, documents);
    MainWindowFixture fx(documents);
    if (documents > 1)
        fx.window().mdiArea()->activeSubWindow()->showNormal();
    const QStringList twice = keysHeldTwice(fx.window());
    QVERIFY2(twice.isEmpty(), qPrintable(twice.join(u"; "_s)));
}

void tst_Shortcuts::firstInMenuOrderKeepsTheKey_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("holder");
    QTest::newRow("Ctrl+Shift+C") << u"Ctrl+Shift+C"_s << u"InsCopyright"_s;
    QTest::newRow("Ctrl+Shift+R") << u"Ctrl+Shift+R"_s << u"InsRegistered"_s;
    QTest::newRow("Ctrl+Shift+T") << u"Ctrl+Shift+T"_s << u"InsTrademark"_s;
    QTest::newRow("Ctrl+W") << u"Ctrl+W"_s << u"WinPreview"_s;
    QTest::newRow("F3") << u"F3"_s << u"SearchFindNext"_s;
    // The hidden items hold the keys of the palette's elements.
    QTest::newRow("Ctrl+Q") << u"Ctrl+Q"_s << u"HidForm"_s;
    // Keys of their own for the commands on the whole site and beside the source.
    QTest::newRow("Ctrl+Alt+F") << u"Ctrl+Alt+F"_s << u"SearchInFiles"_s;
    QTest::newRow("Ctrl+Shift+E") << u"Ctrl+Shift+E"_s << u"ToolLivePreview"_s;
}

void tst_Shortcuts::firstInMenuOrderKeepsTheKey()
{
    QFETCH(QString, key);
    QFETCH(QString, holder);
    MainWindowFixture fx(1);
    QStringList holders;
    for (QAction *a : fx.window().findChildren<QAction *>()) {
        if (a->shortcuts().contains(QKeySequence(key)))
            holders << a->objectName();
    }
    QCOMPARE(holders, QStringList{holder});
}

void tst_Shortcuts::ctrlWOpensThePreviewWindowFromADocument()
{
    MainWindowFixture fx(1, false); // the preview command itself is not under test
    TForm1 &w = fx.window();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QWidget *editor = &fx.view();
    editor->setFocus();
    QAction *preview = w.action(u"WinPreview"_s);
    QSignalSpy spy(preview, &QAction::triggered);
    QTest::keyClick(editor, Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(w.workspace().documents().size(), 1); // the document window was not closed
}

void tst_Shortcuts::keysTheEditorKnowsGoToTheMenu_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("holder"); // empty: the key is typed into the page
    QTest::newRow("Ctrl+A") << (Qt::CTRL | Qt::Key_A) << u"EditSelectAll"_s;
    QTest::newRow("Ctrl+Del") << (Qt::CTRL | Qt::Key_Delete) << u"EditDeleteTag"_s;
    QTest::newRow("Ctrl+Ins") << (Qt::CTRL | Qt::Key_Insert) << u"HidCopy"_s;
    QTest::newRow("Ctrl+Shift+M") << (Qt::CTRL | Qt::SHIFT | Qt::Key_M) << u"EditGoToPairTag"_s;
    QTest::newRow("Shift+Ins") << (Qt::SHIFT | Qt::Key_Insert) << u"HidPaste"_s;
    QTest::newRow("a letter") << QKeyCombination(Qt::Key_Q) << QString();
    QTest::newRow("a shifted letter") << (Qt::SHIFT | Qt::Key_Q) << QString();
}

void tst_Shortcuts::keysTheEditorKnowsGoToTheMenu()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, holder);
    MainWindowFixture fx(1, false);
    TForm1 &w = fx.window();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    EditorBuffer *editor = &fx.view();
    editor->setFocus();
    int triggered = 0;
    QString by;
    for (QAction *a : w.findChildren<QAction *>()) {
        connect(a, &QAction::triggered, &w, [&triggered, &by, a] {
            ++triggered;
            by = a->objectName();
        });
    }
    const QString before = fx.buffer().GetText();
    QTest::keyClick(editor, key.key(), key.keyboardModifiers());
    if (holder.isEmpty()) {
        QCOMPARE(triggered, 0);
        QCOMPARE(fx.buffer().GetText().size(), before.size() + 1); // typed into the page
    } else {
        QCOMPARE(triggered, 1);
        QCOMPARE(by, holder);
    }
}

void tst_Shortcuts::insertionKeysWriteTheirTags_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("expected");
    const int ctrl = Qt::ControlModifier, ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
    QTest::newRow("Ctrl+B") << int(Qt::Key_B) << ctrl << u"<B></B>"_s;
    QTest::newRow("Ctrl+I") << int(Qt::Key_I) << ctrl << u"<I></I>"_s;
    QTest::newRow("Ctrl+U") << int(Qt::Key_U) << ctrl << u"<U></U>"_s;
    QTest::newRow("Ctrl+T") << int(Qt::Key_T) << ctrl << u"<TT></TT>"_s;
    QTest::newRow("Ctrl+L") << int(Qt::Key_L) << ctrl << u"<LI ></LI>"_s;
    QTest::newRow("Ctrl+Y") << int(Qt::Key_Y) << ctrl << u"<LI ></LI>"_s;
    QTest::newRow("Ctrl+Shift+C copyright wins") << int(Qt::Key_C) << ctrlShift << u"&copy;"_s;
    QTest::newRow("Ctrl+Shift+R registered wins") << int(Qt::Key_R) << ctrlShift << u"&reg;"_s;
    QTest::newRow("Ctrl+Shift+T trademark wins") << int(Qt::Key_T) << ctrlShift << u"&#153;"_s;
    QTest::newRow("Ctrl+Shift+Space") << int(Qt::Key_Space) << ctrlShift << u"&nbsp;"_s;
    QTest::newRow("Ctrl+Shift+B") << int(Qt::Key_B) << ctrlShift
                                  << u"<BLOCKQUOTE></BLOCKQUOTE>"_s;
    QTest::newRow("Ctrl+Shift+D") << int(Qt::Key_D) << ctrlShift << u"<TD></TD>"_s;
    QTest::newRow("Alt+1") << int(Qt::Key_1) << int(Qt::AltModifier) << u"<H1></H1>"_s;
    QTest::newRow("Alt+6") << int(Qt::Key_6) << int(Qt::AltModifier) << u"<H6></H6>"_s;
}

void tst_Shortcuts::insertionKeysWriteTheirTags()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, expected);
    MainWindowFixture fx;
    ScriptedInteraction si;
    QVERIFY(QTest::qWaitForWindowActive(&fx.window()));
    fx.view().setFocus();
    QTest::keyClick(&fx.window(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(fx.buffer().GetText(), expected);
}

BRISKO_TEST_MAIN(tst_Shortcuts)
#include "tst_shortcuts.moc"
