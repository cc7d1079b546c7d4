// Finds the tag around a caret in arbitrary text and takes it apart.
// Input: two bytes of caret position, then the text (one byte per character).
#include "markup/SysUt.h"

#include <cstdint>
#include <cstdlib>

using namespace Qt::StringLiterals;

static void check(bool ok)
{
    if (!ok)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const int caret = data[0] * 256 + data[1];
    const QString text = QString::fromLatin1(reinterpret_cast<const char *>(data + 2),
                                             qsizetype(size - 2));
    const QString tag = TagAtPosition(text, caret);
    check(tag.isEmpty() || (tag.startsWith(u'<') && tag.endsWith(u'>') && text.contains(tag)));
    (void)TagName(tag);
    (void)TagAttributeText(tag);
    (void)TagContains(tag, u"NOSHADE"_s);

    // Names taken from the text itself reach the odd cases (quotes, blanks, "=").
    const QString source = tag.isEmpty() ? text : tag;
    for (const QString &name : {u"SRC"_s, u"width"_s, u" A"_s, source.left(3), source.mid(1, 2)}) {
        QString kept = source;
        const QString value = ReadAttribute(kept, name, false);
        check(kept == source && value.size() <= source.size());
        QString removed = source;
        (void)ReadAttribute(removed, name, true);
        check(removed.size() <= source.size());
        check(RemoveAttribute(source, name) == removed);
        (void)FindAttribute(name, AsciiUpperCase(source));
    }

    // Short find and replacement texts from the input's first characters.
    const QString find = text.left(3);
    const QString replacement = text.mid(3, 4);
    (void)ReplaceAll(text, find, replacement);
    check(CzechLowerCase(CzechUpperCase(text)).size() == text.size());
    (void)RemoveSpacesOutsideTags(text);
    (void)StripTags(text);
    (void)HtmlColorToColor(text);
    return 0;
}
