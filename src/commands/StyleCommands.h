#pragma once

#include <QString>

#include <optional>

class HtmlDocument;
class Workspace;
struct TSettings;

// "Style Builder": the builder's rule goes in front of the document's first "</STYLE>"
// (found without regard to case) in the style colour when its box is ticked, else its
// declarations at the caret in the tag colour. Nothing happens without a document.
void RunStyleBuilder(Workspace &workspace);
// Puts a composed rule or declaration block into the buffer as the builder does.
void insertStyle(HtmlDocument &buffer, const TSettings &settings, const QString &selector,
                 const QString &declarations, bool beforeStyleEnd);
// "Vložit styl..": the builder's declarations alone, or nothing when it was cancelled.
std::optional<QString> composeStyleDeclarations(Workspace &workspace);

// "Přestupná barva textu": the selection becomes its gradient-coloured markup. A result
// that would not fit in the editor is refused and the document stays as it was.
void RunGradient(Workspace &workspace);
