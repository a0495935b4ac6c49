#pragma once

#include <cstddef>
#include <cstdint>

// Reads this process's memory without ever faulting: an unmapped or
// unreadable address gives false instead of a signal. Async-signal-safe.
class SafeRead {
public:
    static bool read(uintptr_t address, void* out, std::size_t size);
    static bool readWord(uintptr_t address, uintptr_t& out) { return read(address, &out, sizeof out); }
    // Makes the fallback pipe; called at install (the first read needs none).
    static void prepare();
};
