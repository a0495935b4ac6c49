#pragma once

#include "platform/core/AppLifecycle.h"
#include "shell/PaviPadViewController.h"

#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class NotificationCenter;
class SessionLockMonitor;
class UserDefaults;

namespace ui {
class Canvas;
class WindowLifecycleWatcher;
}

// The application delegate: runs the launch sequence, owns the main window
// with the root controller, and answers the lifecycle (on the desktop: the
// main window minimised or hidden, or the session locked, is the background,
// its return the foreground). Collaborators are injectable; the defaults are
// the process-wide ones.
class AppDelegate : public QObject, public AppLifecycleDelegate {
    Q_OBJECT
public:
    static constexpr const char* kShouldCheckUpdateNotification = "KyAlbumShouldCheckUpdateNotification";
    static constexpr const char* kLastVersionKey = "PavLastVersion";
    static constexpr int kLaunchUsageEvent = 27231;

    struct Services {
        QString bundleVersion;                              // default: the build's version
        std::function<void(bool)> setAlbumVerified;         // default: the album password manager
        std::function<void()> cancelPrivateAlbumBatches;    // default: the private store's cancel flags
        std::function<void(int)> recordUsage;               // default: the usage store
        PaviPadViewController::TabFactory albumTab;         // default: the album container
        UserDefaults* defaults = nullptr;                   // default: the standard user defaults
        NotificationCenter* center = nullptr;               // default: the default centre
        AppLifecycle* lifecycle = nullptr;                  // default: the shared lifecycle
        SessionLockMonitor* sessionLock = nullptr;          // default: one on the process's buses
    };

    AppDelegate();
    explicit AppDelegate(Services services);
    ~AppDelegate() override;

    // The delegate of the running application (null when none).
    static AppDelegate* shared();

    // The launch sequence: the crash hook first, the launch usage event, the
    // window with the root controller, the version check; then the
    // application becomes active.
    bool didFinishLaunching();

    PaviPadViewController* ipadViewController() const { return m_root; }
    ui::Canvas* window() const { return m_window.get(); }
    AppLifecycle& lifecycle() const { return *m_services.lifecycle; }

    // True when the stored version is absent or orders before the current
    // one (dotted numbers compare numerically: "2.9" is before "2.10").
    static bool storedVersionIsOlder(const QString& stored, const QString& current);

    void applicationDidBecomeActive() override;
    void applicationDidEnterBackground() override;

private:
    void checkLastVersion();

    Services m_services;
    std::unique_ptr<ui::Canvas> m_window;
    QPointer<PaviPadViewController> m_root;
    std::unique_ptr<ui::WindowLifecycleWatcher> m_watcher;
    std::unique_ptr<SessionLockMonitor> m_ownSessionLock;
};
