#include "platform/media/MultimediaCamera.h"

#include "platform/media/CameraScreen.h"
#include "platform/media/MediaBackend.h"

#include <QMediaDevices>

Camera& Camera::system()
{
    static MultimediaCamera camera;
    return camera;
}

bool MultimediaCamera::isAvailable()
{
    MediaBackend::select();
    return !QMediaDevices::videoInputs().isEmpty();
}

ui::Screen* MultimediaCamera::makeCaptureScreen(Taken taken)
{
    return new CameraScreen(QMediaDevices::defaultVideoInput(), std::move(taken));
}
