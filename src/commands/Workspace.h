#pragma once

#include <QList>
#include <QString>

class HtmlDocument;
class TTableForm;
class QWidget;
class WebBrowser;
struct TSettings;

// The table window that stands beside the documents; a frame without one has none.
class TableWindowService
{
public:
    virtual ~TableWindowService() = default;
    // The table window while it stands open, nullptr otherwise.
    virtual TTableForm *tableWindow() const = 0;
    // Closes and destroys the open table window; its menu check mark follows.
    virtual void closeTableWindow() = 0;
    // Opens the window when it is closed, closes it when open (F6 "Okno tabulky").
    virtual void toggleTableWindow() = 0;
};

// The places the preview takes in a frame: the browser that can cover the document area,
// the side panel it hides, and a place for windows among the documents.
class PreviewPlaces
{
public:
    virtual ~PreviewPlaces() = default;
    virtual WebBrowser *documentAreaBrowser() = 0;
    virtual bool documentAreaCovered() const = 0;
    virtual void setDocumentAreaCovered(bool covered) = 0;
    virtual void showSidePanel(bool shown) = 0;
    // Shows a window among the documents (adding it the first time), in front.
    virtual void showChildWindow(QWidget *window) = 0;
    // The separate preview window was opened or closed; the frame's menu follows.
    virtual void previewWindowChanged(bool open) = 0;
};

// What a command needs: the settings, the documents, a way to open one more, a place to
// report a stored file, and the frame's optional services. The document manager
// implements it, in the main window and in the tests alike.
class Workspace
{
public:
    virtual ~Workspace() = default;

    virtual TSettings &settings() = 0;

    // The document activated last, nullptr when none is open.
    virtual HtmlDocument *activeDocument() const = 0;
    // The open documents in slot order.
    virtual QList<HtmlDocument *> documents() const = 0;
    // A new empty "Bez jména" document in the lowest free slot, made active; nullptr (after
    // the error message) when every slot is taken.
    virtual HtmlDocument *NewDocumentWindow() = 0;
    // Reads a file into the document; a file that cannot be read, or that is too long,
    // leaves the document as it was and tells the user why.
    virtual bool OpenFile(HtmlDocument &document, const QString &path) = 0;
    // Opens a file in a new document (coloured when the settings say so); nullptr, after
    // telling the user why, when the file cannot be read or every slot is taken.
    virtual HtmlDocument *openInNewWindow(const QString &path) = 0;
    // Makes the document the active one, its window (if any) in front with the keyboard.
    virtual void activateDocument(HtmlDocument &document) = 0;
    // Gives the keyboard to the document's window, if it has one.
    virtual void focusDocument(HtmlDocument &document) = 0;
    // A document was stored at path: the recent-files list and the file panel follow.
    virtual void fileStored(const QString &path) = 0;

    // The window that dialogs and tool windows belong to; nullptr without a frame.
    virtual QWidget *dialogParent() = 0;
    // A text for one of the status bar's panels (0-based).
    virtual void setStatusText(int panel, const QString &text) = 0;

    // The frame's optional services, nullptr when the frame has none.
    virtual TableWindowService *tableWindows() const = 0;
    virtual PreviewPlaces *previewPlaces() const = 0;

    // The open document of the file at path (the same file, however the path is written),
    // nullptr when none holds it.
    HtmlDocument *documentOf(const QString &path) const;
    // Whether the active document may grow by this many characters, replacing its
    // selection or not; false after telling the user it would not fit. True without a
    // document.
    bool roomForInsertion(qint64 inserted, bool replacesSelection = false) const;
    // Shows the document's caret as line:column in the status bar, as keys and clicks do;
    // for the commands that move it.
    void reportCaret(const HtmlDocument &document);

    // The services asked through the workspace; without them there is no table window,
    // nothing covers the documents, and a child window is a window of its own over the
    // dialog parent.
    TTableForm *tableWindow() const;
    void closeTableWindow();
    void toggleTableWindow();
    WebBrowser *documentAreaBrowser();
    bool documentAreaCovered() const;
    void setDocumentAreaCovered(bool covered);
    void showSidePanel(bool shown);
    void showChildWindow(QWidget *window);
    void previewWindowChanged(bool open);
};
