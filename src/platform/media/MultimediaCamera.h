#pragma once

#include "platform/media/Camera.h"

// The first camera Qt Multimedia finds (the system default one).
class MultimediaCamera : public Camera {
public:
    bool isAvailable() override;
    ui::Screen* makeCaptureScreen(Taken taken) override;
};
