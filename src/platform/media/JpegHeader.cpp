#include "platform/media/JpegHeader.h"

#include <QIODevice>

#include <algorithm>

namespace {

// Markers before the first scan; a real file has a handful.
constexpr int kMostMarkers = 1000;

bool readBytes(QIODevice* device, unsigned char* out, qint64 n)
{
    return device->read(reinterpret_cast<char*>(out), n) == n;
}

int readWord(QIODevice* device)
{
    unsigned char b[2];
    return readBytes(device, b, 2) ? (b[0] << 8) | b[1] : -1;
}

// The next marker code as libjpeg finds it: past any bytes that are not a
// marker (FF 00 among them) and any fill bytes; -1 at the end of the data.
// Stopping at such bytes instead would lose step with the decoder, which
// reads on to whatever frame or scan follows them.
int nextMarker(QIODevice* device)
{
    char c = 0;
    for (;;) {
        while (c != '\xFF')
            if (!device->getChar(&c))
                return -1;
        while (c == '\xFF')
            if (!device->getChar(&c))
                return -1;
        if (c != 0)
            return uchar(c);
    }
}

bool isAppOrComment(int marker)
{
    return (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

bool isFrame(int marker)
{
    // SOF0..SOF15 but DHT (C4), JPG (C8) and DAC (CC).
    return marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
}

bool isProgressive(int marker)
{
    return marker == 0xC2 || marker == 0xC6 || marker == 0xCA || marker == 0xCE;
}

bool readFrame(QIODevice* device, int length, JpegHeader* header)
{
    unsigned char f[6];
    if (length < 8 || !readBytes(device, f, 6))
        return false;
    const int height = (f[1] << 8) | f[2];
    const int width = (f[3] << 8) | f[4];
    const int count = f[5];
    if (count < 1 || length < 8 + 3 * count)
        return false;
    header->size = QSize(width, height);
    header->components.clear();
    for (int i = 0; i < count; ++i) {
        unsigned char c[3];
        if (!readBytes(device, c, 3))
            return false;
        const int h = c[1] >> 4;
        const int v = c[1] & 0x0F;
        if (h < 1 || v < 1)
            return false;
        header->components.push_back({h, v});
    }
    return true;
}

std::optional<JpegHeader> parse(QIODevice* device)
{
    unsigned char soi[2];
    if (!readBytes(device, soi, 2) || soi[0] != 0xFF || soi[1] != 0xD8)
        return std::nullopt;
    std::optional<JpegHeader> header;
    for (int seen = 0; seen < kMostMarkers; ++seen) {
        const int marker = nextMarker(device);
        if (marker < 0 || marker == 0xD9)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7))
            continue;   // no length follows
        const qint64 bodyAt = device->pos() + 2;
        const int length = readWord(device);
        if (length < 2) {
            // libjpeg reads on just past such a length in these segments.
            if (length >= 0 && isAppOrComment(marker))
                continue;
            break;
        }
        if (isFrame(marker)) {
            JpegHeader frame;
            if (!readFrame(device, length, &frame))
                return std::nullopt;
            frame.wholeCoefficients = isProgressive(marker);
            header = frame;
        } else if (marker == 0xDA) {
            unsigned char inScan = 0;
            if (header && readBytes(device, &inScan, 1) && int(inScan) < int(header->components.size()))
                header->wholeCoefficients = true;
            return header;
        }
        if (!device->seek(bodyAt + length - 2))
            break;
    }
    // The first scan was not reached, so whether the decoder keeps the whole
    // picture cannot be told: it is taken that it does.
    if (header)
        header->wholeCoefficients = true;
    return header;
}

qint64 roundUp(qint64 n, qint64 to) { return (n + to - 1) / to * to; }

}

std::optional<JpegHeader> JpegHeader::read(QIODevice* device)
{
    if (!device || device->isSequential())
        return std::nullopt;
    const qint64 start = device->pos();
    std::optional<JpegHeader> header = parse(device);
    device->seek(start);
    if (header && (header->size.width() <= 0 || header->size.height() <= 0))
        return std::nullopt;
    return header;
}

qint64 JpegHeader::coefficientBytes() const
{
    int hMax = 1;
    int vMax = 1;
    for (const Component& c : components) {
        hMax = std::max(hMax, c.h);
        vMax = std::max(vMax, c.v);
    }
    qint64 bytes = 0;
    for (const Component& c : components) {
        const qint64 columns = (qint64(size.width()) * c.h + hMax - 1) / hMax;
        const qint64 rows = (qint64(size.height()) * c.v + vMax - 1) / vMax;
        bytes += roundUp((columns + 7) / 8, c.h) * roundUp((rows + 7) / 8, c.v) * 64 * 2;
    }
    return bytes;
}
