#include "app/DocumentManager.h"

#include "commands/DocumentLifecycle.h"
#include "commands/EditCurrentTag.h"
#include "commands/StyleCommands.h"
#include "editor/Colorize.h"
#include "interaction/Interaction.h"
#include "markup/TextFile.h"
#include "settings/TSettings.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

using namespace Qt::StringLiterals;

DocumentManager::DocumentManager(TSettings &settings, QMdiArea &area, QWidget &dialogParent,
                                 QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_mdi(&area)
    , m_dialogParent(dialogParent)
{
    connect(m_mdi, &QMdiArea::subWindowActivated, this, &DocumentManager::documentActivated);
}

void DocumentManager::setStatusText(int panel, const QString &text)
{
    Q_EMIT statusTextSet(panel, text);
}

TForm2 *DocumentManager::document(int slot) const
{
    if (slot < 1 || slot > SlotCount)
        return nullptr;
    return m_slots[slot - 1];
}

QList<TForm2 *> DocumentManager::documents() const
{
    QList<TForm2 *> out;
    for (const auto &d : m_slots) {
        if (d)
            out << d;
    }
    return out;
}

TForm2 *DocumentManager::NewDocumentWindow()
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
    // A new page is saved with the line breaks the settings name; an opened one keeps its own.
    doc->setLineEnding(lineEndingOfSetting(m_settings.FITIP));
    m_slots[slot - 1] = doc;
    watchDocument(doc);
    Q_EMIT documentCreated(doc);
    QMdiSubWindow *previous = m_mdi->activeSubWindow();
    QMdiSubWindow *sub = m_mdi->addSubWindow(doc);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setWindowIcon(QApplication::windowIcon()); // the program's icon, not Qt's logo
    Q_EMIT documentWindowAdded();
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

void DocumentManager::watchDocument(TForm2 *doc)
{
    const int slot = doc->SlotIndex;
    connect(doc, &QObject::destroyed, this, [this, slot] {
        // The window is half destroyed now: its slot is emptied before anything reads it.
        m_slots[slot - 1] = nullptr;
        if (ActiveDocument == slot)
            ActiveDocument = 0;
        Q_EMIT activeDocumentChanged(ActiveDocument);
    });
    connect(doc->RichEdit1, &EditorBuffer::caretReported, this, [this](int line, int column) {
        setStatusText(3, QString::number(line) + u':' + QString::number(column));
    });
}

void DocumentManager::documentActivated(QMdiSubWindow *window)
{
    auto *doc = window ? qobject_cast<TForm2 *>(window->widget()) : nullptr;
    if (!doc)
        return;
    ActiveDocument = doc->SlotIndex;
    Q_EMIT activeDocumentShown(doc);
    Q_EMIT activeDocumentChanged(ActiveDocument);
}

void DocumentManager::refreshDocumentStatus()
{
    if (EditorBuffer *b = activeBuffer())
        setStatusText(2, u"Velikost:"_s + QString::number(b->textLength()) + u" znaků"_s);
}

bool DocumentManager::OpenFile(TForm2 &doc, const QString &path)
{
    // Pages are read in the encoding they are in; saving writes that encoding back.
    return showFile(doc, path, readDocumentFile(path), false);
}

bool DocumentManager::showFile(TForm2 &doc, const QString &path, const TextFileResult &file,
                               bool colourInBackground)
{
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return false;
    }
    doc.showLoadedText(path, file);
    if (&doc == activeDocument())
        Q_EMIT activeDocumentLoaded();
    AddRecentFile(path);
    Q_EMIT recentFilesChanged();
    Q_EMIT fileLocationChanged(path);
    // The colours are scanned from the text as read: reading it back from the editor would
    // be another pass over the whole page.
    if (colourInBackground) {
        const SyntaxColors colours = SyntaxColors::fromSettings(m_settings);
        ColorizeDocumentInBackground(*doc.RichEdit1, m_settings,
                                     [this](const QString &text) { setStatusText(3, text); },
                                     prescanColours(file.text, colours));
    }
    return true;
}

void DocumentManager::fileStored(const QString &path)
{
    if (m_settings.FindDir)
        Q_EMIT fileLocationChanged(path);
    AddRecentFile(path);
    Q_EMIT recentFilesChanged();
}

TForm2 *DocumentManager::openInNewWindow(const QString &path)
{
    TForm2 *doc = NewDocumentWindow();
    if (!doc)
        return nullptr;
    // The page shows at once and answers keys while its colours go in behind.
    showFile(*doc, path, readDocumentFile(path), m_settings.Colorize && doc == activeDocument());
    return doc;
}

bool DocumentManager::openHandedFile(const QString &path)
{
    // Two windows on one file would each save over the other's changes.
    if (TForm2 *open = documentOf(path)) {
        activateDocument(*open);
        return true;
    }
    const TextFileResult file = readDocumentFile(path);
    if (!file.ok) {
        ui().showError(readFailureMessage(path, file));
        return true;
    }
    TForm2 *doc = NewDocumentWindow();
    if (!doc)
        return false;
    showFile(*doc, path, file, m_settings.Colorize && doc == activeDocument());
    return true;
}

void DocumentManager::activateDocument(TForm2 &document)
{
    auto *sub = qobject_cast<QMdiSubWindow *>(document.parentWidget());
    if (!sub)
        return;
    if (sub->isMinimized())
        sub->showNormal();
    m_mdi->setActiveSubWindow(sub);
    document.RichEdit1->setFocus();
}

bool DocumentManager::saveDocument(TForm2 &document)
{
    return SaveDocument(*this, document);
}

void DocumentManager::tagItemDropped(TForm2 &document, const QString &itemText)
{
    QString text = itemText;
    if (m_droppedTags)
        text = m_droppedTags->droppedText(text);
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

void DocumentManager::editCurrentTag(TForm2 &)
{
    EditCurrentTag(*this);
}

std::optional<QString> DocumentManager::composeStyle(TForm2 &)
{
    return composeStyleDeclarations(*this);
}

void DocumentManager::AddRecentFile(const QString &path)
{
    auto &recent = m_settings.RecentFiles;
    if (std::find(recent.begin(), recent.end(), path) != recent.end())
        return;
    std::move_backward(recent.begin(), recent.end() - 1, recent.end());
    recent[0] = path;
}

void DocumentManager::colorizeActiveDocument()
{
    if (EditorBuffer *b = activeBuffer())
        ColorizeDocument(*b, m_settings, [this](const QString &text) { setStatusText(3, text); });
}
