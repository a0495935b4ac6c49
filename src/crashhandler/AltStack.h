#pragma once

#include <cstddef>

// Per-thread alternate signal stacks, so a thread that overflows its own
// stack can still run the crash handler. Each stack is mmap'ed with a guard
// page below it, at least 64 KiB (more when the system's minimum signal
// stack asks for it), and freed when its thread ends. An existing alternate
// stack is never replaced.
class AltStack {
public:
    // Gives the calling thread a stack; true when one was registered now,
    // false when the thread already had one or registration failed.
    static bool ensureForCurrentThread();
    // The start hook for ThreadHooks.
    static void threadStartHook();
    static std::size_t stackSize();
};
