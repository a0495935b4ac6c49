#pragma once

#include <QByteArray>
#include <QColor>
#include <QString>

#include <optional>

// Files for a generated device photo library.
namespace LibraryFixtures {

// A JPEG of the given size, split into a coloured left half and a white right
// half (so a turn is visible), with optional EXIF DateTimeOriginal
// ("YYYY:MM:DD HH:MM:SS") and orientation.
QByteArray jpeg(int width, int height, QColor color = Qt::red,
                const std::optional<QString>& exifDate = std::nullopt,
                std::optional<int> orientation = std::nullopt);

// PNG or GIF bytes of a plain image.
QByteArray image(const char* format, int width, int height, QColor color = Qt::blue);

bool writeFile(const QString& path, const QByteArray& bytes);

// A short video made with the ffmpeg program (2 s, 64 × 48, MPEG-4 in the
// container the suffix names), with the given creation time when not empty.
// False when the program is missing or fails.
bool makeVideo(const QString& path, const QString& creationTime = {});

}
