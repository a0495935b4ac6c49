#include "albums/settings/AccountSpace.h"
#include "albums/settings/AlbumSettingRows.h"

#include <gtest/gtest.h>

namespace {

using Action = AlbumSettingRows::Action;

TEST(AlbumSettingRowsTest, EachRowsActionFollowsPasswordBindingUnlockAndSignIn)
{
    struct Case {
        bool password;
        const char* binding;
        bool logined, verified;
        int bindingRows;
        Action row0, row1, row2;
    };
    const Case cases[] = {
        {false, "12345", false, false, 0, Action::SetPassword, Action::None, Action::CloudSignIn},
        {true, "", false, false, 1, Action::ChangePassword, Action::UnlockThenBind, Action::CloudSignIn},
        {true, "", false, true, 1, Action::ChangePassword, Action::Bind, Action::CloudSignIn},
        {true, "12345", true, false, 1, Action::ChangePassword, Action::ShowBinding, Action::None},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.password << c.binding << c.logined << c.verified);
        const AlbumSettingRows r({c.password, c.binding, c.logined, c.verified});
        EXPECT_EQ(r.numberOfRows(1), c.bindingRows);
        EXPECT_EQ(r.action(0), c.row0);
        EXPECT_EQ(r.action(1), c.row1);
        EXPECT_EQ(r.action(2), c.row2);
        EXPECT_EQ(r.isAccountPanel(2), c.logined);
    }
    EXPECT_EQ(AlbumSettingRows({true, "12345", false, false}).detail(1), "已关联12345");
}

TEST(AccountSpaceTest, TextAndBarWidth)
{
    EXPECT_EQ(AccountSpace::amountText(1 << 20, qint64(2) << 30), "1.0MB/2.0GB");
    EXPECT_EQ(AccountSpace::filledWidth(5, 0), std::nullopt) << "a zero total leaves the bar";
    EXPECT_EQ(AccountSpace::filledWidth(50, 100), 165.0);   // 16550 / 100, whole points
    // Sizes far beyond 32 bits, and more used than the total, stay on the bar.
    EXPECT_EQ(AccountSpace::filledWidth(qint64(3) << 40, qint64(6) << 40), 165.0);
    EXPECT_EQ(AccountSpace::filledWidth(INT64_MAX, INT64_MAX), 331.0);
    EXPECT_EQ(AccountSpace::filledWidth(200, 100), 331.0);
}

}
