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
    const bool separators =
        text.contains(QChar::LineSeparator) || text.contains(QChar::ParagraphSeparator);
    if (!text.contains(u'\r') && !separators)
        return text;
    QString out = text;
    out.replace(u"\r\n"_s, u"\n"_s);
    out.replace(u'\r', u'\n');
    out.replace(QChar::LineSeparator, u'\n');
    out.replace(QChar::ParagraphSeparator, u'\n');
    return out;
}

LineWalker::LineWalker(const QTextDocument &document) : m_block(document.begin()) {}

int LineWalker::positionOf(int offset)
{
    while (offset < m_lineOffset && m_block.previous().isValid()) {
        m_block = m_block.previous();
        m_lineOffset -= m_block.length() + 1;
    }
    while (m_block.next().isValid() && m_lineOffset + m_block.length() + 1 <= offset) {
        m_lineOffset += m_block.length() + 1;
        m_block = m_block.next();
    }
    return m_block.position() + std::clamp(offset - m_lineOffset, 0, m_block.length() - 1);
}
