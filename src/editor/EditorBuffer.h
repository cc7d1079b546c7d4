#pragma once

#include "editor/Colorize.h"
#include "editor/HtmlDocument.h"
#include "editor/TypingAids.h"
#include "markup/ColorValue.h"
#include "markup/GuardedFile.h"

#include <QAbstractTextDocumentLayout>
#include <QPlainTextEdit>
#include <QTextLayout>

#include <functional>
#include <optional>
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
    // A key that changes the code of a style or script block colours it again in these
    // colours; unset means off.
    std::optional<SyntaxColors> codeColors;
    // Keys that belong to the frame's commands even while the editor has the focus
    // (Ctrl+Del deletes the current tag, not the next word).
    std::function<bool(const QKeySequence &)> isCommandShortcut;
    // Line numbers, the tag pair, end tags, renaming and the list of names.
    TypingAidOptions aids;
};

class LineNumberGutter;

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
    static constexpr int SteadyCaretLineLength = HtmlDocument::LongLineLength;

    HtmlDocument &htmlDocument() const { return m_document; }

    void CutToClipboard() { cut(); }
    void CopyToClipboard() { copy(); }
    void PasteFromClipboard() { paste(); }
    void Undo() { m_document.Undo(); }
    void ClearSelection() { m_document.ClearSelection(); }

    void setKeyOptions(EditorKeyOptions options);
    const EditorKeyOptions &keyOptions() const { return m_keys; }

    TypingAids &typingAids() { return *m_aids; }
    // The caret into the other tag of the pair it stands in; false when there is none.
    bool goToPartnerTag() { return m_aids->goToPartner(); }
    // The line number the gutter shows at a height of the view; 0 where it shows none.
    int gutterLineAt(int y) const;
    bool gutterShown() const;

    // The view's marks come in layers, each set on its own: the spelling and the tag pair.
    enum class MarkLayer { Spelling, TagPair };
    void setMarks(MarkLayer layer, const QList<QTextEdit::ExtraSelection> &marks);
    QList<QTextEdit::ExtraSelection> marks(MarkLayer layer) const;

Q_SIGNALS:
    // Key down, key up and mouse down report the caret, for the status bar.
    void caretReported(int line, int column);
    // A drop from a tag tree or a tag list; the document window decides what to insert.
    void tagItemDropped(const QString &itemText);

private Q_SLOTS:
    void pageSizeChanged(const QSizeF &size);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
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
    void keepLongLinesShaped(int from, int to);
    void paintBlock(QPainter &painter, const QAbstractTextDocumentLayout::PaintContext &context,
                    const QTextBlock &block, QPointF offset, const QRect &area);
    void paintShownPart(QPainter &painter, const QTextBlock &block, QPointF offset,
                        const QRect &area, const QList<QTextLayout::FormatRange> &selections);
    void colorAsYouType(QChar typed);
    void noteKeyEdit(int position, int removed, int added);
    void recolourKeyEdit();
    // Follows what one key changes in the text and colours the code around it once the key
    // is handled, whichever way its handling ends.
    class KeyEditWatch
    {
    public:
        explicit KeyEditWatch(EditorBuffer &view)
            : m_view(view)
        {
            m_view.m_keyEditFrom = -2;
            m_view.m_inKey = true;
        }
        ~KeyEditWatch()
        {
            m_view.m_inKey = false;
            m_view.recolourKeyEdit();
            m_view.settleScrollBarsAfterKey();
        }
        KeyEditWatch(const KeyEditWatch &) = delete;
        KeyEditWatch &operator=(const KeyEditWatch &) = delete;

    private:
        EditorBuffer &m_view;
    };
    void indentAfterEnter();
    // Tab over a selection with a line break indents its lines; false within one line.
    bool indentSelectedLines();
    void takeOverScrollBarUpdates();
    void adjustScrollBars();
    void settleScrollBarsAfterKey();
    void payOwedScrollBars();
    static QString droppedItemText(const QDropEvent *event);
    void updateGutter();
    void paintGutter(QPaintEvent *event);
    // Calls fn(block, top, height) for the lines shown between two heights of the view.
    template<class Fn>
    void forEachGutterLine(int top, int bottom, Fn fn) const;
    friend class LineNumberGutter;

    HtmlDocument &m_document;
    EditorKeyOptions m_keys;
    bool m_enterPressed = false; // an Enter key press reached this control
    bool m_followingDocument = false;
    // The control positions a key changed; -2 while a key is handled and changed nothing,
    // -1 outside a key.
    int m_keyEditFrom = -1;
    int m_keyEditTo = -1;
    bool m_inKey = false;
    // The page's size as the scroll bars last took it (width, lines), and whether a key left
    // a change of its width for after the line typed in is painted.
    QSizeF m_pageSize;
    bool m_scrollBarsOwed = false;
    Qt::ScrollBarPolicy m_scrollBarPolicy = Qt::ScrollBarAsNeeded;
    int m_linesLoading = 0; // the lines of a text going in, which the gutter makes room for
    TypingAids *m_aids = nullptr;         // a child of the view
    LineNumberGutter *m_gutter = nullptr; // a child of the view
    int m_gutterLine = -1;                // the caret's line as the gutter marks it
    QList<QTextEdit::ExtraSelection> m_spellingMarks;
    QList<QTextEdit::ExtraSelection> m_pairMarks;
};
