#include "app/SiteTools.h"

#include "app/DocumentManager.h"
#include "commands/CommandRegistry.h"
#include "commands/SiteCheckCommands.h"
#include "commands/SiteSearchCommands.h"
#include "editor/HtmlDocument.h"
#include "editor/TForm2.h"
#include "preview/LivePreview.h"
#include "settings/TSettings.h"
#include "tools/SiteSearchPanel.h"

#include <QAction>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTextDocument>

using namespace Qt::StringLiterals;

QSplitter *documentColumn(QWidget &window, QWidget &documentArea)
{
    if (auto *column = window.findChild<QSplitter *>(u"DocumentColumn"_s))
        return column;
    return qobject_cast<QSplitter *>(documentArea.parentWidget());
}

SiteSearchTools::SiteSearchTools(DocumentManager &documents, QSplitter &column, CommandRegistry &commands)
    : QObject(&column)
    , m_documents(documents)
{
    setObjectName(u"SiteSearchTools"_s);
    m_panel = new SiteSearchPanel;
    m_panel->hide();
    column.addWidget(m_panel);
    commands.add(Cmd::SearchInFiles, [this](Workspace &, Interaction &) { run(); });
    connect(m_panel, &SiteSearchPanel::matchChosen, this,
            [this](const QString &path, int line, int column) { openPageAt(m_documents, path, line, column); });
    connect(m_panel, &SiteSearchPanel::replaceRequested, this, &SiteSearchTools::replaceAll);
}

void SiteSearchTools::run()
{
    const std::optional<SiteSearchFields> fields = askSiteSearch(m_documents, m_last);
    if (!fields)
        return;
    m_last = *fields;
    m_panel->start(*fields, openPageTexts(m_documents));
}

void SiteSearchTools::replaceAll()
{
    if (m_panel->isRunning())
        return;
    const std::optional<SiteReplaceOutcome> outcome =
        askAndReplaceInSite(m_documents, m_panel->results(), m_panel->pattern());
    if (outcome)
        m_panel->showReplaced(outcome->changed, outcome->problems, outcome->replaced);
}

LivePreviewTools::LivePreviewTools(DocumentManager &documents, QWidget &documentArea, QSplitter &column,
                                   QAction &toggle, CommandRegistry &commands)
    : QObject(&column)
    , m_documents(documents)
    , m_documentArea(documentArea)
    , m_toggle(toggle)
{
    setObjectName(u"LivePreviewTools"_s);
    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->setObjectName(u"LivePreviewSplitter"_s);
    m_splitter->setChildrenCollapsible(false);
    const int index = column.indexOf(&documentArea);
    column.replaceWidget(index, m_splitter);
    m_splitter->addWidget(&documentArea);
    documentArea.show();
    m_preview = new LivePreview;
    m_preview->hide();
    m_splitter->addWidget(m_preview);
    m_splitter->setStretchFactor(0, 1);
    placeSide();

    m_preview->setSource([this]() -> std::optional<LivePreview::Page> {
        const HtmlDocument *doc = m_documents.activeDocument();
        if (!doc)
            return std::nullopt;
        return LivePreview::Page{doc->GetText(), doc->isUntitled() ? doc->caption() : doc->FileName(),
                                 doc->SelStart()};
    });
    for (HtmlDocument *doc : m_documents.documents())
        watch(doc);
    connect(&m_documents, &DocumentManager::documentCreated, this, &LivePreviewTools::watch);
    connect(&m_documents, &DocumentManager::activeDocumentChanged, this, [this] {
        if (m_shown)
            m_preview->showNow();
    });
    connect(&m_documents, &DocumentManager::activeDocumentLoaded, this, [this] {
        if (m_shown)
            m_preview->showNow();
    });
    // The item's check mark follows the preview, whichever way it was opened or closed.
    commands.add(Cmd::ToolLivePreview, [this](Workspace &, Interaction &) { setShown(!m_shown); });
    connect(m_preview, &LivePreview::closeRequested, this, [this] { setShown(false); });
    connect(m_preview, &LivePreview::sideChangeRequested, this, [this] {
        TSettings &s = m_documents.settings();
        s.LivePreviewLeft = !s.LivePreviewLeft;
        placeSide();
    });
    connect(m_splitter, &QSplitter::splitterMoved, this, &LivePreviewTools::rememberWidth);
    // Following the caret is the user's choice, kept in the settings; the caret moving
    // then counts as a change of what is to be shown.
    m_preview->setFollowCaret(m_documents.settings().LivePreviewFollowCaret);
    connect(m_preview, &LivePreview::followCaretToggled, this, [this](bool follow) {
        m_documents.settings().LivePreviewFollowCaret = follow;
        if (follow)
            m_preview->showNow();
    });
    connect(&m_documents, &DocumentManager::windowCreated, this, [this](TForm2 *window) {
        HtmlDocument *document = &window->document();
        connect(window->RichEdit1, &QPlainTextEdit::cursorPositionChanged, m_preview, [this, document] {
            if (m_shown && m_preview->followsCaret() && document == m_documents.activeDocument())
                m_preview->sourceChanged();
        });
    });
}

void LivePreviewTools::watch(HtmlDocument *document)
{
    // Colouring changes the text's formats only; what the page says stays.
    connect(document->textDocument(), &QTextDocument::contentsChanged, m_preview, [this, document] {
        if (document == m_documents.activeDocument() && !document->isColouring())
            m_preview->sourceChanged();
    });
}

void LivePreviewTools::placeSide()
{
    const bool left = m_documents.settings().LivePreviewLeft;
    m_splitter->insertWidget(left ? 0 : 1, m_preview);
    m_splitter->setStretchFactor(left ? 1 : 0, 1);
    m_splitter->setStretchFactor(left ? 0 : 1, 0);
    m_preview->setOnRight(!left);
    if (m_shown) {
        const int width = m_preview->width();
        const int total = m_splitter->width();
        m_splitter->setSizes(left ? QList<int>{width, total - width} : QList<int>{total - width, width});
    }
}

void LivePreviewTools::rememberWidth()
{
    if (m_shown)
        m_documents.settings().LivePreviewWidth = m_preview->width();
}

void LivePreviewTools::setShown(bool shown)
{
    m_toggle.setChecked(shown);
    if (shown == m_shown)
        return;
    if (!shown) {
        rememberWidth();
        m_shown = false;
        m_preview->hide();
        return;
    }
    m_shown = true;
    m_preview->show();
    const int total = std::max(m_splitter->width(), 2);
    const int stored = m_documents.settings().LivePreviewWidth;
    const int width = stored > 0 ? std::min(stored, total - total / 5) : total / 2;
    const bool left = m_documents.settings().LivePreviewLeft;
    m_splitter->setSizes(left ? QList<int>{width, total - width} : QList<int>{total - width, width});
    m_preview->showNow();
}
