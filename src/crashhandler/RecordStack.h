#pragma once

#include <cstddef>

// The stack the crash writer's record step runs on: kSize bytes (with a
// guard page below) mapped at arming, so the step, which opens the record
// store and builds the record, never runs out of the thread's small
// alternate signal stack. Switching to it is async-signal-safe.
class RecordStack {
public:
    static constexpr std::size_t kSize = 512 * 1024;

    // Maps the stack once; true when it is there.
    static bool prepare();
    // Runs fn(arg) on the record stack and comes back; on the caller's
    // stack when the record stack could not be mapped. fn must not throw.
    static void run(void (*fn)(void*), void* arg);
};
