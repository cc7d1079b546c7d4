#pragma once

#include <QString>

class HtmlDocument;
class TPreview;
class Workspace;

// Showing the document as saved on disk: in the browser that takes the document area's
// place (the "Dokument" / "Preview" tabs), in the separate preview window, or in an
// external browser. Every way shows the file by its path, so each first offers to save.

enum PreviewTabIndex { DocumentTab = 0, PreviewTab = 1 };

// Saves without asking when "Ulpre" is set; otherwise asks about a modified document,
// and Yes saves. No and Cancel both go on with the copy on disk.
void PreviewSaveStep(Workspace &workspace, HtmlDocument &document);

// The tab bar asks for a tab; returns whether the change is allowed. The way to "Preview"
// needs a non-empty document that has a file; the way back to "Dokument" is always open.
bool ChangePreviewTab(Workspace &workspace, int index);

// "Zobrazit dokument v prohližeči": the system's handler, or "ExtBrow".
void ExternalPreview(Workspace &workspace);
// The toolbar button: Shift opens with the system's handler; with "UseDDE" the running
// browser of "ExtBrow" is asked to show the file instead of starting the program.
void ExternalPreviewButton(Workspace &workspace, bool shiftHeld);
// The program "ExtBrow" names: a program file, or a name found on PATH; empty when it
// names neither.
QString externalBrowserProgram(const QString &extBrow);

// The one separate preview window, nullptr when none is open.
TPreview *previewWindow(Workspace &workspace);
// "Samostatné okno s prohlížečem ": opens the window when there is none and shows the
// active document in it.
TPreview *ShowPreviewWindow(Workspace &workspace);
// The help page's second page goes to the separate preview window.
TPreview *ShowHelpInPreviewWindow(Workspace &workspace, const QString &path);
// The "Okno" menu item's caption while the window is open or not. The first caption ends
// in a blank; the one after closing the window does not.
QString previewWindowMenuCaption(bool open);
inline const QString PreviewWindowInitialCaption = QStringLiteral("Samostatné okno s prohlížečem ");
