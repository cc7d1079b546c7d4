#pragma once

#include "editor/Colorize.h"

#include <QStringView>

#include <vector>

// Collects colour runs in order; a run of the colour of the one before joins it, so
// neighbours never share a colour.
class ColorRunSink
{
public:
    void add(qsizetype start, qsizetype length, ColorValue color)
    {
        if (length <= 0)
            return;
        if (!m_runs.empty() && m_runs.back().color == color)
            m_runs.back().length += int(length);
        else
            m_runs.push_back({int(start), int(length), color});
    }
    void reserve(qsizetype runs) { m_runs.reserve(size_t(runs)); }
    std::vector<SyntaxRun> take() { return std::move(m_runs); }

private:
    std::vector<SyntaxRun> m_runs;
};

// Colours a style sheet (the content of a STYLE block) that starts at offset start of the
// scanned text; with declarationsOnly, the content of a style attribute (no selectors).
void colorStyleSheet(QStringView code, qsizetype start, const SyntaxColors &colors,
                     ColorRunSink &sink, bool declarationsOnly);
// Colours a script (the content of a SCRIPT block) that starts at offset start.
void colorScript(QStringView code, qsizetype start, const SyntaxColors &colors,
                 ColorRunSink &sink);
// The value of a style attribute in a whole tag ("<" to ">"), as [first, last) within the
// tag; an empty range when the tag has none.
std::pair<qsizetype, qsizetype> styleAttributeValue(QStringView tag);
