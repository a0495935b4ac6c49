#pragma once

#include <QStringList>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

// FIFOs planted where a program expects its own files. While a watch lives,
// a reader still stuck on one of them (in its open or its read) after the
// grace period is let go, again and again, so that a test whose code waits
// on a FIFO fails (fired()) instead of hanging.
class FifoWatch {
public:
    explicit FifoWatch(QStringList fifos, int graceMs = 3000);
    ~FifoWatch();
    FifoWatch(const FifoWatch&) = delete;
    FifoWatch& operator=(const FifoWatch&) = delete;

    static bool make(const QString& path);
    // Whether the grace period ran out while the watch lived.
    bool fired() const { return m_fired; }

private:
    const QStringList m_fifos;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_ended = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};
