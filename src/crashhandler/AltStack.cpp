#include "crashhandler/AltStack.h"

#include <csignal>
#include <sys/mman.h>
#include <sys/syscall.h>
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
    void* base = mmap(nullptr, size + guard, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (base == MAP_FAILED)
        return false;
    mprotect(base, guard, PROT_NONE);
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
