#include "app/DocumentManager.h"

#include "commands/DocumentLifecycle.h"
#include "editor/Colorize.h"
#include "interaction/Interaction.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QFileInfo>

#include <algorithm>
#include <future>

using namespace Qt::StringLiterals;

DocumentManager::DocumentManager(TSettings &settings, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
{
}

DocumentManager::DocumentManager(TSettings &settings, QWidget &dialogParent, QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_dialogParent(&dialogParent)
{
}

DocumentManager::~DocumentManager()
{
    // The windows go before their documents, and nobody hears of either any more.
    blockSignals(true);
    delete std::exchange(m_windows, nullptr);
    for (const QPointer<HtmlDocument> &doc : m_slots)
        delete doc.data();
}

void DocumentManager::setStatusText(int panel, const QString &text)
{
    Q_EMIT statusTextSet(panel, text);
}

HtmlDocument *DocumentManager::document(int slot) const
{
    if (slot < 1 || slot > SlotCount)
        return nullptr;
    return m_slots[slot - 1];
}

TForm2 *DocumentManager::window(const HtmlDocument *document) const
{
    return m_windows && document ? m_windows->window(document) : nullptr;
}

EditorBuffer *DocumentManager::activeView() const
{
    TForm2 *w = window(activeDocument());
    return w ? w->RichEdit1 : nullptr;
}

QMdiArea &DocumentManager::area() const
{
    Q_ASSERT(m_windows);
    return m_windows->area();
}

QList<HtmlDocument *> DocumentManager::documents() const
{
    QList<HtmlDocument *> out;
    for (const auto &d : m_slots) {
        if (d)
            out << d;
    }
    return out;
}

HtmlDocument *DocumentManager::NewDocumentWindow()
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
    auto *doc = new HtmlDocument(slot, this, this);
    // A new page is saved with the line breaks the settings name; an opened one keeps its own.
    doc->setLineEnding(lineEndingOfSetting(m_settings.FITIP));
    m_slots[slot - 1] = doc;
    connect(doc, &HtmlDocument::closeRequested, this, [this, doc] { closeDocument(doc); });
    Q_EMIT documentCreated(doc);
    // The window, when there is one, made it the active document already.
    if (ActiveDocument != slot) {
        ActiveDocument = slot;
        Q_EMIT activeDocumentChanged(ActiveDocument);
    }
    return doc;
}

void DocumentManager::closeDocument(HtmlDocument *doc)
{
    // The window goes first, and its going releases the document.
    if (TForm2 *w = window(doc)) {
        if (QWidget *frame = w->parentWidget())
            frame->close(); // the MDI frame around the document
        else
            w->close();
        return;
    }
    releaseDocument(*doc);
}

void DocumentManager::releaseDocument(HtmlDocument &doc)
{
    const int slot = doc.SlotIndex;
    if (slot < 1 || slot > SlotCount || m_slots[slot - 1] != &doc)
        return;
    m_slots[slot - 1] = nullptr;
    if (ActiveDocument == slot)
        ActiveDocument = 0;
    doc.markClosed();
    doc.deleteLater();
    Q_EMIT activeDocumentChanged(ActiveDocument);
}

void DocumentManager::documentShown(HtmlDocument &doc, TForm2 *window)
{
    ActiveDocument = doc.SlotIndex;
    Q_EMIT activeDocumentShown(window);
    Q_EMIT activeDocumentChanged(ActiveDocument);
}

void DocumentManager::activateDocument(HtmlDocument &doc)
{
    if (m_windows) {
        m_windows->activate(doc);
    } else if (ActiveDocument != doc.SlotIndex) {
        ActiveDocument = doc.SlotIndex;
        Q_EMIT activeDocumentChanged(ActiveDocument);
    }
}

void DocumentManager::focusDocument(HtmlDocument &doc)
{
    if (TForm2 *w = window(&doc))
        w->RichEdit1->setFocus();
}

void DocumentManager::refreshDocumentStatus()
{
    if (HtmlDocument *doc = activeDocument())
        setStatusText(2, u"Velikost:"_s + QString::number(doc->textLength()) + u" znaků"_s);
}

bool DocumentManager::OpenFile(HtmlDocument &doc, const QString &path)
{
    // Pages are read in the encoding they are in; saving writes that encoding back.
    return showFile(doc, path, readDocumentFile(path), false);
}

bool DocumentManager::showFile(HtmlDocument &doc, const QString &path, const TextFileResult &file,
                               bool colourInBackground)
{
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return false;
    }
    // The colours are scanned from the text as read (reading it back from the document
    // would be another pass over the whole page), on another core while the editor takes
    // the text in.
    std::future<PrescannedColours> prescanned;
    if (colourInBackground) {
        prescanned = std::async(std::launch::async,
                                [text = file.text, colours = SyntaxColors::fromSettings(m_settings)] {
                                    return prescanColours(text, colours);
                                });
    }
    doc.showLoadedText(path, file);
    if (&doc == activeDocument())
        Q_EMIT activeDocumentLoaded();
    AddRecentFile(path);
    Q_EMIT recentFilesChanged();
    Q_EMIT fileLocationChanged(path);
    if (colourInBackground) {
        ColorizeDocumentInBackground(doc, m_settings,
                                     [this](const QString &text) { setStatusText(3, text); },
                                     prescanned.get());
    }
    return true;
}

void DocumentManager::fileStored(const QString &path)
{
    if (m_settings.FindDir)
        Q_EMIT fileLocationChanged(path);
    AddRecentFile(path);
    Q_EMIT recentFilesChanged();
    Q_EMIT fileSaved(path);
}

HtmlDocument *DocumentManager::openInNewWindow(const QString &path)
{
    // Two documents of one file would each save over the other's changes: the one open
    // comes forward, changes and all.
    if (HtmlDocument *open = documentOf(path)) {
        activateDocument(*open);
        return open;
    }
    // Read before the window is made: a file that is gone (a recent entry, a dropped file)
    // or cannot be read is reported without leaving an empty window behind.
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return nullptr;
    }
    HtmlDocument *doc = NewDocumentWindow();
    if (!doc)
        return nullptr;
    // The page shows at once and answers keys while its colours go in behind.
    showFile(*doc, path, file, m_settings.Colorize && doc == activeDocument());
    return doc;
}

HtmlDocument *DocumentManager::openReadFile(const QString &path, const TextFileResult &file)
{
    HtmlDocument *doc = NewDocumentWindow();
    if (doc)
        showFile(*doc, path, file, m_settings.Colorize && doc == activeDocument());
    return doc;
}

bool DocumentManager::openHandedFile(const QString &path)
{
    // Two documents of one file would each save over the other's changes.
    if (HtmlDocument *open = documentOf(path)) {
        activateDocument(*open);
        return true;
    }
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return true;
    }
    HtmlDocument *doc = NewDocumentWindow();
    if (!doc)
        return false;
    showFile(*doc, path, file, m_settings.Colorize && doc == activeDocument());
    return true;
}

bool DocumentManager::saveDocument(HtmlDocument &document)
{
    return SaveDocument(*this, document);
}

void DocumentManager::AddRecentFile(const QString &path)
{
    auto &recent = m_settings.RecentFiles;
    // The same file under another name (through a link to its folder) is the entry there
    // already: two entries would push a third file off the list for nothing.
    // A name of no file (gone meanwhile) has no canonical path and is compared as written.
    const QString canonical = QFileInfo(path).canonicalFilePath();
    const auto sameFile = [&](const QString &entry) {
        return entry == path
               || (!canonical.isEmpty() && QFileInfo(entry).canonicalFilePath() == canonical);
    };
    if (std::any_of(recent.begin(), recent.end(), sameFile))
        return;
    std::move_backward(recent.begin(), recent.end() - 1, recent.end());
    recent[0] = path;
}

void DocumentManager::colorizeActiveDocument()
{
    if (HtmlDocument *doc = activeDocument())
        ColorizeDocument(*doc, m_settings, [this](const QString &text) { setStatusText(3, text); });
}
