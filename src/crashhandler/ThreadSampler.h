#pragma once

#include <cstdint>

// Reads another thread's pc and frame pointer at crash time: a reserved
// real-time signal asks the thread, whose handler copies them from its
// context, answers on a futex and waits (at most 2 s) until released, so its
// stack holds still while it is walked. One thread at a time; a thread that
// does not answer within 200 ms is given up. Async-signal-safe.
class ThreadSampler {
public:
    // Installs the handler for sig (SA_SIGINFO | SA_ONSTACK).
    static void install(int sig);
    static int signal();

    // Stops thread tid and reads its registers; false when it did not answer.
    static bool sample(int tid, uintptr_t& pc, uintptr_t& fp);
    // Lets the sampled thread go on.
    static void release();
};
