#pragma once

#include "platform/sys/IdleInhibitBackend.h"

#include <atomic>
#include <memory>

// Records what the idle timer asks of its backend. The counters are shared,
// so a test keeps reading them after handing the backend to an IdleTimer.
class FakeIdleInhibit : public IdleInhibitBackend {
public:
    struct Record {
        std::atomic<bool> inhibited{false};
        std::atomic<int> changes{0};
    };

    FakeIdleInhibit() : m_record(std::make_shared<Record>()) {}
    std::shared_ptr<const Record> record() const { return m_record; }

    void setInhibited(bool inhibited) override
    {
        m_record->inhibited = inhibited;
        ++m_record->changes;
    }

private:
    std::shared_ptr<Record> m_record;
};
