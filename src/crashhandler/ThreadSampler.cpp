#include "crashhandler/ThreadSampler.h"

#include "crashhandler/FrameUnwinder.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <ctime>
#include <linux/futex.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

enum SlotState : int { kIdle, kAsked, kWalking, kAnswered, kGivenUp };

struct Slot {
    std::atomic<int> tid{0};
    std::atomic<int> round{0};
    std::atomic<int> state{kIdle};
    int count = 0;
    uintptr_t frames[StackWalker::kMaxFrames];
};

// Static: a megabyte that stays untouched until threads answer.
Slot g_slots[ThreadList::kMaxThreads];
std::atomic<int> g_slotCount{0};
std::atomic<int> g_signal{0};
std::atomic<int> g_round{0};
std::atomic<int> g_answered{0};
std::atomic<int> g_asked{0};
long g_deadline = 0;
std::atomic<int> g_release{0};
std::atomic<const ImageTable*> g_images{nullptr};
std::atomic<bool> g_framePointersOnly{false};

constexpr long kParkWaitNs = 2000L * 1000 * 1000;

long nowNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000L + ts.tv_nsec;
}

// Waits until word >= want or the deadline passes; true when it did.
bool waitAtLeast(std::atomic<int>& word, int want, long deadline)
{
    for (;;) {
        int seen = word.load();
        if (seen >= want)
            return true;
        long left = deadline - nowNs();
        if (left <= 0)
            return false;
        timespec ts{left / 1000000000L, left % 1000000000L};
        syscall(SYS_futex, reinterpret_cast<int*>(&word), FUTEX_WAIT_PRIVATE, seen, &ts, nullptr, 0);
    }
}

void wakeAll(std::atomic<int>& word)
{
    syscall(SYS_futex, reinterpret_cast<int*>(&word), FUTEX_WAKE_PRIVATE, INT_MAX, nullptr, nullptr, 0);
}

void answer(void* context)
{
    const int round = g_round.load();
    const int self = ThreadList::currentTid();
    const int count = g_slotCount.load();
    for (int i = 0; i < count; ++i) {
        Slot& slot = g_slots[i];
        if (slot.tid.load() != self || slot.round.load() != round)
            continue;
        int asked = kAsked;
        if (!slot.state.compare_exchange_strong(asked, kWalking))
            return;   // given up already, or answered
        const ImageTable& images = *g_images.load();
        slot.count = g_framePointersOnly.load()
                         ? FrameUnwinder::walkFramePointers(context, images, slot.frames, StackWalker::kMaxFrames)
                         : FrameUnwinder::walk(context, images, slot.frames, StackWalker::kMaxFrames);
        slot.state.store(kAnswered);
        // Only the last answer wakes the asker.
        if (g_answered.fetch_add(1) + 1 >= g_asked.load())
            wakeAll(g_answered);
        waitAtLeast(g_release, round, nowNs() + kParkWaitNs);
        return;
    }
}

void onSample(int, siginfo_t*, void* context)
{
    // The thread may be anywhere, between a failed call and its errno check
    // too; the walk and the wait set errno.
    const int savedErrno = errno;
    answer(context);
    errno = savedErrno;
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

void ThreadSampler::askAll(const ThreadList& threads, int selfTid, const ImageTable& images,
                           bool framePointersOnly)
{
    const int previous = g_round.load();
    const int round = previous + 1;
    // Threads still held by an earlier round go on and answer this one.
    g_release.store(previous);
    wakeAll(g_release);

    const int count = threads.count();
    const int sig = g_signal.load();
    g_images.store(&images);
    g_framePointersOnly.store(framePointersOnly);
    g_answered.store(0);
    g_asked.store(INT_MAX);   // no answer wakes the asker before all are asked
    for (int i = 0; i < count; ++i) {
        Slot& slot = g_slots[i];
        const bool ask = sig != 0 && threads.tid(i) != selfTid;
        slot.state.store(ask ? kAsked : kIdle);
        slot.count = 0;
        slot.tid.store(threads.tid(i));
        slot.round.store(round);
    }
    g_slotCount.store(count);
    g_round.store(round);

    const pid_t pid = getpid();
    int asked = 0;
    for (int i = 0; i < count; ++i) {
        Slot& slot = g_slots[i];
        if (slot.state.load() != kAsked)
            continue;
        if (syscall(SYS_tgkill, pid, slot.tid.load(), sig) == 0) {
            ++asked;
        } else {
            int expected = kAsked;
            slot.state.compare_exchange_strong(expected, kGivenUp);
        }
    }
    g_asked.store(asked);
    g_deadline = nowNs() + kAnswerWaitMs * 1000L * 1000;
}

void ThreadSampler::collect()
{
    waitAtLeast(g_answered, g_asked.load(), g_deadline);
    const int count = g_slotCount.load();
    // Whoever has not begun to answer is given up; one caught mid-walk
    // finishes into its own slot, which is not read.
    for (int i = 0; i < count; ++i) {
        int expected = kAsked;
        g_slots[i].state.compare_exchange_strong(expected, kGivenUp);
    }
}

int ThreadSampler::frames(int index, const uintptr_t** out)
{
    if (index < 0 || index >= g_slotCount.load())
        return -1;
    const Slot& slot = g_slots[index];
    if (slot.state.load() != kAnswered)
        return -1;
    *out = slot.frames;
    return slot.count;
}

void ThreadSampler::releaseAll()
{
    g_release.store(g_round.load());
    wakeAll(g_release);
}
