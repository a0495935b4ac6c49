#include "albums/lock/PavAlbumPasswordManager.h"
#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "platform/sys/SessionLockMonitor.h"
#include "shell/AppDelegate.h"
#include "support/EventLoop.h"
#include "support/PrivateBus.h"
#include "support/TempHome.h"
#include "support/XvfbDisplay.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The next line of the child's output that starts with prefix, read within
// ms milliseconds; empty when none came.
QString nextLine(QProcess* child, const QString& prefix, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!deadline.hasExpired()) {
        while (child->canReadLine()) {
            const QString line = QString::fromUtf8(child->readLine()).trimmed();
            if (line.startsWith(prefix))
                return line;
        }
        child->waitForReadyRead(50);
    }
    return {};
}

// Asks again until the child reports: the window manager may not manage a
// brand-new window yet, and then ignores the request.
QString askUntilReported(XvfbDisplay& display, const QStringList& xdotool, QProcess* child, const QString& prefix)
{
    for (int i = 0; i < 20; ++i) {
        EXPECT_TRUE(display.run("xdotool", xdotool)) << "xdotool failed (scripts/install-deps.sh installs it)";
        const QString line = nextLine(child, prefix, 500);
        if (!line.isEmpty())
            return line;
    }
    return {};
}

}

TEST(DesktopSession, MinimisingThroughTheWindowManagerLocksTheAlbum)
{
    QTemporaryDir dir;  // outlives the display, whose end kills the child before its home is removed
    XvfbDisplay display;
    if (!display.start("1100x860x24"))
        GTEST_SKIP() << display.why().toStdString();
    QFile config(dir.filePath("jwmrc"));
    ASSERT_TRUE(config.open(QIODevice::WriteOnly));
    config.write("<?xml version=\"1.0\"?><JWM><Tray x=\"0\" y=\"-1\" height=\"28\"><TaskList/></Tray></JWM>\n");
    config.close();
    QProcess* wm = display.startProgram("jwm", {"-f", config.fileName()});
    ASSERT_TRUE(wm->waitForStarted()) << "no jwm (scripts/install-deps.sh installs it)";

    QProcess* app = display.startProgram(PAV_TEST_BIN_DIR "/lifecycle_child", {},
                                          {"QT_QPA_PLATFORM=xcb", "TMPDIR=" + dir.path()});
    const QString ready = nextLine(app, "ready ", 30000);
    ASSERT_FALSE(ready.isEmpty()) << app->readAllStandardError().toStdString();
    const QString window = ready.section(' ', 1);

    // The minimise comes from outside, as from the title bar: the window
    // manager iconifies the window and the application hears of it.
    EXPECT_EQ(askUntilReported(display, {"windowminimize", window}, app, "background"), "background verified=0");
    EXPECT_EQ(askUntilReported(display, {"windowactivate", window}, app, "active"), "active verified=0");
}

TEST(DesktopSession, TheScreenSaverTurningOnLocksTheAlbum)
{
    PrivateBus bus;
    if (!bus.start())
        GTEST_SKIP() << "no dbus-daemon";
    TempHome home;
    AppLifecycle lifecycle(NotificationCenter::defaultCenter());
    int checks = 0;
    auto token = NotificationCenter::defaultCenter().addObserver("KyAlbumShouldCheckUpdateNotification",
                                                                 [&](const QVariantMap&) { ++checks; });
    {
        SessionLockMonitor monitor(QDBusConnection::connectToBus(bus.address(), "album-session-bus"), std::nullopt);
        AppDelegate::Services services;
        services.lifecycle = &lifecycle;
        services.sessionLock = &monitor;
        AppDelegate delegate(services);
        ASSERT_TRUE(delegate.didFinishLaunching());
        PavAlbumPasswordManager& passwords = PavAlbumPasswordManager::shareAlbumPasswordManager();
        passwords.setHasVerified(true);

        QDBusConnection desktop = QDBusConnection::connectToBus(bus.address(), "desktop-screensaver");
        auto saver = [&](bool active) {
            return QDBusMessage::createSignal("/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
                                              "ActiveChanged")
                   << active;
        };
        // The listener's match rule reaches the daemon a moment after launch.
        bool background = false;
        for (int i = 0; i < 50 && !background; ++i) {
            desktop.send(saver(true));
            background = waitUntil([&] { return lifecycle.state() == AppLifecycle::State::Background; }, 100);
        }
        ASSERT_TRUE(background);
        EXPECT_FALSE(passwords.hasVerified());

        // The window never moved: the screen saver's end is the return.
        passwords.setHasVerified(true);
        desktop.send(saver(false));
        ASSERT_TRUE(waitUntil([&] { return lifecycle.state() == AppLifecycle::State::Active; }));
        EXPECT_FALSE(passwords.hasVerified());
        EXPECT_EQ(checks, 2);
    }
    QDBusConnection::disconnectFromBus("album-session-bus");
    QDBusConnection::disconnectFromBus("desktop-screensaver");
}
