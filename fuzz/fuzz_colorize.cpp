// Colours arbitrary text and checks that the runs cover it exactly.
#include "editor/Colorize.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data), qsizetype(size));
    const SyntaxColors colors{1, 2, 3, 4, 5, 6};
    const std::vector<SyntaxRun> runs = ColorizeScan(text, colors);
    int next = 0;
    ColorValue previous = -1;
    for (const SyntaxRun &run : runs) {
        if (run.start != next || run.length <= 0 || run.color == previous || run.color < 1
            || run.color > 6)
            std::abort();
        next += run.length;
        previous = run.color;
    }
    if (next != text.size())
        std::abort();
    return 0;
}
