#include "albums/widgets/PavDoubleSlider.h"

#include "platform/ui/Animations.h"
#include "platform/ui/ImageView.h"

#include <QMouseEvent>

#include <algorithm>

namespace {
QLabel* whiteLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(18);
    label->setFont(font);
    label->setAlignment(Qt::AlignCenter);
    label->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    return label;
}
}

PavDoubleSlider::PavDoubleSlider(const QRect& frame, const QString& leftTitle, const QString& rightTitle,
                                 QWidget* parent)
    : QWidget(parent), m_logic(frame.width())
{
    setGeometry(frame);
    m_sliderBgImageView = new ui::ImageView(QStringLiteral("PavDoubleSlider_bg_iPad.png"), this);
    m_sliderBgImageView->setGeometry(rect());
    m_sliderBgImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    const int h = frame.height();
    m_scrollView = new QWidget(this);
    m_scrollView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_scrollView->setGeometry(0, 0, static_cast<int>(m_logic.contentWidth()), h);
    // The knob sits in the middle of the strip, a title on either side, so
    // the window shows one title beside the knob at each end.
    const int stripWidth = m_scrollView->width();
    const int knob = std::min(h - 8, 34);
    m_sliderImageView = new ui::ImageView(QStringLiteral("PavDoubleSlider_ball_iPad.png"), m_scrollView);
    m_sliderImageView->setGeometry((stripWidth - knob) / 2, (h - knob) / 2, knob, knob);
    m_leftLabel = whiteLabel(leftTitle, m_scrollView);
    m_leftLabel->setGeometry(0, 0, (stripWidth - knob) / 2, h);
    m_rightLabel = whiteLabel(rightTitle, m_scrollView);
    m_rightLabel->setGeometry((stripWidth + knob) / 2, 0, (stripWidth - knob) / 2, h);
    m_maskImageView = new ui::ImageView(QStringLiteral("PavDoubleSlider_mask_iPad.png"), this);
    m_maskImageView->setGeometry(rect());
    m_maskImageView->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_lockout.setSingleShot(true);
    m_lockout.setInterval(SwitchLogic::kLockoutMs);
    connect(&m_lockout, &QTimer::timeout, this, [this] {
        if (PavDoubleSliderDelegate* d = m_delegate.get())
            d->valueChangedInSlider(this);
    });
}

void PavDoubleSlider::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_logic = SwitchLogic(width());
    setOffset(m_logic.offsetFor(m_type));
}

void PavDoubleSlider::setOffset(double offset)
{
    m_offset = std::clamp(offset, 0.0, m_logic.offsetFor(1));
    m_scrollView->move(-static_cast<int>(m_offset), 0);
}

void PavDoubleSlider::setSliderType(int type, bool animated)
{
    m_type = type == 0 ? 0 : 1;
    const double target = m_logic.offsetFor(m_type);
    if (animated && ui::Animations::enabled()) {
        m_offset = target;
        ui::Animations::animateGeometry(m_scrollView, QRect(-static_cast<int>(target), 0, m_scrollView->width(), m_scrollView->height()), 200);
    } else {
        setOffset(target);
    }
}

void PavDoubleSlider::flipTo(int type)
{
    setSliderType(type, true);
    m_lockout.start();  // the delegate hears of it when the lockout ends
}

void PavDoubleSlider::singleTapGestureCaptured()
{
    if (isInTransition())
        return;
    flipTo(1 - m_type);
}

void PavDoubleSlider::releaseDrag(double offset)
{
    if (isInTransition())
        return;
    const SwitchLogic::Release r = m_logic.release(offset, m_type);
    if (r.change)
        flipTo(r.target);
    else
        setSliderType(m_type, true);  // snaps back exactly, no message
}

void PavDoubleSlider::mousePressEvent(QMouseEvent* event)
{
    m_pressX = event->position().toPoint().x();
    m_pressOffset = m_offset;
    m_dragged = false;
}

void PavDoubleSlider::mouseMoveEvent(QMouseEvent* event)
{
    if (isInTransition())
        return;
    const int dx = event->position().toPoint().x() - m_pressX;
    if (std::abs(dx) > 3)
        m_dragged = true;
    if (m_dragged)
        setOffset(m_pressOffset - dx);
}

void PavDoubleSlider::mouseReleaseEvent(QMouseEvent*)
{
    if (m_dragged)
        releaseDrag(m_offset);
    else
        singleTapGestureCaptured();
}
