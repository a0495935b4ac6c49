#pragma once

#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QWidget>

namespace ui {

// An image in a frame: scaled to fill, fitted or filled keeping its aspect,
// or centred; with caps, stretched keeping its edges (a stretchable image).
// A null image draws nothing. An image drawn at less than half its size is
// drawn from a smoothly halved copy, kept until the image changes, so that
// fine detail averages out instead of breaking up.
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
    // The image, or its smallest halved copy still at least `target` (device pixels).
    const QPixmap& sourceFor(QSize target);

    QPixmap m_image;
    // m_image halved once, twice, ... (made as they are first needed).
    QList<QPixmap> m_halves;
    Mode m_mode = Mode::ScaleToFill;
    QMargins m_caps;
    QColor m_background = Qt::transparent;
};

}
