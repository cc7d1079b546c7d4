#include "markup/ImageSize.h"

#include "markup/GuardedFile.h"
#include "markup/SysUt.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

#include <array>
#include <cstring>
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
    if (is(u"WEBP"))
        return ImageType::Webp;
    if (is(u"SVG"))
        return ImageType::Svg;
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

PixelSize WebpSize(QIODevice &device)
{
    // "RIFF", the size, "WEBP", then the first chunk: a lossy frame ("VP8 "), a lossless one
    // ("VP8L") or the extended header with the canvas ("VP8X").
    std::array<quint8, 30> h{};
    if (!readBytes(device, h) || std::memcmp(h.data(), "RIFF", 4) != 0 || std::memcmp(&h[8], "WEBP", 4) != 0)
        return {};
    const auto chunk = QByteArrayView(reinterpret_cast<const char *>(&h[12]), 4);
    if (chunk == "VP8 ") {
        if (h[23] != 0x9D || h[24] != 0x01 || h[25] != 0x2A) // the key frame's start code
            return {};
        return {(h[26] | h[27] << 8) & 0x3FFF, (h[28] | h[29] << 8) & 0x3FFF};
    }
    if (chunk == "VP8L") {
        if (h[20] != 0x2F)
            return {};
        // Fourteen bits each, less one: the width from bit 0, the height from bit 14.
        const quint32 bits = h[21] | quint32(h[22]) << 8 | quint32(h[23]) << 16 | quint32(h[24]) << 24;
        return {int(bits & 0x3FFF) + 1, int(bits >> 14 & 0x3FFF) + 1};
    }
    if (chunk == "VP8X") // 24 bits each, less one
        return {int(h[24] | h[25] << 8 | h[26] << 16) + 1, int(h[27] | h[28] << 8 | h[29] << 16) + 1};
    return {};
}

namespace {

// A length of the root element in pixels: a number alone or with "px"; -1 otherwise.
int svgPixels(const QString &value)
{
    QString v = value.trimmed();
    if (v.endsWith(u"px"_s))
        v.chop(2);
    bool ok = false;
    const double number = v.toDouble(&ok);
    return ok && number > 0 && number < std::numeric_limits<int>::max() ? int(number + 0.5) : -1;
}

QString svgAttribute(const QString &tag, QStringView name)
{
    const QRegularExpression attribute(u"(?:^|\\s)"_s + name.toString()
                                       + u"\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)')"_s);
    const QRegularExpressionMatch m = attribute.match(tag);
    return m.hasMatch() ? m.captured(1) + m.captured(2) : QString();
}

} // namespace

PixelSize SvgSize(QIODevice &device)
{
    // The root element's start tag lies near the top, after the XML declaration, comments
    // and perhaps a doctype; a drawing is text, its size the root's attributes.
    const QString head = QString::fromUtf8(device.read(64 * 1024));
    const QRegularExpression root(u"<svg(?=[\\s/>])[^>]*"_s);
    const QRegularExpressionMatch tag = root.match(head);
    if (!tag.hasMatch())
        return {};
    const QString start = tag.captured(0).mid(4);
    const int width = svgPixels(svgAttribute(start, u"width"));
    const int height = svgPixels(svgAttribute(start, u"height"));
    if (width > 0 && height > 0)
        return {width, height};
    // Without both lengths in pixels the drawing's own coordinates give its size.
    const QString box = svgAttribute(start, u"viewBox").simplified().replace(u',', u' ');
    const QStringList numbers = box.split(u' ', Qt::SkipEmptyParts);
    if (numbers.size() != 4 || !svgAttribute(start, u"width").isEmpty() || !svgAttribute(start, u"height").isEmpty())
        return {};
    const int w = svgPixels(numbers[2]);
    const int h = svgPixels(numbers[3]);
    return w > 0 && h > 0 ? PixelSize{w, h} : PixelSize{};
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

PixelSize WebpSize(const QString &fileName)
{
    return readFile(fileName, [](QIODevice &d) { return WebpSize(d); });
}

PixelSize SvgSize(const QString &fileName)
{
    return readFile(fileName, [](QIODevice &d) { return SvgSize(d); });
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
    case ImageType::Webp:
        return WebpSize(fileName);
    case ImageType::Svg:
        return SvgSize(fileName);
    case ImageType::None:
        break;
    }
    return {};
}
