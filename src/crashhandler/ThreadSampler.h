#pragma once

#include "crashhandler/StackWalker.h"
#include "crashhandler/ThreadList.h"

#include <cstdint>

class ImageTable;

// Reads the other threads' stacks at crash time. askAll asks every listed
// thread at once with a reserved real-time signal; each thread's
// handler walks its own stack from its context (FrameUnwinder) into its own
// slot, answers, and waits (at most 2 s) until released. The asker waits for
// all answers under one deadline of kAnswerWaitMs in total, however many
// threads block the signal; a thread that has not answered by then is given
// up (an answer that comes later is ignored). Only the crash report's owner
// calls askAll, collect and releaseAll; a new round first releases threads still
// waiting from an earlier one (a later pass of the writer). Async-signal-safe.
class ThreadSampler {
public:
    static constexpr long kAnswerWaitMs = 200;

    // Installs the handler for sig (SA_SIGINFO | SA_ONSTACK).
    static void install(int sig);
    static int signal();

    // Asks every thread of threads except selfTid; they walk meanwhile.
    // framePointersOnly makes them walk with frame pointers alone.
    static void askAll(const ThreadList& threads, int selfTid, const ImageTable& images, bool framePointersOnly);
    // Waits until every asked thread answered, at most kAnswerWaitMs after
    // askAll; whoever has not answered then is given up.
    static void collect();
    // The frames of threads.tid(index) in the last round, or -1 when that
    // thread did not answer (or was not asked).
    static int frames(int index, const uintptr_t** out);
    // Lets the threads of the last round go on.
    static void releaseAll();
};
