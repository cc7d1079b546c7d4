#pragma once

#include "app/DocumentManager.h"
#include "app/CoveredDocuments.h"
#include "app/MainMenu.h"
#include "app/TableWindowSlot.h"
#include "app/ProgramDir.h"
#include "commands/CommandRegistry.h"
#include "commands/Workspace.h"
#include "editor/TForm2.h"
#include "settings/SettingsModel.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <array>
#include <memory>

class CommandToolbar;
class DocumentArea;
class MarkupStyleBar;
class PaletteBar;
class QMdiArea;
class QSplitter;
class QToolButton;
class SidePanel;
class StatusPanels;
class WebBrowser;

// A window that may keep the program running when it is left (an unsaved user-tag list
// whose save did not happen).
class CloseGuard
{
public:
    virtual ~CloseGuard() = default;
    virtual bool mayClose() = 0;
};

// The frame window: menus, command toolbar, tag palette, side panel and status bar around
// the document area. Its document manager holds the documents; commands reach them through
// that workspace, and the frame lends it the table window and the preview's places.
class TForm1 : public QMainWindow, public PreviewPlaces
{
    Q_OBJECT

public:
    static constexpr int SlotCount = DocumentManager::SlotCount;

    // Loads the settings from the store and applies them, as at program start.
    explicit TForm1(std::unique_ptr<SettingsStore> store = std::make_unique<SettingsStore>(),
                    QWidget *parent = nullptr);
    ~TForm1() override;

    // The documents, and the workspace the commands run in.
    DocumentManager &workspace() const { return *m_documents; }
    // The settings as everyone reads them, and in place for the few that write them so;
    // changes through the model are announced to the parts that follow them.
    TSettings &settings() { return m_settings.writableValues(); }
    const TSettings &settings() const { return m_settings.values(); }
    SettingsModel &settingsModel() { return m_settings; }
    // The file the settings are stored in.
    QString settingsFile() const { return m_store->fileName(); }

    // Files dropped from the desktop: pages and templates open, anything else is ignored.
    void openDroppedFiles(const QList<QUrl> &urls);

    void RefreshRecentMenu();

    QAction *action(CommandId id) const { return m_menu->action(id); }
    QAction *action(const QString &id) const { return m_menu->action(id); }
    QMenu *menu(CommandId id) const { return m_menu->menu(id.toString()); }
    QMenu *menu(const QString &id) const { return m_menu->menu(id); }
    MainMenu &mainMenu() const { return *m_menu; }
    void setStatusText(int panel, const QString &text);
    QString statusText(int panel) const;
    bool autoIndentOn() const;

    // PreviewPlaces: the browser that takes the document area's place.
    WebBrowser *documentAreaBrowser() override;
    bool documentAreaCovered() const override;
    void setDocumentAreaCovered(bool covered) override;
    void showSidePanel(bool shown) override { setSidePanelVisible(shown); }
    void showChildWindow(QWidget *window) override;
    void previewWindowChanged(bool open) override;

    // The frame's panels.
    CommandToolbar &toolbar() const { return *m_toolbar; }
    PaletteBar &palette() const { return *m_palette; }
    SidePanel &sidePanel() const { return *m_sidePanel; }
    DocumentArea &documentArea() const { return *m_documentArea; }
    QMdiArea *mdiArea() const;
    QToolButton *toolButton(const QString &objectName) const;
    void setSidePanelVisible(bool visible);
    // The commands of the menu items by their identifiers.
    CommandRegistry &commands() { return m_commands; }

    // Start-up: the logo's frames, the user-command menu.
    void loadLogoFrames();
    void rebuildUserCommandMenu();

    void runDocumentCheck();
    void showTips();
    // Shows the window maximised, minimised or normal as the settings stored it.
    void showAsStored();
    // Loads what the first document window needs, at a moment the user is not waiting on.
    void prepareForFirstDocument();

    // The first start's question about the markup style; nullptr once it has gone.
    MarkupStyleBar *markupStyleBar() const;

    // Asked when the program is left, after the documents; none by default.
    void setCloseGuard(CloseGuard *guard) { m_closeGuard = guard; }

protected:
    bool event(QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void createPanels();
    void connectDocuments();
    void attachDocument(TForm2 *document);
    void showActiveDocument(TForm2 *document);
    // The active document holds a file as read: nothing in it is changed.
    void showActiveDocumentUnchanged();
    void updateModifiedIndicators(bool modified);
    void placeSidePanel(bool right);
    void followSettings();
    void applyPlacement();
    void storePlacement();

    // Members die in the reverse of this order. The settings' store, the settings and the
    // menu outlive everything that reads them; the panels go next, each with its widgets,
    // and the documents first, before the windows that show them, so nothing a document
    // window or a panel says on its way out reaches a part already gone.
    std::unique_ptr<SettingsStore> m_store;
    SettingsModel m_settings;
    std::unique_ptr<MainMenu> m_menu;
    CommandRegistry m_commands;
    StatusPanels *m_status = nullptr; // the status bar's, which the window owns
    std::unique_ptr<CommandToolbar> m_toolbar;
    std::unique_ptr<SidePanel> m_sidePanel;
    std::unique_ptr<DocumentArea> m_documentArea;
    std::unique_ptr<PaletteBar> m_palette;
    std::unique_ptr<DocumentManager> m_documents;
    std::unique_ptr<TableWindowSlot> m_tableWindow; // its window goes before the documents
    QPointer<class TipsWindow> m_tips;
    QPointer<MarkupStyleBar> m_markupStyleBar;
    QSplitter *m_splitter = nullptr;
    CloseGuard *m_closeGuard = nullptr;
    bool m_tipsShowNextTime = false;
    CoveredDocuments m_covered;
    class EditorViews *m_editorViews = nullptr;
};
