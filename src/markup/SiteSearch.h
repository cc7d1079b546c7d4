#pragma once

#include "markup/TextFile.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// Finding and replacing text in the pages of a whole site: which files, the matches in
// each, and the replacement written back in each file's own encoding and line breaks.
// Widget-free, so the search can run on worker threads beside the editor.

struct SiteSearchOptions
{
    QString text;
    bool caseSensitive = false;  // "Rozlišovat velikost"
    bool wholeWords = false;     // "Celá slova"
    bool regularExpression = false; // "Regulární výraz"
};

// The pattern the options describe; a regular expression that does not compile gives its
// error in Czech and an invalid expression.
struct SearchPattern
{
    QRegularExpression expression;
    bool regularExpression = false;
    QString error;
    bool ok() const { return error.isEmpty() && expression.isValid(); }
};
SearchPattern searchPattern(const SiteSearchOptions &options);

// One match: 1-based line and column as the editor counts them, its offset and length in
// the text (CR LF counting two), and the whole line it lies in.
struct TextMatch
{
    int line = 0;
    int column = 0;
    qsizetype offset = 0;
    qsizetype length = 0;
    QString lineText;
    bool operator==(const TextMatch &) const = default;
};
// Every match in the text (CR LF line breaks); an empty match is never counted.
QList<TextMatch> findMatches(QStringView text, const QRegularExpression &pattern);

// The files under folder whose names fit one of the masks ("*.htm;*.html" or blank
// separated), sub-folders too when asked, sorted by path.
QStringList siteFiles(const QString &folder, const QString &masks, bool subfolders);

// What the search found in one file: its matches, or why it was skipped (binary, too long
// for the editor, unreadable), and a fingerprint of the text searched, so a file changed
// since is not written.
struct FileSearchResult
{
    QString path;
    QList<TextMatch> matches;
    QString skipped;
    QByteArray fingerprint;
    FileEncoding encoding;
    std::optional<LineEnding> lineEnding;
};
FileSearchResult searchFile(const QString &path, const QRegularExpression &pattern);
// The same for a page whose text is at hand (an open document's, as the editor holds it).
FileSearchResult searchText(const QString &path, const QString &text, const QRegularExpression &pattern);
// What tells a text changed since it was searched (FileSearchResult::fingerprint).
QByteArray textFingerprint(QStringView text);

// Searches the files on all cores; stop ends it early (the files not reached are left
// out). progress is called on the calling thread with the number of files done so far,
// now and then while the search runs and once at its end.
QList<FileSearchResult> searchFiles(const QStringList &paths, const QRegularExpression &pattern,
                                    const std::atomic_bool &stop,
                                    const std::function<void(int done)> &progress = {});

// The text with every match replaced. A regular expression's replacement may name its
// groups as \1 .. \99 (and "\\" is one backslash); a plain text replacement is taken as it
// stands. count gets the number of replacements.
QString replaceMatches(QStringView text, const SearchPattern &pattern, const QString &replacement,
                       int *count = nullptr);

// One replacement: the range of a match (CR LF counting two) and the text that takes its
// place, groups put in.
struct MatchReplacement
{
    qsizetype offset = 0;
    qsizetype length = 0;
    QString text;
    bool operator==(const MatchReplacement &) const = default;
};
// Every replacement replaceMatches would make, left to right, for callers that edit a text
// in place (an open page, one range at a time).
QList<MatchReplacement> matchReplacements(QStringView text, const SearchPattern &pattern,
                                          const QString &replacement);

// Replaces in a file found before, through the flush-then-commit writer, in its own encoding
// and line breaks. A file changed since it was searched is not written: error says so.
struct FileReplaceResult
{
    int replaced = 0;
    QString error;
    bool changedSinceSearch = false; // error says so
};
// writer stores the new text and returns an error text or nothing; by default
// writeTextFile, callers pass the program's save (with its backup copy). The text comes with
// the file's own line breaks already in place and LineEnding::CrLf, under which the writers
// leave the breaks as they are.
using SiteTextWriter = std::function<QString(const QString &path, const QString &text,
                                             FileEncoding encoding, LineEnding lineEnding)>;
// Whether the file's mode forbids writing it. The administrator may write any file, yet a
// page the user made read-only is not to be changed by a replace across the whole site.
bool isWriteProtected(const QString &path);
QString writeProtectedMessage(const QString &path);

// The changes (offsets in a text with CR LF breaks, left to right) made to that text.
QString appliedChanges(QStringView text, const QList<MatchReplacement> &changes);
// A file's text after the changes, and the line ending to write it with. The changes are
// made in the file's own text, whose breaks may differ from line to line: the breaks they
// leave alone stay as the file has them, the ones they bring in are written as ending, and
// the text goes out with LineEnding::CrLf, which leaves breaks as they are. When a change
// starts or ends inside a one-character break (a lone LF or CR the editor holds as CR LF),
// they are made in the text with CR LF breaks, written back as ending.
struct RewrittenText
{
    QString text;
    LineEnding lineEnding = LineEnding::CrLf;
};
RewrittenText rewrittenKeepingLineBreaks(QStringView ownText, const QList<MatchReplacement> &changes,
                                         LineEnding ending);
FileReplaceResult replaceInFile(const FileSearchResult &searched, const SearchPattern &pattern,
                                const QString &replacement, const SiteTextWriter &writer = {});
