#pragma once

#include "app/DocumentManager.h"
#include "app/MainMenu.h"
#include "app/ProgramDir.h"
#include "commands/Workspace.h"
#include "editor/TForm2.h"
#include "settings/TSettings.h"

#include <QMainWindow>
#include <QPointer>
#include <QUrl>

#include <array>
#include <memory>

class QLabel;
class StatusPanel;
class QListWidget;
class QMdiArea;
class QMdiSubWindow;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QTimer;
class QToolBar;
class QToolButton;
class TTableForm;
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
class TForm1 : public QMainWindow, public TableWindowService, public PreviewPlaces
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
    TSettings &settings() { return m_settings; }
    const TSettings &settings() const { return m_settings; }

    // TableWindowService
    TTableForm *tableWindow() const override;
    void closeTableWindow() override;
    // F6 "Okno tabulky": opens the table window when it is closed, closes it when open.
    // The menu item's check mark follows the window however it goes.
    void toggleTableWindow();
    // Files dropped from the desktop: pages and templates open, anything else is ignored.
    void openDroppedFiles(const QList<QUrl> &urls);

    void ApplySettings();
    void RefreshRecentMenu();

    QAction *action(const QString &id) const { return m_menu->action(id); }
    QMenu *menu(const QString &id) const { return m_menu->menu(id); }
    MainMenu &mainMenu() const { return *m_menu; }
    void setStatusText(int panel, const QString &text);
    QString statusText(int panel) const;
    bool autoIndentOn() const;

    // Preview (TForm1Preview.cpp): the browser that takes the document area's place.
    WebBrowser *documentAreaBrowser() override { return WebBrowser1; }
    bool documentAreaCovered() const override;
    void setDocumentAreaCovered(bool covered) override;
    void showSidePanel(bool shown) override { setSidePanelVisible(shown); }
    void showChildWindow(QWidget *window) override;
    void previewWindowChanged(bool open) override;

    // Widgets other parts of the program fill or use.
    QToolBar *Panel1 = nullptr;
    QWidget *Panel6 = nullptr;
    QTabWidget *PageControl2 = nullptr;
    QWidget *Panel7 = nullptr;
    QWidget *PaintBox1 = nullptr;
    QWidget *Panel2 = nullptr;
    QSplitter *Splitter1 = nullptr;
    QTabWidget *TabbedNotebook1 = nullptr;
    QWidget *FilePanelPage = nullptr;
    QWidget *TagTreePage = nullptr;
    WebBrowser *WebBrowser2 = nullptr;
    // The documents (page 0) or the internal preview browser WebBrowser1 (page 1).
    QStackedWidget *DocumentArea = nullptr;
    WebBrowser *WebBrowser1 = nullptr;
    QTabBar *TabSet1 = nullptr;
    QListWidget *ListBox1 = nullptr;
    QListWidget *ListBox2 = nullptr;
    QListWidget *ListBox3 = nullptr;
    QMdiArea *mdiArea() const { return m_mdi; }
    QToolButton *toolButton(const QString &objectName) const;

    // Start-up: the logo's frames, the tag tree from its file, the user-command menu.
    void loadLogoFrames();
    void loadTagTree(const QString &path);
    void rebuildUserCommandMenu();

    void runDocumentCheck();
    void showTips();
    // Shows the window maximised, minimised or normal as the settings stored it.
    void showAsStored();
    // Finds the editor's font and loads what a document window first needs, so the first
    // page opened does not wait for them. Meant for a moment the user is not waiting on.
    void prepareForFirstDocument();

    // Asked when the program is left, after the documents; none by default.
    void setCloseGuard(CloseGuard *guard) { m_closeGuard = guard; }

Q_SIGNALS:
    // The help page of the side panel was opened; the preview window may show the second.
    void helpPageOpened(const QString &secondPage);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void endIncomingConnections();
    void createCentralArea();
    void createToolbar();
    void createPalette();
    void createSidePanel();
    void createStatusBar();
    void createHiddenLists();
    void connectFrameCommands();
    void connectEditCommands();
    void attachDocument(TForm2 *document);
    void showActiveDocument(TForm2 *document);
    // The active document holds a file as read: nothing in it is changed.
    void showActiveDocumentUnchanged();
    QFont editorFont() const;
    EditorKeyOptions editorKeyOptions();
    void updateModifiedIndicators(bool modified);
    void setPanelRight(bool right);
    void setSidePanelVisible(bool visible);
    void sidePanelPageChanged(int index);
    void rebuildWindowMenu();
    void tileDocuments(Qt::Orientation stacking);
    void arrangeIcons();
    void applyPlacement();
    void storePlacement();
    static bool isOpenableDocument(const QString &path);
    void protectCoveredDocuments(bool covered);
    void watchSettings();

    TSettings m_settings;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<MainMenu> m_menu;
    QMdiArea *m_mdi = nullptr;
    std::unique_ptr<DocumentManager> m_documents;
    std::array<StatusPanel *, 4> m_status{};
    QToolButton *m_mainSaveButton = nullptr;
    QPointer<class TipsWindow> m_tips;
    QPointer<TTableForm> m_tableWindow;
    CloseGuard *m_closeGuard = nullptr;
    QTimer *m_settingsCheck = nullptr; // writes the settings soon after the user acted
    bool m_tipsShowNextTime = false;
    // The commands greyed while the preview covers the documents.
    QList<QPointer<QAction>> m_greyedWhileCovered;
};
