#include "platform/media/VideoFrameView.h"

#include <QPainter>
#include <QVideoFrame>
#include <QVideoSink>

VideoFrameView::VideoFrameView(QWidget* parent) : QWidget(parent), m_sink(new QVideoSink(this))
{
    connect(m_sink, &QVideoSink::videoFrameChanged, this, [this](const QVideoFrame& frame) {
        m_frame = frame.toImage();
        if (!m_frame.isNull())
            ++m_framesShown;
        update();
    });
}

void VideoFrameView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_frame.isNull())
        return;
    const QSize fitted = m_frame.size().scaled(size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - fitted.width()) / 2, (height() - fitted.height()) / 2), fitted);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_frame);
}
