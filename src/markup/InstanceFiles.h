#pragma once

#include <QString>

// A file of this running instance in the user's cache folder (the remote listing, the style
// sample). Each instance has a folder of its own there, so two editors running at once never
// write over each other's files; the folder goes when the program ends. Empty when the
// cache folder cannot be made.
QString instanceCacheFile(const QString &name);

// Whether path is a folder (not a link to one) that belongs to this user and that no other
// user may enter or write to.
bool isPrivateFolder(const QString &path);
// A folder only this user can enter, for what other users must neither read nor plant (the
// one-instance socket in the shared temporary folder): made with mode 0700 when missing, and
// one of the user's own that others may enter is closed again. False when path is taken by
// anything else: another user's folder, a link, a file. Nothing of that is touched.
bool makePrivateFolder(const QString &path);
