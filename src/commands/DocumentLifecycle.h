#pragma once

#include <QString>

class QPrinter;
class TForm1;
class TForm2;

// Saves the document: Save As for a never-saved one; line ends as the settings say, the
// backup copy, then the file itself. False when nothing was saved.
bool SaveDocument(TForm1 &window, TForm2 &document);
// Asks for a name (".html" added when it has none), then saves. False on Cancel.
bool SaveDocumentAs(TForm1 &window, TForm2 &document);

// The name the backup of fileName gets: everything up to and including its last "."
// followed by the extension; a name without a dot keeps its whole name before the ".".
QString backupFileName(const QString &fileName, const QString &extension);

// The printer the print and printer set-up commands share for the frame's lifetime.
QPrinter &documentPrinter(TForm1 &window);
// Prints the whole document with its colours as one job named after its file.
void printDocument(TForm2 &document, QPrinter &printer);

// Inserts a file's text unchanged at the start of the active document's selection.
void insertFileAtSelection(TForm1 &window, const QString &path);

// Connects the File menu's document commands and "Vložit soubor.." to the frame.
void installDocumentCommands(TForm1 &window);
