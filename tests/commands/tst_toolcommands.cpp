#include "commands/CommandRegistry.h"
#include "commands/ToolCommands.h"
#include "editor/HtmlDocument.h"
#include "markup/SysUt.h"
#include "support/RecordingShell.h"
#include "support/DialogControls.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"
#include "support/WorkspaceFixture.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

void writeFile(const QString &path, qint64 size)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QVERIFY(file.write(QByteArray(size, 'x')) == size);
}

} // namespace

// "LinkAnalyzer" and "Nahrávací časy..." by their menu identifiers, to the document and back.
class tst_ToolCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void analyzerChecksOpensAndPresetsTheCalculator();
    void neverSavedDocumentHasNoFolder();
    void replacementKeepsColoursAndUndoesInOneStep();
    void replacementChangesOnlyTheAddresses_data();
    void replacementChangesOnlyTheAddresses();
    void replacementBeyondEditorLimitIsRefused_data();
    void replacementBeyondEditorLimitIsRefused();
    void analyzerNeedsADocument();
    void documentCheckOpensTheAnalyzer();
    void calculatorFromMenuOpensEmpty();

private:
    // The menu's command of that identifier, on the workspace alone.
    void trigger(CommandId id)
    {
        CommandRegistry commands;
        addWorkspaceCommands(commands);
        QVERIFY(commands.run(id, m_fx->workspace(), ui()));
    }
    // Runs the analyser on the active document; driver works its window.
    void runAnalyzer(ScriptedInteraction::DialogDriver driver)
    {
        m_script->dialog(std::move(driver));
        trigger(Cmd::ToolLinkAnalyzer);
    }

    std::unique_ptr<ScriptedInteraction> m_script;
    std::unique_ptr<WorkspaceFixture> m_fx;
};

void tst_ToolCommands::init()
{
    m_script = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(1);
}

void tst_ToolCommands::cleanup()
{
    m_fx.reset();
    endScript(m_script);
}

void tst_ToolCommands::analyzerChecksOpensAndPresetsTheCalculator()
{
    QTemporaryDir dir;
    const QString folder = dir.path() + u'/';
    QDir(folder).mkpath(u"img"_s);
    writeFile(folder + u"img/logo.gif"_s, 3000);
    writeFile(folder + u"zvuk.mid"_s, 2000);
    m_fx->doc()->setFileName(folder + u"index.html"_s);
    m_fx->setText(u"<HTML><BODY>\r\n<IMG SRC=\"img/logo.gif\"> <IMG SRC=\"chybí.gif\">\r\n"
                  "<IMG SRC=\"http://www.example.cz/x.gif\"><BGSOUND SRC=\"zvuk.mid\">\r\n"
                  "<A HREF=\"dalsi.html#kapitola\">dál</A></BODY></HTML>\r\n"_s);
    RecordingShell shell;

    QString preset;
    QString result;
    runAnalyzer([&](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Link Analyzer"_s);
        QCOMPARE(control<QLabel>(d, u"Label2"_s)->text(), u"Jméno souboru:index.html"_s);
        auto *images = control<QListWidget>(d, u"ListBox2"_s);
        QCOMPARE(images->count(), 3);
        QCOMPARE(control<QListWidget>(d, u"ListBox1"_s)->item(0)->text(), u"dalsi.html"_s);
        control<QTabWidget>(d, u"PageControl1"_s)->setCurrentIndex(1);
        images->item(1)->setSelected(true);
        control<QPushButton>(d, u"Button1"_s)->click(); // Zkontrolovat
        images->setCurrentRow(0);
        control<QPushButton>(d, u"Button3"_s)->click(); // Otevřít
        m_script->dialog([&](QDialog &calculator) {
            preset = control<QLineEdit>(calculator, u"Edit1"_s)->text();
            control<QComboBox>(calculator, u"ComboBox1"_s)->setEditText(u"28000"_s);
            control<QComboBox>(calculator, u"ComboBox2"_s)->setEditText(u"50"_s);
            result = control<QLineEdit>(calculator, u"Edit2"_s)->text();
            control<QPushButton>(calculator, u"Button1"_s)->click();
        });
        control<QPushButton>(d, u"Button5"_s)->click(); // Nahrávací čas
        control<QPushButton>(d, u"Button6"_s)->click(); // Zavřít
    });
    QCOMPARE(m_script->errors, QStringList{u"Soubor "_s + folder + u"chybí.gif neexistuje!"_s});
    QCOMPARE(shell.opened, QList<QUrl>{QUrl::fromLocalFile(folder + u"img/logo.gif"_s)});
    // 5000 bytes are 4 kilobytes of 1024, which the calculator counts as 4000 bytes.
    QCOMPARE(preset, u"4"_s);
    QCOMPARE(result, u"0h:0m:2.29"_s);
}

void tst_ToolCommands::neverSavedDocumentHasNoFolder()
{
    m_fx->setText(u"<IMG SRC=\"a.gif\">"_s);
    runAnalyzer([this](QDialog &d) {
        QCOMPARE(control<QLabel>(d, u"Label2"_s)->text(), u"Jméno souboru:Bez jména"_s);
        QCOMPARE(control<QLabel>(d, u"Label3"_s)->text(), u"Aktuální adresář:"_s);
        control<QTabWidget>(d, u"PageControl1"_s)->setCurrentIndex(1);
        control<QListWidget>(d, u"ListBox2"_s)->selectAll();
        control<QPushButton>(d, u"Button1"_s)->click();
        d.reject();
    });
    QCOMPARE(m_script->errors, QStringList{u"Soubor a.gif neexistuje!"_s});
}

void tst_ToolCommands::replacementKeepsColoursAndUndoesInOneStep()
{
    const QString before = u"<IMG SRC=\"a.gif\">\r\nText a.gif\r\n<A HREF=\"x.html\">"_s;
    m_fx->setText(before);
    HtmlDocument &b = m_fx->buffer();
    b.ColorRange(0, 17, 0x0000FF);
    runAnalyzer([this](QDialog &d) {
        control<QTabWidget>(d, u"PageControl1"_s)->setCurrentIndex(1);
        control<QListWidget>(d, u"ListBox2"_s)->setCurrentRow(0);
        m_script->enterText(u"obr/b.png"_s);
        control<QPushButton>(d, u"Button4"_s)->click();
        QCOMPARE(control<QListWidget>(d, u"ListBox2"_s)->item(0)->text(), u"obr/b.png"_s);
        d.reject();
    });
    QCOMPARE(m_script->log.first(), u"dialog: Link Analyzer"_s);
    QCOMPARE(m_script->log.at(1), u"text: Zaměnit a.gif za |Nový text"_s);
    QCOMPARE(b.GetText(), u"<IMG SRC=\"obr/b.png\">\r\nText a.gif\r\n<A HREF=\"x.html\">"_s);
    QVERIFY(b.IsModified());
    QCOMPARE(b.colorAt(1), ColorValue(0x0000FF));
    QCOMPARE(b.colorAt(25), ColorValue(0));
    b.Undo();
    QCOMPARE(b.GetText(), before);
}

void tst_ToolCommands::replacementChangesOnlyTheAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<QString>("expected");

    // The same letters in the text, in another address and in a title stay.
    QTest::newRow("textAndLongerAddress")
        << u"<A HREF=\"a.html\">a.html, data.html</A><A href='data.html'>x</A>"
           u"<IMG SRC=\"p.gif\" ALT=\"viz a.html\">"_s
        << u"b.html"_s
        << u"<A HREF=\"b.html\">a.html, data.html</A><A href='data.html'>x</A>"
           u"<IMG SRC=\"p.gif\" ALT=\"viz a.html\">"_s;
    // Unquoted, with blanks round "=", with a fragment, across lines.
    QTest::newRow("spellingsOfTheValue")
        << u"<A HREF=a.html>1</A><A\r\nhref = \"a.html#kotva\">2</A><A HREF=a.html\r\n>3</A>"_s
        << u"nové/ř.html"_s
        << u"<A HREF=nové/ř.html>1</A><A\r\nhref = \"nové/ř.html#kotva\">2</A>"
           u"<A HREF=nové/ř.html\r\n>3</A>"_s;
    // "x=a.html" between tags is text; the replacement forms no new address.
    QTest::newRow("textLooksLikeAnAttribute")
        << u"<A HREF=\"ab\">x=ab aab</A>"_s << u"b"_s << u"<A HREF=\"b\">x=ab aab</A>"_s;
}

void tst_ToolCommands::replacementChangesOnlyTheAddresses()
{
    QFETCH(QString, text);
    QFETCH(QString, replacement);
    QFETCH(QString, expected);
    m_fx->setText(text);
    runAnalyzer([&](QDialog &d) {
        control<QListWidget>(d, u"ListBox1"_s)->setCurrentRow(0);
        m_script->enterText(replacement);
        control<QPushButton>(d, u"Button4"_s)->click();
        d.reject();
    });
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

void tst_ToolCommands::replacementBeyondEditorLimitIsRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("replacement");
    const QString tag = u"<A HREF=\"ab\">"_s;
    const int length = 999999 - 4; // the texts fit; the results pass the limit
    // Two addresses, 3 characters more each.
    QTest::newRow("twoAddresses") << tag + QString(length - 2 * tag.size(), u'x') + tag << u"bZZZZ"_s;
    // One address, 5 more.
    QTest::newRow("oneAddress") << tag + QString(length - tag.size() - 2, u'x') + u"ab"_s
                                << u"abZZZZZ"_s;
}

void tst_ToolCommands::replacementBeyondEditorLimitIsRefused()
{
    QFETCH(QString, text);
    QFETCH(QString, replacement);
    QCOMPARE(text.size(), 999995);
    m_fx->setText(text);
    runAnalyzer([&](QDialog &d) {
        control<QListWidget>(d, u"ListBox1"_s)->setCurrentRow(0);
        m_script->enterText(replacement);
        control<QPushButton>(d, u"Button4"_s)->click();
        d.reject();
    });
    QCOMPARE(m_script->errors.size(), 1);
    QVERIFY(m_script->errors.first().contains(u"999999"_s));
    QCOMPARE(m_fx->buffer().GetText(), text);
    QVERIFY(!m_fx->buffer().IsModified());
}

void tst_ToolCommands::analyzerNeedsADocument()
{
    m_fx->doc()->closeConfirmed();
    QTRY_VERIFY(m_fx->workspace().activeDocument() == nullptr);
    trigger(Cmd::ToolLinkAnalyzer);
    QVERIFY(m_script->log.isEmpty());
}

void tst_ToolCommands::documentCheckOpensTheAnalyzer()
{
    m_fx->setText(u"<A HREF=\"a.html\">a</A>"_s);
    QStringList links;
    m_script->dialog([&](QDialog &d) {
        const auto *list = control<QListWidget>(d, u"ListBox1"_s);
        for (int row = 0; row < list->count(); ++row)
            links << list->item(row)->text();
        d.reject();
    });
    trigger(Cmd::ToolDocCheck);
    QCOMPARE(m_script->log, QStringList{u"dialog: Link Analyzer"_s});
    QCOMPARE(links, QStringList{u"a.html"_s});
}

void tst_ToolCommands::calculatorFromMenuOpensEmpty()
{
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Nahrávací časy..."_s);
        QVERIFY(control<QLineEdit>(d, u"Edit1"_s)->text().isEmpty());
        QVERIFY(control<QLineEdit>(d, u"Edit2"_s)->text().isEmpty());
        QVERIFY(control<QComboBox>(d, u"ComboBox1"_s)->currentText().isEmpty());
        control<QPushButton>(d, u"Button1"_s)->click();
    });
    trigger(Cmd::ToolDownloadTimes);
    QCOMPARE(m_script->log, QStringList{u"dialog: Nahrávací časy..."_s});
}

BRISKO_TEST_MAIN(tst_ToolCommands)
#include "tst_toolcommands.moc"
