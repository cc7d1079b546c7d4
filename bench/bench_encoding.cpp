// Deciding the encoding of a 1 MB page when it is opened: the byte-order mark, the charset
// declaration of the first 4 KB and, when none, a check of every byte for valid UTF-8.
#include "markup/TextEncoding.h"
#include "markup/TextFile.h"

#include <benchmark/benchmark.h>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kMegabyte = 1024 * 1024;

// Czech markup without a META charset, repeated to 1 MB in the given encoding.
QByteArray megabytePage(TextEncoding encoding)
{
    const QString unit = u"<P CLASS=\"text\">Příliš žluťoučký kůň úpěl ďábelské ódy.</P>\r\n"_s;
    const QByteArray bytes = encodeText(unit, {encoding});
    QByteArray page;
    page.reserve(kMegabyte + bytes.size());
    while (page.size() < kMegabyte)
        page += bytes;
    page.truncate(kMegabyte);
    // Never end inside a multi-byte character.
    while (encoding == TextEncoding::Utf8 && !isValidUtf8(page))
        page.chop(1);
    return page;
}

void BM_DetectEncoding(benchmark::State &state)
{
    const auto encoding = static_cast<TextEncoding>(state.range(0));
    const QByteArray page = megabytePage(encoding);
    const TextEncoding expected =
        encoding == TextEncoding::Utf8 ? TextEncoding::Utf8 : TextEncoding::Windows1250;
    for (auto _ : state) {
        const EncodingGuess guess = detectEncoding(page);
        benchmark::DoNotOptimize(guess.file.encoding);
        if (guess.file.encoding != expected)
            state.SkipWithError("wrong encoding");
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}
// Argument: 0 Windows-1250 (rejected at the first letter), 2 UTF-8 (every byte checked).
BENCHMARK(BM_DetectEncoding)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

// The worst case: plain ASCII, where nothing decides before the last byte.
void BM_DetectEncodingAscii(benchmark::State &state)
{
    const QByteArray page(kMegabyte, 'a');
    for (auto _ : state) {
        const EncodingGuess guess = detectEncoding(page);
        benchmark::DoNotOptimize(guess.file.encoding);
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_DetectEncodingAscii)->Unit(benchmark::kMillisecond);

// The whole read of a 1 MB UTF-8 page: detection, decoding and line breaks.
void BM_DecodeDocumentUtf8(benchmark::State &state)
{
    const QByteArray page = megabytePage(TextEncoding::Utf8);
    for (auto _ : state) {
        const DecodedDocument doc = decodeDocument(page);
        benchmark::DoNotOptimize(doc.text.size());
    }
    state.SetBytesProcessed(state.iterations() * page.size());
}
BENCHMARK(BM_DecodeDocumentUtf8)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
