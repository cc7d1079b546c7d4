#pragma once

#include "editor/ColorRun.h"
#include "editor/PendingColours.h"
#include "markup/ColorValue.h"
#include "markup/GuardedFile.h"

#include <QPlainTextEdit>

#include <functional>
#include <span>
#include <vector>

class QTimer;

// What the keyboard handling of the editor needs to know from the settings and the main
// window; the document window keeps it up to date.
struct EditorKeyOptions
{
    ColorValue textColor = 0;
    ColorValue tagColor = 255;
    QString tabText = QString(8, QLatin1Char(' '));
    bool ctrlEnterInserts = true;
    QString ctrlEnterText = QStringLiteral("<BR>");
    std::function<bool()> autoIndent; // read at each Enter; unset means off
    // Keys that belong to the frame's commands even while the editor has the focus
    // (Ctrl+Del deletes the current tag, not the next word).
    std::function<bool(const QKeySequence &)> isCommandShortcut;
};

// The editing control of a document window and the editor-buffer operations every command
// uses. Offsets count a line break as its two characters CR LF, as the commands expect;
// the control itself keeps one separator per line, and this class converts. It is the only
// code that touches QTextCursor.
class EditorBuffer : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int MaxLength = MaxDocumentLength;

    explicit EditorBuffer(QWidget *parent = nullptr);
    ~EditorBuffer() override;
    // On a line longer than this the caret does not blink (see updateCaretBlinking).
    static constexpr int SteadyCaretLineLength = 20000;

    QString GetText() const;
    // Replaces the whole text as one undo step.
    void SetText(const QString &text);
    // Shows a freshly read file: no undo history, caret at the start, not modified.
    // The caller refuses texts beyond MaxLength before.
    void loadText(const QString &text);
    int textLength() const;

    int SelStart() const;
    void SetSelStart(int offset);
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const;
    void ReplaceSelection(const QString &text);
    void ClearSelection() { ReplaceSelection(QString()); }

    ColorValue InsertionColor() const;
    void SetInsertionColor(ColorValue color);
    void ColorRange(int start, int length, ColorValue color);
    // Colours many runs (sorted by start) as one edit; the modified flag is kept.
    void applyColorRuns(std::span<const ColorRun> runs);
    // True while colours are being put in: the control reports a change of its content
    // then, though the text stays the same.
    bool isColouring() const { return m_colouring; }
    // Colours the runs (sorted by start) while the user goes on working: the runs on screen
    // at once, the rest in slices of at most SliceMs from the event loop. Text typed or
    // inserted meanwhile keeps its own colour, and the runs still to come move with the
    // edits. The modified flag is kept; backgroundColouringFinished follows the last slice.
    void colorInBackground(std::span<const ColorRun> runs);
    bool backgroundColouringPending() const { return m_pending.pending(); }
    // Puts the colours still to come in now.
    void finishBackgroundColouring();
    // Drops the colours still to come (the text is replaced or recoloured from scratch).
    void cancelBackgroundColouring();
    static constexpr int SliceMs = 8;
    ColorValue colorAt(int offset) const;

    int LineFromOffset(int offset) const;
    int LineStart(int line) const;
    QString LineText(int line) const;
    int lineCount() const;

    bool IsModified() const;
    void SetModified(bool modified);

    void SelectAll() { selectAll(); }
    // A read-only buffer takes no edit, neither typed nor from a command nor an undo.
    void Undo()
    {
        if (!isReadOnly())
            undo();
    }
    void CutToClipboard() { cut(); }
    void CopyToClipboard() { copy(); }
    void PasteFromClipboard() { paste(); }

    // Writes prefix before and suffix after the selection in the given colour, as one undo
    // step; the caret ends between the former selection and the suffix.
    void WrapSelection(ColorValue color, const QString &prefix, const QString &suffix);
    void InsertAtCaret(ColorValue color, const QString &text);
    // Selects the whole tag the caret stands in (from its "<" up to the caret when no ">"
    // follows); leaves the selection alone when the caret is not inside a tag.
    void SelectTagAtCaret();
    // 1-based line and column of the caret.
    QPair<int, int> CaretLineColumn() const;

    // Offset of the nearest ch before offset (-1 when none), and of the first ch at or
    // after offset (-1 when none). They read the text around the caret only.
    int lastIndexBefore(int offset, QChar ch) const;
    int firstIndexFrom(int offset, QChar ch) const;
    // Text of the range [start, start + length).
    QString textRange(int start, int length) const;

    // Offset of the first occurrence of needle (CR LF text) at or after offset, or -1.
    // It reads the text in growing windows, so the cost follows the distance searched.
    // With ignoreCase both sides are compared after CzechUpperCase, which keeps lengths.
    int findForward(int offset, const QString &needle, bool ignoreCase) const;
    // Replaces the length characters at each start (ascending, not overlapping) by text,
    // as one undo step; each replacement takes the formatting of the text it replaces.
    // False, with nothing changed, when the result would not fit in MaxLength.
    bool replaceOccurrences(const QList<int> &starts, int length, const QString &text);
    // ReplaceSelection that merges into the previous undo step, so a run of replacements
    // that waits for the user between them still undoes in one step.
    void replaceSelectionJoiningUndo(const QString &text);

    // Groups the edits made while it lives into one undo step.
    class EditGroup
    {
    public:
        explicit EditGroup(EditorBuffer &buffer);
        ~EditGroup();
        EditGroup(const EditGroup &) = delete;
        EditGroup &operator=(const EditGroup &) = delete;

    private:
        EditorBuffer &m_buffer;
    };

    void setKeyOptions(EditorKeyOptions options) { m_keys = std::move(options); }
    const EditorKeyOptions &keyOptions() const { return m_keys; }

    // The content's font (face and size) for the whole text; colours, caret and the
    // modified flag stay.
    void setEditorFont(const QFont &font);

Q_SIGNALS:
    // Key down, key up and mouse down report the caret, for the status bar.
    void caretReported(int line, int column);
    // A drop from a tag tree or a tag list; the document window decides what to insert.
    void tagItemDropped(const QString &itemText);
    void backgroundColouringFinished();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    int toOffset(int position) const;
    int toPosition(int offset) const;
    // The caret and selection the operations work on: the control's own, or inside an
    // edit group the group's, handed to the control when the group ends.
    QTextCursor caret() const;
    void setCaret(const QTextCursor &cursor);
    void insertLimited(QTextCursor &cursor, const QString &text, const QTextCharFormat &format);
    void reportCaret();
    void updateCaretBlinking();
    void colorAsYouType(QChar typed);
    void indentAfterEnter();
    static QString droppedItemText(const QDropEvent *event);

    void colourSlice();
    void applyPending(std::span<const PendingColours::Run> runs);
    void movePendingRuns(int position, int removed, int added);
    void endBackgroundColouring();

    PendingColours m_pending;
    QTimer *m_sliceTimer = nullptr;
    bool m_firstSlice = false;
    bool m_undoWasEnabled = true;

    EditorKeyOptions m_keys;
    int m_editGroupDepth = 0;
    bool m_colouring = false;
    bool m_enterPressed = false; // an Enter key press reached this control
    QTextCursor m_groupCursor;
    QTextCursor m_groupCaret;
    bool m_groupCaretMoved = false;
};
