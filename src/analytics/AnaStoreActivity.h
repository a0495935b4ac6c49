#pragma once

#include <atomic>

// Counts the threads inside the record store, so the crash writer can tell
// from a signal handler whether running the record step is safe: a crash
// that lands while any thread (the crashing one included) is inside the
// store leaves its report for the next launch instead. Every store
// operation holds a Scope for its whole duration.
class AnaStoreActivity {
public:
    class Scope {
    public:
        Scope() { s_inside.fetch_add(1, std::memory_order_acq_rel); }
        ~Scope() { s_inside.fetch_sub(1, std::memory_order_acq_rel); }
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;
    };

    // Async-signal-safe.
    static bool isFree() { return s_inside.load(std::memory_order_acquire) == 0; }

private:
    static inline std::atomic<int> s_inside{0};
};
