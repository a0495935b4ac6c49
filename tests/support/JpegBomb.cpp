#include "support/JpegBomb.h"

#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QImageWriter>

QByteArray jpegOf(const QImage& image, bool progressive)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? bytes : QByteArray();
}

QByteArray jpegClaiming(int width, int height, bool progressive)
{
    QByteArray bytes = jpegOf(ImageFixtures::pattern(64, 48), progressive);
    // Walk the marker segments to the frame header and rewrite its size.
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && uchar(bytes[at]) == 0xFF) {
        const uchar marker = uchar(bytes[at + 1]);
        const int length = (uchar(bytes[at + 2]) << 8) | uchar(bytes[at + 3]);
        if (marker == 0xC0 || marker == 0xC2) {
            bytes[at + 5] = char(height >> 8);
            bytes[at + 6] = char(height & 0xFF);
            bytes[at + 7] = char(width >> 8);
            bytes[at + 8] = char(width & 0xFF);
            return bytes;
        }
        at += 2 + length;
    }
    return {};
}

QByteArray multiScanJpegClaiming(int width, int height, const QByteArray& afterFrame)
{
    QByteArray bytes = jpegClaiming(width, height, false);
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && uchar(bytes[at]) == 0xFF) {
        const uchar marker = uchar(bytes[at + 1]);
        const int length = (uchar(bytes[at + 2]) << 8) | uchar(bytes[at + 3]);
        if (marker == 0xDA) {
            // The scan's first component, with its tables, and a whole band.
            const QByteArray scan = QByteArray("\xFF\xDA\x00\x08\x01", 5) + bytes.mid(at + 5, 2)
                + QByteArray("\x00\x3F\x00", 3);
            bytes.replace(at, 2 + length, scan);
            return bytes;
        }
        if (marker == 0xC0)
            bytes.insert(at + 2 + length, afterFrame);
        at += 2 + length + (marker == 0xC0 ? afterFrame.size() : 0);
    }
    return {};
}
