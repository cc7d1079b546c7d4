#pragma once

#include "commands/Workspace.h"
#include "editor/TForm2.h"

#include <QObject>
#include <QPointer>

#include <array>

class QMdiArea;
class QMdiSubWindow;
struct TextFileResult;

// Turns a tag item dropped on a document into the text it stands for; the user-tags
// window knows the lines behind its own items.
class DroppedTagSource
{
public:
    virtual ~DroppedTagSource() = default;
    virtual QString droppedText(const QString &itemText) = 0;
};

// The documents: their 30 slots as windows of a document area, new and opened ones, the
// recent files, and what a document asks of its host. It is the document half of the
// workspace; the frame lends it the dialog parent, its status bar (through statusTextSet)
// and its optional services. Tests run it over a plain document area without a frame.
class DocumentManager : public QObject, public Workspace, public DocumentHost
{
    Q_OBJECT

public:
    static constexpr int SlotCount = 30;

    DocumentManager(TSettings &settings, QMdiArea &area, QWidget &dialogParent,
                    QObject *parent = nullptr);

    // The slot (1..30) of the window activated last, 0 when none.
    int ActiveDocument = 0;
    TForm2 *document(int slot) const;
    // The area the document windows live in.
    QMdiArea &area() const { return *m_mdi; }

    // Workspace
    TSettings &settings() override { return m_settings; }
    TForm2 *activeDocument() const override { return document(ActiveDocument); }
    QList<TForm2 *> documents() const override; // in slot order
    TForm2 *NewDocumentWindow() override;
    bool OpenFile(TForm2 &document, const QString &path) override;
    TForm2 *openInNewWindow(const QString &path) override;
    // A file given to the program from outside (its command line, a later start): the window
    // that shows it already comes to the front, else the file opens in a new one. A file
    // that cannot be read leaves only its message, no empty window. False when all the
    // slots are taken.
    bool openHandedFile(const QString &path);
    // Makes the document's window the active one, restored when it was minimised.
    void activateDocument(TForm2 &document);
    void fileStored(const QString &path) override;
    QWidget *dialogParent() override { return &m_dialogParent; }
    void setStatusText(int panel, const QString &text) override;
    TableWindowService *tableWindows() const override { return m_tableWindows; }
    PreviewPlaces *previewPlaces() const override { return m_previewPlaces; }

    // The frame's services; none by default.
    void setTableWindows(TableWindowService *service) { m_tableWindows = service; }
    void setPreviewPlaces(PreviewPlaces *service) { m_previewPlaces = service; }
    void setDroppedTagSource(DroppedTagSource *source) { m_droppedTags = source; }

    // Puts a path at the top of the recent files unless it is listed already.
    void AddRecentFile(const QString &path);
    // Colours the active document's markup.
    void colorizeActiveDocument();
    // The status-bar size of the active document.
    void refreshDocumentStatus();

    // DocumentHost
    bool saveDocument(TForm2 &document) override;
    void tagItemDropped(TForm2 &document, const QString &itemText) override;
    void editCurrentTag(TForm2 &document) override;
    std::optional<QString> composeStyle(TForm2 &document) override;

Q_SIGNALS:
    // A new document window was made (empty, about to be shown); the frame attaches it first.
    void documentCreated(TForm2 *document);
    // A document window joined the document area.
    void documentWindowAdded();
    // A document window became the active one; activeDocumentChanged follows.
    void activeDocumentShown(TForm2 *document);
    void activeDocumentChanged(int slot);
    // A file was read into the active document.
    void activeDocumentLoaded();
    // A document was opened or saved there; the file panel may follow.
    void fileLocationChanged(const QString &path);
    void recentFilesChanged();
    void statusTextSet(int panel, const QString &text);

private:
    bool showFile(TForm2 &document, const QString &path, const TextFileResult &file,
                  bool colourInBackground);
    void watchDocument(TForm2 *document);
    void documentActivated(QMdiSubWindow *window);

    TSettings &m_settings;
    QMdiArea *m_mdi;
    QWidget &m_dialogParent;
    std::array<QPointer<TForm2>, SlotCount> m_slots;
    TableWindowService *m_tableWindows = nullptr;
    PreviewPlaces *m_previewPlaces = nullptr;
    DroppedTagSource *m_droppedTags = nullptr;
};
