#include "commands/ActiveDocumentContext.h"

#include "commands/Workspace.h"
#include "dialogs/ElementDialog.h"
#include "editor/TForm2.h"
#include "settings/TSettings.h"

DocumentContext documentContext(Workspace &w)
{
    DocumentContext context{w.settings(), std::nullopt, {}};
    if (TForm2 *doc = w.activeDocument()) {
        context.documentFileName = doc->FileName();
        context.documentText = [doc] { return doc->RichEdit1->GetText(); };
    }
    return context;
}
