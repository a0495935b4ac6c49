#pragma once

#include "platform/media/ImageCodec.h"

#include <QImage>
#include <QSize>

class QIODevice;

// Decodes a PNG row by row into a smaller picture, averaging each block of
// source pixels, so memory stays bounded by one source row and the result,
// however large the picture (20000 × 20000 and more). Used for pictures whose
// full decode would not fit one allocation. Interlaced pictures are sampled
// from their last pass (every other row). Any thread; a null image when the
// data is not a PNG, is damaged or truncated, or has more pixels than the
// budget (then no row is read: the time goes with the pixels).
class PngRowDecoder {
public:
    // The picture scaled to exactly `size` (each side from 1 up to the stored
    // one; larger sides are clamped). Reads the device from its current position.
    static QImage decode(QIODevice* device, const QSize& size, qint64 pixelBudget = ImageCodec::kPixelBudget);

    // What decode() holds at most for a picture of `stored` size scaled to
    // `size`: libpng's rows (up to 8 bytes a pixel, this one and the last),
    // the expanded row, the column map, the sums and the result.
    static qint64 memoryFor(const QSize& stored, const QSize& size);
};
