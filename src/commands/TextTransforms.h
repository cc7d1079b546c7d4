#pragma once

#include <QString>
#include <QStringView>

class HtmlDocument;

// Deletes the tag at the caret (or the tag selected by hand) and the first upper-case
// closing tag of the same name after it, as one undo step.
void DeleteCurrentTag(HtmlDocument &buffer);

// Applies the transformation to the selection, or to the whole text when nothing is
// selected; either way one undo step.
using TextTransform = QString (*)(QStringView);
void ApplyToSelectionOrWhole(HtmlDocument &buffer, TextTransform transform);
