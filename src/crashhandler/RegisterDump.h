#pragma once

class SafeOutput;

// The crashed thread's registers from its signal context, four to a line as
// "%6s: 0x%016llx": on x86-64 rax..r15, rip, rfl and cr2 under
// "Thread %u crashed with X86 Thread State (64-bit):", on aarch64 x0..x28,
// fp, lr, sp, pc, cpsr and far under "... ARM Thread State (64-bit):".
// Async-signal-safe.
class RegisterDump {
public:
    static void PrintThreadContext(SafeOutput& out, unsigned index, const void* ucontext);
};
