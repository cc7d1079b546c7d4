#include "editor/TextOffsets.h"

#include <QTextDocument>

#include <algorithm>

using namespace Qt::StringLiterals;

int offsetOfPosition(const QTextDocument &document, int position)
{
    const QTextBlock block = document.findBlock(position);
    return position + (block.isValid() ? block.blockNumber() : document.blockCount() - 1);
}

int positionOfOffset(const QTextDocument &document, int offset)
{
    if (offset <= 0)
        return 0;
    // Binary search for the last line whose first offset is <= offset.
    int lo = 0;
    int hi = document.blockCount() - 1;
    while (lo < hi) {
        const int mid = (lo + hi + 1) / 2;
        const QTextBlock b = document.findBlockByNumber(mid);
        if (b.position() + mid <= offset)
            lo = mid;
        else
            hi = mid - 1;
    }
    const QTextBlock block = document.findBlockByNumber(lo);
    const int inLine = offset - (block.position() + lo);
    const int textLen = block.length() - 1;
    return block.position() + std::min(inLine, textLen);
}

int offsetLength(const QTextDocument &document)
{
    return document.characterCount() - 1 + (document.blockCount() - 1);
}

QString toControlText(const QString &text)
{
    auto isBreak = [](QChar c) {
        return c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    };
    const QChar *p = std::find_if(text.cbegin(), text.cend(), isBreak);
    if (p == text.cend())
        return text; // shared, not copied
    // One pass over a copy: CR LF, a lone CR and the two separators each become one LF.
    QString out(text.size(), Qt::Uninitialized);
    QChar *d = std::copy(text.cbegin(), p, out.begin());
    for (const QChar *const end = text.cend(); p != end; ++p) {
        if (!isBreak(*p)) {
            *d++ = *p;
            continue;
        }
        *d++ = u'\n';
        if (*p == u'\r' && p + 1 != end && p[1] == u'\n')
            ++p;
    }
    out.truncate(d - out.cbegin());
    return out;
}

LineWalker::LineWalker(const QTextDocument &document)
    : m_block(document.begin()), m_position(m_block.position()), m_length(m_block.length())
{
}

// A line of offsets is its block's length plus one: CR LF count two, the block's end one.
int LineWalker::positionOf(int offset)
{
    while (offset < m_lineOffset && m_block.previous().isValid()) {
        m_block = m_block.previous();
        m_length = m_block.length();
        m_position -= m_length;
        m_lineOffset -= m_length + 1;
    }
    while (m_lineOffset + m_length + 1 <= offset) {
        const QTextBlock next = m_block.next();
        if (!next.isValid())
            break;
        m_lineOffset += m_length + 1;
        m_position += m_length;
        m_block = next;
        m_length = next.length();
    }
    return m_position + std::clamp(offset - m_lineOffset, 0, m_length - 1);
}
