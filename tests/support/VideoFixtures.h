#pragma once

#include <QString>

// Video fixtures made by the tests themselves.
namespace VideoFixtures {

// A short video made with the ffmpeg program (2 s, 64 × 48, by default
// MPEG-4 in the container the suffix names), with the given creation time
// when not empty and, with sound, a 440 Hz AAC track as long as the picture.
// False when the program is missing or fails: callers skip then.
bool makeVideo(const QString& path, const QString& creationTime = {}, const QString& encoder = "mpeg4",
               bool sound = false);

}
