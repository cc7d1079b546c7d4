#pragma once

class Workspace;

// F7 and "Editovat tag ..": selects the tag around the caret (or keeps the user's
// selection when the caret is outside any tag), reads its start tag into the element's
// dialog, and on OK replaces that start tag by the one the dialog composes, with the
// attributes the dialog does not know carried over. One undo step; the caret ends after
// the new tag. Cancel leaves the document unchanged and the tag selected.
void EditCurrentTag(Workspace &workspace);
