#include "support/DialogControls.h"
#include "support/TestMain.h"

#include "support/ScriptedInteraction.h"
#include "dialogs/FormDialogs.h"
#include "dialogs/FrameDialogs.h"
#include "dialogs/LinkDialogs.h"
#include "dialogs/RadioGroup.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The form-control and frame dialogs driven through their named controls and real buttons.
class TestFormFrameDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void titlesAndFocus();
    void inputDialogComposesEveryControl();
    void spinChangeTicksItsBoxAndClearedBoxLeavesItOut();
    void setFieldsTicksBoxesEvenForDefaultValues();
    void numbersAboveNinetyNine();
    void inputSourceButtons();
    void formActionButtons();
    void frameSetDialogAndItsSpacingBounds();
    void frameAddressPickerOffersHtmlAndTemplatesOnly();
    void generatorButtonsAndBack_data();
    void generatorButtonsAndBack();

private:
    DocumentContext context(std::optional<QString> fileName = u"/w/site/index.html"_s)
    {
        return {m_settings, std::move(fileName), {}};
    }

    TSettings m_settings;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void TestFormFrameDialogs::init()
{
    m_settings = TSettings{};
    m_script = std::make_unique<ScriptedInteraction>();
}

void TestFormFrameDialogs::cleanup()
{
    endScript(m_script);
}

void TestFormFrameDialogs::titlesAndFocus()
{
    TForm22 input(context());
    TForm23 form(context());
    TForm24 select;
    TForm25 area;
    TForm17 frameSet;
    TForm18 frame(context());
    TForm41 generator;
    QCOMPARE(input.windowTitle(), u"Element formuláře"_s);
    QCOMPARE(form.windowTitle(), u"Formulář"_s);
    QCOMPARE(select.windowTitle(), u"Select"_s);
    QCOMPARE(area.windowTitle(), u"TEXTAREA"_s);
    QCOMPARE(frameSet.windowTitle(), u"Soubor rámců"_s);
    QCOMPARE(frame.windowTitle(), u"Rámec"_s);
    QCOMPARE(generator.windowTitle(), u"Generátor rámců"_s);
    QCOMPARE(input.focusWidget(), input.ComboBox1);
    QCOMPARE(form.focusWidget(), form.Edit1);
    QCOMPARE(select.focusWidget(), select.Edit4);
    QCOMPARE(area.focusWidget(), area.Edit4);
    QCOMPARE(frameSet.focusWidget(), frameSet.ComboBox1);
    QCOMPARE(frame.focusWidget(), frame.ComboBox1);
    // The checked defaults: "Aktivní" on, the first radio buttons chosen.
    QVERIFY(input.CheckBox1->isChecked());
    QVERIFY(select.CheckBox1->isChecked());
    QCOMPARE(frame.RadioGroup1->itemIndex(), 0);
    QCOMPARE(frame.RadioGroup2->itemIndex(), 0);
}

void TestFormFrameDialogs::inputDialogComposesEveryControl()
{
    TForm22 d(context());
    // The eleven types of old, then those of today's forms.
    QCOMPARE(d.ComboBox1->count(), 23);
    control<QComboBox>(d, u"ComboBox1"_s)->setEditText(u"IMAGE"_s);
    control<QComboBox>(d, u"ComboBox2"_s)->setEditText(u"a.gif"_s);
    control<QLineEdit>(d, u"Edit1"_s)->setText(u"Obrázek"_s);
    control<QLineEdit>(d, u"Edit2"_s)->setText(u"v"_s);
    control<QLineEdit>(d, u"Edit3"_s)->setText(u"t"_s);
    control<QLineEdit>(d, u"Edit4"_s)->setText(u"n"_s);
    control<QComboBox>(d, u"Edit5"_s)->setEditText(u"left"_s);
    control<QSpinBox>(d, u"SpinEdit1"_s)->setValue(3);
    control<QSpinBox>(d, u"SpinEdit2"_s)->setValue(8);
    control<QSpinBox>(d, u"SpinEdit3"_s)->setValue(9);
    control<QCheckBox>(d, u"CheckBox1"_s)->setChecked(false);
    control<QCheckBox>(d, u"CheckBox4"_s)->setChecked(true);
    pressInsert(d);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QCOMPARE(d.OpeningMarkup,
             u"<INPUT  TYPE=\"IMAGE\" URL=\"a.gif\" ALT=\"Obrázek\" VALUE=\"v\" TITLE=\"t\" "
             u"NAME=\"n\" ALIGN=\"left\" TABINDEX=3 MAXLENGTH=8 SIZE=9 DISABLED READONLY>"_s);
    QCOMPARE(d.ClosingMarkup, QString());

    TForm22 untouched(context());
    pressInsert(untouched);
    QCOMPARE(untouched.OpeningMarkup, u"<INPUT >"_s);
}

void TestFormFrameDialogs::spinChangeTicksItsBoxAndClearedBoxLeavesItOut()
{
    TForm25 d;
    d.SpinEdit3->setValue(5);
    QVERIFY(d.CheckBox5->isChecked());
    d.SpinEdit1->setValue(40);
    d.SpinEdit2->setValue(2);
    d.CheckBox1->setChecked(false);
    pressInsert(d);
    QCOMPARE(d.OpeningMarkup, u"<TEXTAREA  ROWS=5 COLS=40>\r\n"_s);
}

void TestFormFrameDialogs::setFieldsTicksBoxesEvenForDefaultValues()
{
    TForm22 input(context());
    InputFields zero;
    zero.tabIndex = {true, 0};
    input.setFields(zero);
    QVERIFY(input.CheckBox2->isChecked());
    QVERIFY(!input.CheckBox3->isChecked());
    pressInsert(input);
    QCOMPARE(input.OpeningMarkup, u"<INPUT  TABINDEX=0>"_s);

    TForm17 frameSet;
    frameSet.setFields({{}, {}, {true, 0}, true, FrameScrolling::Auto});
    QVERIFY(frameSet.CheckBox1->isChecked());
    // Back to the defaults clears the box again, though the number was set.
    frameSet.SpinEdit1->setValue(7);
    frameSet.setFields({});
    QVERIFY(!frameSet.CheckBox1->isChecked());
}

void TestFormFrameDialogs::numbersAboveNinetyNine()
{
    TForm24 select;
    select.setFields({u"s"_s, {}, {true, 150}, {true, 100000}, true, false});
    QCOMPARE(select.SpinEdit1->value(), 150);
    QCOMPARE(select.SpinEdit3->value(), 100000);
    select.SpinEdit1->setValue(-1);
    pressInsert(select);
    QCOMPARE(select.OpeningMarkup, u"<SELECT  NAME=\"s\" TABINDEX=-1 SIZE=100000>\r\n"_s);

    TForm18 frame(context());
    frame.SpinEdit2->setValue(640);
    QCOMPARE(frame.SpinEdit2->value(), 640);
}

void TestFormFrameDialogs::inputSourceButtons()
{
    m_settings.RelPa = true;
    TForm22 d(context());
    m_script->openFile(u"/w/site/img/b.htm"_s);
    d.SpeedButton1->click();
    QCOMPARE(d.ComboBox2->currentText(),
             DocumentRelativePath(u"/w/site/img/b.htm"_s, u"/w/site/index.html"_s,
                                  m_settings.pathOptions()));
    QCOMPARE(m_script->log.value(0), u"open: "_s + DocumentFilter);
    QCOMPARE(d.SpeedButton1->toolTip(), u"Otevře soubor z disku"_s);
    QCOMPARE(d.SpeedButton2->toolTip(), u"Otevře soubor z kteréhokoliv místa na INTERNETU"_s);

    m_script->dialog([](QDialog &composer) {
        QCOMPARE(composer.windowTitle(), u"Odkaz"_s);
        control<QLineEdit>(composer, u"Edit1"_s)->setText(u"www.a.cz"_s);
        pressInsert(composer);
    });
    d.SpeedButton2->click();
    QCOMPARE(d.ComboBox2->currentText(), u"HTTP://www.a.cz"_s);

    // Without a document the file button does nothing at all.
    TForm22 noDocument(context(std::nullopt));
    noDocument.SpeedButton1->click();
    QCOMPARE(m_script->log.size(), 2);
}

void TestFormFrameDialogs::formActionButtons()
{
    TForm23 d(context());
    m_script->dialog([](QDialog &composer) {
        control<QLineEdit>(composer, u"Edit1"_s)->setText(u"srv"_s);
        control<QLineEdit>(composer, u"Edit2"_s)->setText(u"cgi-bin/f"_s);
        pressInsert(composer);
    });
    d.SpeedButton2->click();
    d.ComboBox1->setEditText(u"POST"_s);
    d.ComboBox3->setEditText(u"_top"_s);
    pressInsert(d);
    QCOMPARE(d.OpeningMarkup,
             u"<FORM  METHOD=\"POST\" ACTION=\"HTTP://srv/cgi-bin/f\" TARGET=\"_top\">\r\n"_s);
    QCOMPARE(d.ClosingMarkup, u"\r\n</FORM>"_s);
}

void TestFormFrameDialogs::frameSetDialogAndItsSpacingBounds()
{
    TForm17 d;
    pressInsert(d);
    QCOMPARE(d.OpeningMarkup, u"<FRAMESET  FRAMEBORDER=YES SCROLLING=AUTO>\r\n"_s);
    QCOMPARE(d.ClosingMarkup, u"\r\n</FRAMESET>"_s);

    TForm17 bounded;
    bounded.SpinEdit1->setValue(5000);
    QCOMPARE(bounded.SpinEdit1->value(), MaxFrameSpacing);
    bounded.SpinEdit1->setValue(-3);
    QCOMPARE(bounded.SpinEdit1->value(), 0);
    bounded.ComboBox1->setEditText(u"30%,*"_s);
    bounded.ComboBox2->setCurrentIndex(5);
    bounded.RadioGroup1->button(1)->click();
    bounded.RadioGroup2->button(2)->click();
    pressInsert(bounded);
    QCOMPARE(bounded.OpeningMarkup,
             u"<FRAMESET  COLS=\"30%,*\" ROWS=\"*\" FRAMESPACING=0 FRAMEBORDER=NO "
             u"SCROLLING=NO>\r\n"_s);
}

void TestFormFrameDialogs::frameAddressPickerOffersHtmlAndTemplatesOnly()
{
    TForm18 frame(context());
    m_script->openFile(u"/w/site/b.htm"_s);
    frame.SpeedButton1->click();
    QCOMPARE(m_script->log.value(0),
             u"open: Html dokumenty (*.html;*.htm;*.htx;*.htt)|*.htm;*.htx;*.htt|"
             u"Šablony (*.sab)|*.sab"_s);
    QVERIFY(!frame.ComboBox1->currentText().isEmpty());
}

void TestFormFrameDialogs::generatorButtonsAndBack_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 1; layout <= FrameLayoutCount; ++layout)
        QTest::addRow("layout%d", layout) << layout;
}

void TestFormFrameDialogs::generatorButtonsAndBack()
{
    QFETCH(int, layout);
    TForm41 generator;
    QToolButton *button = control<QToolButton>(generator, u"SpeedButton%1"_s.arg(layout));
    QVERIFY(button->text().isEmpty() || button->toolButtonStyle() == Qt::ToolButtonIconOnly);
    QVERIFY(!button->icon().isNull());
    button->click();
    QCOMPARE(generator.result(), int(QDialog::Accepted));
    QCOMPARE(generator.OpeningMarkup, frameLayoutPage(layout));
    QCOMPARE(generator.ClosingMarkup, QString());

    TForm41 cancelled;
    control<QPushButton>(cancelled, u"BackButton"_s)->click();
    QCOMPARE(cancelled.result(), int(QDialog::Rejected));
    QVERIFY(cancelled.OpeningMarkup.isEmpty());
}

BRISKO_TEST_MAIN(TestFormFrameDialogs)
#include "tst_formframedialogs.moc"
