#include "TextFile.h"

#include "markup/GuardedFile.h"

#include <QFile>

#include <algorithm>
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

// What the bytes say of themselves beyond their text: their line breaks, and whether they
// are text at all.
void describeBytes(QByteArrayView bytes, TextFileResult &result)
{
    result.lineEnding = detectLineEnding(bytes);
    result.binary = looksBinary(bytes);
}

} // namespace

LineEnding lineEndingOfSetting(int value)
{
    return value == 1 ? LineEnding::Lf : value == 2 ? LineEnding::Cr : LineEnding::CrLf;
}

qsizetype longestLineLength(QStringView text)
{
    qsizetype longest = 0;
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        const qsizetype length = end - start - (end > start && text[end - 1] == u'\r' ? 1 : 0);
        longest = std::max(longest, length);
        start = end + 1;
    }
    return longest;
}

namespace {

// Whether the text at i starts with the word, in any case.
bool startsWithWord(QStringView text, qsizetype i, QStringView word)
{
    return text.mid(i, word.size()).compare(word, Qt::CaseInsensitive) == 0;
}

} // namespace

QList<int> longLineBreaks(QStringView text, int limit)
{
    QList<int> breaks;
    qsizetype lineStart = 0;
    qsizetype blank = -1; // the last blank between attributes on this line
    bool inTag = false;
    QChar quote;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\n') {
            lineStart = i + 1;
            blank = -1;
            continue;
        }
        if (!inTag) {
            if (c != u'<')
                continue;
            // What a browser reads as text, not as tags, is passed over whole.
            QStringView end;
            if (startsWithWord(text, i, u"<!--"))
                end = u"-->";
            else if (startsWithWord(text, i, u"<script"))
                end = u"</script";
            else if (startsWithWord(text, i, u"<style"))
                end = u"</style";
            if (!end.isEmpty()) {
                const qsizetype found = text.indexOf(end, i + 1, Qt::CaseInsensitive);
                const qsizetype resume = found < 0 ? text.size() : found;
                const qsizetype lastBreak = text.lastIndexOf(u'\n', resume);
                if (lastBreak > i) {
                    lineStart = lastBreak + 1;
                    blank = -1;
                }
                i = resume - 1;
                continue;
            }
            inTag = i + 1 < text.size() && (text[i + 1].isLetter() || text[i + 1] == u'/');
            continue;
        }
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'"' || c == u'\'') {
            quote = c;
        } else if (c == u'>') {
            inTag = false;
        } else if (c == u' ') {
            blank = i;
        }
        if (i - lineStart >= limit && blank > lineStart) {
            breaks << int(blank);
            lineStart = blank + 1;
            blank = -1;
        }
    }
    return breaks;
}

QString lineEndingName(LineEnding ending)
{
    switch (ending) {
    case LineEnding::Lf:
        return u"LF"_s;
    case LineEnding::Cr:
        return u"CR"_s;
    case LineEnding::CrLf:
        break;
    }
    return u"CR LF"_s;
}

std::optional<LineEnding> detectLineEnding(QByteArrayView bytes)
{
    const char *begin = bytes.data();
    const char *end = begin + bytes.size();
    const char *cr = std::find(begin, end, '\r');
    const char *lf = std::find(begin, cr, '\n');
    if (lf != cr)
        return LineEnding::Lf; // a lone LF comes first
    if (cr == end)
        return std::nullopt;
    return cr + 1 != end && cr[1] == '\n' ? LineEnding::CrLf : LineEnding::Cr;
}

bool looksBinary(QByteArrayView bytes)
{
    qsizetype controls = 0;
    for (const char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        if (b >= 0x20 && b != 0x7f)
            continue;
        if (b == 0)
            return true;
        // Tab, the line and page breaks and Escape (ISO 2022 text) belong in text files.
        if (b != '\t' && b != '\n' && b != '\v' && b != '\f' && b != '\r' && b != 0x1b)
            ++controls;
    }
    return controls > 0 && controls * 100 > bytes.size();
}

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
        describeBytes(*bytes, result);
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
    describeBytes(*bytes, result);
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
