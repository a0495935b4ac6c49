#include "Public/ZoDadiUsageInfoManager.h"

#include "Public/SqliteDBManager.h"
#include "platform/core/AppHome.h"

namespace {
const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS usage_info (type INTEGER, time INTEGER);"
    "CREATE INDEX IF NOT EXISTS usage_info_type_index ON usage_info (type ASC);"
    "CREATE TABLE IF NOT EXISTS usage_crash (crash INTEGER PRIMARY KEY);";

// Keys of the latest crashes kept to tell a recorded crash from a new one.
constexpr int kKeptCrashKeys = 64;

constexpr int kCrashEvents[] = {UsageEventCrash,      UsageEventCrashWhileActive,      UsageEventCrashNoApt,
                                UsageEventCrashWhileActiveNoApt, UsageEventManyCrashes, UsageEventManyCrashesNoApt};
}

ZoDadiUsageInfoManager::ZoDadiUsageInfoManager(const QString& databasePath, const Clock& clock)
    : m_db(SqliteDBManager::initWithFilePath(databasePath)), m_clock(clock)
{
    if (m_db && !m_db->executeScript(kSchema))
        m_db.reset();
}

ZoDadiUsageInfoManager::~ZoDadiUsageInfoManager() = default;

ZoDadiUsageInfoManager& ZoDadiUsageInfoManager::sharedSoftUsageInfoManager()
{
    static ZoDadiUsageInfoManager manager(defaultDatabasePath());
    return manager;
}

QString ZoDadiUsageInfoManager::defaultDatabasePath()
{
    return AppHome::current().documents() + "/resource";
}

bool ZoDadiUsageInfoManager::insertRecordForType(int type)
{
    if (!m_db)
        return false;
    return m_db->executeSql("INSERT INTO usage_info (type, time) VALUES (?, ?)",
                            {type, m_clock.now().toSecsSinceEpoch()});
}

bool ZoDadiUsageInfoManager::insertCrashRecords(qint64 crashKey, const std::vector<int>& types)
{
    if (!m_db)
        return false;
    const qint64 now = m_clock.now().toSecsSinceEpoch();
    // The key and the events commit together: a crash is recorded whole, once.
    return m_db->transaction([&] {
        int added = 0;
        if (!m_db->executeSqlWithAffectedRowNumber("INSERT OR IGNORE INTO usage_crash (crash) VALUES (?)", {crashKey},
                                                   &added))
            return false;
        if (added == 0)
            return true;
        for (int type : types)
            if (!m_db->executeSql("INSERT INTO usage_info (type, time) VALUES (?, ?)", {type, now}))
                return false;
        return m_db->executeSql("DELETE FROM usage_crash WHERE crash NOT IN "
                                "(SELECT crash FROM usage_crash ORDER BY crash DESC LIMIT ?)",
                                {kKeptCrashKeys});
    });
}

int ZoDadiUsageInfoManager::recordCountForType(int type)
{
    QList<QVariantList> rows;
    if (!m_db || !m_db->queryValues(&rows, "SELECT COUNT(*) FROM usage_info WHERE type = ?", {type}) || rows.isEmpty())
        return -1;
    return rows.first().value(0).toInt();
}

bool ZoDadiUsageInfoManager::relabelWhenFrequent(int from, int to)
{
    if (!m_db)
        return false;
    // Count and relabel in one transaction, so rows added meanwhile by
    // another connection cannot slip between the two.
    return m_db->transaction([&] {
        const int count = recordCountForType(from);
        if (count < 0)
            return false;
        if (count < kRevertThreshold)
            return true;
        return m_db->executeSql("UPDATE usage_info SET type = ? WHERE type = ?", {to, from});
    });
}

bool ZoDadiUsageInfoManager::revertExCrash()
{
    const bool first = relabelWhenFrequent(UsageEventCrash, UsageEventManyCrashes);
    const bool second = relabelWhenFrequent(UsageEventCrashNoApt, UsageEventManyCrashesNoApt);
    return first && second;
}

bool ZoDadiUsageInfoManager::removeCrashRecordsBefore(qint64 secondsSince1970)
{
    if (!m_db)
        return false;
    QVariantList binds;
    QStringList marks;
    for (int id : kCrashEvents) {
        binds.append(id);
        marks.append("?");
    }
    binds.append(secondsSince1970);
    return m_db->executeSql("DELETE FROM usage_info WHERE type IN (" + marks.join(", ") + ") AND time < ?", binds);
}
