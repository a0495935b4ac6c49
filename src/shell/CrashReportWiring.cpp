#include "shell/CrashReportWiring.h"

#include "Public/ZoDadiUsageInfoManager.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/PavCrashReportManager.h"
#include "disk/DiskManager.h"
#include "platform/core/AppLifecycle.h"
#include "platform/core/NotificationCenter.h"
#include "platform/core/UsageRecorder.h"
#include "shell/LaunchHooks.h"

#include <vector>

void CrashReportWiring::install()
{
    if (!UsageRecorder::shared())
        UsageRecorder::setShared(&ZoDadiUsageInfoManager::sharedSoftUsageInfoManager());

    PavCrashReportManager::setUserNumberSource([] {
        const auto user = DiskManager::shareDiskManager().current_user();
        return user && user->uin() ? QString::number(*user->uin()) : QString();
    });

    // Kept for the life of the process (never destroyed: the centre may go first).
    static auto* observers = new std::vector<ObserverToken>;
    NotificationCenter& center = AppLifecycle::shared().center();
    const std::pair<const char*, bool> states[] = {{AppLifecycle::kDidBecomeActiveNotification, true},
                                                   {AppLifecycle::kWillResignActiveNotification, false},
                                                   {AppLifecycle::kDidEnterBackgroundNotification, false}};
    for (const auto& [name, active] : states)
        observers->push_back(center.addObserver(QString::fromLatin1(name), [active = active](const QVariantMap&) {
            CBugReport::setAppActive(active);
        }));

    LaunchHooks::setCrashReport(&PavCrashReportManager::crashReport);
    // A newer version starts without the earlier ones' crash usage events.
    LaunchHooks::setRemovePreviousVersionCrashCounters(&PavCrashReportManager::removePreviousVersionCrashCounters);
}
