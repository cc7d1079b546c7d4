#pragma once

class TForm1;
class TUserTags;

// The user-tags window of the frame, nullptr when it is not open. At most one exists.
TUserTags *userTagsWindow(TForm1 &window);
// Creates and shows the window when it does not exist, otherwise brings it to the front.
TUserTags *showUserTagsWindow(TForm1 &window);

// Binds F12 "Uživatelské tagy", the insertion of a chosen entry (command 59), the frame's
// hooks for a list item dropped on a document, a ".tag" file opened from the file panel,
// and the question about an unsaved list when the program is left.
void bindUserTags(TForm1 &window);
