#pragma once

#include <QString>

// The texts the script builder puts into its script and into the document.

// A reference-tree node inserted by button or Enter: a leading blank, and "=" after a
// property (a leaf whose text does not end in ")").
QString scriptNodeInsertText(const QString &nodeText, bool hasChildren);

// A reference-tree node dropped on the script: an object gets its ".", a property its
// "=", a method stays as it is; no leading blank.
QString scriptNodeDropText(const QString &nodeText, bool hasChildren);

// The script as it goes into the page: inside a SCRIPT element, CR LF after the opening
// tag and before the closing one. The script's own line breaks are CR LF.
QString wrapScript(const QString &script);
