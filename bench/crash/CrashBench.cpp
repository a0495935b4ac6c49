// From the fault to the crashed process's exit, for a process with 8
// threads: with the crash writer installed, with the writer and its record
// step (the crash stored in the record store), and with no handler at all.
// The benchmark starts itself as the crashing child:
//   bench_crash --crash-child <handler|record|none> <home>
// The child writes the monotonic time just before its fault to its standard
// output; the parent takes the time when waitpid returns.

#include "crashhandler/CrashInstall.h"
#include "crashhandler/CrashReporter.h"
#include "platform/core/AppHome.h"
#include "platform/core/ThreadHooks.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <atomic>
#include <cstring>
#include <ctime>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <benchmark/benchmark.h>

extern char** environ;

namespace {

constexpr int kThreads = 8;
std::string g_self;

long long monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

volatile uintptr_t g_low = 0x10;

[[noreturn]] int crashChild(int argc, char** argv)
{
    rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    QCoreApplication app(argc, argv);
    const bool record = std::strcmp(argv[2], "record") == 0;
    if (record || std::strcmp(argv[2], "handler") == 0) {
        AppHome::setCurrent(QString::fromUtf8(argv[3]));
        installCrashHandler();
    }
    if (record) {
        CrashReporter& reporter = CrashReporter::sharedInstance();
        reporter.setUploader([](const auto&) {});
        reporter.install("none", false);
    }
    static std::atomic<int> parked{0};
    for (int i = 1; i < kThreads; ++i) {
        ThreadHooks::start("parked", [] {
            ++parked;
            for (;;)
                pause();
        }).detach();
    }
    while (parked.load() < kThreads - 1)
        usleep(100);
    long long t = monotonicNs();
    if (write(1, &t, sizeof t) != ssize_t(sizeof t))
        _exit(3);
    *reinterpret_cast<volatile int*>(g_low) = 1;
    _exit(4);
}

// One crash; returns seconds from the fault to waitpid's return, or -1.
double crashOnce(const char* mode, const std::string& home)
{
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    const char* argv[] = {g_self.c_str(), "--crash-child", mode, home.c_str(), nullptr};
    pid_t pid = 0;
    int rc = posix_spawn(&pid, g_self.c_str(), &actions, nullptr, const_cast<char**>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (rc != 0) {
        close(fds[0]);
        return -1;
    }
    long long faultAt = 0;
    ssize_t n = read(fds[0], &faultAt, sizeof faultAt);
    close(fds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    long long exitAt = monotonicNs();
    if (n != ssize_t(sizeof faultAt) || !WIFSIGNALED(status) || WTERMSIG(status) != SIGSEGV)
        return -1;
    return double(exitAt - faultAt) / 1e9;
}

void runCrashes(benchmark::State& state, const char* mode)
{
    QTemporaryDir home;
    for (auto _ : state) {
        double seconds = crashOnce(mode, home.path().toStdString());
        if (seconds < 0) {
            state.SkipWithError("the child did not die by SIGSEGV");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

void BM_CrashWithHandler(benchmark::State& state) { runCrashes(state, "handler"); }
void BM_CrashWithRecordStep(benchmark::State& state) { runCrashes(state, "record"); }
void BM_CrashWithoutHandler(benchmark::State& state) { runCrashes(state, "none"); }

}

BENCHMARK(BM_CrashWithHandler)->UseManualTime()->Iterations(1)->Repetitions(30)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrashWithRecordStep)->UseManualTime()->Iterations(1)->Repetitions(30)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CrashWithoutHandler)->UseManualTime()->Iterations(1)->Repetitions(30)->ReportAggregatesOnly(true)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv)
{
    char self[4096];
    ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    g_self.assign(self, n > 0 ? std::size_t(n) : 0);
    if (argc >= 4 && std::strcmp(argv[1], "--crash-child") == 0)
        crashChild(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
