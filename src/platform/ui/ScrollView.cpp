#include "platform/ui/ScrollView.h"

#include "platform/ui/Animations.h"

#include <QMouseEvent>
#include <QVariantAnimation>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace ui {

namespace {
constexpr double kDragSlop = 8.0;        // points before a press becomes a drag
constexpr double kFlickVelocity = 0.3;   // points per millisecond that turn a page
constexpr double kGlideMs = 150.0;       // how far a fling of a zoomed picture carries on
constexpr double kRubberBand = 0.55;     // resistance of a drag past an edge

// How far content dragged `excess` points past an edge shows, in a view
// `extent` points long: about half at first, never more than the view.
double rubberBanded(double excess, double extent)
{
    if (extent <= 0)
        return 0;
    const double sign = excess < 0 ? -1.0 : 1.0;
    const double x = std::abs(excess);
    return sign * (1.0 - 1.0 / (x * kRubberBand / extent + 1.0)) * extent;
}
}

ScrollView::ScrollView(QWidget* parent) : QWidget(parent), m_content(new QWidget(this))
{
    m_content->setObjectName(QStringLiteral("scrollContent"));
    m_content->setGeometry(rect());
}

void ScrollView::setContentSize(const QSizeF& size)
{
    m_contentSize = size;
    m_content->resize(std::max(width(), int(std::ceil(size.width()))), std::max(height(), int(std::ceil(size.height()))));
    applyOffset(clamped(m_offset));
}

QPointF ScrollView::maximumOffset() const
{
    return {std::max(0.0, m_contentSize.width() - width()), std::max(0.0, m_contentSize.height() - height())};
}

QPointF ScrollView::clamped(const QPointF& offset) const
{
    const QPointF max = maximumOffset();
    return {std::clamp(offset.x(), 0.0, max.x()), std::clamp(offset.y(), 0.0, max.y())};
}

QPointF ScrollView::dragged(const QPointF& offset) const
{
    const QPointF inside = clamped(offset);
    if (!m_bounces)
        return inside;
    // Only an axis along which the content scrolls is pulled past its edges:
    // a vertical drag on a row of pages leaves it where it is.
    const QPointF max = maximumOffset();
    return inside + QPointF(max.x() > 0 ? rubberBanded(offset.x() - inside.x(), width()) : 0.0,
                            max.y() > 0 ? rubberBanded(offset.y() - inside.y(), height()) : 0.0);
}

void ScrollView::applyOffset(const QPointF& offset)
{
    m_offset = offset;
    m_content->move(-int(std::lround(offset.x())), -int(std::lround(offset.y())));
    emit scrolled();
}

void ScrollView::stopAnimation()
{
    if (m_animation) {
        m_animation->disconnect(this);
        m_animation->stop();
        m_animation->deleteLater();
        m_animation = nullptr;
    }
    m_settling = false;  // a settle cut short by a new offset ends silently
    if (m_zooming) {
        m_zooming = false;  // a zoom cut short ends where it got to
        emit zoomingEnded(m_zoom);
    }
}

bool ScrollView::isDecelerating() const { return m_settling; }

void ScrollView::setContentOffset(const QPointF& offset, bool animated)
{
    stopAnimation();
    const QPointF target = clamped(offset);
    if (!animated || !Animations::enabled() || target == m_offset) {
        applyOffset(target);
        return;
    }
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(kSettleMs);
    m_animation->setStartValue(m_offset);
    m_animation->setEndValue(target);
    m_animation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { applyOffset(v.toPointF()); });
    m_animation->start();
}

void ScrollView::scrollRectToVisible(const QRectF& rect, bool animated)
{
    QPointF target = m_offset;
    if (rect.left() < m_offset.x())
        target.setX(rect.left());
    else if (rect.right() > m_offset.x() + width())
        target.setX(rect.right() - width());
    if (rect.top() < m_offset.y())
        target.setY(rect.top());
    else if (rect.bottom() > m_offset.y() + height())
        target.setY(rect.bottom() - height());
    setContentOffset(target, animated);
}

bool ScrollView::isUserInteractionEnabled() const { return !testAttribute(Qt::WA_TransparentForMouseEvents); }

void ScrollView::setUserInteractionEnabled(bool enabled)
{
    setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    if (!enabled) {
        m_pressed = false;
        m_dragging = false;
    }
}

void ScrollView::setZoomView(QWidget* view)
{
    m_zoomView = view;
    if (view) {
        view->setParent(m_content);
        view->show();
    }
    applyZoom(m_zoom);
}

void ScrollView::applyZoom(double scale)
{
    m_zoom = scale;
    const QSizeF size(width() * scale, height() * scale);
    if (m_zoomView)
        m_zoomView->setGeometry(0, 0, int(std::lround(size.width())), int(std::lround(size.height())));
    setContentSize(size);
}

void ScrollView::setZoomScale(double scale, bool animated)
{
    const double z = std::clamp(scale, m_minZoom, std::max(m_minZoom, m_maxZoom));
    // Keep the centre of the view where it is.
    const QPointF centre = (m_offset + QPointF(width() / 2.0, height() / 2.0)) / m_zoom;
    zoomTo(z, centre * z - QPointF(width() / 2.0, height() / 2.0), animated);
}

void ScrollView::zoomTo(double scale, const QPointF& offset, bool animated)
{
    stopAnimation();
    const double from = m_zoom;
    const QPointF fromOffset = m_offset;
    auto finalOffset = [this, offset] { return clamped(offset); };
    if (!animated || !Animations::enabled()) {
        applyZoom(scale);
        applyOffset(finalOffset());
        emit zoomingEnded(m_zoom);
        return;
    }
    // The target offset is known only at the end scale; compute it there.
    const double saved = m_zoom;
    m_zoom = scale;
    const QSizeF savedSize = m_contentSize;
    m_contentSize = QSizeF(width() * scale, height() * scale);
    const QPointF to = finalOffset();
    m_zoom = saved;
    m_contentSize = savedSize;

    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(kZoomMs);
    m_animation->setStartValue(0.0);
    m_animation->setEndValue(1.0);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this, [this, from, scale, fromOffset, to](const QVariant& v) {
        const double t = v.toDouble();
        applyZoom(from + (scale - from) * t);
        applyOffset(clamped(fromOffset + (to - fromOffset) * t));
    });
    connect(m_animation, &QVariantAnimation::finished, this, [this] {
        m_zooming = false;
        emit zoomingEnded(m_zoom);
    });
    m_zooming = true;
    m_animation->start();
}

bool ScrollView::canMove() const
{
    const QPointF max = maximumOffset();
    return m_scrollEnabled && (max.x() > 0 || max.y() > 0);
}

void ScrollView::mousePressEvent(QMouseEvent* event)
{
    // A zoomed picture springing back from past its edges is caught by a
    // press, as before it bounced: the press is not handed on (to the pages
    // it lies on, which would turn instead of the picture moving).
    const bool springingBack = m_settling && m_zoomView && clamped(m_offset) != m_offset;
    if (event->button() != Qt::LeftButton || !canMove() || (m_settling && !springingBack)) {
        event->ignore();
        return;
    }
    stopAnimation();
    m_pressed = true;
    m_dragging = false;
    m_pressPos = event->position();
    m_lastPos = m_pressPos;
    m_lastTime = qint64(event->timestamp());
    m_pressOffset = m_offset;
    m_velocity = {};
    event->accept();
}

void ScrollView::mouseDoubleClickEvent(QMouseEvent* event) { mousePressEvent(event); }

void ScrollView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_pressed) {
        event->ignore();
        return;
    }
    const QPointF pos = event->position();
    if (!m_dragging && (pos - m_pressPos).manhattanLength() < kDragSlop)
        return;
    m_dragging = true;
    const qint64 now = qint64(event->timestamp());
    if (now > m_lastTime)
        m_velocity = (pos - m_lastPos) / double(now - m_lastTime);
    m_lastPos = pos;
    m_lastTime = now;
    applyOffset(dragged(m_pressOffset - (pos - m_pressPos)));
}

QPointF ScrollView::pageTarget(const QPointF& velocity) const
{
    const double w = std::max(1, width());
    const double startPage = std::round(m_pressOffset.x() / w);
    const double moved = m_offset.x() - m_pressOffset.x();
    double page = std::round(m_offset.x() / w);
    if (moved > w / 2 || velocity.x() < -kFlickVelocity)
        page = startPage + 1;
    else if (moved < -w / 2 || velocity.x() > kFlickVelocity)
        page = startPage - 1;
    return clamped(QPointF(page * w, m_offset.y()));
}

void ScrollView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_pressed) {
        event->ignore();
        return;
    }
    m_pressed = false;
    if (!m_dragging) {
        // Caught on its way back from past an edge and let go: back inside.
        if (clamped(m_offset) != m_offset)
            decelerateTo(m_offset);
        return;
    }
    m_dragging = false;
    const QPointF target = m_paging ? pageTarget(m_velocity) : glideTarget(m_velocity);
    const bool decelerate = target != m_offset;
    emit draggingEnded(decelerate);
    if (decelerate)
        decelerateTo(target);
}

QPointF ScrollView::glideTarget(const QPointF& velocity) const
{
    const double speed = std::hypot(velocity.x(), velocity.y());
    if (!m_zoomView || speed <= kFlickVelocity)
        return clamped(m_offset);  // back inside after a bounce
    return clamped(m_offset - velocity * kGlideMs);
}

void ScrollView::decelerateTo(const QPointF& requested)
{
    const QPointF target = clamped(requested);
    m_settling = true;
    emit deceleratingBegan();
    auto finish = [this] {
        m_settling = false;
        emit deceleratingEnded();
    };
    if (!Animations::enabled()) {
        applyOffset(target);
        finish();
        return;
    }
    setContentOffset(target, true);
    if (!m_animation) {
        finish();
        return;
    }
    m_settling = true;  // setContentOffset ended any settle before this one
    connect(m_animation, &QVariantAnimation::finished, this, finish);
}

void ScrollView::wheelEvent(QWheelEvent* event)
{
    if (!canMove() || m_paging) {
        event->ignore();
        return;
    }
    QPoint delta = event->pixelDelta();
    if (delta.isNull())
        delta = event->angleDelta() / 2;
    // A vertical wheel scrolls a row that only scrolls sideways.
    const double dx = maximumOffset().y() > 0 ? delta.x() : (delta.x() != 0 ? delta.x() : delta.y());
    setContentOffset(m_offset - QPointF(dx, maximumOffset().y() > 0 ? delta.y() : 0), false);
    event->accept();
}

void ScrollView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_zoomView)
        applyZoom(m_zoom);
    else
        setContentSize(m_contentSize);
}

}
