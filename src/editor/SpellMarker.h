#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>

class EditorBuffer;
class QMenu;
class QTextBlock;
class SpellChecker;

// Marks misspelt words of an editor with a red wavy underline while the user types. Each
// line keeps its words' verdicts and the scan state it ends in, so an edit rechecks only the
// lines it touched (and the following ones while their state changes). What is on screen is
// checked first, whatever brought it there (the wheel, the scroll bar, the keyboard, a jump);
// the rest follows in short slices from the event loop, as the background colouring does. The marks are the editor's extra selections and never change the text,
// its colours, the undo history or the modified flag.
class SpellMarker : public QObject
{
    Q_OBJECT

public:
    SpellMarker(EditorBuffer &buffer, SpellChecker &checker);
    ~SpellMarker() override;

    // The marker of a buffer, or null.
    static SpellMarker *of(const EditorBuffer &buffer);

    void setEnabled(bool enabled);
    bool isEnabled() const { return m_enabled; }

    // Lines still to check in slices.
    bool pending() const;
    // Checks everything still to check now and marks what is on screen.
    void finish();
    // The marked words on screen as (offset, length) in buffer offsets (CR LF counts two).
    QList<QPair<int, int>> markedWords() const;
    // The misspelt word at the offset as (offset, length), or length 0 when there is none.
    QPair<int, int> misspeltWordAt(int offset) const;

    // Puts the spelling items for the word under the viewport position at the top of the
    // menu: up to 8 suggestions, "Přidat do slovníku", "Ignorovat vše". False, with the menu
    // untouched, when no marked word is there.
    bool addMenuItems(QMenu &menu, const QPoint &viewportPosition);

    static constexpr int SliceMs = 8;
    static constexpr int MaxSuggestions = 8;

Q_SIGNALS:
    // The last slice is in: every line is checked.
    void checked();

private:
    void contentsChanged(int position, int removed, int added);
    void recheckAll();
    void checkVisible();
    void slice();
    bool checkBlock(QTextBlock &block);
    void refreshMarks();
    void scheduleVisible();
    QPair<int, int> visibleBlocks() const;

    EditorBuffer &m_buffer;
    QPointer<SpellChecker> m_checker;
    bool m_enabled = true;
    int m_sweepFrom = 0; // the first line the slices have not passed
    bool m_editedSinceSweep = false;
    static constexpr int SweepAfterEditMs = 20;
    QTimer m_visibleTimer;
    QTimer m_sliceTimer;
    QPair<int, int> m_looked{-1, -1}; // the lines on screen at the last look
};
