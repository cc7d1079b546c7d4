#pragma once

#include <QString>
#include <QTextBlock>

class QTextDocument;

// The editor keeps one block separator per line; the commands and the files think in
// CR LF. These convert between the two: an offset counts CR LF as two characters, a
// position is the control's own (one separator a line).

// The offset of a control position.
int offsetOfPosition(const QTextDocument &document, int position);
// The control position of an offset; an offset between CR and LF, or past the end of a
// line, stands at the end of that line.
int positionOfOffset(const QTextDocument &document, int offset);
// The length of the whole text in offsets.
int offsetLength(const QTextDocument &document);

// Text as the control holds it: CR LF, a lone CR, and line and paragraph separators
// (Shift+Enter, pasted text) each become one line break.
QString toControlText(const QString &text);

// Turns offsets into control positions by walking the lines from the last one reached, so
// a run of nearby offsets (a page's colour runs, in order) costs almost nothing to convert.
class LineWalker
{
public:
    explicit LineWalker(const QTextDocument &document);

    int positionOf(int offset);

private:
    QTextBlock m_block;
    int m_lineOffset = 0; // offset of the first character of m_block
    // m_block's position and length, kept here: asking the block walks the document's tree
    // each time, which made colouring a large page wait on it.
    int m_position = 0;
    int m_length = 0;
};
