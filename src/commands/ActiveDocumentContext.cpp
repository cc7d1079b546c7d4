#include "commands/ActiveDocumentContext.h"

#include "commands/Workspace.h"
#include "dialogs/ElementDialog.h"
#include "editor/HtmlDocument.h"
#include "settings/TSettings.h"

DocumentContext documentContext(Workspace &w)
{
    DocumentContext context{w.settings(), std::nullopt, {}};
    if (HtmlDocument *doc = w.activeDocument()) {
        context.documentFileName = doc->FileName();
        context.documentText = [doc] { return doc->GetText(); };
    }
    return context;
}
