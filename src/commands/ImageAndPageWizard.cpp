#include "commands/ImageAndPageWizard.h"

#include "commands/ActiveDocumentContext.h"
#include "commands/InsertCommands.h"
#include "commands/Workspace.h"
#include "dialogs/ElementDialog.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/PageWizard.h"
#include "interaction/Interaction.h"
#include "markup/PageMarkup.h"
#include "preview/WebBrowser.h"

// The image dialog with the shared browser in its preview panel; the browser's engine
// starts only when a picture is first shown.
DialogHandle<TImageForm> makeImageForm(Workspace &w)
{
    DialogHandle<TImageForm> form = makeDialog<TImageForm>(w);
    auto *browser = new WebBrowser;
    form->setPreviewPane(browser, [browser](const QUrl &url) { browser->navigate(url); });
    return form;
}

std::optional<Markup> runNewPageWizard(Workspace &w)
{
    TForm33 wizard(documentContext(w), w.dialogParent());
    if (ui().exec(wizard) != QDialog::Accepted)
        return std::nullopt;
    const PageFields page = wizard.pageFields();
    InsertArgs args;
    args.page = PageSkeleton{page.docType, page.title, wizard.OpeningMarkup, wizard.ClosingMarkup,
                             page.lang};
    // The skeleton goes in as command 85 does; the wizard's own command 86 already
    // passed the inside-tag check and gives the editor the focus back.
    insertionMarkup(w, 85, args);
    return std::nullopt;
}

DialogHandle<TForm33> makeBodyWizard(Workspace &w)
{
    DialogHandle<TForm33> wizard = makeDialog<TForm33>(w);
    wizard->setBodyOnly();
    return wizard;
}
