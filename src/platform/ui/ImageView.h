#pragma once

#include <QMargins>
#include <QPixmap>
#include <QWidget>

namespace ui {

// An image in a frame: scaled to fill, fitted or filled keeping its aspect,
// or centred; with caps, stretched keeping its edges (a stretchable image).
// A null image draws nothing.
class ImageView : public QWidget {
    Q_OBJECT
public:
    enum class Mode { ScaleToFill, AspectFit, AspectFill, Center };

    explicit ImageView(QWidget* parent = nullptr);
    explicit ImageView(const QString& imageName, QWidget* parent = nullptr);

    void setImage(const QPixmap& image);
    void setImageNamed(const QString& name);
    QPixmap image() const { return m_image; }
    void setMode(Mode mode) { m_mode = mode; update(); }
    Mode mode() const { return m_mode; }
    void setCaps(QMargins caps) { m_caps = caps; update(); }
    void setBackgroundColor(const QColor& color) { m_background = color; update(); }

    // Draws `image` into `target`, keeping the cap edges unscaled.
    static void drawStretched(QPainter& painter, const QRect& target, const QPixmap& image, QMargins caps);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap m_image;
    Mode m_mode = Mode::ScaleToFill;
    QMargins m_caps;
    QColor m_background = Qt::transparent;
};

}
