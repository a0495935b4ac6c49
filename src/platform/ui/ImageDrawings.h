#pragma once

namespace ui {

// The project's own drawings of every named image the screens use (icons,
// frames, buttons, bars and placeholders), registered with Images.
class ImageDrawings {
public:
    static void registerDefaults();
};

}
