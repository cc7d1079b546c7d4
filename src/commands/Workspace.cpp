#include "commands/Workspace.h"

#include "editor/TForm2.h"
#include "interaction/Interaction.h"
#include "markup/GuardedFile.h"

#include <QWidget>

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

void Workspace::showChildWindow(QWidget *window)
{
    if (!window->isWindow() || !window->parentWidget())
        window->setParent(dialogParent(), Qt::Window);
    window->show();
    window->raise();
    window->activateWindow();
}
