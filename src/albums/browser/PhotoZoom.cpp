#include "albums/browser/PhotoZoom.h"

#include "platform/media/ImageCodec.h"

#include <QBuffer>
#include <QImageReader>

#include <algorithm>
#include <cmath>

double PhotoZoom::maximumScale(QSizeF image, ImageOrientation orientation, QSizeF reference)
{
    if (image.isEmpty() || reference.isEmpty())
        return 1.0;
    bool sideways = false;
    switch (orientation) {
    case ImageOrientation::Left:
    case ImageOrientation::Right:
    case ImageOrientation::LeftMirrored:
    case ImageOrientation::RightMirrored:
        sideways = true;
        break;
    default:
        break;
    }
    const QSizeF r = sideways ? reference.transposed() : reference;
    return std::max({1.0, image.width() / r.width(), image.height() / r.height()});
}

QPointF PhotoZoom::offsetForTap(QPointF tap, double scale, QSizeF frame)
{
    const double maxX = std::max(0.0, frame.width() * (scale - 1));
    const double maxY = std::max(0.0, frame.height() * (scale - 1));
    return {std::clamp(tap.x() * scale - frame.width() / 2, 0.0, maxX),
            std::clamp(tap.y() * scale - frame.height() / 2, 0.0, maxY)};
}

QSize PhotoZoom::uprightSize(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    if (bytes.isEmpty() || !buffer.open(QIODevice::ReadOnly))
        return QSize();
    QImageReader reader(&buffer);
    if (ImageCodec::isDrawing(reader))
        return QSize();
    reader.setAutoTransform(true);
    QSize size = reader.size();
    if (!size.isValid() || size.isEmpty())
        return QSize();
    if (reader.transformation() & QImageIOHandler::TransformationRotate90)
        size.transpose();
    return size;
}

QSize PhotoZoom::sharperSize(QSize original, QSize decoded, QSizeF view, double zoom)
{
    if (original.isEmpty() || view.isEmpty() || zoom <= 0)
        return QSize();
    // Pixels the picture covers on screen at this zoom, against its own.
    const QSizeF shown = QSizeF(original).scaled(view * zoom, Qt::KeepAspectRatio);
    double factor = std::min(1.0, shown.width() / original.width());
    const double pixels = double(original.width()) * original.height() * factor * factor;
    if (pixels > double(ImageCodec::kLargestFullDecodePixels))
        factor *= std::sqrt(double(ImageCodec::kLargestFullDecodePixels) / pixels);
    const QSize wanted(std::max(1, int(std::lround(original.width() * factor))),
                       std::max(1, int(std::lround(original.height() * factor))));
    if (decoded.width() >= wanted.width() && decoded.height() >= wanted.height())
        return QSize();
    return wanted;
}
