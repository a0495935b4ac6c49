#include "crashhandler/ThreadSampler.h"

#include "crashhandler/FrameUnwinder.h"
#include "crashhandler/ThreadList.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::atomic<int> g_signal{0};
std::atomic<int> g_requestTid{0};
std::atomic<int> g_requestSeq{0};
std::atomic<int> g_ack{0};
std::atomic<int> g_release{0};
std::atomic<const ImageTable*> g_images{nullptr};
std::atomic<uintptr_t*> g_frames{nullptr};
std::atomic<int> g_max{0};
std::atomic<int> g_count{0};

constexpr long kAnswerWaitNs = 200L * 1000 * 1000;
constexpr long kParkWaitNs = 2000L * 1000 * 1000;

long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000L + ts.tv_nsec;
}

// Waits until word == want or the deadline passes; true when it did.
bool waitFor(std::atomic<int>& word, int want, long deadline)
{
    for (;;) {
        int seen = word.load();
        if (seen == want)
            return true;
        long left = deadline - nowNs();
        if (left <= 0)
            return false;
        timespec ts{left / 1000000000L, left % 1000000000L};
        syscall(SYS_futex, reinterpret_cast<int*>(&word), FUTEX_WAIT, seen, &ts, nullptr, 0);
    }
}

void wake(std::atomic<int>& word)
{
    syscall(SYS_futex, reinterpret_cast<int*>(&word), FUTEX_WAKE, 1, nullptr, nullptr, 0);
}

void onSample(int, siginfo_t*, void* context)
{
    int seq = g_requestSeq.load();
    if (g_requestTid.load() != ThreadList::currentTid())
        return;
    g_count.store(FrameUnwinder::walk(context, *g_images.load(), g_frames.load(), g_max.load()));
    g_ack.store(seq);
    wake(g_ack);
    waitFor(g_release, seq, nowNs() + kParkWaitNs);
}

}

void ThreadSampler::install(int sig)
{
    struct sigaction sa{};
    sa.sa_sigaction = &onSample;
    sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_RESTART;
    sigemptyset(&sa.sa_mask);
    if (sigaction(sig, &sa, nullptr) == 0)
        g_signal.store(sig);
}

int ThreadSampler::signal() { return g_signal.load(); }

int ThreadSampler::sample(int tid, const ImageTable& images, uintptr_t* frames, int max)
{
    int sig = g_signal.load();
    if (!sig)
        return -1;
    g_images.store(&images);
    g_frames.store(frames);
    g_max.store(max);
    g_count.store(0);
    int seq = g_requestSeq.load() + 1;
    g_requestTid.store(tid);
    g_requestSeq.store(seq);
    if (syscall(SYS_tgkill, getpid(), tid, sig) != 0)
        return -1;
    if (!waitFor(g_ack, seq, nowNs() + kAnswerWaitNs)) {
        g_requestTid.store(0);
        return -1;
    }
    return g_count.load();
}

void ThreadSampler::release()
{
    g_requestTid.store(0);
    g_release.store(g_requestSeq.load());
    wake(g_release);
}
