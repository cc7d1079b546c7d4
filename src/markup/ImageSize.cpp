#include "markup/ImageSize.h"

#include "markup/GuardedFile.h"
#include "markup/SysUt.h"

#include <QFile>
#include <QFileInfo>

#include <array>
#include <limits>

using namespace Qt::StringLiterals;

ImageType ImageKind(const QString &fileName)
{
    const QString suffix = AsciiUpperCase(QFileInfo(fileName).suffix());
    auto is = [&](QStringView ext) { return suffix == ext; };
    if (is(u"JPEG") || is(u"JPG"))
        return ImageType::Jpeg;
    if (is(u"GIF"))
        return ImageType::Gif;
    if (is(u"PNG") || is(u"PING"))
        return ImageType::Png;
    return ImageType::None;
}

namespace {

// Reads exactly N bytes or reports failure.
template<std::size_t N>
bool readBytes(QIODevice &device, std::array<quint8, N> &bytes)
{
    return device.read(reinterpret_cast<char *>(bytes.data()), N) == qint64(N);
}

quint32 bigEndian32(const quint8 *b)
{
    return (quint32(b[0]) << 24) | (quint32(b[1]) << 16) | (quint32(b[2]) << 8) | b[3];
}

bool isStartOfFrame(quint8 marker)
{
    // 0xC4 (Huffman tables), 0xC8 (reserved) and 0xCC (arithmetic conditioning) share the
    // range but carry no frame header.
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8
           && marker != 0xCC;
}

bool isStandalone(quint8 marker)
{
    return marker == 0x01 || (marker >= 0xD0 && marker <= 0xD8);
}

// Skips count bytes; seeking where the device allows it, reading otherwise.
bool skipBytes(QIODevice &device, qint64 count)
{
    if (!device.isSequential()) {
        const qint64 target = device.pos() + count;
        return target <= device.size() && device.seek(target);
    }
    return device.skip(count) == count;
}

template<typename Reader>
PixelSize readFile(const QString &fileName, Reader reader)
{
    QFile file;
    if (!openGuardedFile(file, fileName).ok())
        return {};
    return reader(file);
}

} // namespace

PixelSize JpegSize(QIODevice &device)
{
    // Walk the segments from the start-of-image marker: each segment's length lets us
    // step over its data, so bytes inside an EXIF block or its thumbnail that look like a
    // frame header are never taken for the image's own.
    std::array<quint8, 2> soi{};
    if (!readBytes(device, soi) || soi[0] != 0xFF || soi[1] != 0xD8)
        return {};
    for (;;) {
        std::array<quint8, 1> byte{};
        if (!readBytes(device, byte) || byte[0] != 0xFF)
            return {};
        quint8 marker = 0xFF;
        while (marker == 0xFF) { // fill bytes may pad before a marker
            if (!readBytes(device, byte))
                return {};
            marker = byte[0];
        }
        if (isStandalone(marker))
            continue;
        if (marker == 0xD9 || marker == 0xDA) // end of image, or scan data before any frame
            return {};
        std::array<quint8, 2> length{};
        if (!readBytes(device, length))
            return {};
        const int segmentLength = length[0] * 256 + length[1];
        if (isStartOfFrame(marker)) {
            std::array<quint8, 5> frame{}; // precision, height, width
            if (segmentLength < 7 || !readBytes(device, frame))
                return {};
            return {frame[3] * 256 + frame[4], frame[1] * 256 + frame[2]};
        }
        if (segmentLength < 2 || !skipBytes(device, segmentLength - 2))
            return {};
    }
}

PixelSize GifSize(QIODevice &device)
{
    std::array<quint8, 10> header{};
    if (!readBytes(device, header))
        return {};
    return {header[6] + header[7] * 256, header[8] + header[9] * 256};
}

PixelSize PngSize(QIODevice &device)
{
    // Signature, header chunk length and type, then the full 32-bit width and height.
    std::array<quint8, 24> header{};
    if (!readBytes(device, header))
        return {};
    const quint32 width = bigEndian32(&header[16]);
    const quint32 height = bigEndian32(&header[20]);
    constexpr quint32 largest = std::numeric_limits<int>::max(); // the format's own limit
    if (width > largest || height > largest)
        return {};
    return {int(width), int(height)};
}

PixelSize JpegSize(const QString &fileName)
{
    return readFile(fileName, [](QIODevice &d) { return JpegSize(d); });
}

PixelSize GifSize(const QString &fileName)
{
    return readFile(fileName, [](QIODevice &d) { return GifSize(d); });
}

PixelSize PngSize(const QString &fileName)
{
    return readFile(fileName, [](QIODevice &d) { return PngSize(d); });
}

PixelSize ImageSize(const QString &fileName)
{
    switch (ImageKind(fileName)) {
    case ImageType::Jpeg:
        return JpegSize(fileName);
    case ImageType::Gif:
        return GifSize(fileName);
    case ImageType::Png:
        return PngSize(fileName);
    case ImageType::None:
        break;
    }
    return {};
}
