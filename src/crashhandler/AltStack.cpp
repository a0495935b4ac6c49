#include "crashhandler/AltStack.h"

#include "crashhandler/ThreadList.h"

#include <atomic>
#include <csignal>
#include <ctime>
#include <sys/mman.h>
#include <sys/syscall.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

// Frees the thread's stack when the thread ends (the main thread's is kept
// for the life of the process, so a crash during exit still has it).
struct Holder {
    void* base = nullptr;
    std::size_t length = 0;
    ~Holder()
    {
        if (!base)
            return;
        stack_t off{};
        off.ss_flags = SS_DISABLE;
        sigaltstack(&off, nullptr);
        munmap(base, length);
    }
};

thread_local Holder t_holder;

// A stack mapped with a guard page below it; null when mapping failed.
void* mapStack(std::size_t size, std::size_t guard)
{
    void* base = mmap(nullptr, size + guard, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (base == MAP_FAILED)
        return nullptr;
    mprotect(base, guard, PROT_NONE);
    return base;
}

// The offer to one thread: the stack, the thread it is for, and its answer
// (0 none yet, 1 taken, 2 declined).
std::atomic<void*> g_offer{nullptr};
std::atomic<int> g_offerTid{0};
std::atomic<int> g_answer{0};
std::atomic<std::size_t> g_offerSize{0};

// The return from a handler restores the alternate stack saved in its
// context, so the new stack goes there rather than through sigaltstack.
void onAdopt(int, siginfo_t*, void* context)
{
    if (g_offerTid.load() != ThreadList::currentTid())
        return;
    auto* uc = static_cast<ucontext_t*>(context);
    int answer = 2;
    if (uc->uc_stack.ss_flags & SS_DISABLE) {
        uc->uc_stack.ss_sp = g_offer.load();
        uc->uc_stack.ss_size = g_offerSize.load();
        uc->uc_stack.ss_flags = 0;
        answer = 1;
    }
    g_answer.store(answer);
}

}

std::size_t AltStack::stackSize()
{
    long page = sysconf(_SC_PAGESIZE);
    std::size_t size = 65536;
#ifdef _SC_MINSIGSTKSZ
    long min = sysconf(_SC_MINSIGSTKSZ);
    if (min > 0 && std::size_t(min) + 32768 > size)
        size = std::size_t(min) + 32768;
#endif
    return (size + std::size_t(page) - 1) / std::size_t(page) * std::size_t(page);
}

bool AltStack::ensureForCurrentThread()
{
    stack_t current{};
    if (sigaltstack(nullptr, &current) != 0 || !(current.ss_flags & SS_DISABLE))
        return false;
    std::size_t size = stackSize();
    std::size_t guard = std::size_t(sysconf(_SC_PAGESIZE));
    void* base = mapStack(size, guard);
    if (!base)
        return false;
    stack_t stack{};
    stack.ss_sp = static_cast<char*>(base) + guard;
    stack.ss_size = size;
    stack.ss_flags = 0;
    if (sigaltstack(&stack, nullptr) != 0) {
        munmap(base, size + guard);
        return false;
    }
    if (syscall(SYS_gettid) != getpid()) {
        t_holder.base = base;
        t_holder.length = size + guard;
    }
    return true;
}

void AltStack::threadStartHook() { ensureForCurrentThread(); }

bool AltStack::currentThreadHasOne()
{
    stack_t current{};
    return sigaltstack(nullptr, &current) == 0 && !(current.ss_flags & SS_DISABLE);
}

int AltStack::adoptRunningThreads()
{
    const int sig = SIGRTMIN + 4;
    struct sigaction sa{};
    sa.sa_sigaction = &onAdopt;
    sa.sa_flags = SA_RESTART | SA_SIGINFO;
    sigemptyset(&sa.sa_mask);
    if (sigaction(sig, &sa, nullptr) != 0)
        return 0;
    static ThreadList threads;
    threads.collect();
    const std::size_t size = stackSize();
    const std::size_t guard = std::size_t(sysconf(_SC_PAGESIZE));
    const int self = ThreadList::currentTid();
    int adopted = 0;
    for (int i = 0; i < threads.count(); ++i) {
        const int tid = threads.tid(i);
        if (tid == self)
            continue;
        void* base = mapStack(size, guard);
        if (!base)
            break;
        g_offer.store(static_cast<char*>(base) + guard);
        g_offerSize.store(size);
        g_answer.store(0);
        g_offerTid.store(tid);
        int answer = 0;
        if (syscall(SYS_tgkill, getpid(), tid, sig) == 0) {
            for (int waited = 0; waited < 200 && (answer = g_answer.load()) == 0; ++waited) {
                timespec ms{0, 1000000};
                nanosleep(&ms, nullptr);
            }
        }
        g_offerTid.store(0);
        if (answer == 1)
            ++adopted;
        else if (answer == 2)
            munmap(base, size + guard);
        // No answer: the thread may still take the stack later, so it stays.
    }
    return adopted;
}
