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

    // Gives every other thread of the process that has no alternate stack
    // one: a signal asks each in turn, and its handler registers a stack
    // mapped for it beforehand (a thread that does not answer within 200 ms
    // is passed over). Such stacks stay for the life of the process. For the
    // threads that were running before the crash writer was armed. Returns
    // how many threads took one.
    static int adoptRunningThreads();
    // Whether the calling thread has an alternate stack.
    static bool currentThreadHasOne();
};
