#include "commands/Workspace.h"

#include "editor/TForm2.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"

#include <QFileInfo>
#include <QWidget>

TForm2 *Workspace::documentOf(const QString &path) const
{
    const QFileInfo wanted(path);
    for (TForm2 *doc : documents()) {
        if (!doc->isUntitled() && QFileInfo(doc->FileName()) == wanted)
            return doc;
    }
    return nullptr;
}

EditorBuffer *Workspace::activeBuffer() const
{
    TForm2 *doc = activeDocument();
    return doc ? doc->RichEdit1 : nullptr;
}

bool Workspace::roomForInsertion(qint64 inserted, bool replacesSelection) const
{
    const EditorBuffer *buffer = activeBuffer();
    if (!buffer)
        return true;
    const qint64 kept = buffer->textLength() - (replacesSelection ? buffer->SelLength() : 0);
    if (fitsInDocument(kept + inserted))
        return true;
    ui().showError(doesNotFitMessage());
    return false;
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
