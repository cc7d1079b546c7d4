#include "commands/ElementCommands.h"

#include "commands/ElementTable.h"
#include "commands/InsertTag.h"
#include "commands/Workspace.h"
#include "dialogs/ElementDialog.h"
#include "dialogs/ImageDialog.h"
#include "dialogs/PageWizard.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"
#include "markup/ImageMarkup.h"
#include "markup/PageMarkup.h"
#include "preview/WebBrowser.h"

#include <memory>

namespace {

// The image dialog with the shared browser in its preview panel; the browser's engine
// starts only when a picture is first shown.
std::unique_ptr<TImageForm> makeImageForm(Workspace &w)
{
    auto form = std::make_unique<TImageForm>(documentContext(w), w.dialogParent());
    auto *browser = new WebBrowser;
    form->setPreviewPane(browser, [browser](const QUrl &url) { browser->navigate(url); });
    return form;
}

template<class Dialog, class Read>
std::optional<QString> editIn(Dialog &dialog, const Read &read)
{
    dialog.setFields(read.fields);
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return withLeftovers(dialog.OpeningMarkup, read.leftovers);
}

} // namespace

std::optional<Markup> runImageInsert(Workspace &w)
{
    const std::unique_ptr<TImageForm> form = makeImageForm(w);
    if (ui().exec(*form) != QDialog::Accepted)
        return std::nullopt;
    return Markup{form->OpeningMarkup, form->ClosingMarkup};
}

std::optional<QString> runImageEdit(Workspace &w, const QString &tag)
{
    const auto read = readImageTag(tag);
    if (!read.ok()) {
        ui().showError(read.error);
        return std::nullopt;
    }
    return editIn(*makeImageForm(w), read);
}

std::optional<Markup> runNewPageWizard(Workspace &w)
{
    TForm33 wizard(documentContext(w), w.dialogParent());
    if (ui().exec(wizard) != QDialog::Accepted)
        return std::nullopt;
    const PageFields page = wizard.pageFields();
    InsertArgs args;
    args.page = PageSkeleton{page.docType, page.title, wizard.OpeningMarkup, wizard.ClosingMarkup};
    InsertTag(w, 85, args);
    return std::nullopt;
}

std::optional<QString> runBodyEdit(Workspace &w, const QString &tag)
{
    const auto read = readBodyTag(tag);
    if (!read.ok()) {
        ui().showError(read.error);
        return std::nullopt;
    }
    TForm33 wizard(documentContext(w), w.dialogParent());
    wizard.setBodyOnly();
    return editIn(wizard, read);
}
