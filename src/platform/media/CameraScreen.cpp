#include "platform/media/CameraScreen.h"

#include "platform/core/Localization.h"
#include "platform/media/VideoFrameView.h"

#include <QCamera>
#include <QImageCapture>
#include <QMediaCaptureSession>
#include <QPushButton>
#include <QVideoSink>

CameraScreen::CameraScreen(QCameraDevice device, Camera::Taken taken, QWidget* parent)
    : ui::Screen(parent), m_device(std::move(device)), m_taken(std::move(taken))
{
}

void CameraScreen::viewDidLoad()
{
    setStyleSheet(QStringLiteral("background: black;"));
    auto* preview = new VideoFrameView(this);
    preview->setGeometry(0, 0, 1024, 768);
    preview->show();  // the screen may be shown already
    auto* session = new QMediaCaptureSession(this);
    m_camera = new QCamera(m_device, this);
    m_capture = new QImageCapture(this);
    session->setCamera(m_camera);
    session->setImageCapture(m_capture);
    session->setVideoSink(preview->videoSink());
    connect(m_capture, &QImageCapture::imageCaptured, this, [this](int, const QImage& image) { finish(image); });
    connect(m_capture, &QImageCapture::errorOccurred, this, [this] { finish(QImage()); });
    connect(m_camera, &QCamera::errorOccurred, this, [this] { finish(QImage()); });

    const QString style = QStringLiteral("color: white; background: rgba(64, 68, 72, 200); border-radius: 6px;");
    auto* cancel = new QPushButton(L("取消"), this);
    cancel->setGeometry(16, 16, 78, 36);
    cancel->setStyleSheet(style);
    connect(cancel, &QPushButton::clicked, this, [this] { finish(QImage()); });
    cancel->show();
    auto* shoot = new QPushButton(L("拍照"), this);
    shoot->setGeometry(472, 700, 80, 48);
    shoot->setStyleSheet(style);
    connect(shoot, &QPushButton::clicked, this, [this] {
        if (m_capture->isReadyForCapture())
            m_capture->capture();
    });
    shoot->show();
    m_camera->start();
}

void CameraScreen::viewWillDisappear(bool)
{
    if (m_camera)
        m_camera->stop();
}

void CameraScreen::finish(const QImage& image)
{
    if (!m_taken)
        return;  // answered already
    const Camera::Taken taken = std::move(m_taken);
    m_taken = nullptr;
    dismissModal(true);
    taken(image);
}
