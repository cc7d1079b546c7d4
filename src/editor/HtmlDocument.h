#pragma once

#include "editor/ColorRun.h"
#include "editor/PendingColours.h"
#include "markup/ColorValue.h"
#include "markup/GuardedFile.h"
#include "markup/TextEncoding.h"
#include "markup/TextFile.h"

#include <QObject>
#include <QTextCursor>

#include <functional>
#include <optional>
#include <span>
#include <utility>
#include <vector>

class HtmlDocument;
class QFont;
class QTextBlock;
class QTextDocument;
class QTimer;

// Saves a document for the question asked before it closes.
class DocumentSaver
{
public:
    virtual ~DocumentSaver() = default;
    // Saves the document (Save As for a never-saved one); false when it was not saved.
    virtual bool saveDocument(HtmlDocument &document) = 0;
};

// One open HTML page without any window: its text, its file (name, encoding, line breaks,
// whether it is text at all), its modified state, and the operations every command uses.
// Offsets count a line break as its two characters CR LF, as the commands expect; the text
// itself keeps one separator per line, and this class converts. The document has its own
// caret and selection, which the commands move; a view shows them and hands back the
// user's.
class HtmlDocument : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxLength = MaxDocumentLength;
    // How many characters a text takes once it is in: a line break of any kind counts two.
    static qsizetype lengthOnceIn(const QString &text);
    static inline const QString Untitled = QStringLiteral("Bez jména");

    // slotIndex is the document's place (1..30) among the open ones; saver answers the
    // close question's "Yes" (none: the document is not saved there).
    explicit HtmlDocument(int slotIndex = 0, DocumentSaver *saver = nullptr,
                          QObject *parent = nullptr);
    ~HtmlDocument() override;

    const int SlotIndex;
    QTextDocument *textDocument() const { return m_text; }

    // --- the file ------------------------------------------------------------------------
    QString FileName() const { return m_fileName; }
    // Sets the file name; the caption (its file-name part, or "Bez jména") follows.
    void setFileName(const QString &path);
    bool isUntitled() const { return m_fileName == Untitled; }
    QString caption() const;

    // Loads a file read before (text with CR LF breaks): caret at 0, not modified. The
    // encoding, the line breaks and whether it is text at all are the file's as read; a
    // file without line breaks keeps the document's form.
    void showLoadedText(const QString &path, const TextFileResult &file);
    // Takes note of the file as it now is on disk (after reading or writing it), so a later
    // save can tell whether another program changed it meanwhile.
    void noteDiskState();
    // True when the file this text was read from or written to has since been changed on
    // disk by someone else (a file deleted meanwhile is no change: saving brings it back).
    bool changedOnDisk() const;

    // The encoding the document is written in on the next save.
    FileEncoding encoding() const { return m_encoding; }
    QString encodingNote() const { return m_encodingNote; }
    // Status-bar text: the encoding's name, and the note when there is one.
    QString encodingCaption() const;
    // Reads the unmodified file again in another encoding; false (after the error message)
    // when it cannot be read so, and the document stays as it was.
    bool reopenInEncoding(TextEncoding encoding);
    // Writes the document in another encoding from the next save on; the text stays.
    void convertToEncoding(TextEncoding encoding);
    // Before a save: when the text declares a known charset other than the document's
    // encoding, asks once which to use. False when the user cancels the save.
    bool settleEncodingForSave(QStringView text);

    // The line breaks the file is written with; the text itself always holds CR LF.
    LineEnding lineEnding() const { return m_lineEnding; }
    // A document that has no file yet takes the form new pages are saved in.
    void setLineEnding(LineEnding ending);
    // Writes the document with other line breaks from the next save on.
    void convertLineEnding(LineEnding ending);

    // A file that is no text (a picture opened by mistake): its bytes are changed only once
    // the user confirmed that it is to be saved all the same.
    bool isBinary() const { return m_binary; }
    // Asks before the first save of a binary file; false when it is not to be saved.
    bool confirmBinarySave();

    // Asks about unsaved changes; true when the document may close.
    bool CloseQuery();
    // Closes the document without a question: the question was already answered.
    void closeConfirmed();
    bool isCloseConfirmed() const { return m_closeConfirmed; }
    // The document's place was given up: it is closed, and deleted from the event loop.
    void markClosed() { Q_EMIT closed(); }

    // A read-only document takes no edit, neither typed nor from a command nor an undo.
    bool isReadOnly() const { return m_readOnly; }
    void setReadOnly(bool readOnly);

    // --- text ----------------------------------------------------------------------------
    QString GetText() const;
    // Replaces the whole text as one undo step.
    void SetText(const QString &text);
    // Shows a freshly read file: no undo history, caret at the start, not modified.
    // The caller refuses texts beyond MaxLength before.
    void loadText(const QString &text);
    int textLength() const;
    // Text of the range [start, start + length).
    QString textRange(int start, int length) const;

    bool IsModified() const;
    void SetModified(bool modified);
    // Takes back the last edit, with the colours that came with it, and puts it in again.
    void Undo();
    void Redo();

    // The content's font (face and size) for the whole text; colours, caret and the
    // modified flag stay.
    QFont editorFont() const;
    void setEditorFont(const QFont &font);

    // --- caret and selection -------------------------------------------------------------
    int SelStart() const;
    void SetSelStart(int offset);
    int SelLength() const;
    void SetSelLength(int length);
    QString SelText() const;
    void ReplaceSelection(const QString &text);
    void ClearSelection() { ReplaceSelection(QString()); }
    void SelectAll();
    // The clipboard holds the selection with plain line breaks, as other programs take it;
    // a paste that would not fit is refused with the message, the document unchanged.
    void CopyToClipboard() const;
    void CutToClipboard();
    void PasteFromClipboard();
    // A paste or a drop of text over the selection: in whole, or refused with the message
    // when it would not fit (cut at the limit, it would end in the middle of a word without
    // a word said). False when refused.
    bool PasteWhole(const QString &text);
    // The caret and selection as a cursor of the text; views show it.
    QTextCursor caret() const { return m_caret; }
    // Asks the views to show the caret in their middle.
    void centerCaret() { Q_EMIT caretCentreRequested(); }
    // A view hands over the caret the user moved.
    void takeCaretFromView(const QTextCursor &cursor);
    // True while the document changes its text or caret itself: a view's caret moves
    // then, but not by the user.
    bool isChanging() const { return m_editGroupDepth > 0 || m_changing > 0; }
    // True while a replacement of the selection outside an edit group (a paste, a cut, a
    // command's text) changes the text; selectionReplaced follows it.
    bool isReplacingSelection() const { return m_replacing; }

    // Writes prefix before and suffix after the selection in the given colour, as one undo
    // step; the caret ends between the former selection and the suffix.
    void WrapSelection(ColorValue color, const QString &prefix, const QString &suffix);
    void InsertAtCaret(ColorValue color, const QString &text);
    // Selects the whole tag the caret stands in (from its "<" up to the caret when no ">"
    // follows); leaves the selection alone when the caret is not inside a tag.
    void SelectTagAtCaret();
    // 1-based line and column of the caret.
    QPair<int, int> CaretLineColumn() const;

    // --- lines ---------------------------------------------------------------------------
    int LineFromOffset(int offset) const;
    int LineStart(int line) const;
    QString LineText(int line) const;
    int lineCount() const;
    // Offset of the nearest ch before offset (-1 when none), and of the first ch at or
    // after offset (-1 when none). They read the text around the caret only.
    int lastIndexBefore(int offset, QChar ch) const;
    int firstIndexFrom(int offset, QChar ch) const;

    // --- colour --------------------------------------------------------------------------
    // A line longer than this keeps the one colour it has: the view lays a line out whole at
    // every key typed into it, and every change of colour is one more piece of it to shape
    // and to find a font for. Colouring passes such a line by; its text stays as it is.
    static constexpr int LongLineLength = 20000;
    // Whether a line of the text is longer than LongLineLength (its break not counted).
    static bool isLongLine(const QTextBlock &block);
    ColorValue InsertionColor() const;
    void SetInsertionColor(ColorValue color);
    void ColorRange(int start, int length, ColorValue color);
    ColorValue colorAt(int offset) const;
    // Colours many runs (sorted by start) as one edit; the modified flag is kept.
    void applyColorRuns(std::span<const ColorRun> runs);
    // Colours runs (sorted by start) as part of the last edit: one undo step takes back the
    // edit and the colours it brought, and one redo puts both in again.
    void colorWithLastEdit(std::span<const ColorRun> runs);
    // True while colours are being put in: the text reports a change of its content then,
    // though it stays the same.
    bool isColouring() const { return m_colouring; }
    // Colours the runs (sorted by start) while the user goes on working: the runs a view
    // shows at once, the rest in slices of at most SliceMs from the event loop. Text typed
    // or inserted meanwhile keeps its own colour, and the runs still to come move with the
    // edits. The modified flag is kept; backgroundColouringFinished follows the last slice.
    void colorInBackground(std::span<const ColorRun> runs);
    bool backgroundColouringPending() const { return m_pending.pending(); }
    // Drops the colours still to come (the text is replaced or recoloured from scratch).
    void cancelBackgroundColouring();
    // Called before an edit of the user's: the colours still to come go in at once, outside
    // the history, which is then switched on, so the edit can be undone and no colour ever
    // becomes an undo step.
    void finishColouringBeforeEdit();
    static constexpr int SliceMs = 8;
    // The stretch of text positions a view shows, coloured first; none without a view.
    void setVisibleRange(std::function<std::pair<int, int>()> range)
    {
        m_visibleRange = std::move(range);
    }

    // --- find and replace ----------------------------------------------------------------
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

    // Groups the edits made while it lives into one undo step. Views are shown the caret
    // once the group ends: until then the layout lags behind the text.
    class EditGroup
    {
    public:
        explicit EditGroup(HtmlDocument &document);
        ~EditGroup();
        EditGroup(const EditGroup &) = delete;
        EditGroup &operator=(const EditGroup &) = delete;

    private:
        HtmlDocument &m_document;
    };

Q_SIGNALS:
    void captionChanged(const QString &caption);
    // The encoding or the line breaks changed.
    void encodingChanged();
    void binaryChanged(bool binary);
    // A file's text was read into the document (it goes by reference: no copy).
    void textLoaded(const QString &text);
    // A whole text of lines lines is about to go in, and has gone in; views get ready for it.
    void textAboutToLoad(int lines);
    void textLoadFinished();
    // The commands moved the caret (moved) or changed only the insertion format; views
    // follow.
    void caretSet(bool moved);
    void caretCentreRequested();
    void readOnlyChanged(bool readOnly);
    void editorFontChanged(const QFont &font);
    void backgroundColouringFinished();
    // The selection was replaced outside an edit group; views colour the code around it.
    void selectionReplaced();
    // The document is to close; its window goes, then the document.
    void closeRequested();
    // The document is closed and takes no further part.
    void closed();
    // The document is about to be destroyed; a view still showing it goes first.
    void destroying();

private:
    int toOffset(int position) const;
    int toPosition(int offset) const;
    void setCaret(const QTextCursor &cursor);
    void insertLimited(QTextCursor &cursor, const QString &text, const QTextCharFormat &format);
    void setBinary(bool binary);

    // Runs paint in one edit block that is no step of the user's: with no history yet the
    // colours stay out of it; otherwise the block joins the step before it.
    void paintWithLastStep(const std::function<void(QTextCursor &)> &paint);
    void forgetJoinedStepsAbove(int undoSteps);
    void colourSlice();
    void applyPending(std::span<const PendingColours::Run> runs);
    // Gives each run its colour through the cursor, in whatever edit block the caller opened.
    void paintRuns(QTextCursor &c, std::span<const ColorRun> runs);
    void movePendingRuns(int position, int removed, int added);
    void endBackgroundColouring();

    QTextDocument *m_text = nullptr;
    DocumentSaver *m_saver = nullptr;
    QTextCursor m_caret;

    QString m_fileName = Untitled;
    struct DiskState
    {
        QString path;
        qint64 modified = 0; // milliseconds since the epoch
        qint64 size = -1;
    };
    std::optional<DiskState> m_diskState;
    FileEncoding m_encoding;
    QString m_encodingNote;
    LineEnding m_lineEnding = LineEnding::CrLf;
    bool m_binary = false;
    // A declared charset the user chose not to follow; not asked about again.
    std::optional<TextEncoding> m_declaredButKept;
    bool m_closeConfirmed = false;
    bool m_readOnly = false;

    PendingColours m_pending;
    QTimer *m_sliceTimer = nullptr;
    bool m_firstSlice = false;
    bool m_undoWasEnabled = true;
    bool m_colouring = false;
    bool m_replacing = false;
    std::function<std::pair<int, int>()> m_visibleRange;

    // Colour blocks that Undo and Redo take together with the step before them, as the
    // history's command counts before and after each. Qt joins a block to the previous
    // command only when that one is a block too; a typed key is a single command.
    struct JoinedStep
    {
        int from = 0;
        int to = 0;
    };
    std::vector<JoinedStep> m_joinedSteps;

    int m_editGroupDepth = 0;
    int m_changing = 0;
    QTextCursor m_groupCursor;
    bool m_groupCaretMoved = false;
    bool m_groupFormatSet = false;
};
