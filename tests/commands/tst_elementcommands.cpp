#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/PageWizard.h"
#include "markup/TextFile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>

using namespace Qt::StringLiterals;

namespace {

template<class T>
T &as(QDialog &dialog)
{
    T *typed = qobject_cast<T *>(&dialog);
    if (!typed)
        qFatal("unexpected dialog %s", qPrintable(dialog.windowTitle()));
    return *typed;
}

constexpr ColorValue Tag = 0x0000FF; // the default tag colour, red

} // namespace

// The image dialog and the new-page wizard from their commands and from F7, on the
// workspace.
class TestElementCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void imageCommandInsertsBeforeSelection();
    void imageEditReadsWidthAndBorder();
    void imageEditKeepsUnknownAttributes();
    void imageEditRefusesPercentWidth();
    void imageEditReadsSingleQuotesAndQuotesTheAlt();
    void newDocumentWizardWritesWholePage();
    void cancelledWizardLeavesNewDocumentEmpty();
    void wizardButtonWritesAtCaret();
    void bodyEditShowsOnlyTheBody();

private:
    void trigger(CommandId id) { QVERIFY(m_fx->run(id)); }

    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_ui;
};

void TestElementCommands::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    m_ui = std::make_unique<ScriptedInteraction>();
}

void TestElementCommands::cleanup()
{
    const bool answered = m_ui->allAnswered();
    m_ui.reset();
    m_fx.reset();
    QVERIFY2(answered, "a scripted answer was left over");
}

void TestElementCommands::imageCommandInsertsBeforeSelection()
{
    m_fx->setText(u"x abc"_s, 2, 3);
    m_ui->dialog([](QDialog &d) {
        auto &form = as<TImageForm>(d);
        QCOMPARE(d.windowTitle(), u"Vložit obrázek"_s);
        form.Edit1->setText(u"a.gif"_s);
        form.insertButton()->click();
    });
    trigger(Cmd::InsTagImg);
    QCOMPARE(m_fx->buffer().GetText(), u"x <IMG  SRC=\"a.gif\">abc"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 23);
    QCOMPARE(m_fx->buffer().colorAt(2), Tag);
}

void TestElementCommands::imageEditReadsWidthAndBorder()
{
    m_fx->setText(u"<IMG WIDTH=800 BORDER=0>"_s, 3);
    m_ui->dialog([](QDialog &d) {
        auto &form = as<TImageForm>(d);
        QCOMPARE(form.SpinEdit3->value(), 800);
        QVERIFY(form.CheckBox5->isChecked());
        QCOMPARE(form.SpinEdit5->value(), 0);
        QVERIFY(form.CheckBox4->isChecked());
        QVERIFY(!form.CheckBox2->isChecked());
        form.insertButton()->click();
    });
    trigger(Cmd::EditCurrentTag);
    QCOMPARE(m_fx->buffer().GetText(), u"<IMG  WIDTH=800 BORDER=0>"_s);
}

void TestElementCommands::imageEditKeepsUnknownAttributes()
{
    m_fx->setText(u"<IMG ISMAP SRC=\"obr/a.gif\" CLASS=x>"_s, 5);
    m_ui->dialog([](QDialog &d) {
        auto &form = as<TImageForm>(d);
        QVERIFY(form.CheckBox1->isChecked());
        QCOMPARE(form.Edit1->text(), u"obr/a.gif"_s);
        // A source set from the tag is neither measured nor previewed.
        QVERIFY(form.previewedAddress().isEmpty());
        QVERIFY(!form.CheckBox5->isChecked());
        form.Edit2->setText(u"Obrázek"_s);
        form.insertButton()->click();
    });
    trigger(Cmd::EditCurrentTag);
    QCOMPARE(m_fx->buffer().GetText(), u"<IMG  SRC=\"obr/a.gif\" ALT=\"Obrázek\" ISMAP  CLASS=x>"_s);
}

void TestElementCommands::imageEditReadsSingleQuotesAndQuotesTheAlt()
{
    m_fx->setText(u"<img src='my pic.png' alt='a \"b\"' class=x>"_s, 5);
    m_ui->dialog([](QDialog &d) {
        auto &form = as<TImageForm>(d);
        QCOMPARE(form.Edit1->text(), u"my pic.png"_s);
        QCOMPARE(form.Edit2->text(), u"a \"b\""_s);
        form.Edit2->setText(u"a \"b\" & č"_s);
        form.insertButton()->click();
    });
    trigger(Cmd::EditCurrentTag);
    QCOMPARE(m_fx->buffer().GetText(), u"<IMG  SRC=\"my pic.png\" ALT='a \"b\" & č' class=x>"_s);
}

void TestElementCommands::imageEditRefusesPercentWidth()
{
    const QString text = u"<IMG SRC=\"a.gif\" WIDTH=50%>"_s;
    m_fx->setText(text, 3);
    trigger(Cmd::EditCurrentTag);
    QCOMPARE(m_ui->errors, QStringList{u"Hodnota '50%' není celé číslo."_s});
    QCOMPARE(m_fx->buffer().GetText(), text);
}

void TestElementCommands::newDocumentWizardWritesWholePage()
{
    m_ui->dialog([](QDialog &d) {
        auto &wizard = as<TForm33>(d);
        QCOMPARE(d.windowTitle(), u"Nová stránka"_s);
        QCOMPARE(wizard.insertButton()->text(), u"Ok"_s);
        QCOMPARE(wizard.PageControl1->currentIndex(), 0);
        QCOMPARE(wizard.Edit1->text(), u"Bez titulku"_s);
        wizard.ComboBox1->setCurrentIndex(2);
        wizard.Edit1->setText(u"Úvod"_s);
        wizard.CheckBox1->setChecked(true);
        wizard.ColorCombo2->setColor(QColor(0, 0, 0x80));
        wizard.CheckBox2->setChecked(true);
        wizard.CheckBox7->setChecked(true);
        wizard.ComboBox2->setEditText(u"bg.gif"_s);
        wizard.CheckBox6->setChecked(true);
        wizard.insertButton()->click();
    });
    trigger(Cmd::FileNew);
    QCOMPARE(m_fx->workspace().documents().size(), 2);
    const TextFileResult golden = readTextFile(testDataPath(u"newpage/expected.html"_s));
    QVERIFY(golden.ok);
    const QString text = m_fx->buffer().GetText();
    QCOMPARE(text, golden.text);
    // The caret waits on the empty line in the middle of the body.
    QCOMPARE(m_fx->buffer().SelStart(), int(text.indexOf(u"</BODY>"_s)) - 4);
    QCOMPARE(m_fx->buffer().colorAt(int(text.indexOf(u"Úvod"_s))), m_fx->settings().TEXT);
    QCOMPARE(m_fx->buffer().colorAt(int(text.indexOf(u"<BODY"_s))), Tag);
}

void TestElementCommands::cancelledWizardLeavesNewDocumentEmpty()
{
    m_ui->dialog([](QDialog &d) { as<TForm33>(d).backButton()->click(); });
    trigger(Cmd::FileNew);
    QCOMPARE(m_fx->workspace().documents().size(), 2);
    QCOMPARE(m_fx->buffer().GetText(), QString());
}

void TestElementCommands::wizardButtonWritesAtCaret()
{
    m_fx->setText(u"abc"_s, 3);
    m_ui->dialog([](QDialog &d) {
        as<TForm33>(d).Edit1->clear();
        as<TForm33>(d).insertButton()->click();
    });
    m_fx->insert(Insertion::NewPageWizard); // the toolbar's wizard button
    const QString text = m_fx->buffer().GetText();
    QVERIFY(text.startsWith(u"abc<HTML>\r\n<HEAD>\r\n"_s));
    QVERIFY(text.contains(u"    <TITLE></TITLE>\r\n"_s));
    QVERIFY(text.endsWith(u"<BODY >\r\n\r\n\r\n\r\n</BODY>\r\n</HTML>"_s));
}

void TestElementCommands::bodyEditShowsOnlyTheBody()
{
    m_fx->setText(u"<BODY ALINK=red TOPMARGIN=4 onload=\"x()\">"_s, 2);
    m_ui->dialog([](QDialog &d) {
        auto &wizard = as<TForm33>(d);
        QCOMPARE(d.windowTitle(), u"BODY"_s);
        QCOMPARE(wizard.PageControl1->count(), 1);
        QCOMPARE(wizard.PageControl1->tabText(0), u"Tělo dokumentu"_s);
        QVERIFY(wizard.CheckBox4->isChecked());
        QCOMPARE(wizard.ColorCombo4->color(), QColor(Qt::red));
        QVERIFY(!wizard.CheckBox3->isChecked());
        QCOMPARE(wizard.SpinEdit1->value(), 4);
        wizard.CheckBox6->setChecked(true);
        wizard.insertButton()->click();
    });
    trigger(Cmd::EditCurrentTag);
    QCOMPARE(m_fx->buffer().GetText(),
             u"<BODY  ALINK=\"#FF0000\" TOPMARGIN=4 BGPROPERTIES=FIXED onload=\"x()\">"_s);
}

BRISKO_TEST_MAIN(TestElementCommands)
#include "tst_elementcommands.moc"
