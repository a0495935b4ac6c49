#include "crashhandler/RegisterDump.h"

#include "crashhandler/SafeOutput.h"

#include <ucontext.h>

namespace {

struct Reg {
    const char* name;
    unsigned long long value;
};

void printRegisters(SafeOutput& out, const Reg* regs, int count)
{
    for (int i = 0; i < count; ++i) {
        out.printf("%s%6s: 0x%016llx", i % 4 ? " " : "", regs[i].name, regs[i].value);
        if (i % 4 == 3 || i == count - 1)
            out.text("\n");
    }
    out.text("\n");
}

}

void RegisterDump::PrintThreadContext(SafeOutput& out, unsigned index, const void* ucontext)
{
    const auto* uc = static_cast<const ucontext_t*>(ucontext);
#if defined(__x86_64__)
    const greg_t* g = uc->uc_mcontext.gregs;
    auto v = [g](int r) { return (unsigned long long)g[r]; };
    const Reg regs[] = {
        {"rax", v(REG_RAX)}, {"rbx", v(REG_RBX)}, {"rcx", v(REG_RCX)}, {"rdx", v(REG_RDX)},
        {"rdi", v(REG_RDI)}, {"rsi", v(REG_RSI)}, {"rbp", v(REG_RBP)}, {"rsp", v(REG_RSP)},
        {"r8", v(REG_R8)},   {"r9", v(REG_R9)},   {"r10", v(REG_R10)}, {"r11", v(REG_R11)},
        {"r12", v(REG_R12)}, {"r13", v(REG_R13)}, {"r14", v(REG_R14)}, {"r15", v(REG_R15)},
        {"rip", v(REG_RIP)}, {"rfl", v(REG_EFL)}, {"cr2", v(REG_CR2)},
    };
    out.printf("Thread %u crashed with X86 Thread State (64-bit):\n", index);
    printRegisters(out, regs, int(sizeof regs / sizeof regs[0]));
#elif defined(__aarch64__)
    const auto& m = uc->uc_mcontext;
    static const char* const names[29] = {"x0",  "x1",  "x2",  "x3",  "x4",  "x5",  "x6",  "x7",
                                          "x8",  "x9",  "x10", "x11", "x12", "x13", "x14", "x15",
                                          "x16", "x17", "x18", "x19", "x20", "x21", "x22", "x23",
                                          "x24", "x25", "x26", "x27", "x28"};
    Reg regs[35];
    for (int i = 0; i < 29; ++i)
        regs[i] = {names[i], (unsigned long long)m.regs[i]};
    regs[29] = {"fp", (unsigned long long)m.regs[29]};
    regs[30] = {"lr", (unsigned long long)m.regs[30]};
    regs[31] = {"sp", (unsigned long long)m.sp};
    regs[32] = {"pc", (unsigned long long)m.pc};
    regs[33] = {"cpsr", (unsigned long long)m.pstate};
    regs[34] = {"far", (unsigned long long)m.fault_address};
    out.printf("Thread %u crashed with ARM Thread State (64-bit):\n", index);
    printRegisters(out, regs, 35);
#else
    (void)uc;
    out.printf("Thread %u crashed with an unknown thread state\n\n", index);
#endif
}
