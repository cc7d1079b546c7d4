#pragma once

#include "commands/InsertArgs.h"
#include "commands/InsideTag.h"
#include "markup/Markup.h"

#include <QString>

#include <optional>

class HtmlDocument;
class Workspace;

// Runs an insertion command (1 to LastInsertion) on the active document: the inside-tag check (except for
// the exempt commands), the command's own step, the wrap in the command's colour, and the
// focus back to the editor. Does nothing without an open document.
void InsertTag(Workspace &workspace, int command, const InsertArgs &args = {});

