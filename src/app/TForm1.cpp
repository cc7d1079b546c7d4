#include "TForm1.h"

#include "interaction/Interaction.h"
#include "app/DocumentWindows.h"
#include "app/Placement.h"
#include "app/CommandToolbar.h"
#include "app/DocumentArea.h"
#include "app/FrameCommands.h"
#include "app/PaletteBar.h"
#include "app/SidePanel.h"
#include "app/StatusPanels.h"
#include "app/InfoWindows.h"
#include "app/StartUpWindow.h"
#include "app/UserCommandMenu.h"
#include "app/FilePanel.h"
#include "app/LogoAnimation.h"
#include "app/TagTreePanel.h"
#include "app/LanguageTools.h"
#include "app/SiteTools.h"
#include "commands/Preview.h"
#include "commands/TableCommands.h"
#include "dialogs/TableDialogs.h"
#include "preview/WebBrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

TForm1::TForm1(std::unique_ptr<SettingsStore> store, QWidget *parent)
    : QMainWindow(parent)
    , m_store(std::move(store))
{
    setObjectName(u"TForm1"_s);
    setDialogParent(this);
    setContextMenuPolicy(Qt::NoContextMenu);
    m_menu = std::make_unique<MainMenu>(*this);
    createPanels();
    m_documents = std::make_unique<DocumentManager>(m_settings, *this);
    new DocumentWindows(*m_documents, *mdiArea());
    m_tableWindow = std::make_unique<TableWindowSlot>(*m_documents, *action(Cmd::OptTableWindow), *this);
    m_documents->setTableWindows(m_tableWindow.get());
    m_documents->setPreviewPlaces(this);
    m_menu->bindCommands(m_commands, *m_documents);
    m_status = new StatusPanels(*statusBar(), *m_documents, *menu(MenuId::MenuFile),
                                action(Cmd::FilePrint));
    connectDocuments();
    addWorkspaceCommands(m_commands);
    addFrameCommands({*this, *m_menu, m_commands, *m_documents, *m_toolbar, *m_palette,
                      *m_sidePanel, *m_documentArea,
                      [this](bool shown) { setSidePanelVisible(shown); }, [this] { showTips(); }});

    setStatusText(3, QString());
    SetWaitText(u"Načítá se nastavení..."_s);
    m_store->LoadSettings(m_settings);
    applyPlacement();
    // Every user command keeps its stored state: none is switched off at start.
    SetWaitText(u"Nastavují se plugin moduly..."_s);
    ApplySettings();
    setWindowTitle(u"Brisko HTML Editor 3.52 final"_s);
    setMinimumSize(300, 350);
    installFilePanel(*m_documents, *m_sidePanel->filePage());
    installTagTreePanel(*m_documents, *m_sidePanel->tagTreePage());
    LanguageTools *tools =
        installLanguageTools({*this, *m_menu, *m_documents, *m_documentArea, *m_splitter});
    m_commands.add(Cmd::ToolHtmlCheck,
                   [tools](Workspace &, Interaction &) { tools->checkActiveDocument(); });
    if (QSplitter *column = documentColumn(*this, *m_documentArea)) {
        new LivePreviewTools(*m_documents, *m_documentArea, *column, *action(Cmd::ToolLivePreview),
                             m_commands);
        new SiteSearchTools(*m_documents, *column, m_commands);
    }
    setAcceptDrops(true);
    SetWaitText(u"Načítají se data"_s);
    loadLogoFrames();
    loadTagTree(programDir() + u"data/html4.dat"_s);
    watchSettings();
}

void TForm1::createPanels()
{
    m_toolbar = std::make_unique<CommandToolbar>(*m_menu, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar.get());
    connect(m_toolbar.get(), &CommandToolbar::autoIndentClicked, this,
            [this](bool on) { m_settings.AutoIntend = on; });
    connect(m_toolbar->button(u"SidePanelButton"_s), &QToolButton::clicked, this,
            [this] { setSidePanelVisible(!m_sidePanel->isVisible()); });
    connect(m_toolbar->button(u"CheckButton"_s), &QToolButton::clicked, this,
            &TForm1::runDocumentCheck);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_splitter = new QSplitter(Qt::Horizontal, central);
    m_splitter->setObjectName(u"Splitter1"_s);
    m_splitter->setChildrenCollapsible(false);
    m_documentArea = std::make_unique<DocumentArea>(m_splitter, central);
    m_palette = std::make_unique<PaletteBar>(*this, *m_documentArea->windows());
    m_sidePanel = std::make_unique<SidePanel>(m_splitter);
    connect(m_sidePanel.get(), &SidePanel::sideChosen, this, &TForm1::setPanelRight);
    layout->addWidget(m_palette.get());
    m_splitter->addWidget(m_documentArea.get());
    m_splitter->addWidget(m_sidePanel.get());
    m_splitter->setStretchFactor(0, 1);
    layout->addWidget(m_splitter, 1);
    layout->addWidget(m_documentArea->previewTabs());
    setCentralWidget(central);
}

void TForm1::connectDocuments()
{
    DocumentManager *docs = m_documents.get();
    connect(docs, &DocumentManager::windowCreated, this, &TForm1::attachDocument);
    connect(docs, &DocumentManager::documentWindowAdded, this,
            [this] { m_menu->releaseTakenShortcuts(); }); // a sub-window's menu binds Ctrl+W
    connect(docs, &DocumentManager::activeDocumentShown, this, &TForm1::showActiveDocument);
    connect(docs, &DocumentManager::activeDocumentLoaded, this,
            &TForm1::showActiveDocumentUnchanged);
    connect(docs, &DocumentManager::recentFilesChanged, this, &TForm1::RefreshRecentMenu);
    connect(docs, &DocumentManager::statusTextSet, this, &TForm1::setStatusText);
    connect(m_status, &StatusPanels::documentReloaded, this, [this](HtmlDocument *doc) {
        if (doc != m_documents->activeDocument())
            return;
        showActiveDocumentUnchanged();
        if (m_settings.Colorize)
            m_documents->colorizeActiveDocument();
    });
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
    qApp->removeEventFilter(this);
    // The tips window reports its check box as it goes; that belongs in the settings.
    delete m_tips.data();
    storePlacement();
    m_store->SaveSettings(m_settings);
    setDialogParent(nullptr);
}

void TForm1::setStatusText(int panel, const QString &text)
{
    m_status->setText(panel, text);
}

QString TForm1::statusText(int panel) const
{
    return m_status->text(panel);
}

// --- documents -------------------------------------------------------------------------

void TForm1::attachDocument(TForm2 *doc)
{
    EditorBuffer *buffer = doc->RichEdit1;
    HtmlDocument *document = &doc->document();
    buffer->setLineWrapMode(action(Cmd::OptWordWrap)->isChecked() ? QPlainTextEdit::WidgetWidth
                                                                    : QPlainTextEdit::NoWrap);
    document->setEditorFont(editorFont());
    buffer->setKeyOptions(editorKeyOptions());
    document->setReadOnly(documentAreaCovered());
    document->SetInsertionColor(m_settings.TEXT);

    // The document's manager goes first at the end; what the editor says after that is
    // for no one.
    DocumentManager *docs = m_documents.get();
    connect(buffer, &QPlainTextEdit::textChanged, docs, [this, document] {
        if (document != m_documents->activeDocument())
            return;
        // Loading and colouring change the control too, but not the text the user has.
        if (document->IsModified() && !document->isColouring())
            setStatusText(1, u"Změněno"_s);
        m_documents->refreshDocumentStatus();
    });
    connect(document->textDocument(), &QTextDocument::modificationChanged, docs, [this, document] {
        if (document == m_documents->activeDocument())
            updateModifiedIndicators(document->IsModified());
    });
    connect(buffer, &QPlainTextEdit::selectionChanged, docs, [this, document, buffer] {
        if (document == m_documents->activeDocument())
            m_toolbar->showSelection(buffer->textCursor().hasSelection());
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
    m_toolbar->showModified(modified);
    m_status->setModifiedMark(modified ? m_toolbar->modifiedMark() : QPixmap());
}

void TForm1::RefreshRecentMenu()
{
    for (int i = 0; i < TSettings::RecentCount; ++i) {
        QAction *a = action(Cmd::Recent[i]);
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
    action(Cmd::OptWordWrap)->setChecked(doc->RichEdit1->lineWrapMode() != QPlainTextEdit::NoWrap);
}

// --- settings --------------------------------------------------------------------------

void TForm1::ApplySettings()
{
    m_settings.TabText = tabText(m_settings.Tab);
    const QFont font = editorFont();
    for (HtmlDocument *doc : m_documents->documents()) {
        doc->setEditorFont(font);
        doc->SetSelStart(0); // nothing selected, caret at the start
        if (TForm2 *window = m_documents->window(doc))
            window->RichEdit1->setKeyOptions(editorKeyOptions());
    }
    QTabBar *tabs = m_documentArea->previewTabs();
    if (!m_settings.IBrow)
        tabs->setCurrentIndex(0);
    tabs->setVisible(m_settings.IBrow);
    RefreshRecentMenu();
    // Restored defaults switch the user commands off; their menu follows.
    rebuildUserCommandMenu();
    setPanelRight(m_settings.PanelRight);
    m_toolbar->setAutoIndent(m_settings.AutoIntend);
}

void TForm1::prepareForFirstDocument()
{
    // An editor laid out in the editor's font has fontconfig find the face, slow the first
    // time; a sub-window has the style make the icons of its menu, kept from then on.
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
    // took it, answers at once, where going through the menu's items slowed every key.
    keys.isCommandShortcut = [this](const QKeySequence &key) {
        return m_menu->shortcutTaken(key);
    };
    return keys;
}

bool TForm1::autoIndentOn() const
{
    return m_toolbar->autoIndentOn();
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
    m_splitter->insertWidget(right ? 1 : 0, m_sidePanel.get());
    m_splitter->setStretchFactor(right ? 0 : 1, 1);
    m_splitter->setStretchFactor(right ? 1 : 0, 0);
    m_sidePanel->showSide(right);
    const int total = std::max(m_splitter->width(), 400);
    m_splitter->setSizes(right ? QList<int>{total - 192, 192} : QList<int>{192, total - 192});
}

void TForm1::setSidePanelVisible(bool visible)
{
    m_sidePanel->setVisible(visible);
    action(Cmd::OptSourcePanel)->setChecked(visible);
    toolButton(u"SidePanelButton"_s)->setChecked(!visible);
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
    auto *logo = new LogoAnimation(*m_documents, m_palette->logoBox());
    logo->loadFrames();
    logo->start();
}

void TForm1::loadTagTree(const QString &path)
{
    auto *tree = m_sidePanel->tagTreePage()->findChild<TagTreePanel *>();
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
        static const QStringList kinds{u"HTML"_s, u"HTM"_s, u"HTX"_s, u"HTT"_s, u"SAB"_s};
        if (!path.isEmpty() && kinds.contains(QFileInfo(path).suffix().toUpper()))
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

// --- panels and preview ---------------------------------------------------------------

QMdiArea *TForm1::mdiArea() const
{
    return m_documentArea->windows();
}

QToolButton *TForm1::toolButton(const QString &objectName) const
{
    return m_toolbar->button(objectName);
}

WebBrowser *TForm1::documentAreaBrowser()
{
    return m_documentArea->browser();
}

bool TForm1::documentAreaCovered() const
{
    return m_documentArea->covered();
}

void TForm1::setDocumentAreaCovered(bool covered)
{
    m_documentArea->setCovered(covered);
    m_covered.setCovered(covered, *m_menu, m_documents->documents());
    if (covered)
        m_documentArea->browser()->setFocus();
    else if (HtmlDocument *doc = m_documents->activeDocument())
        m_documents->focusDocument(*doc);
}

void TForm1::showChildWindow(QWidget *window)
{
    m_documentArea->showChildWindow(window);
}

void TForm1::previewWindowChanged(bool open)
{
    action(Cmd::WinPreview)->setText(previewWindowMenuCaption(open));
}
