#pragma once

#include <csignal>

// Names of a signal and its code as Linux numbers them ("SIGSEGV",
// "SEGV_MAPERR"; code 0 of the four fault signals is "SEGV_NOOP" and the
// like, and x86's breakpoint trap "TRAP_BRKPT"). Anything else without a
// name keeps its decimal text: "-6" (tkill), "0" for other signals.
class SignalNames {
public:
    static constexpr int kBufferSize = 32;   // two 16-byte fields

    // Fills buffer and points sigName and codeName into it or at constant
    // texts. Async-signal-safe.
    static void map_sig_name(int sig, int code, char* buffer, const char** sigName,
                             const char** codeName);
    static void map_sig_name(const siginfo_t* info, char* buffer, const char** sigName,
                             const char** codeName);
};
