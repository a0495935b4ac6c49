#include "Public/SqliteDBManager.h"
#include "Public/ZoDadiUsageInfoManager.h"
#include "support/FakeClock.h"
#include "support/ImageFixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {
class UsageInfoTest : public ::testing::Test {
protected:
    QString dbPath() const { return m_dir.path() + "/Documents/resource"; }
    void insert(ZoDadiUsageInfoManager& manager, int type, int times)
    {
        for (int i = 0; i < times; ++i)
            ASSERT_TRUE(manager.insertRecordForType(type));
    }

    QTemporaryDir m_dir;
    FakeClock m_clock;
};
}

TEST_F(UsageInfoTest, RecordsEachOccurrenceWithTheClocksTime)
{
    ZoDadiUsageInfoManager manager(dbPath(), m_clock);
    ASSERT_TRUE(manager.isOpen());
    ASSERT_TRUE(manager.insertRecordForType(27123));
    m_clock.advanceSeconds(90);
    ASSERT_TRUE(manager.insertRecordForType(27123));

    auto db = SqliteDBManager::initWithFilePath(dbPath());
    QList<QVariantList> rows;
    ASSERT_TRUE(db->queryValues(&rows, "SELECT type, time FROM usage_info ORDER BY time"));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0][0].toInt(), 27123);
    EXPECT_EQ(rows[0][1].toLongLong(), 1700000000);
    EXPECT_EQ(rows[1][1].toLongLong(), 1700000090);
}

TEST_F(UsageInfoTest, RevertExCrashRelabelsOnlyFromThirtyOneRows)
{
    ZoDadiUsageInfoManager manager(dbPath(), m_clock);
    insert(manager, UsageEventCrash, 30);
    insert(manager, UsageEventCrashNoApt, 31);
    insert(manager, UsageEventCrashWhileActive, 40);

    EXPECT_TRUE(manager.revertExCrash());
    EXPECT_EQ(manager.recordCountForType(UsageEventCrash), 30);
    EXPECT_EQ(manager.recordCountForType(UsageEventManyCrashes), 0);
    EXPECT_EQ(manager.recordCountForType(UsageEventCrashNoApt), 0);
    EXPECT_EQ(manager.recordCountForType(UsageEventManyCrashesNoApt), 31);
    EXPECT_EQ(manager.recordCountForType(UsageEventCrashWhileActive), 40);

    // The thirty-first crash row tips the first counter over too.
    insert(manager, UsageEventCrash, 1);
    EXPECT_TRUE(manager.revertExCrash());
    EXPECT_EQ(manager.recordCountForType(UsageEventCrash), 0);
    EXPECT_EQ(manager.recordCountForType(UsageEventManyCrashes), 31);
    EXPECT_EQ(manager.recordCountForType(UsageEventManyCrashesNoApt), 31);
}

TEST_F(UsageInfoTest, ACrashsEventsAreRecordedOnceAndANewVersionRemovesOnlyEarlierOnes)
{
    {
        ZoDadiUsageInfoManager manager(dbPath(), m_clock);
        for (int type : {27230, 27298, 27330, 27331, 27334, 27335, 27123})
            insert(manager, type, 2);
    }
    m_clock.advanceSeconds(60);
    // The new version's first launch counts a crash of its own, and the
    // next launch counts it again.
    for (int launch = 0; launch < 2; ++launch) {
        ZoDadiUsageInfoManager manager(dbPath(), m_clock);
        ASSERT_TRUE(manager.insertCrashRecords(1700000060000, {27230, 27330}));
    }
    ZoDadiUsageInfoManager manager(dbPath(), m_clock);
    EXPECT_TRUE(manager.removeCrashRecordsBefore(1700000060));
    for (int type : {27298, 27331, 27334, 27335})
        EXPECT_EQ(manager.recordCountForType(type), 0) << type;
    EXPECT_EQ(manager.recordCountForType(27230), 1);
    EXPECT_EQ(manager.recordCountForType(27330), 1);
    EXPECT_EQ(manager.recordCountForType(27123), 2);
}

TEST_F(UsageInfoTest, AStoreThatCannotOpenFailsEveryCall)
{
    ASSERT_TRUE(ImageFixtures::writeFile(m_dir.path() + "/Documents", "not a folder"));
    ZoDadiUsageInfoManager manager(dbPath(), m_clock);
    EXPECT_FALSE(manager.isOpen());
    EXPECT_FALSE(manager.insertRecordForType(27230));
    EXPECT_FALSE(manager.revertExCrash());
    EXPECT_FALSE(manager.insertCrashRecords(1, {27230}));
    EXPECT_FALSE(manager.removeCrashRecordsBefore(0));
    EXPECT_EQ(manager.recordCountForType(27230), -1);
}
