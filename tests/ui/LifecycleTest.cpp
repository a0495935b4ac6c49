#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/WindowLifecycleWatcher.h"

#include <QWidget>

#include <gtest/gtest.h>

namespace {

struct Recorder : AppLifecycleDelegate {
    QStringList calls;
    void applicationDidBecomeActive() override { calls << "didBecomeActive"; }
    void applicationWillResignActive() override { calls << "willResignActive"; }
    void applicationDidEnterBackground() override { calls << "didEnterBackground"; }
    void applicationWillEnterForeground() override { calls << "willEnterForeground"; }
    void applicationWillTerminate() override { calls << "willTerminate"; }
};

}

TEST(AppLifecycle, TransitionsRunInOrderDelegateBeforeObservers)
{
    NotificationCenter center;
    AppLifecycle lifecycle(center);
    Recorder delegate;
    lifecycle.setDelegate(&delegate);
    QStringList posted;
    auto token = center.addObserver(AppLifecycle::kDidEnterBackgroundNotification, [&](const QVariantMap&) {
        posted << QString("observer after %1").arg(delegate.calls.last());
    });

    lifecycle.becomeActive();
    lifecycle.enterBackground();
    lifecycle.enterBackground();   // already there: nothing
    lifecycle.enterForeground();
    lifecycle.enterForeground();   // already active: nothing
    lifecycle.terminate();
    EXPECT_EQ(delegate.calls, (QStringList{"didBecomeActive", "willResignActive", "didEnterBackground",
                                           "willEnterForeground", "didBecomeActive", "willTerminate"}));
    EXPECT_EQ(posted, (QStringList{"observer after didEnterBackground"}));
}

TEST(WindowLifecycleWatcher, MinimisingOrHidingIsTheBackgroundAndReturningIsTheForeground)
{
    NotificationCenter center;
    AppLifecycle lifecycle(center);
    Recorder delegate;
    lifecycle.setDelegate(&delegate);
    QWidget window;
    ui::WindowLifecycleWatcher watcher(&window, lifecycle);
    window.show();
    lifecycle.becomeActive();
    delegate.calls.clear();

    window.showMinimized();
    EXPECT_EQ(lifecycle.state(), AppLifecycle::State::Background);
    window.showNormal();
    EXPECT_EQ(lifecycle.state(), AppLifecycle::State::Active);
    window.hide();
    EXPECT_EQ(lifecycle.state(), AppLifecycle::State::Background);
    window.show();
    EXPECT_EQ(lifecycle.state(), AppLifecycle::State::Active);
    EXPECT_EQ(delegate.calls, (QStringList{"willResignActive", "didEnterBackground", "willEnterForeground",
                                           "didBecomeActive", "willResignActive", "didEnterBackground",
                                           "willEnterForeground", "didBecomeActive"}));

    QWidget other;
    other.show();
    other.activateWindow();   // focus elsewhere is neither
    EXPECT_EQ(lifecycle.state(), AppLifecycle::State::Active);
}
