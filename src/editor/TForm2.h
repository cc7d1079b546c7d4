#pragma once

#include "editor/EditorBuffer.h"
#include "markup/TextEncoding.h"
#include "markup/TextFile.h"

#include <QWidget>

#include <optional>

class TForm2;

// What a document window needs from the frame that owns it.
class DocumentHost
{
public:
    virtual ~DocumentHost() = default;
    // Saves the document (Save As for a never-saved one); false when it was not saved.
    virtual bool saveDocument(TForm2 &document) = 0;
    // A tag item from the tag tree or a tag list was dropped on the document.
    virtual void tagItemDropped(TForm2 &document, const QString &itemText) = 0;
    // The edit-current-tag command on the tag the document has just selected.
    virtual void editCurrentTag(TForm2 &document) = 0;
    // The style builder; its style text, or nothing when it was cancelled.
    virtual std::optional<QString> composeStyle(TForm2 &document) = 0;
};

// One open HTML file: a child window of the frame whose only control is the editor.
class TForm2 : public QWidget
{
    Q_OBJECT

public:
    static inline const QString Untitled = QStringLiteral("Bez jména");

    TForm2(DocumentHost &host, int slotIndex, QWidget *parent = nullptr);

    EditorBuffer *RichEdit1 = nullptr;
    const int SlotIndex;

    QString FileName() const { return m_fileName; }
    // Sets the file name and the caption (its file-name part, or "Bez jména").
    void setFileName(const QString &path);
    bool isUntitled() const { return m_fileName == Untitled; }

    // Loads a file read before (text with CR LF breaks): caret at 0, not modified. The
    // encoding, the line breaks and whether it is text at all are the file's as read; a
    // file without line breaks keeps the document's form.
    void showLoadedText(const QString &path, const TextFileResult &file);

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

    // A file that is no text (a picture opened by mistake): a bar says so, and its bytes
    // are changed only once the user confirmed that it is to be saved all the same.
    bool isBinary() const { return m_binary; }
    // Asks before the first save of a binary file; false when it is not to be saved.
    bool confirmBinarySave();

    // Lines are broken to at most about this length when the user asks for it.
    static constexpr int LongLineBreakLength = 1000;

    // Asks about unsaved changes; true when the window may close.
    bool CloseQuery();
    // Closes the window without a question: the question was already answered.
    void closeConfirmed();

    EditorBuffer &buffer() { return *RichEdit1; }

    // "Editovat tag .." of the context menu.
    void editCurrentTagFromMenu();

Q_SIGNALS:
    void captionChanged(const QString &caption);
    // The encoding or the line breaks changed.
    void encodingChanged();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showContextMenu(const QPoint &position);
    void setBinary(bool binary);
    // A bar above the editor with this object name, made the first time it is asked for.
    QWidget *noticeBar(const QString &name, const QString &text);
    void offerToBreakLongLines(QStringView text);
    void breakLongLines();
    void insertStyle();

private:
    DocumentHost &m_host;
    QString m_fileName = Untitled;
    FileEncoding m_encoding;
    QString m_encodingNote;
    LineEnding m_lineEnding = LineEnding::CrLf;
    bool m_binary = false;
    // A declared charset the user chose not to follow; not asked about again.
    std::optional<TextEncoding> m_declaredButKept;
    bool m_closeConfirmed = false;
};
