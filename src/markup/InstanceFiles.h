#pragma once

#include <QString>

// A file of this running instance in the user's cache folder (the remote listing, the style
// sample). Each instance has a folder of its own there, so two editors running at once never
// write over each other's files; the folder goes when the program ends. Empty when the
// cache folder cannot be made.
QString instanceCacheFile(const QString &name);
