#pragma once

class IdleTimer;

// One reference on the idle timer, given back when destroyed or released.
class IdleTimerHold {
public:
    IdleTimerHold() = default;
    ~IdleTimerHold() { release(); }
    IdleTimerHold(IdleTimerHold&& other) noexcept;
    IdleTimerHold& operator=(IdleTimerHold&& other) noexcept;
    IdleTimerHold(const IdleTimerHold&) = delete;
    IdleTimerHold& operator=(const IdleTimerHold&) = delete;

    bool isActive() const { return m_timer != nullptr; }
    void release();

private:
    friend class IdleTimer;
    explicit IdleTimerHold(IdleTimer* timer) : m_timer(timer) {}

    IdleTimer* m_timer = nullptr;
};
