#include "support/DialogControls.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "app/ProgramDir.h"
#include "commands/ScriptCommands.h"
#include "commands/StyleCommands.h"
#include "commands/TableCommands.h"
#include "markup/GuardedFile.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>

using namespace Qt::StringLiterals;

using Runner = std::function<void(Workspace &)>;
using Filler = std::function<void(QDialog &)>;
using Checker = std::function<bool(QDialog &)>;
Q_DECLARE_METATYPE(Runner)
Q_DECLARE_METATYPE(Filler)
Q_DECLARE_METATYPE(Checker)

namespace {

void trigger(QDialog &d, const QString &name)
{
    QAction *a = d.findChild<QAction *>(name);
    if (!a)
        qFatal("action %s missing", qPrintable(name));
    a->trigger();
}

} // namespace

// Every tool that hands text to the document refuses text that would not fit while it is
// still open: what the user typed into it stays there.
class TestToolRoom : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void toolStaysOpenWithItsTextWhenTheResultDoesNotFit_data();
    void toolStaysOpenWithItsTextWhenTheResultDoesNotFit();
};

void TestToolRoom::toolStaysOpenWithItsTextWhenTheResultDoesNotFit_data()
{
    QTest::addColumn<Runner>("run");
    QTest::addColumn<Filler>("fill");        // types into the tool and confirms
    QTest::addColumn<Checker>("typedStays"); // after the refusal, the typing is there
    QTest::addColumn<QString>("cancel");

    QTest::newRow("scriptBuilder")
        << Runner([](Workspace &w) { runScripter(w, programDir() + u"data"_s); })
        << Filler([](QDialog &d) {
               auto *memo = control<QPlainTextEdit>(d, u"Memo1"_s);
               memo->setPlainText(u"alert('ahoj');"_s);
               memo->document()->setModified(false);
               trigger(d, u"KonecVlozit1"_s);
           })
        << Checker([](QDialog &d) { return control<QPlainTextEdit>(d, u"Memo1"_s)->toPlainText() == u"alert('ahoj');"_s; })
        << u"Konec1"_s;
    QTest::newRow("styleBuilder")
        << Runner([](Workspace &w) { RunStyleBuilder(w); })
        << Filler([](QDialog &d) {
               control<QLineEdit>(d, u"Edit1"_s)->setText(u"B.white"_s);
               press(d, u"OkButton"_s);
           })
        << Checker([](QDialog &d) { return control<QLineEdit>(d, u"Edit1"_s)->text() == u"B.white"_s; })
        << u"BackButton"_s;
    QTest::newRow("gradient")
        << Runner([](Workspace &w) { RunGradient(w); })
        << Filler([](QDialog &d) {
               press(d, u"Button1"_s);
               press(d, u"InsertButton"_s);
           })
        << Checker([](QDialog &) { return true; })
        << u"BackButton"_s;
    QTest::newRow("tableGrid")
        << Runner([](Workspace &w) { runTableGrid(w); })
        << Filler([](QDialog &d) { press(d, u"Button1"_s); })
        << Checker([](QDialog &) { return true; })
        << u"Button2"_s;
    // The channel becomes a page of its own: only a channel longer than a page is refused.
    QTest::newRow("channelWizard")
        << Runner([](Workspace &w) { runChannelWizard(w); })
        << Filler([](QDialog &d) {
               control<QPlainTextEdit>(d, u"Memo1"_s)->setPlainText(u"xxxxxxxxx\n"_s.repeated(100000));
               press(d, u"Button1"_s);
           })
        << Checker([](QDialog &d) { return control<QPlainTextEdit>(d, u"Memo1"_s)->toPlainText().size() == 1000000; })
        << u"Button2"_s;
}

void TestToolRoom::toolStaysOpenWithItsTextWhenTheResultDoesNotFit()
{
    QFETCH(Runner, run);
    QFETCH(Filler, fill);
    QFETCH(Checker, typedStays);
    QFETCH(QString, cancel);

    WorkspaceFixture fx;
    const QString page(MaxDocumentLength - 3, u'x');
    fx.setText(page, 0, 2);
    const int documents = int(fx.workspace().documents().size());
    ScriptedInteraction script;
    bool stayedOpen = false;
    bool kept = false;
    script.dialog([&](QDialog &d) {
        fill(d);
        stayedOpen = d.isVisible() && d.result() != QDialog::Accepted;
        kept = typedStays(d);
        if (QAction *a = d.findChild<QAction *>(cancel))
            a->trigger();
        else
            press(d, cancel);
    });
    run(fx.workspace());
    QCOMPARE(script.errors, QStringList{doesNotFitMessage()});
    QVERIFY(stayedOpen);
    QVERIFY(kept);
    QCOMPARE(fx.buffer().GetText(), page);
    QVERIFY(!fx.buffer().IsModified());
    QCOMPARE(fx.workspace().documents().size(), documents);
}

BRISKO_TEST_MAIN(TestToolRoom)
#include "tst_toolroom.moc"
