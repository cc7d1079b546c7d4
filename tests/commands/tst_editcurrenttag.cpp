#include "support/DialogControls.h"
#include "support/CommandHost.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "commands/EditCurrentTag.h"
#include "dialogs/ColorCombo.h"
#include "editor/HtmlDocument.h"
#include "markup/GuardedFile.h"

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QComboBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

QString comboText(QDialog &d, const QString &name)
{
    return control<QComboBox>(d, name)->currentText();
}

} // namespace

// F7 end to end: the tag at the caret, the filled dialog, the new start tag, undo, cancel.
class TestEditCurrentTag : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void fontDialogIsFilledAndLeftoversStay_data();
    void fontDialogIsFilledAndLeftoversStay();
    void cancelLeavesTextAndTagSelected();
    void handSelectedElementKeepsItsContent();
    void linkDialogAndAnchors();
    void metaTag();
    void prompts_data();
    void prompts();
    void promptCancelChangesNothing();
    void tagThatWouldPassTheLimitStays();
    void nothingHappens_data();
    void nothingHappens();
    void contextMenuItemEditsToo();

private:
    void pressF7() { EditCurrentTag(m_fx->workspace()); }

    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void TestEditCurrentTag::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    m_script = std::make_unique<ScriptedInteraction>();
}

void TestEditCurrentTag::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void TestEditCurrentTag::fontDialogIsFilledAndLeftoversStay_data()
{
    QTest::addColumn<int>("caret");
    const QString tag = u"<FONT CLASS=x COLOR=red SIZE=+2>"_s;
    QTest::newRow("afterLt") << 1;
    QTest::newRow("middle") << 15;
    QTest::newRow("beforeGt") << int(tag.size()) - 1;
}

void TestEditCurrentTag::fontDialogIsFilledAndLeftoversStay()
{
    QFETCH(int, caret);
    const QString before = u"ab\r\n"_s;
    m_fx->setText(before + u"<FONT CLASS=x COLOR=red SIZE=+2>text</FONT>"_s,
                  int(before.size()) + caret);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Písmo.."_s);
        QCOMPARE(comboText(d, u"ComboBox1"_s), QString());
        QCOMPARE(comboText(d, u"ComboBox2"_s), u"+"_s);
        QCOMPARE(comboText(d, u"ComboBox3"_s), u"2"_s);
        QVERIFY(control<QCheckBox>(d, u"CheckBox1"_s)->isChecked());
        QCOMPARE(control<ColorCombo>(d, u"Panel1"_s)->color(), QColor(Qt::red));
        control<QComboBox>(d, u"ComboBox3"_s)->setEditText(u"4"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    const QString newTag = u"<FONT  SIZE=\"+4\" COLOR=#FF0000 CLASS=x>"_s;
    QCOMPARE(m_fx->buffer().GetText(), before + newTag + u"text</FONT>"_s);
    QCOMPARE(m_fx->buffer().SelStart(), int(before.size() + newTag.size()));
    QCOMPARE(m_fx->buffer().SelLength(), 0);
    // One undo step brings the old tag back.
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), before + u"<FONT CLASS=x COLOR=red SIZE=+2>text</FONT>"_s);
}

void TestEditCurrentTag::cancelLeavesTextAndTagSelected()
{
    const QString text = u"x<FONT SIZE=3>y"_s;
    m_fx->setText(text, 5);
    m_script->dialog([](QDialog &d) { press(d, u"BackButton"_s); });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), text);
    QCOMPARE(m_fx->buffer().SelText(), u"<FONT SIZE=3>"_s);
    QVERIFY(!m_fx->buffer().IsModified());
}

void TestEditCurrentTag::handSelectedElementKeepsItsContent()
{
    m_fx->setText(u"<FONT SIZE=3>x</FONT>!"_s, 0, 21);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(comboText(d, u"ComboBox3"_s), u"3"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), u"<FONT  SIZE=\"3\">x</FONT>!"_s);
}

void TestEditCurrentTag::linkDialogAndAnchors()
{
    m_fx->setText(u"<A HREF=\"x.htm\" TARGET=_blank ID=k>odkaz</A>"_s, 3);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Vložit odkaz"_s);
        QCOMPARE(comboText(d, u"ComboBox1"_s), u"x.htm"_s);
        QCOMPARE(comboText(d, u"ComboBox2"_s), u"_blank"_s);
        control<QComboBox>(d, u"ComboBox1"_s)->setEditText(u"y.htm"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), u"<A HREF=\"y.htm\" TARGET=\"_blank\" ID=k>odkaz</A>"_s);

    // NAME inside a value does not make the link an anchor.
    m_fx->setText(u"<A HREF=\"names.htm\">"_s, 3);
    m_script->dialog([](QDialog &d) { press(d, u"InsertButton"_s); });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), u"<A HREF=\"names.htm\">"_s);
    QVERIFY(m_script->allAnswered());
}

void TestEditCurrentTag::metaTag()
{
    m_fx->setText(u"<HEAD><META NAME=\"author\" LANG=cs></HEAD>"_s, 10);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"META"_s);
        QCOMPARE(comboText(d, u"ComboBox1"_s), u"author"_s);
        // Ticked when editing, though the edited tag stays where it is.
        QVERIFY(control<QCheckBox>(d, u"CheckBox1"_s)->isChecked());
        control<QComboBox>(d, u"ComboBox2"_s)->setEditText(u"Já"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(),
             u"<HEAD><META  NAME=\"author\" CONTENT=\"Já\" LANG=cs></HEAD>"_s);
}

void TestEditCurrentTag::prompts_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("initial");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("result");

    QTest::newRow("paragraph") << u"<P ALIGN=center>"_s << u"text: Odstavec|zarovnání"_s
                               << u"center"_s << u"right"_s << u"<P ALIGN=\"right\">"_s;
    QTest::newRow("lineBreak") << u"<br clear=all class=c>"_s << u"text: Nový řádek|Mazání"_s
                               << u"all"_s << u"left"_s << u"<BR CLEAR=\"left\" class=c>"_s;
    QTest::newRow("option") << u"<OPTION>"_s << u"text: Option|Hodnota"_s << QString()
                            << u"1"_s << u"<OPTION VALUE=\"1\">"_s;
    // A ">" inside a quoted value does not end the tag.
    QTest::newRow("gtInsideQuotedValue") << u"<P TITLE=\"a>b\" ALIGN=left>"_s
                                         << u"text: Odstavec|zarovnání"_s << u"left"_s
                                         << u"right"_s << u"<P ALIGN=\"right\" TITLE=\"a>b\">"_s;
    // A value in single quotes is read whole; one typed with double quotes keeps the tag whole.
    QTest::newRow("optionQuotes") << u"<OPTION VALUE='a b' ID=o>"_s << u"text: Option|Hodnota"_s
                                  << u"a b"_s << u"řekl \"ano\" & šel"_s
                                  << u"<OPTION VALUE='řekl \"ano\" & šel' ID=o>"_s;
    // An empty answer adds no attribute the tag did not have; one it had stays, empty.
    QTest::newRow("paragraphEmpty") << u"<p class=c>"_s << u"text: Odstavec|zarovnání"_s
                                    << QString() << QString() << u"<P class=c>"_s;
    QTest::newRow("optionEmpty") << u"<OPTION SELECTED>"_s << u"text: Option|Hodnota"_s
                                 << QString() << QString() << u"<OPTION SELECTED>"_s;
    QTest::newRow("labelEmpty") << u"<LABEL TEXT=\"Jméno\">"_s << u"text: Label|Text"_s
                                << u"Jméno"_s << QString() << u"<LABEL TEXT=\"\">"_s;
}

void TestEditCurrentTag::prompts()
{
    QFETCH(QString, tag);
    QFETCH(QString, prompt);
    QFETCH(QString, initial);
    QFETCH(QString, input);
    QFETCH(QString, result);
    m_fx->setText(tag + u"x"_s, 2);
    m_script->enterText(input);
    pressF7();
    QCOMPARE(m_script->log, QStringList{prompt});
    QCOMPARE(m_script->lastInitialText, initial);
    QCOMPARE(m_fx->buffer().GetText(), result + u"x"_s);
}

void TestEditCurrentTag::promptCancelChangesNothing()
{
    m_fx->setText(u"<P ALIGN=center>"_s, 2);
    m_script->enterText(std::nullopt);
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), u"<P ALIGN=center>"_s);
    QCOMPARE(m_fx->buffer().SelText(), u"<P ALIGN=center>"_s);
}

void TestEditCurrentTag::tagThatWouldPassTheLimitStays()
{
    const QString page = u"<P ALIGN=left>"_s + QString(HtmlDocument::MaxLength - 16, u'x');
    m_fx->setText(page, 2);
    m_script->enterText(u"center"_s);
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), page);
    QCOMPARE(m_script->errors, QStringList{doesNotFitMessage()});
}

void TestEditCurrentTag::nothingHappens_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");

    QTest::newRow("caretAfterGt") << u"<FONT SIZE=3>x"_s << 13;
    QTest::newRow("caretBeforeLt") << u"x<FONT SIZE=3>"_s << 1;
    QTest::newRow("closingTag") << u"x</FONT>"_s << 3;
    QTest::newRow("anchor") << u"<A NAME=\"top\">"_s << 3;
    QTest::newRow("tagWithoutDialog") << u"<DIV ALIGN=left>"_s << 3;
    QTest::newRow("comment") << u"<!-- x -->"_s << 3;
    QTest::newRow("unclosedTag") << u"<FONT SIZE=3"_s << 3;
    QTest::newRow("oddQuotes") << u"<FONT FACE=\"a>b"_s << 3;
}

void TestEditCurrentTag::nothingHappens()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    m_fx->setText(text, caret);
    pressF7(); // the strict script fails the test on any dialog or message
    QCOMPARE(m_fx->buffer().GetText(), text);
    QVERIFY(m_script->log.isEmpty());
}

void TestEditCurrentTag::contextMenuItemEditsToo()
{
    m_fx->setText(u"<FONT SIZE=3>"_s, 3);
    m_script->dialog([](QDialog &d) { press(d, u"InsertButton"_s); });
    CommandHost host(m_fx->workspace());
    TForm2 window(*m_fx->doc(), host);
    window.editCurrentTagFromMenu();
    QCOMPARE(m_fx->buffer().GetText(), u"<FONT  SIZE=\"3\">"_s);
}

BRISKO_TEST_MAIN(TestEditCurrentTag)
#include "tst_editcurrenttag.moc"
