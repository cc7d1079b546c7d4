#pragma once

#include <QString>

class Workspace;

// Runs the script builder with the reference trees of dataDir; after "Konec + vlozit" a
// script that is not empty goes in at the caret of the active document, inside a SCRIPT
// element, in the script colour.
void runScripter(Workspace &workspace, const QString &dataDir);

// Puts a script, wrapped in its SCRIPT element, at the caret of the active document in
// the script colour. A script the document cannot hold whole is refused with a message
// and the document stays as it was; false then, and when no document is open.
bool insertScript(Workspace &workspace, const QString &script);

// Runs the channel wizard; after "Vytvořit" its document fills a new, modified window.
void runChannelWizard(Workspace &workspace);
