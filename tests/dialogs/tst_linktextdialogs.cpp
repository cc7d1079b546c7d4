#include "support/RecordingShell.h"
#include "support/DialogControls.h"
#include "support/TestMain.h"

#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "commands/InsertTag.h"
#include "dialogs/ColorCombo.h"
#include "dialogs/LinkDialogs.h"
#include "dialogs/SpecialChars.h"
#include "dialogs/TextDialogs.h"
#include "markup/SysUt.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QToolButton>

using namespace Qt::StringLiterals;

// The link and text dialogs driven through their named controls and real buttons, and
// their commands from menu or shortcut to the text and colours in the document.
class TestLinkTextDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void linkDialogComposesFromAddressComposer();
    void linkDialogReadsInternetShortcut();
    void linkDialogPicksDocumentRelativeToDocument();
    void cancelledDialogInsertsNothing();

    void linkCommandWrapsSelectionInLinkColor();
    void fontCommandWithPickedColor();
    void commentCommandRoundTripsComment();
    void commentCommandReplacesTagAtCaret();
    void commentCommandEmptyMemoDeletesComment();
    void commentCommandCommentsOutSelectedText();
    void commentCommandSelectsTagAsTheBufferDoes();
    void dialogsOpenWithFocusOnTheirFirstField();
    void enterOnColourPickerPressesInsert();
    void metaCommandGoesBeforeHead_data();
    void metaCommandGoesBeforeHead();
    void counterMenuInsertsCounterAndOpensHomePage();

private:
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<ScriptedInteraction> m_script;
};

void TestLinkTextDialogs::init()
{
    m_script = std::make_unique<ScriptedInteraction>();
    m_fx = std::make_unique<WorkspaceFixture>(1);
    m_fx->settings().Alt92 = false;
}

void TestLinkTextDialogs::cleanup()
{
    // The fixture goes first, while the scripted answers still stand in for the user.
    m_fx.reset();
    endScript(m_script);
}

void TestLinkTextDialogs::linkDialogComposesFromAddressComposer()
{
    TLinkForm form({m_fx->settings(), u"/w/a.html"_s});
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Odkaz"_s);
        control<QComboBox>(d, u"ComboBox1"_s)->setEditText(u"FTP://"_s);
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"ftp.cz"_s);
        control<QLineEdit>(d, u"Edit2"_s)->setText(u"pub/x.zip"_s);
        control<QLineEdit>(d, u"Edit5"_s)->setText(u"anna"_s);
        pressInsert(d);
    });
    form.SpeedButton2->click();
    QCOMPARE(form.ComboBox1->currentText(), u"FTP://anna:@ftp.cz/pub/x.zip"_s);
    form.ComboBox2->setEditText(u"_blank"_s);
    form.insertButton()->click();
    QCOMPARE(form.result(), int(QDialog::Accepted));
    QCOMPARE(form.OpeningMarkup, u"<A HREF=\"FTP://anna:@ftp.cz/pub/x.zip\" TARGET=\"_blank\">"_s);
    QCOMPARE(form.ClosingMarkup, u"</A>"_s);
}

void TestLinkTextDialogs::linkDialogReadsInternetShortcut()
{
    QTemporaryDir dir;
    const QString withKey = dir.filePath(u"a.url"_s);
    const QString withoutKey = dir.filePath(u"b.url"_s);
    QFile a(withKey);
    QVERIFY(a.open(QIODevice::WriteOnly));
    a.write("[InternetShortcut]\r\nURL=http://www.seznam.cz/\r\n");
    a.close();
    QFile b(withoutKey);
    QVERIFY(b.open(QIODevice::WriteOnly));
    b.write("[InternetShortcut]\r\n");
    b.close();

    TLinkForm form({m_fx->settings(), u"/w/a.html"_s});
    m_script->openFile(withKey).openFile(withoutKey);
    form.SpeedButton3->click();
    QCOMPARE(form.ComboBox1->currentText(), u"http://www.seznam.cz/"_s);
    form.SpeedButton3->click();
    QCOMPARE(form.ComboBox1->currentText(), QString());
    QCOMPARE(m_script->log, (QStringList{u"open: Internetová adresa (*.url)|*.url"_s,
                                          u"open: Internetová adresa (*.url)|*.url"_s}));
}

void TestLinkTextDialogs::linkDialogPicksDocumentRelativeToDocument()
{
    TSettings &s = m_fx->settings();
    s.RelPa = true;
    s.UpperCaseFiles = false;
    TLinkForm form({s, u"/w/site/index.html"_s});
    m_script->openFile(u"/w/site/sub/b.htm"_s);
    form.SpeedButton1->click();
    QCOMPARE(form.ComboBox1->currentText(),
             DocumentRelativePath(u"/w/site/sub/b.htm"_s, u"/w/site/index.html"_s, s.pathOptions()));
    QVERIFY(m_script->log.value(0).startsWith(u"open: Html dokumenty (*.html;*.htm;*.htx;*.htt)|"_s));

    // Without an open document the picker does nothing at all.
    TLinkForm noDocument({s, std::nullopt});
    noDocument.SpeedButton1->click();
    QCOMPARE(m_script->log.size(), 1);
}

void TestLinkTextDialogs::cancelledDialogInsertsNothing()
{
    m_fx->setText(u"abc"_s, 1, 1);
    m_script->dialog([](QDialog &d) {
        control<QComboBox>(d, u"ComboBox1"_s)->setEditText(u"x.htm"_s);
        control<QPushButton>(d, u"BackButton"_s)->click();
    });
    QVERIFY(m_fx->run(Cmd::HidLink));
    QCOMPARE(m_fx->buffer().GetText(), u"abc"_s);
}

void TestLinkTextDialogs::linkCommandWrapsSelectionInLinkColor()
{
    const TSettings &s = m_fx->settings();
    m_fx->setText(u"jdi sem!"_s, 4, 3);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Vložit odkaz"_s);
        control<QComboBox>(d, u"ComboBox1"_s)->setEditText(u"b.htm"_s);
        pressInsert(d);
    });
    QVERIFY(m_fx->run(Cmd::HidLink));
    HtmlDocument &b = m_fx->buffer();
    QCOMPARE(b.GetText(), u"jdi <A HREF=\"b.htm\">sem</A>!"_s);
    QCOMPARE(b.SelStart(), 23);
    QCOMPARE(b.colorAt(4), s.LINK);
    QCOMPARE(b.colorAt(23), s.LINK);
    QVERIFY(b.colorAt(20) != s.LINK);
}

void TestLinkTextDialogs::fontCommandWithPickedColor()
{
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Písmo.."_s);
        auto *picker = control<ColorCombo>(d, u"Panel1"_s);
        QVERIFY(!control<QCheckBox>(d, u"CheckBox1"_s)->isChecked());
        QTest::mouseClick(picker, Qt::LeftButton);
        // Pressing the picker switches the colour on.
        QVERIFY(control<QCheckBox>(d, u"CheckBox1"_s)->isChecked());
        QTest::mouseRelease(picker->popup()->findChild<QWidget *>(u"Swatch13"_s), Qt::LeftButton);
        control<QComboBox>(d, u"ComboBox2"_s)->setEditText(u"+"_s);
        control<QComboBox>(d, u"ComboBox3"_s)->setEditText(u"2"_s);
        pressInsert(d);
    });
    QVERIFY(m_fx->run(Cmd::HidFont));
    const QString opening = u"<FONT  SIZE=\"+2\" COLOR=#0000FF>"_s;
    QCOMPARE(m_fx->buffer().GetText(), opening + u"</FONT>"_s);
    QCOMPARE(m_fx->buffer().SelStart(), opening.size());
    QCOMPARE(m_fx->buffer().colorAt(0), m_fx->settings().TAG);
}

void TestLinkTextDialogs::commentCommandRoundTripsComment()
{
    const QString text = u"a<!-- note -->b"_s;
    m_fx->setText(text, 5);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Komentář"_s);
        QCOMPARE(control<QPlainTextEdit>(d, u"Memo1"_s)->toPlainText(), u" note "_s);
        pressInsert(d);
    });
    // The inside-tag check does not stop the comment command.
    m_fx->insert(Insertion::Comment); // the toolbar's comment button
    QCOMPARE(m_fx->buffer().GetText(), text);
    QCOMPARE(m_fx->buffer().SelStart(), 14);
    QCOMPARE(m_script->errors, QStringList());
}

void TestLinkTextDialogs::commentCommandReplacesTagAtCaret()
{
    m_fx->setText(u"x<B>y"_s, 2);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QPlainTextEdit>(d, u"Memo1"_s)->toPlainText(), QString());
        control<QPlainTextEdit>(d, u"Memo1"_s)->setPlainText(u"tučně\nzde"_s);
        pressInsert(d);
    });
    m_fx->insert(Insertion::Comment); // the toolbar's comment button
    QCOMPARE(m_fx->buffer().GetText(), u"x<!--tučně\r\nzde-->y"_s);
    QCOMPARE(m_fx->buffer().colorAt(1), m_fx->settings().TAG);
}

void TestLinkTextDialogs::commentCommandCommentsOutSelectedText()
{
    m_fx->setText(u"x ahoj y"_s, 2, 4);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QPlainTextEdit>(d, u"Memo1"_s)->toPlainText(), u"ahoj"_s);
        pressInsert(d);
    });
    m_fx->insert(Insertion::Comment); // the toolbar's comment button
    QCOMPARE(m_fx->buffer().GetText(), u"x <!--ahoj--> y"_s);
}

void TestLinkTextDialogs::commentCommandSelectsTagAsTheBufferDoes()
{
    // An unclosed tag at the end of the text is the tag from its "<" up to the caret.
    m_fx->setText(u"x <B"_s, 4);
    m_script->dialog([](QDialog &d) {
        QCOMPARE(control<QPlainTextEdit>(d, u"Memo1"_s)->toPlainText(), QString());
        control<QPlainTextEdit>(d, u"Memo1"_s)->setPlainText(u"c"_s);
        pressInsert(d);
    });
    m_fx->insert(Insertion::Comment); // the toolbar's comment button
    QCOMPARE(m_fx->buffer().GetText(), u"x <!--c-->"_s);
}

void TestLinkTextDialogs::dialogsOpenWithFocusOnTheirFirstField()
{
    TMakeLink link(m_fx->settings(), nullptr);
    link.show();
    QVERIFY(QTest::qWaitForWindowExposed(&link));
    QCOMPARE(link.focusWidget(), link.ComboBox1);
    link.close();

    TMyFontDialog font(nullptr);
    font.show();
    QVERIFY(QTest::qWaitForWindowExposed(&font));
    QCOMPARE(font.focusWidget(), font.ComboBox1);
}

void TestLinkTextDialogs::enterOnColourPickerPressesInsert()
{
    TMyFontDialog font(nullptr);
    font.show();
    QVERIFY(QTest::qWaitForWindowExposed(&font));
    auto *picker = control<ColorCombo>(font, u"Panel1"_s);
    picker->setFocus();
    QTest::keyClick(picker, Qt::Key_Return);
    QVERIFY(!picker->popup());
    QCOMPARE(font.result(), int(QDialog::Accepted));
    QVERIFY(font.OpeningMarkup.startsWith(u"<FONT"_s));
}

void TestLinkTextDialogs::commentCommandEmptyMemoDeletesComment()
{
    m_fx->setText(u"a<!--old-->b"_s, 4);
    m_script->dialog([](QDialog &d) {
        control<QPlainTextEdit>(d, u"Memo1"_s)->clear();
        pressInsert(d);
    });
    m_fx->insert(Insertion::Comment); // the toolbar's comment button
    QCOMPARE(m_fx->buffer().GetText(), u"ab"_s);

    // Cancel leaves the text and only the selection of the tag.
    m_fx->setText(u"a<!--old-->b"_s, 4);
    m_script->dialog([](QDialog &d) {
        control<QPushButton>(d, u"BackButton"_s)->click();
    });
    m_fx->insert(Insertion::Comment); // the toolbar's comment button
    QCOMPARE(m_fx->buffer().GetText(), u"a<!--old-->b"_s);
    QCOMPARE(m_fx->buffer().SelText(), u"<!--old-->"_s);
}

void TestLinkTextDialogs::metaCommandGoesBeforeHead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("beforeHead");
    QTest::addColumn<QString>("expected");

    const QString meta = u"<META  NAME=\"author\">\r\n"_s;
    // The caret is at offset 1, in "x".
    QTest::newRow("lowerCaseHead") << u"x<head></head>"_s << true
                                   << u"x<head>"_s + meta + u"</head>"_s;
    QTest::newRow("unchecked") << u"x<head></head>"_s << false
                               << u"x"_s + meta + u"<head></head>"_s;
    // Without a head the selection is only collapsed, at its start.
    QTest::newRow("noHead") << u"xyz"_s << true << u"x"_s + meta + u"yz"_s;
}

void TestLinkTextDialogs::metaCommandGoesBeforeHead()
{
    QFETCH(QString, text);
    QFETCH(bool, beforeHead);
    QFETCH(QString, expected);
    m_fx->setText(text, 1, beforeHead ? 1 : 0);
    m_script->dialog([beforeHead](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"META"_s);
        auto *names = control<QComboBox>(d, u"ComboBox1"_s);
        QCOMPARE(names->count(), 17); // with viewport and the Open Graph basics
        QCOMPARE(names->itemText(2), u"refresh"_s);
        names->setEditText(u"author"_s);
        control<QCheckBox>(d, u"CheckBox1"_s)->setChecked(beforeHead);
        pressInsert(d);
    });
    InsertTag(m_fx->workspace(), 45);
    QCOMPARE(m_fx->buffer().GetText(), expected);
}

void TestLinkTextDialogs::counterMenuInsertsCounterAndOpensHomePage()
{
    RecordingShell shell;
    m_script->dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Vložit počítadlo"_s);
        QCOMPARE(control<QSpinBox>(d, u"SpinEdit1"_s)->value(), 5);
        control<QPushButton>(d, u"Button1"_s)->click();
        QVERIFY(d.isVisible()); // the dialog stays open
        control<QComboBox>(d, u"ComboBox1"_s)->setEditText(u"Domino"_s);
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"web"_s);
        control<QSpinBox>(d, u"SpinEdit1"_s)->setValue(0);
        pressInsert(d);
    });
    QVERIFY(m_fx->run(Cmd::InsCounter));
    QCOMPARE(shell.opened, QList<QUrl>{QUrl(counterHomePage())});
    const QString text = m_fx->buffer().GetText();
    QVERIFY(text.startsWith(u"<a href=\""_s + counterHomePage() + u"\"><img src=\"http://"_s));
    QVERIFY(text.endsWith(u"/bin/counter.gif/link=web&width=0&set=Domino\" border=0></a>"_s));
    QCOMPARE(m_fx->buffer().SelStart(), text.size());
}

BRISKO_TEST_MAIN(TestLinkTextDialogs)
#include "tst_linktextdialogs.moc"
