#pragma once

#include "commands/ActiveDocumentContext.h"
#include "commands/Workspace.h"
#include "dialogs/ElementDialog.h"
#include "interaction/Interaction.h"
#include "markup/ElementContract.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <type_traits>

// The one way an element's dialog is made, shown for insertion, and shown for F7.

// A dialog made for one use; the deleter may also close a window that outlives the edit.
template<class Dialog>
using DialogHandle = std::unique_ptr<Dialog, std::function<void(Dialog *)>>;

// The element's dialog: made by the row's own hook when it has one, else by the element's
// own constructor, given what it may need of the active document.
template<class Dialog>
DialogHandle<Dialog> makeDialog(Workspace &w,
                                const std::function<DialogHandle<Dialog>(Workspace &)> &make = {})
{
    if (make)
        return make(w);
    Dialog *dialog = nullptr;
    if constexpr (std::is_constructible_v<Dialog, DocumentContext, QWidget *>)
        dialog = new Dialog(documentContext(w), w.dialogParent());
    else if constexpr (std::is_constructible_v<Dialog, QWidget *>)
        dialog = new Dialog(w.dialogParent());
    return DialogHandle<Dialog>(dialog, [](Dialog *d) { delete d; });
}

// What an element may change on the common edit path; each hook is optional.
template<class Dialog, class Fields>
struct EditHooks
{
    // Adjusts the read tag before its fields go into the dialog.
    std::function<void(TagRead<Fields> &)> prepare;
    // Makes the dialog when the element's own constructor is not enough.
    std::function<DialogHandle<Dialog>(Workspace &)> make;
};

// Shows the dialog for an insertion command: the markup to wrap the selection in, or
// nothing when the user cancelled.
template<class Dialog>
std::optional<Markup> insertWith(Workspace &w,
                                 const std::function<DialogHandle<Dialog>(Workspace &)> &make = {})
{
    const DialogHandle<Dialog> dialog = makeDialog<Dialog>(w, make);
    if (ui().exec(*dialog) != QDialog::Accepted)
        return std::nullopt;
    return Markup{dialog->OpeningMarkup, dialog->ClosingMarkup};
}

// F7 for every element: a tag that cannot be read shows why and goes no further;
// otherwise its fields fill the dialog, and "Vložit" gives the new start tag with the
// attributes the dialog does not know put back.
template<class Dialog, class Fields>
std::optional<QString> editWith(Workspace &w, TagRead<Fields> read,
                                const EditHooks<Dialog, Fields> &hooks = {})
{
    if (!read.ok()) {
        ui().showError(read.error);
        return std::nullopt;
    }
    if (hooks.prepare)
        hooks.prepare(read);
    const DialogHandle<Dialog> dialog = makeDialog<Dialog>(w, hooks.make);
    // A dialog of several pages has a setFields for each page's fields.
    if constexpr (requires(Dialog &d) { d.setFields(read.fields); })
        dialog->setFields(read.fields);
    if (ui().exec(*dialog) != QDialog::Accepted)
        return std::nullopt;
    return withLeftovers(dialog->OpeningMarkup, read.leftovers);
}
