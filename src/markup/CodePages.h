#pragma once

#include <QByteArray>
#include <QString>

// Windows-1250 on disk, QString in memory. Every byte decodes to exactly one character
// and encodes back to the same byte, so any file survives a load and a save unchanged.
namespace Cp1250 {

QString decode(QByteArrayView bytes);
// Characters the code page cannot hold become decimal character references ("&#1046;"),
// so typed or pasted text is never lost; inside a SCRIPT or STYLE element, where a browser
// takes a reference for text, the language's own escape ("\u0416" in JavaScript, "\416 "
// in CSS).
QByteArray encode(QStringView text);
bool canEncode(char32_t codePoint);

} // namespace Cp1250

// ISO-8859-2 (Latin-2), with the same promise: every byte decodes to one character and
// encodes back to the same byte; other characters are written as in Windows-1250.
namespace Iso88592 {

QString decode(QByteArrayView bytes);
QByteArray encode(QStringView text);
bool canEncode(char32_t codePoint);

} // namespace Iso88592

// Turns CR LF, lone LF and lone CR into CR LF. A text that has only CR LF comes back shared,
// not copied.
QString normalizeLineBreaks(QStringView text);
QString normalizeLineBreaks(const QString &text);

// The first byte at or after from that is not ASCII; the size when there is none.
qsizetype nextNonAscii(QByteArrayView bytes, qsizetype from);

// True when every line break is CR LF: no lone CR or LF, no Unicode line or paragraph
// separator. Most pages are so, and the work of loading one can then skip a copy or two.
bool onlyCrLfBreaks(QStringView text);
