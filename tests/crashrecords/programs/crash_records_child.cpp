// A launch of the application's crash path, in the application's order (the
// writer armed first), that then crashes as asked:
//   crash_records_child --home HOME MODE
// MODE: segv | segv-background | abort-store-held | launch |
//   segv-first-launch    crashes right after arming, before anything else
//   launch-crash-in-conversion  the crash callback of the conversion faults
//   segv-disk-full       no byte can be written when it crashes
//   segv-signal-in-record  a second signal comes during the record step
#include "Public/ZoDadiUsageInfoManager.h"
#include "analytics/AnaBundleUtil.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/core/AppHome.h"
#include "platform/core/UsageRecorder.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VersionOrder.h"
#include "shell/CrashArming.h"

#include <QCoreApplication>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

volatile uintptr_t g_address = 0x10;

void writeLowAddress() { *reinterpret_cast<volatile int*>(g_address) = 1; }

// A usage store whose first event faults, or raises a second signal.
class FaultingUsage : public UsageRecorder {
public:
    explicit FaultingUsage(int signal) : m_signal(signal) {}
    bool insertRecordForType(int) override
    {
        if (m_signal == SIGSEGV)
            writeLowAddress();
        raise(m_signal);
        return true;
    }
    bool revertExCrash() override { return true; }
    bool removeCrashRecords() override { return true; }

private:
    int m_signal;
};

}

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    CrashArming::arm(argc, argv);
    const char* mode = argv[3];
    if (std::strcmp(mode, "segv-first-launch") == 0)
        writeLowAddress();

    QCoreApplication app(argc, argv);
    UserDefaults::resetStandardUserDefaults(AppHome::current().preferences() + "/defaults.json");
    static FaultingUsage faultInConversion(SIGSEGV);
    static FaultingUsage secondSignal(SIGBUS);
    if (std::strcmp(mode, "launch-crash-in-conversion") == 0)
        UsageRecorder::setShared(&faultInConversion);
    else if (std::strcmp(mode, "segv-signal-in-record") == 0)
        UsageRecorder::setShared(&secondSignal);
    else
        UsageRecorder::setShared(&ZoDadiUsageInfoManager::sharedSoftUsageInfoManager());

    CBugReport::setAppActive(std::strcmp(mode, "segv-background") != 0);
    PavCrashReportManager::crashReport();
    // The launch sequence stores a newer version after the crash hook.
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QString version = AnaBundleUtil::getBundleVersion();
    if (VersionOrder::isOlder(defaults.contains("PavLastVersion") ? defaults.stringForKey("PavLastVersion") : QString(),
                              version))
        defaults.setString("PavLastVersion", version);

    if (std::strcmp(mode, "launch") == 0 || std::strcmp(mode, "launch-crash-in-conversion") == 0)
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
    if (std::strcmp(mode, "segv-disk-full") == 0) {
        signal(SIGXFSZ, SIG_IGN);
        rlimit noBytes{0, 0};
        setrlimit(RLIMIT_FSIZE, &noBytes);
    }
    writeLowAddress();
    return 1;
}
