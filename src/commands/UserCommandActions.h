#pragma once

class Workspace;

// Runs user command n (1..15) of the settings: starts its program (or opens its file)
// through ShellRun, in the program's own folder, with no shell and no arguments; or puts
// its two texts around the selection of the active document in the tag colour, leaving
// the caret before the closing text. An inactive slot does nothing, and so does a text
// command without an open document; a program that is not there is reported.
void RunUserCommand(Workspace &workspace, int slot);
