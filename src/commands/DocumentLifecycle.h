#pragma once

#include "markup/TextEncoding.h"
#include "markup/TextFile.h"

#include <QString>

class QPrinter;
class HtmlDocument;
class Workspace;
struct TSettings;

// Saves the document: Save As for a never-saved one; the file's own line breaks (a new
// page's as the settings say), the backup copy, then the file itself. False when nothing was saved.
bool SaveDocument(Workspace &workspace, HtmlDocument &document);
// Writes a page's text as a save does: the backup copy when the settings ask for it, the
// file in its encoding and with its line breaks. Returns the error text, empty on success.
QString saveTextFile(const TSettings &settings, const QString &fileName, const QString &text,
                     FileEncoding encoding, LineEnding lineEnding);
// Asks for a name (".html" added when it has none), then saves. False on Cancel.
bool SaveDocumentAs(Workspace &workspace, HtmlDocument &document);

// The name the backup of fileName gets: everything up to and including its last "."
// followed by the extension; a name without a dot keeps its whole name before the ".".
QString backupFileName(const QString &fileName, const QString &extension);

// The printer the print and printer set-up commands share for the frame's lifetime.
QPrinter &documentPrinter(Workspace &workspace);
// Prints the whole document with its colours as one job named after its file.
void printDocument(HtmlDocument &document, QPrinter &printer);
// "Tisk": the print dialog, then the whole active document.
void printActiveDocument(Workspace &workspace);

// Inserts a file's text unchanged at the start of the active document's selection.
void insertFileAtSelection(Workspace &workspace, const QString &path);

// "Nový podle šablony...": the template manager over the templates folder; the chosen
// template opens as a new, never-saved document; for HTML5 pages the HTML5 form of a
// template of the program's own, in the templates folder's "HTML5" folder.
void runTemplateManager(Workspace &workspace, const QString &templateDir);
// The folder of the active document's file; empty when there is none or it was never saved.
QString activeDocumentFolder(Workspace &workspace);
// "Otevřít ...": asks for a page and opens it in a new window.
void openDocumentFile(Workspace &workspace);
// "Zavřít" and "Zavřít vše": each modified document asks; Cancel keeps that one.
void closeActiveDocument(Workspace &workspace);
void closeAllDocuments(Workspace &workspace);

// The filters of "Otevřít ..." and "Vložit soubor..", as the users know them.
QString openFilter();
QString insertFileFilter();
