#include "markup/ImageSize.h"
#include "support/TestMain.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(PixelSize)

namespace {

QByteArray bigEndian32(quint32 v)
{
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = char((v >> (24 - 8 * i)) & 0xFF);
    return b;
}

// The signature and a header chunk: all a size reader looks at.
QByteArray pngHeader(quint32 width, quint32 height)
{
    return QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16) + bigEndian32(width)
           + bigEndian32(height) + QByteArray("\x08\x02\0\0\0", 5) + QByteArray(4, '\0');
}

QByteArray gifHeader(int width, int height)
{
    QByteArray b("GIF89a");
    b += char(width & 0xFF);
    b += char(width >> 8);
    b += char(height & 0xFF);
    b += char(height >> 8);
    b += QByteArray("\0\0\0\x3b", 4);
    return b;
}

// A frame header segment with the given marker.
QByteArray frameSegment(quint8 marker, int width, int height)
{
    QByteArray b("\xFF");
    b += char(marker);
    b += QByteArray("\x00\x0b\x08", 3);
    b += char(height >> 8);
    b += char(height & 0xFF);
    b += char(width >> 8);
    b += char(width & 0xFF);
    b += QByteArray("\x01\x01\x11\x00", 4);
    return b;
}

QByteArray segment(quint8 marker, const QByteArray &data)
{
    QByteArray b("\xFF");
    b += char(marker);
    const int length = int(data.size()) + 2;
    b += char(length >> 8);
    b += char(length & 0xFF);
    return b + data;
}

QByteArray littleEndian(quint32 v, int bytes)
{
    QByteArray b;
    for (int i = 0; i < bytes; ++i)
        b += char((v >> (8 * i)) & 0xFF);
    return b;
}

// "RIFF", a size, "WEBP" and a first chunk with its payload.
QByteArray webpFile(const char *chunk, const QByteArray &payload)
{
    return "RIFF" + littleEndian(quint32(payload.size()) + 12, 4) + "WEBP" + chunk
           + littleEndian(quint32(payload.size()), 4) + payload;
}

QByteArray webpLossy(int width, int height)
{
    // The key frame's tag, its start code, then 14 bits of width and height (two bits of
    // scaling above each, which the size does not include).
    return webpFile("VP8 ", QByteArray("\x30\x01\x00\x9d\x01\x2a", 6) + littleEndian(quint32(width) | 0x4000, 2)
                                + littleEndian(quint32(height) | 0x8000, 2) + QByteArray(10, '\0'));
}

const QByteArray soi("\xFF\xD8", 2);
const QByteArray eoi("\xFF\xD9", 2);

} // namespace

class tst_ImageSize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void kindByExtension_data();
    void kindByExtension();
    void realFilesWrittenByQt_data();
    void realFilesWrittenByQt();
    void handCraftedBytes_data();
    void handCraftedBytes();
    void exifThumbnailIsNotTheImage();
    void readersStopRightAfterTheSize();
    void missingFileGivesZero();

private:
    QString writeFile(const QString &name, const QByteArray &bytes);
    QTemporaryDir m_dir;
};

QString tst_ImageSize::writeFile(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void tst_ImageSize::kindByExtension_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("kind");
    QTest::newRow("jpegUpper") << u"photo.JPEG"_s << int(ImageType::Jpeg);
    QTest::newRow("jpgLower") << u"photo.jpg"_s << int(ImageType::Jpeg);
    QTest::newRow("jpgMixed") << u"photo.Jpg"_s << int(ImageType::Jpeg);
    QTest::newRow("jpe") << u"photo.jpe"_s << int(ImageType::None);
    QTest::newRow("gif") << u"/a.b/anim.gif"_s << int(ImageType::Gif);
    QTest::newRow("png") << u"x.png"_s << int(ImageType::Png);
    QTest::newRow("ping") << u"x.PING"_s << int(ImageType::Png);
    QTest::newRow("webp") << u"photo.WebP"_s << int(ImageType::Webp);
    QTest::newRow("svg") << u"logo.svg"_s << int(ImageType::Svg);
    QTest::newRow("noExtension") << u"/img.png/readme"_s << int(ImageType::None);
    QTest::newRow("extensionInMiddle") << u"x.png.bak"_s << int(ImageType::None);
}

void tst_ImageSize::kindByExtension()
{
    QFETCH(QString, name);
    QFETCH(int, kind);
    QCOMPARE(int(ImageKind(name)), kind);
}

void tst_ImageSize::realFilesWrittenByQt_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<bool>("progressive");
    QTest::addColumn<QString>("name");
    QTest::newRow("baselineJpeg") << u"jpeg"_s << false << u"base.jpg"_s;
    QTest::newRow("progressiveJpeg") << u"jpeg"_s << true << u"progressive.JPEG"_s;
    QTest::newRow("png") << u"png"_s << false << u"picture.png"_s;
    QTest::newRow("pngNamedPing") << u"png"_s << false << u"picture.PING"_s;
}

void tst_ImageSize::realFilesWrittenByQt()
{
    QFETCH(QString, format);
    QFETCH(bool, progressive);
    QFETCH(QString, name);
    QImage image(317, 211, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const QString path = m_dir.filePath(name);
    QImageWriter writer(path, format.toLatin1());
    writer.setProgressiveScanWrite(progressive);
    QVERIFY2(writer.write(image), qPrintable(writer.errorString()));
    if (progressive) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY2(file.readAll().contains("\xFF\xC2"), "the writer made no progressive frame");
    }
    QCOMPARE(ImageSize(path), (PixelSize{317, 211}));
}

void tst_ImageSize::handCraftedBytes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<PixelSize>("size");

    QTest::newRow("gif640x480") << u"a.gif"_s << gifHeader(640, 480) << PixelSize{640, 480};
    QTest::newRow("gifTruncated") << u"a.gif"_s << gifHeader(640, 480).left(9) << PixelSize{};
    // Full 32-bit sizes: 70000 does not wrap to 4464.
    QTest::newRow("pngWide") << u"wide.png"_s << pngHeader(70000, 10) << PixelSize{70000, 10};
    QTest::newRow("pngTall") << u"tall.png"_s << pngHeader(3, 0x12345) << PixelSize{3, 0x12345};
    QTest::newRow("pngBeyondFormatLimit") << u"bad.png"_s << pngHeader(0x80000000u, 1) << PixelSize{};
    QTest::newRow("pngTruncated") << u"short.png"_s << pngHeader(5, 5).left(23) << PixelSize{};
    QTest::newRow("emptyPng") << u"empty.png"_s << QByteArray() << PixelSize{};
    QTest::newRow("pngBytesNamedJpe") << u"x.jpe"_s << pngHeader(5, 5) << PixelSize{};

    const QByteArray app0 = segment(0xE0, QByteArray("JFIF\0\x01\x01\0\0\x01\0\x01\0\0", 14));
    QTest::newRow("jpegSof0") << u"a.jpg"_s << soi + app0 + frameSegment(0xC0, 800, 600) + eoi
                              << PixelSize{800, 600};
    QTest::newRow("jpegSof2") << u"a.jpg"_s << soi + app0 + frameSegment(0xC2, 1024, 768) + eoi
                              << PixelSize{1024, 768};
    QTest::newRow("jpegSof15") << u"a.jpg"_s << soi + frameSegment(0xCF, 9, 7) << PixelSize{9, 7};
    // Huffman tables share the marker range but are no frame header.
    QTest::newRow("jpegDhtSkipped") << u"a.jpg"_s
                                    << soi + segment(0xC4, QByteArray(20, '\x01'))
                                           + frameSegment(0xC1, 65535, 1)
                                    << PixelSize{65535, 1};
    QTest::newRow("jpegFillBytesAndRestart") << u"a.jpg"_s
                                             << soi + QByteArray("\xFF\xFF\xFF\xD0", 4)
                                                    + frameSegment(0xC0, 12, 34)
                                             << PixelSize{12, 34};
    QTest::newRow("jpegScanBeforeFrame") << u"a.jpg"_s << soi + segment(0xDA, "xx") + frameSegment(0xC0, 1, 1)
                                         << PixelSize{};
    QTest::newRow("jpegNoSoi") << u"a.jpg"_s << frameSegment(0xC0, 5, 5) << PixelSize{};
    QTest::newRow("jpegCutInFrame") << u"a.jpg"_s << (soi + frameSegment(0xC0, 5, 5)).left(9)
                                    << PixelSize{};
    QTest::newRow("jpegSegmentLongerThanFile") << u"a.jpg"_s << soi + QByteArray("\xFF\xE1\x40\x00xx", 6)
                                               << PixelSize{};
    // WebP's three kinds of first chunk; a lossless 1 x 1 picture as an encoder writes it.
    QTest::newRow("webpLossy") << u"a.webp"_s << webpLossy(400, 300) << PixelSize{400, 300};
    QTest::newRow("webpLossless1x1") << u"a.webp"_s
                                     << QByteArray("RIFF\x1a\0\0\0WEBPVP8L\x0d\0\0\0\x2f\0\0\0\x10\x07"
                                                   "\x10\x11\x11\x88\x88\xfe\x07\0", 34)
                                     << PixelSize{1, 1};
    QTest::newRow("webpLossless") << u"a.webp"_s
                                  << webpFile("VP8L", "\x2f" + littleEndian(639 | 479u << 14, 4) + QByteArray(8, '\0'))
                                  << PixelSize{640, 480};
    QTest::newRow("webpExtended") << u"a.webp"_s
                                  << webpFile("VP8X", QByteArray(4, '\x10') + littleEndian(4999, 3) + littleEndian(69999, 3))
                                  << PixelSize{5000, 70000};
    QTest::newRow("webpNoStartCode") << u"a.webp"_s << webpLossy(4, 4).replace("\x9d\x01\x2a", "xyz")
                                     << PixelSize{};
    QTest::newRow("webpTruncated") << u"a.webp"_s << webpLossy(400, 300).left(29) << PixelSize{};
    QTest::newRow("webpNamedButRiffWave") << u"a.webp"_s << webpLossy(4, 4).replace("WEBP", "WAVE")
                                          << PixelSize{};
    // SVG: the root element's lengths in pixels, else its viewBox; never a child's.
    QTest::newRow("svgPixels") << u"a.svg"_s
                               << QByteArray("<?xml version=\"1.0\"?>\n<!-- kresba -->\n<svg xmlns=\"http://"
                                             "www.w3.org/2000/svg\" width=\"120\" height=\"80.4px\">")
                               << PixelSize{120, 80};
    QTest::newRow("svgSingleQuotesOverLines") << u"a.svg"_s << QByteArray("<svg\nwidth='7'\n height='9'/>")
                                              << PixelSize{7, 9};
    QTest::newRow("svgViewBoxOnly") << u"a.svg"_s
                                    << QByteArray("<svg stroke-width=\"3\" viewBox=\"0,0,30,20\"><rect width=\"5\" "
                                                  "height=\"5\"/></svg>")
                                    << PixelSize{30, 20};
    QTest::newRow("svgPercent") << u"a.svg"_s << QByteArray("<svg width=\"100%\" height=\"100%\" viewBox=\"0 0 10 10\">")
                                << PixelSize{};
    QTest::newRow("svgNoRoot") << u"a.svg"_s << QByteArray("<svgx width=\"3\" height=\"3\">") << PixelSize{};
    QTest::newRow("jpegGarbageBetweenSegments") << u"a.jpg"_s << soi + app0 + "zz" + frameSegment(0xC0, 5, 5)
                                                << PixelSize{};
}

void tst_ImageSize::handCraftedBytes()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(PixelSize, size);
    const PixelSize found = ImageSize(writeFile(name, bytes));
    QCOMPARE(found.width, size.width);
    QCOMPARE(found.height, size.height);
}

void tst_ImageSize::exifThumbnailIsNotTheImage()
{
    // A real JPEG with an EXIF block put right after its start marker; the thumbnail in
    // that block carries a frame header of its own that a plain byte scan would find first.
    QImage image(41, 29, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer written;
    written.open(QIODevice::WriteOnly);
    QVERIFY(image.save(&written, "JPEG"));
    const QByteArray thumbnail = soi + frameSegment(0xC0, 160, 120) + eoi;
    const QByteArray exif = segment(0xE1, QByteArray("Exif\0\0", 6) + thumbnail);
    const QByteArray bytes = soi + exif + written.data().mid(2);
    QCOMPARE(ImageSize(writeFile(u"thumb.jpg"_s, bytes)), (PixelSize{41, 29}));
}

void tst_ImageSize::readersStopRightAfterTheSize()
{
    const QByteArray tail(1000, '\xFF');
    auto check = [&](const QByteArray &bytes, auto reader, qint64 expectedPos) {
        QByteArray data = bytes + tail;
        QBuffer buffer(&data);
        buffer.open(QIODevice::ReadOnly);
        reader(buffer);
        QCOMPARE(buffer.pos(), expectedPos);
    };
    check(pngHeader(1, 2), [](QIODevice &d) { return PngSize(d); }, 24);
    check(gifHeader(1, 2), [](QIODevice &d) { return GifSize(d); }, 10);
    check(soi + frameSegment(0xC0, 1, 2), [](QIODevice &d) { return JpegSize(d); }, 11);
}

void tst_ImageSize::missingFileGivesZero()
{
    QCOMPARE(ImageSize(m_dir.filePath(u"none.png"_s)), PixelSize{});
    QCOMPARE(JpegSize(m_dir.filePath(u"none.jpg"_s)), PixelSize{});
    QCOMPARE(GifSize(m_dir.path()), PixelSize{}); // a directory is no file
}

BRISKO_TEST_MAIN(tst_ImageSize)
#include "tst_imagesize.moc"
