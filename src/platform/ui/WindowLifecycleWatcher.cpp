#include "platform/ui/WindowLifecycleWatcher.h"

#include "platform/core/AppLifecycle.h"

#include <QEvent>
#include <QWidget>

namespace ui {

WindowLifecycleWatcher::WindowLifecycleWatcher(QWidget* window, AppLifecycle& lifecycle, QObject* parent)
    : QObject(parent), m_window(window), m_lifecycle(lifecycle)
{
    if (window)
        window->installEventFilter(this);
}

bool WindowLifecycleWatcher::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Hide:
        case QEvent::Show:
        case QEvent::WindowStateChange:
            update();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void WindowLifecycleWatcher::setSessionLocked(bool locked)
{
    m_sessionLocked = locked;
    update();
}

void WindowLifecycleWatcher::update()
{
    if (!m_window)
        return;
    const bool away = m_sessionLocked || !m_window->isVisible() || m_window->isMinimized();
    if (away)
        m_lifecycle.enterBackground();
    else
        m_lifecycle.enterForeground();
}

}
