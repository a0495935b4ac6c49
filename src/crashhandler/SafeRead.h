#pragma once

#include <cstddef>
#include <cstdint>

// Reads this process's memory without ever faulting: an unmapped or
// unreadable address gives false instead of a signal. Async-signal-safe.
// The process id the reads name is taken at prepare() and again by
// noteProcess(), which the crash writer calls as a crash begins (a forked
// child reads its own memory, not its parent's); without either, each read
// asks for it.
class SafeRead {
public:
    static bool read(uintptr_t address, void* out, std::size_t size);
    static bool readWord(uintptr_t address, uintptr_t& out) { return read(address, &out, sizeof out); }

    // Several reads in one system call; ok[i] tells whether ranges[i] was
    // read whole. Returns how many were.
    struct Range {
        uintptr_t address;
        void* out;
        std::size_t size;
    };
    static int readMany(const Range* ranges, int count, bool* ok);

    // Makes the fallback pipe and notes the process id; called at install.
    static void prepare();
    static void noteProcess();
};
