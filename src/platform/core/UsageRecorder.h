#pragma once

#include <QtGlobal>

#include <atomic>
#include <vector>

// Usage-event ids of the crash counters (see ZoDadiUsageInfoManager).
enum UsageCrashEvent {
    UsageEventCrash = 27230,                 // a crash (ten or fewer that day)
    UsageEventCrashWhileActive = 27298,      // ... with the application in front
    UsageEventCrashNoApt = 27330,            // a crash on a device without apt
    UsageEventCrashWhileActiveNoApt = 27331,
    UsageEventManyCrashes = 27334,           // more than ten crashes that day
    UsageEventManyCrashesNoApt = 27335,
};

// Records numbered usage events. The application's store implements it
// (ZoDadiUsageInfoManager); libraries below it reach the store through
// shared(), and tests inject a fake.
class UsageRecorder {
public:
    virtual ~UsageRecorder() = default;

    // Records one occurrence of the event at the current time.
    virtual bool insertRecordForType(int type) = 0;
    // Records the events of one crash, in order, once: the crash's key (its
    // time in milliseconds) is kept with them, and a key recorded before
    // adds nothing. True when the events are recorded, now or before.
    virtual bool insertCrashRecords(qint64 crashKey, const std::vector<int>& types) = 0;
    // Relabels 27230 rows as 27334 and 27330 rows as 27335, each only when
    // 31 or more exist; true when both steps succeed.
    virtual bool revertExCrash() = 0;
    // Removes the crash usage events (the ids above) recorded before the
    // given time (seconds since 1970), as a new version starts.
    virtual bool removeCrashRecordsBefore(qint64 secondsSince1970) = 0;

    // The process-wide recorder; nullptr until the application sets one.
    static UsageRecorder* shared() { return s_shared.load(std::memory_order_acquire); }
    static void setShared(UsageRecorder* recorder) { s_shared.store(recorder, std::memory_order_release); }

private:
    static inline std::atomic<UsageRecorder*> s_shared{nullptr};
};
