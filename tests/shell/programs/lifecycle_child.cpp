// The real application delegate, default wiring, in a temporary home, on the
// display the test gives it. Reports on stdout: "ready <window id>" once
// launched with the album unlocked, then "background verified=<0|1>" and
// "active verified=<0|1>" on each lifecycle change.
#include "albums/lock/PavAlbumPasswordManager.h"
#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "platform/ui/Canvas.h"
#include "shell/AppDelegate.h"
#include "support/TempHome.h"

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TempHome home;
    AppDelegate delegate;
    if (!delegate.didFinishLaunching())
        return 1;

    PavAlbumPasswordManager& passwords = PavAlbumPasswordManager::shareAlbumPasswordManager();
    auto report = [&passwords](const char* what) {
        std::printf("%s verified=%d\n", what, passwords.hasVerified() ? 1 : 0);
        std::fflush(stdout);
    };
    NotificationCenter& center = NotificationCenter::defaultCenter();
    auto background = center.addObserver(AppLifecycle::kDidEnterBackgroundNotification,
                                         [&](const QVariantMap&) { report("background"); });
    auto active = center.addObserver(AppLifecycle::kDidBecomeActiveNotification,
                                     [&](const QVariantMap&) { report("active"); });

    passwords.setHasVerified(true);
    std::printf("ready %llu\n", static_cast<unsigned long long>(delegate.window()->winId()));
    std::fflush(stdout);
    return QApplication::exec();
}
