#pragma once

#include "platform/core/Clock.h"
#include "platform/core/UsageRecorder.h"

#include <QString>

#include <memory>

class SqliteDBManager;

// The usage-event recorder over the SQLite store "Documents/resource"
// (table usage_info: one row per occurrence, the event id and the time in
// seconds since 1970; table usage_crash: the keys of the latest crashes
// whose events are recorded).
class ZoDadiUsageInfoManager final : public UsageRecorder {
public:
    // Opens (or creates) the store at databasePath; the clock stamps rows.
    explicit ZoDadiUsageInfoManager(const QString& databasePath, const Clock& clock = Clock::system());
    ~ZoDadiUsageInfoManager() override;

    // The process-wide recorder on the current home's store, made on first call.
    static ZoDadiUsageInfoManager& sharedSoftUsageInfoManager();
    static QString defaultDatabasePath();

    // False when the store could not be opened; every call then fails.
    bool isOpen() const { return m_db != nullptr; }

    bool insertRecordForType(int type) override;
    bool insertCrashRecords(qint64 crashKey, const std::vector<int>& types) override;
    bool revertExCrash() override;
    bool removeCrashRecordsBefore(qint64 secondsSince1970) override;

    // Rows of one event id; -1 when the store cannot be read.
    int recordCountForType(int type);

    // Rows of an event that revertExCrash leaves alone below this count.
    static constexpr int kRevertThreshold = 31;

private:
    bool relabelWhenFrequent(int from, int to);

    std::unique_ptr<SqliteDBManager> m_db;
    const Clock& m_clock;
};
