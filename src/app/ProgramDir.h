#pragma once

#include <QString>

// The folder that holds the program's data folders (data/, help/, SABLONY/), with a
// trailing separator: the executable's own folder unless a test chose another.
QString programDir();
void setProgramDir(const QString &directory);
