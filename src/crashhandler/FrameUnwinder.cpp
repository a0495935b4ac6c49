#include "crashhandler/FrameUnwinder.h"

#include "crashhandler/ImageTable.h"
#include "crashhandler/StackWalker.h"

#define UNW_LOCAL_ONLY
#include <libunwind.h>

namespace {

#if defined(__x86_64__)
constexpr int kFramePointerRegister = UNW_X86_64_RBP;
#elif defined(__aarch64__)
constexpr int kFramePointerRegister = UNW_AARCH64_X29;
#endif

// Continues with the frame-pointer walk from the last frame found.
int walkFramePointers(uintptr_t pc, uintptr_t fp, const ImageTable& images, uintptr_t* frames, int n, int max)
{
    StackWalker walker(pc, fp);
    uintptr_t frame = 0;
    walker.nextStackFrame(frame);   // pc itself, already listed
    while (n < max && walker.nextStackFrame(frame) && images.isExecutable(frame))
        frames[n++] = frame;
    return n;
}

}

void FrameUnwinder::prepare()
{
    unw_set_caching_policy(unw_local_addr_space, UNW_CACHE_PER_THREAD);
    unw_context_t context;
    unw_cursor_t cursor;
    if (unw_getcontext(&context) != 0 || unw_init_local(&cursor, &context) != 0)
        return;
    for (int i = 0; i < 64 && unw_step(&cursor) > 0; ++i) {
    }
}

int FrameUnwinder::walk(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max)
{
    if (max <= 0)
        return 0;
    int n = 0;
    uintptr_t pc = StackWalker::contextPc(ucontext);
    uintptr_t fp = StackWalker::contextFp(ucontext);
    frames[n++] = pc;
    // The context is only read: the unwinder copies the registers it needs.
    auto* context = static_cast<unw_context_t*>(const_cast<void*>(ucontext));
    unw_cursor_t cursor;
    if (unw_init_local2(&cursor, context, UNW_INIT_SIGNAL_FRAME) != 0)
        return walkFramePointers(pc, fp, images, frames, n, max);
    while (n < max) {
        const int step = unw_step(&cursor);
        if (step == 0)
            return n;   // the outermost frame
        if (step < 0)
            return walkFramePointers(pc, fp, images, frames, n, max);
        unw_word_t ip = 0;
        unw_word_t framePointer = 0;
        if (unw_get_reg(&cursor, UNW_REG_IP, &ip) != 0 || !images.isExecutable(ip))
            return n;
        unw_get_reg(&cursor, kFramePointerRegister, &framePointer);
        pc = ip;
        fp = framePointer;
        frames[n++] = pc;
    }
    return n;
}
