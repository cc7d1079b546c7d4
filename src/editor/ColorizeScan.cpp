#include "editor/Colorize.h"

#include "editor/ColorizeCode.h"
#include "settings/TSettings.h"

using namespace Qt::StringLiterals;

SyntaxColors SyntaxColors::fromSettings(const TSettings &settings)
{
    return {settings.TEXT,        settings.TAG,         settings.IMAGE,
            settings.LINK,        settings.SCRIPT,      settings.STYLE,
            settings.CssSelector, settings.CssProperty, settings.CssValue,
            settings.CssComment,  settings.JsKeyword,   settings.JsString,
            settings.JsNumber,    settings.JsComment};
}

namespace {

bool isBlank(QChar c)
{
    return c.unicode() <= 32;
}

// The tag's name as the tag helpers read it, without copying: the text after "<" up to
// the first space, or up to the ">" when that is empty; blanks trimmed.
QStringView tagName(QStringView tag)
{
    auto trimmed = [](QStringView s) {
        while (!s.isEmpty() && isBlank(s.front()))
            s = s.sliced(1);
        while (!s.isEmpty() && isBlank(s.back()))
            s.chop(1);
        return s;
    };
    const qsizetype space = tag.indexOf(u' ');
    if (space > 1) {
        const QStringView name = trimmed(tag.sliced(1, space - 1));
        if (!name.isEmpty())
            return name;
    }
    return trimmed(tag.sliced(1, tag.size() - 2)); // the tag ends with its ">"
}

// Compares with an upper-case ASCII word, upper-casing only a-z as the tag helpers do.
bool nameIs(QStringView name, QLatin1StringView word)
{
    if (name.size() != word.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        char16_t c = name[i].unicode();
        if (c >= u'a' && c <= u'z')
            c -= 32;
        if (c != char16_t(word[i].unicode()))
            return false;
    }
    return true;
}

class Scanner
{
public:
    Scanner(QStringView text, const SyntaxColors &colors)
        : m_text(text), m_colors(colors), m_current(colors.text)
    {
    }

    // Text between tags; inside a block it waits for the block's end.
    void add(qsizetype start, qsizetype length, ColorValue color)
    {
        if (m_block == Block::None)
            m_sink.add(start, length, color);
    }

    // Colours one tag and moves the current colour and the block on.
    void tag(qsizetype start, QStringView tagText)
    {
        const QStringView name = tagName(tagText);
        ColorValue color;
        if (nameIs(name, "SCRIPT"_L1) || nameIs(name, "STYLE"_L1)) {
            const bool script = nameIs(name, "SCRIPT"_L1);
            color = script ? m_colors.script : m_colors.style;
            if (m_block != Block::None)
                return; // a start tag inside a block is part of its code
            m_current = color;
            m_block = script ? Block::Script : Block::Style;
            m_sink.add(start, tagText.size(), color);
            m_codeStart = start + tagText.size();
            return;
        }
        if (nameIs(name, "/SCRIPT"_L1) || nameIs(name, "/STYLE"_L1)) {
            // Either end tag closes a block of either kind.
            color = nameIs(name, "/SCRIPT"_L1) ? m_colors.script : m_colors.style;
            endBlock(start);
            m_current = m_colors.text;
        } else if (m_block != Block::None) {
            return; // part of the block's code
        } else if (nameIs(name, "A"_L1) || nameIs(name, "/A"_L1)) {
            color = m_colors.link;
        } else if (nameIs(name, "IMG"_L1)) {
            color = m_colors.image;
        } else {
            color = m_colors.tag;
        }
        const auto [first, last] = styleAttributeValue(tagText);
        if (first < last) {
            m_sink.add(start, first, color);
            colorStyleSheet(tagText.sliced(first, last - first), start + first, m_colors, m_sink,
                            true);
            m_sink.add(start + last, tagText.size() - last, color);
        } else {
            m_sink.add(start, tagText.size(), color);
        }
    }

    // The code of the open block, from its start tag up to end, goes in by its language.
    void endBlock(qsizetype end)
    {
        if (m_block == Block::None)
            return;
        const QStringView code = m_text.sliced(m_codeStart, end - m_codeStart);
        if (m_block == Block::Script)
            colorScript(code, m_codeStart, m_colors, m_sink);
        else
            colorStyleSheet(code, m_codeStart, m_colors, m_sink, false);
        m_block = Block::None;
    }

    void reserve(qsizetype runs) { m_sink.reserve(runs); }
    ColorValue current() const { return m_current; }
    std::vector<SyntaxRun> take()
    {
        endBlock(m_text.size()); // a block never closed runs to the end
        return m_sink.take();
    }

private:
    enum class Block { None, Script, Style };

    QStringView m_text;
    const SyntaxColors &m_colors;
    ColorValue m_current;
    Block m_block = Block::None;
    qsizetype m_codeStart = 0;
    ColorRunSink m_sink;
};

} // namespace

std::vector<SyntaxRun> ColorizeScan(QStringView text, const SyntaxColors &colors)
{
    Scanner scanner(text, colors);
    const qsizetype size = text.size();
    // Room for a tag and the text after it every 16 characters, as in dense markup: a
    // megabyte's runs go into one block instead of a dozen copied ones, and room not used
    // is never touched. A page denser still only makes the list grow.
    scanner.reserve(size / 8 + 16);
    // The next "<" and ">" are remembered and searched again only once passed, so a text
    // with many of one and none of the other is still read once.
    qsizetype nextLt = text.indexOf(u'<');
    qsizetype nextGt = text.indexOf(u'>');
    qsizetype pos = 0;
    while (pos < size) {
        if (nextLt >= 0 && nextLt < pos)
            nextLt = text.indexOf(u'<', pos);
        if (nextGt >= 0 && nextGt < pos)
            nextGt = text.indexOf(u'>', pos);
        if (nextGt >= 0 && (nextLt < 0 || nextGt < nextLt)) {
            scanner.add(pos, nextGt + 1 - pos, scanner.current());
            pos = nextGt + 1;
        } else if (nextLt >= 0 && nextGt > nextLt) {
            scanner.add(pos, nextLt - pos, scanner.current());
            scanner.tag(nextLt, text.sliced(nextLt, nextGt + 1 - nextLt));
            pos = nextGt + 1;
        } else {
            // No "<" left, or one with no ">" after it: the rest is plain text.
            scanner.add(pos, size - pos, scanner.current());
            pos = size;
        }
    }
    return scanner.take();
}
