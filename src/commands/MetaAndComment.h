#pragma once

#include "markup/Markup.h"

#include <optional>

class Workspace;

// Command 45: the META dialog; with "Vložit před hlavičku dokumentu" ticked the caret
// moves before the document's "</HEAD>" first.
std::optional<Markup> runMetaInsert(Workspace &workspace);

// Command 25: edits the comment at the caret, or comments out the selected text, or
// writes a new comment; an emptied memo deletes the comment. Inserts by itself.
std::optional<Markup> runCommentCommand(Workspace &workspace);
