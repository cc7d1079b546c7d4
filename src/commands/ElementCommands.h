#pragma once

#include "markup/Markup.h"

#include <QString>

#include <optional>

class Workspace;

// The steps of the image dialog and the new-page wizard that the element table runs.

// Command 40: the image dialog with its picture preview; the IMG tag to insert.
std::optional<Markup> runImageInsert(Workspace &workspace);
// F7 on an IMG tag. Setting the fields from the tag neither measures nor previews.
std::optional<QString> runImageEdit(Workspace &workspace, const QString &tag);

// Command 86: the new-page wizard; on "Ok" command 85 writes the page skeleton. Nothing is
// left for the common wrap.
std::optional<Markup> runNewPageWizard(Workspace &workspace);
// F7 on a BODY tag: the wizard with only its body page, captioned "BODY".
std::optional<QString> runBodyEdit(Workspace &workspace, const QString &tag);
