#pragma once

#include <QString>

#include <optional>

class HtmlDocument;
class Workspace;

// True when insertion may go ahead; otherwise tells the user why not.
bool CheckNotInsideTag(Workspace &workspace);
// Whether the caret stands inside a tag ("<" before it with no ">" in between, and a ">"
// after it before any "<"). Only the text around the caret is read.
bool caretInsideTag(const HtmlDocument &buffer);
// Selects the tag at the caret (or, of a selection, the tag it starts with) and returns it.
// The document's own selection stops at the first ">"; this one goes on to the tag's real
// end when a quoted value holds a ">". Nothing when that end is not found (an unclosed tag
// or quote); the document's selection then stays as the document made it.
std::optional<QString> selectWholeTagAtCaret(HtmlDocument &buffer);
