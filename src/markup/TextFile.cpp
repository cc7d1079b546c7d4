#include "TextFile.h"

#include "markup/GuardedFile.h"

#include <QFile>

#include <array>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// The whole file, or the reason it cannot be read (the result's error and refusal set).
std::optional<QByteArray> readWholeFile(const QString &path, TextFileResult &result)
{
    GuardedRead read = readGuardedFile(path);
    if (!read.ok()) {
        result.error = read.error;
        result.refused = read.refused();
        return std::nullopt;
    }
    return std::move(read.bytes);
}

// A page longer than the editor holds would be cut short, and a later save would destroy
// its end.
bool refuseWhenTooLong(const QString &path, TextFileResult &result)
{
    if (fitsInDocument(result.text.size()))
        return false;
    result = {};
    result.error = tooLargeFileMessage(path);
    result.refused = true;
    return true;
}

} // namespace

TextFileResult readTextFile(const QString &path)
{
    TextFileResult result;
    if (const std::optional<QByteArray> bytes = readWholeFile(path, result)) {
        result.text = normalizeLineBreaks(Cp1250::decode(*bytes));
        result.ok = true;
    }
    return result;
}

TextFileResult readDocumentFile(const QString &path)
{
    TextFileResult result;
    if (const std::optional<QByteArray> bytes = readWholeFile(path, result)) {
        DecodedDocument document = decodeDocument(*bytes);
        result.text = std::move(document.text);
        result.encoding = document.file;
        result.encodingNote = document.note;
        result.ok = !refuseWhenTooLong(path, result);
    }
    return result;
}

TextFileResult readDocumentFile(const QString &path, TextEncoding encoding)
{
    TextFileResult result;
    const std::optional<QByteArray> bytes = readWholeFile(path, result);
    if (!bytes)
        return result;
    const std::optional<QString> text = decodeText(*bytes, encoding);
    if (!text) {
        result.error = QFile::tr("Soubor není v kódování %1.").arg(encodingName(encoding));
        return result;
    }
    result.text = normalizeLineBreaks(*text);
    result.encoding = {encoding, encoding == TextEncoding::Utf8 && hasByteOrderMark(*bytes)};
    result.ok = !refuseWhenTooLong(path, result);
    return result;
}

QString writeTextFile(const QString &path, QStringView text, LineEnding ending,
                      FileEncoding encoding)
{
    QString converted;
    QStringView toWrite = text;
    if (ending != LineEnding::CrLf) {
        converted = text.toString();
        converted.replace(u"\r\n"_s, ending == LineEnding::Lf ? u"\n"_s : u"\r"_s);
        toWrite = converted;
    }
    return commitFile(path, encodeText(toWrite, encoding));
}

QString readFailureMessage(const QString &path, const TextFileResult &result)
{
    if (result.refused)
        return result.error;
    return u"Soubor %1 nelze otevřít.\r\n%2"_s.arg(path, result.error);
}
