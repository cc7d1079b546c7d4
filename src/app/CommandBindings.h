#pragma once

class TForm1;

// Connects every menu item, toolbar button, palette button and shortcut of a freshly
// built frame to its command. Only the frame's folder binds; commands know no widgets.
void installCommands(TForm1 &window);
