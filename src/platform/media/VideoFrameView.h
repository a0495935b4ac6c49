#pragma once

#include <QImage>
#include <QWidget>

class QVideoSink;

// Shows the frames of a video sink, fitted on black, painted as a plain
// widget: unlike a native video window it needs no GPU, works on any
// platform plugin and stays beneath the widgets laid over it.
class VideoFrameView : public QWidget {
    Q_OBJECT
public:
    explicit VideoFrameView(QWidget* parent = nullptr);

    QVideoSink* videoSink() const { return m_sink; }
    // The last frame shown (null before the first).
    const QImage& frame() const { return m_frame; }
    // How many frames came (the empty one a stop sends is not counted).
    int framesShown() const { return m_framesShown; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVideoSink* m_sink;
    QImage m_frame;
    int m_framesShown = 0;
};
