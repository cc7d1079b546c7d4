#pragma once

#include <QString>
#include <QStringView>

class HtmlDocument;

// Deletes the tag at the caret (or the tag selected by hand) and its end tag when that is
// written in upper case, as one undo step; the caret stays where the tag was.
void DeleteCurrentTag(HtmlDocument &buffer);

// Moves the caret into the other tag of the pair the caret stands in (after its "<");
// nothing happens where there is no pair.
void GoToPairTag(HtmlDocument &buffer);

// Applies the transformation to the selection, or to the whole text when nothing is
// selected; either way one undo step.
using TextTransform = QString (*)(QStringView);
void ApplyToSelectionOrWhole(HtmlDocument &buffer, TextTransform transform);
