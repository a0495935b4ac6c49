#pragma once

#include "platform/core/UsageRecorder.h"

#include <mutex>
#include <set>
#include <vector>

// Keeps recorded usage events in memory (a crash's events once per key). While alive it is the shared
// recorder (UsageRecorder::shared()); the previous one is restored after.
class FakeUsageRecorder final : public UsageRecorder {
public:
    FakeUsageRecorder();
    ~FakeUsageRecorder() override;

    bool insertRecordForType(int type) override;
    bool insertCrashRecords(qint64 crashKey, const std::vector<int>& types) override;
    bool revertExCrash() override;
    bool removeCrashRecordsBefore(qint64 secondsSince1970) override;

    std::vector<int> types() const;
    int revertCalls() const;
    // The times given to removeCrashRecordsBefore, in order.
    std::vector<qint64> removedBefore() const;
    // Makes every call answer false (the events are still kept).
    void setFailing(bool failing);

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_types;
    std::set<qint64> m_crashKeys;
    int m_revertCalls = 0;
    std::vector<qint64> m_removedBefore;
    bool m_failing = false;
    UsageRecorder* m_previous;
};
