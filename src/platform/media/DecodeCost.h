#pragma once

#include "platform/media/JpegHeader.h"

#include <QSize>

#include <optional>

class QIODevice;

// The memory a decode holds at its peak, told from the picture's header
// before any of it is decoded, so it can be reserved from the
// DecodeMemoryBudget. A JPEG is decoded at the largest of libjpeg's M/8
// scales that still covers the size asked (as Qt's reader asks it), and
// holds a few rows of that; a progressive one also holds two bytes for every
// coefficient of the whole picture, whatever the scale. A PNG read by Qt is
// held whole (8 bytes a pixel at 16 bits a sample); read by PngRowDecoder it
// holds a few rows. Any other picture is held whole at 4 bytes a pixel (a
// TIFF at 8), and twice: its reader's own buffer, or the premultiplied copy
// that smooth scaling works on, as for a 16-bit PNG scaled. Then the
// result: the decoded picture, its copy scaled to the size asked, and its
// turned copy. An icon (ICO, CUR, ICNS) is costed as a picture whose size
// nothing tells: its directory gives each entry's size, but an entry may
// hold a PNG of any size. Estimates err on the large side.
class DecodeCost {
public:
    // Reads what the estimate needs from the device's current position
    // (put back there); a device that cannot seek gives the format only.
    static DecodeCost read(QIODevice* device);

    struct Plan {
        QSize stored;        // the header's size; invalid when it gives none
        QSize scaled;        // the size asked of the reader; invalid for whole
        bool rowDecoder = false;   // a PNG read by PngRowDecoder
        bool turned = false;       // the EXIF orientation is applied
    };
    qint64 bytes(const Plan& plan) const;

    // A decode whose size nothing tells: Qt's reader refuses an image past
    // its own allocation limit (256 MB).
    static constexpr qint64 kUnknownSizeBytes = qint64(256) << 20;

private:
    enum class Kind { Jpeg, Png, Other };
    qint64 jpegBytes(const QSize& scaled) const;

    Kind m_kind = Kind::Other;
    std::optional<JpegHeader> m_jpeg;
    int m_bytesPerPixel = 4;   // of a picture held whole
    bool m_sizeUntold = false; // the header's size is not what is decoded
};
