#pragma once

#include "platform/core/UsageRecorder.h"

#include <mutex>
#include <vector>

// Keeps recorded usage events in memory. While alive it is the shared
// recorder (UsageRecorder::shared()); the previous one is restored after.
class FakeUsageRecorder final : public UsageRecorder {
public:
    FakeUsageRecorder();
    ~FakeUsageRecorder() override;

    bool insertRecordForType(int type) override;
    bool revertExCrash() override;
    bool removeCrashRecords() override;

    std::vector<int> types() const;
    int revertCalls() const;
    int removeCalls() const;
    // Makes every call answer false (the events are still kept).
    void setFailing(bool failing);

private:
    mutable std::mutex m_mutex;
    std::vector<int> m_types;
    int m_revertCalls = 0;
    int m_removeCalls = 0;
    bool m_failing = false;
    UsageRecorder* m_previous;
};
