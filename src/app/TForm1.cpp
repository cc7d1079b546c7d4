#include "TForm1.h"

#include "interaction/Interaction.h"
#include "app/Placement.h"
#include "app/SmallWindows.h"
#include "app/UserCommandMenu.h"
#include "app/FilePanel.h"
#include "app/LogoAnimation.h"
#include "app/TagTreePanel.h"
#include "app/LanguageTools.h"
#include "commands/DocumentLifecycle.h"
#include "commands/EditCurrentTag.h"
#include "commands/TableCommands.h"
#include "dialogs/TableDialogs.h"
#include "editor/Colorize.h"
#include "editor/EncodingPanel.h"
#include "markup/TextFile.h"
#include "preview/WebBrowser.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMimeData>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

using namespace Qt::StringLiterals;

TForm1::TForm1(std::unique_ptr<SettingsStore> store, QWidget *parent)
    : QMainWindow(parent)
    , m_store(std::move(store))
{
    setObjectName(u"TForm1"_s);
    setDialogParent(this);
    m_menu = std::make_unique<MainMenu>(*this);
    createCentralArea();
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
    installFilePanel(*this);
    installTagTreePanel(*this);
    installLanguageTools(*this);
    setAcceptDrops(true);
    SetWaitText(u"Načítají se data"_s);
    loadLogoFrames();
    loadTagTree(programDir() + u"data/html4.dat"_s);
}

TForm1::~TForm1()
{
    // The documents close after the frame's own members are gone: nothing may follow them.
    disconnect(this, &TForm1::activeDocumentChanged, nullptr, nullptr);
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

// --- layout ----------------------------------------------------------------------------

void TForm1::createCentralArea()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    Panel6 = new QWidget(central);
    Panel6->setObjectName(u"Panel6"_s);
    layout->addWidget(Panel6);

    Splitter1 = new QSplitter(Qt::Horizontal, central);
    Splitter1->setObjectName(u"Splitter1"_s);
    Splitter1->setChildrenCollapsible(false);
    DocumentArea = new QStackedWidget(Splitter1);
    DocumentArea->setObjectName(u"DocumentArea"_s);
    m_mdi = new QMdiArea(DocumentArea);
    m_mdi->setObjectName(u"MdiArea"_s);
    m_mdi->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_mdi->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    DocumentArea->addWidget(m_mdi);
    WebBrowser1 = new WebBrowser(DocumentArea);
    WebBrowser1->setObjectName(u"WebBrowser1"_s);
    DocumentArea->addWidget(WebBrowser1);
    Splitter1->addWidget(DocumentArea);
    createSidePanel();
    Splitter1->addWidget(Panel2);
    Splitter1->setStretchFactor(0, 1);
    layout->addWidget(Splitter1, 1);

    TabSet1 = new QTabBar(central);
    TabSet1->setObjectName(u"TabSet1"_s);
    TabSet1->addTab(u"Dokument"_s);
    TabSet1->addTab(u"Preview"_s);
    TabSet1->setShape(QTabBar::RoundedSouth);
    TabSet1->setExpanding(false);
    TabSet1->setDrawBase(false);
    TabSet1->setFixedHeight(TabSet1->sizeHint().height());
    layout->addWidget(TabSet1);
    setCentralWidget(central);

    connect(m_mdi, &QMdiArea::subWindowActivated, this, &TForm1::documentActivated);
}

void TForm1::createSidePanel()
{
    Panel2 = new QWidget(Splitter1);
    Panel2->setObjectName(u"Panel2"_s);
    Panel2->resize(192, Panel2->height());
    auto *layout = new QVBoxLayout(Panel2);
    layout->setContentsMargins(0, 0, 0, 0);
    TabbedNotebook1 = new QTabWidget(Panel2);
    TabbedNotebook1->setObjectName(u"TabbedNotebook1"_s);
    // All three pages stay reachable in the narrow panel.
    TabbedNotebook1->setUsesScrollButtons(false);
    FilePanelPage = new QWidget;
    FilePanelPage->setObjectName(u"Soubory"_s);
    new QVBoxLayout(FilePanelPage);
    TagTreePage = new QWidget;
    TagTreePage->setObjectName(u"Tagy"_s);
    new QVBoxLayout(TagTreePage);
    WebBrowser2 = new WebBrowser;
    WebBrowser2->setObjectName(u"WebBrowser2"_s);
    TabbedNotebook1->addTab(FilePanelPage, u"Soubory"_s);
    TabbedNotebook1->addTab(TagTreePage, u"Tagy"_s);
    TabbedNotebook1->addTab(WebBrowser2, u"Nápověda"_s);
    layout->addWidget(TabbedNotebook1);
    connect(TabbedNotebook1, &QTabWidget::currentChanged, this, &TForm1::sidePanelPageChanged);

    auto *right = new QAction(u"Panel vpravo"_s, Panel2);
    right->setObjectName(u"PanelRightAction"_s);
    right->setCheckable(true);
    auto *left = new QAction(u"Panel vlevo"_s, Panel2);
    left->setObjectName(u"PanelLeftAction"_s);
    left->setCheckable(true);
    Panel2->addAction(right);
    Panel2->addAction(left);
    Panel2->setContextMenuPolicy(Qt::ActionsContextMenu);
    connect(right, &QAction::triggered, this, [this] { setPanelRight(true); });
    connect(left, &QAction::triggered, this, [this] { setPanelRight(false); });
}

QToolButton *TForm1::toolButton(const QString &objectName) const
{
    return findChild<QToolButton *>(objectName);
}

void TForm1::createToolbar()
{
    Panel1 = new QToolBar(this);
    Panel1->setObjectName(u"Panel1"_s);
    Panel1->setMovable(false);
    Panel1->setFloatable(false);
    Panel1->setIconSize(QSize(20, 20));
    Panel1->toggleViewAction()->setVisible(false);
    addToolBar(Qt::TopToolBarArea, Panel1);
    setContextMenuPolicy(Qt::NoContextMenu);

    struct Button
    {
        const char *name;
        const char16_t *hint;
        const char *icon; // a picture of the resource file, or none for a text caption
        const char16_t *caption;
        const char *action;
    };
    const Button buttons[] = {
        {"NewButton", u"Nový dokument", "new", nullptr, "FileNew"},
        {"OpenButton", u"Otevřít dokument", "open", nullptr, "FileOpen"},
        {"SaveButton", u"Uložit dokument", "save", nullptr, "FileSave"},
        {"SaveAsButton", u"Uložit dokument pod jménem", "saveas", nullptr, "FileSaveAs"},
        {"ExternalBrowserButton", u"Otevřít v externím prohlížeči", "browser", nullptr, nullptr},
        {"ColorizeButton", u"Kolorování tagu", "colorize", nullptr, "ToolColorize"},
        {"CommentButton", u"Vložit komentář", nullptr, u"!", nullptr},
        {"ColorButton", u"Vloží barvu", "color", nullptr, nullptr},
        {"UndoButton", u"Zpět", "undo", nullptr, "EditUndo"},
        {"CutButton", u"Výjmout", "cut", nullptr, "EditCut"},
        {"CopyButton", u"Kopírovat", "copy", nullptr, "EditCopy"},
        {"PasteButton", u"Vložit", "paste", nullptr, "EditPaste"},
        {"WizardButton", u"Zarovnat text dokumentu vlevo", "wizard", nullptr, nullptr},
        {"CheckButton", u"Kontrola syntaxe HTML", "check", nullptr, nullptr},
        {"SidePanelButton", u"Skrýt/Ukázat panel zdrojů", "panel", nullptr, nullptr},
        {"AutoIndentButton", u"Automatické odsazování", "indent", nullptr, nullptr},
    };
    for (const Button &b : buttons) {
        auto *button = new QToolButton(Panel1);
        button->setObjectName(QLatin1StringView(b.name));
        const QString hint = QString::fromUtf16(b.hint);
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setAccessibleName(hint); // a screen reader has no picture to read
        button->setAutoRaise(true);
        if (b.icon)
            button->setIcon(QIcon(u":/icons/"_s + QLatin1StringView(b.icon) + u".png"_s));
        else
            button->setText(QString::fromUtf16(b.caption));
        if (b.action) {
            QAction *a = action(QLatin1StringView(b.action));
            connect(button, &QToolButton::clicked, a, &QAction::trigger);
        }
        Panel1->addWidget(button);
    }
    toolButton(u"SaveButton"_s)->setEnabled(false);
    toolButton(u"CutButton"_s)->setEnabled(false);
    toolButton(u"CopyButton"_s)->setEnabled(false);
    toolButton(u"SidePanelButton"_s)->setCheckable(true);
    QToolButton *autoIndent = toolButton(u"AutoIndentButton"_s);
    autoIndent->setCheckable(true);
    connect(autoIndent, &QToolButton::clicked, this,
            [this](bool checked) { m_settings.AutoIntend = checked; });
    connect(toolButton(u"SidePanelButton"_s), &QToolButton::clicked, this,
            [this] { setSidePanelVisible(!Panel2->isVisible()); });
    connect(toolButton(u"CheckButton"_s), &QToolButton::clicked, this, &TForm1::runDocumentCheck);

    // The second Save button on the frame itself; its picture is the modified mark.
    m_mainSaveButton = new QToolButton(Panel1);
    m_mainSaveButton->setObjectName(u"MainSaveButton"_s);
    m_mainSaveButton->setIcon(QIcon(u":/icons/save.png"_s));
    m_mainSaveButton->setToolTip(u"Uložit dokument"_s);
    m_mainSaveButton->setAccessibleName(u"Uložit dokument"_s);
    m_mainSaveButton->setStatusTip(u"Uložit dokument"_s);
    m_mainSaveButton->setAutoRaise(true);
    connect(m_mainSaveButton, &QToolButton::clicked, action(u"FileSave"_s), &QAction::trigger);
    Panel1->addSeparator();
    Panel1->addWidget(m_mainSaveButton);
}

void TForm1::createPalette()
{
    auto *layout = new QHBoxLayout(Panel6);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    PageControl2 = new QTabWidget(Panel6);
    PageControl2->setObjectName(u"PageControl2"_s);
    PageControl2->setDocumentMode(true);
    const char16_t *tabs[] = {u"Text", u"Formát", u"Styl", u"Odkazy", u"Seznamy", u"Tabulky",
                              u"Multimédia", u"Formuláře", u"Rámce", u"Script", u"Další"};
    for (const char16_t *caption : tabs) {
        auto *page = new QWidget;
        page->setObjectName(u"Page"_s + QString::fromUtf16(caption));
        auto *row = new QHBoxLayout(page);
        row->setContentsMargins(2, 2, 2, 2);
        row->setSpacing(1);
        row->addStretch(1);
        PageControl2->addTab(page, QString::fromUtf16(caption));
    }
    PageControl2->setCurrentIndex(0);
    layout->addWidget(PageControl2, 1);

    Panel7 = new QWidget(Panel6);
    Panel7->setObjectName(u"Panel7"_s);
    auto *logoLayout = new QVBoxLayout(Panel7);
    logoLayout->setContentsMargins(2, 2, 2, 2);
    PaintBox1 = new QWidget(Panel7);
    PaintBox1->setObjectName(u"PaintBox1"_s);
    PaintBox1->setFixedSize(40, 40);
    PaintBox1->setCursor(Qt::PointingHandCursor);
    logoLayout->addWidget(PaintBox1);
    layout->addWidget(Panel7);
    Panel6->setFixedHeight(59 + 8);
}

void TForm1::createStatusBar()
{
    QStatusBar *bar = statusBar();
    bar->setObjectName(u"StatusBar"_s);
    const int widths[4] = {18, 60, 120, 50};
    for (int i = 0; i < 4; ++i) {
        m_status[i] = new QLabel(bar);
        m_status[i]->setObjectName(u"StatusPanel"_s + QString::number(i));
        m_status[i]->setMinimumWidth(widths[i]);
        m_status[i]->setFrameShape(QFrame::StyledPanel);
        m_status[i]->setFrameShadow(QFrame::Sunken);
        bar->addWidget(m_status[i], i == 3 ? 1 : 0);
    }
    m_status[0]->setFixedWidth(widths[0]);
    // The active document's encoding, in a panel of its own after the four.
    auto *encoding = new EncodingPanel(bar);
    bar->addPermanentWidget(encoding);
    connect(this, &TForm1::activeDocumentChanged, encoding,
            [this, encoding] { encoding->setDocument(activeDocument()); });
    connect(encoding, &EncodingPanel::documentReloaded, this, [this](TForm2 *doc) {
        if (doc == activeDocument() && m_settings.Colorize)
            colorizeActiveDocument();
    });
    // The panel's choices from the keyboard too: "Soubor" → "Kódování".
    auto *encodingMenu = new QMenu(u"Kódování"_s, this);
    encodingMenu->setObjectName(u"FileEncoding"_s);
    menu(u"MenuFile"_s)->insertMenu(action(u"FilePrint"_s), encodingMenu);
    connect(encodingMenu, &QMenu::aboutToShow, encoding,
            [encoding, encodingMenu] { encoding->fillMenu(*encodingMenu); });
    // A little room between the panel and the size grip in the window's corner.
    auto *gap = new QWidget(bar);
    gap->setFixedWidth(6);
    bar->addPermanentWidget(gap);
}

void TForm1::createHiddenLists()
{
    auto make = [this](const char *name, QStringList items) {
        auto *list = new QListWidget(this);
        list->setObjectName(QLatin1StringView(name));
        list->addItems(items);
        list->hide();
        return list;
    };
    ListBox1 = make("ListBox1", {u"clear=left"_s, u"clear=all"_s, u"clear=right"_s, u"clear=none"_s});
    ListBox2 = make("ListBox2", {u"align=left"_s, u"align=center"_s, u"align=right"_s,
                                 u"align=justify "_s});
    ListBox3 = make("ListBox3", {u"type=disc"_s, u"type=circle"_s, u"type=square"_s});
    // Whenever another window of the program becomes active, the lists are hidden: a
    // dialog or another top-level window, or a document window, which lives inside the
    // frame and so never becomes the application's focus window itself.
    auto hideLists = [this] {
        ListBox1->hide();
        ListBox2->hide();
        ListBox3->hide();
    };
    connect(qApp, &QApplication::focusWindowChanged, this, hideLists);
    connect(qApp, &QApplication::focusChanged, this, [this, hideLists](QWidget *, QWidget *now) {
        if (now && (now->window() != this || m_mdi->isAncestorOf(now)))
            hideLists();
    });
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

TForm2 *TForm1::document(int slot) const
{
    if (slot < 1 || slot > SlotCount)
        return nullptr;
    return m_slots[slot - 1];
}

QList<TForm2 *> TForm1::documents() const
{
    QList<TForm2 *> out;
    for (const auto &d : m_slots) {
        if (d)
            out << d;
    }
    return out;
}

TForm2 *TForm1::NewDocumentWindow()
{
    int slot = 0;
    for (int i = 0; i < SlotCount && !slot; ++i) {
        if (!m_slots[i])
            slot = i + 1;
    }
    if (!slot) {
        ui().showError(u"Nelze vytvořit více jak "_s + QString::number(SlotCount) + u" oken!"_s);
        return nullptr;
    }
    auto *doc = new TForm2(*this, slot);
    m_slots[slot - 1] = doc;
    attachDocument(doc);
    Q_EMIT documentCreated(doc);
    QMdiSubWindow *previous = m_mdi->activeSubWindow();
    QMdiSubWindow *sub = m_mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(QApplication::windowIcon()); // the program's icon, not Qt's logo
    m_menu->releaseTakenShortcuts(); // the sub-window's system menu binds Ctrl+W to close
    if (!previous || previous->isMaximized())
        sub->showMaximized();
    else
        sub->show();
    m_mdi->setActiveSubWindow(sub);
    ActiveDocument = slot;
    documentActivated(sub);
    doc->RichEdit1->setFocus();
    return doc;
}

void TForm1::attachDocument(TForm2 *doc)
{
    EditorBuffer *buffer = doc->RichEdit1;
    buffer->setLineWrapMode(action(u"OptWordWrap"_s)->isChecked() ? QPlainTextEdit::WidgetWidth
                                                                    : QPlainTextEdit::NoWrap);
    buffer->setEditorFont(editorFont());
    buffer->setKeyOptions(editorKeyOptions());
    buffer->setReadOnly(documentAreaCovered());
    buffer->SetInsertionColor(m_settings.TEXT);

    const int slot = doc->SlotIndex;
    connect(doc, &QObject::destroyed, this, [this, slot] {
        // The window is half destroyed now: its slot is emptied before anything reads it.
        m_slots[slot - 1] = nullptr;
        if (ActiveDocument == slot)
            ActiveDocument = 0;
        Q_EMIT activeDocumentChanged(ActiveDocument);
    });
    connect(buffer, &QPlainTextEdit::textChanged, this, [this, doc] {
        if (doc != activeDocument())
            return;
        // Loading and colouring change the control too, but not the text the user has.
        if (doc->RichEdit1->IsModified() && !doc->RichEdit1->isColouring())
            setStatusText(1, u"Změněno"_s);
        refreshDocumentStatus();
    });
    connect(buffer->document(), &QTextDocument::modificationChanged, this, [this, doc] {
        if (doc == activeDocument())
            updateModifiedIndicators(doc->RichEdit1->IsModified());
    });
    connect(buffer, &QPlainTextEdit::selectionChanged, this, [this, doc] {
        if (doc != activeDocument())
            return;
        const bool selected = doc->RichEdit1->textCursor().hasSelection();
        toolButton(u"CutButton"_s)->setEnabled(selected);
        toolButton(u"CopyButton"_s)->setEnabled(selected);
    });
    connect(buffer, &EditorBuffer::caretReported, this, [this](int line, int column) {
        setStatusText(3, QString::number(line) + u':' + QString::number(column));
    });
}

void TForm1::documentActivated(QMdiSubWindow *window)
{
    auto *doc = window ? qobject_cast<TForm2 *>(window->widget()) : nullptr;
    if (!doc)
        return;
    ActiveDocument = doc->SlotIndex;
    refreshDocumentStatus();
    updateModifiedIndicators(doc->RichEdit1->IsModified());
    action(u"OptWordWrap"_s)->setChecked(doc->RichEdit1->lineWrapMode() != QPlainTextEdit::NoWrap);
    Q_EMIT activeDocumentChanged(ActiveDocument);
}

void TForm1::refreshDocumentStatus()
{
    if (EditorBuffer *b = activeBuffer())
        setStatusText(2, u"Velikost:"_s + QString::number(b->textLength()) + u" znaků"_s);
}

void TForm1::updateModifiedIndicators(bool modified)
{
    toolButton(u"SaveButton"_s)->setEnabled(modified);
    m_status[0]->setPixmap(modified ? m_mainSaveButton->icon().pixmap(16, 16) : QPixmap());
}

bool TForm1::OpenFile(TForm2 &doc, const QString &path)
{
    // Pages are read in the encoding they are in; saving writes that encoding back.
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return false;
    }
    doc.showLoadedText(path, file.text, file.encoding, file.encodingNote);
    if (&doc == activeDocument()) {
        setStatusText(1, QString());
        refreshDocumentStatus();
        updateModifiedIndicators(false);
    }
    AddRecentFile(path);
    RefreshRecentMenu();
    Q_EMIT fileLocationChanged(path);
    return true;
}

void TForm1::fileStored(const QString &path)
{
    if (m_settings.FindDir)
        Q_EMIT fileLocationChanged(path);
    AddRecentFile(path);
    RefreshRecentMenu();
}

TForm2 *TForm1::openInNewWindow(const QString &path)
{
    TForm2 *doc = NewDocumentWindow();
    if (!doc)
        return nullptr;
    // The page shows at once and answers keys while its colours go in behind.
    if (OpenFile(*doc, path) && m_settings.Colorize && doc == activeDocument())
        ColorizeDocumentInBackground(*doc->RichEdit1, m_settings,
                                     [this](const QString &text) { setStatusText(3, text); });
    return doc;
}

bool TForm1::saveDocument(TForm2 &document)
{
    return SaveDocument(*this, document);
}

void TForm1::tagItemDropped(TForm2 &document, const QString &itemText)
{
    QString text = itemText;
    if (userTagDefinition)
        text = userTagDefinition(text);
    ColorValue color = m_settings.TAG;
    if (text == u"<SCRIPT>"_s || text == u"</SCRIPT>"_s)
        color = m_settings.SCRIPT;
    else if (text == u"<STYLE>"_s || text == u"</STYLE>"_s)
        color = m_settings.STYLE;
    const qsizetype comma = text.indexOf(u',');
    const QString prefix = comma < 0 ? QString() : text.left(comma);
    const QString suffix = comma < 0 ? text : text.mid(comma + 1);
    document.RichEdit1->WrapSelection(color, prefix, suffix);
    document.RichEdit1->setFocus();
}

void TForm1::editCurrentTag(TForm2 &)
{
    EditCurrentTag(*this);
}

std::optional<QString> TForm1::composeStyle(TForm2 &)
{
    return styleBuilder ? styleBuilder(*this) : std::nullopt;
}

void TForm1::AddRecentFile(const QString &path)
{
    auto &recent = m_settings.RecentFiles;
    if (std::find(recent.begin(), recent.end(), path) != recent.end())
        return;
    std::move_backward(recent.begin(), recent.end() - 1, recent.end());
    recent[0] = path;
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

// --- settings --------------------------------------------------------------------------

void TForm1::ApplySettings()
{
    m_settings.TabText = QString(std::max(m_settings.Tab, 0), u' ');
    const QFont font = editorFont();
    for (TForm2 *doc : documents()) {
        doc->RichEdit1->setEditorFont(font);
        doc->RichEdit1->SetSelStart(0); // nothing selected, caret at the start
        doc->RichEdit1->setKeyOptions(editorKeyOptions());
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
    keys.isCommandShortcut = [this](const QKeySequence &key) {
        for (QAction *a : m_menu->actions()) {
            if (!a->shortcut().isEmpty() && a->shortcut() == key)
                return true;
        }
        return false;
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
    WebBrowser2->navigate(QUrl::fromLocalFile(programDir() + u"help/index.htm"_s));
    if (showHelpInPreviewWindow)
        showHelpInPreviewWindow(programDir() + u"help/index2.htm"_s);
}

// --- frame commands --------------------------------------------------------------------

void TForm1::connectFrameCommands()
{
    auto on = [this](const char *id, auto slot) {
        connect(action(QLatin1StringView(id)), &QAction::triggered, this, slot);
    };
    on("FileExit", [this] { close(); }); // asks about each modified document, as closing does
    on("OptWordWrap", [this](bool checked) {
        if (EditorBuffer *b = activeBuffer())
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
    on("ToolColorize", [this] { colorizeActiveDocument(); });
    on("ToolClipboard", [this] { showClipboardWindow(this); });
    on("HelpTips", [this] { showTips(); });
    on("HelpAbout", [this] { showAboutBox(this); });
    for (int i = 1; i <= TSettings::RecentCount; ++i) {
        QAction *a = action(u"Recent"_s + QString::number(i));
        connect(a, &QAction::triggered, this, [this, a] { openInNewWindow(a->data().toString()); });
    }
    connect(menu(u"MenuWindow"_s), &QMenu::aboutToShow, this, &TForm1::rebuildWindowMenu);
}

void TForm1::connectEditCommands()
{
    auto onBuffer = [this](const char *id, void (EditorBuffer::*op)()) {
        connect(action(QLatin1StringView(id)), &QAction::triggered, this, [this, op] {
            if (EditorBuffer *b = activeBuffer())
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
            } else if (EditorBuffer *b = activeBuffer()) {
                if (what == Shown::Copy)
                    b->CopyToClipboard();
                else
                    b->SelectAll();
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
    if (EditorBuffer *b = activeBuffer()) {
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

void TForm1::colorizeActiveDocument()
{
    if (EditorBuffer *b = activeBuffer())
        ColorizeDocument(*b, m_settings, [this](const QString &text) { setStatusText(3, text); });
}

// The start-up steps below belong to the logo animation, the tag tree and the user
// commands; they do their work once those parts of the frame exist.
void TForm1::loadLogoFrames()
{
    auto *logo = new LogoAnimation(*this, PaintBox1);
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
    refreshUserCommandMenu(*this);
}

// --- closing and drops -----------------------------------------------------------------

void TForm1::closeEvent(QCloseEvent *event)
{
    const QList<TForm2 *> docs = documents();
    for (TForm2 *doc : docs) {
        if (!doc->CloseQuery()) {
            event->ignore();
            return;
        }
    }
    if (userTagsCloseQuery && !userTagsCloseQuery()) {
        event->ignore();
        return;
    }
    for (TForm2 *doc : docs)
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
            openInNewWindow(path);
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
    m_tableWindow = createTableWindow(*this, this);
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
