#pragma once

#include <QList>
#include <QString>

class EditorBuffer;
class TTableForm;
class QWidget;
class TForm2;
class WebBrowser;
struct TSettings;

// What a command needs from the frame it runs in: the settings, the documents, a way to
// open one more, and a place to report a stored file. The main window implements it;
// tests may implement it with a plain widget, so a command is tested without the frame.
class Workspace
{
public:
    virtual ~Workspace() = default;

    virtual TSettings &settings() = 0;

    // The window activated last, nullptr when no document is open.
    virtual TForm2 *activeDocument() const = 0;
    // The open document windows in slot order.
    virtual QList<TForm2 *> documents() const = 0;
    // A new empty "Bez jména" window in the lowest free slot, made active; nullptr (after
    // the error message) when every slot is taken.
    virtual TForm2 *NewDocumentWindow() = 0;
    // Reads a file into the window; a file that cannot be read, or that is too long,
    // leaves the window as it was and tells the user why.
    virtual bool OpenFile(TForm2 &document, const QString &path) = 0;
    // Opens a file in a new window (coloured when the settings say so).
    virtual TForm2 *openInNewWindow(const QString &path) = 0;
    // A document was stored at path: the recent-files list and the file panel follow.
    virtual void fileStored(const QString &path) = 0;

    // The window that dialogs and tool windows belong to.
    virtual QWidget *dialogParent() = 0;
    // A text for one of the status bar's panels (0-based).
    virtual void setStatusText(int panel, const QString &text) = 0;

    // The table window while it stands open beside the documents, nullptr otherwise.
    virtual TTableForm *tableWindow() const { return nullptr; }
    // Closes and destroys the open table window; its menu check mark follows.
    virtual void closeTableWindow() {}

    // The active document's editor, nullptr when none is open.
    EditorBuffer *activeBuffer() const;
    // Whether the active document may grow by this many characters, replacing its
    // selection or not; false after telling the user it would not fit. True without a
    // document.
    bool roomForInsertion(qint64 inserted, bool replacesSelection = false) const;

    // Preview. A frame that has them offers the browser that can take the document
    // area's place, its side panel, and a place for windows among the documents; the
    // defaults suit a frame without them.
    virtual WebBrowser *documentAreaBrowser() { return nullptr; }
    virtual bool documentAreaCovered() const { return false; }
    virtual void setDocumentAreaCovered(bool covered) { (void)covered; }
    virtual void showSidePanel(bool shown) { (void)shown; }
    // Shows a window among the documents (adding it the first time) and brings it to the
    // front; the default makes it a window of its own over the dialog parent.
    virtual void showChildWindow(QWidget *window);
    // The separate preview window was opened or closed; the frame's menu follows.
    virtual void previewWindowChanged(bool open) { (void)open; }
};
