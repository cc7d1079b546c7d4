#include "dialogs/FindDialogs.h"
#include "commands/FindReplace.h"
#include "support/WorkspaceFixture.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QAction>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

const QString NotFound = u"Hledaný text nenalezen !"_s;
const QString ReplaceDone = u"Zaměňování bylo ukončeno!"_s;

void setMemo(QDialog &d, const QString &name, const QString &text)
{
    auto *memo = d.findChild<QPlainTextEdit *>(name);
    QVERIFY(memo);
    memo->setPlainText(text);
}

void setBox(QDialog &d, const QString &name, bool on)
{
    auto *box = d.findChild<QCheckBox *>(name);
    QVERIFY(box);
    box->setChecked(on);
}

void press(QDialog &d, const QString &name)
{
    auto *button = d.findChild<QPushButton *>(name);
    QVERIFY(button);
    button->click();
}

// Fills the find dialog as the user would and presses "Hledat".
ScriptedInteraction::DialogDriver findWith(const QString &text, bool matchCase = false,
                                           bool fromStart = true)
{
    return [=](QDialog &d) {
        setMemo(d, u"Memo1"_s, text);
        setBox(d, u"CheckBox1"_s, matchCase);
        setBox(d, u"CheckBox2"_s, fromStart);
        press(d, u"OkButton"_s);
    };
}

// Fills the replace dialog and presses "Zaměnit".
ScriptedInteraction::DialogDriver replaceWith(const QString &text, const QString &replacement,
                                              bool matchCase = true, bool ask = false,
                                              bool fromStart = true)
{
    return [=](QDialog &d) {
        setMemo(d, u"Memo1"_s, text);
        setMemo(d, u"Memo2"_s, replacement);
        setBox(d, u"CheckBox1"_s, matchCase);
        setBox(d, u"CheckBox2"_s, fromStart);
        setBox(d, u"CheckBox3"_s, ask);
        press(d, u"OkButton"_s);
    };
}

Interaction::Answer answerFor(QChar c)
{
    return c == u'Y' ? Interaction::Answer::Yes
           : c == u'N' ? Interaction::Answer::No
                       : Interaction::Answer::Cancel;
}

} // namespace

class tst_FindReplace : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<WorkspaceFixture>(1);
        m_commands = std::make_unique<FindReplaceCommands>(m_fx->workspace(), nullptr);
        connect(m_commands.get(), &FindReplaceCommands::findNextAvailable, this,
                [this](bool available) { m_findNextAvailable = available; });
    }
    void cleanup()
    {
        m_commands.reset();
        m_fx.reset();
        QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty());
    }

    void dialogsHaveTheirCaptionsAndDefaults();
    void find_data();
    void find();
    void findNextContinuesFromStoredPositionAfterCaretMoved();
    void findNextStopsAtEndWithoutWrapping();
    void findDialogKeepsTextButResetsOptions();
    void findFromCaretWalksOnPastTheFoundOccurrence();
    void findNextInAnotherWindowStartsAtItsCaret();
    void replace_data();
    void replace();
    void replaceAsksWithBothTexts();
    void replaceFromCaretWhenNotFromStart();
    void replaceRunUndoesInOneStep_data();
    void replaceRunUndoesInOneStep();
    void replaceDialogRemembersItsChoices();
    void replacePastTheLimitIsRefusedNotCut_data();
    void replacePastTheLimitIsRefusedNotCut();
    void searchesFarIntoLongText();

private:
    void trigger(const QString &id)
    {
        if (id == u"SearchFind"_s)
            m_commands->Find();
        else if (id == u"SearchFindNext"_s && m_findNextAvailable) // the item is greyed else
            m_commands->FindNext();
        else if (id == u"SearchReplace"_s)
            m_commands->Replace();
    }
    std::unique_ptr<WorkspaceFixture> m_fx;
    std::unique_ptr<FindReplaceCommands> m_commands;
    bool m_findNextAvailable = true;
};

void tst_FindReplace::dialogsHaveTheirCaptionsAndDefaults()
{
    TMyFindDialog find;
    QCOMPARE(find.windowTitle(), u"Najít"_s);
    QCOMPARE(find.CheckBox1->text(), u"Rozlišovat malá a velká písmena"_s);
    QCOMPARE(find.CheckBox2->text(), u"Začít hledat od začatku"_s);
    QVERIFY(!find.CheckBox1->isChecked());
    QVERIFY(find.CheckBox2->isChecked());
    QCOMPARE(find.OkButton->text(), u"Hledat"_s);
    QVERIFY(find.OkButton->isDefault());
    QCOMPARE(find.CancelButton->text(), u"Zpět"_s);

    TMyReplaceDialog replace;
    QCOMPARE(replace.windowTitle(), u"Zaměnit"_s);
    QCOMPARE(replace.CheckBox3->text(), u"Při nahrazení se zeptat"_s);
    QVERIFY(replace.CheckBox2->isChecked());
    QCOMPARE(replace.OkButton->text(), u"Zaměnit"_s);
    QVERIFY(replace.OkButton->isDefault());
    QCOMPARE(replace.CancelButton->text(), u"Zpět"_s);
}

void tst_FindReplace::find_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("findText"); // as typed in the memo, "\n" per line
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<bool>("fromStart");
    QTest::addColumn<int>("foundAt"); // -1: not found
    QTest::addColumn<int>("foundLength");

    QTest::newRow("fromStart_occurrenceAtZeroFound")
        << u"abc abc"_s << 5 << u"abc"_s << true << true << 0 << 3;
    QTest::newRow("fromCaret_skipsEarlierOccurrence")
        << u"abc abc"_s << 1 << u"abc"_s << true << false << 4 << 3;
    // Case folding goes through the Czech tables only.
    QTest::newRow("ignoreCase_czechUpperFindsLower")
        << u"kůň žluťoučký"_s << 0 << u"ŽLUŤOUČKÝ"_s << false << true << 4 << 9;
    QTest::newRow("ignoreCase_czechLowerFindsUpper")
        << u"KŮŇ"_s << 0 << u"kůň"_s << false << true << 0 << 3;
    QTest::newRow("ignoreCase_umlautNotFolded") << u"ä"_s << 0 << u"Ä"_s << false << true << -1 << 0;
    QTest::newRow("matchCase_differentCaseNotFound")
        << u"ABC"_s << 0 << u"abc"_s << true << true << -1 << 0;
    QTest::newRow("emptyText_neverMatches") << u"abc"_s << 0 << QString() << false << true << -1 << 0;
    // A line break counts as two characters in positions and lengths.
    QTest::newRow("multiLine_crLfCountsTwo")
        << u"x\r\na\r\nb"_s << 0 << u"a\nb"_s << true << true << 3 << 4;
}

void tst_FindReplace::find()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, findText);
    QFETCH(bool, matchCase);
    QFETCH(bool, fromStart);
    QFETCH(int, foundAt);
    QFETCH(int, foundLength);
    m_fx->setText(text, caret);
    ScriptedInteraction script;
    script.dialog(findWith(findText, matchCase, fromStart));
    trigger(u"SearchFind"_s);
    QVERIFY(script.unexpected.isEmpty());
    QCOMPARE(script.log.first(), u"dialog: Najít"_s);
    if (foundAt < 0) {
        QCOMPARE(script.infos, QStringList{NotFound});
        QCOMPARE(m_fx->buffer().SelStart(), caret);
        QCOMPARE(m_fx->buffer().SelLength(), 0);
        QVERIFY(!m_findNextAvailable);
    } else {
        QVERIFY(script.infos.isEmpty());
        QCOMPARE(m_fx->buffer().SelStart(), foundAt);
        QCOMPARE(m_fx->buffer().SelLength(), foundLength);
        QVERIFY(m_findNextAvailable);
    }
}

void tst_FindReplace::findNextContinuesFromStoredPositionAfterCaretMoved()
{
    m_fx->setText(u"ab ab ab"_s);
    ScriptedInteraction script;
    // Usable at start; before any search it answers like a failed search, which disables
    // it until the next "Najít".
    QVERIFY(m_findNextAvailable);
    trigger(u"SearchFindNext"_s);
    QCOMPARE(script.infos, QStringList{NotFound});
    QCOMPARE(m_fx->buffer().SelLength(), 0);
    QVERIFY(!m_findNextAvailable);
    script.infos.clear();
    script.dialog(findWith(u"ab"_s));
    trigger(u"SearchFind"_s);
    QVERIFY(m_findNextAvailable);
    QCOMPARE(m_fx->buffer().SelStart(), 0);
    QCOMPARE(m_fx->statusText(3), u"1:1"_s);
    m_fx->buffer().SetSelStart(7); // the user moves the caret; the search does not follow
    trigger(u"SearchFindNext"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 3);
    QCOMPARE(m_fx->buffer().SelLength(), 2);
    QCOMPARE(m_fx->statusText(3), u"1:4"_s);
    QVERIFY(script.infos.isEmpty());
}

void tst_FindReplace::findNextStopsAtEndWithoutWrapping()
{
    m_fx->setText(u"ab ab"_s);
    ScriptedInteraction script;
    script.dialog(findWith(u"ab"_s));
    trigger(u"SearchFind"_s);
    trigger(u"SearchFindNext"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 3);
    trigger(u"SearchFindNext"_s);
    QCOMPARE(script.infos, QStringList{NotFound});
    QCOMPARE(m_fx->buffer().SelStart(), 3); // selection unchanged
    QCOMPARE(m_fx->buffer().SelLength(), 2);
    // Nothing more to find: F3 does nothing until the next "Najít" succeeds in starting.
    QVERIFY(!m_findNextAvailable);
    trigger(u"SearchFindNext"_s);
    QCOMPARE(script.infos, QStringList{NotFound});
    script.dialog(findWith(u"zz"_s));
    trigger(u"SearchFind"_s);
    QCOMPARE(script.infos, (QStringList{NotFound, NotFound}));
    QVERIFY(!m_findNextAvailable);
    script.dialog(findWith(u"ab"_s));
    trigger(u"SearchFind"_s);
    QVERIFY(m_findNextAvailable);
    QCOMPARE(m_fx->buffer().SelStart(), 0);
}

void tst_FindReplace::findDialogKeepsTextButResetsOptions()
{
    m_fx->setText(u"Abc"_s);
    ScriptedInteraction script;
    script.dialog(findWith(u"a\nb"_s, true, false));
    trigger(u"SearchFind"_s);
    QString memo;
    bool matchCase = true;
    bool fromStart = false;
    script.dialog([&](QDialog &d) {
        memo = d.findChild<QPlainTextEdit *>(u"Memo1"_s)->toPlainText();
        matchCase = d.findChild<QCheckBox *>(u"CheckBox1"_s)->isChecked();
        fromStart = d.findChild<QCheckBox *>(u"CheckBox2"_s)->isChecked();
        press(d, u"CancelButton"_s);
    });
    const int infosBefore = int(script.infos.size());
    trigger(u"SearchFind"_s);
    QCOMPARE(memo, u"a\nb"_s);
    QVERIFY(!matchCase);
    QVERIFY(fromStart);
    QCOMPARE(script.infos.size(), infosBefore); // Zpět searches nothing
}

void tst_FindReplace::findFromCaretWalksOnPastTheFoundOccurrence()
{
    // "Najít" from the caret, again and again: each search starts after the occurrence the
    // one before selected, as it does after a word selected by hand.
    m_fx->setText(u"kůň a KŮŇ a kůň"_s);
    ScriptedInteraction script;
    for (const int expected : {0, 6, 12}) {
        script.dialog(findWith(u"kůň"_s, false, false));
        trigger(u"SearchFind"_s);
        QCOMPARE(m_fx->buffer().SelStart(), expected);
        QCOMPARE(m_fx->buffer().SelLength(), 3);
    }
    QVERIFY(script.infos.isEmpty());
    script.dialog(findWith(u"kůň"_s, false, false));
    trigger(u"SearchFind"_s);
    QCOMPARE(script.infos, QStringList{NotFound});
    QCOMPARE(m_fx->buffer().SelStart(), 12);
}

void tst_FindReplace::findNextInAnotherWindowStartsAtItsCaret()
{
    // F3 in another window goes on from that window's caret, not from the place the search
    // reached in the page searched before.
    m_commands.reset();
    m_fx = std::make_unique<WorkspaceFixture>(2);
    m_commands = std::make_unique<FindReplaceCommands>(m_fx->workspace(), nullptr);
    connect(m_commands.get(), &FindReplaceCommands::findNextAvailable, this,
            [this](bool available) { m_findNextAvailable = available; });
    DocumentManager &workspace = m_fx->workspace();
    HtmlDocument &first = *workspace.document(1);
    HtmlDocument &second = *workspace.document(2);
    workspace.activateDocument(first);
    m_fx->setText(QString(40, u'x') + u" </p> </p>"_s);
    ScriptedInteraction script;
    script.dialog(findWith(u"</p>"_s));
    trigger(u"SearchFind"_s);
    trigger(u"SearchFindNext"_s);
    QCOMPARE(first.SelStart(), 46);
    workspace.activateDocument(second);
    m_fx->setText(u"a </p> b </p>"_s, 1);
    trigger(u"SearchFindNext"_s);
    QVERIFY(script.infos.isEmpty());
    QCOMPARE(second.SelStart(), 2);
    QCOMPARE(second.SelLength(), 4);
    trigger(u"SearchFindNext"_s);
    QCOMPARE(second.SelStart(), 9);
    QVERIFY(script.infos.isEmpty());
}

void tst_FindReplace::replace_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replacement");
    QTest::addColumn<bool>("matchCase");
    QTest::addColumn<QString>("answers"); // empty: asking off; Y, N, C per question
    QTest::addColumn<QString>("expected");

    // The position moves past each inserted replacement, so it is never replaced again.
    QTest::newRow("growingReplacement_endsAfterOnePass")
        << u"aaa"_s << u"a"_s << u"aa"_s << true << QString() << u"aaaaaa"_s;
    QTest::newRow("noAsking_allReplaced")
        << u"<b>x</b><b>y</b>"_s << u"<b>"_s << u"<B>"_s << true << QString()
        << u"<B>x</b><B>y</b>"_s;
    QTest::newRow("ignoreCase_czechFolding")
        << u"Čas ČAS čas"_s << u"čas"_s << u"t"_s << false << QString() << u"t t t"_s;
    QTest::newRow("matchCase_onlyExact")
        << u"Čas ČAS čas"_s << u"čas"_s << u"t"_s << true << QString() << u"Čas ČAS t"_s;
    QTest::newRow("lineBreakInReplacement")
        << u"a b"_s << u" "_s << u"\n"_s << true << QString() << u"a\r\nb"_s;
    QTest::newRow("lineBreakInFindText")
        << u"a\r\nb\r\nc"_s << u"\nb\n"_s << u"-"_s << true << QString() << u"a-c"_s;
    // A no-break space typed or pasted into the memos stays one: not an ordinary space.
    QTest::newRow("noBreakSpaces_keptApart")
        << u"v domě v\u00A0domě"_s << u"v\u00A0d"_s << u"k\u00A0d"_s << true << QString()
        << u"v domě k\u00A0domě"_s;
    QTest::newRow("notFound_unchanged") << u"abc"_s << u"z"_s << u"y"_s << true << QString()
                                        << u"abc"_s;
    QTest::newRow("emptyFindText_onlyMessage")
        << u"abc"_s << QString() << u"y"_s << true << u""_s << u"abc"_s;
    // Asking: No moves on to the next occurrence, Cancel ends at once.
    QTest::newRow("ask_noThenYes") << u"x1x2x"_s << u"x"_s << QString() << true << u"NYN"_s
                                   << u"x12x"_s;
    QTest::newRow("ask_cancelFirst_unchanged")
        << u"x1x2x"_s << u"x"_s << QString() << true << u"C"_s << u"x1x2x"_s;
    QTest::newRow("ask_yesThenCancel_keepsFirst")
        << u"x1x2x"_s << u"x"_s << QString() << true << u"YC"_s << u"1x2x"_s;
    QTest::newRow("ask_growingReplacement_notAskedAgain")
        << u"aa"_s << u"a"_s << u"aa"_s << true << u"YY"_s << u"aaaa"_s;
}

void tst_FindReplace::replace()
{
    QFETCH(QString, text);
    QFETCH(QString, find);
    QFETCH(QString, replacement);
    QFETCH(bool, matchCase);
    QFETCH(QString, answers);
    QFETCH(QString, expected);
    m_fx->setText(text);
    ScriptedInteraction script;
    script.dialog(replaceWith(find, replacement, matchCase, !answers.isNull()));
    for (QChar c : answers)
        script.answer(answerFor(c));
    trigger(u"SearchReplace"_s);
    QCOMPARE(m_fx->buffer().GetText(), expected);
    QCOMPARE(script.questions.size(), answers.size());
    QCOMPARE(script.infos, QStringList{ReplaceDone});
    QVERIFY(script.unexpected.isEmpty());
    QVERIFY(script.allAnswered());
}

void tst_FindReplace::replaceAsksWithBothTexts()
{
    m_fx->setText(u"a x b"_s);
    ScriptedInteraction script;
    script.dialog(replaceWith(u"x"_s, u"y"_s, true, true)).answer(Interaction::Answer::No);
    trigger(u"SearchReplace"_s);
    QCOMPARE(script.questions, QStringList{u"Nahradit x za y ?"_s});
    QCOMPARE(m_fx->buffer().SelStart(), 2); // the occurrence was selected while asking
    QCOMPARE(m_fx->buffer().SelLength(), 1);
}

void tst_FindReplace::replaceFromCaretWhenNotFromStart()
{
    m_fx->setText(u"x x x"_s, 1);
    ScriptedInteraction script;
    script.dialog(replaceWith(u"x"_s, u"y"_s, true, false, false));
    trigger(u"SearchReplace"_s);
    QCOMPARE(m_fx->buffer().GetText(), u"x y y"_s);
    QCOMPARE(m_fx->buffer().SelStart(), 5); // after the last inserted replacement
}

void tst_FindReplace::replaceRunUndoesInOneStep_data()
{
    QTest::addColumn<QString>("answers");
    QTest::newRow("withoutAsking") << QString();
    QTest::newRow("askingYesEachTime") << u"YYY"_s;
    QTest::newRow("askingNoThenYes") << u"NYY"_s;
}

void tst_FindReplace::replaceRunUndoesInOneStep()
{
    QFETCH(QString, answers);
    const QString text = u"a\r\nb a\r\nc a"_s;
    m_fx->setText(text);
    m_fx->buffer().SetSelStart(0);
    m_fx->buffer().InsertAtCaret(0, u"typed "_s); // an earlier edit that must survive
    const QString before = m_fx->buffer().GetText();
    ScriptedInteraction script;
    script.dialog(replaceWith(u"a"_s, u"<A>"_s, true, !answers.isNull()));
    for (QChar c : answers)
        script.answer(answerFor(c));
    trigger(u"SearchReplace"_s);
    QVERIFY(m_fx->buffer().GetText() != before);
    m_fx->buffer().Undo();
    QCOMPARE(m_fx->buffer().GetText(), before);
}

void tst_FindReplace::replaceDialogRemembersItsChoices()
{
    m_fx->setText(u"abc"_s);
    ScriptedInteraction script;
    script.dialog(replaceWith(u"z"_s, u"y"_s, false, true, false));
    trigger(u"SearchReplace"_s);
    QString memo1, memo2;
    bool matchCase = true, fromStart = false, ask = false;
    script.dialog([&](QDialog &d) {
        memo1 = d.findChild<QPlainTextEdit *>(u"Memo1"_s)->toPlainText();
        memo2 = d.findChild<QPlainTextEdit *>(u"Memo2"_s)->toPlainText();
        matchCase = d.findChild<QCheckBox *>(u"CheckBox1"_s)->isChecked();
        fromStart = d.findChild<QCheckBox *>(u"CheckBox2"_s)->isChecked();
        ask = d.findChild<QCheckBox *>(u"CheckBox3"_s)->isChecked();
        press(d, u"CancelButton"_s);
    });
    trigger(u"SearchReplace"_s);
    QCOMPARE(memo1, u"z"_s);
    QCOMPARE(memo2, u"y"_s);
    QVERIFY(!matchCase);
    QVERIFY(fromStart);
    QVERIFY(ask);
    QCOMPARE(script.infos, QStringList{ReplaceDone}); // Zpět ends without the message
}

void tst_FindReplace::replacePastTheLimitIsRefusedNotCut_data()
{
    // The page has room for two more characters; each "a" → "bb" takes one.
    QTest::addColumn<QString>("answers"); // empty: asking off; Y per question
    QTest::addColumn<QString>("end");     // the page's last six characters afterwards
    QTest::newRow("asking off: the whole run refused") << QString() << u"..aaaa"_s;
    QTest::newRow("asking: the two that fit, then refused") << u"YYY"_s << u"bbbbaa"_s;
}

void tst_FindReplace::replacePastTheLimitIsRefusedNotCut()
{
    QFETCH(QString, answers);
    QFETCH(QString, end);
    const bool asking = !answers.isNull();
    const QString text = QString(HtmlDocument::MaxLength - 6, u'.') + u"aaaa"_s;
    m_fx->setText(text);
    ScriptedInteraction script;
    script.dialog(replaceWith(u"a"_s, u"bb"_s, true, asking));
    for (QChar c : std::as_const(answers))
        script.answer(answerFor(c));
    trigger(u"SearchReplace"_s);
    QCOMPARE(script.errors, QStringList{doesNotFitMessage()});
    QCOMPARE(script.infos, QStringList{ReplaceDone});
    QVERIFY(script.allAnswered());
    const int length = m_fx->buffer().textLength();
    QCOMPARE(m_fx->buffer().textRange(length - 6, 6), end);
    QCOMPARE(m_fx->buffer().IsModified(), asking);
}

void tst_FindReplace::searchesFarIntoLongText()
{
    // The match straddles the boundary of the first search windows.
    QString text = QString(5000, u'.') + u"\r\nneedle"_s;
    m_fx->setText(text);
    for (int from : {0, 1000, 1023, 4095, 5001}) {
        QCOMPARE(m_fx->buffer().findForward(from, u"\r\nneedle"_s, false), 5000);
        QCOMPARE(m_fx->buffer().findForward(from, u"NEEDLE"_s, true), 5002);
    }
    QCOMPARE(m_fx->buffer().findForward(5003, u"needle"_s, false), -1);
}

BRISKO_TEST_MAIN(tst_FindReplace)
#include "tst_findreplace.moc"
