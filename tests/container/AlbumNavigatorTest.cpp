#include "albums/container/AlbumNavigator.h"

#include <gtest/gtest.h>

namespace {

struct Session {
    bool logined = false;
    bool verified = false;
    AlbumNavigator nav{[this] { return logined; }, [this] { return verified; }};
};

TEST(AlbumNavigatorTest, SelectPreviousFallsBackToTheDeviceAlbum)
{
    struct Case {
        int previous;
        bool logined;
        bool verified;
        int expected;
    };
    const Case cases[] = {
        {2, false, true, 0}, {2, true, false, 2}, {1, true, false, 0},
        {1, false, true, 1}, {0, false, false, 0}, {0, true, true, 0},
    };
    for (const Case& c : cases) {
        Session s;
        s.logined = c.logined;
        s.verified = c.verified;
        s.nav.select(c.previous);
        s.nav.select(c.previous == 0 ? 1 : 0);
        ASSERT_EQ(s.nav.previous(), c.previous);
        EXPECT_EQ(s.nav.selectPrevious(), c.expected) << c.previous << c.logined << c.verified;
        EXPECT_EQ(s.nav.shown(), c.expected);
        EXPECT_EQ(s.nav.previous(), c.expected);   // the fallback is stored back
    }
}

TEST(AlbumNavigatorTest, SwitchingNamesTheAlbumThatLeavesSelectionMode)
{
    Session s;
    EXPECT_EQ(s.nav.shown(), 0);
    EXPECT_EQ(s.nav.select(2), 0);
    EXPECT_EQ(s.nav.shown(), 2);
    EXPECT_EQ(s.nav.previous(), 0);
    // The album already shown, tapped again.
    EXPECT_EQ(s.nav.select(2), 2);
    EXPECT_EQ(s.nav.previous(), 2);

    for (int bad : {-1, 3, 1000}) {
        EXPECT_EQ(s.nav.select(bad), -1);
        EXPECT_EQ(s.nav.shown(), 2);
        EXPECT_EQ(s.nav.previous(), 2);
    }
}

TEST(AlbumNavigatorTest, SignInAndSettingsCloseRules)
{
    Session s;
    EXPECT_TRUE(s.nav.loginNeedsSwitch());
    EXPECT_FALSE(s.nav.settingsCloseNeedsReturn());   // not signed in, device album shown
    s.nav.select(2);
    EXPECT_FALSE(s.nav.loginNeedsSwitch());
    EXPECT_TRUE(s.nav.settingsCloseNeedsReturn());
    s.logined = true;
    EXPECT_FALSE(s.nav.settingsCloseNeedsReturn());
}

}

#include "albums/AlbumUsage.h"
#include "support/FakeUsageRecorder.h"

namespace {

TEST(AlbumUsageTest, DefaultRecorderGoesToTheSharedRecorder)
{
    FakeUsageRecorder recorder;
    AlbumUsage::defaultRecorder()(27123);
    EXPECT_EQ(recorder.types(), std::vector<int>{27123});
}

}
