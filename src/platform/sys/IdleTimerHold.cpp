#include "platform/sys/IdleTimerHold.h"

#include "platform/sys/IdleTimer.h"

#include <utility>

IdleTimerHold::IdleTimerHold(IdleTimerHold&& other) noexcept : m_timer(std::exchange(other.m_timer, nullptr)) {}

IdleTimerHold& IdleTimerHold::operator=(IdleTimerHold&& other) noexcept
{
    if (this != &other) {
        release();
        m_timer = std::exchange(other.m_timer, nullptr);
    }
    return *this;
}

void IdleTimerHold::release()
{
    if (IdleTimer* timer = std::exchange(m_timer, nullptr))
        timer->release();
}
