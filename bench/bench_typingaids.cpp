// The aids to typing markup on a large page: the tag pair at the caret and the list of
// names, at the end of the page, where reading from its top would cost the most.
#include "editor/EditorBuffer.h"
#include "markup/TagPairs.h"
#include "markup/TextFile.h"
#include "markup/TreeFile.h"

#include <QApplication>
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
    explicit LargePageEditor(bool aids)
    {
        EditorKeyOptions keys;
        keys.aids.vocabulary = programVocabulary();
        keys.aids.closeTags = aids;
        if (!aids)
            keys.aids.lineNumbers = keys.aids.tagPairs = keys.aids.renamePairs = keys.aids.completion = false;
        buffer.setKeyOptions(keys);
        buffer.resize(800, 600);
        buffer.show();
        document.loadText(largePage());
        QCoreApplication::processEvents();
    }
};

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
        QTest::keyClick(&editor.buffer, Qt::Key_Escape);
        editor.document.Undo();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(completionAtEnd)->Unit(benchmark::kMillisecond);

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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
