#include "crashhandler/StackWalker.h"

#include "crashhandler/SafeRead.h"

#include <ucontext.h>

namespace {

uintptr_t stripReturnAddress(uintptr_t address)
{
#if defined(__aarch64__)
    return address & 0x0000FFFFFFFFFFFFull;   // pointer-authentication bits
#else
    return address;
#endif
}

}

StackWalker::StackWalker(uintptr_t pc, uintptr_t fp)
    : m_pc(pc)
    , m_fp(fp)
{
}

uintptr_t StackWalker::contextPc(const void* ucontext)
{
    const auto* uc = static_cast<const ucontext_t*>(ucontext);
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.pc);
#else
    (void)uc;
    return 0;
#endif
}

uintptr_t StackWalker::contextFp(const void* ucontext)
{
    const auto* uc = static_cast<const ucontext_t*>(ucontext);
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RBP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.regs[29]);
#else
    (void)uc;
    return 0;
#endif
}

StackWalker StackWalker::makeStackWalker(const void* ucontext)
{
    return StackWalker(contextPc(ucontext), contextFp(ucontext));
}

void StackWalker::freeStackWalker(StackWalker& walker)
{
    walker.m_done = true;
}

bool StackWalker::nextStackFrame(uintptr_t& pc)
{
    if (m_done || m_frames >= kMaxFrames)
        return false;
    if (m_frames++ == 0) {
        pc = m_pc;
        return true;
    }
    uintptr_t record[2];
    if (m_fp % sizeof(uintptr_t) != 0 || !SafeRead::read(m_fp, record, sizeof record) || record[1] == 0) {
        m_done = true;
        return false;
    }
    // The return address is good; the walk goes on only while the saved
    // frame pointer rises (a loop or a frame without a pointer ends it).
    if (record[0] == 0 || record[0] <= m_fp)
        m_done = true;
    m_fp = record[0];
    pc = stripReturnAddress(record[1]);
    return true;
}
