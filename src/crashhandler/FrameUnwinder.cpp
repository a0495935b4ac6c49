#include "crashhandler/FrameUnwinder.h"

#include "crashhandler/ImageTable.h"
#include "crashhandler/StackWalker.h"

#include <csetjmp>
#include <pthread.h>
#include <dlfcn.h>
#include <unwind.h>

namespace {

#if defined(__x86_64__)
constexpr int kFramePointerRegister = 6;    // rbp
#elif defined(__aarch64__)
constexpr int kFramePointerRegister = 29;   // x29
#endif

// The walk under way on this thread, to jump back to when it faults.
__attribute__((tls_model("initial-exec"))) thread_local sigjmp_buf* t_walkGuard = nullptr;

struct Walk {
    uintptr_t contextPc;
    const ImageTable* images;
    uintptr_t* frames;
    int n;
    int max;
    bool reached = false;   // the interrupted frame was found
    bool stopped = false;   // ended here: full, or an address outside the code
    uintptr_t lastFp = 0;
};

_Unwind_Reason_Code onFrame(_Unwind_Context* context, void* arg)
{
    auto* w = static_cast<Walk*>(arg);
    int beforeInstruction = 0;
    const uintptr_t ip = _Unwind_GetIPInfo(context, &beforeInstruction);
    if (!w->reached) {
        // The handler's own frames come first; the interrupted frame is the
        // one the kernel's signal frame resumes at the context's pc.
        if (beforeInstruction && ip == w->contextPc) {
            w->reached = true;
            w->lastFp = _Unwind_GetGR(context, kFramePointerRegister);
        }
        return _URC_NO_REASON;
    }
    if (w->n >= w->max || ip == 0 || !w->images->isExecutable(ip)) {
        w->stopped = true;
        return _URC_END_OF_STACK;
    }
    w->frames[w->n++] = ip;
    w->lastFp = _Unwind_GetGR(context, kFramePointerRegister);
    return _URC_NO_REASON;
}

// Continues with the frame-pointer walk from the frame (pc, fp).
int continueWithFramePointers(uintptr_t pc, uintptr_t fp, const ImageTable& images, uintptr_t* frames, int n,
                              int max)
{
    StackWalker walker(pc, fp);
    uintptr_t frame = 0;
    walker.nextStackFrame(frame);   // pc itself, already listed
    while (n < max && walker.nextStackFrame(frame) && images.isExecutable(frame))
        frames[n++] = frame;
    return n;
}

// Whether the image holding the address carries unwind tables: a walk that
// ended there ended at the outermost frame, not for want of information.
bool hasUnwindTables(uintptr_t address)
{
    dl_find_object found;
    return _dl_find_object(reinterpret_cast<void*>(address), &found) == 0 && found.dlfo_eh_frame;
}

}

void FrameUnwinder::prepare()
{
    // The first walk sets up the unwinder's register tables (a once-only
    // initialisation that may lock) and binds its functions.
    struct Ignore {
        static _Unwind_Reason_Code frame(_Unwind_Context*, void*) { return _URC_NO_REASON; }
    };
    _Unwind_Backtrace(&Ignore::frame, nullptr);
    dl_find_object found;
    _dl_find_object(reinterpret_cast<void*>(&FrameUnwinder::prepare), &found);
}

int FrameUnwinder::walkFramePointers(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max)
{
    if (max <= 0)
        return 0;
    const uintptr_t pc = StackWalker::contextPc(ucontext);
    frames[0] = pc;
    return continueWithFramePointers(pc, StackWalker::contextFp(ucontext), images, frames, 1, max);
}

void FrameUnwinder::recoverFromFault(const siginfo_t* info)
{
    sigjmp_buf* guard = t_walkGuard;
    if (!guard || !info || info->si_code <= 0)
        return;   // not a fault of this thread's walk
    t_walkGuard = nullptr;
    siglongjmp(*guard, 1);
}

int FrameUnwinder::walk(const void* ucontext, const ImageTable& images, uintptr_t* frames, int max)
{
    if (max <= 0)
        return 0;
    Walk w{StackWalker::contextPc(ucontext), &images, frames, 1, max};
    frames[0] = w.contextPc;
    sigjmp_buf guard;
    // The mask is saved here and comes back with the jump.
    if (sigsetjmp(guard, 1) != 0)
        return walkFramePointers(ucontext, images, frames, max);
    sigset_t faults;
    sigemptyset(&faults);
    sigaddset(&faults, SIGSEGV);
    sigaddset(&faults, SIGBUS);
    sigset_t before;
    t_walkGuard = &guard;
    pthread_sigmask(SIG_UNBLOCK, &faults, &before);
    _Unwind_Backtrace(&onFrame, &w);
    pthread_sigmask(SIG_SETMASK, &before, nullptr);
    t_walkGuard = nullptr;
    if (!w.reached)
        return walkFramePointers(ucontext, images, frames, max);
    if (w.stopped || w.n >= max)
        return w.n;
    const uintptr_t last = frames[w.n - 1];
    if (hasUnwindTables(w.n > 1 ? last - 1 : last))
        return w.n;
    return continueWithFramePointers(last, w.n > 1 ? w.lastFp : StackWalker::contextFp(ucontext), images, frames,
                                     w.n, max);
}
