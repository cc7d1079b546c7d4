#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// File-name filters of the file panel, matched the way Windows matches them: case is
// ignored, "*.*" takes every file (with or without an extension), and a three-letter
// extension pattern such as "*.htm" also takes longer extensions that start with it
// (".html"), as the short names of long file names do on Windows.

// One entry of a filter list: the caption shown to the user and its patterns.
struct FileFilter
{
    QString caption;
    QStringList patterns;
    bool operator==(const FileFilter &) const = default;
};

// The filters of the file panel, as caption and pattern list pairs separated by "|".
extern const char16_t FilePanelFilterList[];

// "Caption|*.a;*.b|Other|*.c" as its entries; a caption without patterns takes "*.*".
QList<FileFilter> parseFileFilters(QStringView filterList);

// Whether the file name (without its directory) matches one pattern ("*" and "?").
bool matchesWildcard(QStringView fileName, QStringView pattern);
// Whether the file name matches any of the patterns.
bool matchesAnyWildcard(QStringView fileName, const QStringList &patterns);
