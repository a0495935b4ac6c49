#pragma once

#include <QtGlobal>

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <set>
#include <mutex>

// The memory picture decodes may hold at once. Every decode reserves what
// its header says it will need (see DecodeCost) before it starts and gives
// it back when it ends, so however many threads decode, together they stay
// within the capacity. A reservation that does not fit beside those held
// waits until it does, in turn: while one waits, later ones wait behind it,
// so a large decode is not starved by a stream of small ones. One larger
// than the whole capacity is refused at once.
//
// Any thread. A reservation must not be asked for while the same thread
// holds another (it could wait for itself). A wait ends only as reservations
// are released, or, when the waiting thread has a StopCheck, as soon as it
// answers true (asked at least every 20 ms): the wait then gives up, not
// granted, and the caller shows its placeholder. The main thread never
// waits, or the window would freeze behind other threads' decodes: there a
// reservation is granted at once, before any that wait, when it fits beside
// those held with an allowance of a sixteenth of the capacity (its decodes
// are thumbnails and icons, one at a time), and is refused otherwise.
// Destruction expects every reservation back.
class DecodeMemoryBudget {
public:
    static constexpr qint64 kProcessBytes = qint64(1) << 30;

    // The process's budget, of kProcessBytes.
    static DecodeMemoryBudget& shared();

    explicit DecodeMemoryBudget(qint64 capacity);
    DecodeMemoryBudget(const DecodeMemoryBudget&) = delete;
    DecodeMemoryBudget& operator=(const DecodeMemoryBudget&) = delete;

    // Held bytes, given back on destruction. False when it was not granted.
    class Reservation {
    public:
        Reservation() = default;
        Reservation(Reservation&& other) noexcept;
        Reservation& operator=(Reservation&& other) noexcept;
        ~Reservation();

        explicit operator bool() const { return m_budget != nullptr; }
        qint64 bytes() const { return m_bytes; }

    private:
        friend class DecodeMemoryBudget;
        Reservation(DecodeMemoryBudget* budget, qint64 bytes) : m_budget(budget), m_bytes(bytes) {}
        void release();

        DecodeMemoryBudget* m_budget = nullptr;
        qint64 m_bytes = 0;
    };

    // Waits until `bytes` fit; not granted when they exceed the capacity,
    // this thread's StopCheck answered true while waiting, or on the main
    // thread when they do not fit even with its allowance.
    Reservation reserve(qint64 bytes);

    // While one lives, a wait for a reservation on this thread gives up once
    // `stopped` answers true (a pool being stopped, a request superseded).
    class StopCheck {
    public:
        explicit StopCheck(std::function<bool()> stopped);
        ~StopCheck();
        StopCheck(const StopCheck&) = delete;
        StopCheck& operator=(const StopCheck&) = delete;

    private:
        std::function<bool()> m_stopped;
        StopCheck* m_outer;
        friend class DecodeMemoryBudget;
    };

    // Whether this thread's StopCheck answers true now.
    static bool stopRequested();

    qint64 capacity() const { return m_capacity; }
    qint64 reserved() const;
    int waiting() const;

private:
    bool fits(uint64_t ticket, qint64 bytes) const;
    void give(qint64 bytes);

    const qint64 m_capacity;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    qint64 m_reserved = 0;
    uint64_t m_nextTicket = 0;
    std::set<uint64_t> m_waiters;   // tickets of those waiting, oldest first
};
