#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The encodings a page can be read and written in. Windows-1250 is the default: new pages,
// templates and every file that says nothing else.
enum class TextEncoding { Windows1250, Iso88592, Utf8 };

// How a document's file is written: its encoding and, for UTF-8, whether it starts with a
// byte-order mark (kept when the file had one).
struct FileEncoding
{
    TextEncoding encoding = TextEncoding::Windows1250;
    bool byteOrderMark = false;
    friend bool operator==(const FileEncoding &, const FileEncoding &) = default;
};

// The three encodings in the order menus offer them.
QList<TextEncoding> knownEncodings();
// "Windows-1250", "ISO-8859-2", "UTF-8".
QString encodingName(TextEncoding encoding);

// The encoding a charset name stands for, compared without regard to case: utf-8,
// iso-8859-2, windows-1250, cp1250, x-cp1250 and the other labels browsers accept for the
// same three encodings; nothing for any other name.
std::optional<TextEncoding> encodingForCharset(QStringView name);

// How far into a file a charset declaration is looked for.
inline constexpr qsizetype CharsetDeclarationWindow = 4096;
// The charset name a META element declares within the first 4 KB, as written
// ('<meta charset="utf-8">' or '<meta http-equiv="Content-Type" content="text/html;
// charset=iso-8859-2">'); empty when there is none.
QString declaredCharset(QByteArrayView bytes);
QString declaredCharset(QStringView text);
// The same declaration with where its name starts (lower-cased; start -1 when there is none).
struct CharsetDeclaration
{
    qsizetype start = -1;
    QString name;
};
CharsetDeclaration findCharsetDeclaration(QByteArrayView bytes);
CharsetDeclaration findCharsetDeclaration(QStringView text);
// The name a META declaration gives the encoding: "windows-1250", "iso-8859-2", "utf-8".
QString charsetLabel(TextEncoding encoding);

// True when the bytes are well-formed UTF-8 (no overlong forms, surrogates or code points
// above U+10FFFF, no sequence cut short). hasMultiByte tells whether any character needed
// more than one byte.
bool isValidUtf8(QByteArrayView bytes, bool *hasMultiByte = nullptr);

struct EncodingGuess
{
    FileEncoding file;
    // Why the file was not read as it asked, for the status bar; empty when all is well.
    QString note;
};

// Decides a file's encoding: a UTF-8 byte-order mark; else a known charset declared in the
// first 4 KB; else UTF-8 when the bytes are valid UTF-8 with multi-byte characters; else
// Windows-1250. UTF-8 is never chosen for bytes that are not valid UTF-8, so whatever is
// chosen reads the file and writes it back unchanged.
EncodingGuess detectEncoding(QByteArrayView bytes);

// True when the bytes start with the UTF-8 byte-order mark.
bool hasByteOrderMark(QByteArrayView bytes);

// The text of the bytes in the encoding (for UTF-8 a leading byte-order mark is skipped);
// nothing when UTF-8 is asked for bytes that are not valid UTF-8.
std::optional<QString> decodeText(QByteArrayView bytes, TextEncoding encoding);
// The bytes of the text in the encoding. The single-byte encodings write characters they
// cannot hold as decimal character references ("&#1046;").
QByteArray encodeText(QStringView text, FileEncoding file);

struct DecodedDocument
{
    QString text; // CR LF line breaks
    FileEncoding file;
    QString note;
};

// Reads the bytes of a page, an inserted file or a user-tag file by the rules of
// detectEncoding; line breaks become CR LF.
DecodedDocument decodeDocument(QByteArrayView bytes);
