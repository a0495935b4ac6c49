#include "crashhandler/RecordStack.h"

#include <atomic>
#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

namespace {

std::atomic<char*> g_stack{nullptr};
ucontext_t g_caller;
ucontext_t g_callee;
void (*g_fn)(void*) = nullptr;
void* g_arg = nullptr;

void trampoline()
{
    g_fn(g_arg);
}   // returns to g_caller through uc_link

}

bool RecordStack::prepare()
{
    if (g_stack.load())
        return true;
    const std::size_t guard = std::size_t(sysconf(_SC_PAGESIZE));
    void* base = mmap(nullptr, kSize + guard, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK, -1, 0);
    if (base == MAP_FAILED)
        return false;
    mprotect(base, guard, PROT_NONE);
    g_stack.store(static_cast<char*>(base) + guard);
    return true;
}

void RecordStack::run(void (*fn)(void*), void* arg)
{
    char* stack = g_stack.load();
    if (!stack || getcontext(&g_callee) != 0) {
        fn(arg);
        return;
    }
    g_fn = fn;
    g_arg = arg;
    g_callee.uc_stack.ss_sp = stack;
    g_callee.uc_stack.ss_size = kSize;
    g_callee.uc_link = &g_caller;
    makecontext(&g_callee, &trampoline, 0);
    swapcontext(&g_caller, &g_callee);
}

