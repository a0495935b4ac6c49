#pragma once

#include <QList>
#include <QMargins>
#include <QPixmap>
#include <QTimer>
#include <QWidget>

namespace ui {

// An image in a frame: scaled to fill, fitted or filled keeping its aspect,
// or centred; with caps, stretched keeping its edges (a stretchable image).
// A null image draws nothing. An image drawn smaller than its size is drawn
// pixel for pixel from a copy made at the size shown, kept until the image
// or that size changes: at once a quick area average (from halved copies,
// kept too), and once the size has stayed put for kSettleMs (a zoom
// animation resizes it every frame) a finer one (ui::downscaled), in which
// fine regular detail averages out instead of leaving stripes.
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

    static constexpr int kSettleMs = 80;
    // A finer copy for the size last drawn is on its way.
    bool isRefining() const { return m_settle->isActive(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The image when it is not larger than `target` (device pixels), else a
    // copy of exactly that size.
    const QPixmap& sourceFor(QSize target);
    // The finer copy for the size shown, in place of the quick one.
    void refineFitted();
    // The image, or its smallest halved copy at least `factor` times `target`.
    const QPixmap& halvedFor(QSize target, int factor);

    QPixmap m_image;
    // m_image halved once, twice, ... (made as they are first needed).
    QList<QPixmap> m_halves;
    // The copy drawn, the size it was made for, and whether it is the finer one.
    QPixmap m_fitted;
    QSize m_fittedTarget;
    bool m_fittedFine = false;
    QTimer* m_settle;
    Mode m_mode = Mode::ScaleToFill;
    QMargins m_caps;
    QColor m_background = Qt::transparent;
};

}
