#pragma once

class HtmlDocument;
class Workspace;

// True when insertion may go ahead; otherwise tells the user why not.
bool CheckNotInsideTag(Workspace &workspace);
// Whether the caret stands inside a tag ("<" before it with no ">" in between, and a ">"
// after it before any "<"). Only the text around the caret is read.
bool caretInsideTag(const HtmlDocument &buffer);
