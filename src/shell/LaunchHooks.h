#pragma once

#include <functional>

// Call points of the launch sequence that other parts of the system fill in.
//
// crashReport: installs the crash reporter; AppDelegate runs it as the very
// first step of the launch, before anything else. The crash reporting code
// sets it to PavCrashReportManager::crashReport (nothing runs while unset).
//
// removePreviousVersionCrashCounters: runs when the stored "PavLastVersion"
// is absent or older than the running version. The crash reporting code
// sets it to remove the earlier versions' crash usage events (nothing runs
// while unset).
class LaunchHooks {
public:
    using Hook = std::function<void()>;

    static void setCrashReport(Hook hook);
    static void setRemovePreviousVersionCrashCounters(Hook hook);

    static void crashReport();
    static void removePreviousVersionCrashCounters();
};
