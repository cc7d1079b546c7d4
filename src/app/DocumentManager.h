#pragma once

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "editor/TForm2.h"

#include <QObject>
#include <QPointer>

#include <array>

class EditorBuffer;
class QMdiArea;
struct TextFileResult;

// Turns a tag item dropped on a document into the text it stands for; the user-tags
// window knows the lines behind its own items.
class DroppedTagSource
{
public:
    virtual ~DroppedTagSource() = default;
    virtual QString droppedText(const QString &itemText) = 0;
};

// The windows of the documents, when the frame has a document area to show them in.
class DocumentViews : public DocumentHost
{
public:
    virtual QMdiArea &area() const = 0;
    // The window of a document, nullptr when it has none.
    virtual TForm2 *window(const HtmlDocument *document) const = 0;
    // Brings the document's window to the front, restored when minimised, with the focus.
    virtual void activate(HtmlDocument &document) = 0;
};

// The documents: their 30 slots, new and opened ones, closing them, and the recent files.
// It is the document half of the workspace and needs no widget: tests run it on documents
// alone. With a document area it also has windows for them (see DocumentWindows); the
// frame lends it the dialog parent, its status bar (through statusTextSet) and its
// optional services.
class DocumentManager : public QObject, public Workspace, public DocumentSaver
{
    Q_OBJECT

public:
    static constexpr int SlotCount = 30;

    // Documents without windows.
    explicit DocumentManager(TSettings &settings, QObject *parent = nullptr);
    // Documents whose dialogs belong to dialogParent; their windows come with
    // attachWindows.
    DocumentManager(TSettings &settings, QWidget &dialogParent, QObject *parent = nullptr);
    ~DocumentManager() override;

    // The slot (1..30) of the document activated last, 0 when none.
    int ActiveDocument = 0;
    HtmlDocument *document(int slot) const;
    // The windows of the documents; nullptr without a document area.
    DocumentViews *windows() const { return m_windows; }
    // From now on each new document gets a window there; the manager owns them.
    void attachWindows(DocumentViews *windows) { m_windows = windows; }
    // The window of a document, nullptr without one.
    TForm2 *window(const HtmlDocument *document) const;
    // The view of the active document, nullptr without one.
    EditorBuffer *activeView() const;
    // The area the document windows live in; only with windows.
    QMdiArea &area() const;

    // Workspace
    TSettings &settings() override { return m_settings; }
    HtmlDocument *activeDocument() const override { return document(ActiveDocument); }
    QList<HtmlDocument *> documents() const override; // in slot order
    HtmlDocument *NewDocumentWindow() override;
    bool OpenFile(HtmlDocument &document, const QString &path) override;
    HtmlDocument *openInNewWindow(const QString &path) override;
    // A file given to the program from outside (its command line, a later start): the
    // document that shows it already comes to the front, else the file opens in a new one.
    // A file that cannot be read leaves only its message, no empty document. False when
    // all the slots are taken.
    bool openHandedFile(const QString &path);
    // Shows a page read before in a new window, as openInNewWindow does; nullptr when all
    // the slots are taken.
    HtmlDocument *openReadFile(const QString &path, const TextFileResult &file);
    // Makes the document the active one: its window comes to the front (restored when it
    // was minimised) and takes the keyboard.
    void activateDocument(HtmlDocument &document) override;
    void focusDocument(HtmlDocument &document) override;
    void fileStored(const QString &path) override;
    QWidget *dialogParent() override { return m_dialogParent; }
    void setStatusText(int panel, const QString &text) override;
    TableWindowService *tableWindows() const override { return m_tableWindows; }
    PreviewPlaces *previewPlaces() const override { return m_previewPlaces; }

    // The frame's services; none by default.
    void setTableWindows(TableWindowService *service) { m_tableWindows = service; }
    void setPreviewPlaces(PreviewPlaces *service) { m_previewPlaces = service; }
    void setDroppedTagSource(DroppedTagSource *source) { m_droppedTags = source; }
    DroppedTagSource *droppedTagSource() const { return m_droppedTags; }

    // Puts a path at the top of the recent files unless it is listed already.
    void AddRecentFile(const QString &path);
    // Colours the active document's markup.
    void colorizeActiveDocument();
    // The status-bar size of the active document.
    void refreshDocumentStatus();

    // DocumentSaver
    bool saveDocument(HtmlDocument &document) override;

    // The windows' side: a document's window became the active one, or went.
    void documentShown(HtmlDocument &document, TForm2 *window);
    void releaseDocument(HtmlDocument &document);

Q_SIGNALS:
    // A new document was made (empty, about to become the active one).
    void documentCreated(HtmlDocument *document);
    // A window was made for a new document; the frame attaches it first.
    void windowCreated(TForm2 *window);
    // A document window joined the document area.
    void documentWindowAdded();
    // A document window became the active one; activeDocumentChanged follows.
    void activeDocumentShown(TForm2 *window);
    void activeDocumentChanged(int slot);
    // A file was read into the active document.
    void activeDocumentLoaded();
    // A document was opened or saved there; the file panel may follow.
    void fileLocationChanged(const QString &path);
    void recentFilesChanged();
    // A document was saved at path.
    void fileSaved(const QString &path);
    void statusTextSet(int panel, const QString &text);

private:
    bool showFile(HtmlDocument &document, const QString &path, const TextFileResult &file,
                  bool colourInBackground);
    void closeDocument(HtmlDocument *document);

    TSettings &m_settings;
    QWidget *m_dialogParent = nullptr;
    std::array<QPointer<HtmlDocument>, SlotCount> m_slots;
    DocumentViews *m_windows = nullptr;
    TableWindowService *m_tableWindows = nullptr;
    PreviewPlaces *m_previewPlaces = nullptr;
    DroppedTagSource *m_droppedTags = nullptr;
};
