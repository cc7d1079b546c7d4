#pragma once

#include "markup/TextEncoding.h"

#include <QList>
#include <QString>

class DocumentManager;
class RecoveryBinding;

// One page open at the end of a run, as the next start opens it again.
struct SessionPage
{
    QString path;
    int caret = 0;     // offset of the caret
    int firstLine = 0; // the first line the view showed
    TextEncoding encoding = TextEncoding::Windows1250;
    bool active = false;

    bool operator==(const SessionPage &) const = default;
};

// The pages of the documents in their order, with their carets, views and encodings; pages
// never saved have no file to open again and are left out.
QList<SessionPage> sessionPages(const DocumentManager &documents);

// The pages kept in the settings file (the user's own store when settingsFile is empty),
// in the group "Session", apart from the settings.
void storeSession(const QString &settingsFile, const QList<SessionPage> &pages);
QList<SessionPage> storedSession(const QString &settingsFile);

// Opens the pages again in new windows in their order; the one active at the end comes to
// the front. A page that cannot be read is left out and named in one status-bar line,
// without a message box; a page whose file is open already is not opened again. Returns
// how many pages opened.
int reopenSession(DocumentManager &documents, const QList<SessionPage> &pages);

// The start without files to open: crash recovery first; when it offered nothing, the pages
// of the last session when the setting asks for them.
void startWithoutFiles(DocumentManager &documents, RecoveryBinding &recovery,
                       const QString &settingsFile);
