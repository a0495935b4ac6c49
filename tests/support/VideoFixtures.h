#pragma once

#include <QString>

// Video fixtures made by the tests themselves.
namespace VideoFixtures {

// A short video made with the ffmpeg program (2 s, 64 × 48, in the container
// the suffix names, MPEG-4 unless another ffmpeg encoder is named), with the
// given creation time when not empty. False when the program is missing or
// fails: callers skip then.
bool makeVideo(const QString& path, const QString& creationTime = {}, const QString& encoder = "mpeg4");

}
