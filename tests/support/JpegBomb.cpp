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
