#pragma once

#include <cstdint>

// One loaded image (executable, shared object or the vDSO): its path, the
// address of its ELF header, the size up to the end of its last executable
// mapping, its GNU build-id (0 bytes when it has none) and the processor
// name from the ELF machine.
struct MachImageInfo {
    const char* path = "";
    const char* shortName = "";
    uint64_t loadAddress = 0;
    uint64_t size = 0;
    uint8_t uuid[32] = {};
    uint8_t uuidLength = 0;
    char cpuName[12] = {};

    // Lower-case hexadecimal build-id into out (at least 65 bytes).
    void uuidHex(char* out) const;
    // count bytes as lower-case hexadecimal, high nibble first, into out
    // (2 * count + 1 bytes). Async-signal-safe.
    static void bytesToHex(const uint8_t* bytes, int count, char* out);
    bool contains(uint64_t address) const { return address >= loadAddress && address - loadAddress < size; }
};
