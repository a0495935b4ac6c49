#include "platform/media/DecodeCost.h"

#include "platform/media/PngRowDecoder.h"

#include <QIODevice>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Tables, state and the reader's own buffers.
constexpr qint64 kDecoderState = qint64(1) << 20;
// Far past any budget, and safe to add a few of.
constexpr qint64 kHuge = std::numeric_limits<qint64>::max() / 8;

qint64 area(const QSize& size, int bytesPerPixel)
{
    if (!size.isValid())
        return 0;
    const qint64 pixels = qint64(size.width()) * size.height();
    return pixels > kHuge / bytesPerPixel ? kHuge : pixels * bytesPerPixel;
}

}

DecodeCost DecodeCost::read(QIODevice* device)
{
    DecodeCost cost;
    if (!device)
        return cost;
    const QByteArray head = device->peek(26);
    // libjpeg and Qt's reader take any data that starts with SOI for a JPEG.
    if (head.startsWith("\xFF\xD8")) {
        cost.m_kind = Kind::Jpeg;
        cost.m_jpeg = JpegHeader::read(device);
    } else if (head.size() == 26 && head.startsWith("\x89PNG\r\n\x1A\n") && head.mid(12, 4) == "IHDR") {
        cost.m_kind = Kind::Png;
        cost.m_bytesPerPixel = head.at(24) == 16 ? 8 : 4;
    } else if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4))) {
        cost.m_bytesPerPixel = 8;   // a TIFF may have 16 bits a sample
    } else if (head.startsWith(QByteArray("\0\0\1\0", 4)) || head.startsWith(QByteArray("\0\0\2\0", 4))
               || head.startsWith("icns")) {
        cost.m_sizeUntold = true;
    }
    return cost;
}

qint64 DecodeCost::jpegBytes(const QSize& scaled) const
{
    const QSize stored = m_jpeg->size;
    // Qt's reader has libjpeg decode at num/8 of the stored size, the
    // smallest such scale that still covers the size asked.
    int num = 8;
    if (scaled.isValid() && !scaled.isEmpty()) {
        const double f = std::min(double(stored.width()) / scaled.width(), double(stored.height()) / scaled.height());
        num = std::clamp(int(std::ceil(8 / f)), 1, 8);
    }
    const QSize out((stored.width() * num + 7) / 8, (stored.height() * num + 7) / 8);
    int vMax = 1;
    for (const JpegHeader::Component& c : m_jpeg->components)
        vMax = std::max(vMax, c.v);
    // A row group of samples per component for the main buffer (twice, with
    // context), the upsampler and the colour converter.
    const qint64 rows = qint64(out.width()) * qint64(m_jpeg->components.size()) * vMax * 8 * 3;
    return (m_jpeg->wholeCoefficients ? m_jpeg->coefficientBytes() : 0) + rows + area(out, 4);
}

qint64 DecodeCost::bytes(const Plan& plan) const
{
    if (m_kind == Kind::Png && plan.rowDecoder)
        return kDecoderState + PngRowDecoder::memoryFor(plan.stored, plan.scaled);
    qint64 decoded = 0;
    if (m_kind == Kind::Jpeg && m_jpeg) {
        decoded = jpegBytes(plan.scaled);
    } else if (!plan.stored.isValid() || m_sizeUntold) {
        return kUnknownSizeBytes;
    } else if (m_kind == Kind::Jpeg) {
        // A frame that could not be read: as if progressive, every sample kept.
        decoded = area(plan.stored, 6 + 4);
    } else {
        decoded = area(plan.stored, m_bytesPerPixel);
        // Qt's reader scales what it decoded whole afterwards, smoothly, from
        // a premultiplied copy of the whole picture (an 8-bit PNG it scales
        // row by row); some readers of other kinds decode into a buffer of
        // their own first.
        if (m_kind == Kind::Other || (plan.scaled.isValid() && m_bytesPerPixel == 8))
            decoded *= 2;
    }
    const QSize result = plan.scaled.isValid() ? plan.scaled : plan.stored;
    const qint64 scaledCopy = plan.scaled.isValid() ? area(plan.scaled, 4) : 0;
    const qint64 turnedCopy = plan.turned ? area(result, 4) : 0;
    return kDecoderState + decoded + scaledCopy + turnedCopy;
}
