#include "MarkupLines.h"

#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>

MarkupLines::MarkupLines(QTextDocument &text, QObject *parent)
    : QObject(parent)
    , m_text(text)
{
    connect(&text, &QTextDocument::contentsChange, this, &MarkupLines::contentsChange);
}

void MarkupLines::contentsChange(int position, int removed, int added)
{
    // Colours going in change no character; a line's own edit leaves its start alone.
    if (removed == added && m_counted && !m_counted())
        return;
    const int line = m_text.findBlock(position).blockNumber();
    m_known = std::min(m_known, std::max(line, 0) + 1);
}

TextState MarkupLines::stateAt(const QTextBlock &block)
{
    const int line = block.blockNumber();
    if (line < 0)
        return TextState::Markup;
    if (int(m_states.size()) != m_text.blockCount())
        m_states.resize(m_text.blockCount(), TextState::Markup);
    if (m_known <= 0) {
        m_states[0] = TextState::Markup;
        m_known = 1;
    }
    if (line >= m_known) {
        QTextBlock b = m_text.findBlockByNumber(m_known - 1);
        for (int n = m_known; n <= line && b.isValid(); ++n) {
            m_states[n] = textStateAfter(b.text(), m_states[n - 1]);
            b = b.next();
        }
        m_known = line + 1;
    }
    return m_states[line];
}

MarkupLines::Window MarkupLines::window(int position, int before, int after)
{
    const QTextBlock at = m_text.findBlock(std::clamp(position, 0, m_text.characterCount() - 1));
    stateAt(at); // every line before is known from here on
    QTextBlock first = at;
    QTextBlock markup;
    while (true) {
        const bool isMarkup = m_states[first.blockNumber()] == TextState::Markup;
        if (isMarkup && !markup.isValid())
            markup = first;
        if (!first.previous().isValid() || (isMarkup && position - first.position() >= before))
            break;
        first = first.previous();
    }
    QTextBlock last = at;
    while (last.next().isValid() && last.position() + last.length() - position < after)
        last = last.next();

    Window w;
    w.start = first.position();
    w.reachesStart = !first.previous().isValid();
    w.reachesEnd = !last.next().isValid();
    w.text.reserve(last.position() + last.length() - w.start);
    for (QTextBlock b = first; b.isValid(); b = b.next()) {
        w.text += b.text();
        if (b == last)
            break;
        w.text += u'\n';
    }
    w.markupFrom = markup.isValid() ? markup.position() - w.start : 0;
    return w;
}

MarkupLines::Window MarkupLines::wider(const Window &w, int position, bool backwards)
{
    const int size = std::max<int>(w.text.size(), 4096) * 8;
    const int before = backwards ? size : position - w.start;
    const int after = backwards ? int(w.start + w.text.size()) - position : size;
    return window(position, before, after);
}
