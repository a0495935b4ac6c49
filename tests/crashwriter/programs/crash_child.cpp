// Crashes in the way named by its second argument, with the crash writer
// installed and the first argument as the application home.
//   crash_child <home> <scenario> [parked-thread-count]
// Environment: CRASH_ACTIVE=1 marks the app active; CRASH_RECORD=marker
// registers a record step that writes the crash data to the marker file,
// CRASH_RECORD=hang one that never returns, CRASH_RECORD=deep one that uses
// 300 KiB of stack before it writes the marker, CRASH_RECORD=allocations one
// that writes how many heap allocations the writer made from the thread walk
// on (the program counts them through its own malloc). CRASH_FSIZE=n puts a
// file-size limit of n bytes on the crash; CRASH_BLOCK_SAMPLER=1 makes the
// parked threads block the sampler's signal; CRASH_FAULT_TIME=1 writes the
// monotonic time in ns just before the crash to <home>/fault.ns;
// CRASH_STDOUT=closed_pipe starts with standard output a pipe nobody reads,
// CRASH_STDOUT=reused closes it after arming and opens <home>/reused.db in
// its place; CRASH_IN_PREAMBLE=1 crashes inside the installer's preamble
// (its getppid call); CRASH_LOADER_LOCKED=1 crashes while another thread
// holds the loader's lock (parked inside a dl_iterate_phdr callback);
// CRASH_BAD_FRAME_THREAD=1 adds a thread parked with a frame pointer that
// points nowhere (x86-64).

#include "analytics/AnaModel.h"
#include "analytics/AnalyticsTimes.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/CrashInstall.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/ThreadSampler.h"
#include "platform/core/AppHome.h"
#include "platform/core/ThreadHooks.h"

#include <QCoreApplication>
#include <QFile>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <link.h>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <stdexcept>
#include <string>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <thread>
#include <unistd.h>

namespace {
std::atomic<bool> g_counting{false};
std::atomic<int> g_allocations{0};
}

// Any sanitizer: gcc names the address and thread ones, clang answers for
// each. (gcc names no macro for UndefinedBehaviorSanitizer alone, whose
// runtime leaves malloc to libc.)
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__) || defined(__SANITIZE_HWADDRESS__)
#define CRASH_CHILD_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer) || \
    __has_feature(hwaddress_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define CRASH_CHILD_SANITIZED 1
#endif
#endif

#ifdef CRASH_CHILD_SANITIZED
// A sanitizer's runtime owns malloc (replacing it with libc's kills the
// program before main); the allocators of those that have one call a hook
// on every allocation instead (declared here: the runtime's interface header
// is not always installed).
extern "C" int __sanitizer_install_malloc_and_free_hooks(void (*malloc_hook)(const volatile void*, size_t),
                                                        void (*free_hook)(const volatile void*));

namespace {
void countAllocation(const volatile void*, size_t)
{
    if (g_counting.load(std::memory_order_relaxed))
        ++g_allocations;
}
[[maybe_unused]] const int g_hooked = __sanitizer_install_malloc_and_free_hooks(&countAllocation, nullptr);
}
#else
extern "C" {
void* __libc_malloc(size_t);
void* __libc_calloc(size_t, size_t);
void* __libc_realloc(void*, size_t);

void* malloc(size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        ++g_allocations;
    return __libc_malloc(size);
}

void* calloc(size_t count, size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        ++g_allocations;
    return __libc_calloc(count, size);
}

void* realloc(void* old, size_t size)
{
    if (g_counting.load(std::memory_order_relaxed))
        ++g_allocations;
    return __libc_realloc(old, size);
}
}
#endif

namespace {

std::string g_home;
std::atomic<int> g_parked{0};

volatile uintptr_t g_lowAddress = 0x10;

__attribute__((noinline)) void writeLowAddress() { *reinterpret_cast<volatile int*>(g_lowAddress) = 1; }

bool envIs(const char* name, const char* value)
{
    const char* v = std::getenv(name);
    return v && std::strcmp(v, value) == 0;
}

void writeFaultTime()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    char text[32];
    int n = std::snprintf(text, sizeof text, "%lld", now.tv_sec * 1000000000LL + now.tv_nsec);
    int fd = open((g_home + "/fault.ns").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (fd < 0 || write(fd, text, std::size_t(n)) != n)
        _exit(6);
    close(fd);
}

}

// The installer asks for the parent's id while it gathers the process facts.
extern "C" pid_t getppid() noexcept
{
    if (envIs("CRASH_IN_PREAMBLE", "1"))
        writeLowAddress();
    return pid_t(syscall(SYS_getppid));
}

namespace {

__attribute__((noinline)) void writeReadOnlyPage()
{
    void* page = mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    mprotect(page, 4096, PROT_READ);
    *static_cast<volatile int*>(page) = 1;
}

__attribute__((noinline)) void touchTruncatedMapping()
{
    std::string path = g_home + "/bus.bin";
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
    char block[4096] = {};
    if (write(fd, block, sizeof block) != ssize_t(sizeof block))
        _exit(3);
    auto* p = static_cast<volatile char*>(mmap(nullptr, 4096, PROT_READ, MAP_SHARED, fd, 0));
    if (ftruncate(fd, 0) != 0)
        _exit(3);
    (void)p[0];
}

// Not checked by UBSan: the hardware's SIGFPE is the point.
__attribute__((noinline, no_sanitize("undefined"))) int divideByZero()
{
    volatile int zero = 0;
    volatile int x = 7;
    return x / zero;
}

#if defined(__x86_64__)
// Sets a frame pointer that points nowhere while its call-frame information
// says the caller's frame is found through it; then faults, or with park
// set waits in pause() for ever.
extern "C" void crashChildBadFrame(int park);
asm(R"(
    .text
    .globl crashChildBadFrame
    .type crashChildBadFrame, @function
crashChildBadFrame:
    .cfi_startproc
    pushq %rbp
    .cfi_def_cfa_offset 16
    .cfi_offset rbp, -16
    movq %rsp, %rbp
    .cfi_def_cfa_register rbp
    movabsq $0x4141414141414140, %rbp
    testl %edi, %edi
    jnz 1f
    movl $1, 0x10
1:  movl $34, %eax
    syscall
    jmp 1b
    .cfi_endproc
    .size crashChildBadFrame, .-crashChildBadFrame
)");
#endif

// The crashing function an abort() report must name.
extern "C" __attribute__((noinline)) void crashChildAbortHere()
{
    std::abort();
}

__attribute__((noinline)) void throwUncaught() { throw std::runtime_error("boom"); }

__attribute__((noinline)) int recurse(int depth)
{
    if (depth < 0)   // never: the recursion only ends by overflowing
        return 0;
    volatile char pad[512];
    pad[0] = char(depth);
    return recurse(depth + 1) + pad[0];
}

void parkThreads(int count)
{
    const bool blockSampler = envIs("CRASH_BLOCK_SAMPLER", "1");
    for (int i = 0; i < count; ++i) {
        ThreadHooks::start("parked", [blockSampler] {
            if (blockSampler) {
                sigset_t set;
                sigemptyset(&set);
                sigaddset(&set, ThreadSampler::signal());
                pthread_sigmask(SIG_BLOCK, &set, nullptr);
            }
            ++g_parked;
            for (;;)
                pause();
        }).detach();
    }
    while (g_parked.load() < count)
        usleep(1000);
}

// Parks a thread inside the loader's list walk, which holds its lock.
void holdLoaderLock()
{
    static std::atomic<bool> holding{false};
    ThreadHooks::start("loader", [] {
        dl_iterate_phdr(
            [](dl_phdr_info*, size_t, void*) -> int {
                holding = true;
                for (;;)
                    pause();
            },
            nullptr);
    }).detach();
    while (!holding.load())
        usleep(1000);
}

void raiseBusOnFirstPass(int pass)
{
    if (pass == 1)
        raise(SIGBUS);
}

void recordToMarker(const CrashReportData& data)
{
    std::string path = g_home + "/record.marker";
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const char* parts[] = {data.type.c_str(), "\n", data.address.c_str(), "\n", data.thread.c_str(), "\n",
                           data.crashPath.c_str(), "\n"};
    for (const char* p : parts) {
        if (write(fd, p, strlen(p)) < 0)
            break;
    }
    close(fd);
}

__attribute__((noinline)) int useStack(int kib)
{
    volatile char block[1024];
    block[0] = char(kib);
    return kib <= 1 ? block[0] : useStack(kib - 1) + block[0];
}

void recordDeep(const CrashReportData& data)
{
    if (useStack(300) != -1)
        recordToMarker(data);
}

void countFromTheThreadWalk(int pass)
{
    if (pass == 1)
        g_counting = true;
}

void recordAllocations(const CrashReportData&)
{
    g_counting = false;
    char text[32];
    int n = std::snprintf(text, sizeof text, "allocations %d\n", g_allocations.load());
    std::string path = g_home + "/record.marker";
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (write(fd, text, std::size_t(n)) < 0)
        _exit(5);
    close(fd);
}

void recordHangs(const CrashReportData&)
{
    for (;;)
        pause();
}

}

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    if (envIs("CRASH_STDOUT", "closed_pipe")) {
        int fds[2];
        if (pipe(fds) != 0 || dup2(fds[1], 1) != 1)
            return 2;
        close(fds[0]);
        close(fds[1]);
    }
    QCoreApplication app(argc, argv);
    g_home = argv[1];
    std::string scenario = argv[2];
    AppHome::setCurrent(QString::fromStdString(g_home));
    AnalyticsTimes::startTime.store(1700000000000);
    AnaModel::getDefualtAnaModel().setQua("12345");

    int installed = installCrashHandler();
    if (scenario == "install_twice") {
        installed = installCrashHandler();
        std::printf("installed %d\n", installed);
        for (int sig : CBugReport::kSignals) {
            struct sigaction sa{};
            sigaction(sig, nullptr, &sa);
            bool ours = (sa.sa_flags & (SA_ONSTACK | SA_SIGINFO)) == (SA_ONSTACK | SA_SIGINFO) &&
                        sa.sa_sigaction == &CBugReport::signal_handler;
            std::printf("%d %s\n", sig, ours ? "ok" : "missing");
        }
        return 0;
    }
    if (const char* active = std::getenv("CRASH_ACTIVE"))
        CBugReport::setAppActive(std::strcmp(active, "1") == 0);
    if (const char* record = std::getenv("CRASH_RECORD")) {
        const bool count = std::strcmp(record, "allocations") == 0;
        if (count)
            CBugReport::setTestFaultHook(&countFromTheThreadWalk);
        CBugReport::setRecordStep(std::strcmp(record, "hang") == 0   ? &recordHangs
                                  : std::strcmp(record, "deep") == 0 ? &recordDeep
                                  : count                            ? &recordAllocations
                                                                     : &recordToMarker);
    }
    parkThreads(argc > 3 ? std::atoi(argv[3]) : 0);
    if (envIs("CRASH_STDOUT", "reused")) {
        close(1);
        if (open((g_home + "/reused.db").c_str(), O_RDWR | O_CREAT, 0600) != 1)
            return 2;
    }
    if (const char* limit = std::getenv("CRASH_FSIZE")) {
        rlimit fsize{rlim_t(std::atoll(limit)), RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &fsize);
    }
    if (envIs("CRASH_LOADER_LOCKED", "1"))
        holdLoaderLock();
#if defined(__x86_64__)
    if (envIs("CRASH_BAD_FRAME_THREAD", "1")) {
        static std::atomic<bool> parked{false};
        ThreadHooks::start("bad-frame", [] {
            parked = true;
            crashChildBadFrame(1);
        }).detach();
        while (!parked.load())
            usleep(1000);
        usleep(10000);   // into its pause
    }
#endif
    if (envIs("CRASH_FAULT_TIME", "1"))
        writeFaultTime();

    if (scenario == "segv")
        writeLowAddress();
    else if (scenario == "accerr")
        writeReadOnlyPage();
    else if (scenario == "bus")
        touchTruncatedMapping();
    else if (scenario == "fpe")
        return divideByZero();
    else if (scenario == "ill")
        __builtin_trap();
#if defined(__x86_64__)
    else if (scenario == "trap")
        asm volatile("int3");
    else if (scenario == "bad_frame")
        crashChildBadFrame(0);
#endif
    else if (scenario == "abort")
        crashChildAbortHere();
    else if (scenario == "sent_segv")
        kill(getpid(), SIGSEGV);   // code 0, as another process would send it
    else if (scenario == "exception")
        throwUncaught();
    else if (scenario == "thread") {
        std::thread t = ThreadHooks::start("crasher", [] { writeLowAddress(); });
        t.join();
    } else if (scenario == "overflow_main")
        return recurse(0);
    else if (scenario == "overflow_thread") {
        std::thread t = ThreadHooks::start("deep", [] { recurse(0); });
        t.join();
    } else if (scenario == "two_threads") {
        // Both threads fault at the same moment; one of them owns the report.
        static std::atomic<int> ready{0};
        auto fault = [] {
            ++ready;
            while (ready.load() < 2) {
            }
            writeLowAddress();
        };
        std::thread a = ThreadHooks::start("crash-a", fault);
        std::thread b = ThreadHooks::start("crash-b", fault);
        a.join();
        b.join();
    } else if (scenario == "nested") {
        CBugReport::setTestFaultHook(&raiseBusOnFirstPass);
        writeLowAddress();
    }
    std::printf("survived %s (installed %d)\n", scenario.c_str(), installed);
    return 0;
}
