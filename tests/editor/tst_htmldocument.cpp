#include "editor/EditorBuffer.h"
#include "editor/HtmlDocument.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A saver that records what it was asked to save and answers as told.
class RecordingSaver : public DocumentSaver
{
public:
    bool saveDocument(HtmlDocument &document) override
    {
        saved << document.GetText();
        return answer;
    }
    bool answer = true;
    QStringList saved;
};

} // namespace

// The document without any window, and the caret it shares with a view: what the commands
// move shows in the view, what the user moves reaches the commands.
class tst_HtmlDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { QTRY_VERIFY(QApplication::topLevelWidgets().isEmpty()); }

    void editsWithoutAnyView_data();
    void editsWithoutAnyView();
    void commandCaretShowsInTheView();
    void userCaretReachesTheDocument();
    void groupShowsTheCaretOnlyWhenItEnds();
    void readOnlyDocumentRefusesEditsAndItsViewFollows();
    void closeQueryAsksAndSavesThroughTheSaver_data();
    void closeQueryAsksAndSavesThroughTheSaver();
    void viewGoesBeforeItsDocument();
    void clipboardKeepsLineBreaksAsOtherProgramsWant();
};

void tst_HtmlDocument::editsWithoutAnyView_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("caret");
    // The caret ends between the former selection and the suffix.
    QTest::newRow("wrapsSelection") << u"abc"_s << 1 << 1 << u"a<B>b</B>c"_s << 5;
    QTest::newRow("wrapsEmptySelection") << u"ab"_s << 1 << 0 << u"a<B></B>b"_s << 4;
    // Offsets count CR LF as two characters, whichever line the caret is on.
    QTest::newRow("afterLineBreak_countsTwo") << u"x\r\ny"_s << 3 << 1 << u"x\r\n<B>y</B>"_s << 7;
    QTest::newRow("wholeTextSelected") << u"ab\r\ncd"_s << 0 << 6 << u"<B>ab\r\ncd</B>"_s << 9;
}

void tst_HtmlDocument::editsWithoutAnyView()
{
    QFETCH(QString, text);
    QFETCH(int, start);
    QFETCH(int, length);
    QFETCH(QString, expected);
    QFETCH(int, caret);
    HtmlDocument doc;
    doc.loadText(text);
    doc.SetSelStart(start);
    doc.SetSelLength(length);
    doc.WrapSelection(255, u"<B>"_s, u"</B>"_s);
    QCOMPARE(doc.GetText(), expected);
    QCOMPARE(doc.SelStart(), caret);
    QCOMPARE(doc.SelLength(), 0);
    QVERIFY(doc.IsModified());
    doc.Undo();
    QCOMPARE(doc.GetText(), text);
}

void tst_HtmlDocument::commandCaretShowsInTheView()
{
    HtmlDocument doc;
    EditorBuffer view(doc);
    view.show();
    doc.loadText(u"one\r\ntwo\r\nthree"_s);
    doc.SetSelStart(5); // "two"
    doc.SetSelLength(3);
    QCOMPARE(view.textCursor().selectedText(), u"two"_s);
    doc.ReplaceSelection(u"2"_s);
    QCOMPARE(view.textCursor().position(), doc.caret().position());
    QCOMPARE(view.toPlainText(), u"one\n2\nthree"_s);
}

void tst_HtmlDocument::userCaretReachesTheDocument()
{
    HtmlDocument doc;
    EditorBuffer view(doc);
    view.show();
    doc.loadText(u"ab\r\ncd"_s);
    QTextCursor c = view.textCursor();
    c.setPosition(4); // before "d", behind one line break
    view.setTextCursor(c);
    QCOMPARE(doc.SelStart(), 5);
    QTest::keyClicks(&view, u"x"_s);
    QCOMPARE(doc.GetText(), u"ab\r\ncxd"_s);
    QCOMPARE(doc.SelStart(), 6);
    // A command goes on from where the user left the caret.
    doc.InsertAtCaret(0, u"<I>"_s);
    QCOMPARE(doc.GetText(), u"ab\r\ncx<I>d"_s);
}

void tst_HtmlDocument::groupShowsTheCaretOnlyWhenItEnds()
{
    HtmlDocument doc;
    EditorBuffer view(doc);
    view.show();
    doc.loadText(u"text"_s);
    QSignalSpy caretSet(&doc, &HtmlDocument::caretSet);
    {
        HtmlDocument::EditGroup group(doc);
        for (int i = 0; i < 5; ++i)
            doc.InsertAtCaret(0, u"<P>"_s);
        QCOMPARE(caretSet.count(), 0);
    }
    QCOMPARE(caretSet.count(), 1);
    QCOMPARE(view.textCursor().position(), 15);
    QCOMPARE(doc.SelStart(), 15);
}

void tst_HtmlDocument::readOnlyDocumentRefusesEditsAndItsViewFollows()
{
    HtmlDocument doc;
    EditorBuffer view(doc);
    doc.loadText(u"keep"_s);
    doc.setReadOnly(true);
    QVERIFY(view.isReadOnly());
    doc.ReplaceSelection(u"x"_s);
    doc.WrapSelection(0, u"<B>"_s, u"</B>"_s);
    QVERIFY(!doc.replaceOccurrences({0}, 1, u"y"_s));
    QCOMPARE(doc.GetText(), u"keep"_s);
    QVERIFY(!doc.IsModified());
    doc.setReadOnly(false);
    QVERIFY(!view.isReadOnly());
}

void tst_HtmlDocument::closeQueryAsksAndSavesThroughTheSaver_data()
{
    QTest::addColumn<bool>("modified");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("saveSucceeds");
    QTest::addColumn<bool>("mayClose");
    QTest::addColumn<int>("saves");
    QTest::newRow("unmodified_asksNothing") << false << -1 << true << true << 0;
    QTest::newRow("no_closesUnsaved") << true << int(Interaction::Answer::No) << true << true << 0;
    QTest::newRow("yes_savesThenCloses") << true << int(Interaction::Answer::Yes) << true << true << 1;
    // A save that failed keeps the document, so the text is not lost.
    QTest::newRow("yes_failedSaveKeeps") << true << int(Interaction::Answer::Yes) << false << false << 1;
    QTest::newRow("cancel_keeps") << true << int(Interaction::Answer::Cancel) << true << false << 0;
}

void tst_HtmlDocument::closeQueryAsksAndSavesThroughTheSaver()
{
    QFETCH(bool, modified);
    QFETCH(int, answer);
    QFETCH(bool, saveSucceeds);
    QFETCH(bool, mayClose);
    QFETCH(int, saves);
    ScriptedInteraction script;
    RecordingSaver saver;
    saver.answer = saveSucceeds;
    HtmlDocument doc(1, &saver);
    doc.loadText(u"<P>"_s);
    doc.SetModified(modified);
    if (answer >= 0)
        script.answer(Interaction::Answer(answer));
    QCOMPARE(doc.CloseQuery(), mayClose);
    QCOMPARE(saver.saved.size(), saves);
    QCOMPARE(script.questions.size(), answer >= 0 ? 1 : 0);
}

void tst_HtmlDocument::viewGoesBeforeItsDocument()
{
    auto doc = std::make_unique<HtmlDocument>();
    auto view = std::make_unique<EditorBuffer>(*doc);
    view->show();
    doc->loadText(u"<P>a</P>"_s);
    view.reset();
    // The document lives on without a view, and a new view shows it as it is.
    doc->SetSelStart(3);
    EditorBuffer again(*doc);
    QCOMPARE(again.toPlainText(), u"<P>a</P>"_s);
    QCOMPARE(again.textCursor().position(), 3);
}

// Other programs get and give plain line breaks; the document keeps CR LF, and a covered
// (read-only) document gives the clipboard its text but takes nothing.
void tst_HtmlDocument::clipboardKeepsLineBreaksAsOtherProgramsWant()
{
    HtmlDocument doc;
    doc.SetText(QStringLiteral("ab\r\ncd"));
    doc.SelectAll();
    doc.CutToClipboard();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab\ncd"));
    QCOMPARE(doc.GetText(), QString());
    doc.PasteFromClipboard();
    doc.PasteFromClipboard();
    QCOMPARE(doc.GetText(), QStringLiteral("ab\r\ncdab\r\ncd"));
    doc.setReadOnly(true);
    doc.SelectAll();
    doc.CutToClipboard();
    doc.PasteFromClipboard();
    QCOMPARE(doc.GetText(), QStringLiteral("ab\r\ncdab\r\ncd"));
    doc.CopyToClipboard();
    QCOMPARE(QGuiApplication::clipboard()->text(), QStringLiteral("ab\ncdab\ncd"));
}

BRISKO_TEST_MAIN(tst_HtmlDocument)
#include "tst_htmldocument.moc"
