#pragma once

// The threads of this process from /proc/self/task (read with getdents64),
// in ascending id order, so the main thread (id = pid) comes first; at most
// kMaxThreads. Async-signal-safe.
class ThreadList {
public:
    static constexpr int kMaxThreads = 512;

    bool collect();
    int count() const { return m_count; }
    int tid(int i) const { return m_tids[i]; }
    int indexOf(int tid) const;   // -1 when absent

    static int currentTid();

private:
    int m_tids[kMaxThreads] = {};
    int m_count = 0;
    // getdents64 records hold 64-bit fields and are 8-byte padded, so the
    // buffer must start 8-byte aligned for them to be read in place.
    alignas(8) char m_dirents[16384];
};
