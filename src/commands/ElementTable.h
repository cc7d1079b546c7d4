#pragma once

#include "commands/ActiveDocumentContext.h"
#include "markup/ColorValue.h"
#include "markup/Markup.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <span>

class QDialog;
class Workspace;
struct DocumentContext;
struct InsertArgs;
struct TSettings;

// One element that a dialog composes: the insertion command that shows its dialog and
// the start tags that edit-current-tag reads back into it. A new element is one row.
struct ElementRow
{
    // The upper-case element names F7 edits with this row.
    QStringList tags;
    // The insertion command that runs the dialog, 0 when there is none.
    int command = 0;
    // The colour the inserted markup takes.
    ColorValue TSettings::*color = nullptr;
    // Runs the dialog for the insertion command: the markup to wrap the selection in, or
    // nothing when the user cancelled or the step inserted its text itself.
    std::function<std::optional<Markup>(Workspace &, const InsertArgs &)> insert;
    // Reads the start tag into the dialog, shows it, and gives the new start tag; nothing
    // when the user cancelled or the tag cannot be edited (after its message).
    std::function<std::optional<QString>(Workspace &, const QString &tag)> edit;
    // Makes the dialog that insertion and F7 show, as they make it; empty for a row that
    // only asks for one line or composes in a window of its own.
    std::function<std::unique_ptr<QDialog>(Workspace &)> dialog;
    // How much of the text from the start tag on F7 edits: the start tag and the children
    // the dialog shows with it (the sources of a video). Empty: the start tag alone.
    std::function<qsizetype(QStringView text)> extent = {};
};

std::span<const ElementRow> elementTable();
const ElementRow *elementForCommand(int command);
const ElementRow *elementForTag(const QString &upperName);


// Where the Active-X dialog reads its component list; the frame points it at the data
// folder beside the program.
void setComponentListPath(std::function<QString()> path);
