#pragma once

#include "markup/CodePages.h"
#include "markup/TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// How saved files end their lines; the numbers are the stored setting's values.
enum class LineEnding { CrLf = 0, Lf = 1, Cr = 2 };

// The form a stored setting value names (anything unknown is CR LF).
LineEnding lineEndingOfSetting(int value);
// "CR LF", "LF", "CR".
QString lineEndingName(LineEnding ending);
// The form of the first line break in the bytes (every encoding a page can be in writes
// CR and LF as those single bytes); nothing when there is no line break.
std::optional<LineEnding> detectLineEnding(QByteArrayView bytes);
// True for bytes that are no text in any of the encodings: a NUL byte, or control
// characters that no page holds (more than one in a hundred bytes).
bool looksBinary(QByteArrayView bytes);

struct TextFileResult
{
    bool ok = false;
    QString text;  // CR LF line breaks, whatever the file used
    QString error; // the platform's message when !ok
    FileEncoding encoding; // what the file was read as
    QString encodingNote;  // why it was not read as it asked (status bar), or empty
    bool refused = false;  // turned away for what it is (a pipe, its size): error says why
    std::optional<LineEnding> lineEnding; // the file's line breaks; nothing when it has none
    bool binary = false;   // the bytes are no text (looksBinary)
};

// The message to show when a page could not be read.
QString readFailureMessage(const QString &path, const TextFileResult &result);

// The length of the longest line of a text with CR LF (or LF) breaks.
qsizetype longestLineLength(QStringView text);
// Where a text's lines longer than limit can be broken without changing what a browser
// shows: blanks between the attributes of a tag (outside quoted values, comments, scripts
// and styles), at most one each limit characters. Offsets of those blanks, ascending.
QList<int> longLineBreaks(QStringView text, int limit);

// Reads a whole Windows-1250 file; CR LF, lone LF and lone CR all become CR LF.
TextFileResult readTextFile(const QString &path);

// Reads a page (or an inserted or user-tag file) in the encoding it is found to be in:
// byte-order mark, declared charset, valid UTF-8, else Windows-1250 (detectEncoding).
TextFileResult readDocumentFile(const QString &path);
// Pages longer than the editor holds are refused.
// Reads a page in the given encoding; fails with a message when UTF-8 is asked for a file
// that is not valid UTF-8, rather than reading it wrongly.
TextFileResult readDocumentFile(const QString &path, TextEncoding encoding);

// Writes text (CR LF line breaks) with the given line ends in the given encoding. The old
// file is replaced only when the whole new file has been written. Returns an empty string
// or the error text.
QString writeTextFile(const QString &path, QStringView text, LineEnding ending = LineEnding::CrLf,
                      FileEncoding encoding = {});
