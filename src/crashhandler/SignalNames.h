#pragma once

#include <csignal>

// Names of a signal and its code as Linux numbers them ("SIGSEGV",
// "SEGV_MAPERR"). Anything without a name keeps its decimal text, so a
// user-sent code reads "0", "-6" (tkill) or "128" (kernel).
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
