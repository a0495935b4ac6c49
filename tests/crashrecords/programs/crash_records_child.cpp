// A launch of the application's crash path that then crashes as asked:
//   crash_records_child HOME segv|segv-background|abort-store-held|launch
#include "Public/ZoDadiUsageInfoManager.h"
#include "analytics/AnaBundleUtil.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/core/AppHome.h"
#include "platform/core/UsageRecorder.h"
#include "platform/core/UserDefaults.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <thread>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    QCoreApplication app(argc, argv);
    AppHome::setCurrent(QString::fromLocal8Bit(argv[1]));
    AppHome::current().ensure();
    UserDefaults::resetStandardUserDefaults(AppHome::current().preferences() + "/defaults.json");
    UsageRecorder::setShared(&ZoDadiUsageInfoManager::sharedSoftUsageInfoManager());
    // The launch sequence stored this version at an earlier launch.
    UserDefaults::standardUserDefaults().setString("PavLastVersion", AnaBundleUtil::getBundleVersion());

    const char* mode = argv[2];
    CBugReport::setAppActive(std::strcmp(mode, "segv-background") != 0);
    PavCrashReportManager::crashReport();

    if (std::strcmp(mode, "launch") == 0)
        return 0;
    if (std::strcmp(mode, "abort-store-held") == 0) {
        std::atomic<bool> holding{false};
        std::thread([&] {
            holding = AnaSqlitePersistHandler::getDefaultHandler().tryEnterForCrash();
            for (;;)
                pause();
        }).detach();
        while (!holding)
            std::this_thread::yield();
        std::abort();
    }
    static volatile uintptr_t address = 0x10;
    *reinterpret_cast<volatile int*>(address) = 1;
    return 1;
}
