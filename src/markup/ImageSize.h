#pragma once

#include <QString>

class QIODevice;

// Width and height of JPEG, GIF, PNG and WebP files, read from their headers without
// decoding the image, and of SVG drawings from their root element.

enum class ImageType { None, Jpeg, Gif, Png, Webp, Svg };

// Width then height in pixels; (0, 0) when no size was found.
struct PixelSize
{
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize &) const = default;
};

// By the extension alone, compared in upper case: ".JPEG", ".JPG", ".GIF", ".PNG", ".PING",
// ".WEBP", ".SVG".
ImageType ImageKind(const QString &fileName);

// Each reader gives (0, 0) for a file that cannot be opened or ends too early, and never
// reads further than the bytes it needs.
PixelSize JpegSize(const QString &fileName);
PixelSize GifSize(const QString &fileName);
PixelSize PngSize(const QString &fileName);
PixelSize WebpSize(const QString &fileName);
// An SVG's width and height in pixels (unitless or "px"), else its viewBox's; (0, 0) for
// sizes in other units or none.
PixelSize SvgSize(const QString &fileName);
// The reader the extension chooses; (0, 0) for other extensions.
PixelSize ImageSize(const QString &fileName);

// The same readers on an open device, from its current position.
PixelSize JpegSize(QIODevice &device);
PixelSize GifSize(QIODevice &device);
PixelSize PngSize(QIODevice &device);
PixelSize WebpSize(QIODevice &device);
PixelSize SvgSize(QIODevice &device);
