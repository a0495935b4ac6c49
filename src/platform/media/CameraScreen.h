#pragma once

#include "platform/media/Camera.h"
#include "platform/ui/Screen.h"

#include <QCameraDevice>

class QCamera;
class QImageCapture;

// A full-screen camera view with "拍照" and "取消": the first picture taken
// (or a null image on cancel or a camera error) is handed over once, as the
// screen closes.
class CameraScreen : public ui::Screen {
    Q_OBJECT
public:
    CameraScreen(QCameraDevice device, Camera::Taken taken, QWidget* parent = nullptr);

protected:
    void viewDidLoad() override;
    void viewWillDisappear(bool animated) override;

private:
    void finish(const QImage& image);

    QCameraDevice m_device;
    Camera::Taken m_taken;
    QCamera* m_camera = nullptr;
    QImageCapture* m_capture = nullptr;
};
