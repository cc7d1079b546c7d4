#pragma once

#include "commands/ElementEdit.h"
#include "markup/Markup.h"

#include <QString>

#include <optional>

class TForm33;
class TImageForm;
class Workspace;

// The steps of the image dialog and the new-page wizard that the element table runs.

// The image dialog of command 40 and of F7 on an IMG tag, with its picture preview.
// Setting the fields from a tag neither measures nor previews.
DialogHandle<TImageForm> makeImageForm(Workspace &workspace);

// Command 86: the new-page wizard; on "Ok" command 85 writes the page skeleton. Nothing is
// left for the common wrap.
std::optional<Markup> runNewPageWizard(Workspace &workspace);
// The wizard of F7 on a BODY tag: only its body page, captioned "BODY".
DialogHandle<TForm33> makeBodyWizard(Workspace &workspace);
