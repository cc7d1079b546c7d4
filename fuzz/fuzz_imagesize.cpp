// Feeds arbitrary bytes to the three image size readers.
#include "markup/ImageSize.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (auto reader : {static_cast<PixelSize (*)(QIODevice &)>(JpegSize),
                        static_cast<PixelSize (*)(QIODevice &)>(GifSize),
                        static_cast<PixelSize (*)(QIODevice &)>(PngSize)}) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        const PixelSize found = reader(buffer);
        if (found.width < 0 || found.height < 0 || buffer.pos() > bytes.size())
            std::abort();
    }
    return 0;
}
