#include "platform/media/ImageCodec.h"

#include "platform/core/RegularFile.h"
#include "platform/media/DecodeCost.h"
#include "platform/media/DecodeMemoryBudget.h"
#include "platform/media/PngRowDecoder.h"
#include "platform/media/StoppableDevice.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QImageWriter>

#include <cmath>
#include <unistd.h>

namespace {

bool isPaletted(QImage::Format format)
{
    return format == QImage::Format_Mono || format == QImage::Format_MonoLSB || format == QImage::Format_Indexed8;
}

// The picture from the device, at a size covering `cover` when valid,
// turned upright by its EXIF orientation when `upright`; within the pixel
// limits, and once its memory is reserved. A stop asked of this thread while
// it decodes ends it early (its result is not to be shown).
QImage decodeDevice(QIODevice* source, const QSize& cover, bool upright)
{
    // A stop asked of this thread ends the decoder's input.
    StoppableDevice stoppable(source);
    QIODevice* device = &stoppable;
    const qint64 start = device->pos();
    const DecodeCost cost = DecodeCost::read(device);
    QImageReader reader(device);
    if (ImageCodec::isDrawing(reader))
        return QImage();
    reader.setAutoTransform(upright);
    const QSize stored = reader.size();
    const bool turned = upright && reader.transformation() != QImageIOHandler::TransformationNone;
    QSize scaled;
    if (stored.isValid() && cover.width() > 0 && cover.height() > 0) {
        // The scaled size is in stored orientation; the cover is in display
        // orientation.
        QSize shown = stored;
        if (turned && (reader.transformation() & QImageIOHandler::TransformationRotate90))
            shown.transpose();
        const double factor = std::max(double(cover.width()) / shown.width(), double(cover.height()) / shown.height());
        if (factor < 1.0)
            scaled = QSize(std::max(1, int(std::ceil(stored.width() * factor))),
                           std::max(1, int(std::ceil(stored.height() * factor))));
    }
    const qint64 pixels = stored.isValid() ? qint64(stored.width()) * stored.height() : 0;
    if (pixels > ImageCodec::kPixelBudget)
        return QImage();
    bool rows = false;
    if (pixels > ImageCodec::kLargestFullDecodePixels) {
        // Too large to decode whole: at most the largest full decode.
        const double fit = std::sqrt(double(ImageCodec::kLargestFullDecodePixels) / double(pixels));
        const QSize bound(std::max(1, int(stored.width() * fit)), std::max(1, int(stored.height() * fit)));
        if (!scaled.isValid() || qint64(scaled.width()) * scaled.height() > ImageCodec::kLargestFullDecodePixels)
            scaled = bound;
        // Qt's PNG reader decodes the whole picture first; PngRowDecoder streams.
        rows = reader.format() == "png";
    }
    const DecodeMemoryBudget::Reservation held =
        DecodeMemoryBudget::shared().reserve(cost.bytes({stored, scaled, rows, turned && !rows}));
    if (!held)
        return QImage();
    if (rows)
        return device->seek(start) ? PngRowDecoder::decode(device, scaled, ImageCodec::kPixelBudget) : QImage();
    // Qt's reader scales a one-bit or palette picture in its own format
    // (dithered, see smoothScaled()): such a picture is read whole.
    const bool palette = isPaletted(reader.imageFormat());
    if (scaled.isValid() && !palette)
        reader.setScaledSize(scaled);
    QImage image;
    if (!reader.read(&image))
        return QImage();
    if (scaled.isValid() && palette)
        return ImageCodec::smoothScaled(image, scaled);
    return image;
}

}

QImage ImageCodec::decode(const QByteArray& bytes)
{
    return decodeScaled(bytes, QSize());
}

QImage ImageCodec::decodeFile(const QString& path)
{
    return decodeScaledFile(path, QSize());
}

QImage ImageCodec::decodeScaled(QIODevice* device, const QSize& cover)
{
    return device ? decodeDevice(device, cover, true) : QImage();
}

QImage ImageCodec::decodeAsStored(QIODevice* device)
{
    return device ? decodeDevice(device, QSize(), false) : QImage();
}

QImage ImageCodec::decodeScaled(const QByteArray& bytes, const QSize& cover)
{
    if (bytes.isEmpty())
        return QImage();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return decodeScaled(&buffer, cover);
}

QImage ImageCodec::decodeScaledFile(const QString& path, const QSize& cover)
{
    // The program's own picture files (the cloud thumbnails) are opened as
    // any of its files are: no link, pipe or device, nothing past a picture's cap.
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return QImage();
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return QImage();
    }
    if (file.size() > RegularFile::Cap::kPicture)
        return QImage();
    return decodeScaled(&file, cover);
}

namespace {
// The size a picture's header gives (invalid when there is no such header),
// and what its smallest decode would hold.
QSize headerFacts(const QByteArray& bytes, qint64* leastCost = nullptr)
{
    if (bytes.isEmpty())
        return QSize();
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    const DecodeCost cost = DecodeCost::read(&buffer);
    QImageReader reader(&buffer);
    if (ImageCodec::isDrawing(reader))
        return QSize();
    const QSize stored = reader.canRead() ? reader.size() : QSize();
    if (leastCost && stored.isValid()) {
        const bool rows = qint64(stored.width()) * stored.height() > ImageCodec::kLargestFullDecodePixels
            && reader.format() == "png";
        *leastCost = cost.bytes({stored, QSize(1, 1), rows, false});
    }
    return stored;
}
}

bool ImageCodec::isDrawing(QImageReader& reader)
{
    const QByteArray format = reader.format();
    return format == "svg" || format == "svgz";
}

bool ImageCodec::hasPictureHeader(const QByteArray& bytes)
{
    return headerFacts(bytes).isValid();
}

bool ImageCodec::isTooLargeToDecode(const QByteArray& bytes)
{
    qint64 leastCost = 0;
    const QSize stored = headerFacts(bytes, &leastCost);
    return stored.isValid()
        && (qint64(stored.width()) * stored.height() > kPixelBudget
            || leastCost > DecodeMemoryBudget::shared().capacity());
}

QImage ImageCodec::thumbnailFromData(const QByteArray& bytes, const QSize& size)
{
    const QImage image = decodeScaled(bytes, size);
    if (image.isNull())
        return image;
    return thumbnailWithSize(image, size);
}

QByteArray ImageCodec::encodeJpeg(const QImage& image, int quality)
{
    if (image.isNull())
        return QByteArray();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(quality);
    if (!writer.write(image))
        return QByteArray();
    return bytes;
}

QImage ImageCodec::thumbnailWithSize(const QImage& image, const QSize& size)
{
    if (image.isNull() || size.width() <= 0 || size.height() <= 0 || image.size() == size)
        return image;
    const int w = image.width();
    const int h = image.height();
    // Compare w/h with tw/th without rounding.
    QRect crop(0, 0, w, h);
    if (qint64(w) * size.height() > qint64(h) * size.width()) {
        const int cw = std::max(1, int(std::lround(double(h) * size.width() / size.height())));
        crop = QRect((w - cw) / 2, 0, cw, h);
    } else {
        const int ch = std::max(1, int(std::lround(double(w) * size.height() / size.width())));
        crop = QRect(0, (h - ch) / 2, w, ch);
    }
    return smoothScaled(image.copy(crop), size);
}

QImage ImageCodec::smoothScaled(const QImage& image, const QSize& size)
{
    const QImage colour = !isPaletted(image.format()) ? image
                          : image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                                          : QImage::Format_RGB32);
    return colour.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
