#include "shell/AppDelegate.h"

#include "Public/ZoDadiUsageInfoManager.h"
#include "albums/binding/PavSecretAlbumPasswordProtectViewController_iPad.h"
#include "albums/cloud/DiskErrorAlerts.h"
#include "albums/lock/PavAlbumPasswordManager.h"
#include "albums/store/PavPhotoManager.h"
#include "disk/DiskManager.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VersionOrder.h"
#include "platform/sys/SessionLockMonitor.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/WindowLifecycleWatcher.h"
#include "shell/LaunchHooks.h"

#include <QCoreApplication>

namespace {
AppDelegate* g_shared = nullptr;

AppDelegate::Services withDefaults(AppDelegate::Services s)
{
    if (s.bundleVersion.isEmpty())
        s.bundleVersion = QStringLiteral(PAV_VERSION);
    if (!s.setAlbumVerified)
        s.setAlbumVerified = [](bool v) { PavAlbumPasswordManager::shareAlbumPasswordManager().setHasVerified(v); };
    if (!s.cancelPrivateAlbumBatches) {
        s.cancelPrivateAlbumBatches = [] {
            PavPhotoManager& store = PavPhotoManager::sharedPavPhotoManager();
            store.setNeedDecryptionCancel(true);
            store.setNeedDeletionCancel(true);
        };
    }
    if (!s.recordUsage)
        s.recordUsage = [](int id) { ZoDadiUsageInfoManager::sharedSoftUsageInfoManager().insertRecordForType(id); };
    if (!s.defaults)
        s.defaults = &UserDefaults::standardUserDefaults();
    if (!s.center)
        s.center = &NotificationCenter::defaultCenter();
    if (!s.lifecycle)
        s.lifecycle = &AppLifecycle::shared();
    return s;
}
}

AppDelegate::AppDelegate() : AppDelegate(Services{}) {}

AppDelegate::AppDelegate(Services services) : m_services(withDefaults(std::move(services)))
{
    g_shared = this;
    m_services.lifecycle->setDelegate(this);
    if (auto* app = QCoreApplication::instance()) {
        connect(app, &QCoreApplication::aboutToQuit, this, [this] { m_services.lifecycle->terminate(); });
    }
}

AppDelegate::~AppDelegate()
{
    m_watcher.reset();
    m_ownSessionLock.reset();
    m_services.lifecycle->setDelegate(nullptr);
    m_window.reset();
    if (g_shared == this)
        g_shared = nullptr;
}

AppDelegate* AppDelegate::shared()
{
    return g_shared;
}

bool AppDelegate::didFinishLaunching()
{
    // The crash reporter goes first, before any other launch work.
    LaunchHooks::crashReport();
    m_services.recordUsage(kLaunchUsageEvent);
    PavSecretAlbumPasswordProtectViewController_iPad::registerWithLockScreen();
    DiskErrorAlerts::installOn(DiskManager::shareDiskManager());

    m_window = std::make_unique<ui::Canvas>();
    m_window->setWindowTitle(QStringLiteral("PadOlvo"));
    m_root = new PaviPadViewController(m_services.albumTab);
    m_window->setRootScreen(m_root);
    m_watcher = std::make_unique<ui::WindowLifecycleWatcher>(m_window.get(), *m_services.lifecycle);
    SessionLockMonitor* sessionLock = m_services.sessionLock;
    if (!sessionLock) {
        m_ownSessionLock = std::make_unique<SessionLockMonitor>();
        sessionLock = m_ownSessionLock.get();
    }
    connect(sessionLock, &SessionLockMonitor::lockedChanged, m_watcher.get(),
            [watcher = m_watcher.get()](bool locked) { watcher->setSessionLocked(locked); });
    m_window->show();

    checkLastVersion();

    m_services.lifecycle->becomeActive();
    return true;
}

bool AppDelegate::storedVersionIsOlder(const QString& stored, const QString& current)
{
    return VersionOrder::isOlder(stored, current);
}

void AppDelegate::checkLastVersion()
{
    UserDefaults& defaults = *m_services.defaults;
    const QString key = QString::fromLatin1(kLastVersionKey);
    const QString stored = defaults.contains(key) ? defaults.stringForKey(key) : QString();
    if (!storedVersionIsOlder(stored, m_services.bundleVersion))
        return;
    LaunchHooks::removePreviousVersionCrashCounters();
    defaults.setString(key, m_services.bundleVersion);
}

void AppDelegate::applicationDidBecomeActive()
{
    m_services.setAlbumVerified(false);
    m_services.center->post(QString::fromLatin1(kShouldCheckUpdateNotification));
}

void AppDelegate::applicationDidEnterBackground()
{
    m_services.setAlbumVerified(false);
    m_services.cancelPrivateAlbumBatches();
}
