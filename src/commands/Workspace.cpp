#include "commands/Workspace.h"

#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

HtmlDocument *Workspace::documentOf(const QString &path) const
{
    // The same file however the path is written (a link, ".."). A file gone from the disk
    // has no canonical path: such a name is compared as written, or every gone file would
    // be the same as every other.
    const QFileInfo wanted(path);
    const QString canonical = wanted.canonicalFilePath();
    const QString absolute = QDir::cleanPath(wanted.absoluteFilePath());
    for (HtmlDocument *doc : documents()) {
        if (doc->isUntitled())
            continue;
        const QFileInfo info(doc->FileName());
        if (canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) == absolute
                                : info.canonicalFilePath() == canonical)
            return doc;
    }
    return nullptr;
}

bool Workspace::roomForInsertion(qint64 inserted, bool replacesSelection) const
{
    const HtmlDocument *buffer = activeDocument();
    if (!buffer)
        return true;
    const qint64 kept = buffer->textLength() - (replacesSelection ? buffer->SelLength() : 0);
    if (fitsInDocument(kept + inserted))
        return true;
    ui().showError(doesNotFitMessage());
    return false;
}

void Workspace::reportCaret(const HtmlDocument &document)
{
    const auto [line, column] = document.CaretLineColumn();
    setStatusText(3, QString::number(line) + u':' + QString::number(column));
}

TTableForm *Workspace::tableWindow() const
{
    const TableWindowService *tables = tableWindows();
    return tables ? tables->tableWindow() : nullptr;
}

void Workspace::closeTableWindow()
{
    if (TableWindowService *tables = tableWindows())
        tables->closeTableWindow();
}

void Workspace::toggleTableWindow()
{
    if (TableWindowService *tables = tableWindows())
        tables->toggleTableWindow();
}

WebBrowser *Workspace::documentAreaBrowser()
{
    PreviewPlaces *places = previewPlaces();
    return places ? places->documentAreaBrowser() : nullptr;
}

bool Workspace::documentAreaCovered() const
{
    const PreviewPlaces *places = previewPlaces();
    return places && places->documentAreaCovered();
}

void Workspace::setDocumentAreaCovered(bool covered)
{
    if (PreviewPlaces *places = previewPlaces())
        places->setDocumentAreaCovered(covered);
}

void Workspace::showSidePanel(bool shown)
{
    if (PreviewPlaces *places = previewPlaces())
        places->showSidePanel(shown);
}

void Workspace::previewWindowChanged(bool open)
{
    if (PreviewPlaces *places = previewPlaces())
        places->previewWindowChanged(open);
}

void Workspace::showChildWindow(QWidget *window)
{
    if (PreviewPlaces *places = previewPlaces()) {
        places->showChildWindow(window);
        return;
    }
    if (!window->isWindow() || !window->parentWidget())
        window->setParent(dialogParent(), Qt::Window);
    window->show();
    window->raise();
    window->activateWindow();
}
