// The aids to typing markup on a large page: the tag pair at the caret and the list of
// names, at the end of the page, where reading from its top would cost the most.
#include "editor/Colorize.h"
#include "editor/EditorBuffer.h"
#include "settings/TSettings.h"
#include "markup/TagPairs.h"
#include "markup/TextFile.h"
#include "markup/TreeFile.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QTest>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// About a megabyte of table rows with comments and a style now and then, in a page: just
// under the editor's limit, line breaks counted as CR LF, so a key can still go in.
QString largePage()
{
    QString page = u"<HTML><HEAD><SCRIPT>var a = '<td>';</SCRIPT></HEAD><BODY><TABLE>\n"_s;
    const QString row = u"<TR><TD ALIGN=left><A HREF=\"stranka.html\">Příliš žluťoučký kůň</A></TD></TR>\n"_s;
    qsizetype breaks = 1;
    for (int i = 0; page.size() + breaks < 985'000; ++i) {
        page += row;
        ++breaks;
        if (i % 500 == 0) {
            page += u"<!-- <TR> -->\n<STYLE>td { color: red }</STYLE>\n"_s;
            breaks += 2;
        }
    }
    return page + u"</TABLE>\n<P>Konec <B>stránky</B></P>\n</BODY></HTML>\n"_s;
}

// The caret in the last "</B>" of the page.
qsizetype caretAtEnd(const QString &page)
{
    return page.lastIndexOf(u"</B>") + 2;
}

// The pair from the text alone: with the start of the caret's line known to be markup (as
// the editor knows it from its line states), and without (read from the top).
void tagPairAtEnd(benchmark::State &state)
{
    const QString page = largePage();
    const qsizetype caret = caretAtEnd(page);
    const qsizetype lineStart = state.range(0) ? page.lastIndexOf(u'\n', caret) + 1 : 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(tagPairAt(page, caret, lineStart));
}
BENCHMARK(tagPairAtEnd)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond);

std::shared_ptr<const TagVocabulary> programVocabulary()
{
    const TextFileResult file = readTextFile(QStringLiteral(BRISKO_DATA_DIR "/html4.dat"));
    const TreeFileResult tree = parseTreeText(file.text, [](int, const QString &) { return QString(); });
    return std::make_shared<const TagVocabulary>(TagVocabulary::fromTree(tree.nodes));
}

struct LargePageEditor
{
    HtmlDocument document;
    EditorBuffer buffer{document};
    // Coloured, the page is as the program shows it, and a key in code colours it anew.
    explicit LargePageEditor(bool aids, bool coloured = false)
    {
        EditorKeyOptions keys;
        const TSettings settings;
        if (coloured) {
            keys.textColor = settings.TEXT;
            keys.tagColor = settings.TAG;
            keys.codeColors = SyntaxColors::fromSettings(settings);
        }
        keys.aids.vocabulary = programVocabulary();
        keys.aids.closeTags = aids;
        if (!aids)
            keys.aids.lineNumbers = keys.aids.tagPairs = keys.aids.renamePairs = keys.aids.completion = false;
        buffer.setKeyOptions(keys);
        buffer.resize(800, 600);
        buffer.show();
        document.loadText(largePage());
        if (coloured)
            ColorizeDocument(document, settings, {});
        QCoreApplication::processEvents();
    }
};

// Takes back the "<" a case typed, with its list.
void closeListAndUndo(LargePageEditor &editor)
{
    QTest::keyClick(&editor.buffer, Qt::Key_Escape);
    editor.document.Undo();
    QCoreApplication::processEvents();
}

// The pair in the editor after a move of the caret at the end of the page: the line
// states, the text around the caret and the match.
void pairMarksAtEnd(benchmark::State &state)
{
    LargePageEditor editor(true);
    QTextCursor caret(editor.buffer.document());
    caret.setPosition(int(caretAtEnd(editor.buffer.document()->toPlainText())));
    editor.buffer.setTextCursor(caret);
    editor.buffer.typingAids().pairAt(caret.position()); // the line states, once per page
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.buffer.typingAids().pairAt(caret.position()));
}
BENCHMARK(pairMarksAtEnd)->Unit(benchmark::kMicrosecond);

// The caret in a start tag the page never closes, at its top, as in many pages of LI and P
// without their end tags: an LI (the page has no "</LI>" at all), and a P (a later P of the
// page is closed, so every tag to the end is looked at).
void pairMarksInUnclosedTagAtStart(benchmark::State &state)
{
    LargePageEditor editor(true);
    QTextCursor caret(editor.buffer.document());
    caret.insertText(state.range(0) ? u"<P ALIGN=left>"_s : u"<LI>"_s);
    caret.setPosition(1);
    editor.buffer.setTextCursor(caret);
    for (auto _ : state)
        benchmark::DoNotOptimize(editor.buffer.typingAids().pairAt(1));
}
BENCHMARK(pairMarksInUnclosedTagAtStart)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// From the "<" typed at the end of the page to the list of elements on the screen.
void completionAtEnd(benchmark::State &state)
{
    LargePageEditor editor(true);
    editor.document.SetSelStart(editor.document.textLength());
    editor.buffer.ensureCursorVisible();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClicks(&editor.buffer, u"<"_s);
        QCoreApplication::processEvents();
        editor.buffer.viewport()->repaint();
        if (!editor.buffer.typingAids().listShown()) {
            state.SkipWithError("no list");
            break;
        }
        state.PauseTiming();
        closeListAndUndo(editor);
        state.ResumeTiming();
    }
}
BENCHMARK(completionAtEnd)->Unit(benchmark::kMillisecond);

// Notes that the list of names has been painted.
class PaintWatch : public QObject
{
public:
    bool painted = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            painted = true;
        return QObject::eventFilter(watched, event);
    }
};

// Types "<" and runs the event loop until the list of names is painted; false when it never
// is.
bool typeUntilListPainted(LargePageEditor &editor, PaintWatch &watch)
{
    watch.painted = false;
    QElapsedTimer limit;
    limit.start();
    QTest::keyClicks(&editor.buffer, u"<"_s);
    while (!watch.painted && limit.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return watch.painted;
}

void showEnd(LargePageEditor &editor, PaintWatch &watch)
{
    editor.document.SetSelStart(editor.document.textLength());
    editor.buffer.ensureCursorVisible();
    QCoreApplication::processEvents();
    editor.buffer.findChild<QListWidget *>(QStringLiteral("CompletionList"))
        ->viewport()
        ->installEventFilter(&watch);
}

// What the user waits for, in wall time: from the "<" typed at the end of the page until the
// list of elements is shown and painted, the event loop running as in the program.
void completionPaintedAtEnd(benchmark::State &state)
{
    LargePageEditor editor(true, state.range(0) != 0);
    PaintWatch watch;
    showEnd(editor, watch);
    for (auto _ : state) {
        if (!typeUntilListPainted(editor, watch)) {
            state.SkipWithError("the list was not painted");
            break;
        }
        state.PauseTiming();
        closeListAndUndo(editor);
        state.ResumeTiming();
    }
}
BENCHMARK(completionPaintedAtEnd)->Arg(0)->Arg(1)->UseRealTime()->Unit(benchmark::kMillisecond);

// The same for the first list an editor shows: a page just opened.
void firstCompletionPaintedAtEnd(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<LargePageEditor>(true, state.range(0) != 0);
        PaintWatch watch;
        showEnd(*editor, watch);
        state.ResumeTiming();
        if (!typeUntilListPainted(*editor, watch)) {
            state.SkipWithError("the list was not painted");
            break;
        }
        state.PauseTiming();
        editor.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(firstCompletionPaintedAtEnd)
    ->Arg(0)->Arg(1)->UseRealTime()->Iterations(8)->Unit(benchmark::kMillisecond);

// A letter typed at the end of a page just opened, while its colours still go in from the
// event loop: the rest of them go in before the key, outside the undo history.
void keyWhileColouringInBackground(benchmark::State &state)
{
    const TSettings settings;
    for (auto _ : state) {
        state.PauseTiming();
        auto editor = std::make_unique<LargePageEditor>(true);
        ColorizeDocumentInBackground(editor->document, settings, {});
        editor->document.SetSelStart(editor->document.textLength());
        state.ResumeTiming();
        QTest::keyClick(&editor->buffer, Qt::Key_A);
        QCoreApplication::processEvents();
        state.PauseTiming();
        editor.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(keyWhileColouringInBackground)->UseRealTime()->Iterations(5)->Unit(benchmark::kMillisecond);

// A letter typed up to the repainted screen, at the start (0) and at the end (1) of the
// page, with every aid off (0) and on (1), side by side in one run.
void typeAndRepaintAids(benchmark::State &state)
{
    LargePageEditor editor(state.range(1) != 0);
    editor.document.SetSelStart(state.range(0) ? editor.document.textLength() - 40 : 30);
    editor.buffer.ensureCursorVisible();
    QCoreApplication::processEvents();
    for (auto _ : state) {
        QTest::keyClick(&editor.buffer, Qt::Key_A);
        QCoreApplication::processEvents();
        editor.buffer.viewport()->repaint();
        state.PauseTiming();
        editor.document.Undo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(typeAndRepaintAids)
    ->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    // Off screen unless a display is asked for: on a real one the times include the window
    // system's.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
