#pragma once

#include <cstdint>

class ImageTable;

// Reads another thread's stack at crash time: a reserved real-time signal
// asks the thread, whose handler walks its own stack from its context
// (FrameUnwinder) into the asker's buffer, answers on a futex and waits (at
// most 2 s) until released. One thread at a time; a thread that does not
// answer within 200 ms is given up. Async-signal-safe.
class ThreadSampler {
public:
    // Installs the handler for sig (SA_SIGINFO | SA_ONSTACK).
    static void install(int sig);
    static int signal();

    // Stops thread tid and has it walk its stack into frames (at most max);
    // returns the frame count, or -1 when it did not answer.
    static int sample(int tid, const ImageTable& images, uintptr_t* frames, int max);
    // Lets the sampled thread go on.
    static void release();
};
