#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// Reads a photo's date from its EXIF block: DateTimeOriginal, else
// DateTimeDigitized, else DateTime. EXIF times carry no zone; they are taken
// as local time. An invalid QDateTime when none is present or readable.
class ExifDateReader {
public:
    static QDateTime dateOfFile(const QString& path);
    // "YYYY:MM:DD HH:MM:SS" as local time, converted to UTC.
    static QDateTime parse(const QByteArray& text);
};
