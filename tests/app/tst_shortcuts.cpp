#include "app/TForm1.h"
#include "support/MainWindowFixture.h"
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

BRISKO_TEST_MAIN(tst_Shortcuts)
#include "tst_shortcuts.moc"
