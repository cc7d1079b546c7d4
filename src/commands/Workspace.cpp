#include "commands/Workspace.h"

#include "editor/TForm2.h"

#include <QWidget>

EditorBuffer *Workspace::activeBuffer() const
{
    TForm2 *doc = activeDocument();
    return doc ? doc->RichEdit1 : nullptr;
}

void Workspace::showChildWindow(QWidget *window)
{
    if (!window->isWindow() || !window->parentWidget())
        window->setParent(dialogParent(), Qt::Window);
    window->show();
    window->raise();
    window->activateWindow();
}
