#pragma once

#include "platform/sys/IdleTimerHold.h"

#include <memory>
#include <mutex>

class IdleInhibitBackend;

// The application's idle timer: while at least one hold exists the display
// must not sleep. Holds are counted, so overlapping users (two batches, a
// video) release it only when the last one ends.
class IdleTimer {
public:
    // No backend: only the count is kept.
    explicit IdleTimer(std::unique_ptr<IdleInhibitBackend> backend = nullptr);
    ~IdleTimer();
    IdleTimer(const IdleTimer&) = delete;
    IdleTimer& operator=(const IdleTimer&) = delete;

    // The process-wide timer, with the screensaver inhibit of the session.
    static IdleTimer& shared();

    [[nodiscard]] IdleTimerHold hold();
    int holdCount() const;
    bool isHeld() const { return holdCount() > 0; }

private:
    friend class IdleTimerHold;
    void release();

    std::unique_ptr<IdleInhibitBackend> m_backend;
    mutable std::mutex m_mutex;
    int m_count = 0;
};
