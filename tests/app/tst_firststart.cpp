#include "app/MarkupStyleBar.h"
#include "commands/DocumentLifecycle.h"
#include "support/MainWindowFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The first start offers HTML5 and UTF-8 in a bar above the documents, not in a box that
// stops the user: it takes no focus and goes after an answer or the first page saved.
class tst_FirstStart : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }
    void barOnlyWhenNothingIsStored();
    void answerSetsTheStyleAndKeepsTheFocus_data();
    void answerSetsTheStyleAndKeepsTheFocus();
    void firstSaveTakesTheBarAway();
};

void tst_FirstStart::barOnlyWhenNothingIsStored()
{
    QString ini;
    {
        MainWindowFixture fx;
        ini = fx.iniPath;
        MarkupStyleBar *bar = fx.window().markupStyleBar();
        QVERIFY(bar);
        QVERIFY(bar->isVisible());
        QVERIFY(bar->findChild<QLabel *>()->text() == u"Psát nové stránky v HTML5 a UTF-8?"_s);
        QCOMPARE(bar->yesButton()->text(), u"Ano"_s);
        QCOMPARE(bar->noButton()->text(), u"Ne"_s);
        // Above the documents, not over them.
        QVERIFY(bar->geometry().bottom() <= fx.window().mdiArea()->mapTo(bar->parentWidget(), QPoint(0, 0)).y());
    }
    // The settings are stored when the window goes: the next start asks nothing.
    TForm1 again(std::make_unique<SettingsStore>(ini));
    QVERIFY(!again.markupStyleBar());
}

void tst_FirstStart::answerSetsTheStyleAndKeepsTheFocus_data()
{
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("style");
    QTest::newRow("Ano") << true << u"HTML5"_s;
    QTest::newRow("Ne") << false << u"HTML4"_s;
}

void tst_FirstStart::answerSetsTheStyleAndKeepsTheFocus()
{
    QFETCH(bool, yes);
    QFETCH(QString, style);
    MainWindowFixture fx;
    fx.window().activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&fx.window()));
    fx.view().setFocus();
    QTRY_VERIFY(fx.view().hasFocus());
    QPointer<MarkupStyleBar> bar = fx.window().markupStyleBar();
    QVERIFY(bar);
    QTest::mouseClick(yes ? bar->yesButton() : bar->noButton(), Qt::LeftButton);
    QCOMPARE(fx.window().settings().MarkupStyle, style);
    QVERIFY(fx.view().hasFocus());
    QTRY_VERIFY(!bar);
    QVERIFY(!fx.window().markupStyleBar());
}

void tst_FirstStart::firstSaveTakesTheBarAway()
{
    MainWindowFixture fx;
    auto script = std::make_unique<ScriptedInteraction>();
    QPointer<MarkupStyleBar> bar = fx.window().markupStyleBar();
    QVERIFY(bar);
    fx.setText(u"<P>text</P>"_s);
    script->saveFile(TestEnvironment::root() + u"/prvni.html"_s);
    QVERIFY(SaveDocumentAs(fx.workspace(), *fx.doc()));
    QTRY_VERIFY(!bar);
    // Working on without an answer keeps the pages as they were.
    QCOMPARE(fx.window().settings().MarkupStyle, u"HTML4"_s);
    endScript(script);
}

BRISKO_TEST_MAIN(tst_FirstStart)
#include "tst_firststart.moc"
