#pragma once

#include "markup/CodePages.h"
#include "markup/TextEncoding.h"

#include <QByteArray>
#include <QString>

// How saved files end their lines; the numbers are the stored setting's values.
enum class LineEnding { CrLf = 0, Lf = 1, Cr = 2 };

struct TextFileResult
{
    bool ok = false;
    QString text;  // CR LF line breaks, whatever the file used
    QString error; // the platform's message when !ok
    FileEncoding encoding; // what the file was read as
    QString encodingNote;  // why it was not read as it asked (status bar), or empty
    bool refused = false;  // turned away for what it is (a pipe, its size): error says why
};

// The message to show when a page could not be read.
QString readFailureMessage(const QString &path, const TextFileResult &result);

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
