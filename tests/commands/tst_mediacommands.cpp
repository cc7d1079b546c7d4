#include "support/DialogControls.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include "app/ProgramDir.h"
#include "commands/ElementTable.h"
#include "markup/MediaMarkup.h"
#include "settings/TSettings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace {

// Puts a value into the named field, whatever kind of field it is.
void setField(QDialog &dialog, const QString &name, const QString &value)
{
    QObject *field = dialog.findChild<QObject *>(name);
    if (auto *combo = qobject_cast<QComboBox *>(field))
        combo->setEditText(value);
    else if (auto *edit = qobject_cast<QLineEdit *>(field))
        edit->setText(value);
    else if (auto *list = qobject_cast<QListWidget *>(field))
        list->setCurrentRow(value.toInt());
    else
        qFatal("no field %s", qPrintable(name));
}

} // namespace

// The media and object commands end to end: palette or menu, the scripted dialog, the
// text, caret and colour in the document; and F7 on each of their tags.
class TestMediaCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void paletteButtons_data();
    void paletteButtons();
    void menuItems_data();
    void menuItems();
    void cancelInsertsNothing();
    void shippedComponentList();
    void activeXWithoutListFile();

    void editFillsDialog();
    void embedLeftoversGoIntoParameters();
    void editRefusesBadNumber();

private:
    void pressF7() { QVERIFY(m_fx->run(Cmd::EditCurrentTag)); }
    void pressPalette(const QString &tab, const QString &caption)
    {
        QVERIFY(m_fx->pressPaletteButton(tab, caption));
    }

    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void TestMediaCommands::init()
{
    m_fx = std::make_unique<WorkspaceFixture>();
    // The list beside the program, as the program finds it.
    setComponentListPath([] { return programDir() + u"data/activex.dat"_s; });
    m_script = std::make_unique<ScriptedInteraction>();
}

void TestMediaCommands::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void TestMediaCommands::paletteButtons_data()
{
    QTest::addColumn<QString>("tab");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("opening");
    QTest::addColumn<QString>("closing");
    QTest::addColumn<bool>("script");

    QTest::newRow("46 MARQUEE") << u"Multimédia"_s << u"MARQUEE"_s << u"MARQUEE..."_s
                                << u"ComboBox1"_s << u"SCROLL"_s
                                << u"<MARQUEE  BEHAVIOR=\"SCROLL\">"_s << u"</MARQUEE>"_s << false;
    QTest::newRow("47 HR") << u"Multimédia"_s << u"HR"_s << u"Horizontální linka.."_s
                           << u"edit1"_s << u"3"_s << u"<HR  SIZE=3>"_s << QString() << false;
    QTest::newRow("48 BGSOUND") << u"Multimédia"_s << u"BGSOUND"_s << u"Hudba a zvuk.."_s
                                << u"ComboBox2"_s << u"INFINITE"_s
                                << u"<BGSOUND LOOP=\"INFINITE\">"_s << QString() << false;
    QTest::newRow("49 EMBED") << u"Multimédia"_s << u"EMBED"_s << u"Vložený objekt"_s
                              << u"ComboBox1"_s << u"a.swf"_s << u"<EMBED SRC=\"a.swf\">"_s
                              << QString() << false;
    QTest::newRow("68 SCRIPT") << u"Script"_s << u"SCRIPT"_s << u"SCRIPT"_s << u"ComboBox1"_s
                               << u"JAVASCRIPT"_s
                               << u"<SCRIPT  LANGUAGE=\"JAVASCRIPT\">\r\n"_s
                               << u"\r\n</SCRIPT>"_s << true;
    QTest::newRow("82 ACTIVE-X")
        << u"Script"_s << u"ACTIVE-X"_s << u"Active-X"_s << u"ListBox1"_s << u"0"_s
        << u"<OBJECT ID=\"ShockwaveFlash\" CLASSID=\"clsid:D27CDB6E-AE6D-11cf-96B8-444553540000\" "
           u"HEIGHT=50 WIDTH=50>\r\n"_s
        << u"\r\n</OBJECT>"_s << false;
    QTest::newRow("83 APPLET") << u"Script"_s << u"APPLET"_s << u"Java Applet"_s << u"Edit1"_s
                               << u"A.class"_s << u"<APPLET  CODE=\"A.class\">"_s
                               << u"\r\n</APPLET>"_s << false;
    QTest::newRow("84 PARAM") << u"Script"_s << u"PARAM"_s << u"Parametr"_s << u"Edit1"_s
                              << u"n"_s << u"<PARAM NAME=\"n\">"_s << QString() << false;
}

void TestMediaCommands::paletteButtons()
{
    QFETCH(QString, tab);
    QFETCH(QString, caption);
    QFETCH(QString, title);
    QFETCH(QString, field);
    QFETCH(QString, value);
    QFETCH(QString, opening);
    QFETCH(QString, closing);
    QFETCH(bool, script);
    m_fx->setText(u"abc"_s, 0, 3);
    m_script->dialog([&](QDialog &d) {
        QCOMPARE(d.windowTitle(), title);
        setField(d, field, value);
        press(d, u"InsertButton"_s);
    });
    pressPalette(tab, caption);
    const TSettings &s = m_fx->settings();
    QCOMPARE(m_fx->buffer().GetText(), opening + u"abc"_s + closing);
    QCOMPARE(m_fx->buffer().SelStart(), int(opening.size() + 3));
    QCOMPARE(m_fx->buffer().SelLength(), 0);
    QCOMPARE(m_fx->buffer().colorAt(0), script ? s.SCRIPT : s.TAG);
    QVERIFY(m_fx->buffer().colorAt(int(opening.size())) != (script ? s.SCRIPT : s.TAG));
}

void TestMediaCommands::menuItems_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("expected");
    QTest::newRow("<HR> Ctrl+Shift+H") << u"InsTagHr"_s << u"Horizontální linka.."_s
                                       << u"<HR >abc"_s;
    QTest::newRow("Vlozit zvuk Ctrl+G") << u"HidSound"_s << u"Hudba a zvuk.."_s
                                        << u"<BGSOUND>abc"_s;
}

void TestMediaCommands::menuItems()
{
    QFETCH(QString, id);
    QFETCH(QString, title);
    QFETCH(QString, expected);
    m_fx->setText(u"abc"_s, 0, 3);
    m_script->dialog([&](QDialog &d) {
        QCOMPARE(d.windowTitle(), title);
        press(d, u"InsertButton"_s);
    });
    QVERIFY(m_fx->commands().run(id, m_fx->workspace(), ui()));
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

void TestMediaCommands::cancelInsertsNothing()
{
    m_fx->setText(u"abc"_s, 1);
    m_script->dialog([](QDialog &d) { press(d, u"BackButton"_s); });
    pressPalette(u"Multimédia"_s, u"HR"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"abc"_s);
    QVERIFY(!m_fx->buffer().IsModified());
}

// The list beside the program names the common components, each with a class identifier.
void TestMediaCommands::shippedComponentList()
{
    m_script->dialog([](QDialog &d) {
        auto *list = control<QListWidget>(d, u"ListBox1"_s);
        QStringList names;
        for (int i = 0; i < list->count(); ++i)
            names << list->item(i)->text();
        for (const QString &name :
             {u"ShockwaveFlash"_s, u"MediaPlayer"_s, u"RealPlayer"_s, u"QuickTime"_s,
              u"ShockwaveDirector"_s, u"AcrobatReader"_s, u"JavaPlugin"_s})
            QVERIFY2(names.contains(name), qPrintable(name));
        press(d, u"BackButton"_s);
    });
    pressPalette(u"Script"_s, u"ACTIVE-X"_s);
    const std::optional<QStringList> lines =
        readComponentList(programDir() + u"data/activex.dat"_s);
    QVERIFY(lines && !lines->isEmpty());
    for (const QString &line : *lines) {
        QVERIFY2(!componentName(line).isEmpty(), qPrintable(line));
        QVERIFY2(componentClassId(line).startsWith(u"clsid:"_s), qPrintable(line));
    }
}

void TestMediaCommands::activeXWithoutListFile()
{
    const QString shipped = programDir();
    QTemporaryDir empty;
    setProgramDir(empty.path());
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QListWidget>(d, u"ListBox1"_s)->count(), 0);
        press(d, u"InsertButton"_s);
    });
    pressPalette(u"Script"_s, u"ACTIVE-X"_s);
    setProgramDir(shipped);
    QCOMPARE(m_script->log,
             (QStringList{u"error: Neexistuje soubor ActiveX.Dat!,nelze vkladat Active-x Objekty!"_s,
                          u"dialog: Active-X"_s}));
    QCOMPARE(m_fx->buffer().GetText(), QString());
}

void TestMediaCommands::editFillsDialog()
{
    m_fx->setText(u"<HR NOSHADE SIZE=2 class=x>"_s, 3);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Horizontální linka.."_s);
        QCOMPARE(control<QComboBox>(d, u"edit1"_s)->currentText(), u"2"_s);
        QVERIFY(!control<QCheckBox>(d, u"CheckBox1"_s)->isChecked());
        control<QCheckBox>(d, u"CheckBox1"_s)->setChecked(true);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(), u"<HR  SIZE=2 class=x>"_s);

    m_fx->setText(u"<MARQUEE SCROLLAMOUNT=0 SCROLLDELAY=150>text</MARQUEE>"_s, 3);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QSpinBox>(d, u"SpinEdit1"_s)->value(), 150);
        QVERIFY(control<QCheckBox>(d, u"CheckBox2"_s)->isChecked());
        QCOMPARE(control<QSpinBox>(d, u"SpinEdit2"_s)->value(), 0);
        QVERIFY(control<QCheckBox>(d, u"CheckBox3"_s)->isChecked());
        control<QComboBox>(d, u"ComboBox2"_s)->setEditText(u"RIGHT"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(),
             u"<MARQUEE  DIRECTION=\"RIGHT\" SCROLLDELAY=150 SCROLLAMOUNT=0>text</MARQUEE>"_s);

    // The script tag keeps its line break after it, and no second one comes.
    m_fx->setText(u"<SCRIPT LANGUAGE=JavaScript SRC=\"a.js\">\r\n</SCRIPT>"_s, 3);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QComboBox>(d, u"ComboBox1"_s)->currentText(), u"JavaScript"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(),
             u"<SCRIPT  LANGUAGE=\"JavaScript\" SRC=\"a.js\">\r\n</SCRIPT>"_s);
}

void TestMediaCommands::embedLeftoversGoIntoParameters()
{
    m_fx->setText(u"<EMBED autostart=true SRC=\"a.swf\" HEIGHT=240 loop=1>"_s, 3);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QComboBox>(d, u"ComboBox1"_s)->currentText(), u"a.swf"_s);
        QCOMPARE(control<QSpinBox>(d, u"SpinEdit1"_s)->value(), 240);
        QVERIFY(control<QCheckBox>(d, u"CheckBox1"_s)->isChecked());
        auto *memo = control<QPlainTextEdit>(d, u"Memo1"_s);
        QCOMPARE(memo->toPlainText(), u"autostart=true loop=1"_s);
        memo->appendPlainText(u"hidden=true"_s);
        press(d, u"InsertButton"_s);
    });
    pressF7();
    QCOMPARE(m_fx->buffer().GetText(),
             u"<EMBED SRC=\"a.swf\" HEIGHT=240 autostart=true loop=1 hidden=true>"_s);
}

void TestMediaCommands::editRefusesBadNumber()
{
    const QString text = u"<APPLET CODE=A.class TABINDEX=1.5>"_s;
    m_fx->setText(text, 3);
    pressF7();
    QCOMPARE(m_script->log, QStringList{u"error: Hodnota '1.5' není celé číslo."_s});
    QCOMPARE(m_fx->buffer().GetText(), text);
}

BRISKO_TEST_MAIN(TestMediaCommands)
#include "tst_mediacommands.moc"
