#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Writes a file of the local tree an upload test publishes, making its folders first.
void writeFile(const QString &path, const QByteArray &content);

// The tree below root as relative path → content; folders end in "/" and have no content;
// hidden files only when asked (the upload leaves them out, a server keeps its temporaries).
QMap<QString, QByteArray> snapshot(const QString &root, bool hidden = false);
