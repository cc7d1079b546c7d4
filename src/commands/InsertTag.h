#pragma once

#include <QString>

#include <functional>

class TForm1;

// The two texts an insertion command leaves for the common end of InsertTag, which puts
// them around the selection in the tag colour. A command that inserts its markup itself
// leaves both empty.
struct InsertTexts
{
    QString opening;
    QString closing;
};

// A command whose markup comes from a dialog or a window registers its step here.
using InsertCommandHandler = std::function<void(TForm1 &, InsertTexts &)>;
void setInsertCommandHandler(int command, InsertCommandHandler handler);

// Runs insertion command 1..100 on the active document: the inside-tag check (except for
// the exempt commands), the command's own step, the wrap, and focus back to the editor.
void InsertTag(TForm1 &window, int command);

// True when insertion may go ahead; otherwise tells the user why not.
bool CheckNotInsideTag(TForm1 &window);
// Whether the caret of the active document stands inside a tag ("<" before it with no
// ">" in between, and a ">" after it before any "<").
bool caretInsideTag(TForm1 &window);
void HideAttributeLists(TForm1 &window);
