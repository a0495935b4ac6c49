#include "crashhandler/CBugReport.h"

#include "analytics/AnaDeviceUtil.h"
#include "crashhandler/AltStack.h"
#include "crashhandler/ConversionMark.h"
#include "crashhandler/CrashClock.h"
#include "crashhandler/CrashFacts.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashRunFacts.h"
#include "crashhandler/CrashState.h"
#include "crashhandler/FrameUnwinder.h"
#include "crashhandler/ImageTable.h"
#include "crashhandler/RecordStack.h"
#include "crashhandler/ReportSections.h"
#include "crashhandler/SafeFormat.h"
#include "crashhandler/SafeOutput.h"
#include "crashhandler/SafeRead.h"
#include "crashhandler/SignalNames.h"
#include "crashhandler/ThreadList.h"
#include "crashhandler/ThreadSampler.h"

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

const int CBugReport::kSignals[CBugReport::kSignalCount] = {SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV, SIGTRAP};

namespace {

std::atomic<uint8_t> g_installed{0};
std::atomic<CBugReport::RecordStep> g_recordStep{nullptr};
std::atomic<CBugReport::FaultHook> g_faultHook{nullptr};

// Large tables live in static storage: the handler may run on a 64 KiB
// alternate stack. Two image tables: a refresh builds the spare one and
// then makes it current, so a crash meanwhile reads a whole table.
ImageTable g_imageTables[2];
std::atomic<int> g_currentImages{0};
ThreadList g_threads;

CrashState& state() { return CrashState::instance(); }

// Standard output as it was at arming. A report goes there only while
// descriptor 1 is still that file: once the program closed it, 1 may name
// one of its own files (a database) that a report must not land in.
struct StdoutIdentity {
    bool open = false;
    dev_t device = 0;
    ino_t inode = 0;
};
StdoutIdentity g_stdout;

StdoutIdentity identityOf(int fd)
{
    struct stat st{};
    if (fstat(fd, &st) != 0)
        return {};
    const int flags = fcntl(fd, F_GETFL);
    if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
        return {};
    return StdoutIdentity{true, st.st_dev, st.st_ino};
}

int stdoutForReport()
{
    const StdoutIdentity now = identityOf(1);
    return now.open && g_stdout.open && now.device == g_stdout.device && now.inode == g_stdout.inode ? 1 : -1;
}

void ignoreSignal(int sig)
{
    struct sigaction sa{};
    sa.sa_handler = SIG_IGN;
    sigemptyset(&sa.sa_mask);
    sigaction(sig, &sa, nullptr);
}

void setDefaultActions()
{
    for (int sig : CBugReport::kSignals) {
        struct sigaction sa{};
        sa.sa_handler = SIG_DFL;
        sigemptyset(&sa.sa_mask);
        sigaction(sig, &sa, nullptr);
    }
}

// The watchdog: whichever thread SIGALRM lands on ends the process by the
// crash's own signal.
void onWatchdog(int)
{
    int sig = state().signal ? state().signal : SIGABRT;
    setDefaultActions();
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, sig);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(sig);
    _exit(128 + sig);
}

void armWatchdog(unsigned seconds)
{
    struct sigaction sa{};
    sa.sa_handler = &onWatchdog;
    sa.sa_flags = SA_ONSTACK;
    sigemptyset(&sa.sa_mask);
    sigaction(SIGALRM, &sa, nullptr);
    alarm(seconds);
}

// The fault address means something only for faults the kernel raised.
uintptr_t faultAddress(const siginfo_t* info)
{
    if (!info || info->si_code <= 0 || info->si_code == SI_KERNEL)
        return 0;
    switch (info->si_signo) {
    case SIGSEGV:
    case SIGBUS:
    case SIGILL:
    case SIGFPE:
    case SIGTRAP:
        return uintptr_t(info->si_addr);
    default:
        return 0;
    }
}

// Opens "crash_<time>[_2].log" without ever replacing a report; on a name
// clash "_<pid>" goes before ".log". Fills name.
int openReport(const char* stamp, bool second, char* name, std::size_t cap)
{
    CrashState& s = state();
    const char* pass = second ? "_2" : "";
    SafeFormat::format(name, cap, "crash_%s%s.log", stamp, pass);
    if (s.dirFd < 0)
        return -1;
    int fd = openat(s.dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0 && errno == EEXIST) {
        SafeFormat::format(name, cap, "crash_%s%s_%d.log", stamp, pass, int(getpid()));
        fd = openat(s.dirFd, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    }
    return fd;
}

// Runs on the record stack; nothing may escape it.
void runRecordStep(void* step)
{
    try {
        reinterpret_cast<CBugReport::RecordStep>(step)(CrashReportData::expData());
    } catch (const std::exception& e) {
        SafeOutput out(stdoutForReport());
        out.printf("crash report meet self crash %s", e.what());
    } catch (...) {
    }
}

void copyText(FixedText<1024>& out, const char* a, const char* b)
{
    out.assign(a);
    out.append(b);
}

}

uint8_t CBugReport::installedCount() { return g_installed.load(); }
bool CBugReport::InitAltStack() { return AltStack::ensureForCurrentThread(); }

void CBugReport::setRecordStep(RecordStep step) { g_recordStep.store(step); }
void CBugReport::setTestFaultHook(FaultHook hook) { g_faultHook.store(hook); }
void CBugReport::setAppActive(bool active) { state().appActive.store(active ? 1 : 0); }
void CBugReport::refreshZoneOffset() { state().zoneOffsetSeconds.store(CrashClock::currentOffset()); }

void CBugReport::arm(const char* crashDirectory)
{
    CrashState& s = state();
    CrashReportData::expData();
    if (crashDirectory && !s.crashDirectory.isSet())
        s.crashDirectory.assign(crashDirectory);
    if (s.pid == 0)
        s.pid = getpid();
    if (s.executablePath.c_str()[0] == '\0') {
        char exe[4096];
        ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
        s.executablePath.assign(exe, n > 0 ? std::size_t(n) : 0);
    }
    if (s.dirFd < 0)
        s.dirFd = open(*s.crashDirectory.c_str() ? s.crashDirectory.c_str() : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    g_stdout = identityOf(1);
    // A file-size limit must make the writer's writes fail (EFBIG), not end
    // the process before its report and facts are out.
    ignoreSignal(SIGXFSZ);
    SafeRead::prepare();
    FrameUnwinder::prepare();
    if (g_installed.load() == 0)
        InitAltStack();
    ThreadSampler::install(SIGRTMIN + 3);
    for (int sig : kSignals) {
        struct sigaction sa{};
        sa.sa_sigaction = &CBugReport::signal_handler;
        sa.sa_flags = SA_ONSTACK | SA_SIGINFO;
        sigemptyset(&sa.sa_mask);
        sigaction(sig, &sa, nullptr);
    }
}

uint8_t CBugReport::Init(const BRInitParam& p)
{
    CrashState& s = state();
    s.identifier.assign(p.identifier ? p.identifier : emptyText);
    s.version.assign(p.version ? p.version : emptyText);
    s.processName.assign(p.processName ? p.processName : emptyText);
    s.osVersion.assign(p.osVersion ? p.osVersion : emptyText);
    s.parentName.assign(p.parentName ? p.parentName : emptyText);
    s.crashDirectory.assign(p.crashDirectory ? p.crashDirectory : emptyText);
    s.pid = p.pid;
    s.parentPid = p.parentPid;

    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    s.executablePath.assign(exe, n > 0 ? std::size_t(n) : 0);
    s.hardwareModel.assign(AnaDeviceUtil::model().toUtf8().constData());
    s.localizedModel.assign(AnaDeviceUtil::getDeviceModel().toUtf8().constData());
    s.deviceName.assign(AnaDeviceUtil::getDeviceName().toUtf8().constData());
    refreshZoneOffset();

    int dir = open(*s.crashDirectory.c_str() ? s.crashDirectory.c_str() : ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    int old = s.dirFd;
    s.dirFd = dir;
    if (old >= 0)
        close(old);

    arm(nullptr);
    refreshImages();
    return ++g_installed;
}

void CBugReport::refreshImages()
{
    const int current = g_currentImages.load();
    if (g_imageTables[current].matchesLoader() || state().ownerTid.load() != 0)
        return;
    const int spare = 1 - current;
    g_imageTables[spare].collectFromLoader(state().executablePath.c_str());
    g_currentImages.store(spare);
}

void CBugReport::setException(const char* name, const char* reason, void* const* returnAddresses, int count,
                              const char* symbolLines)
{
    CrashState& s = state();
    CrashReportData& data = CrashReportData::expData();
    s.exceptionText.assign("objc_exception_name: ");
    s.exceptionText.append(name);
    s.exceptionText.append("\nobjc_exception_reason: ");
    s.exceptionText.append(reason);
    s.exceptionText.append("\n");
    data.type.assign(name);
    data.error.assign(reason);
    int kept = 0;
    for (int i = 0; i < count && kept < CrashState::kMaxExceptionFrames; ++i) {
        if (returnAddresses[i])
            s.exceptionReturnAddresses[kept++] = uintptr_t(returnAddresses[i]);
    }
    s.exceptionReturnAddresses[kept] = 0;
    s.hasExceptionAddresses = kept > 0;
    if (symbolLines)
        data.errorStack.assign(symbolLines);
}

void CBugReport::signal_handler(int sig, siginfo_t* info, void* context)
{
    // A fault inside a stack walk goes back to that walk.
    if (sig == SIGSEGV || sig == SIGBUS)
        FrameUnwinder::recoverFromFault(info);
    CrashState& s = state();
    int self = ThreadList::currentTid();
    int owner = 0;
    if (!s.ownerTid.compare_exchange_strong(owner, self) && owner != self) {
        // Another thread owns the report; this one dies with the process.
        for (;;)
            pause();
    }
    int pass = ++s.reentryCount;
    if (pass == 1) {
        armWatchdog(kWriterWatchdogSeconds);
        // A leftover crash this process was converting counts this crash.
        ConversionMark::countCrash();
        SafeRead::noteProcess();
        // A report sent to a pipe nobody reads fails (EPIPE) instead of
        // ending the writer.
        ignoreSignal(SIGPIPE);
    }
    if (pass >= 3)
        setDefaultActions();
    if (pass == 2 && s.firstReportFile >= 0) {
        close(s.firstReportFile);
        s.firstReportFile = -1;
    }
    s.signal = sig;
    s.code = info ? info->si_code : 0;
    GenerateBugDesc(1, info, context);

    RecordStep step = g_recordStep.load();
    if (step) {
        armWatchdog(kRecordWatchdogSeconds);
        RecordStack::run(&runRecordStep, reinterpret_cast<void*>(step));
        alarm(0);
    }
    sighandler(sig, info, context);
}

void CBugReport::sighandler(int sig, siginfo_t*, void*)
{
    setDefaultActions();
    // The exception's text belongs to this crash only. No program counter is
    // moved: the signal comes back with its default action and ends the
    // process once the handler returns.
    state().exceptionText.clear();
    raise(sig);
}

void CBugReport::GenerateBugDesc(int, siginfo_t* info, void* context)
{
    CrashState& s = state();
    CrashReportData& data = CrashReportData::expData();
    // The table built at arming, unless a library came or went since (then
    // the mappings are read again).
    ImageTable& images = g_imageTables[g_currentImages.load()];
    if (!images.matchesLoader())
        images.CollectImages(s.executablePath.c_str());
    // The other threads walk their stacks while the report is written. A
    // later pass follows a fault of the writer: its walks use reads that
    // cannot fault.
    const bool second = s.firstReportSet;
    ReportSections::askThreads(images, g_threads, second);

    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    char stamp[64];
    CrashClock::crashTimeText(stamp, sizeof stamp, now, s.zoneOffsetSeconds.load());
    s.crashTimeText.assign(stamp);

    char name[256];
    int fd = openReport(stamp, second, name, sizeof name);
    s.reportOpened = fd >= 0;
    int outFd = fd >= 0 ? fd : stdoutForReport();
    copyText(data.crashPath, s.crashDirectory.c_str(), name);
    if (!second) {
        s.firstReportSet = true;
        s.firstReportFile = fd;
        copyText(data.backPath, s.crashDirectory.c_str(), name);
        // The facts file takes the report's stem: "crash_<time>.facts".
        char facts[256];
        std::size_t len = SafeFormat::format(facts, sizeof facts, "%s", name);
        if (len >= 4 && len < sizeof facts)
            SafeFormat::format(facts + len - 4, sizeof facts - (len - 4), ".facts");
        s.factsName.assign(facts);
    }
    // One crash has one time and one set of run facts: a later pass keeps
    // the first pass's.
    if (!second) {
        data.time = int64_t(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
        CrashRunFacts::take(data);
    }

    int factsFd = -1;
    {
        // Static: the report's buffer is large and the handler's stack small.
        static char buffer[32768];
        SafeOutput out(outFd, buffer, sizeof buffer);
        if (s.exceptionText.isSet()) {
            out.text("Objective-C exception:\n");
            out.text(s.exceptionText.c_str());
            out.text("\n");
        }
        ReportSections::printHeader(out, now);
        ReportSections::printSdkLines(out);
        char hex[65] = "";
        if (images.count() > 0)
            images.at(0).uuidHex(hex);
        out.printf("App UUID : %s\n", hex);
        if (data.errorStack.isSet()) {
            out.text("\n\nLast Exception Backtrace: \n");
            out.text(data.errorStack.c_str());
            out.text("\n");
        }
        if (s.hasExceptionAddresses) {
            out.text("\nLast Exception Backtrace Original:\n");
            ReportSections::PrintExceptionCS(out, images);
        }
        out.text("\n");

        char names[SignalNames::kBufferSize];
        const char* sigName = "";
        const char* codeName = "";
        SignalNames::map_sig_name(info ? info->si_signo : s.signal, s.code, names, &sigName, &codeName);
        uintptr_t address = faultAddress(info);
        out.printf("Exception Code: %s,%s\n", sigName, codeName);
        out.printf("Exception Addr: 0x%lx\n", (unsigned long)address);
        if (!data.type.isSet())
            data.type.assign(sigName);
        if (!data.error.isSet())
            data.error.assign(codeName);
        // The crash is the first pass's: a later pass keeps its address,
        // so the crash keeps its record key.
        if (!second) {
            char addressText[32];
            SafeFormat::format(addressText, sizeof addressText, "0x%lx", (unsigned long)address);
            data.address.assign(addressText);
        }
        out.flush();
        factsFd = CrashFacts::begin(s.dirFd, s.factsName.c_str(), s, data);

        if (FaultHook hook = g_faultHook.load())
            hook(s.reentryCount.load());

        ReportSections::PrintThreads(out, context, images, g_threads, second);
        out.text("Binary Images:\n");
        data.binInfo.clear();
        images.printImages(out, s.executablePath.c_str(), data.binInfo);
        out.flush();
    }
    if (fd >= 0) {
        close(fd);
        if (s.firstReportFile == fd)
            s.firstReportFile = -1;
    }
    CrashFacts::finish(factsFd, data);
    // The sampled threads go on only now: until the report is out they
    // would compete with it for the processors.
    ThreadSampler::releaseAll();
}
