#include "commands/StyleCommands.h"

#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "markup/SysUt.h"
#include "settings/TSettings.h"
#include "tools/Colorizer.h"
#include "tools/Stylemaker.h"

using namespace Qt::StringLiterals;

namespace {

// The rule in a style element of its own, for a page that has none yet.
QString ownStyleElement(const QString &rule)
{
    return u"<STYLE>\r\n"_s + rule + u"</STYLE>\r\n"_s;
}

} // namespace

void insertStyle(HtmlDocument &buffer, const TSettings &settings, const QString &selector,
                 const QString &declarations, bool beforeStyleEnd)
{
    if (!beforeStyleEnd) {
        buffer.InsertAtCaret(settings.TAG, declarations);
        return;
    }
    const QString rule = composeStyleRule(selector, declarations);
    // The buffer compares in upper case without changing lengths, so the offset found is
    // the document's own (CR LF counting two).
    const int end = buffer.findForward(0, u"</STYLE>"_s, true);
    if (end >= 0) {
        buffer.SetSelStart(end);
        buffer.InsertAtCaret(settings.STYLE, rule);
        return;
    }
    // A page without a style element yet: a bare rule would show on the page as its text.
    // It gets an element of its own, at the end of the head when the page has one.
    const int headEnd = buffer.findForward(0, u"</HEAD>"_s, true);
    if (headEnd >= 0)
        buffer.SetSelStart(headEnd);
    buffer.InsertAtCaret(settings.STYLE, ownStyleElement(rule));
}

void RunStyleBuilder(Workspace &workspace)
{
    TStyleForm dialog(workspace.dialogParent());
    dialog.acceptCheck = [&] {
        // A rule without its tag or class would be written as "{...}", which no browser
        // takes; the dialog stays open with what was filled in.
        if (dialog.insertBeforeStyleEnd() && TrimBlanks(dialog.selector()).isEmpty()) {
            ui().showError(u"Zadejte jméno tagu nebo třídy, pro které pravidlo platí."_s);
            return false;
        }
        // Room for the style element too, in case the page has none.
        return workspace.roomForInsertion(
            ownStyleElement(composeStyleRule(dialog.selector(), dialog.declarations())).size());
    };
    if (ui().exec(dialog) != QDialog::Accepted)
        return;
    if (HtmlDocument *buffer = workspace.activeDocument())
        insertStyle(*buffer, workspace.settings(), dialog.selector(), dialog.declarations(),
                    dialog.insertBeforeStyleEnd());
}

std::optional<QString> composeStyleDeclarations(Workspace &workspace)
{
    TStyleForm dialog(workspace.dialogParent());
    dialog.acceptCheck = [&] { return workspace.roomForInsertion(dialog.declarations().size(), true); };
    if (ui().exec(dialog) != QDialog::Accepted)
        return std::nullopt;
    return dialog.declarations();
}

void RunGradient(Workspace &workspace)
{
    HtmlDocument *buffer = workspace.activeDocument();
    if (!buffer)
        return;
    TColorForm dialog(buffer->SelText(), workspace.dialogParent());
    dialog.acceptCheck = [&] { return workspace.roomForInsertion(dialog.Result().size(), true); };
    if (ui().exec(dialog) != QDialog::Accepted || workspace.activeDocument() != buffer)
        return;
    const QString result = dialog.Result();
    if (!workspace.roomForInsertion(result.size(), true))
        return;
    buffer->ReplaceSelection(result);
}
