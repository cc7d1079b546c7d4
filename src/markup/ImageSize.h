#pragma once

#include <QString>

class QIODevice;

// Width and height of JPEG, GIF and PNG files, read from their headers without decoding
// the image.

enum class ImageType { None, Jpeg, Gif, Png };

// Width then height in pixels; (0, 0) when no size was found.
struct PixelSize
{
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize &) const = default;
};

// By the extension alone, compared in upper case: ".JPEG", ".JPG", ".GIF", ".PNG", ".PING".
ImageType ImageKind(const QString &fileName);

// Each reader gives (0, 0) for a file that cannot be opened or ends too early, and never
// reads further than the bytes it needs.
PixelSize JpegSize(const QString &fileName);
PixelSize GifSize(const QString &fileName);
PixelSize PngSize(const QString &fileName);
// The reader the extension chooses; (0, 0) for other extensions.
PixelSize ImageSize(const QString &fileName);

// The same readers on an open device, from its current position.
PixelSize JpegSize(QIODevice &device);
PixelSize GifSize(QIODevice &device);
PixelSize PngSize(QIODevice &device);
