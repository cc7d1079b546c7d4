#include "editor/EditorBuffer.h"
#include "markup/TagItemDrag.h"
#include "markup/TextFile.h"
#include "support/ScriptedInteraction.h"
#include "support/TestMain.h"

#include <QScrollBar>
#include <QSignalSpy>

#include <QClipboard>
#include <QStyleHints>
#include <QGuiApplication>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTreeWidget>

using namespace Qt::StringLiterals;

namespace {
constexpr ColorValue Red = 255;
constexpr ColorValue Blue = 16711680;
constexpr ColorValue Black = 0;

// A generated page: one line of about a megabyte of markup and Czech text between two
// short lines.
QString pageWithALongLine()
{
    QString line;
    for (int i = 0; line.size() < 950'000; ++i)
        line += u"<a href=\"/c/%1.html\" title=\"Článek\">Příliš žluťoučký kůň</a> "_s.arg(i);
    line.truncate(950'000);
    return u"<p>krátký</p>\r\n"_s + line + u"\r\n<p>konec</p>"_s;
}
constexpr int LongLineStart = 15; // the offset after "<p>krátký</p>\r\n"
constexpr int LongLineEnd = LongLineStart + 950'000;
}

class tst_EditorBuffer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup()
    {
        m_buffer.reset();
        m_document.reset();
    }

    void offsetsCountLineBreaksAsTwo_data();
    void offsetsCountLineBreaksAsTwo();
    void textComesBackWithCrLf();
    void loadedPageIsFreshAndInTheInsertionColour();
    void pageGoesInWithoutNarrowingTheView();
    void wrapSelectionAroundSelectedText();
    void wrapSelectionWithEmptySelection();
    void wrapSelectionIsOneUndoStep();
    void undoOfACommandLeavesTheCaretAtTheEdit_data();
    void undoOfACommandLeavesTheCaretAtTheEdit();
    void insertAtCaretBeforeSelection();
    void replaceSelectionKeepsLengthLimit();
    void pasteGoesInWholeOrNotAtAll_data();
    void pasteGoesInWholeOrNotAtAll();
    void editGroupShowsTheCaretOnceTheLinesAreLaidOut();
    void keysThatWidenThePageKeepCaretAndScrollRange_data();
    void keysThatWidenThePageKeepCaretAndScrollRange();
    void caretStandsStillOnlyOnAVeryLongLine();
    void longLinesKeepTheirShapesWhereverTheyStand_data();
    void longLinesKeepTheirShapesWhereverTheyStand();
    void keysInALongLineChangeTheTextExactly_data();
    void keysInALongLineChangeTheTextExactly();
    void longLinePageSavesAndCopiesUnchanged();
    void longLineShowsAsQtDrawsIt_data();
    void longLineShowsAsQtDrawsIt();
    void lineOperations();
    void searchesAroundTheCaret_data();
    void searchesAroundTheCaret();
    void colorRunsKeepModifiedFlag();
    void typingColoursAsYouGo_data();
    void typingColoursAsYouGo();
    void tabInsertsSpaces();
    void tabOverSelectedLinesIndentsThem_data();
    void tabOverSelectedLinesIndentsThem();
    void insertKeyIsSwallowed();
    void altWithALetterTypesNothing_data();
    void altWithALetterTypesNothing();
    void ctrlEnterInsertsText();
    void enterIndentsLikeLineAbove_data();
    void enterIndentsLikeLineAbove();
    void enterThatClosedADialogDoesNotIndent();
    void separatorsAreLineBreaks_data();
    void separatorsAreLineBreaks();
    void loadedBreaksOfEveryKindAreLineBreaks_data();
    void loadedBreaksOfEveryKindAreLineBreaks();
    void textTypedBeforeFirstTagTakesTextColour();
    void caretReportFollowsIndentation();
    void keysReportCaretPosition();
    void selectTagAtCaret_data();
    void selectTagAtCaret();
    void dragsOfTagItemsAreTakenOthersGoOn_data();
    void dragsOfTagItemsAreTakenOthersGoOn();

private:
    void setText(const QString &text, int caret = 0, int length = 0)
    {
        m_document->loadText(text);
        m_document->SetSelStart(caret);
        m_document->SetSelLength(length);
    }
    std::unique_ptr<HtmlDocument> m_document; // outlives its view
    std::unique_ptr<EditorBuffer> m_buffer;
};

void tst_EditorBuffer::init()
{
    m_document = std::make_unique<HtmlDocument>();
    m_buffer = std::make_unique<EditorBuffer>(*m_document);
    EditorKeyOptions keys;
    keys.textColor = Black;
    keys.tagColor = Red;
    keys.tabText = u"    "_s;
    keys.autoIndent = [] { return true; };
    m_buffer->setKeyOptions(keys);
    m_buffer->show();
}

void tst_EditorBuffer::offsetsCountLineBreaksAsTwo_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("line");
    QTest::addColumn<QString>("selectedToEnd");
    QTest::newRow("start") << u"ab\r\ncd"_s << 0 << 0 << u"ab\r\ncd"_s;
    QTest::newRow("before-cr") << u"ab\r\ncd"_s << 2 << 0 << u"\r\ncd"_s;
    QTest::newRow("after-lf") << u"ab\r\ncd"_s << 4 << 1 << u"cd"_s;
    QTest::newRow("empty-lines") << u"a\r\n\r\n\r\nb"_s << 7 << 3 << u"b"_s;
    QTest::newRow("end") << u"ab\r\ncd"_s << 6 << 1 << QString();
}

void tst_EditorBuffer::offsetsCountLineBreaksAsTwo()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, line);
    QFETCH(QString, selectedToEnd);
    setText(text, offset);
    QCOMPARE(m_document->SelStart(), offset);
    QCOMPARE(m_document->LineFromOffset(offset), line);
    m_document->SetSelLength(text.size() - offset);
    QCOMPARE(m_document->SelLength(), text.size() - offset);
    QCOMPARE(m_document->SelText(), selectedToEnd);
    QCOMPARE(m_document->textLength(), text.size());
}

void tst_EditorBuffer::textComesBackWithCrLf()
{
    setText(u"a\nb\rc\r\n\u00a0d"_s);
    // A no-break space is a character of the page, not a plain space.
    QCOMPARE(m_document->GetText(), u"a\r\nb\r\nc\r\n\u00a0d"_s);
    QVERIFY(!m_document->IsModified());
    m_document->SetText(u"x\r\ny"_s);
    QCOMPARE(m_document->GetText(), u"x\r\ny"_s);
    QVERIFY(m_document->IsModified());
}

void tst_EditorBuffer::loadedPageIsFreshAndInTheInsertionColour()
{
    m_buffer->resize(300, 200);
    m_document->ReplaceSelection(u"typed before"_s);
    m_document->SetInsertionColor(Red);
    QString page;
    for (int i = 0; i < 200; ++i)
        page += u"<P>line\r\n"_s;
    m_document->loadText(page);
    QCOMPARE(m_document->GetText(), page);
    QCOMPARE(m_document->colorAt(0), Red);
    QCOMPARE(m_document->colorAt(page.size() - 3), Red);
    QVERIFY(!m_document->IsModified());
    QVERIFY(!m_buffer->document()->isUndoAvailable());
    QVERIFY(m_buffer->document()->isUndoRedoEnabled());
    QCOMPARE(m_document->SelStart(), 0);
    // The scroll bar is shown while the page goes in, and follows the text again after.
    QCOMPARE(m_buffer->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
    QVERIFY(m_buffer->verticalScrollBar()->isVisible());
    m_document->loadText(u"short"_s);
    QVERIFY(!m_buffer->verticalScrollBar()->isVisible());
}

// A text area that narrows once a page is in has Qt lay every line out anew (for a 1 MB page
// an object per line, kept): neither the scroll bar nor the line numbers may narrow it then.
void tst_EditorBuffer::pageGoesInWithoutNarrowingTheView()
{
    class WidthsWithText : public QObject
    {
    public:
        explicit WidthsWithText(EditorBuffer &buffer)
            : m_buffer(buffer)
        {
            buffer.viewport()->installEventFilter(this);
        }
        int changes = 0;

    protected:
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() != QEvent::Resize || m_buffer.blockCount() <= 1)
                return false;
            auto *resize = static_cast<QResizeEvent *>(event);
            if (resize->size().width() != resize->oldSize().width())
                ++changes;
            return false;
        }

    private:
        EditorBuffer &m_buffer;
    };
    m_buffer->resize(300, 200);
    QVERIFY(m_buffer->gutterShown());
    WidthsWithText widths(*m_buffer);
    m_document->loadText(u"<P>line\r\n"_s.repeated(20000));
    QCoreApplication::processEvents();
    QCOMPARE(widths.changes, 0);
    QCOMPARE(m_buffer->blockCount(), 20001);
}

void tst_EditorBuffer::wrapSelectionAroundSelectedText()
{
    setText(u"abc"_s, 1, 1);
    m_document->ColorRange(0, 3, Blue);
    m_document->WrapSelection(Red, u"<B>"_s, u"</B>"_s);
    QCOMPARE(m_document->GetText(), u"a<B>b</B>c"_s);
    QCOMPARE(m_document->SelStart(), 5);
    QCOMPARE(m_document->SelLength(), 0);
    for (int i : {1, 2, 3, 5, 6, 7, 8})
        QCOMPARE(m_document->colorAt(i), Red);
    QCOMPARE(m_document->colorAt(4), Blue);
    QCOMPARE(m_document->colorAt(0), Blue);
    QCOMPARE(m_document->colorAt(9), Blue);
}

void tst_EditorBuffer::wrapSelectionWithEmptySelection()
{
    setText(u"x\r\ny"_s, 3);
    m_document->WrapSelection(Red, u"<P>\r\n"_s, u"\r\n</P>"_s);
    QCOMPARE(m_document->GetText(), u"x\r\n<P>\r\n\r\n</P>y"_s);
    QCOMPARE(m_document->SelStart(), 8);
}

void tst_EditorBuffer::wrapSelectionIsOneUndoStep()
{
    setText(u"abc"_s, 0, 3);
    m_document->WrapSelection(Red, u"<I>"_s, u"</I>"_s);
    m_document->Undo();
    QCOMPARE(m_document->GetText(), u"abc"_s);
}

void tst_EditorBuffer::undoOfACommandLeavesTheCaretAtTheEdit_data()
{
    QTest::addColumn<int>("command");
    QTest::addColumn<int>("selected");
    QTest::newRow("wrap the selection") << 0 << 5;
    QTest::newRow("wrap at the caret") << 0 << 0;
    QTest::newRow("insert at the caret") << 1 << 0;
    QTest::newRow("replace occurrences") << 2 << 0;
}

void tst_EditorBuffer::undoOfACommandLeavesTheCaretAtTheEdit()
{
    // A dialog's markup written far down a long page and taken back: the page stays where
    // the user works, not at its first line.
    QFETCH(int, command);
    QFETCH(int, selected);
    QString page;
    for (int i = 0; i < 400; ++i)
        page += u"line %1 of the page\r\n"_s.arg(i);
    const int caret = m_document->LineStart(0) + int(page.indexOf(u"line 390"));
    setText(page, caret, selected);
    switch (command) {
    case 0:
        m_document->WrapSelection(Red, u"<A HREF=\"x.html\">"_s, u"</A>"_s);
        break;
    case 1:
        m_document->InsertAtCaret(Red, u"<HR>"_s);
        break;
    default:
        QVERIFY(m_document->replaceOccurrences({caret}, 4, u"řádek"_s));
    }
    m_document->Undo();
    QCOMPARE(m_document->GetText(), page);
    // On the line it was written on (Qt puts the caret at either end of what came back).
    QCOMPARE(m_document->LineFromOffset(m_document->SelStart()), m_document->LineFromOffset(caret));
}

void tst_EditorBuffer::insertAtCaretBeforeSelection()
{
    setText(u"0123456"_s, 2, 3);
    m_document->InsertAtCaret(Red, u"<HR>"_s);
    QCOMPARE(m_document->GetText(), u"01<HR>23456"_s);
    QCOMPARE(m_document->SelStart(), 9);
    QCOMPARE(m_document->SelLength(), 0);
}

void tst_EditorBuffer::replaceSelectionKeepsLengthLimit()
{
    setText(QString(HtmlDocument::MaxLength - 2, u'a'), HtmlDocument::MaxLength - 2);
    m_document->ReplaceSelection(u"\r\nbc"_s);
    QCOMPARE(m_document->textLength(), HtmlDocument::MaxLength);
    QVERIFY(m_document->GetText().endsWith(u"a\r\n"_s));
}

void tst_EditorBuffer::pasteGoesInWholeOrNotAtAll_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<bool>("viaCommand"); // Ctrl+V, Shift+Ins and the toolbar; else the view's menu
    // The page has room for five more characters; a line break takes two.
    for (const bool viaCommand : {false, true}) {
        const char *via = viaCommand ? "command" : "view";
        QTest::addRow("%s: exactly fits", via) << u"ab\r\nc"_s << 0 << true << viaCommand;
        QTest::addRow("%s: one too many, cut in a word before", via)
            << u"slovo slovo"_s << 0 << false << viaCommand;
        QTest::addRow("%s: a lone LF counts two", via) << u"abcd\n"_s << 0 << false << viaCommand;
        QTest::addRow("%s: the selection's room counts", via) << u"slovo slovo"_s << 6 << true << viaCommand;
    }
}

void tst_EditorBuffer::pasteGoesInWholeOrNotAtAll()
{
    QFETCH(QString, pasted);
    QFETCH(int, selected);
    QFETCH(bool, fits);
    QFETCH(bool, viaCommand);
    ScriptedInteraction script;
    const int length = HtmlDocument::MaxLength - 5;
    setText(QString(length, u'a'), length - selected, selected);
    QGuiApplication::clipboard()->setText(pasted);
    if (viaCommand)
        m_document->PasteFromClipboard();
    else
        m_buffer->PasteFromClipboard();
    QCOMPARE(script.errors.size(), fits ? 0 : 1);
    if (fits) {
        QVERIFY(m_document->GetText().endsWith(QString(pasted).replace(u"\r\n"_s, u"\n"_s)
                                                 .replace(u'\n', u"\r\n"_s)));
    } else {
        QCOMPARE(m_document->textLength(), length);
        QVERIFY(!m_document->IsModified());
    }
}

// An edit group changes lines the control has not laid out yet; the caret is handed to
// the control only when the group is closed, so it never measures lines that are not there.
void tst_EditorBuffer::editGroupShowsTheCaretOnceTheLinesAreLaidOut()
{
    QString page;
    for (int i = 0; i < 200; ++i)
        page += u"<P>řádek</P>\r\n"_s;
    m_buffer->resize(400, 200);
    m_buffer->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_buffer.get()));
    setText(page, 5 * 14, 3);
    QSignalSpy caretSet(m_buffer.get(), &QPlainTextEdit::cursorPositionChanged);
    {
        HtmlDocument::EditGroup group(*m_document);
        for (int row = 0; row < 50; ++row) {
            m_document->WrapSelection(Red, u"<TR>\r\n"_s, u"</TR>\r\n"_s);
            m_document->SetSelLength(2);
        }
    }
    QVERIFY2(caretSet.count() <= 2, qPrintable(QString::number(caretSet.count())));
    // Fifty rows further down, and in view.
    QVERIFY(m_buffer->textCursor().selectionStart() > 5 * 13 + 50 * 6);
    QVERIFY(m_buffer->viewport()->rect().intersects(m_buffer->cursorRect()));
    m_document->Undo();
    QCOMPARE(m_document->GetText(), page);
}

// The scroll bars take a wider page after the key's paint: the caret must still be in view
// at once, also where the key pushed it past the right edge, and the range must grow.
void tst_EditorBuffer::keysThatWidenThePageKeepCaretAndScrollRange_data()
{
    QTest::addColumn<int>("line");   // the widest line is the first or the last
    QTest::addColumn<bool>("atEnd"); // the caret at its end (scrolled right) or its start
    QTest::addColumn<int>("key");
    QTest::newRow("start of the first line") << 0 << false << int(Qt::Key_W);
    QTest::newRow("end of the first line, scrolled right") << 0 << true << int(Qt::Key_W);
    QTest::newRow("end of the last line, scrolled down and right") << 1 << true << int(Qt::Key_W);
    QTest::newRow("Enter at the end of the last line") << 1 << true << int(Qt::Key_Return);
}

void tst_EditorBuffer::keysThatWidenThePageKeepCaretAndScrollRange()
{
    QFETCH(int, line);
    QFETCH(bool, atEnd);
    QFETCH(int, key);
    m_buffer->resize(300, 200);
    QVERIFY(QTest::qWaitForWindowExposed(m_buffer.get()));
    const QString wide = u"<P>"_s + QString(200, u'm');
    QString page = u"<P>short\r\n"_s.repeated(40);
    page = line == 0 ? wide + u"\r\n"_s + page : page + wide;
    const int lineStart = line == 0 ? 0 : int(page.size() - wide.size());
    setText(page, atEnd ? lineStart + int(wide.size()) : lineStart);
    m_buffer->ensureCursorVisible();
    QCoreApplication::processEvents();
    QScrollBar *bar = m_buffer->horizontalScrollBar();
    const int range = bar->maximum();
    QVERIFY(range > 0);
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(m_buffer.get(), Qt::Key(key));
        QVERIFY2(m_buffer->viewport()->rect().contains(m_buffer->cursorRect()),
                 qPrintable(QString::number(i)));
    }
    if (key != Qt::Key_Return)
        QTRY_VERIFY(bar->maximum() > range);
    QCoreApplication::processEvents();
    QVERIFY(m_buffer->viewport()->rect().contains(m_buffer->cursorRect()));
}

// Each blink redraws the caret's whole line: on a megabyte line the idle editor would
// never rest. The desktop's blinking comes back when the caret or the keyboard leaves.
void tst_EditorBuffer::caretStandsStillOnlyOnAVeryLongLine()
{
    QStyleHints *hints = QGuiApplication::styleHints();
    const int blinking = hints->cursorFlashTime();
    QVERIFY(blinking > 0);
    setText(u"krátký\r\n"_s + QString(EditorBuffer::SteadyCaretLineLength + 1, u'a'));
    m_buffer->show();
    m_buffer->activateWindow();
    m_buffer->setFocus();
    QTRY_VERIFY(m_buffer->hasFocus());
    m_document->SetSelStart(20);
    QCOMPARE(hints->cursorFlashTime(), 0);
    m_document->SetSelStart(2);
    QCOMPARE(hints->cursorFlashTime(), blinking);
    m_document->SetSelStart(30);
    QCOMPARE(hints->cursorFlashTime(), 0);
    m_buffer->clearFocus();
    QCOMPARE(hints->cursorFlashTime(), blinking);
    m_buffer->setFocus();
    QTRY_COMPARE(hints->cursorFlashTime(), 0);
    m_buffer.reset(); // a window closed with the caret there gives the blinking back too
    QCOMPARE(hints->cursorFlashTime(), blinking);
}

void tst_EditorBuffer::longLinesKeepTheirShapesWhereverTheyStand_data()
{
    // A page is loaded, then a text goes in over the selection at caret; the lines at and
    // after the change are where a walk that ends one block early or late goes wrong.
    const QString longLine(HtmlDocument::LongLineLength + 1, u'a');
    const QString limitLine(HtmlDocument::LongLineLength, u'b');
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("inserted");
    QTest::addRow("loaded, first line") << longLine + u"\r\nx\r\ny"_s << 0 << QString();
    QTest::addRow("loaded, last line, no break after") << u"x\r\ny\r\n"_s + longLine << 0 << QString();
    QTest::addRow("loaded, one line at the limit") << u"x\r\n"_s + limitLine + u"\r\ny"_s << 0 << QString();
    QTest::addRow("pasted at the end") << u"x\r\ny"_s << 4 << u"\r\n"_s + longLine;
    QTest::addRow("pasted as the last of several lines")
        << u"x\r\ny"_s << 1 << u"\r\nz\r\n"_s + longLine + u"\r\n"_s;
    QTest::addRow("pasted into a short line") << u"xy\r\nz"_s << 1 << longLine;
}

void tst_EditorBuffer::longLinesKeepTheirShapesWhereverTheyStand()
{
    QFETCH(QString, page);
    QFETCH(int, caret);
    QFETCH(QString, inserted);
    setText(page, caret);
    if (!inserted.isEmpty())
        m_document->ReplaceSelection(inserted);
    int longLines = 0;
    for (QTextBlock b = m_buffer->document()->firstBlock(); b.isValid(); b = b.next()) {
        longLines += HtmlDocument::isLongLine(b);
        QCOMPARE(b.layout()->cacheEnabled(), HtmlDocument::isLongLine(b));
    }
    QCOMPARE(longLines, page.contains(u'a') || inserted.contains(u'a') ? 1 : 0);
}

void tst_EditorBuffer::keysInALongLineChangeTheTextExactly_data()
{
    QTest::addColumn<int>("caret");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("from");    // where the text changes
    QTest::addColumn<int>("removed"); // characters of the page taken out there
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("caretAfter");
    const int middle = LongLineStart + 475'000;
    QTest::newRow("letter-at-the-start") << LongLineStart << int(Qt::Key_A) << LongLineStart << 0 << u"a"_s << LongLineStart + 1;
    QTest::newRow("letter-in-the-middle") << middle << int(Qt::Key_A) << middle << 0 << u"a"_s << middle + 1;
    QTest::newRow("letter-at-the-end") << LongLineEnd << int(Qt::Key_A) << LongLineEnd << 0 << u"a"_s << LongLineEnd + 1;
    QTest::newRow("backspace-in-the-middle") << middle << int(Qt::Key_Backspace) << middle - 1 << 1 << QString() << middle - 1;
    QTest::newRow("delete-in-the-middle") << middle << int(Qt::Key_Delete) << middle << 1 << QString() << middle;
    // A line break is two characters of the offsets: joining lines takes both.
    QTest::newRow("backspace-joins-the-line-above") << LongLineStart << int(Qt::Key_Backspace) << LongLineStart - 2 << 2 << QString() << LongLineStart - 2;
    QTest::newRow("delete-joins-the-line-below") << LongLineEnd << int(Qt::Key_Delete) << LongLineEnd << 2 << QString() << LongLineEnd;
}

// Every key typed into a line of a megabyte changes the text where the caret is and nothing
// else, the caret and the offsets follow, and one undo gives back the page.
void tst_EditorBuffer::keysInALongLineChangeTheTextExactly()
{
    QFETCH(int, caret);
    QFETCH(int, key);
    QFETCH(int, from);
    QFETCH(int, removed);
    QFETCH(QString, typed);
    QFETCH(int, caretAfter);
    m_buffer->resize(600, 300);
    const QString page = pageWithALongLine();
    setText(page, caret);
    QTest::keyClick(m_buffer.get(), Qt::Key(key));
    QString expected = page;
    expected.replace(from, removed, typed);
    QCOMPARE(m_document->textLength(), expected.size());
    QVERIFY(m_document->GetText() == expected);
    QCOMPARE(m_document->SelStart(), caretAfter);
    QCOMPARE(m_document->LineFromOffset(caretAfter), int(expected.left(caretAfter).count(u"\r\n"_s)));
    QCOMPARE(m_document->textRange(caretAfter - 3, 6), expected.mid(caretAfter - 3, 6));
    QVERIFY(m_buffer->viewport()->rect().intersects(m_buffer->cursorRect()));
    // The typed character takes the line's one colour, whether it stands in a tag or not.
    if (!typed.isEmpty())
        QCOMPARE(m_document->colorAt(from), m_document->colorAt(from + 1));
    m_document->Undo();
    QVERIFY(m_document->GetText() == page);
}

// The page's bytes come back as read after typing and taking it back, and the whole line
// selected and copied is the exact text.
void tst_EditorBuffer::longLinePageSavesAndCopiesUnchanged()
{
    const QTemporaryDir dir;
    const QString path = dir.filePath(u"stranka.htm"_s);
    const QString page = pageWithALongLine();
    QVERIFY(writeTextFile(path, page).isEmpty());
    QFile original(path);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray bytes = original.readAll();
    original.close();

    m_document->showLoadedText(path, readDocumentFile(path));
    m_document->SetSelStart(LongLineStart + 1000);
    QTest::keyClicks(m_buffer.get(), u"x<"_s);
    QTest::keyClick(m_buffer.get(), Qt::Key_Backspace);
    QTest::keyClick(m_buffer.get(), Qt::Key_Backspace);
    QVERIFY(m_document->IsModified());
    QVERIFY(m_document->GetText() == page);
    const QString saved = dir.filePath(u"ulozena.htm"_s);
    QVERIFY(writeTextFile(saved, m_document->GetText(), m_document->lineEnding(), m_document->encoding()).isEmpty());
    QFile written(saved);
    QVERIFY(written.open(QIODevice::ReadOnly));
    QVERIFY(written.readAll() == bytes);

    m_document->SetSelStart(LongLineStart);
    m_document->SetSelLength(LongLineEnd - LongLineStart);
    m_buffer->copy();
    QVERIFY(QGuiApplication::clipboard()->text() == page.mid(LongLineStart, LongLineEnd - LongLineStart));
}

void tst_EditorBuffer::longLineShowsAsQtDrawsIt_data()
{
    QTest::addColumn<QString>("after"); // the caret goes after this text of the long line
    QTest::addColumn<int>("selected");
    QTest::newRow("at-the-start") << QString() << 0;
    QTest::newRow("far-in-with-a-selection") << u"\"300.html\">Pří"_s << 12;
    QTest::newRow("selection-from-before-the-view") << u"\"10.html\">"_s << 9'000;
    // The caret in an end tag: the pair is marked, both tags in view.
    QTest::newRow("in-a-tag-with-its-pair") << u"\"400.html\">Příliš kůň</"_s << 0;
}

// The editor draws a long line only as far as it shows: the view is the picture Qt draws
// of a line of the same text ending within the limit, caret, selection and marks included.
void tst_EditorBuffer::longLineShowsAsQtDrawsIt()
{
    QFETCH(QString, after);
    QFETCH(int, selected);
    QStyleHints *hints = QGuiApplication::styleHints();
    const int blinking = hints->cursorFlashTime();
    hints->setCursorFlashTime(0); // the caret shows in both pictures
    QString line;
    for (int i = 0; line.size() < HtmlDocument::LongLineLength + 100; ++i)
        line += u"<a href=\"%1.html\">Příliš kůň</a> "_s.arg(i);
    const int caret = int(line.indexOf(after) + after.size());
    const auto picture = [&](int length) {
        HtmlDocument document;
        EditorBuffer view(document);
        view.resize(500, 200);
        view.show();
        document.loadText(u"<p>krátký</p>\r\n"_s + line.left(length) + u"\r\n<p>konec</p>"_s);
        view.activateWindow();
        view.setFocus();
        [&] { QTRY_VERIFY(view.hasFocus()); }();
        document.SetSelStart(LongLineStart + caret);
        document.SetSelLength(selected);
        view.typingAids().updatePairMarks();
        return view.viewport()->grab().toImage();
    };
    const QImage drawnHere = picture(HtmlDocument::LongLineLength + 100);
    const QImage drawnByQt = picture(HtmlDocument::LongLineLength);
    hints->setCursorFlashTime(blinking);
    QVERIFY(!drawnHere.isNull());
    QVERIFY(drawnHere == drawnByQt);
}

void tst_EditorBuffer::lineOperations()
{
    setText(u"one\r\ntwo\r\n\r\nfour"_s);
    QCOMPARE(m_document->lineCount(), 4);
    QCOMPARE(m_document->LineStart(1), 5);
    QCOMPARE(m_document->LineStart(3), 12);
    QCOMPARE(m_document->LineText(1), u"two"_s);
    QCOMPARE(m_document->LineText(2), QString());
    QCOMPARE(m_document->textRange(3, 4), u"\r\ntw"_s);
}

void tst_EditorBuffer::searchesAroundTheCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("lastLt");
    QTest::addColumn<int>("firstGt");
    QTest::newRow("same-line") << u"<a> <b>"_s << 5 << 4 << 6;
    QTest::newRow("lines-apart") << u"<a\r\n\r\nx>"_s << 6 << 0 << 7;
    QTest::newRow("needle-at-caret-not-before") << u"<a>"_s << 0 << -1 << 2;
    QTest::newRow("none") << u"plain\r\ntext"_s << 4 << -1 << -1;
}

void tst_EditorBuffer::searchesAroundTheCaret()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    QFETCH(int, lastLt);
    QFETCH(int, firstGt);
    setText(text);
    QCOMPARE(m_document->lastIndexBefore(offset, u'<'), lastLt);
    QCOMPARE(m_document->firstIndexFrom(offset, u'>'), firstGt);
}

void tst_EditorBuffer::colorRunsKeepModifiedFlag()
{
    setText(u"<a>\r\nb<c>"_s);
    const std::vector<ColorRun> runs{{0, 3, Red}, {5, 1, Blue}, {6, 3, Red}};
    m_document->applyColorRuns(runs);
    QVERIFY(!m_document->IsModified());
    QCOMPARE(m_document->colorAt(0), Red);
    QCOMPARE(m_document->colorAt(2), Red);
    QCOMPARE(m_document->colorAt(5), Blue);
    QCOMPARE(m_document->colorAt(8), Red);
}

void tst_EditorBuffer::typingColoursAsYouGo_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<ColorValue>("color");
    QTest::newRow("lt-in-text") << u"text "_s << u"<"_s << Red;
    QTest::newRow("inside-tag") << u"<B"_s << u"x"_s << Red;
    QTest::newRow("after-tag") << u"<B>"_s << u"x"_s << Black;
}

void tst_EditorBuffer::typingColoursAsYouGo()
{
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(ColorValue, color);
    setText(before, before.size());
    m_document->SetInsertionColor(Blue);
    QTest::keyClicks(m_buffer.get(), typed);
    QCOMPARE(m_document->GetText(), before + typed);
    QCOMPARE(m_document->colorAt(before.size()), color);
}

void tst_EditorBuffer::tabInsertsSpaces()
{
    setText(u"ab"_s, 1);
    QTest::keyClick(m_buffer.get(), Qt::Key_Tab);
    QCOMPARE(m_document->GetText(), u"a    b"_s);
}

void tst_EditorBuffer::tabOverSelectedLinesIndentsThem_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selStart");
    QTest::addColumn<int>("selLength");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("selected"); // afterwards
    QTest::newRow("two lines in part") << u"ab\r\ncd\r\nef"_s << 1 << 4
                                       << u"    ab\r\n    cd\r\nef"_s << u"b\r\n    c"_s;
    QTest::newRow("a whole line with its break") << u"ab\r\ncd"_s << 0 << 4
                                                 << u"    ab\r\ncd"_s << u"    ab\r\n"_s;
    // Within one line the tab replaces the selection, as any key typed over it does.
    QTest::newRow("within a line") << u"ab cd"_s << 1 << 3 << u"a    d"_s << QString();
}

void tst_EditorBuffer::tabOverSelectedLinesIndentsThem()
{
    QFETCH(QString, text);
    QFETCH(int, selStart);
    QFETCH(int, selLength);
    QFETCH(QString, expected);
    QFETCH(QString, selected);
    setText(text, selStart, selLength);
    QTest::keyClick(m_buffer.get(), Qt::Key_Tab);
    QCOMPARE(m_document->GetText(), expected);
    QCOMPARE(m_document->SelText(), selected);
    m_document->Undo();
    QCOMPARE(m_document->GetText(), text);
}

void tst_EditorBuffer::insertKeyIsSwallowed()
{
    setText(u"ab"_s, 0);
    QTest::keyClick(m_buffer.get(), Qt::Key_Insert);
    QTest::keyClicks(m_buffer.get(), u"x"_s);
    QCOMPARE(m_document->GetText(), u"xab"_s);
    QVERIFY(!m_buffer->overwriteMode());
}

void tst_EditorBuffer::altWithALetterTypesNothing_data()
{
    QTest::addColumn<char>("letter");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("text");
    // A menu that has no such letter left the letter in the page.
    QTest::newRow("Alt+S") << 's' << int(Qt::AltModifier) << u"ab"_s;
    QTest::newRow("Alt+Shift+S") << 'S' << int(Qt::AltModifier | Qt::ShiftModifier) << u"ab"_s;
    QTest::newRow("Alt+1") << '1' << int(Qt::AltModifier) << u"ab"_s;
    QTest::newRow("AltGr as Ctrl+Alt types") << '@' << int(Qt::ControlModifier | Qt::AltModifier)
                                             << u"a@b"_s;
    QTest::newRow("plain letter types") << 's' << int(Qt::NoModifier) << u"asb"_s;
}

void tst_EditorBuffer::altWithALetterTypesNothing()
{
    QFETCH(char, letter);
    QFETCH(int, modifiers);
    QFETCH(QString, text);
    setText(u"ab"_s, 1);
    QTest::keyClick(m_buffer.get(), letter, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_document->GetText(), text);
}

void tst_EditorBuffer::ctrlEnterInsertsText()
{
    setText(u"ab"_s, 1);
    QTest::keyClick(m_buffer.get(), Qt::Key_Return, Qt::ControlModifier);
    QCOMPARE(m_document->GetText(), u"a<BR>\r\nb"_s);
    QCOMPARE(m_document->colorAt(1), Red);
}

void tst_EditorBuffer::enterIndentsLikeLineAbove_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");
    QTest::newRow("two-tabs-give-two-spaces") << u"\t\tx"_s << u"\t\tx\r\n  "_s;
    QTest::newRow("spaces") << u"   x"_s << u"   x\r\n   "_s;
    QTest::newRow("no-indent") << u"x"_s << u"x\r\n"_s;
}

void tst_EditorBuffer::enterIndentsLikeLineAbove()
{
    QFETCH(QString, line);
    QFETCH(QString, expected);
    setText(line, line.size());
    QTest::keyClick(m_buffer.get(), Qt::Key_Return);
    QCOMPARE(m_document->GetText(), expected);
}

void tst_EditorBuffer::enterThatClosedADialogDoesNotIndent()
{
    setText(u"    x"_s, 5);
    // The press went to a dialog that closed on it; only the release reaches the editor.
    QTest::keyRelease(m_buffer.get(), Qt::Key_Return);
    QCOMPARE(m_document->GetText(), u"    x"_s);
    // A press that focus took elsewhere before the release does not count either.
    QTest::keyPress(m_buffer.get(), Qt::Key_Return);
    QFocusEvent out(QEvent::FocusOut);
    QCoreApplication::sendEvent(m_buffer.get(), &out);
    QTest::keyRelease(m_buffer.get(), Qt::Key_Return);
    QCOMPARE(m_document->GetText(), u"    x\r\n"_s);
    // An ordinary Enter still indents.
    QTest::keyClick(m_buffer.get(), Qt::Key_Return);
    QCOMPARE(m_document->GetText(), u"    x\r\n\r\n"_s);
}

void tst_EditorBuffer::separatorsAreLineBreaks_data()
{
    QTest::addColumn<QString>("inserted");
    QTest::newRow("line separator") << QString(QChar::LineSeparator);
    QTest::newRow("paragraph separator") << QString(QChar::ParagraphSeparator);
}

void tst_EditorBuffer::separatorsAreLineBreaks()
{
    QFETCH(QString, inserted);
    setText(u"ab"_s, 1);
    m_document->ReplaceSelection(inserted);
    QCOMPARE(m_document->GetText(), u"a\r\nb"_s);
    QCOMPARE(m_document->textLength(), 4);
    QCOMPARE(m_document->SelStart(), 3);

    // Pasted text goes through the same conversion.
    setText(u"ab"_s, 1);
    QGuiApplication::clipboard()->setText(u"x"_s + inserted + u"y"_s);
    m_buffer->PasteFromClipboard();
    QCOMPARE(m_document->GetText(), u"ax\r\nyb"_s);
}

void tst_EditorBuffer::loadedBreaksOfEveryKindAreLineBreaks_data()
{
    QTest::addColumn<QString>("loaded");
    QTest::addColumn<QString>("text");
    QTest::newRow("crlf") << u"a\r\nb\r\n\r\nc"_s << u"a\r\nb\r\n\r\nc"_s;
    QTest::newRow("lone cr") << u"a\rb\r\nc"_s << u"a\r\nb\r\nc"_s;
    QTest::newRow("lone lf") << u"a\nb\r\nc"_s << u"a\r\nb\r\nc"_s;
    QTest::newRow("cr at the end") << u"a\r\nb\r"_s << u"a\r\nb\r\n"_s;
    QTest::newRow("line separator") << u"a\r\nb"_s + QChar::LineSeparator + u"c"_s
                                    << u"a\r\nb\r\nc"_s;
    QTest::newRow("paragraph separator") << u"a"_s + QChar::ParagraphSeparator + u"b\r\nc"_s
                                         << u"a\r\nb\r\nc"_s;
}

void tst_EditorBuffer::loadedBreaksOfEveryKindAreLineBreaks()
{
    QFETCH(QString, loaded);
    QFETCH(QString, text);
    setText(loaded);
    QCOMPARE(m_document->GetText(), text);
    QCOMPARE(m_document->textLength(), text.size());
    QCOMPARE(m_buffer->document()->blockCount(), int(text.count(u"\r\n"_s)) + 1);
}

void tst_EditorBuffer::textTypedBeforeFirstTagTakesTextColour()
{
    setText(u"<P>x"_s, 0);
    m_document->ColorRange(0, 3, Red);
    QTest::keyClicks(m_buffer.get(), u"a"_s);
    QCOMPARE(m_document->GetText(), u"a<P>x"_s);
    QCOMPARE(m_document->colorAt(0), Black);

    // Shift+Enter is an ordinary line break, not a line separator.
    QTest::keyClick(m_buffer.get(), Qt::Key_Return, Qt::ShiftModifier);
    QCOMPARE(m_document->GetText(), u"a\r\n<P>x"_s);
}

void tst_EditorBuffer::caretReportFollowsIndentation()
{
    setText(u"  x"_s, 3);
    QList<QPair<int, int>> reports;
    connect(m_buffer.get(), &EditorBuffer::caretReported, this,
            [&](int line, int column) { reports.append({line, column}); });
    QTest::keyClick(m_buffer.get(), Qt::Key_Return);
    QCOMPARE(m_document->GetText(), u"  x\r\n  "_s);
    QCOMPARE(reports.last(), qMakePair(2, 3));
}

void tst_EditorBuffer::keysReportCaretPosition()
{
    setText(u"ab\r\ncd"_s, 5);
    QList<QPair<int, int>> reports;
    connect(m_buffer.get(), &EditorBuffer::caretReported, this,
            [&](int line, int column) { reports.append({line, column}); });
    QTest::keyClick(m_buffer.get(), Qt::Key_Right);
    QCOMPARE(reports.first(), qMakePair(2, 2));
    QCOMPARE(reports.last(), qMakePair(2, 3));
}

void tst_EditorBuffer::selectTagAtCaret_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("selected");
    for (int caret = 1; caret <= 14; ++caret)
        QTest::addRow("inside-td-%d", caret) << u"<TD ALIGN=left>"_s << caret << u"<TD ALIGN=left>"_s;
    QTest::newRow("just-after-gt") << u"<B>x"_s << 3 << QString();
    QTest::newRow("just-before-lt") << u"x<B>"_s << 1 << QString();
    QTest::newRow("open-tag-at-end") << u"a <B"_s << 4 << u"<B"_s;
    // Comments get no special treatment.
    QTest::newRow("comment-first-gt") << u"<!-- a > b -->"_s << 7 << u"<!-- a >"_s;
    QTest::newRow("comment-after-b") << u"<!-- a > b -->"_s << 10 << QString();
    QTest::newRow("across-lines") << u"<A\r\nHREF=x>"_s << 3 << u"<A\r\nHREF=x>"_s;
}

void tst_EditorBuffer::selectTagAtCaret()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, selected);
    setText(text, caret);
    m_document->SelectTagAtCaret();
    QCOMPARE(m_document->SelText(), selected);
    if (selected.isEmpty())
        QCOMPARE(m_document->SelStart(), caret);
}

void tst_EditorBuffer::dragsOfTagItemsAreTakenOthersGoOn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("taken");
    QTest::newRow("tag item") << u"item"_s << true;
    QTest::newRow("tag item with text beside") << u"item+text"_s << true;
    QTest::newRow("files from the desktop") << u"urls"_s << false;
    QTest::newRow("text of another program") << u"text"_s << false;
}

// The tag tree and the tag lists mark their items with the program's own drag format; files
// and foreign text go on to the main window.
void tst_EditorBuffer::dragsOfTagItemsAreTakenOthersGoOn()
{
    QFETCH(QString, kind);
    QFETCH(bool, taken);
    QMimeData data;
    if (kind.startsWith(u"item"_s))
        putTagItem(data, u"<B>,</B>"_s);
    if (kind.endsWith(u"text"_s))
        data.setText(u"<B>"_s);
    if (kind == u"urls"_s)
        data.setUrls({QUrl::fromLocalFile(u"/tmp/a.htm"_s)});
    m_buffer->show();
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(m_buffer->viewport(), &enter);
    QCOMPARE(enter.isAccepted(), taken);
    QCOMPARE(tagItemText(&data).isEmpty(), !taken);
}

BRISKO_TEST_MAIN(tst_EditorBuffer)
#include "tst_editorbuffer.moc"
