#pragma once

#include <cstdint>

class ImageTable;

// Walks a stack from a signal's user context with the call-frame information
// the images carry (libunwind's local unwinder), so the walk passes through
// system libraries and finds the caller of a leaf function. Where that
// information ends the frame-pointer walk (StackWalker) goes on. The first
// frame is the context's pc; every later one must lie inside an executable
// mapping of the table, and the walk ends at the first that does not.
//
// Async-signal-safe once prepare() has run: it opens libunwind, sets its
// per-thread cache and lets its one-time set-up (memory pool, tables) happen
// in a normal context, so nothing is allocated and no lock is taken at crash
// time. Without libunwind the frame-pointer walk does it all.
class FrameUnwinder {
public:
    static void prepare();
    // Fills frames (at most max); returns the count.
    static int walk(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max);
};
