#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>

// Reads what the albums need from a video file through FFmpeg: its length,
// the container's creation time and rotation, and a poster frame.
// Safe to call from any thread; every call opens the file anew.
class VideoReader {
public:
    struct Info {
        double duration = 0;                    // seconds
        std::optional<QDateTime> creationTime;  // UTC, when the container has one
        int rotation = 0;                       // clockwise degrees to display upright
        int width = 0;
        int height = 0;
    };

    // Empty when the file cannot be opened or holds no video stream; only
    // the containers videos come in are read (a still picture is no video).
    static std::optional<Info> probe(const QString& path);

    // One decoded frame from near min(1 s, duration / 2), rotated upright and
    // scaled to fit maxSide (0 keeps the size). A null image on failure.
    static QImage poster(const QString& path, int maxSide = 0);
};
