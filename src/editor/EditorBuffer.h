#pragma once

#include "editor/HtmlDocument.h"
#include "markup/ColorValue.h"
#include "markup/GuardedFile.h"

#include <QPlainTextEdit>

#include <functional>
#include <utility>

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

// The view of one document: it paints the text, takes the keys, the mouse, drags and drops,
// shows the document's caret and hands the user's caret back to it. What it types goes
// through the document's operations (colour as you type, indentation, the length limit).
class EditorBuffer : public QPlainTextEdit
{
    Q_OBJECT

public:
    static constexpr int MaxLength = MaxDocumentLength;

    explicit EditorBuffer(HtmlDocument &document, QWidget *parent = nullptr);
    ~EditorBuffer() override;
    // On a line longer than this the caret does not blink (see updateCaretBlinking).
    static constexpr int SteadyCaretLineLength = 20000;

    HtmlDocument &htmlDocument() const { return m_document; }

    void CutToClipboard() { cut(); }
    void CopyToClipboard() { copy(); }
    void PasteFromClipboard() { paste(); }
    void Undo() { m_document.Undo(); }
    void ClearSelection() { m_document.ClearSelection(); }

    void setKeyOptions(EditorKeyOptions options) { m_keys = std::move(options); }
    const EditorKeyOptions &keyOptions() const { return m_keys; }

Q_SIGNALS:
    // Key down, key up and mouse down report the caret, for the status bar.
    void caretReported(int line, int column);
    // A drop from a tag tree or a tag list; the document window decides what to insert.
    void tagItemDropped(const QString &itemText);

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
    void followDocumentCaret(bool moved);
    void handCaretToDocument();
    std::pair<int, int> visiblePositions() const;
    void reportCaret();
    void updateCaretBlinking();
    void colorAsYouType(QChar typed);
    void indentAfterEnter();
    static QString droppedItemText(const QDropEvent *event);

    HtmlDocument &m_document;
    EditorKeyOptions m_keys;
    bool m_enterPressed = false; // an Enter key press reached this control
    bool m_followingDocument = false;
    Qt::ScrollBarPolicy m_scrollBarPolicy = Qt::ScrollBarAsNeeded;
};
