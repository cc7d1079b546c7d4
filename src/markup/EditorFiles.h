#pragma once

#include <QString>

// Files the editor itself leaves beside a site's pages: the backup of a saved page (its
// extension replaced by the one the settings name), the temporary file a save writes
// before it replaces the page ("index.html.Ab3dEf", left by a save that was cut off) and
// a recovery copy. None of them is part of the site.
bool isEditorOwnFile(const QString &fileName, const QString &backupExtension);
