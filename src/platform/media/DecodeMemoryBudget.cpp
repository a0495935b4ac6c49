#include "platform/media/DecodeMemoryBudget.h"

#include "platform/core/MainThread.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace {
thread_local DecodeMemoryBudget::StopCheck* t_stopCheck = nullptr;
constexpr auto kStopPoll = std::chrono::milliseconds(20);
}

DecodeMemoryBudget& DecodeMemoryBudget::shared()
{
    static DecodeMemoryBudget budget(kProcessBytes);
    return budget;
}

DecodeMemoryBudget::DecodeMemoryBudget(qint64 capacity) : m_capacity(std::max<qint64>(0, capacity)) {}

bool DecodeMemoryBudget::fits(uint64_t ticket, qint64 bytes) const
{
    // Nobody passes the oldest waiter, or it could wait for ever behind a
    // stream of smaller decodes.
    return m_reserved + bytes <= m_capacity && (m_waiters.empty() || *m_waiters.begin() == ticket);
}

DecodeMemoryBudget::Reservation DecodeMemoryBudget::reserve(qint64 bytes)
{
    bytes = std::max<qint64>(0, bytes);
    if (bytes > m_capacity)
        return {};
    const bool checked = t_stopCheck != nullptr;
    const bool mainThread = MainThread::isMainThread();
    std::unique_lock lock(m_mutex);
    if (mainThread) {
        if (m_reserved + bytes > m_capacity + m_capacity / 16)
            return {};
        m_reserved += bytes;
        return Reservation(this, bytes);
    }
    const uint64_t ticket = m_nextTicket++;
    if (!fits(ticket, bytes)) {
        m_waiters.insert(ticket);
        bool stopped = false;
        while (!fits(ticket, bytes)) {
            if (!checked) {
                m_changed.wait(lock);
                continue;
            }
            m_changed.wait_for(lock, kStopPoll);
            lock.unlock();
            stopped = stopRequested();
            lock.lock();
            if (stopped)
                break;
        }
        m_waiters.erase(ticket);
        // Whoever was second may now be first.
        m_changed.notify_all();
        if (stopped)
            return {};
    }
    m_reserved += bytes;
    return Reservation(this, bytes);
}

bool DecodeMemoryBudget::stopRequested()
{
    for (const StopCheck* c = t_stopCheck; c; c = c->m_outer)
        if (c->m_stopped())
            return true;
    return false;
}

void DecodeMemoryBudget::give(qint64 bytes)
{
    std::lock_guard lock(m_mutex);
    m_reserved -= bytes;
    m_changed.notify_all();
}

qint64 DecodeMemoryBudget::reserved() const
{
    std::lock_guard lock(m_mutex);
    return m_reserved;
}

int DecodeMemoryBudget::waiting() const
{
    std::lock_guard lock(m_mutex);
    return int(m_waiters.size());
}

DecodeMemoryBudget::Reservation::Reservation(Reservation&& other) noexcept
    : m_budget(std::exchange(other.m_budget, nullptr)), m_bytes(std::exchange(other.m_bytes, 0))
{
}

DecodeMemoryBudget::Reservation& DecodeMemoryBudget::Reservation::operator=(Reservation&& other) noexcept
{
    if (this != &other) {
        release();
        m_budget = std::exchange(other.m_budget, nullptr);
        m_bytes = std::exchange(other.m_bytes, 0);
    }
    return *this;
}

DecodeMemoryBudget::Reservation::~Reservation()
{
    release();
}

void DecodeMemoryBudget::Reservation::release()
{
    if (m_budget)
        m_budget->give(m_bytes);
    m_budget = nullptr;
    m_bytes = 0;
}

DecodeMemoryBudget::StopCheck::StopCheck(std::function<bool()> stopped)
    : m_stopped(std::move(stopped)), m_outer(t_stopCheck)
{
    if (m_stopped)
        t_stopCheck = this;
}

DecodeMemoryBudget::StopCheck::~StopCheck()
{
    if (m_stopped)
        t_stopCheck = m_outer;
}
