#pragma once

#include "publish/RemoteSession.h"

#include <QByteArray>

// Entries of an MLSD listing by name; the directory itself and its parent left out, as
// are names that could reach outside it.
RemoteDirectory parseMlsdListing(const QByteArray &listing);
// The same of a LIST listing in the Unix "ls -l" form or the Windows one; lines of any
// other form are left out, so nothing unread can be deleted.
RemoteDirectory parseListListing(const QByteArray &listing);
