#include "TForm1.h"

#include "interaction/Interaction.h"
#include "app/DocumentWindows.h"
#include "app/EditorViews.h"
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
#include "app/MarkupStyleBar.h"
#include "app/Session.h"
#include "app/SiteTools.h"
#include "commands/Preview.h"
#include "commands/TableCommands.h"
#include "dialogs/TableDialogs.h"
#include "preview/WebBrowser.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
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
    m_documents = std::make_unique<DocumentManager>(m_settings.writableValues(), *this);
    new DocumentWindows(*m_documents, *mdiArea());
    m_tableWindow = std::make_unique<TableWindowSlot>(*m_documents, *action(Cmd::OptTableWindow));
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
    const bool firstStart = !m_store->hasStoredSettings();
    m_settings.load(*m_store);
    applyPlacement();
    // Every user command keeps its stored state: none is switched off at start.
    SetWaitText(u"Nastavují se plugin moduly..."_s);
    followSettings();
    setWindowTitle(u"Brisko HTML Editor 3.52 final"_s);
    setMinimumSize(300, 350);
    installFilePanel(*m_documents, *m_sidePanel->filePage());
    TagTreePanel *tagTree = installTagTreePanel(*m_documents, *m_sidePanel->tagTreePage());
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
    // The tag tree shows the elements of the style the commands write.
    m_settings.follow(tagTree, {u"User/MarkupStyle"}, [this, tagTree] {
        const bool html5 = m_settings.values().markupStyle() == MarkupStyle::Html5;
        loadTagTreeFile(*tagTree, programDir() + (html5 ? u"data/html5.dat"_s : u"data/html4.dat"_s));
    });
    m_settings.announceAfterUserActions();
    if (firstStart) {
        m_markupStyleBar = new MarkupStyleBar(m_settings, centralWidget());
        // Under the palette, right above the documents.
        auto *layout = static_cast<QVBoxLayout *>(centralWidget()->layout());
        layout->insertWidget(layout->indexOf(m_splitter), m_markupStyleBar);
        connect(m_documents.get(), &DocumentManager::fileSaved, m_markupStyleBar.data(),
                &MarkupStyleBar::dismiss);
    }
}

MarkupStyleBar *TForm1::markupStyleBar() const
{
    return m_markupStyleBar;
}

void TForm1::createPanels()
{
    m_toolbar = std::make_unique<CommandToolbar>(*m_menu, this);
    addToolBar(Qt::TopToolBarArea, m_toolbar.get());
    connect(m_toolbar.get(), &CommandToolbar::autoIndentClicked, this,
            [this](bool on) { m_settings.set(&TSettings::AutoIntend, on); });
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
    connect(m_sidePanel.get(), &SidePanel::sideChosen, this,
            [this](bool right) { m_settings.set(&TSettings::PanelRight, right); });
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
    // The manager changes the list in place; the menu follows the announcement.
    connect(docs, &DocumentManager::recentFilesChanged, &m_settings, &SettingsModel::announce);
    connect(docs, &DocumentManager::statusTextSet, this, &TForm1::setStatusText);
    connect(m_status, &StatusPanels::documentReloaded, this, [this](HtmlDocument *doc) {
        if (doc != m_documents->activeDocument())
            return;
        showActiveDocumentUnchanged();
        if (m_settings.values().Colorize)
            m_documents->colorizeActiveDocument();
    });
}

TForm1::~TForm1()
{
    // The tips window reports its check box as it goes; that belongs in the settings.
    delete m_tips.data();
    storePlacement();
    m_store->SaveSettings(m_settings.values());
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
    m_editorViews->prepare(*doc);
    document->setReadOnly(documentAreaCovered());
    document->SetInsertionColor(m_settings.values().TEXT);

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
        if (document != m_documents->activeDocument())
            return;
        updateModifiedIndicators(document->IsModified());
        // Undone back to the text as saved or read, the page is unchanged again; a page
        // that comes back from its recovery copy is changed without a key typed.
        if (!document->IsModified())
            setStatusText(1, QString());
        else if (!document->isColouring())
            setStatusText(1, u"Změněno"_s);
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
    const auto &files = m_settings.values().RecentFiles;
    for (int i = 0; i < TSettings::RecentCount; ++i) {
        QAction *a = action(Cmd::Recent[i]);
        QString caption = files[i];
        a->setText(caption.replace(u'&', u"&&"_s));
        a->setData(files[i]);
        a->setVisible(!files[i].isEmpty());
    }
}

void TForm1::showActiveDocument(TForm2 *doc)
{
    m_documents->refreshDocumentStatus();
    updateModifiedIndicators(doc->document().IsModified());
    action(Cmd::OptWordWrap)->setChecked(doc->RichEdit1->lineWrapMode() != QPlainTextEdit::NoWrap);
}

// --- settings --------------------------------------------------------------------------

void TForm1::followSettings()
{
    // Each part shows its settings from the start and follows their changes.
    m_editorViews = new EditorViews(m_settings, *m_documents, *m_menu, [this] { return autoIndentOn(); }, this);
    m_settings.follow(this, {u"User/IBrow"}, [this] {
        QTabBar *tabs = m_documentArea->previewTabs();
        if (!m_settings.values().IBrow)
            tabs->setCurrentIndex(0);
        tabs->setVisible(m_settings.values().IBrow);
    });
    m_settings.follow(this, {u"User/File-"}, [this] { RefreshRecentMenu(); });
    // Restored defaults switch the user commands off; their menu follows.
    m_settings.follow(this, {u"PlugIns/"}, [this] { rebuildUserCommandMenu(); });
    m_settings.follow(this, {u"User/PanelRight"},
                      [this] { placeSidePanel(m_settings.values().PanelRight); });
    m_settings.follow(this, {u"User/AutoIntend"},
                      [this] { m_toolbar->setAutoIndent(m_settings.values().AutoIntend); });
}

void TForm1::prepareForFirstDocument()
{
    m_editorViews->prepareForFirstDocument();
}

bool TForm1::autoIndentOn() const
{
    return m_toolbar->autoIndentOn();
}

void TForm1::applyPlacement()
{
    // The same rectangle is stored and restored: the window's inside, without the frame the
    // window manager adds, so the window does not creep at every start.
    const WindowPlacement &p = m_settings.values().placement;
    setGeometry(placeOnScreens(QRect(p.left, p.top, p.width, p.height), availableScreenAreas()));
}

void TForm1::showAsStored()
{
    switch (m_settings.values().placement.state) {
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
    // Written when the program ends, with the rest.
    WindowPlacement &p = m_settings.writableValues().placement;
    p.state = isMaximized()   ? WindowPlacement::Maximized
            : isMinimized() ? WindowPlacement::Minimized
                            : WindowPlacement::Normal;
    const QRect g = normalGeometry().isValid() ? normalGeometry() : geometry();
    p.height = g.height();
    p.width = g.width();
    p.left = g.x();
    p.top = g.y();
}

void TForm1::placeSidePanel(bool right)
{
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
            m_settings.set(&TSettings::Tipky, m_tipsShowNextTime);
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

void TForm1::rebuildUserCommandMenu()
{
    refreshUserCommandMenu(*m_menu, m_settings.values());
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
    // The pages open now come back at the next start.
    storeSession(m_store->fileName(), sessionPages(*m_documents));
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
