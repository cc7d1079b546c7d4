#include "support/DialogControls.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "dialogs/ColorCombo.h"
#include "dialogs/MediaDialogs.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

const QString Document = u"/w/site/index.html"_s;

} // namespace

// The media and object dialogs driven through their named controls and real buttons.
class TestMediaDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void hrPickerPressTicksColourBox();
    void hrInsertsComposedLine();
    void autoBoxesFollowTheirNumbers();
    void embedMemoAndBoxesWithoutAutoTick();
    void addressButtons_data();
    void addressButtons();
    void addressButtonsIdleWithoutDocument();
    void scriptLists();
    void activeXList();
    void activeXWithoutFile();
    void activeXInsertWithoutChoiceGivesNothing();

private:
    TSettings m_settings;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void TestMediaDialogs::init()
{
    m_settings = TSettings{};
    m_script = std::make_unique<ScriptedInteraction>();
}

void TestMediaDialogs::cleanup()
{
    endScript(m_script);
}

void TestMediaDialogs::hrPickerPressTicksColourBox()
{
    TForm14 hr;
    QVERIFY(!hr.CheckBox3->isChecked());
    QTest::mousePress(hr.ColorCombo1, Qt::LeftButton);
    QVERIFY(hr.CheckBox3->isChecked());
    hr.ColorCombo1->setDown(false);
}

void TestMediaDialogs::hrInsertsComposedLine()
{
    TForm14 hr;
    QCOMPARE(hr.windowTitle(), u"Horizontální linka.."_s);
    hr.CheckBox1->setChecked(false);
    hr.CheckBox3->setChecked(true);
    hr.ColorCombo1->setColor(Qt::red);
    pressInsert(hr);
    QCOMPARE(hr.result(), int(QDialog::Accepted));
    QCOMPARE(hr.OpeningMarkup, u"<HR  COLOR=\"#FF0000\" NOSHADE>"_s);
    QCOMPARE(hr.ClosingMarkup, QString());
}

void TestMediaDialogs::autoBoxesFollowTheirNumbers()
{
    TWRKForm1 marquee;
    marquee.SpinEdit1->setValue(200);
    QVERIFY(marquee.CheckBox2->isChecked());
    QVERIFY(!marquee.CheckBox3->isChecked());
    QCOMPARE(marquee.fields().scrollDelay, (Toggled<int>{true, 200}));
    // Clearing the box afterwards leaves the attribute out.
    marquee.CheckBox2->setChecked(false);
    pressInsert(marquee);
    QCOMPARE(marquee.OpeningMarkup, u"<MARQUEE >"_s);

    TForm28 applet({m_settings, Document, {}});
    applet.SpinEdit3->setValue(120);
    QVERIFY(applet.CheckBox5->isChecked());
    QVERIFY(!applet.CheckBox2->isChecked());
}

void TestMediaDialogs::embedMemoAndBoxesWithoutAutoTick()
{
    TForm16 embed({m_settings, Document, {}});
    QCOMPARE(embed.windowTitle(), u"Vložený objekt"_s);
    embed.SpinEdit1->setValue(240);
    QVERIFY(!embed.CheckBox1->isChecked());
    embed.CheckBox2->setChecked(true);
    embed.SpinEdit2->setValue(320);
    embed.ComboBox1->setEditText(u"a.swf"_s);
    embed.Memo1->setPlainText(u"autostart=true\nloop=1\n"_s);
    pressInsert(embed);
    QCOMPARE(embed.OpeningMarkup, u"<EMBED SRC=\"a.swf\" WIDTH=320 autostart=true loop=1>"_s);
}

void TestMediaDialogs::addressButtons_data()
{
    QTest::addColumn<QString>("which");
    QTest::addColumn<QString>("filter");
    QTest::newRow("sound") << u"TForm15"_s << SoundFilter;
    QTest::newRow("embed") << u"TForm16"_s << AllFilesFilter;
    QTest::newRow("applet") << u"TForm28"_s << AppletFilter;
}

// The first button picks a file relative to the document with the dialog's filter, the
// second composes an address.
void TestMediaDialogs::addressButtons()
{
    QFETCH(QString, which);
    QFETCH(QString, filter);
    const DocumentContext context{m_settings, Document, {}};
    std::unique_ptr<ElementDialog> dialog;
    if (which == u"TForm15"_s)
        dialog = std::make_unique<TForm15>(context);
    else if (which == u"TForm16"_s)
        dialog = std::make_unique<TForm16>(context);
    else
        dialog = std::make_unique<TForm28>(context);
    auto *field = control<QComboBox>(*dialog, u"ComboBox1"_s);

    m_script->openFile(u"/w/site/media/a.mid"_s);
    control<QToolButton>(*dialog, u"SpeedButton1"_s)->click();
    QCOMPARE(m_script->log.value(0), u"open: "_s + filter);
    QCOMPARE(field->currentText(), u"media/a.mid"_s);

    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Odkaz"_s);
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"www.a.cz"_s);
        control<QLineEdit>(d, u"Edit2"_s)->setText(u"b.mid"_s);
        pressInsert(d);
    });
    control<QToolButton>(*dialog, u"SpeedButton2"_s)->click();
    QCOMPARE(field->currentText(), u"HTTP://www.a.cz/b.mid"_s);
}

void TestMediaDialogs::addressButtonsIdleWithoutDocument()
{
    TForm15 sound({m_settings, std::nullopt, {}});
    sound.SpeedButton1->click();
    QVERIFY(m_script->log.isEmpty());
    QCOMPARE(sound.ComboBox1->currentText(), QString());
}

void TestMediaDialogs::scriptLists()
{
    TForm26 script;
    QCOMPARE(script.windowTitle(), u"SCRIPT"_s);
    QCOMPARE(script.ComboBox1->itemText(4), u"VBS "_s);
    QCOMPARE(script.ComboBox2->count(), 39);
    QCOMPARE(script.ComboBox2->itemText(18), u"onchange"_s);
    QCOMPARE(script.ComboBox2->itemText(38), u"onunload "_s);
}

void TestMediaDialogs::activeXList()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"activex.dat"_s);
    QCOMPARE(writeTextFile(path, u"Flash,clsid:D27\r\nclsid:BEZ-CARKY\r\n"_s), QString());
    TForm27 dialog(path);
    QCOMPARE(dialog.windowTitle(), u"Active-X"_s);
    QCOMPARE(dialog.ListBox1->count(), 2);
    QCOMPARE(dialog.ListBox1->item(0)->text(), u"Flash"_s);
    QCOMPARE(dialog.ListBox1->item(1)->text(), QString());
    QCOMPARE(dialog.SpinEdit1->value(), 50);
    QCOMPARE(dialog.SpinEdit2->value(), 50);

    dialog.ListBox1->setCurrentRow(1);
    dialog.SpinEdit1->setValue(480);
    pressInsert(dialog);
    QCOMPARE(dialog.OpeningMarkup,
             u"<OBJECT ID=\"\" CLASSID=\"clsid:BEZ-CARKY\" HEIGHT=480 WIDTH=50>\r\n"_s);
    QCOMPARE(dialog.ClosingMarkup, u"\r\n</OBJECT>"_s);
}

void TestMediaDialogs::activeXWithoutFile()
{
    QTemporaryDir dir;
    TForm27 dialog(dir.filePath(u"activex.dat"_s));
    QCOMPARE(m_script->errors,
             QStringList{u"Neexistuje soubor ActiveX.Dat!,nelze vkladat Active-x Objekty!"_s});
    QCOMPARE(dialog.ListBox1->count(), 0);
}

void TestMediaDialogs::activeXInsertWithoutChoiceGivesNothing()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(u"activex.dat"_s);
    QCOMPARE(writeTextFile(path, u"Flash,clsid:D27\r\n"_s), QString());
    TForm27 dialog(path);
    pressInsert(dialog);
    QCOMPARE(dialog.OpeningMarkup, QString());
    QCOMPARE(dialog.ClosingMarkup, QString());
}

BRISKO_TEST_MAIN(TestMediaDialogs)
#include "tst_mediadialogs.moc"
