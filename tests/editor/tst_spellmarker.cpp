#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "editor/SpellMarker.h"
#include "markup/SpellChecker.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"
#include "support/TestMain.h"

#include <QMenu>
#include <QScreen>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QWindow>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

QStringList markedTexts(const EditorBuffer &buffer, const SpellMarker &marker)
{
    QStringList out;
    for (const auto &[start, length] : marker.markedWords())
        out << buffer.htmlDocument().textRange(start, length);
    return out;
}

// Types the text key by key, as the keyboard would; QTest knows keys of ASCII only.
void typeText(EditorBuffer &buffer, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&buffer, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(&buffer, &release);
    }
}

// The viewport point in the middle of the character at the offset.
QPoint pointAt(EditorBuffer &buffer, int offset)
{
    const int keep = buffer.htmlDocument().SelStart();
    buffer.htmlDocument().SetSelStart(offset);
    const QRect r = buffer.cursorRect();
    buffer.htmlDocument().SetSelStart(keep);
    return r.center() + QPoint(4, 0);
}

// The pixels of the wavy red lines in the editor's view as the screen shows it (the window
// system's copy, not a fresh rendering): what the user sees.
int redPixelsOnScreen(EditorBuffer &buffer)
{
    QWidget *view = buffer.viewport();
    QWidget *window = view->window();
    const QPoint at = view->mapTo(window, QPoint(0, 0));
    const QImage shot = window->windowHandle()
                            ->screen()
                            ->grabWindow(window->winId(), at.x(), at.y(), view->width(), view->height())
                            .toImage();
    int red = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            red += c.red() > 200 && c.green() < 80 && c.blue() < 80;
        }
    }
    return red;
}

// A page of right words with misspelt ones only far below its first screen.
QString longPageWithFaultsAtItsEnd()
{
    QString page;
    for (int i = 0; i < 400; ++i)
        page += u"<P>Dobrý den, vítejte na naší stránce.\r\n"_s;
    for (int i = 0; i < 3; ++i)
        page += u"<P>Toto je chybná strýnce a neni tu nic.\r\n"_s;
    return page;
}

} // namespace

class tst_SpellMarker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void marksTheMisspeltWordsOfAPageWithMarkup();
    void typingMarksAndUnmarksAsYouGo();
    void marksLeaveTextColoursUndoAndModifiedFlagAlone();
    void openingACommentUnmarksTheLinesBelow();
    void menuOffersSuggestionsAndReplacesTheWord();
    void menuAddsToThePersonalListAndIgnores();
    void switchedOffMarksNothing();
    void lineTooLongToColourIsNotUnderlined();
    void ignoreAllUnmarksTheWordInEveryCase();
    void linesReachedByTheKeyboardAreMarkedOnScreen_data();
    void linesReachedByTheKeyboardAreMarkedOnScreen();
    void linesReachedByTheScrollBarAreMarkedOnScreen();
    void restOfThePageIsCheckedInSlices();

private:
    QTemporaryDir m_dir;
    SpellDictionary m_czech;
    // A fresh checker for each test: words ignored for the session stay with it.
    std::unique_ptr<SpellChecker> m_checker;
    std::unique_ptr<HtmlDocument> m_document; // outlives its view
    std::unique_ptr<EditorBuffer> m_buffer;
    SpellMarker *m_marker = nullptr;
};

void tst_SpellMarker::initTestCase()
{
    const QList<SpellDictionary> all = installedDictionaries();
    const auto czech = std::find_if(all.begin(), all.end(),
                                    [](const SpellDictionary &d) { return d.name == u"cs_CZ"_s; });
    if (czech == all.end())
        QFAIL("the Czech dictionary (hunspell-cs), which the set-up installs, is missing");
    m_czech = *czech;
}

void tst_SpellMarker::init()
{
    m_checker = std::make_unique<SpellChecker>();
    QVERIFY(m_checker->load(m_czech));
    m_checker->setPersonalListPath(m_dir.filePath(u"osobni.txt"_s));
    m_document = std::make_unique<HtmlDocument>();
    m_buffer = std::make_unique<EditorBuffer>(*m_document);
    m_buffer->resize(700, 500);
    m_buffer->show();
    m_marker = new SpellMarker(*m_buffer, *m_checker);
}

void tst_SpellMarker::cleanup()
{
    m_buffer.reset();
    m_document.reset();
    m_checker.reset();
    QFile::remove(m_dir.filePath(u"osobni.txt"_s));
}

void tst_SpellMarker::marksTheMisspeltWordsOfAPageWithMarkup()
{
    const TextFileResult page = readDocumentFile(testDataPath(u"spelling/stranka/input.html"_s));
    QVERIFY(page.ok);
    m_document->loadText(page.text);
    QTRY_VERIFY(!m_marker->pending());
    QFile expected(testDataPath(u"spelling/stranka/expected.txt"_s));
    QVERIFY(expected.open(QIODevice::ReadOnly));
    QCOMPARE(markedTexts(*m_buffer, *m_marker),
             QString::fromUtf8(expected.readAll()).split(u'\n', Qt::SkipEmptyParts));
    // Words in a comment, the script, tag names and attribute values are never marked.
    const QString text = m_document->GetText();
    QCOMPARE(m_marker->misspeltWordAt(int(text.indexOf(u"chybicka"_s))).second, 0);
    QCOMPARE(m_marker->misspeltWordAt(int(text.indexOf(u"Vitejte"_s))).second, 0);
    QCOMPARE(m_marker->misspeltWordAt(int(text.indexOf(u"BGCOLOR"_s))).second, 0);
}

void tst_SpellMarker::typingMarksAndUnmarksAsYouGo()
{
    m_document->loadText(u"<P>Dobrý den\r\n<B>kůň</B>\r\n"_s);
    QTRY_VERIFY(!m_marker->pending());
    QVERIFY(m_marker->markedWords().isEmpty());
    m_document->SetSelStart(int(m_document->GetText().indexOf(u"den"_s)) + 3);
    typeText(*m_buffer, u" strýnce"_s);
    QTRY_COMPARE(markedTexts(*m_buffer, *m_marker), QStringList{u"strýnce"_s});
    // the mark moves with text typed before it
    m_document->SetSelStart(3);
    typeText(*m_buffer, u"Ahoj "_s);
    QTRY_VERIFY(!m_marker->pending());
    QCOMPARE(markedTexts(*m_buffer, *m_marker), QStringList{u"strýnce"_s});
    // mending the word takes the mark away
    const int y = int(m_document->GetText().indexOf(u"strýnce"_s)) + 3; // the "ý"
    m_document->SetSelStart(y);
    m_document->SetSelLength(1);
    typeText(*m_buffer, u"á"_s);
    QTRY_VERIFY(m_marker->markedWords().isEmpty());
}

void tst_SpellMarker::marksLeaveTextColoursUndoAndModifiedFlagAlone()
{
    const QString text = u"<P ALIGN=center>Vítejte na strýnce\r\n<B>neni</B> doma\r\n"_s;
    m_document->loadText(text);
    ColorizeDocument(*m_document, TSettings(), {});
    const ColorValue tagColour = m_document->colorAt(1);
    const int undoSteps = m_buffer->document()->availableUndoSteps();
    m_marker->finish();
    QCOMPARE(markedTexts(*m_buffer, *m_marker), (QStringList{u"strýnce"_s, u"neni"_s}));
    QCOMPARE(m_document->GetText(), text);
    QVERIFY(!m_document->IsModified());
    QCOMPARE(m_buffer->document()->availableUndoSteps(), undoSteps);
    QCOMPARE(m_document->colorAt(1), tagColour);
    // colouring again changes formats only: the marks stay and nothing is rechecked
    ColorizeDocument(*m_document, TSettings(), {});
    QVERIFY(!m_marker->pending());
    QCOMPARE(markedTexts(*m_buffer, *m_marker), (QStringList{u"strýnce"_s, u"neni"_s}));
}

void tst_SpellMarker::openingACommentUnmarksTheLinesBelow()
{
    m_document->loadText(u"úvod\r\nstrýnce\r\nneni\r\n-->konec\r\n"_s);
    m_marker->finish();
    QCOMPARE(markedTexts(*m_buffer, *m_marker), (QStringList{u"strýnce"_s, u"neni"_s}));
    m_document->SetSelStart(4); // after "úvod"
    typeText(*m_buffer, u"<!--"_s);
    QTRY_VERIFY(!m_marker->pending());
    QVERIFY(m_marker->markedWords().isEmpty());
    m_document->SetSelStart(4);
    m_document->SetSelLength(4);
    QTest::keyClick(m_buffer.get(), Qt::Key_Delete);
    QTRY_VERIFY(!m_marker->pending());
    QCOMPARE(markedTexts(*m_buffer, *m_marker), (QStringList{u"strýnce"_s, u"neni"_s}));
}

void tst_SpellMarker::menuOffersSuggestionsAndReplacesTheWord()
{
    m_document->loadText(u"<P>Vítejte na naší strýnce.\r\n"_s);
    m_marker->finish();
    const int at = int(m_document->GetText().indexOf(u"strýnce"_s));
    QMenu menu;
    menu.addAction(u"Editovat tag .."_s);
    QVERIFY(m_marker->addMenuItems(menu, pointAt(*m_buffer, at + 2)));
    const QList<QAction *> actions = menu.actions();
    QCOMPARE(actions.first()->text(), u"stránce"_s);
    QCOMPARE(actions.last()->text(), u"Editovat tag .."_s); // the menu's own items follow
    int suggestions = 0;
    while (!actions[suggestions]->isSeparator())
        ++suggestions;
    QVERIFY(suggestions >= 1 && suggestions <= SpellMarker::MaxSuggestions);
    QCOMPARE(actions[suggestions + 1]->text(), u"Přidat do slovníku"_s);
    QCOMPARE(actions[suggestions + 2]->text(), u"Ignorovat vše"_s);
    actions.first()->trigger();
    QCOMPARE(m_document->GetText(), u"<P>Vítejte na naší stránce.\r\n"_s);
    QTRY_VERIFY(m_marker->markedWords().isEmpty());
    // a right word gets no spelling items
    QMenu other;
    QVERIFY(!m_marker->addMenuItems(other, pointAt(*m_buffer, 5)));
    QVERIFY(other.actions().isEmpty());
}

void tst_SpellMarker::menuAddsToThePersonalListAndIgnores()
{
    m_document->loadText(u"Mickka a Mickka, strýnce a strýnce\r\n"_s);
    m_marker->finish();
    QCOMPARE(m_marker->markedWords().size(), 4);
    auto trigger = [this](int offset, const QString &name) {
        QMenu menu;
        QVERIFY(m_marker->addMenuItems(menu, pointAt(*m_buffer, offset)));
        QAction *item = menu.findChild<QAction *>(name);
        QVERIFY(item);
        item->trigger();
    };
    trigger(1, u"SpellAddToDictionary"_s);
    QTRY_COMPARE(markedTexts(*m_buffer, *m_marker), (QStringList{u"strýnce"_s, u"strýnce"_s}));
    QFile personal(m_checker->personalListPath());
    QVERIFY(personal.open(QIODevice::ReadOnly));
    QCOMPARE(personal.readAll(), "Mickka\n");
    trigger(int(m_document->GetText().indexOf(u"strýnce"_s)) + 1, u"SpellIgnoreAll"_s);
    QTRY_VERIFY(m_marker->markedWords().isEmpty());
    QCOMPARE(m_document->GetText(), u"Mickka a Mickka, strýnce a strýnce\r\n"_s);
}

void tst_SpellMarker::switchedOffMarksNothing()
{
    m_document->loadText(u"neni strýnce\r\n"_s);
    m_marker->finish();
    QCOMPARE(m_marker->markedWords().size(), 2);
    m_marker->setEnabled(false);
    QVERIFY(m_buffer->extraSelections().isEmpty());
    QMenu menu;
    QVERIFY(!m_marker->addMenuItems(menu, pointAt(*m_buffer, 1)));
    m_marker->setEnabled(true);
    QTRY_COMPARE(m_marker->markedWords().size(), 2);
    QCOMPARE(SpellMarker::of(*m_buffer), m_marker);
}

void tst_SpellMarker::lineTooLongToColourIsNotUnderlined()
{
    // Checked, its tens of thousands of words held the editor for seconds at each sight of
    // it; the short lines around it are checked as ever.
    QString line = u"<p>"_s;
    while (line.size() <= HtmlDocument::LongLineLength)
        line += u"strýnce neni "_s;
    const QString text = u"neni\r\n"_s + line + u"\r\nstrýnce\r\n"_s;
    m_document->loadText(text);
    m_marker->finish();
    const QList<QPair<int, int>> marked = m_marker->markedWords();
    QCOMPARE(marked.size(), 2);
    QCOMPARE(marked[0].first, 0);
    QCOMPARE(marked[1].first, int(text.lastIndexOf(u"strýnce")));
}

void tst_SpellMarker::ignoreAllUnmarksTheWordInEveryCase()
{
    m_document->loadText(u"Přílyš pozdě. Bylo přílyš pozdě.\r\n"_s);
    m_marker->finish();
    QCOMPARE(markedTexts(*m_buffer, *m_marker), (QStringList{u"Přílyš"_s, u"přílyš"_s}));
    QMenu menu;
    const int lower = int(m_document->GetText().indexOf(u"přílyš"_s));
    QVERIFY(m_marker->addMenuItems(menu, pointAt(*m_buffer, lower + 2)));
    menu.findChild<QAction *>(u"SpellIgnoreAll"_s)->trigger();
    // The sentence's start is the same word.
    QTRY_VERIFY(m_marker->markedWords().isEmpty());
}

void tst_SpellMarker::linesReachedByTheKeyboardAreMarkedOnScreen_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("presses");
    QTest::newRow("ctrl_end") << int(Qt::Key_End) << int(Qt::ControlModifier) << 1;
    QTest::newRow("page_down") << int(Qt::Key_PageDown) << int(Qt::NoModifier) << 40;
}

void tst_SpellMarker::linesReachedByTheKeyboardAreMarkedOnScreen()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, presses);
    QVERIFY(QTest::qWaitForWindowExposed(m_buffer.get()));
    m_document->loadText(longPageWithFaultsAtItsEnd());
    m_buffer->setFocus();
    // The whole page is checked in the background first, as when the user reads a while:
    // only the first screen is marked (it has no faults).
    QTRY_VERIFY(!m_marker->pending());
    QVERIFY(m_marker->markedWords().isEmpty());
    QCOMPARE(redPixelsOnScreen(*m_buffer), 0);
    for (int i = 0; i < presses; ++i)
        QTest::keyClick(m_buffer.get(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QCOMPARE(m_document->SelStart(), m_document->textLength()); // at the page's end
    QTRY_COMPARE(markedTexts(*m_buffer, *m_marker).count(u"strýnce"_s), 3);
    // ... and drawn: the marks are on the screen, not only in the editor's list.
    QTRY_VERIFY(redPixelsOnScreen(*m_buffer) > 0);
}

void tst_SpellMarker::linesReachedByTheScrollBarAreMarkedOnScreen()
{
    QVERIFY(QTest::qWaitForWindowExposed(m_buffer.get()));
    m_document->loadText(longPageWithFaultsAtItsEnd());
    QTRY_VERIFY(!m_marker->pending()); // every line checked, only the first screen shown
    QVERIFY(m_marker->markedWords().isEmpty());
    QCOMPARE(redPixelsOnScreen(*m_buffer), 0);
    // Clicks in the bar's trough below its handle, a page at a time.
    QScrollBar *bar = m_buffer->verticalScrollBar();
    const QPoint trough(bar->width() / 2, bar->height() - bar->width() - 3);
    for (int i = 0; i < 60 && bar->value() < bar->maximum(); ++i)
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, trough);
    QCOMPARE(bar->value(), bar->maximum());
    QTRY_COMPARE(markedTexts(*m_buffer, *m_marker).count(u"strýnce"_s), 3);
    QTRY_VERIFY(redPixelsOnScreen(*m_buffer) > 0);
}

void tst_SpellMarker::restOfThePageIsCheckedInSlices()
{
    m_document->loadText(longPageWithFaultsAtItsEnd());
    // Nobody scrolls: the lines below the screen are checked in the background all the same.
    QTRY_VERIFY(!m_marker->pending());
    const int fault = int(m_document->GetText().lastIndexOf(u"strýnce"_s));
    QCOMPARE(m_marker->misspeltWordAt(fault + 1), qMakePair(fault, 7));
}

BRISKO_TEST_MAIN(tst_SpellMarker)
#include "tst_spellmarker.moc"

