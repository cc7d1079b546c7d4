#pragma once

#include "markup/Markup.h"

#include <QString>

#include <optional>

class TTableForm;
class QWidget;
class Workspace;
struct TableGridFields;

// The table window and the table grid as the insertion commands and F7 use them.

// A new table window for the workspace; its "Pozadí" buttons work on whatever document
// is active when they are pressed.
TTableForm *createTableWindow(Workspace &workspace, QWidget *parent);
// The markup the open table window composes for commands 41 to 44 (TABLE, TR, TD, TH);
// nothing while the window is closed, so the commands write their bare tags.
std::optional<Markup> tableWindowMarkup(Workspace &workspace, int command);

// Command 60: the table grid dialog; on "Vytvořit" the skeleton goes into the document.
std::optional<Markup> runTableGrid(Workspace &workspace);
// Writes rows x columns of the table commands as one undo step. A skeleton the editor
// cannot hold is refused with a message; the loop stops at the first refused insertion.
void writeTableSkeleton(Workspace &workspace, const TableGridFields &grid);

// F7 on a TABLE, TR, TD or TH tag: the table window in edit mode, destroyed afterwards.
std::optional<QString> runTableEdit(Workspace &workspace, const QString &tag);
