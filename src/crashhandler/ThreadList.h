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
    char m_dirents[16384];
};
