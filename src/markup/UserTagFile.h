#pragma once

#include <QString>
#include <QStringList>

// One user tag: a short description and the two parts it puts around the selection.
struct UserTagEntry
{
    QString description;
    QString opening;
    QString closing;
    friend bool operator==(const UserTagEntry &, const UserTagEntry &) = default;
};

// Splits a line of a ".tag" file at its first two commas: description, opening part, and
// the rest as the closing part (which may hold commas). A line without a comma is all
// closing part; a line with one comma has an empty opening part.
UserTagEntry parseUserTagLine(QStringView line);
// description + "," + opening + "," + closing, unchanged.
QString composeUserTagLine(const UserTagEntry &entry);
// What a dropped list item stands for: opening + "," + closing, which the editor's drop
// rule splits at its first comma.
QString userTagDropText(const UserTagEntry &entry);

// The Czech message when the description or the opening part holds a comma (a comma
// there would move the parts on the next reading); empty when the entry can be kept.
QString userTagCommaError(const UserTagEntry &entry);

// The lines of a file's text (CR LF, lone CR or lone LF end a line); a final line break
// does not start another line.
QStringList splitUserTagLines(QStringView text);
// Every line followed by CR LF.
QString joinUserTagLines(const QStringList &lines);

// Sorts in Czech order, ignoring case, as the list keeps them.
void sortUserTagLines(QStringList &lines);
// Where line belongs in the sorted lines.
qsizetype userTagInsertPosition(const QStringList &lines, const QString &line);

struct UserTagFileRead
{
    bool ok = false;
    QStringList lines; // sorted
    QString error;     // the platform's message when !ok
};

// Reads a ".tag" file by the rules pages are read by (Windows-1250 unless the bytes say
// otherwise) and sorts its lines.
UserTagFileRead readUserTagFile(const QString &path);
// Writes the lines, each ended by CR LF, in Windows-1250; the old file is replaced only
// when the new one was written whole. Returns the error text, empty on success.
QString writeUserTagFile(const QString &path, const QStringList &lines);
