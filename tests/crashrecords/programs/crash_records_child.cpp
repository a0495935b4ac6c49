// A launch of the application's crash path, in the application's order (the
// writer armed first), that then crashes as asked:
//   crash_records_child --home HOME MODE
// MODE: segv | segv-background | abort-store-held | launch |
//   segv-first-launch    crashes right after arming, before anything else
//   launch-crash-in-conversion  the crash callback of the conversion faults
//   segv-disk-full       no byte can be written when it crashes
//   segv-file-limit      the same, with the file-size signal left as it is
//   segv-signal-in-record  a second signal comes during the record step
//   segv-in-defaults-save  faults while the user defaults save (their lock held)
//   abort-in-free        the allocator finds a double free, its lock held
//   launch-worker-crash  a worker thread crashes while the launch converts
// "launch" runs the launch's version check after the crash hook;
// "launch-low-memory" does the same within 1 GiB of address space; with a
// fourth argument, an upload address, it also waits for the launch's upload.
#include "Public/ZoDadiUsageInfoManager.h"
#include "analytics/AnaBundleUtil.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/core/AppHome.h"
#include "platform/core/UsageRecorder.h"
#include "platform/core/UserDefaults.h"
#include "platform/core/VersionOrder.h"
#include "shell/CrashArming.h"

#include <QCoreApplication>
#include <QMetaType>

#include <atomic>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
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
    bool insertRecordForType(int) override { return fault(); }
    bool insertCrashRecords(qint64, const std::vector<int>&) override { return fault(); }
    bool revertExCrash() override { return true; }
    bool removeCrashRecordsBefore(qint64) override { return true; }

private:
    bool fault()
    {
        if (m_signal == SIGSEGV)
            writeLowAddress();
        raise(m_signal);
        return true;
    }

    int m_signal;
};

// A value whose conversion for the defaults file faults.
struct Poison {};

void sleepMs(long ms)
{
    timespec pause{ms / 1000, (ms % 1000) * 1000000};
    nanosleep(&pause, nullptr);
}

// launch-worker-crash: the worker's writer waits, after its first facts
// are on disk, until the launch's conversion is over.
std::atomic<int> g_stage{0};

void waitForTheConversion(int)
{
    g_stage.store(1);
    for (int i = 0; i < 500 && g_stage.load() != 2; ++i)
        sleepMs(10);
}

}

Q_DECLARE_METATYPE(Poison)

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    const char* mode = argv[3];
    const bool lowMemory = std::strcmp(mode, "launch-low-memory") == 0;
    if (lowMemory) {
        rlimit space{rlim_t(1) << 30, rlim_t(1) << 30};
        setrlimit(RLIMIT_AS, &space);
    }
    CrashArming::arm(argc, argv);
    if (std::strcmp(mode, "segv-first-launch") == 0)
        writeLowAddress();
    const bool uploads = lowMemory && argc > 4;
    if (uploads) {
        AnaUploadAddress::setDefaultUrl(QString::fromUtf8(argv[4]));
        AnaNetworkState::setSource([] { return AnaNetworkState{true, false, false}; });
    }

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
    if (std::strcmp(mode, "launch-worker-crash") == 0) {
        CBugReport::setTestFaultHook(&waitForTheConversion);
        std::thread(writeLowAddress).detach();
        while (g_stage.load() != 1)
            sleepMs(1);
        PavCrashReportManager::crashReport();
        g_stage.store(2);
        for (;;)
            pause();
    }
    PavCrashReportManager::crashReport();
    // The launch's version check, after the crash hook: a newer version
    // removes the earlier versions' crash events and is stored.
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QString version = AnaBundleUtil::getBundleVersion();
    if (VersionOrder::isOlder(defaults.contains("PavLastVersion") ? defaults.stringForKey("PavLastVersion") : QString(),
                              version)) {
        PavCrashReportManager::removePreviousVersionCrashCounters();
        defaults.setString("PavLastVersion", version);
    }

    if (uploads) {
        AnalyticsOperationCenter::sharedInstance().waitUntilIdle();
        AnaNetWorkHandlerQueue::sharedInstance().waitUntilAllOperationsAreFinished();
    }
    if (std::strcmp(mode, "launch") == 0 || lowMemory || std::strcmp(mode, "launch-crash-in-conversion") == 0)
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
    if (std::strcmp(mode, "segv-disk-full") == 0 || std::strcmp(mode, "segv-file-limit") == 0) {
        if (std::strcmp(mode, "segv-disk-full") == 0)
            signal(SIGXFSZ, SIG_IGN);
        rlimit noBytes{0, 0};
        setrlimit(RLIMIT_FSIZE, &noBytes);
    }
    if (std::strcmp(mode, "segv-in-defaults-save") == 0) {
        QMetaType::registerConverter<Poison, QString>([](const Poison&) {
            writeLowAddress();
            return QString();
        });
        defaults.setObject("poison", QVariant::fromValue(Poison{}));
    }
    if (std::strcmp(mode, "abort-in-free") == 0) {
        // With a second thread the allocator locks its arena to free.
        std::thread([] {
            for (;;)
                pause();
        }).detach();
        sleepMs(10);
        void* volatile block = std::malloc(4000);
        void* volatile fence = std::malloc(64);
        std::free(block);
        std::free(block);
        std::free(fence);
    }
    writeLowAddress();
    return 1;
}
