#include "support/ImageFixtures.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace ImageFixtures {

QImage pattern(int w, int h, int seed)
{
    QImage image(w, h, QImage::Format_RGB32);
    // A fixed resolution (else taken from the screen, if any): the same
    // fixture has the same bytes in a child process without a screen.
    image.setDotsPerMeterX(3780);
    image.setDotsPerMeterY(3780);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, w, h);
    gradient.setColorAt(0, QColor::fromHsv((seed * 47) % 360, 200, 230));
    gradient.setColorAt(1, QColor::fromHsv((seed * 47 + 180) % 360, 180, 90));
    p.fillRect(image.rect(), gradient);
    for (int i = 0; i < 12; ++i) {
        p.setBrush(QColor::fromHsv((seed * 31 + i * 29) % 360, 160, 200));
        p.drawEllipse(QPoint((i * 97 + seed * 13) % w, (i * 61 + seed * 7) % h), w / 10 + 1, h / 12 + 1);
    }
    return image;
}

namespace {
// pattern() with a white block in its middle half holding one-pixel black
// lines every `period` pixels, and a line of small print in its centre.
QImage linesInTheMiddle(int w, int h, int seed, int period)
{
    QImage image = pattern(w, h, seed);
    QPainter painter(&image);
    const QRect block(w / 4, h / 4, w / 2, h / 2);
    painter.fillRect(block, Qt::white);
    painter.setPen(Qt::black);
    for (int x = block.left(); x <= block.right(); x += period)
        painter.drawLine(x, block.top(), x, block.bottom());
    QFont font;
    font.setPixelSize(14);
    painter.setFont(font);
    const QRect print(w / 2 - 120, h / 2 - 25, 240, 50);
    painter.fillRect(print, Qt::white);
    painter.drawText(print, Qt::AlignCenter, QStringLiteral("fine print %1 x %2").arg(w).arg(h));
    return image;
}
}

QImage fineLines(int w, int h, int seed)
{
    return linesInTheMiddle(w, h, seed, 2);
}

QImage grating(int w, int h, int seed)
{
    return linesInTheMiddle(w, h, seed, 3);
}

QImage oneBitLines(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; x += 3)
            image.setPixel(x, y, qRgb(0, 0, 0));
    return image.convertToFormat(QImage::Format_Mono, Qt::ThresholdDither);
}

bool evenColumns(const QImage& image, int grey, int tolerance)
{
    for (int y = 1; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != image.pixel(x, 0))
                return false;
    int sum = 0;
    for (int x = 0; x < image.width(); ++x)
        sum += qGray(image.pixel(x, 0));
    return image.width() > 0 && std::abs(sum / image.width() - grey) <= tolerance;
}

QImage solid(int w, int h, const QColor& color)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(color);
    return image;
}

namespace {
// Qt reads GIF but does not write it: an uncompressed-LZW GIF of our own
// (a clear code every 250 pixels keeps every code 9 bits wide).
QByteArray encodeGif(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    QVector<QRgb> colors = image.colorTable();
    colors.resize(256);
    QByteArray out("GIF89a");
    auto put16le = [&out](int v) {
        out.append(char(v & 0xff));
        out.append(char((v >> 8) & 0xff));
    };
    put16le(image.width());
    put16le(image.height());
    out.append(char(0xF7));   // global colour table of 256 entries
    out.append('\0');
    out.append('\0');
    for (QRgb c : colors) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    out.append(',');
    put16le(0);
    put16le(0);
    put16le(image.width());
    put16le(image.height());
    out.append('\0');
    out.append(char(8));   // LZW minimum code size

    QByteArray data;
    quint32 acc = 0;
    int bits = 0;
    auto code = [&](int c) {
        acc |= quint32(c) << bits;
        bits += 9;
        while (bits >= 8) {
            data.append(char(acc & 0xff));
            acc >>= 8;
            bits -= 8;
        }
    };
    int run = 0;
    code(256);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (run++ == 250) {
                code(256);
                run = 1;
            }
            code(image.pixelIndex(x, y));
        }
    code(257);
    if (bits > 0)
        data.append(char(acc & 0xff));
    for (qsizetype i = 0; i < data.size(); i += 255) {
        const QByteArray block = data.mid(i, 255);
        out.append(char(block.size()));
        out.append(block);
    }
    out.append('\0');
    out.append(';');
    return out;
}
}

QByteArray encode(const QImage& image, const char* format, int quality)
{
    if (qstrcmp(format, "gif") == 0)
        return encodeGif(image);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

QByteArray jpeg(int w, int h, int seed)
{
    return encode(pattern(w, h, seed), "jpeg");
}

namespace {
void appendChunk(QByteArray& png, const char* type, const QByteArray& data)
{
    char length[4];
    qToBigEndian(quint32(data.size()), length);
    png.append(length, 4);
    const QByteArray body = QByteArray(type, 4) + data;
    png.append(body);
    char crc[4];
    qToBigEndian(quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size()))), crc);
    png.append(crc, 4);
}
}

QByteArray plainPng(int w, int h, const QColor& color, PngLayout layout)
{
    QByteArray header(13, '\0');
    qToBigEndian(quint32(w), header.data());
    qToBigEndian(quint32(h), header.data() + 4);
    header[8] = layout == PngLayout::Grey16 ? 16 : 8;                                          // bits per sample
    header[9] = layout == PngLayout::Palette ? 3 : layout == PngLayout::Grey16 ? 0 : 2;        // colour type
    header[12] = layout == PngLayout::InterlacedRgb ? 1 : 0;                                    // Adam7
    QByteArray pixel;
    if (layout == PngLayout::Palette)
        pixel = QByteArray(1, '\0');
    else if (layout == PngLayout::Grey16)
        pixel = QByteArray(2, char(qGray(color.rgb())));
    else
        pixel = QByteArray() + char(color.red()) + char(color.green()) + char(color.blue());
    // Rows of each pass (one pass unless interlaced): filter byte 0, then the pixels.
    struct Pass { int x0, y0, dx, dy; };
    std::vector<Pass> passes = {{0, 0, 1, 1}};
    if (layout == PngLayout::InterlacedRgb)
        passes = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    z_stream zs{};
    deflateInit(&zs, Z_BEST_SPEED);
    QByteArray compressed;
    std::vector<Bytef> out(1 << 16);
    auto feed = [&](const QByteArray* row) {
        zs.next_in = row ? reinterpret_cast<Bytef*>(const_cast<char*>(row->data())) : nullptr;
        zs.avail_in = row ? uInt(row->size()) : 0;
        do {
            zs.next_out = out.data();
            zs.avail_out = uInt(out.size());
            deflate(&zs, row ? Z_NO_FLUSH : Z_FINISH);
            compressed.append(reinterpret_cast<const char*>(out.data()), qsizetype(out.size() - zs.avail_out));
        } while (zs.avail_out == 0);
    };
    for (const Pass& p : passes) {
        const int cols = (w - p.x0 + p.dx - 1) / p.dx;
        const int rows = (h - p.y0 + p.dy - 1) / p.dy;
        if (cols <= 0 || rows <= 0)
            continue;
        const QByteArray row = QByteArray(1, '\0') + pixel.repeated(cols);
        for (int y = 0; y < rows; ++y)
            feed(&row);
    }
    feed(nullptr);
    deflateEnd(&zs);
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    if (layout == PngLayout::Palette)
        appendChunk(png, "PLTE", QByteArray() + char(color.red()) + char(color.green()) + char(color.blue()));
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}

namespace {
// Deflates `in` into `out` with the given flush.
void deflateInto(z_stream& zs, const QByteArray& in, int flush, QByteArray* out)
{
    std::vector<Bytef> room(1 << 16);
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.constData()));
    zs.avail_in = uInt(in.size());
    do {
        zs.next_out = room.data();
        zs.avail_out = uInt(room.size());
        deflate(&zs, flush);
        out->append(reinterpret_cast<const char*>(room.data()), qsizetype(room.size() - zs.avail_out));
    } while (zs.avail_out == 0 || zs.avail_in > 0);
}
}

QByteArray bilevelPng(int side, const QColor& color)
{
    // After a full flush deflate starts afresh, so equal runs of rows come
    // out as equal bytes: once two runs agree, the rest are copies. The
    // stream's checksum is then made for what the rows really are.
    constexpr int kRowsPerRun = 1000;
    const QByteArray row(1 + (side + 7) / 8, '\0');
    const QByteArray run = row.repeated(std::min(side, kRowsPerRun));
    const QByteArray rest = row.repeated(side > kRowsPerRun ? side % kRowsPerRun : 0);
    const int runs = side > kRowsPerRun ? side / kRowsPerRun : 1;
    z_stream zs{};
    deflateInit(&zs, Z_BEST_COMPRESSION);
    QByteArray compressed;
    QByteArray previous;
    bool repeats = false;
    for (int i = 0; i < runs; ++i) {
        if (repeats) {
            compressed.append(previous);
            continue;
        }
        QByteArray next;
        deflateInto(zs, run, Z_FULL_FLUSH, &next);
        repeats = i > 1 && next == previous;  // the first run carries the stream header
        compressed.append(next);
        previous = next;
    }
    deflateInto(zs, rest, Z_FINISH, &compressed);
    deflateEnd(&zs);
    uLong adler = adler32(0, nullptr, 0);
    const uLong runAdler = adler32(adler, reinterpret_cast<const Bytef*>(run.constData()), uInt(run.size()));
    for (int i = 0; i < runs; ++i)
        adler = adler32_combine(adler, runAdler, z_off_t(run.size()));
    const uLong restAdler = adler32(adler32(0, nullptr, 0), reinterpret_cast<const Bytef*>(rest.constData()), uInt(rest.size()));
    adler = adler32_combine(adler, restAdler, z_off_t(rest.size()));
    qToBigEndian(quint32(adler), compressed.data() + compressed.size() - 4);

    QByteArray header(13, '\0');
    qToBigEndian(quint32(side), header.data());
    qToBigEndian(quint32(side), header.data() + 4);
    header[8] = 1;   // bits per sample
    header[9] = 3;   // palette
    QByteArray png("\x89PNG\r\n\x1a\n", 8);
    appendChunk(png, "IHDR", header);
    appendChunk(png, "PLTE", QByteArray() + char(color.red()) + char(color.green()) + char(color.blue()));
    appendChunk(png, "IDAT", compressed);
    appendChunk(png, "IEND", {});
    return png;
}

namespace {
void put16(QByteArray& out, int v)
{
    out.append(char(v & 0xff));
    out.append(char((v >> 8) & 0xff));
}

void put32(QByteArray& out, quint32 v)
{
    put16(out, int(v & 0xffff));
    put16(out, int(v >> 16));
}

struct Entry {
    int tag;
    int type;          // 2 ASCII, 3 SHORT, 4 LONG
    quint32 count;
    quint32 value;     // inline value, or an offset set while laying out
    QByteArray data;   // out-of-line ASCII data
};

void putIfd(QByteArray& tiff, const std::vector<Entry>& entries)
{
    put16(tiff, int(entries.size()));
    for (const Entry& e : entries) {
        put16(tiff, e.tag);
        put16(tiff, e.type);
        put32(tiff, e.count);
        put32(tiff, e.value);
    }
    put32(tiff, 0);
}

quint32 ifdSize(size_t n) { return quint32(2 + n * 12 + 4); }
}

QByteArray withExif(const QByteArray& jpeg, const QByteArray& original, const QByteArray& digitized,
                    const QByteArray& dateTime, int orientation)
{
    std::vector<Entry> ifd0;
    std::vector<Entry> exif;
    auto ascii = [](int tag, const QByteArray& text) {
        QByteArray data = text;
        data.append('\0');
        return Entry{tag, 2, quint32(data.size()), 0, data};
    };
    if (orientation != 1)
        ifd0.push_back(Entry{0x0112, 3, 1, quint32(orientation), {}});
    if (!dateTime.isEmpty())
        ifd0.push_back(ascii(0x0132, dateTime));
    if (!original.isEmpty())
        exif.push_back(ascii(0x9003, original));
    if (!digitized.isEmpty())
        exif.push_back(ascii(0x9004, digitized));
    if (!exif.empty())
        ifd0.push_back(Entry{0x8769, 4, 1, 0, {}});

    // Layout: header, IFD0, EXIF IFD, then the strings.
    const quint32 ifd0At = 8;
    const quint32 exifAt = ifd0At + ifdSize(ifd0.size());
    quint32 dataAt = exifAt + (exif.empty() ? 0 : ifdSize(exif.size()));
    QByteArray strings;
    for (auto* list : {&ifd0, &exif}) {
        for (Entry& e : *list) {
            if (e.tag == 0x8769)
                e.value = exifAt;
            if (!e.data.isEmpty()) {
                e.value = dataAt + quint32(strings.size());
                strings.append(e.data);
            }
        }
    }
    QByteArray tiff("II*\0", 4);
    put32(tiff, ifd0At);
    putIfd(tiff, ifd0);
    if (!exif.empty())
        putIfd(tiff, exif);
    tiff.append(strings);

    QByteArray app1("Exif\0\0", 6);
    app1.append(tiff);
    const int length = int(app1.size()) + 2;
    QByteArray segment;
    segment.append(char(0xFF));
    segment.append(char(0xE1));
    segment.append(char((length >> 8) & 0xff));
    segment.append(char(length & 0xff));
    segment.append(app1);
    QByteArray out = jpeg.left(2);   // SOI
    out.append(segment);
    out.append(jpeg.mid(2));
    return out;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

bool setModified(const QString& path, const QDateTime& when)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) && file.setFileTime(when, QFileDevice::FileModificationTime);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}
