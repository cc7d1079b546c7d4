#include "TextEncoding.h"

#include "CodePages.h"

#include <QStringDecoder>

using namespace Qt::StringLiterals;

namespace {

constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");

bool isContinuation(unsigned char b)
{
    return (b & 0xC0) == 0x80;
}

// Length of the well-formed sequence that starts at bytes[i] (whose lead byte is above
// 0x7F), or 0 when it is not well-formed. The ranges of the second byte keep out overlong
// forms, surrogates and code points above U+10FFFF.
qsizetype multiByteSequenceLength(const unsigned char *p, qsizetype left)
{
    const unsigned char lead = p[0];
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    qsizetype length = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0)
            low = 0xA0;
        else if (lead == 0xED)
            high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0)
            low = 0x90;
        else if (lead == 0xF4)
            high = 0x8F;
    } else {
        return 0;
    }
    if (left < length || p[1] < low || p[1] > high)
        return 0;
    for (qsizetype k = 2; k < length; ++k) {
        if (!isContinuation(p[k]))
            return 0;
    }
    return length;
}

// The name that follows "charset" (spaces, "=", spaces, an optional quote), or nothing.
QByteArrayView charsetNameAt(QByteArrayView tag, qsizetype at)
{
    auto skipSpaces = [&tag](qsizetype i) {
        while (i < tag.size() && (tag[i] == ' ' || tag[i] == '\t' || tag[i] == '\r'
                                  || tag[i] == '\n'))
            ++i;
        return i;
    };
    qsizetype i = skipSpaces(at);
    if (i >= tag.size() || tag[i] != '=')
        return {};
    i = skipSpaces(i + 1);
    if (i < tag.size() && (tag[i] == '"' || tag[i] == '\''))
        ++i;
    const qsizetype start = i;
    while (i < tag.size()) {
        const char c = tag[i];
        const bool nameChar = (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-'
                              || c == '_' || c == '.' || c == ':';
        if (!nameChar)
            break;
        ++i;
    }
    return tag.sliced(start, i - start);
}

} // namespace

bool hasByteOrderMark(QByteArrayView bytes)
{
    return bytes.startsWith(kByteOrderMark);
}

QList<TextEncoding> knownEncodings()
{
    return {TextEncoding::Windows1250, TextEncoding::Iso88592, TextEncoding::Utf8};
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1250:
        return u"Windows-1250"_s;
    case TextEncoding::Iso88592:
        return u"ISO-8859-2"_s;
    case TextEncoding::Utf8:
        return u"UTF-8"_s;
    }
    return {};
}

std::optional<TextEncoding> encodingForCharset(QStringView name)
{
    struct Label
    {
        QLatin1StringView name;
        TextEncoding encoding;
    };
    // The names users write, and the other labels browsers accept for the same encodings.
    static const Label labels[] = {
        {"utf-8"_L1, TextEncoding::Utf8},
        {"utf8"_L1, TextEncoding::Utf8},
        {"unicode-1-1-utf-8"_L1, TextEncoding::Utf8},
        {"iso-8859-2"_L1, TextEncoding::Iso88592},
        {"iso8859-2"_L1, TextEncoding::Iso88592},
        {"iso88592"_L1, TextEncoding::Iso88592},
        {"iso_8859-2"_L1, TextEncoding::Iso88592},
        {"iso_8859-2:1987"_L1, TextEncoding::Iso88592},
        {"latin2"_L1, TextEncoding::Iso88592},
        {"l2"_L1, TextEncoding::Iso88592},
        {"csisolatin2"_L1, TextEncoding::Iso88592},
        {"iso-ir-101"_L1, TextEncoding::Iso88592},
        {"windows-1250"_L1, TextEncoding::Windows1250},
        {"cp1250"_L1, TextEncoding::Windows1250},
        {"x-cp1250"_L1, TextEncoding::Windows1250},
    };
    const QStringView trimmed = name.trimmed();
    for (const Label &label : labels) {
        if (trimmed.compare(label.name, Qt::CaseInsensitive) == 0)
            return label.encoding;
    }
    return std::nullopt;
}

CharsetDeclaration findCharsetDeclaration(QByteArrayView bytes)
{
    const QByteArray head = bytes.first(qMin(bytes.size(), CharsetDeclarationWindow))
                                .toByteArray()
                                .toLower();
    qsizetype from = 0;
    while ((from = head.indexOf("<meta", from)) >= 0) {
        qsizetype end = head.indexOf('>', from);
        if (end < 0)
            end = head.size();
        const QByteArrayView tag = QByteArrayView(head).sliced(from, end - from);
        // "<metadata>" and the like are other elements.
        const char after = tag.size() > 5 ? tag[5] : '>';
        if (after == ' ' || after == '\t' || after == '\r' || after == '\n' || after == '/') {
            for (qsizetype at = tag.indexOf("charset"); at >= 0;
                 at = tag.indexOf("charset", at + 7)) {
                const QByteArrayView name = charsetNameAt(tag, at + 7);
                if (!name.isEmpty())
                    return {from + (name.data() - tag.data()), QString::fromLatin1(name)};
            }
        }
        from = end;
    }
    return {};
}

CharsetDeclaration findCharsetDeclaration(QStringView text)
{
    // Charset names are ASCII; anything else only has to stay out of the way, one byte for
    // one character, so the places found are places in the text.
    return findCharsetDeclaration(text.first(qMin(text.size(), CharsetDeclarationWindow)).toLatin1());
}

QString declaredCharset(QByteArrayView bytes)
{
    return findCharsetDeclaration(bytes).name;
}

QString declaredCharset(QStringView text)
{
    return findCharsetDeclaration(text).name;
}

QString charsetLabel(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1250:
        return u"windows-1250"_s;
    case TextEncoding::Iso88592:
        return u"iso-8859-2"_s;
    case TextEncoding::Utf8:
        return u"utf-8"_s;
    }
    return {};
}

bool isValidUtf8(QByteArrayView bytes, bool *hasMultiByte)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    bool multiByte = false;
    for (qsizetype i = nextNonAscii(bytes, 0); i < size; i = nextNonAscii(bytes, i)) {
        const qsizetype length = multiByteSequenceLength(p + i, size - i);
        if (length == 0)
            return false;
        multiByte = true;
        i += length;
    }
    if (hasMultiByte)
        *hasMultiByte = multiByte;
    return true;
}

EncodingGuess detectEncoding(QByteArrayView bytes)
{
    EncodingGuess guess;
    if (hasByteOrderMark(bytes)) {
        if (isValidUtf8(bytes.sliced(kByteOrderMark.size())))
            return {{TextEncoding::Utf8, true}, {}};
        guess.note = u"soubor začíná značkou UTF-8, ale není v UTF-8"_s;
    }
    const QString declared = declaredCharset(bytes);
    if (!declared.isEmpty()) {
        const std::optional<TextEncoding> encoding = encodingForCharset(declared);
        if (!encoding) {
            guess.note = u"neznámé kódování %1 v META"_s.arg(declared);
        } else if (*encoding != TextEncoding::Utf8) {
            guess.file.encoding = *encoding;
            // Read as declared (that keeps every byte), but a page saved as UTF-8 under an
            // old META would only look garbled; the note tells why and the encoding panel
            // reads it again as UTF-8.
            bool multiByte = false;
            if (isValidUtf8(bytes, &multiByte) && multiByte)
                guess.note = u"META uvádí %1, ale soubor je platné UTF-8"_s.arg(declared);
        } else if (isValidUtf8(bytes)) {
            guess.file.encoding = TextEncoding::Utf8;
        } else {
            // Reading these bytes as UTF-8 would lose them; Windows-1250 keeps every byte.
            guess.note = u"META uvádí UTF-8, ale soubor není v UTF-8"_s;
        }
        return guess;
    }
    bool multiByte = false;
    if (isValidUtf8(bytes, &multiByte) && multiByte)
        guess.file.encoding = TextEncoding::Utf8;
    return guess;
}

std::optional<QString> decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Windows1250:
        return Cp1250::decode(bytes);
    case TextEncoding::Iso88592:
        return Iso88592::decode(bytes);
    case TextEncoding::Utf8:
        break;
    }
    if (hasByteOrderMark(bytes))
        bytes = bytes.sliced(kByteOrderMark.size());
    if (!isValidUtf8(bytes))
        return std::nullopt;
    // A second mark is a character of the text (QString::fromUtf8 would drop it).
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                     | QStringDecoder::Flag::ConvertInitialBom);
    return QString(decoder.decode(bytes));
}

QByteArray encodeText(QStringView text, FileEncoding file)
{
    switch (file.encoding) {
    case TextEncoding::Windows1250:
        return Cp1250::encode(text);
    case TextEncoding::Iso88592:
        return Iso88592::encode(text);
    case TextEncoding::Utf8:
        break;
    }
    const QByteArray utf8 = text.toUtf8();
    return file.byteOrderMark ? kByteOrderMark.toByteArray() + utf8 : utf8;
}

DecodedDocument decodeDocument(QByteArrayView bytes)
{
    const EncodingGuess guess = detectEncoding(bytes);
    // detectEncoding picks UTF-8 only for valid UTF-8, so the text is always there.
    const std::optional<QString> text = decodeText(bytes, guess.file.encoding);
    return {normalizeLineBreaks(text ? *text : Cp1250::decode(bytes)), guess.file, guess.note};
}
