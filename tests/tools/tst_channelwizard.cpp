#include "support/DialogControls.h"
#include "support/TestMain.h"

#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "commands/ScriptCommands.h"
#include "tools/ChannelMarkup.h"
#include "tools/ChannelWizard.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <limits>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(ChannelFields)

// The channel document composed from the wizard's fields, the wizard's controls, and the
// command that opens the document in a new window.
class TestChannelWizard : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void composesGoldenDocument_data();
    void composesGoldenDocument();
    void controlsStartEmptyWithUnboundedNumbers();
    void dialogComposesFromNamedControls();
    void abstractAndTimesTravelToTheirControls();
    void menuCommandFillsNewModifiedWindow();
    void closingTheNewWindowAsks();
    void cancelOpensNoWindow();
    void noFreeSlotOpensNothing();

private:
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

namespace {

// Golden files are UTF-8 text with the CR LF line breaks of the document.
QString golden(const QString &name)
{
    QFile file(testDataPath(u"channel/"_s + name + u".cdf"_s));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("golden file %s missing", qPrintable(file.fileName()));
    return QString::fromUtf8(file.readAll());
}

ChannelFields schedule(QString start = {}, QString end = {})
{
    ChannelFields f;
    f.useSchedule = true;
    f.startDate = start;
    f.endDate = end;
    return f;
}

} // namespace

void TestChannelWizard::init()
{
    m_script = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(0);
}

void TestChannelWizard::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void TestChannelWizard::composesGoldenDocument_data()
{
    QTest::addColumn<ChannelFields>("fields");
    QTest::addColumn<QString>("expected");

    // The channel and its texts
    QTest::newRow("empty") << ChannelFields{} << u"empty"_s;
    ChannelFields f;
    f.href = u"http://www.brisko.cz/kanal.cdf"_s;
    QTest::newRow("href") << f << u"href"_s;
    f = {};
    f.base = u"http://www.brisko.cz/"_s;
    QTest::newRow("base") << f << u"base"_s;
    f = {};
    f.self = u"http://www.brisko.cz/kanal.cdf"_s;
    QTest::newRow("self") << f << u"self"_s;
    f = {};
    f.href = u"kanal.htm"_s;
    f.base = u"http://www.brisko.cz/"_s;
    f.self = u"kanal.cdf"_s;
    QTest::newRow("addresses") << f << u"addresses"_s;
    f = {};
    f.title = u"Zprávy z Brna"_s;
    QTest::newRow("title") << f << u"title"_s;
    f = {};
    f.abstractText = u"První řádek\r\nDruhý řádek"_s;
    QTest::newRow("abstract") << f << u"abstract"_s;
    f = {};
    f.logo = u"obrazky/logo.gif"_s;
    f.logoStyle = u"IMAGE-WIDE"_s;
    QTest::newRow("logo") << f << u"logo"_s;

    // The schedule and its timing elements
    QTest::newRow("scheduleOnly") << schedule() << u"scheduleOnly"_s;
    f = schedule(u"2001-01-01"_s, u"2001-12-31"_s);
    f.interval = {true, 1, 0, 0};
    QTest::newRow("interval") << f << u"interval"_s;
    f = schedule();
    f.earliest = {true, 0, 6, 30};
    f.interval = {false, 9, 9, 9}; // its own "Použít" box decides
    QTest::newRow("earliest") << f << u"earliest"_s;
    f = schedule();
    f.latest = {true, 0, 23, 59};
    QTest::newRow("latest") << f << u"latest"_s;
    f = schedule();
    f.interval = {true, -5, std::numeric_limits<int>::max(), std::numeric_limits<int>::min()};
    f.earliest = {true, 0, 1, 2};
    f.latest = {true, 3, 4, 5};
    QTest::newRow("allTimesWithExtremeNumbers") << f << u"allTimes"_s;
    f = {};
    f.interval = f.earliest = f.latest = {true, 1, 2, 3};
    f.startDate = u"2001-01-01"_s;
    QTest::newRow("timesWithoutScheduleWriteNothing") << f << u"empty"_s;
}

void TestChannelWizard::composesGoldenDocument()
{
    QFETCH(ChannelFields, fields);
    QFETCH(QString, expected);
    QCOMPARE(composeChannel(fields), golden(expected));
}

void TestChannelWizard::controlsStartEmptyWithUnboundedNumbers()
{
    TChanelWizard dialog;
    QCOMPARE(dialog.windowTitle(), u"Generator kanalů"_s);
    QCOMPARE(composeChannel(dialog.fields()), golden(u"empty"_s));
    QCOMPARE(dialog.ComboBox1->currentText(), u"ICON"_s);
    QVERIFY(dialog.ComboBox1->isEditable());
    for (int i = 1; i <= 9; ++i) {
        auto *spin = dialog.findChild<QSpinBox *>(u"SpinEdit"_s + QString::number(i));
        QVERIFY(spin);
        QCOMPARE(spin->minimum(), std::numeric_limits<int>::min());
        QCOMPARE(spin->maximum(), std::numeric_limits<int>::max());
    }
}

void TestChannelWizard::dialogComposesFromNamedControls()
{
    TChanelWizard dialog;
    dialog.Edit1->setText(u"kanal.htm"_s);
    dialog.Edit2->setText(u"http://www.brisko.cz/"_s);
    dialog.Edit3->setText(u"kanal.cdf"_s);
    dialog.Edit4->setText(u"Zprávy"_s);
    dialog.Memo1->setPlainText(u"Denní přehled"_s);
    dialog.Edit5->setText(u"logo.gif"_s);
    dialog.ComboBox1->setCurrentText(u"IMAGE"_s);
    dialog.CheckBox1->setChecked(true);
    dialog.Edit6->setText(u"2001-01-01"_s);
    dialog.Edit7->setText(u"2001-12-31"_s);
    dialog.SpinEdit1->setValue(1);
    dialog.CheckBox2->setChecked(true);
    dialog.SpinEdit5->setValue(7); // earliest stays off
    dialog.Button1->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.Result, golden(u"everything"_s));

    // The fields read back into the controls unchanged.
    TChanelWizard second;
    second.setFields(dialog.fields());
    QCOMPARE(composeChannel(second.fields()), golden(u"everything"_s));
}

// The abstract keeps the document's CR LF while the memo shows plain lines, and each
// timing tab holds its own numbers and box.
void TestChannelWizard::abstractAndTimesTravelToTheirControls()
{
    ChannelFields f;
    f.abstractText = u"první\r\ndruhý\r\n"_s;
    f.interval = {false, 1, 2, 3};
    f.earliest = {true, 4, 5, 6};
    f.latest = {true, 7, 8, 9};
    TChanelWizard dialog;
    dialog.setFields(f);
    QCOMPARE(dialog.Memo1->toPlainText(), u"první\ndruhý\n"_s);
    for (int i = 1; i <= 9; ++i)
        QCOMPARE(dialog.findChild<QSpinBox *>(u"SpinEdit"_s + QString::number(i))->value(), i);
    QVERIFY(!dialog.CheckBox2->isChecked());
    QVERIFY(dialog.CheckBox3->isChecked());
    QVERIFY(dialog.CheckBox4->isChecked());
    QCOMPARE(composeChannel(dialog.fields()), composeChannel(f));
    QCOMPARE(dialog.fields().abstractText, f.abstractText);
}

void TestChannelWizard::menuCommandFillsNewModifiedWindow()
{
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Generator kanalů"_s);
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"http://www.brisko.cz/kanal.cdf"_s);
        control<QPushButton>(d, u"Button1"_s)->click();
    });
    runChannelWizard(m_fx->workspace());
    QCOMPARE(m_fx->workspace().documents().size(), 1);
    HtmlDocument *doc = m_fx->doc();
    QVERIFY(doc->isUntitled());
    QCOMPARE(doc->GetText(), golden(u"href"_s));
    QVERIFY(doc->IsModified());
}

void TestChannelWizard::closingTheNewWindowAsks()
{
    m_script->dialog([](QDialog &d) { control<QPushButton>(d, u"Button1"_s)->click(); });
    runChannelWizard(m_fx->workspace());
    HtmlDocument *doc = m_fx->doc();
    QVERIFY(doc);
    m_script->answer(Interaction::Answer::Cancel);
    QVERIFY(!doc->CloseQuery());
    QCOMPARE(m_script->questions, QStringList{u"Uložit změny do Bez jména?"_s});
}

void TestChannelWizard::cancelOpensNoWindow()
{
    m_script->dialog([](QDialog &d) {
        control<QLineEdit>(d, u"Edit4"_s)->setText(u"Titulek"_s);
        control<QPushButton>(d, u"Button2"_s)->click();
    });
    runChannelWizard(m_fx->workspace());
    QVERIFY(m_fx->workspace().documents().isEmpty());
}

void TestChannelWizard::noFreeSlotOpensNothing()
{
    for (int i = 0; i < 30; ++i)
        m_fx->workspace().NewDocumentWindow();
    m_script->dialog([](QDialog &d) { control<QPushButton>(d, u"Button1"_s)->click(); });
    runChannelWizard(m_fx->workspace());
    QCOMPARE(m_fx->workspace().documents().size(), 30);
    QCOMPARE(m_script->errors, QStringList{u"Nelze vytvořit více jak 30 oken!"_s});
    for (HtmlDocument *doc : m_fx->workspace().documents())
        QVERIFY(doc->GetText().isEmpty());
}

BRISKO_TEST_MAIN(TestChannelWizard)
#include "tst_channelwizard.moc"
