#include "platform/core/AppLifecycle.h"

#include "platform/core/NotificationCenter.h"

AppLifecycle::AppLifecycle(NotificationCenter& center) : m_center(center) {}

AppLifecycle& AppLifecycle::shared()
{
    static AppLifecycle instance(NotificationCenter::defaultCenter());
    return instance;
}

void AppLifecycle::send(void (AppLifecycleDelegate::*message)(), const char* notification)
{
    if (auto* delegate = m_delegate.get())
        (delegate->*message)();
    m_center.post(QString::fromLatin1(notification));
}

void AppLifecycle::becomeActive()
{
    if (m_state != State::Inactive)
        return;
    m_terminated = false;
    m_state = State::Active;
    send(&AppLifecycleDelegate::applicationDidBecomeActive, kDidBecomeActiveNotification);
}

void AppLifecycle::enterBackground()
{
    if (m_state == State::Background)
        return;
    if (m_state == State::Active) {
        m_state = State::Inactive;
        send(&AppLifecycleDelegate::applicationWillResignActive, kWillResignActiveNotification);
    }
    m_state = State::Background;
    send(&AppLifecycleDelegate::applicationDidEnterBackground, kDidEnterBackgroundNotification);
}

void AppLifecycle::enterForeground()
{
    if (m_state != State::Background)
        return;
    m_state = State::Inactive;
    send(&AppLifecycleDelegate::applicationWillEnterForeground, kWillEnterForegroundNotification);
    m_state = State::Active;
    send(&AppLifecycleDelegate::applicationDidBecomeActive, kDidBecomeActiveNotification);
}

void AppLifecycle::terminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    m_state = State::Inactive;
    send(&AppLifecycleDelegate::applicationWillTerminate, kWillTerminateNotification);
}
