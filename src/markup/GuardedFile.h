#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// The editor holds at most this many characters; nothing may make a page longer.
inline constexpr int MaxDocumentLength = 999999;
// No supported encoding needs more bytes than this for MaxDocumentLength characters
// (UTF-8: at most four bytes each, and a three-byte order mark), so a larger file is
// refused from its size alone, before a byte of it is read.
inline constexpr qint64 MaxDocumentBytes = 3999999;

// What reading a file gave: its bytes, or why it was not read.
struct GuardedRead
{
    enum class Status { Ok, CannotOpen, NotRegularFile, TooLarge };
    Status status = Status::CannotOpen;
    QByteArray bytes;
    QString error; // a Czech sentence naming the file, or the platform's message

    bool ok() const { return status == Status::Ok; }
    // True when the file was turned away for what it is (a pipe, a device, its size),
    // so the message stands on its own.
    bool refused() const { return status == Status::NotRegularFile || status == Status::TooLarge; }
};

// Whether a file was opened, or why not (error as in GuardedRead).
struct GuardedOpen
{
    GuardedRead::Status status = GuardedRead::Status::CannotOpen;
    QString error;
    bool ok() const { return status == GuardedRead::Status::Ok; }
};

// Opens a file for reading by the same rules as readGuardedFile, for readers that take only
// a part of it (image headers); maxBytes < 0 means any size.
GuardedOpen openGuardedFile(QFile &file, const QString &path, qint64 maxBytes = -1);

// The one way the program reads a file. Only regular files are read: a named pipe, a
// device or a socket is refused without being opened for reading (a pipe would block
// until someone writes to it), and a file larger than maxBytes is refused from its size.
GuardedRead readGuardedFile(const QString &path, qint64 maxBytes = MaxDocumentBytes);

// Whether a page of this many characters fits in the editor.
constexpr bool fitsInDocument(qint64 length)
{
    return length >= 0 && length <= MaxDocumentLength;
}
// The message for a file that cannot fit in the editor.
QString tooLargeFileMessage(const QString &path);
// The message for text that would make the page longer than the editor holds.
QString doesNotFitMessage();

// The one way the program writes a file: into a temporary file beside it, flushed and
// checked, and only then put in place of the old one, so a full disk or a failed write
// never leaves a cut file. Returns an empty string or the error.
QString commitFile(const QString &path, QByteArrayView bytes);
