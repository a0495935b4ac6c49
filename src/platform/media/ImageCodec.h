#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;
class QImageReader;

// Image decoding and encoding over QImage, so it can run on any thread.
// Decoding applies the EXIF orientation; every result is a null QImage on
// failure. Pictures larger than kLargestFullDecodePixels are never decoded
// whole: they come back scaled down to at most that many pixels (PNGs
// through a row-by-row decoder with bounded memory), or to `cover` when asked.
// Pictures past kPixelBudget are not decoded at all: the result is null and
// callers show their placeholder. Every decode first reserves the memory its
// header says it will hold (DecodeCost) from the process's
// DecodeMemoryBudget, waiting while other decodes hold too much of it; a
// picture that would need more than the whole budget (a progressive JPEG
// keeps every coefficient of the picture, whatever the scale) comes back
// null.
class ImageCodec {
public:
    // 64 MB of 32-bit pixels.
    static constexpr qint64 kLargestFullDecodePixels = 16LL * 1024 * 1024;
    // Every row of a picture is read even to scale it down, so the work
    // grows with its pixels: 20000 x 20000 takes seconds, a few kilobytes
    // of PNG can claim ten billion pixels and would take minutes.
    static constexpr qint64 kPixelBudget = 512LL * 1024 * 1024;

    static QImage decode(const QByteArray& bytes);
    static QImage decodeFile(const QString& path);

    // Decodes at reduced size straight from the compressed data (JPEG is
    // scaled while decoding): the result keeps the aspect ratio and covers
    // `cover` (each side at least as long), or is the full image when that
    // is smaller or `cover` is not valid. Orientation is applied.
    static QImage decodeScaled(const QByteArray& bytes, const QSize& cover);
    static QImage decodeScaledFile(const QString& path, const QSize& cover);
    static QImage decodeScaled(QIODevice* device, const QSize& cover);
    // The whole picture in its stored orientation (EXIF's is not applied),
    // within the same limits.
    static QImage decodeAsStored(QIODevice* device);

    // Whether the data starts as a picture a reader knows, with a size in its
    // header; nothing is decoded, so a damaged body still answers true.
    static bool hasPictureHeader(const QByteArray& bytes);
    // Whether the header names a picture that decodes to null however sound
    // it is: more than kPixelBudget pixels, or more memory at its smallest
    // scale than the whole decode budget.
    static bool isTooLargeToDecode(const QByteArray& bytes);
    // Whether the reader took its data for a drawing (SVG, plain or
    // gzipped) rather than a picture. No header tells what a drawing costs:
    // asking its size inflates and parses all of it (a few megabytes of
    // gzip hold gigabytes), so nothing here asks a drawing anything.
    static bool isDrawing(QImageReader& reader);

    // A thumbnail of exactly `size` from compressed data, through a scaled
    // decode and thumbnailWithSize.
    static QImage thumbnailFromData(const QByteArray& bytes, const QSize& size);

    // JPEG bytes at the given quality (0..100); empty on failure.
    static QByteArray encodeJpeg(const QImage& image, int quality = 100);

    // A new image of exactly `size`: the largest centred part of the source
    // with the target's aspect ratio, scaled smoothly to the size. Returns
    // the source itself when it already has that size, when a target side is
    // not positive, or when the source is null.
    static QImage thumbnailWithSize(const QImage& image, const QSize& size);

    // Qt's smooth scale to exactly `size`, with a one-bit or palette picture
    // taken as colour first: scaled in its own format it is dithered back
    // into its few colours, fine patterns and greys becoming specks.
    static QImage smoothScaled(const QImage& image, const QSize& size);
};
