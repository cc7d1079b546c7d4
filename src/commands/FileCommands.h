#pragma once

#include <QString>

class Workspace;

// Commands of the file panel that write a reference to a file into the active document.
// The reference is the file as seen from the active document (DocumentRelativePath with
// the settings RelPa, Alt92 and UpperCaseFiles). Each does nothing without a document.

// The reference of the file for the active document; empty without a document.
QString fileReference(Workspace &workspace, const QString &filePath);

// The reference, selected and wrapped in a link to itself, in the LINK colour; the caret
// ends before "</A>". The selection collapses to its start first.
void InsertFileAsLink(Workspace &workspace, const QString &filePath);
// The element that suits the file's type around the selection, in the TAG colour.
void InsertFileAsTag(Workspace &workspace, const QString &filePath);
// The reference (relative) or the bare file name at the caret: in the TAG colour when the
// caret stands inside a tag, else in the TEXT colour.
void InsertFileName(Workspace &workspace, const QString &filePath, bool relative);
