#pragma once

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
class QListWidget;
class QMdiArea;
class QMdiSubWindow;
class QSplitter;
class QStackedWidget;
class QTabBar;
class QTabWidget;
class QToolBar;
class QToolButton;
class TTableForm;
class WebBrowser;

// The frame window: menus, command toolbar, tag palette, side panel, status bar and the
// document windows in their 30 slots. Commands reach the active document through it.
class TForm1 : public QMainWindow, public DocumentHost, public Workspace
{
    Q_OBJECT

public:
    static constexpr int SlotCount = 30;

    // Loads the settings from the store and applies them, as at program start.
    explicit TForm1(std::unique_ptr<SettingsStore> store = std::make_unique<SettingsStore>(),
                    QWidget *parent = nullptr);
    ~TForm1() override;

    // The slot (1..30) of the window activated last, 0 when none.
    int ActiveDocument = 0;
    TForm2 *document(int slot) const;

    // Workspace
    TSettings &settings() override { return m_settings; }
    const TSettings &settings() const { return m_settings; }
    TForm2 *activeDocument() const override { return document(ActiveDocument); }
    QList<TForm2 *> documents() const override; // in slot order

    // A new empty "Bez jména" window in the lowest free slot, made active; nullptr (after
    // the error message) when all 30 slots are taken.
    TForm2 *NewDocumentWindow() override;
    // Reads a file into the document window. A file that cannot be read, or that is too
    // long for the editor, leaves the window as it was and tells the user why.
    bool OpenFile(TForm2 &document, const QString &path) override;
    // Opens a file in a new window and colours it when the settings say so.
    TForm2 *openInNewWindow(const QString &path) override;
    void fileStored(const QString &path) override;
    QWidget *dialogParent() override { return this; }
    TTableForm *tableWindow() const override;
    void closeTableWindow() override;
    // F6 "Okno tabulky": opens the table window when it is closed, closes it when open.
    // The menu item's check mark follows the window however it goes.
    void toggleTableWindow();
    // Files dropped from the desktop: pages and templates open, anything else is ignored.
    void openDroppedFiles(const QList<QUrl> &urls);

    void ApplySettings();
    void AddRecentFile(const QString &path);
    void RefreshRecentMenu();
    // Colours the active document's markup.
    void colorizeActiveDocument();

    QAction *action(const QString &id) const { return m_menu->action(id); }
    QMenu *menu(const QString &id) const { return m_menu->menu(id); }
    MainMenu &mainMenu() const { return *m_menu; }
    void setStatusText(int panel, const QString &text) override;
    QString statusText(int panel) const;
    bool autoIndentOn() const;

    // Preview (TForm1Preview.cpp): the browser that takes the document area's place.
    WebBrowser *documentAreaBrowser() override { return WebBrowser1; }
    bool documentAreaCovered() const override;
    void setDocumentAreaCovered(bool covered) override;
    void showSidePanel(bool shown) override { setSidePanelVisible(shown); }
    void showChildWindow(QWidget *window) override;
    void previewWindowChanged(bool open) override;

    // DocumentHost
    bool saveDocument(TForm2 &document) override;
    void tagItemDropped(TForm2 &document, const QString &itemText) override;
    void editCurrentTag(TForm2 &document) override;
    std::optional<QString> composeStyle(TForm2 &document) override;

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

    // Start-up steps that later parts of the program fill in.
    void loadLogoFrames();
    void loadTagTree(const QString &path);
    void rebuildUserCommandMenu();

    void runDocumentCheck();
    void showTips();
    // Shows the window maximised, minimised or normal as the settings stored it.
    void showAsStored();

    // Hooks for the windows built on the frame: the user-tag window maps a dropped list
    // item to its definition, the preview window shows the second help page, and the style
    // builder composes the style text of "Vložit styl..".
    std::function<QString(const QString &)> userTagDefinition;
    std::function<void(const QString &)> showHelpInPreviewWindow;
    std::function<std::optional<QString>(TForm1 &)> styleBuilder;
    // Opens the user-tags window (or brings it to the front) and loads a ".tag" file there;
    // the file panel calls it.
    std::function<void(const QString &path)> openUserTagFile;
    // Asked when the program is left: false keeps it running (an unsaved user-tag list
    // whose save did not happen).
    std::function<bool()> userTagsCloseQuery;

Q_SIGNALS:
    void activeDocumentChanged(int slot);
    // A document was opened or saved there; the file panel may follow.
    void fileLocationChanged(const QString &path);
    // A new document window was made (empty, about to be shown).
    void documentCreated(TForm2 *document);

protected:
    bool event(QEvent *event) override;
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
    QFont editorFont() const;
    EditorKeyOptions editorKeyOptions();
    void documentActivated(QMdiSubWindow *window);
    void refreshDocumentStatus();
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

    TSettings m_settings;
    std::unique_ptr<SettingsStore> m_store;
    std::unique_ptr<MainMenu> m_menu;
    QMdiArea *m_mdi = nullptr;
    std::array<QPointer<TForm2>, SlotCount> m_slots;
    std::array<QLabel *, 4> m_status{};
    QToolButton *m_mainSaveButton = nullptr;
    QPointer<class TipsWindow> m_tips;
    QPointer<TTableForm> m_tableWindow;
    bool m_tipsShowNextTime = false;
    // The commands greyed while the preview covers the documents.
    QList<QPointer<QAction>> m_greyedWhileCovered;
};
