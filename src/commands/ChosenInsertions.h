#pragma once

#include <QString>

class Workspace;

// Entry points of the special-characters window (command 58) and the user-tags window
// (command 59): they hand over what the user picked and the command inserts it.
void InsertSpecialCharacter(Workspace &workspace, const QString &text);
void InsertUserTag(Workspace &workspace, const QString &opening, const QString &closing);

// "&Počítadlo": the counter dialog first; command 22 puts in what it composed.
void runCounterMenu(Workspace &workspace);
