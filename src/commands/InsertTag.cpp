#include "commands/InsertTag.h"

#include "commands/CommandIds.h"
#include "commands/ElementTable.h"
#include "commands/InsertCommands.h"
#include "commands/Workspace.h"
#include "editor/HtmlDocument.h"
#include "interaction/Interaction.h"
#include "settings/TSettings.h"

using namespace Qt::StringLiterals;

namespace {

bool isExempt(int command)
{
    return command == 25 || command == 26 || command == 58 || command == 92;
}

// The user tag is the user's own markup, and goes in as the user wrote it.
bool isUsersOwnMarkup(int command)
{
    return command == 59;
}

} // namespace

void InsertTag(Workspace &workspace, int command, const InsertArgs &args)
{
    if (command < 1 || command > static_cast<int>(LastInsertion) || !workspace.activeDocument())
        return;
    if (!isExempt(command) && !CheckNotInsideTag(workspace))
        return;
    ColorValue TSettings::*color = &TSettings::TAG;
    std::optional<Markup> markup;
    if (const ElementRow *row = elementForCommand(command); row && row->insert) {
        markup = row->insert(workspace, args);
        color = row->color;
    } else {
        markup = insertionMarkup(workspace, command, args);
    }
    // The command's step may have closed the document (a dialog can do anything).
    HtmlDocument *doc = workspace.activeDocument();
    if (!doc)
        return;
    if (markup && !isUsersOwnMarkup(command))
        markup = writtenMarkup(workspace, *markup);
    // Markup cut at the editor's limit would be a broken tag: it goes in whole or not at all.
    if (markup && (!markup->opening.isEmpty() || !markup->closing.isEmpty())
        && workspace.roomForInsertion(HtmlDocument::lengthOnceIn(markup->opening)
                                      + HtmlDocument::lengthOnceIn(markup->closing)))
        doc->WrapSelection(workspace.settings().*color, markup->opening, markup->closing);
    workspace.focusDocument(*doc);
}
