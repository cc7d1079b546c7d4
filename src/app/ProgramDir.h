#pragma once

#include <QString>

// The folder that holds the program's data folders (data/, help/, SABLONY/), with a
// trailing separator: the executable's own folder when they stand beside it, else the
// installed <prefix>/share/brisko-editor, unless a test chose another.
QString programDir();
void setProgramDir(const QString &directory);
// The same rule for an executable in this folder.
QString programDirFor(const QString &executableDir);
