#include "commands/Workspace.h"

#include "editor/TForm2.h"

EditorBuffer *Workspace::activeBuffer() const
{
    TForm2 *doc = activeDocument();
    return doc ? doc->RichEdit1 : nullptr;
}
