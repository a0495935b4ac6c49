#include "platform/sys/IdleTimer.h"

#include "platform/sys/IdleInhibitBackend.h"
#include "platform/sys/ScreenSaverInhibit.h"

IdleTimer::IdleTimer(std::unique_ptr<IdleInhibitBackend> backend) : m_backend(std::move(backend)) {}

IdleTimer::~IdleTimer() = default;

IdleTimer& IdleTimer::shared()
{
    static IdleTimer timer(std::make_unique<ScreenSaverInhibit>());
    return timer;
}

IdleTimerHold IdleTimer::hold()
{
    std::lock_guard lock(m_mutex);
    if (m_count++ == 0 && m_backend)
        m_backend->setInhibited(true);
    return IdleTimerHold(this);
}

int IdleTimer::holdCount() const
{
    std::lock_guard lock(m_mutex);
    return m_count;
}

void IdleTimer::release()
{
    std::lock_guard lock(m_mutex);
    if (m_count > 0 && --m_count == 0 && m_backend)
        m_backend->setInhibited(false);
}
