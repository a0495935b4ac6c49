#pragma once

#include <QSize>

#include <optional>
#include <vector>

class QIODevice;

// What a JPEG's markers say about its decode before any of it is decoded:
// the frame (SOFn) gives the size and each component's sampling; the frame
// type and the first scan (SOS) tell whether the decoder must keep the
// coefficients of the whole picture: it must for a progressive frame, and
// for one whose first scan carries only some of the components, and it is
// taken that it must when the first scan is not reached. Only the marker
// segments' lengths are read; their bodies are skipped, and bytes between
// segments that are no marker are passed over as libjpeg passes them.
struct JpegHeader {
    struct Component {
        int h = 1;   // horizontal sampling factor
        int v = 1;   // vertical sampling factor
    };

    QSize size;
    std::vector<Component> components;
    bool wholeCoefficients = false;

    // Read from the device's current position (a random-access device; it is
    // put back where it was). Nothing when the data is not a JPEG or its
    // frame is missing or malformed.
    static std::optional<JpegHeader> read(QIODevice* device);

    // Bytes of the coefficients kept for the whole picture (2 bytes each,
    // 64 to a block, each component padded to whole blocks of its sampling).
    qint64 coefficientBytes() const;
};
