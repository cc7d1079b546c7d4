#include "TForm1.h"

#include "interaction/Interaction.h"
#include "app/DocumentWindows.h"
#include "app/Placement.h"
#include "app/StatusPanel.h"
#include "app/InfoWindows.h"
#include "app/StartUpWindow.h"
#include "app/UserCommandMenu.h"
#include "app/FilePanel.h"
#include "app/LogoAnimation.h"
#include "app/TagTreePanel.h"
#include "app/LanguageTools.h"
#include "commands/TableCommands.h"
#include "dialogs/TableDialogs.h"
#include "preview/WebBrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

using namespace Qt::StringLiterals;

TForm1::TForm1(std::unique_ptr<SettingsStore> store, QWidget *parent)
    : QMainWindow(parent)
    , m_store(std::move(store))
{
    setObjectName(u"TForm1"_s);
    setDialogParent(this);
    m_menu = std::make_unique<MainMenu>(*this);
    createCentralArea();
    m_documents = std::make_unique<DocumentManager>(m_settings, *this);
    new DocumentWindows(*m_documents, *m_mdi);
    m_documents->setTableWindows(this);
    m_documents->setPreviewPlaces(this);
    connect(m_documents.get(), &DocumentManager::windowCreated, this, &TForm1::attachDocument);
    connect(m_documents.get(), &DocumentManager::documentWindowAdded, this,
            [this] { m_menu->releaseTakenShortcuts(); }); // a sub-window's menu binds Ctrl+W
    connect(m_documents.get(), &DocumentManager::activeDocumentShown, this,
            &TForm1::showActiveDocument);
    connect(m_documents.get(), &DocumentManager::activeDocumentLoaded, this,
            &TForm1::showActiveDocumentUnchanged);
    connect(m_documents.get(), &DocumentManager::recentFilesChanged, this,
            &TForm1::RefreshRecentMenu);
    connect(m_documents.get(), &DocumentManager::statusTextSet, this, &TForm1::setStatusText);
    createToolbar();
    createPalette();
    createStatusBar();
    createHiddenLists();
    connectFrameCommands();
    connectEditCommands();

    setStatusText(3, QString());
    SetWaitText(u"Načítá se nastavení..."_s);
    m_store->LoadSettings(m_settings);
    applyPlacement();
    // Every user command keeps its stored state: none is switched off at start.
    SetWaitText(u"Nastavují se plugin moduly..."_s);
    ApplySettings();
    setWindowTitle(u"Brisko HTML Editor 3.52 final"_s);
    setMinimumSize(300, 350);
    installFilePanel(*m_documents, *FilePanelPage);
    installTagTreePanel(*m_documents, *TagTreePage);
    installLanguageTools({*this, *m_menu, *m_documents, *DocumentArea, *Splitter1});
    setAcceptDrops(true);
    SetWaitText(u"Načítají se data"_s);
    loadLogoFrames();
    loadTagTree(programDir() + u"data/html4.dat"_s);
    watchSettings();
}

void TForm1::watchSettings()
{
    // Every setting changes through something the user did (a click, a key, a dialog's
    // button) or through opening a file; soon after each, the settings are written when
    // they differ from the stored ones, so a crash or a kill loses none of them.
    m_settingsCheck = new QTimer(this);
    m_settingsCheck->setSingleShot(true);
    m_settingsCheck->setInterval(0);
    connect(m_settingsCheck, &QTimer::timeout, this, [this] { m_store->SaveIfChanged(m_settings); });
    connect(m_documents.get(), &DocumentManager::recentFilesChanged, m_settingsCheck,
            qOverload<>(&QTimer::start));
    qApp->installEventFilter(this);
}

bool TForm1::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonRelease:
    case QEvent::KeyRelease:
    case QEvent::Close:
        if (m_settingsCheck && !m_settingsCheck->isActive())
            m_settingsCheck->start();
        break;
    default:
        break;
    }
    return QMainWindow::eventFilter(watched, event);
}

TForm1::~TForm1()
{
    // The documents close after the frame's own members are gone: nothing may follow them.
    disconnect(m_documents.get(), &DocumentManager::activeDocumentChanged, nullptr, nullptr);
    qApp->removeEventFilter(this);
    endIncomingConnections();
    storePlacement();
    m_store->SaveSettings(m_settings);
    setDialogParent(nullptr);
}

void TForm1::endIncomingConnections()
{
    // QWidget deletes the documents, panels and actions only after this class is gone, and
    // their last signals (activation, focus, page and text changes, destroyed) must not
    // reach it then; neither may the application's focus signals.
    QObject::disconnect(qApp, nullptr, this, nullptr);
    const QList<QObject *> children = findChildren<QObject *>();
    for (QObject *child : children)
        QObject::disconnect(child, nullptr, this, nullptr);
    for (QAction *a : m_menu->actions())
        QObject::disconnect(a, nullptr, this, nullptr);
}

void TForm1::setStatusText(int panel, const QString &text)
{
    m_status[panel]->setText(text);
}

QString TForm1::statusText(int panel) const
{
    return m_status[panel]->text();
}

// --- documents -------------------------------------------------------------------------

void TForm1::attachDocument(TForm2 *doc)
{
    EditorBuffer *buffer = doc->RichEdit1;
    HtmlDocument *document = &doc->document();
    buffer->setLineWrapMode(action(u"OptWordWrap"_s)->isChecked() ? QPlainTextEdit::WidgetWidth
                                                                    : QPlainTextEdit::NoWrap);
    document->setEditorFont(editorFont());
    buffer->setKeyOptions(editorKeyOptions());
    document->setReadOnly(documentAreaCovered());
    document->SetInsertionColor(m_settings.TEXT);

    connect(buffer, &QPlainTextEdit::textChanged, this, [this, document] {
        if (document != m_documents->activeDocument())
            return;
        // Loading and colouring change the control too, but not the text the user has.
        if (document->IsModified() && !document->isColouring())
            setStatusText(1, u"Změněno"_s);
        m_documents->refreshDocumentStatus();
    });
    connect(document->textDocument(), &QTextDocument::modificationChanged, this, [this, document] {
        if (document == m_documents->activeDocument())
            updateModifiedIndicators(document->IsModified());
    });
    connect(buffer, &QPlainTextEdit::selectionChanged, this, [this, document, buffer] {
        if (document != m_documents->activeDocument())
            return;
        const bool selected = buffer->textCursor().hasSelection();
        toolButton(u"CutButton"_s)->setEnabled(selected);
        toolButton(u"CopyButton"_s)->setEnabled(selected);
    });
}

void TForm1::showActiveDocumentUnchanged()
{
    setStatusText(1, QString());
    m_documents->refreshDocumentStatus();
    updateModifiedIndicators(false);
}

void TForm1::updateModifiedIndicators(bool modified)
{
    toolButton(u"SaveButton"_s)->setEnabled(modified);
    m_status[0]->setPixmap(modified ? m_mainSaveButton->icon().pixmap(16, 16) : QPixmap());
}

void TForm1::RefreshRecentMenu()
{
    for (int i = 0; i < TSettings::RecentCount; ++i) {
        QAction *a = action(u"Recent"_s + QString::number(i + 1));
        QString caption = m_settings.RecentFiles[i];
        a->setText(caption.replace(u'&', u"&&"_s));
        a->setData(m_settings.RecentFiles[i]);
        a->setVisible(!m_settings.RecentFiles[i].isEmpty());
    }
}

void TForm1::showActiveDocument(TForm2 *doc)
{
    m_documents->refreshDocumentStatus();
    updateModifiedIndicators(doc->document().IsModified());
    action(u"OptWordWrap"_s)->setChecked(doc->RichEdit1->lineWrapMode() != QPlainTextEdit::NoWrap);
}

// --- settings --------------------------------------------------------------------------

void TForm1::ApplySettings()
{
    m_settings.TabText = QString(std::max(m_settings.Tab, 0), u' ');
    const QFont font = editorFont();
    for (HtmlDocument *doc : m_documents->documents()) {
        doc->setEditorFont(font);
        doc->SetSelStart(0); // nothing selected, caret at the start
        if (TForm2 *window = m_documents->window(doc))
            window->RichEdit1->setKeyOptions(editorKeyOptions());
    }
    if (!m_settings.IBrow)
        TabSet1->setCurrentIndex(0);
    TabSet1->setVisible(m_settings.IBrow);
    RefreshRecentMenu();
    // Restored defaults switch the user commands off; their menu follows.
    rebuildUserCommandMenu();
    setPanelRight(m_settings.PanelRight);
    toolButton(u"AutoIndentButton"_s)->setChecked(m_settings.AutoIntend);
}

void TForm1::prepareForFirstDocument()
{
    // An editor laid out in the editor's font has fontconfig find the face (2 to 3 ms the
    // first time); a sub-window has the style make the icons of its menu, kept from then on.
    HtmlDocument document;
    EditorBuffer editor(document);
    document.setEditorFont(editorFont());
    const QMdiSubWindow window;
}

QFont TForm1::editorFont() const
{
    // A missing face such as "Courier New" falls back to a monospace one; the setting keeps
    // its name.
    QFont font(m_settings.EditFont, std::max(m_settings.Vyska, 1));
    font.setStyleHint(QFont::Monospace);
    return font;
}

EditorKeyOptions TForm1::editorKeyOptions()
{
    EditorKeyOptions keys;
    keys.textColor = m_settings.TEXT;
    keys.tagColor = m_settings.TAG;
    keys.tabText = m_settings.TabText;
    keys.ctrlEnterInserts = m_settings.Alt_Enter;
    keys.ctrlEnterText = m_settings.Alt_Enter_Text;
    keys.autoIndent = [this] { return autoIndentOn(); };
    // Asked for every key typed: the menu's list of its keys, each held by the one item that
    // took it, answers at once; going through the menu's items took 1 to 2 ms a key.
    keys.isCommandShortcut = [this](const QKeySequence &key) {
        return m_menu->shortcutTaken(key);
    };
    return keys;
}

bool TForm1::autoIndentOn() const
{
    return toolButton(u"AutoIndentButton"_s)->isChecked();
}

void TForm1::applyPlacement()
{
    // The same rectangle is stored and restored: the window's inside, without the frame the
    // window manager adds, so the window does not creep at every start.
    const WindowPlacement &p = m_settings.placement;
    setGeometry(placeOnScreens(QRect(p.left, p.top, p.width, p.height), availableScreenAreas()));
}

void TForm1::showAsStored()
{
    switch (m_settings.placement.state) {
    case WindowPlacement::Minimized:
        showMinimized();
        break;
    case WindowPlacement::Normal:
        showNormal();
        break;
    default:
        showMaximized();
        break;
    }
}

void TForm1::storePlacement()
{
    WindowPlacement &p = m_settings.placement;
    p.state = isMaximized()   ? WindowPlacement::Maximized
            : isMinimized() ? WindowPlacement::Minimized
                            : WindowPlacement::Normal;
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.height = g.height();
    p.width = g.width();
    p.left = g.x();
    p.top = g.y();
}

void TForm1::setPanelRight(bool right)
{
    m_settings.PanelRight = right;
    Splitter1->insertWidget(right ? 1 : 0, Panel2);
    Splitter1->setStretchFactor(right ? 0 : 1, 1);
    Splitter1->setStretchFactor(right ? 1 : 0, 0);
    Panel2->findChild<QAction *>(u"PanelRightAction"_s)->setChecked(right);
    Panel2->findChild<QAction *>(u"PanelLeftAction"_s)->setChecked(!right);
    const int total = std::max(Splitter1->width(), 400);
    Splitter1->setSizes(right ? QList<int>{total - 192, 192} : QList<int>{192, total - 192});
}

void TForm1::setSidePanelVisible(bool visible)
{
    Panel2->setVisible(visible);
    action(u"OptSourcePanel"_s)->setChecked(visible);
    toolButton(u"SidePanelButton"_s)->setChecked(!visible);
}

void TForm1::sidePanelPageChanged(int index)
{
    if (index != 2)
        return;
    // The preview window's view goes into the document area first: made after the tab's
    // view, it left that one blank until the tab was shown again.
    Q_EMIT helpPageOpened(programDir() + u"help/index2.htm"_s);
    WebBrowser2->navigate(QUrl::fromLocalFile(programDir() + u"help/index.htm"_s));
}

// --- frame commands --------------------------------------------------------------------

void TForm1::connectFrameCommands()
{
    auto on = [this](const char *id, auto slot) {
        connect(action(QLatin1StringView(id)), &QAction::triggered, this, slot);
    };
    on("FileExit", [this] { close(); }); // asks about each modified document, as closing does
    on("OptWordWrap", [this](bool checked) {
        if (EditorBuffer *b = m_documents->activeView())
            b->setLineWrapMode(checked ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
        else
            action(u"OptWordWrap"_s)->setChecked(!checked);
    });
    action(u"OptCommandPanel"_s)->setChecked(true);
    action(u"OptTagPanel"_s)->setChecked(true);
    action(u"OptSourcePanel"_s)->setChecked(true);
    on("OptCommandPanel", [this](bool checked) { Panel1->setVisible(checked); });
    on("OptTagPanel", [this](bool checked) { Panel6->setVisible(checked); });
    on("OptSourcePanel", [this](bool checked) { setSidePanelVisible(checked); });
    on("WinTileH", [this] { tileDocuments(Qt::Vertical); });
    on("WinTileV", [this] { tileDocuments(Qt::Horizontal); });
    on("WinCascade", [this] { m_mdi->cascadeSubWindows(); });
    on("WinArrange", [this] { arrangeIcons(); });
    on("HidTagWindow", [this] {
        TabbedNotebook1->setCurrentWidget(TagTreePage);
        TagTreePage->setFocus();
        if (QWidget *tree = TagTreePage->focusProxy())
            tree->setFocus();
    });
    on("HidFileWindow", [this] {
        TabbedNotebook1->setCurrentWidget(FilePanelPage);
        if (QWidget *list = FilePanelPage->focusProxy())
            list->setFocus();
    });
    on("HidAutoIndent", [this] {
        // Only the button flips; the stored setting follows clicks on the button.
        QToolButton *b = toolButton(u"AutoIndentButton"_s);
        b->setChecked(!b->isChecked());
    });
    on("ToolColorize", [this] { m_documents->colorizeActiveDocument(); });
    on("ToolClipboard", [this] { showClipboardWindow(this); });
    on("HelpTips", [this] { showTips(); });
    on("HelpAbout", [this] { showAboutBox(this); });
    for (int i = 1; i <= TSettings::RecentCount; ++i) {
        QAction *a = action(u"Recent"_s + QString::number(i));
        connect(a, &QAction::triggered, this,
                [this, a] { m_documents->openInNewWindow(a->data().toString()); });
    }
    connect(menu(u"MenuWindow"_s), &QMenu::aboutToShow, this, &TForm1::rebuildWindowMenu);
}

void TForm1::connectEditCommands()
{
    auto onBuffer = [this](const char *id, void (EditorBuffer::*op)()) {
        connect(action(QLatin1StringView(id)), &QAction::triggered, this, [this, op] {
            if (EditorBuffer *b = m_documents->activeView())
                (b->*op)();
        });
    };
    // Copy and Select all act on what the user sees: the preview page while it covers
    // the documents.
    enum class Shown { Copy, SelectAll };
    auto onShown = [this](const char *id, Shown what) {
        connect(action(QLatin1StringView(id)), &QAction::triggered, this, [this, what] {
            if (documentAreaCovered()) {
                if (what == Shown::Copy)
                    WebBrowser1->copySelection();
                else
                    WebBrowser1->selectAll();
            } else if (EditorBuffer *b = m_documents->activeView()) {
                if (what == Shown::Copy)
                    b->CopyToClipboard();
                else
                    b->selectAll();
            }
        });
    };
    onBuffer("EditUndo", &EditorBuffer::Undo);
    onBuffer("EditCut", &EditorBuffer::CutToClipboard);
    onShown("EditCopy", Shown::Copy);
    onShown("HidCopy", Shown::Copy);
    onBuffer("EditPaste", &EditorBuffer::PasteFromClipboard);
    onBuffer("HidPaste", &EditorBuffer::PasteFromClipboard);
    onBuffer("EditDelete", &EditorBuffer::ClearSelection);
    onShown("EditSelectAll", Shown::SelectAll);
}

void TForm1::tileDocuments(Qt::Orientation stacking)
{
    QList<QMdiSubWindow *> windows;
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            windows << w;
    }
    if (windows.isEmpty())
        return;
    const QRect area = m_mdi->viewport()->rect();
    const int n = int(windows.size());
    for (int i = 0; i < n; ++i) {
        QMdiSubWindow *w = windows[i];
        w->showNormal();
        if (stacking == Qt::Vertical) {
            const int h = area.height() / n;
            w->setGeometry(0, i * h, area.width(), h);
        } else {
            const int wd = area.width() / n;
            w->setGeometry(i * wd, 0, wd, area.height());
        }
    }
}

void TForm1::arrangeIcons()
{
    int x = 0;
    const int bottom = m_mdi->viewport()->height();
    for (QMdiSubWindow *w : m_mdi->subWindowList()) {
        if (!w->isMinimized())
            continue;
        w->move(x, bottom - w->height());
        x += w->width();
    }
}

void TForm1::rebuildWindowMenu()
{
    QMenu *m = menu(u"MenuWindow"_s);
    for (QAction *a : m->actions()) {
        if (a->property("windowListEntry").toBool())
            delete a;
    }
    const QList<QMdiSubWindow *> windows = m_mdi->subWindowList();
    if (!windows.isEmpty()) {
        QAction *sep = m->addSeparator();
        sep->setProperty("windowListEntry", true);
    }
    for (QMdiSubWindow *w : windows) {
        QAction *a = m->addAction(w->windowTitle());
        a->setProperty("windowListEntry", true);
        a->setCheckable(true);
        a->setChecked(w == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, w, [this, w] { m_mdi->setActiveSubWindow(w); });
    }
}

void TForm1::runDocumentCheck()
{
    if (HtmlDocument *b = m_documents->activeDocument()) {
        const DocumentCheckResult r = CheckDocument(b->GetText());
        if (r.isError)
            ui().showError(r.message);
        else
            ui().showInfo(r.message);
    }
}

void TForm1::showTips()
{
    if (!m_tips) {
        m_tips = new TipsWindow(this);
        placeToolWindow(*m_tips);
        connect(m_tips, &QObject::destroyed, this, [this] {
            m_settings.Tipky = m_tipsShowNextTime;
        });
        connect(m_tips, &TipsWindow::showNextTimeChanged, this,
                [this](bool show) { m_tipsShowNextTime = show; });
        m_tipsShowNextTime = m_tips->showNextTime();
    }
    m_tips->show();
    m_tips->raise();
}

void TForm1::loadLogoFrames()
{
    auto *logo = new LogoAnimation(*m_documents, PaintBox1);
    logo->loadFrames();
    logo->start();
}

void TForm1::loadTagTree(const QString &path)
{
    auto *tree = TagTreePage->findChild<TagTreePanel *>();
    if (!tree)
        return;
    if (const QString error = tree->load(path); !error.isEmpty())
        ui().showError(error);
}

void TForm1::rebuildUserCommandMenu()
{
    refreshUserCommandMenu(*m_menu, m_settings);
}

// --- closing and drops -----------------------------------------------------------------

void TForm1::closeEvent(QCloseEvent *event)
{
    const QList<HtmlDocument *> docs = m_documents->documents();
    for (HtmlDocument *doc : docs) {
        if (!doc->CloseQuery()) {
            event->ignore();
            return;
        }
    }
    if (m_closeGuard && !m_closeGuard->mayClose()) {
        event->ignore();
        return;
    }
    for (HtmlDocument *doc : docs)
        doc->closeConfirmed();
    if (m_tips)
        m_tips->close();
    event->accept();
}

bool TForm1::isOpenableDocument(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toUpper();
    static const QStringList kinds{u"HTML"_s, u"HTM"_s, u"HTX"_s, u"HTT"_s, u"SAB"_s};
    return kinds.contains(suffix);
}

void TForm1::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void TForm1::dropEvent(QDropEvent *event)
{
    openDroppedFiles(event->mimeData()->urls());
    event->acceptProposedAction();
}

void TForm1::openDroppedFiles(const QList<QUrl> &urls)
{
    for (const QUrl &url : urls) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && isOpenableDocument(path))
            m_documents->openInNewWindow(path);
    }
}

bool TForm1::event(QEvent *event)
{
    // Hints of the controls go to the last status panel.
    if (event->type() == QEvent::StatusTip) {
        setStatusText(3, static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }

    return QMainWindow::event(event);
}

// --- table window ---------------------------------------------------------------------

TTableForm *TForm1::tableWindow() const
{
    return m_tableWindow;
}

void TForm1::closeTableWindow()
{
    if (!m_tableWindow)
        return;
    // F6 may be pressed inside the window itself: it goes once its events are done.
    // It goes away later; its own farewell must not reach a window made meanwhile.
    QObject::disconnect(m_tableWindow, &QObject::destroyed, nullptr, nullptr);
    m_tableWindow->hide();
    m_tableWindow->deleteLater();
    m_tableWindow = nullptr;
    action(u"OptTableWindow"_s)->setChecked(false);
}

void TForm1::toggleTableWindow()
{
    QAction *item = action(u"OptTableWindow"_s);
    if (m_tableWindow) {
        closeTableWindow();
        return;
    }
    m_tableWindow = createTableWindow(*m_documents, this);
    // Its own close box and Escape end here too. The pointer is only reset, never read:
    // the window is half destroyed when it says so.
    connect(m_tableWindow, &QObject::destroyed, item, [this, item] {
        m_tableWindow = nullptr;
        item->setChecked(false);
    });
    // F6 closes it from inside as well; the keyboard stays with the document.
    m_tableWindow->addAction(item);
    m_tableWindow->setAttribute(Qt::WA_ShowWithoutActivating);
    m_tableWindow->show();
    m_tableWindow->raise();
    item->setChecked(true);
}
