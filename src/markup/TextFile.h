#pragma once

#include <QByteArray>
#include <QString>

// Windows-1250 on disk, QString in memory. Every byte decodes to exactly one character
// and encodes back to the same byte, so any file survives a load and a save unchanged.
namespace Cp1250 {

QString decode(QByteArrayView bytes);
// Characters the code page cannot hold become decimal character references ("&#1046;"),
// so typed or pasted text is never lost.
QByteArray encode(QStringView text);
bool canEncode(char32_t codePoint);

} // namespace Cp1250

// How saved files end their lines; the numbers are the stored setting's values.
enum class LineEnding { CrLf = 0, Lf = 1, Cr = 2 };

struct TextFileResult
{
    bool ok = false;
    QString text;  // CR LF line breaks, whatever the file used
    QString error; // the platform's message when !ok
};

// Reads a whole Windows-1250 file; CR LF, lone LF and lone CR all become CR LF.
TextFileResult readTextFile(const QString &path);

// Turns CR LF, lone LF and lone CR into CR LF.
QString normalizeLineBreaks(QStringView text);

// Writes text (CR LF line breaks) with the given line ends. The old file is replaced only
// when the whole new file has been written. Returns an empty string or the error text.
QString writeTextFile(const QString &path, QStringView text, LineEnding ending = LineEnding::CrLf);
