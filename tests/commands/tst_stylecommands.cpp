#include "support/DialogControls.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include "commands/StyleCommands.h"
#include "dialogs/ColorCombo.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

// The style builder's and the gradient's commands on a document, through the seam.
class TestStyleCommands : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void ruleGoesBeforeStyleEnd_data();
    void ruleGoesBeforeStyleEnd();
    void builderEndToEnd();
    void builderRuleWithoutSelectorIsRefused();
    void gradientReplacesTheSelection();
    void gradientKeepsMarkupAndLineBreaks_data();
    void gradientKeepsMarkupAndLineBreaks();
    void gradientTooLongIsRefused();
    void gradientCancelChangesNothing();
};

void TestStyleCommands::ruleGoesBeforeStyleEnd_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<bool>("before");
    QTest::addColumn<QString>("expected");

    // "ß" keeps its length in the comparison, and CR LF counts two: the rule lands right
    // before the closing tag, whatever its case.
    QTest::newRow("lowerCaseEndAfterSharpS")
        << u"<STYLE>\r\nP.straße{}\r\n</style>\r\n<BODY>"_s << 0 << true
        << u"<STYLE>\r\nP.straße{}\r\nH1\r\n{float:left;\r\n}\r\n</style>\r\n<BODY>"_s;
    // Without a style element the rule gets one: bare, it showed as text of the page.
    QTest::newRow("noStyleBlockGoesToHeadEnd")
        << u"<HTML><HEAD><TITLE>x</TITLE>\r\n</head>\r\n<BODY>žluť</BODY>"_s << 45 << true
        << u"<HTML><HEAD><TITLE>x</TITLE>\r\n<STYLE>\r\nH1\r\n{float:left;\r\n}\r\n</STYLE>\r\n"
           u"</head>\r\n<BODY>žluť</BODY>"_s;
    QTest::newRow("noStyleBlockNoHeadGoesToCaret")
        << u"<BODY></BODY>"_s << 6 << true
        << u"<BODY><STYLE>\r\nH1\r\n{float:left;\r\n}\r\n</STYLE>\r\n</BODY>"_s;
    QTest::newRow("unticked") << u"<P STYLE=\"\">"_s << 10 << false
                              << u"<P STYLE=\"float:left;\r\n\">"_s;
}

void TestStyleCommands::ruleGoesBeforeStyleEnd()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(bool, before);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    fx.setText(text, caret);
    const TSettings &settings = fx.settings();
    insertStyle(fx.buffer(), settings, u"H1"_s, u"float:left;\r\n"_s, before);
    QCOMPARE(fx.buffer().GetText(), expected);
    const int at = int(expected.indexOf(u"float"_s));
    QCOMPARE(fx.buffer().colorAt(at), before ? settings.STYLE : settings.TAG);
}

void TestStyleCommands::builderEndToEnd()
{
    WorkspaceFixture fx;
    fx.setText(u"<STYLE>\r\n</STYLE>"_s);
    ScriptedInteraction script;
    script.dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Style builder"_s);
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"B.white"_s);
        control<QComboBox>(d, u"ComboBox3"_s)->setEditText(u"center"_s);
        control<QCheckBox>(d, u"CheckBox3"_s)->setChecked(true);
        control<QPushButton>(d, u"RefreshButton"_s)->click();
        control<QPushButton>(d, u"OkButton"_s)->click();
    });
    RunStyleBuilder(fx.workspace());
    QCOMPARE(fx.buffer().GetText(), u"<STYLE>\r\nB.white\r\n{text-align :center;\r\n}\r\n</STYLE>"_s);
}

void TestStyleCommands::builderRuleWithoutSelectorIsRefused()
{
    WorkspaceFixture fx;
    fx.setText(u"<STYLE>\r\n</STYLE>"_s);
    ScriptedInteraction script;
    bool stayedOpen = false;
    script.dialog([&](QDialog &d) {
        control<QLineEdit>(d, u"Edit1"_s)->setText(u"  "_s);
        control<QComboBox>(d, u"ComboBox3"_s)->setEditText(u"center"_s);
        control<QCheckBox>(d, u"CheckBox3"_s)->setChecked(true);
        control<QPushButton>(d, u"OkButton"_s)->click();
        stayedOpen = d.result() != QDialog::Accepted && d.isVisible();
        QCOMPARE(control<QComboBox>(d, u"ComboBox3"_s)->currentText(), u"center"_s);
        d.reject();
    });
    RunStyleBuilder(fx.workspace());
    QVERIFY(stayedOpen);
    QCOMPARE(script.errors.size(), 1);
    QCOMPARE(fx.buffer().GetText(), u"<STYLE>\r\n</STYLE>"_s);
    QVERIFY(!fx.buffer().IsModified());
}

void TestStyleCommands::gradientReplacesTheSelection()
{
    WorkspaceFixture fx;
    fx.setText(u"<P>abc</P>"_s, 3, 3);
    ScriptedInteraction script;
    script.dialog([](QDialog &d) {
        QCOMPARE(d.windowTitle(), u"Kolorovaní textu"_s);
        control<ColorCombo>(d, u"ColorCombo1"_s)->setColor(Qt::red);
        control<ColorCombo>(d, u"ColorCombo2"_s)->setColor(Qt::green);
        control<ColorCombo>(d, u"ColorCombo3"_s)->setColor(Qt::blue);
        control<QPushButton>(d, u"Button1"_s)->click();
        control<QPushButton>(d, u"InsertButton"_s)->click();
    });
    RunGradient(fx.workspace());
    QCOMPARE(fx.buffer().GetText(),
             u"<P><FONT COLOR=#FF0000>a</FONT><FONT COLOR=#00FF00>b</FONT>"
             u"<FONT COLOR=#0000FF>c</FONT></P>"_s);
}

void TestStyleCommands::gradientKeepsMarkupAndLineBreaks_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<bool>("onePerLine");
    QTest::addColumn<bool>("removeBreaks");
    QTest::addColumn<QString>("expected");

    const QString red = u"<FONT COLOR=#FF0000>"_s;
    const QString green = u"<FONT COLOR=#00FF00>"_s;
    const QString blue = u"<FONT COLOR=#0000FF>"_s;
    const QString end = u"</FONT>"_s;
    // The selection's line break stays one line break.
    QTest::newRow("acrossLines") << u"<P>ž\r\nč</P>"_s << 3 << 4 << false << false
                                 << u"<P>"_s + red + u"ž"_s + end + u"\r\n"_s + green + u"č"_s + end
                                        + u"</P>"_s;
    // Tags stay tags; an entity is one coloured character.
    QTest::newRow("tagsAndEntity") << u"<P>a<B>&amp;</B>c</P>"_s << 3 << 14 << false << false
                                   << u"<P>"_s + red + u"a"_s + end + u"<B>"_s + green + u"&amp;"_s
                                          + end + u"</B>"_s + blue + u"c"_s + end + u"</P>"_s;
    QTest::newRow("onePerLine") << u"ab\r\nc"_s << 0 << 5 << true << false
                                << red + u"a"_s + end + u"\r\n"_s + green + u"b"_s + end
                                       + u"\r\n\r\n"_s + blue + u"c"_s + end + u"\r\n"_s;
    // Ticked removal takes the breaks the generation added; the words of two lines do not
    // run together.
    QTest::newRow("onePerLineBreaksRemoved") << u"ab\r\nc"_s << 0 << 5 << true << true
                                             << red + u"a"_s + end + green + u"b"_s + end
                                                    + u"\r\n"_s + blue + u"c"_s + end;
}

void TestStyleCommands::gradientKeepsMarkupAndLineBreaks()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(bool, onePerLine);
    QFETCH(bool, removeBreaks);
    QFETCH(QString, expected);
    WorkspaceFixture fx;
    fx.setText(text, selStart, selLength);
    ScriptedInteraction script;
    script.dialog([&](QDialog &d) {
        control<ColorCombo>(d, u"ColorCombo1"_s)->setColor(Qt::red);
        control<ColorCombo>(d, u"ColorCombo2"_s)->setColor(Qt::green);
        control<ColorCombo>(d, u"ColorCombo3"_s)->setColor(Qt::blue);
        control<QCheckBox>(d, u"CheckBox1"_s)->setChecked(onePerLine);
        control<QCheckBox>(d, u"CheckBox2"_s)->setChecked(removeBreaks);
        control<QPushButton>(d, u"Button1"_s)->click();
        control<QPushButton>(d, u"InsertButton"_s)->click();
    });
    RunGradient(fx.workspace());
    QCOMPARE(fx.buffer().GetText(), expected);
    // One undo takes the whole gradient back.
    fx.buffer().Undo();
    QCOMPARE(fx.buffer().GetText(), text);
}

void TestStyleCommands::gradientTooLongIsRefused()
{
    WorkspaceFixture fx;
    const QString text = QString(999990, u'x');
    fx.setText(text, 0, 3);
    ScriptedInteraction script;
    script.dialog([](QDialog &d) {
        control<QPushButton>(d, u"Button1"_s)->click();
        control<QPushButton>(d, u"InsertButton"_s)->click();
    });
    RunGradient(fx.workspace());
    QCOMPARE(script.errors.size(), 1);
    QCOMPARE(fx.buffer().textLength(), int(text.size()));
    QVERIFY(!fx.buffer().IsModified());
}

void TestStyleCommands::gradientCancelChangesNothing()
{
    WorkspaceFixture fx;
    fx.setText(u"abc"_s, 0, 3);
    ScriptedInteraction script;
    script.dialog([](QDialog &d) {
        control<QPushButton>(d, u"Button1"_s)->click();
        control<QPushButton>(d, u"BackButton"_s)->click();
    });
    RunGradient(fx.workspace());
    QCOMPARE(fx.buffer().GetText(), u"abc"_s);
}

BRISKO_TEST_MAIN(TestStyleCommands)
#include "tst_stylecommands.moc"
