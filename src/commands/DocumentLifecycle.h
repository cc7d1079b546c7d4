#pragma once

class TForm1;
class TForm2;

// Saves the document: Save As for a never-saved one; line ends as the settings say, the
// backup copy, then the file itself. False when nothing was saved.
bool SaveDocument(TForm1 &window, TForm2 &document);
// Asks for a name (".html" added when it has none), then saves. False on Cancel.
bool SaveDocumentAs(TForm1 &window, TForm2 &document);

// Connects the File menu's document commands to the frame.
void installDocumentCommands(TForm1 &window);
