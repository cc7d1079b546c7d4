// The HTML check of a large page, and the spelling of all its words.
#include "markup/HtmlCheck.h"
#include "markup/SpellChecker.h"
#include "markup/SpellWords.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

// A page of about the given length in the style this editor writes: HTML 4 with tables,
// images, links, a MARQUEE, Czech text and a few mistakes every so often.
QString makePage(int length)
{
    const QString head = u"<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\r\n"
                         u"<HTML><HEAD><TITLE>Velká stránka</TITLE></HEAD>\r\n<BODY>\r\n"_s;
    const QString block =
        u"<H2>Kapitola</H2>\r\n<P ALIGN=left>Příliš žluťoučký kůň úpěl <B>ďábelské</B> ódy, "
        u"<A HREF=\"stranka.html\">odkaz na stránku</A> a <IMG SRC=\"obr.gif\" ALT=\"obrázek\">.\r\n"
        u"<TABLE BORDER=1><TR><TD>buňka</TD><TD>další <I>buňka</TD></TR></TABLE>\r\n"
        u"<MARQUEE>Běžící text</MARQUEE> neni chyba? <FONT COLOR=red>červeně</FONT><BR>\r\n"_s;
    QString page = head;
    while (page.size() < length - 20)
        page += block;
    page += u"</BODY></HTML>\r\n"_s;
    return page;
}

void checkHtmlOfAPage(benchmark::State &state)
{
    const QString page = makePage(int(state.range(0)));
    qsizetype findings = 0;
    for (auto _ : state)
        findings = checkHtml(page).size();
    state.counters["findings"] = double(findings);
    state.counters["chars"] = double(page.size());
}
BENCHMARK(checkHtmlOfAPage)->Arg(100'000)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

void spellAllWordsOfAPage(benchmark::State &state)
{
    SpellChecker checker;
    for (const SpellDictionary &d : installedDictionaries()) {
        if (d.name == DefaultSpellLanguage)
            checker.load(d);
    }
    if (!checker.isLoaded())
        state.SkipWithError("the Czech dictionary is not installed");
    const QString page = makePage(int(state.range(0)));
    for (auto _ : state) {
        int wrong = 0;
        for (const SpellWord &w : findSpellWords(page))
            wrong += checker.isCorrect(QStringView(page).mid(w.start, w.length)) ? 0 : 1;
        benchmark::DoNotOptimize(wrong);
    }
}
BENCHMARK(spellAllWordsOfAPage)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
