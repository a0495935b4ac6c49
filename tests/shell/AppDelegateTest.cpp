#include "albums/batch/PavPhotosProcessingView_iPad.h"
#include "albums/container/PavAlbumContainerController_iPad.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/store/PavPhotoManager.h"
#include "disk/DiskDir.h"
#include "disk/DiskManager.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/ui/Alert.h"
#include "platform/ui/ChoiceDialog.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/TabContainer.h"
#include "shell/AppDelegate.h"
#include "shell/LaunchHooks.h"
#include "platform/ui/ImageButton.h"
#include "shell/PaviPadTabBarViewControll.h"
#include "support/EventLoop.h"
#include "support/RecordingDiskResponse.h"
#include "support/Screenshot.h"
#include "support/ShownImage.h"
#include "support/Tap.h"
#include "support/TempHome.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// A delegate whose collaborators write into one log.
struct Harness {
    QStringList log;
    NotificationCenter center;
    AppLifecycle lifecycle{center};
    UserDefaults defaults;
    ObserverToken token;

    Harness()
    {
        token = center.addObserver("KyAlbumShouldCheckUpdateNotification",
                                   [this](const QVariantMap&) { log << "checkUpdate"; });
    }

    AppDelegate::Services services(const QString& version = "2.5.0")
    {
        AppDelegate::Services s;
        s.bundleVersion = version;
        s.setAlbumVerified = [this](bool v) { log << QString("verified=%1").arg(v); };
        s.cancelPrivateAlbumBatches = [this] { log << "cancelBatches"; };
        s.recordUsage = [this](int id) { log << QString("usage %1").arg(id); };
        s.albumTab = [] { return new ui::Screen; };
        s.defaults = &defaults;
        s.center = &center;
        s.lifecycle = &lifecycle;
        return s;
    }
};

struct HookGuard {
    ~HookGuard()
    {
        LaunchHooks::setCrashReport({});
        LaunchHooks::setRemovePreviousVersionCrashCounters({});
    }
};

}

TEST(AppDelegate, LaunchRunsTheCrashHookFirstThenBecomesActive)
{
    HookGuard hooks;
    Harness h;
    AppDelegate delegate(h.services());
    LaunchHooks::setCrashReport([&] {
        h.log << QString("crashReport window=%1").arg(delegate.window() != nullptr);
    });
    LaunchHooks::setRemovePreviousVersionCrashCounters([&] { h.log << "removeCounters"; });

    ASSERT_TRUE(delegate.didFinishLaunching());
    EXPECT_EQ(h.log, (QStringList{"crashReport window=0", "usage 27231", "removeCounters", "verified=0", "checkUpdate"}));
    EXPECT_EQ(h.defaults.stringForKey("PavLastVersion"), "2.5.0");
    EXPECT_EQ(AppDelegate::shared(), &delegate);
    EXPECT_EQ(h.lifecycle.state(), AppLifecycle::State::Active);
    ASSERT_NE(delegate.ipadViewController(), nullptr);
    EXPECT_EQ(delegate.window()->rootScreen(), delegate.ipadViewController());
    EXPECT_TRUE(delegate.ipadViewController()->selectedViewController()->isOnScreen());
}

TEST(AppDelegate, VersionCheckStoresOnlyANewerVersion)
{
    HookGuard hooks;
    struct Case {
        QVariant stored;   // invalid: absent
        QString current;
        bool removes;
    };
    const QList<Case> cases = {
        {QVariant(), "2.5.0", true},         {QString("2.4.9"), "2.5.0", true}, {QString("2.5.0"), "2.5.0", false},
        {QString("2.6.0"), "2.5.0", false},  {QString("2.9.0"), "2.10.0", true}, {QString(""), "2.5.0", true},
    };
    for (const Case& c : cases) {
        Harness h;
        if (c.stored.isValid())
            h.defaults.setObject("PavLastVersion", c.stored);
        int removed = 0;
        LaunchHooks::setRemovePreviousVersionCrashCounters([&] { ++removed; });
        AppDelegate delegate(h.services(c.current));
        delegate.didFinishLaunching();
        const QString label = c.stored.toString() + " -> " + c.current;
        EXPECT_EQ(removed, c.removes ? 1 : 0) << label.toStdString();
        EXPECT_EQ(h.defaults.stringForKey("PavLastVersion"), c.removes ? c.current : c.stored.toString())
            << label.toStdString();
    }
}

TEST(AppDelegate, BackgroundLocksAndCancelsAndBecomingActiveLocksAndAnnounces)
{
    Harness h;
    AppDelegate delegate(h.services());
    delegate.didFinishLaunching();
    h.log.clear();

    h.lifecycle.enterBackground();
    EXPECT_EQ(h.log, (QStringList{"verified=0", "cancelBatches"}));
    h.log.clear();
    h.lifecycle.enterForeground();
    EXPECT_EQ(h.log, (QStringList{"verified=0", "checkUpdate"}));
}

TEST(AppDelegate, MinimisingTheWindowIsTheBackground)
{
    Harness h;
    AppDelegate delegate(h.services());
    delegate.didFinishLaunching();
    h.log.clear();
    delegate.window()->showMinimized();
    EXPECT_EQ(h.lifecycle.state(), AppLifecycle::State::Background);
    EXPECT_TRUE(h.log.contains("cancelBatches"));
    delegate.window()->showNormal();
    EXPECT_EQ(h.lifecycle.state(), AppLifecycle::State::Active);
    EXPECT_EQ(h.log.last(), "checkUpdate");
}

TEST(AppDelegate, RealLaunchAgainstATemporaryHome)
{
    TempHome home;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    AppLifecycle lifecycle(center);
    int checks = 0;
    auto token = center.addObserver("KyAlbumShouldCheckUpdateNotification", [&](const QVariantMap&) { ++checks; });

    AppDelegate::Services services;
    services.lifecycle = &lifecycle;
    AppDelegate delegate(services);
    ASSERT_TRUE(delegate.didFinishLaunching());
    spinEvents(300);

    PaviPadViewController* root = delegate.ipadViewController();
    ASSERT_NE(root, nullptr);
    auto* container = qobject_cast<PavAlbumContainerController_iPad*>(root->selectedViewController());
    ASSERT_NE(container, nullptr) << "the album container is the tab shown";
    EXPECT_EQ(root->albumContainer(), container);
    EXPECT_TRUE(container->isOnScreen());
    EXPECT_EQ(container->selectedIndex(), 0);
    EXPECT_EQ(QRect(container->mapTo(root, QPoint(0, 0)), container->size()), QRect(150, 0, 874, 768));
    EXPECT_EQ(root->leftView()->width(), 150);
    EXPECT_EQ(checks, 1);
    EXPECT_EQ(UserDefaults::standardUserDefaults().stringForKey("PavLastVersion"), QStringLiteral(PAV_VERSION));

    PavAlbumPasswordManager::shareAlbumPasswordManager().setHasVerified(true);
    PavPhotoManager& store = PavPhotoManager::sharedPavPhotoManager();
    store.setNeedDecryptionCancel(false);
    store.setNeedDeletionCancel(false);
    lifecycle.enterBackground();
    EXPECT_FALSE(PavAlbumPasswordManager::shareAlbumPasswordManager().hasVerified());
    EXPECT_TRUE(store.needDecryptionCancel());
    EXPECT_TRUE(store.needDeletionCancel());
    lifecycle.enterForeground();
    EXPECT_EQ(checks, 2);
    store.setNeedDecryptionCancel(false);
    store.setNeedDeletionCancel(false);

    // The shared facade's failures reach the screen: one alert per text,
    // however often the same failure comes.
    RecordingDiskResponse sheet;
    sheet.allowAlerts = true;
    const auto dir = std::make_shared<DiskDir>("x", "nope");
    DiskManager::shareDiskManager().requestQueryDir(dir, &sheet);
    DiskManager::shareDiskManager().requestQueryDir(dir, &sheet);
    ASSERT_TRUE(waitUntil([&] { return sheet.log.count("list fail") == 2; }));
    spinEvents(20);
    ASSERT_EQ(ui::ChoiceDialog::showing().size(), 1);
    EXPECT_EQ(ui::ChoiceDialog::showing().first()->message(), sheet.message);
    delete ui::ChoiceDialog::showing().first();

    spinEvents(200);
    EXPECT_FALSE(saveScreenshot(delegate.window(), "main_window.png").isEmpty());
}

TEST(AppDelegate, AnAlertOverTheMainWindowDimsItUntilItGoes)
{
    Harness h;
    AppDelegate delegate(h.services());
    delegate.didFinishLaunching();
    spinEvents(50);
    QWidget* tabItem = delegate.ipadViewController()->leftView()->itemAt(0);
    const ShownImage before(delegate.window(), "main_window_before_alert.png");
    const int tabLightness = before.average(before.areaOf(tabItem)).lightness();

    auto* alert = new ui::Alert("", "遗忘密码将无法进入隐私相册强烈建议绑定Ky，忘记密码时可通过Ky找回密码。", nullptr, "以后再说",
                                {"立即设置"});
    alert->show(delegate.window());
    spinEvents(50);
    const ShownImage shown(delegate.window(), "main_window_alert.png");
    const QRect box = shown.areaOf(alert);
    EXPECT_LE((box.center() - QPoint(512, 384)).manhattanLength(), 2) << "centred on the window";
    EXPECT_GT(shown.average(box).lightness(), 190) << "a light box";
    EXPECT_LT(shown.average(shown.areaOf(tabItem)).lightness(), tabLightness * 3 / 4) << "the window behind is dimmed";
    QStringList buttons;
    for (QPushButton* b : alert->findChildren<QPushButton*>()) {
        if (b->isVisible() && box.contains(shown.areaOf(b)))
            buttons << b->text();
    }
    EXPECT_EQ(buttons, (QStringList{"以后再说", "立即设置"}));

    alert->dismissWithClickedButtonIndex(0, false);
    spinEvents(50);
    const ShownImage after(delegate.window(), "main_window_after_alert.png");
    EXPECT_EQ(after.average(after.areaOf(tabItem)).lightness(), tabLightness);
}

TEST(PaviPadViewController, ABatchPanelOnTheRootViewCoversTheTabBarToo)
{
    Harness h;
    AppDelegate delegate(h.services());
    delegate.didFinishLaunching();
    PaviPadViewController* root = delegate.ipadViewController();
    int tabTaps = 0;
    QObject::connect(root->leftView(), &PaviPadTabBarViewControll::itemTapped, [&](int) { ++tabTaps; });
    const QPoint tabItem = root->leftView()->itemAt(0)->geometry().center();
    tapAt(delegate.window(), tabItem);
    EXPECT_EQ(tabTaps, 1);

    auto* panel = new PavPhotosProcessingView_iPad(root->rect(), 3, "照片正在加密...", nullptr, root);
    panel->show();
    tapAt(delegate.window(), tabItem);
    EXPECT_EQ(tabTaps, 1) << "nothing behind the panel can be touched";
    spinEvents(50);
    EXPECT_FALSE(saveScreenshot(delegate.window(), "main_window_batch_panel.png").isEmpty());
    delete panel;
    tapAt(delegate.window(), tabItem);
    EXPECT_EQ(tabTaps, 2);
}
