#include "Public/PavAlertView.h"
#include "platform/core/AppLifecycle.h"
#include "platform/ui/Canvas.h"
#include "support/EventLoop.h"

#include <gtest/gtest.h>

namespace {

struct Answers : ui::AlertDelegate {
    QList<int> dismissed;
    void alertViewDidDismissWithButtonIndex(ui::Alert*, int i) override { dismissed << i; }
};

struct Scene {
    NotificationCenter center;
    AppLifecycle lifecycle{center};
    ui::Canvas canvas;
    Answers answers;
    Scene() { lifecycle.becomeActive(); }
};

}

TEST(PavAlertView, EnteringTheBackgroundDismissesItSilentlyWithItsCancelButton)
{
    Scene s;
    auto* alert = new PavAlertView(s.lifecycle, "", "遗忘密码将无法进入隐私相册", &s.answers, "以后再说", {"立即设置"});
    alert->setTag(1023);
    int handled = 0, signalled = 0;
    alert->setDismissedHandler([&](int) { ++handled; });
    QObject::connect(alert, &ui::ChoiceDialog::dismissed, [&](int) { ++signalled; });
    alert->show(&s.canvas);

    s.lifecycle.enterBackground();
    EXPECT_TRUE(s.answers.dismissed.isEmpty()) << "the delegate hears nothing";
    EXPECT_EQ(handled, 0);
    EXPECT_EQ(signalled, 0);
    EXPECT_FALSE(alert->isShowing());
    EXPECT_EQ(ui::Alert::showingAlertWithTag(1023), nullptr);
}

TEST(PavAlertView, AnAlertDismissedByTheBackgroundLetsTheNextOneShow)
{
    Scene s;
    auto* up = new PavAlertView(s.lifecycle, "", "密码设置成功，请牢记你的密码！", &s.answers, "知道了");
    auto* next = new PavAlertView(s.lifecycle, "", "照片已成功导入隐私相册", &s.answers, "确定");
    next->setTag(100);
    up->show(&s.canvas);
    next->show(&s.canvas);
    EXPECT_TRUE(next->isWaiting());

    s.lifecycle.enterBackground();
    EXPECT_FALSE(up->isShowing());
    ASSERT_TRUE(waitUntil([&] { return next->isShowing(); }));
    EXPECT_EQ(ui::Alert::showingAlertWithTag(100), next);
    EXPECT_TRUE(s.answers.dismissed.isEmpty());
    next->clickButtonAtIndex(0);
    EXPECT_EQ(s.answers.dismissed, (QList<int>{0}));
}

TEST(PavAlertView, AnAlertAnsweredBeforeTheBackgroundKeepsItsAnswer)
{
    Scene s;
    auto* alert = new PavAlertView(s.lifecycle, "", "m", &s.answers, "确定");
    alert->show(&s.canvas);
    alert->clickButtonAtIndex(0);
    s.lifecycle.enterBackground();
    EXPECT_EQ(s.answers.dismissed, (QList<int>{0}));
}

TEST(PavAlertView, TheSharedLifecycleIsWatchedByDefault)
{
    ui::Canvas canvas;
    Answers answers;
    auto& shared = AppLifecycle::shared();
    shared.becomeActive();
    shared.enterForeground();
    auto* alert = new PavAlertView("", "m", &answers, "确定");
    alert->show(&canvas);
    shared.enterBackground();
    EXPECT_FALSE(alert->isShowing());
    EXPECT_TRUE(answers.dismissed.isEmpty());
    shared.enterForeground();
}
