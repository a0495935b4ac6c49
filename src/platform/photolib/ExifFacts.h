#pragma once

#include "platform/photolib/ImageOrientation.h"

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <optional>

// The EXIF facts the library needs from a photo: when it was taken and how it
// is turned.
struct ExifFacts {
    std::optional<QDateTime> date;  // UTC
    int orientation = 1;            // raw EXIF value

    // DateTimeOriginal, then DateTimeDigitized, then DateTime; the offset
    // tags when present, else the given zone. Empty facts when the file holds
    // no EXIF block or cannot be read.
    static ExifFacts read(const QString& path, const QTimeZone& zone = QTimeZone::systemTimeZone());

    // Parses "YYYY:MM:DD HH:MM:SS" with an optional "+HH:MM" offset.
    static std::optional<QDateTime> parseDate(const QString& text, const QString& offset,
                                              const QTimeZone& zone);
};

