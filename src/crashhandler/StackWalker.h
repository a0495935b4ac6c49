#pragma once

#include <cstdint>

// A bounded frame-pointer walk. The first frame is the thread's pc; each
// later one is the return address of the frame record at fp (saved fp, then
// return address, on x86-64 and aarch64), read through SafeRead. The walk
// ends when a read fails, the return address is 0, fp is misaligned, after
// a frame whose saved fp is 0 or does not rise, or after kMaxFrames frames. Return addresses keep bit 0 (x86-64); on aarch64
// pointer-authentication bits are stripped. Async-signal-safe.
class StackWalker {
public:
    static constexpr int kMaxFrames = 256;

    StackWalker(uintptr_t pc, uintptr_t fp);
    // A walker from the pc and fp of a signal's user context.
    static StackWalker makeStackWalker(const void* ucontext);
    // Ends a walk: nextStackFrame yields nothing more (a walker holds no
    // resources).
    static void freeStackWalker(StackWalker& walker);
    static uintptr_t contextPc(const void* ucontext);
    static uintptr_t contextFp(const void* ucontext);

    // Yields the next frame's address; false at the end.
    bool nextStackFrame(uintptr_t& pc);

private:
    uintptr_t m_pc;
    uintptr_t m_fp;
    int m_frames = 0;
    bool m_done = false;
};
