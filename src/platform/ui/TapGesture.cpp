#include "platform/ui/TapGesture.h"

#include <QApplication>
#include <QChildEvent>
#include <QMouseEvent>
#include <QWidget>

namespace ui {

namespace {
constexpr int kTapSlop = 10;
}

TapGesture::TapGesture(QWidget* target, int taps) : QObject(target), m_target(target), m_taps(std::max(1, taps))
{
    m_interval.setSingleShot(true);
    m_interval.setInterval(QApplication::doubleClickInterval());
    connect(&m_interval, &QTimer::timeout, this, [this] { reset(true); });
    watch(target);
}

void TapGesture::watch(QObject* object)
{
    if (!object->isWidgetType())
        return;
    object->installEventFilter(this);
    for (QObject* child : object->children())
        watch(child);
}

void TapGesture::requireToFail(TapGesture* other)
{
    m_mustFail = other;
    if (!other)
        return;
    connect(other, &TapGesture::recognized, this, [this] {
        m_waiting = false;
        reset(false);
    });
    connect(other, &TapGesture::failed, this, [this] {
        if (m_waiting) {
            m_waiting = false;
            fire(m_waitingPos);
        }
    });
}

bool TapGesture::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ChildAdded) {
        watch(static_cast<QChildEvent*>(event)->child());
        return false;
    }
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseButtonDblClick && type != QEvent::MouseMove
        && type != QEvent::MouseButtonRelease)
        return false;
    auto* mouse = static_cast<QMouseEvent*>(event);
    // An event ignored by a child goes on to its parent: see it once.
    if (event == m_lastEvent && mouse->timestamp() == m_lastStamp)
        return false;
    m_lastEvent = event;
    m_lastStamp = mouse->timestamp();
    if (!m_target)
        return false;
    const QPoint global = mouse->globalPosition().toPoint();
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (mouse->button() == Qt::LeftButton) {
            m_pressed = true;
            m_moved = false;
            m_pressGlobal = global;
        }
        break;
    case QEvent::MouseMove:
        if (m_pressed && (global - m_pressGlobal).manhattanLength() > kTapSlop) {
            m_moved = true;
            reset(m_count > 0);
        }
        break;
    default:
        if (m_pressed && mouse->button() == Qt::LeftButton) {
            m_pressed = false;
            if (!m_moved)
                tapped(m_target->mapFromGlobal(global));
        }
        break;
    }
    Q_UNUSED(watched);
    return false;
}

void TapGesture::tapped(QPoint pos)
{
    ++m_count;
    if (m_count < m_taps) {
        m_interval.start();
        return;
    }
    m_interval.stop();
    m_count = 0;
    if (!m_mustFail) {
        fire(pos);
        return;
    }
    // The same release may make the other gesture: it decides first.
    if (m_mustFail->m_recognizedStamp == m_lastStamp && m_lastStamp != 0)
        return;
    m_waiting = true;
    m_waitingPos = pos;
    QTimer::singleShot(0, this, [this] {
        if (m_waiting && (!m_mustFail || !m_mustFail->isPossible())) {
            m_waiting = false;
            fire(m_waitingPos);
        }
    });
}

void TapGesture::fire(QPoint pos)
{
    m_recognizedStamp = m_lastStamp;
    emit recognized(pos);
}

void TapGesture::reset(bool fail)
{
    m_interval.stop();
    m_count = 0;
    if (fail)
        emit failed();
}

}
