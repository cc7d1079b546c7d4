#include "support/DialogControls.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include "dialogs/RadioGroup.h"
#include "markup/FrameMarkup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

// "Name=value" pairs: the text of an edit or combo box, the number of a spin box, "1" or
// "0" for a check box, the chosen item of a radio group.
void setControls(QDialog &d, const QStringList &settings)
{
    for (const QString &setting : settings) {
        const QString name = setting.section(u'=', 0, 0);
        const QString value = setting.section(u'=', 1);
        QObject *widget = d.findChild<QObject *>(name);
        QVERIFY2(widget, qPrintable(name));
        if (auto *combo = qobject_cast<QComboBox *>(widget))
            combo->setEditText(value);
        else if (auto *edit = qobject_cast<QLineEdit *>(widget))
            edit->setText(value);
        else if (auto *spin = qobject_cast<QSpinBox *>(widget))
            spin->setValue(value.toInt());
        else if (auto *box = qobject_cast<QCheckBox *>(widget))
            box->setChecked(value == u"1"_s);
        else if (auto *group = qobject_cast<RadioGroup *>(widget))
            group->setItemIndex(value.toInt());
    }
}

} // namespace

// The form-control and frame commands from palette or menu through their dialogs to the
// document, and edit-current-tag on the tags they write.
class TestFormFrameCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void paletteButtonsInsertTheComposedTag_data();
    void paletteButtonsInsertTheComposedTag();
    void formShortcutOpensFormDialog();
    void cancelledDialogInsertsNothing();
    void generatorWritesPageAtCaret_data();
    void generatorWritesPageAtCaret();
    void generatorCancelledInsertsNothing();
    void generatorRespectsInsideTagCheck();
    void inlineFrameEditStaysInline();
    void editedTagsKeepUnknownAttributes_data();
    void editedTagsKeepUnknownAttributes();
    void numberThatIsNoNumberStopsTheEdit();

private:
    void trigger(CommandId id) { QVERIFY(m_fx->run(id)); }
    void pressF7() { trigger(Cmd::EditCurrentTag); }

    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void TestFormFrameCommands::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    m_script = std::make_unique<ScriptedInteraction>();
}

void TestFormFrameCommands::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void TestFormFrameCommands::paletteButtonsInsertTheComposedTag_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QStringList>("settings");
    QTest::addColumn<QString>("expected");

    const QString forms = u"Formuláře"_s;
    const QString frames = u"Rámce"_s;
    QTest::newRow("INPUT") << forms << u"INPUT"_s << u"Element formuláře"_s
                           << QStringList{u"ComboBox1=TEXT"_s, u"Edit4=q"_s,
                                          u"SpinEdit3=120"_s, u"CheckBox1=0"_s}
                           << u"<INPUT  TYPE=\"TEXT\" NAME=\"q\" SIZE=120 DISABLED>abc"_s;
    QTest::newRow("FORM") << forms << u"FORM"_s << u"Formulář"_s
                          << QStringList{u"Edit1=f"_s, u"ComboBox1=POST"_s,
                                         u"ComboBox2=/cgi"_s}
                          << u"<FORM  NAME=\"f\" METHOD=\"POST\" ACTION=\"/cgi\">\r\nabc\r\n"
                             u"</FORM>"_s;
    QTest::newRow("SELECT") << forms << u"SELECT"_s << u"Select"_s
                            << QStringList{u"Edit4=s"_s, u"ComboBox1=left"_s,
                                           u"SpinEdit3=5"_s, u"CheckBox4=1"_s}
                            << u"<SELECT  ALIGN=\"left\" NAME=\"s\" SIZE=5 MULTIPLE>\r\nabc\r\n"
                               u"</SELECT>"_s;
    QTest::newRow("TEXTAREA") << forms << u"TEXTAREA"_s << u"TEXTAREA"_s
                              << QStringList{u"Edit4=t"_s, u"SpinEdit3=5"_s, u"SpinEdit1=40"_s,
                                             u"CheckBox4=1"_s}
                              << u"<TEXTAREA  NAME=\"t\" ROWS=5 COLS=40 READONLY>\r\nabc\r\n"
                                 u"</TEXTAREA>"_s;
    QTest::newRow("FRAMESET") << frames << u"FRAMESET"_s << u"Soubor rámců"_s
                              << QStringList{u"ComboBox1=180,*"_s, u"SpinEdit1=200"_s,
                                             u"RadioGroup2=1"_s}
                              << u"<FRAMESET  COLS=\"180,*\" FRAMESPACING=200 FRAMEBORDER=YES "
                                 u"SCROLLING=YES>\r\nabc\r\n</FRAMESET>"_s;
    // A margin of 0 still counts when its box is ticked.
    QTest::newRow("FRAME") << frames << u"FRAME"_s << u"Rámec"_s
                           << QStringList{u"ComboBox1=menu.htm"_s, u"Edit1=menu"_s,
                                          u"SpinEdit1=0"_s, u"CheckBox2=1"_s,
                                          u"RadioGroup1=1"_s, u"RadioGroup2=2"_s}
                           << u"  <FRAME  SRC=\"menu.htm\" NAME=\"menu\" MARGINHEIGHT=0 "
                              u"FRAMEBORDER=NO SCROLLING=NO>\r\nabc"_s;
    QTest::newRow("IFRAME") << frames << u"IFRAME"_s << u"Vložený rámec"_s
                            << QStringList{u"ComboBox1=a.htm"_s, u"ComboBox2=left"_s,
                                           u"SpinEdit2=300"_s}
                            << u"  <IFRAME  SRC=\"a.htm\" ALIGN=\"left\" MARGINWIDTH=300 "
                               u"FRAMEBORDER=YES SCROLLING=AUTO>\r\nabc</IFRAME>"_s;
}

void TestFormFrameCommands::paletteButtonsInsertTheComposedTag()
{
    QFETCH(QString, tab);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QFETCH(QStringList, settings);
    QFETCH(QString, expected);

    m_fx->setText(u"abc"_s, 0, 3);
    m_script->dialog([&](QDialog &d) {
        QCOMPARE(d.windowTitle(), title);
        setControls(d, settings);
        press(d, u"InsertButton"_s);
    });
    QVERIFY(m_fx->pressPaletteButton(tab, caption));

    HtmlDocument &b = m_fx->buffer();
    QCOMPARE(b.GetText(), expected);
    const int afterSelection = int(expected.indexOf(u"abc"_s)) + 3;
    QCOMPARE(b.SelStart(), afterSelection);
    QCOMPARE(b.SelLength(), 0);
    const ColorValue tagColor = m_fx->settings().TAG;
    const int lt = int(expected.indexOf(u'<'));
    QCOMPARE(b.colorAt(lt), tagColor);
    QVERIFY(b.colorAt(afterSelection - 1) != tagColor);

}

void TestFormFrameCommands::formShortcutOpensFormDialog()
{
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Formulář"_s);
        press(d, u"InsertButton"_s);
    });
    trigger(Cmd::HidForm);
    QCOMPARE(m_fx->buffer().GetText(), u"<FORM >\r\n\r\n</FORM>"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 9);
}

void TestFormFrameCommands::cancelledDialogInsertsNothing()
{
    m_fx->setText(u"abc"_s, 1, 1);
    m_script->dialog([](QDialog &d) {
        control<QLineEdit>(d, u"Edit4"_s)->setText(u"x"_s);
        press(d, u"BackButton"_s);
    });
    QVERIFY(m_fx->pressPaletteButton(u"Formuláře"_s, u"SELECT"_s));
    QCOMPARE(m_fx->buffer().GetText(), u"abc"_s);
    QVERIFY(!m_fx->buffer().IsModified());
}

void TestFormFrameCommands::generatorWritesPageAtCaret_data()
{
    QTest::addColumn<int>("layout");
    for (int layout = 1; layout <= FrameLayoutCount; ++layout)
        QTest::addRow("layout%d", layout) << layout;
}

void TestFormFrameCommands::generatorWritesPageAtCaret()
{
    QFETCH(int, layout);
    m_fx->setText(u"abc"_s, 0, 3);
    m_script->dialog([layout](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Generátor rámců"_s);
        control<QToolButton>(d, u"SpeedButton%1"_s.arg(layout))->click();
    });
    trigger(Cmd::ToolFrames);
    const QString page = frameLayoutPage(layout);
    HtmlDocument &b = m_fx->buffer();
    // The page goes in front of the selected text, which stays.
    QCOMPARE(b.GetText(), page + u"abc"_s);
    QCOMPARE(b.SelStart(), int(page.size()) + 3);
    QCOMPARE(b.colorAt(0), m_fx->settings().TAG);
}

void TestFormFrameCommands::generatorCancelledInsertsNothing()
{
    m_fx->setText(u"abc"_s, 3);
    m_script->dialog([](QDialog &d) { press(d, u"BackButton"_s); });
    trigger(Cmd::ToolFrames);
    QCOMPARE(m_fx->buffer().GetText(), u"abc"_s);
    QVERIFY(!m_fx->buffer().IsModified());
}

void TestFormFrameCommands::generatorRespectsInsideTagCheck()
{
    m_fx->setText(u"<B>"_s, 1);
    trigger(Cmd::ToolFrames);
    QCOMPARE(m_script->errors, QStringList{u"Nelze vkladat tag uvnitř tagu!"_s});
    QCOMPARE(m_fx->buffer().GetText(), u"<B>"_s);
}

void TestFormFrameCommands::inlineFrameEditStaysInline()
{
    m_fx->setText(u"<P><IFRAME SRC=\"a.htm\"></P>"_s, 6);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Vložený rámec"_s);
        QCOMPARE(control<QComboBox>(d, u"ComboBox1"_s)->currentText(),
                 u"a.htm"_s);
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"okno"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(),
             u"<P><IFRAME  SRC=\"a.htm\" NAME=\"okno\" FRAMEBORDER=YES SCROLLING=AUTO></P>"_s);
}

void TestFormFrameCommands::editedTagsKeepUnknownAttributes_data()
{
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("edited");

    QTest::newRow("textareaWrap") << u"<TEXTAREA NAME=t WRAP=soft>"_s
                                  << u"<TEXTAREA  NAME=\"t\" WRAP=soft>"_s;
    // No line break is carried into the text behind the edited start tag.
    QTest::newRow("formName") << u"<FORM NAME=f>"_s << u"<FORM  NAME=\"f\">"_s;
    QTest::newRow("inputChecked") << u"<INPUT TYPE=checkbox CHECKED DISABLED>"_s
                                  << u"<INPUT  TYPE=\"checkbox\" DISABLED CHECKED>"_s;
    QTest::newRow("frameNoResize")
        << u"<FRAME SRC=a.htm NORESIZE SCROLLING=no>"_s
        << u"<FRAME  SRC=\"a.htm\" FRAMEBORDER=YES SCROLLING=NO NORESIZE>"_s;
    QTest::newRow("frameSetLowerCaseYes")
        << u"<FRAMESET ROWS=\"*,*\" SCROLLING=yes FRAMEBORDER=0>"_s
        << u"<FRAMESET  ROWS=\"*,*\" FRAMEBORDER=NO SCROLLING=YES>"_s;
}

void TestFormFrameCommands::editedTagsKeepUnknownAttributes()
{
    QFETCH(QString, tag);
    QFETCH(QString, edited);
    m_fx->setText(tag + u"x"_s, 2);
    m_script->dialog([](QDialog &d) { press(d, u"InsertButton"_s); });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), edited + u"x"_s);
    QCOMPARE(m_fx->buffer().SelStart(), int(edited.size()));
}

void TestFormFrameCommands::numberThatIsNoNumberStopsTheEdit()
{
    const QString text = u"<SELECT SIZE=5x>"_s;
    m_fx->setText(text, 3);
    pressF7();
    QCOMPARE(m_script->errors, QStringList{u"Hodnota '5x' není celé číslo."_s});
    QCOMPARE(m_fx->buffer().GetText(), text);
}

BRISKO_TEST_MAIN(TestFormFrameCommands)
#include "tst_formframecommands.moc"
