#pragma once

#include "markup/TagPairs.h"

#include <QObject>
#include <QString>

#include <functional>
#include <vector>

class QTextDocument;
class QTextBlock;

// The lines of an editor's text with the state each begins in (markup, comment, script,
// style), kept as the text changes: an edit forgets the states from its line on, and they
// are worked out again only as far as a look at the text needs them. The aids of the
// editor read a stretch of whole lines around the caret that begins in markup, so they
// never read the page from its top for a key typed at its end.
class MarkupLines : public QObject
{
    Q_OBJECT

public:
    explicit MarkupLines(QTextDocument &text, QObject *parent = nullptr);

    // Whole lines around a position: the text (lines joined by "\n", so an index in it is
    // a position of the document less start), and the start of the last line at or before
    // the position that begins in markup.
    struct Window
    {
        int start = 0;
        QString text;
        qsizetype markupFrom = 0; // in the window
        bool reachesStart = false;
        bool reachesEnd = false;
        qsizetype at(int position) const { return position - start; }
    };
    // At least before characters before the position (more, to begin at a line in markup)
    // and at least after characters after it, as far as the text goes.
    Window window(int position, int before, int after);
    // The window grown to the start or to the end of the text, in a few steps: a partner
    // looked for in vain in a window is looked for in a larger one.
    Window wider(const Window &window, int position, bool backwards);

    TextState stateAt(const QTextBlock &block);

    // Edits made while this is false change only colours: the states stay.
    void setTextChangesCounted(std::function<bool()> counted) { m_counted = std::move(counted); }

private:
    void contentsChange(int position, int removed, int added);

    QTextDocument &m_text;
    std::vector<TextState> m_states; // by line number, known for the first m_known lines
    int m_known = 0;
    std::function<bool()> m_counted;
};
