// Decides the encoding of arbitrary bytes and checks the promise that makes opening safe:
// whatever encoding is chosen, the text it gives writes back the very same bytes. Also
// checks the UTF-8 check against Qt's own decoder.
#include "markup/TextEncoding.h"

#include <QStringDecoder>

#include <cstdint>
#include <cstdlib>

static void check(bool ok)
{
    if (!ok)
        std::abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const EncodingGuess guess = detectEncoding(bytes);
    const std::optional<QString> text = decodeText(bytes, guess.file.encoding);
    check(text.has_value());
    check(encodeText(*text, guess.file) == bytes);

    // Valid UTF-8 decodes without error in Qt too, and the other way round.
    QStringDecoder qt(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless
                                                | QStringDecoder::Flag::ConvertInitialBom);
    const QString viaQt = qt.decode(bytes);
    check(isValidUtf8(bytes) == !qt.hasError());

    // Every encoding reads any bytes it accepts back to the same bytes.
    for (TextEncoding e : knownEncodings()) {
        if (const std::optional<QString> t = decodeText(bytes, e)) {
            const bool bom = e == TextEncoding::Utf8 && hasByteOrderMark(bytes);
            check(encodeText(*t, {e, bom}) == bytes);
        }
    }
    (void)viaQt;
    return 0;
}
