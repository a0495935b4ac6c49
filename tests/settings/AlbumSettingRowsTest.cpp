#include "albums/settings/AccountSpace.h"
#include "albums/settings/AlbumSettingRows.h"

#include <gtest/gtest.h>

namespace {

using Action = AlbumSettingRows::Action;

AlbumSettingRows rowsFor(bool password, QString binding, bool logined, bool verified = false)
{
    return AlbumSettingRows({password, std::move(binding), logined, verified});
}

TEST(AlbumSettingRowsTest, WithoutPasswordTheBindingSectionIsEmpty)
{
    const AlbumSettingRows r = rowsFor(false, "12345", false);
    EXPECT_EQ(r.text(0), "未开启");
    EXPECT_EQ(r.action(0), Action::SetPassword);
    EXPECT_EQ(r.tapEvent(0), 27124);
    EXPECT_EQ(r.numberOfRows(1), 0);
    EXPECT_EQ(r.footerHeight(1), 0);
    EXPECT_EQ(r.action(1), Action::None);
    EXPECT_EQ(r.headerTitle(0), "隐私相册");
    EXPECT_EQ(r.headerHeight(1), 0);
}

TEST(AlbumSettingRowsTest, TheBindingRowFollowsBindingAndUnlock)
{
    const AlbumSettingRows unbound = rowsFor(true, "", false, false);
    EXPECT_EQ(unbound.text(0), "修改密码");
    EXPECT_EQ(unbound.action(0), Action::ChangePassword);
    EXPECT_EQ(unbound.numberOfRows(1), 1);
    EXPECT_EQ(unbound.footerHeight(1), 26);
    EXPECT_EQ(unbound.text(1), "找回密码设置");
    EXPECT_EQ(unbound.detail(1), "未设置");
    EXPECT_EQ(unbound.action(1), Action::UnlockThenBind);
    EXPECT_EQ(unbound.tapEvent(1), 0);
    EXPECT_EQ(rowsFor(true, "", false, true).action(1), Action::Bind);

    const AlbumSettingRows bound = rowsFor(true, "12345", false, false);
    EXPECT_EQ(bound.detail(1), "已关联12345");
    EXPECT_EQ(bound.action(1), Action::ShowBinding);
}

TEST(AlbumSettingRowsTest, TheCloudRowIsTheSignInOrTheAccountPanel)
{
    const AlbumSettingRows out = rowsFor(false, "", false);
    EXPECT_EQ(out.headerTitle(2), "云端相册（与Ky网盘使用相同的云端存储）");
    EXPECT_EQ(out.text(2), "Ky账号未登录");
    EXPECT_EQ(out.rowHeight(2), 46);
    EXPECT_TRUE(out.showsArrow(2));
    EXPECT_EQ(out.action(2), Action::CloudSignIn);
    EXPECT_EQ(out.tapEvent(2), 27125);

    const AlbumSettingRows in = rowsFor(false, "", true);
    EXPECT_TRUE(in.isAccountPanel(2));
    EXPECT_EQ(in.rowHeight(2), 195);
    EXPECT_FALSE(in.showsArrow(2));
    EXPECT_EQ(in.action(2), Action::None);
    EXPECT_EQ(in.tapEvent(2), 0);
}

TEST(AccountSpaceTest, TextAndBarWidth)
{
    EXPECT_EQ(AccountSpace::amountText(1 << 20, qint64(2) << 30), "1.0MB/2.0GB");
    EXPECT_EQ(AccountSpace::filledWidth(5, 0), std::nullopt) << "a zero total leaves the bar";
    EXPECT_EQ(AccountSpace::filledWidth(100, 100), 331.0);
    EXPECT_EQ(AccountSpace::filledWidth(50, 100), 165.0);   // 16550 / 100, whole points
    EXPECT_EQ(AccountSpace::filledWidth(0, 100), 0.0);
    // Sizes far beyond 32 bits, and more used than the total, stay on the bar.
    EXPECT_EQ(AccountSpace::filledWidth(qint64(3) << 40, qint64(6) << 40), 165.0);
    EXPECT_EQ(AccountSpace::filledWidth(INT64_MAX, INT64_MAX), 331.0);
    EXPECT_EQ(AccountSpace::filledWidth(200, 100), 331.0);
}

}
