#include "Public/ZoDadiUsageInfoManager.h"

#include "Public/SqliteDBManager.h"
#include "platform/core/AppHome.h"

namespace {
const char* const kSchema =
    "CREATE TABLE IF NOT EXISTS usage_info (type INTEGER, time INTEGER);"
    "CREATE INDEX IF NOT EXISTS usage_info_type_index ON usage_info (type ASC);";

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

bool ZoDadiUsageInfoManager::removeCrashRecords()
{
    if (!m_db)
        return false;
    QVariantList ids;
    QStringList marks;
    for (int id : kCrashEvents) {
        ids.append(id);
        marks.append("?");
    }
    return m_db->executeSql("DELETE FROM usage_info WHERE type IN (" + marks.join(", ") + ")", ids);
}
