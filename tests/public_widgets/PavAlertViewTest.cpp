#include "Public/PavAlertView.h"
#include "platform/core/AppLifecycle.h"
#include "platform/ui/Canvas.h"

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
