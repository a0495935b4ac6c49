#pragma once

#include <csignal>
#include <cstdint>

class ImageTable;

// Walks a stack from a signal's user context with the call-frame information
// the images carry (the C++ runtime's unwinder, run from the signal handler
// through the kernel's signal frame), so the walk passes through system
// libraries and finds the caller of a leaf function. The frames of the
// handler itself are passed over: the walk starts at the context's pc. Where
// that information ends (code without any) the frame-pointer walk
// (StackWalker) goes on; it does the whole walk when the unwinder never
// reaches the context. Every frame after the first must lie inside an
// executable mapping of the table, and the walk ends at the first that does
// not.
//
// Async-signal-safe once prepare() has run: the unwinder finds an address's
// image through the loader's lock-free lookup (_dl_find_object), never
// through dl_iterate_phdr and its lock, allocates nothing and takes no lock
// while no program registers unwind tables by hand (nothing here does). Its
// reads are plain loads, so a walk over a smashed stack may fault: walk
// lets SIGSEGV and SIGBUS through while it runs, and the crash handler hands
// such a fault to recoverFromFault first, which jumps back into the walk;
// the frame-pointer walk, whose reads never fault, then does it all. A
// caller already handling a fault of the writer walks with frame pointers
// only (walkFramePointers).
class FrameUnwinder {
public:
    // Lets the unwinder's one-time set-up happen in a normal context.
    static void prepare();
    // Fills frames (at most max); returns the count.
    static int walk(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max);
    static int walkFramePointers(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max);
    // Called by a fault signal's handler before anything else: when the
    // fault hit a walk of the calling thread, does not return (the walk
    // goes on without the unwinder); otherwise does nothing.
    static void recoverFromFault(const siginfo_t* info);
};
