#pragma once

// Connects the crash reporter to the application before the launch: the
// launch hook runs PavCrashReportManager::crashReport, crash usage events go
// to the usage store (and a newer version removes the earlier ones'), the
// user number comes from the cloud disk's signed-in account, and the writer
// learns whether the application is in front.
class CrashReportWiring {
public:
    static void install();
};
