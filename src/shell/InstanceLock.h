#pragma once

#include <QString>

// One running instance per home: an exclusive lock on a file in the home,
// held for as long as the object lives. The system drops it when the
// process ends, however it ends, so a crash never leaves a stale lock.
class InstanceLock {
public:
    static constexpr const char* kFileName = ".padolvo.lock";

    // Takes the lock of home (created when missing); see isHeld().
    explicit InstanceLock(const QString& home);
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    bool isHeld() const { return m_fd >= 0; }
    // Why the lock is not held, for the user; empty when it is.
    const QString& refusal() const { return m_refusal; }

    // For main(): takes home's lock for the rest of the process. On failure
    // the reason goes to standard error and false comes back; the caller
    // then exits with a non-zero status before anything else opens.
    static bool holdForProcess(const QString& home);

private:
    int m_fd = -1;
    QString m_refusal;
};
