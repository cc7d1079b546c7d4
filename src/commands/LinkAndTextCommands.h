#pragma once

class TForm1;

// Connects the link, font, comment, META, counter and special-character commands of the
// frame to their dialogs.
void installLinkAndTextDialogs(TForm1 &window);
