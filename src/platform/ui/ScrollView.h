#pragma once

#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QWidget>

class QVariantAnimation;

namespace ui {

// A scrolling area: a content layer larger than the view, moved by dragging
// (and by the wheel), with optional paging (a released drag settles on a
// whole page) and optional zooming of one view of the content.
//
// Children go into contentWidget(), in content coordinates. The offset is
// kept within the content, except that a bouncing view lets a drag pull it
// past an edge (with growing resistance) and springs back once released;
// it bounces only along an axis whose content is larger than the view.
// A view whose content cannot move (no scrolling, or content no larger than
// the view) ignores presses, so they reach the widgets beneath it (an outer
// scroll view, say).
//
// Signals follow a drag: draggingEnded(willDecelerate) on release, then,
// when the content still moves (to settle on a page, or, for a zooming
// view, to glide on after a fling), deceleratingBegan and, once it
// stopped, deceleratingEnded. A zoom reports zoomingEnded once it stopped,
// at its final scale or where an interruption left it.
class ScrollView : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSettleMs = 250;
    static constexpr int kZoomMs = 300;

    explicit ScrollView(QWidget* parent = nullptr);

    QWidget* contentWidget() const { return m_content; }

    QSizeF contentSize() const { return m_contentSize; }
    void setContentSize(const QSizeF& size);
    QPointF contentOffset() const { return m_offset; }
    void setContentOffset(const QPointF& offset, bool animated = false);
    // Scrolls by the least amount that shows rect (content coordinates).
    void scrollRectToVisible(const QRectF& rect, bool animated);
    QPointF maximumOffset() const;
    // Moves the content to target (clamped) as the settling after a drag
    // does, between deceleratingBegan and deceleratingEnded.
    void decelerateTo(const QPointF& target);

    bool isPagingEnabled() const { return m_paging; }
    void setPagingEnabled(bool paging) { m_paging = paging; }
    bool bounces() const { return m_bounces; }
    void setBounces(bool bounces) { m_bounces = bounces; }
    bool isScrollEnabled() const { return m_scrollEnabled; }
    void setScrollEnabled(bool enabled) { m_scrollEnabled = enabled; }
    // Off: the view and its content take no input (it reaches what lies beneath).
    bool isUserInteractionEnabled() const;
    void setUserInteractionEnabled(bool enabled);
    bool isDragging() const { return m_dragging; }
    bool isDecelerating() const;

    // Zooming: the zoom view is laid at the content's origin with the view's
    // size times the zoom scale, and the content takes its size.
    void setZoomView(QWidget* view);
    QWidget* zoomView() const { return m_zoomView; }
    double zoomScale() const { return m_zoom; }
    void setZoomScale(double scale, bool animated = false);
    // Zooms to scale and scrolls to offset (clamped) together.
    void zoomTo(double scale, const QPointF& offset, bool animated);
    double minimumZoomScale() const { return m_minZoom; }
    double maximumZoomScale() const { return m_maxZoom; }
    void setMinimumZoomScale(double scale) { m_minZoom = scale; }
    void setMaximumZoomScale(double scale) { m_maxZoom = scale; }

signals:
    void draggingEnded(bool willDecelerate);
    void deceleratingBegan();
    void deceleratingEnded();
    void scrolled();
    void zoomingEnded(double scale);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    bool canMove() const;
    QPointF clamped(const QPointF& offset) const;
    // Where a drag to `offset` shows the content: clamped, or pulled past
    // the edges with resistance when bouncing.
    QPointF dragged(const QPointF& offset) const;
    void applyOffset(const QPointF& offset);
    void applyZoom(double scale);
    void stopAnimation();
    QPointF pageTarget(const QPointF& releaseVelocity) const;
    QPointF glideTarget(const QPointF& releaseVelocity) const;

    QWidget* m_content;
    QPointer<QWidget> m_zoomView;
    QSizeF m_contentSize;
    QPointF m_offset;
    bool m_paging = false;
    bool m_bounces = false;
    bool m_scrollEnabled = true;
    double m_zoom = 1.0;
    double m_minZoom = 1.0;
    double m_maxZoom = 1.0;

    bool m_pressed = false;
    bool m_dragging = false;
    QPointF m_pressPos;
    QPointF m_pressOffset;
    QPointF m_lastPos;
    qint64 m_lastTime = 0;
    QPointF m_velocity;  // points per millisecond
    QVariantAnimation* m_animation = nullptr;
    bool m_settling = false;
    bool m_zooming = false;
};

}
