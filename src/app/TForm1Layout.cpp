// The frame's layout: the document area with the side panel, the command toolbar, the tag
// palette's tabs, the status bar and the hidden attribute lists.
#include "app/TForm1.h"
#include "app/StatusPanel.h"

#include "editor/EncodingPanel.h"
#include "preview/WebBrowser.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

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
    // Only the toolbar: a search of the whole window (hundreds of palette buttons) ran each
    // time a document's modified state changed, which colouring a page does many times.
    return Panel1->findChild<QToolButton *>(objectName, Qt::FindDirectChildrenOnly);
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
    // What each panel shows in full: the modified mark, the page's size (pages stay under
    // ten million characters), and the last one takes what room is left.
    const QString widest[4] = {{}, u"Změněno"_s, u"Velikost:9999999 znaků"_s, {}};
    for (int i = 0; i < 4; ++i) {
        m_status[i] = new StatusPanel(widths[i], widest[i], bar);
        m_status[i]->setObjectName(u"StatusPanel"_s + QString::number(i));
        bar->addWidget(m_status[i], i == 3 ? 1 : 0);
    }
    // The active document's encoding, in a panel of its own after the four.
    auto *encoding = new EncodingPanel(bar);
    bar->addPermanentWidget(encoding);
    connect(m_documents.get(), &DocumentManager::activeDocumentChanged, encoding,
            [this, encoding] { encoding->setDocument(m_documents->activeDocument()); });
    // Read again in another encoding, the page is the file as it is: not "Změněno".
    connect(encoding, &EncodingPanel::documentReloaded, this, [this](HtmlDocument *doc) {
        if (doc != m_documents->activeDocument())
            return;
        showActiveDocumentUnchanged();
        if (m_settings.Colorize)
            m_documents->colorizeActiveDocument();
    });
    // The panel's choices from the keyboard too: "Soubor" → "Kódování".
    auto *encodingMenu = new QMenu(u"Kódování"_s, this);
    encodingMenu->setObjectName(u"FileEncoding"_s);
    menu(u"MenuFile"_s)->insertMenu(action(u"FilePrint"_s), encodingMenu);
    connect(encodingMenu, &QMenu::aboutToShow, encoding,
            [encoding, encodingMenu] { encoding->fillMenu(*encodingMenu); });
    // The line breaks the page's file is written with, beside its encoding.
    auto *lineBreaks = new EncodingPanel(bar, EncodingPanel::Shows::LineBreaks);
    bar->addPermanentWidget(lineBreaks);
    connect(m_documents.get(), &DocumentManager::activeDocumentChanged, lineBreaks,
            [this, lineBreaks] { lineBreaks->setDocument(m_documents->activeDocument()); });
    auto *lineBreakMenu = new QMenu(u"Konce řádků"_s, this);
    lineBreakMenu->setObjectName(u"FileLineBreaks"_s);
    menu(u"MenuFile"_s)->insertMenu(action(u"FilePrint"_s), lineBreakMenu);
    connect(lineBreakMenu, &QMenu::aboutToShow, lineBreaks,
            [lineBreaks, lineBreakMenu] { lineBreaks->fillMenu(*lineBreakMenu); });
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
