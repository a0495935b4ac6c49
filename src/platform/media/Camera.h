#pragma once

#include <QImage>

#include <functional>

namespace ui {
class Screen;
}

// A camera that takes one picture at a time, behind a screen the caller
// presents. The screen closes itself once it has answered: with the taken
// picture, or with a null image when the user cancelled or the camera failed.
class Camera {
public:
    using Taken = std::function<void(const QImage& image)>;

    virtual ~Camera() = default;

    // Whether the device has a camera to take pictures with.
    virtual bool isAvailable() = 0;
    // A screen showing the camera; call only when isAvailable().
    virtual ui::Screen* makeCaptureScreen(Taken taken) = 0;

    // The device's camera, through Qt Multimedia.
    static Camera& system();
};
