// Edit current tag's reading of the tag at the caret, without its dialog, in a long page.
#include "editor/HtmlDocument.h"
#include "markup/ElementContract.h"
#include "markup/TextMarkup.h"

#include <QApplication>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// About the editor's limit of markup rows, the edited FONT tag at the very end.
QString pageEndingInFontTag()
{
    const QString row = u"<TR><TD ALIGN=left><A HREF=\"stranka.html\">Příliš žluťoučký kůň</A></TD></TR>\r\n"_s;
    const QString tag = u"<FONT FACE=\"Arial\" CLASS=x COLOR=red SIZE=+2>"_s;
    QString page;
    while (page.size() + row.size() + tag.size() < HtmlDocument::MaxLength)
        page += row;
    return page + tag;
}

// Select the tag around the caret, take its start tag and read it into the font fields.
void readTagAtEnd(benchmark::State &state)
{
    HtmlDocument buffer;
    buffer.loadText(pageEndingInFontTag());
    const int caret = buffer.textLength() - 5;
    for (auto _ : state) {
        buffer.SetSelStart(caret);
        buffer.SelectTagAtCaret();
        const std::optional<QString> tag = leadingStartTag(buffer.SelText());
        const TagRead<FontFields> read = readFontTag(*tag);
        benchmark::DoNotOptimize(read.leftovers.size() + startTagName(*tag).size());
    }
    state.counters["length"] = buffer.textLength();
}
BENCHMARK(readTagAtEnd)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
