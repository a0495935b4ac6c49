#include "disk/PavCloudAlbumManager.h"
#include "platform/core/PavDateUtil.h"
#include "platform/core/UserDefaults.h"
#include "support/FakeClock.h"

#include <gtest/gtest.h>

namespace {

TEST(DiskDirTest, RootDirIsTheFolderDirectlyBelowTheTop)
{
    auto top = std::make_shared<DiskDir>("", "root");
    auto album = std::make_shared<DiskDir>("PadOlvo相册", "k1", top);
    auto inner = std::make_shared<DiskDir>("2026", "k2", album);
    auto deeper = std::make_shared<DiskDir>("03", "k3", inner);
    EXPECT_EQ(deeper->rootDir(), album);
    EXPECT_EQ(album->rootDir(), album);
    EXPECT_EQ(top->rootDir(), top);
}

TEST(PavCloudAlbumManagerTest, CurrentDirFallsBackToTheAlbumFolderAndKeepsIt)
{
    UserDefaults defaults;
    PavCloudAlbumManager m([&]() -> UserDefaults& { return defaults; });
    EXPECT_EQ(m.currentDir(), nullptr);
    auto album = std::make_shared<DiskDir>("album", "k1");
    m.setCloudAlbumDir(album);
    EXPECT_EQ(m.currentDir(), album);
    m.setCloudAlbumDir(std::make_shared<DiskDir>("other", "k9"));
    EXPECT_EQ(m.currentDir(), album);   // taken once, then kept
    auto inner = std::make_shared<DiskDir>("inner", "k2", album);
    m.setCurrentDir(inner);
    EXPECT_EQ(m.currentDir(), inner);
}

TEST(PavCloudAlbumManagerTest, NoWifiNoticeOncePerDayAndRememberedAcrossStarts)
{
    UserDefaults defaults;
    FakeClock clock(QDateTime(QDate(2026, 3, 10), QTime(15, 30)));
    {
        PavCloudAlbumManager m([&]() -> UserDefaults& { return defaults; }, &clock);
        EXPECT_FALSE(m.noWifiAlertDate().isValid());
        EXPECT_TRUE(m.needAlertWhenNotWifi());
        EXPECT_EQ(m.noWifiAlertDate(), PavDateUtil::pavToday(clock));
        clock.advanceSeconds(3600);
        EXPECT_FALSE(m.needAlertWhenNotWifi());
    }
    PavCloudAlbumManager next([&]() -> UserDefaults& { return defaults; }, &clock);
    EXPECT_FALSE(next.needAlertWhenNotWifi());
    clock.advanceSeconds(24 * 3600);
    EXPECT_TRUE(next.needAlertWhenNotWifi());
    EXPECT_FALSE(next.needAlertWhenNotWifi());
    EXPECT_EQ(defaults.objectForKey("PavCloudAlbumNoWifiAlertDate").toDateTime(),
              PavDateUtil::pavToday(clock));
}

}
