#pragma once

#include <cstdint>

// What the installer hands to CBugReport::Init. Strings may be null (they
// become empty texts); Init copies them into fixed buffers.
struct BRInitParam {
    const char* identifier = nullptr;     // bundle id, else the process name
    const char* version = nullptr;        // bundle version, else "???"
    const char* processName = nullptr;    // the kernel's name for this process
    const char* osVersion = nullptr;      // "Linux 6.1.0-18-amd64 (12)"
    const char* parentName = nullptr;
    const char* crashDirectory = nullptr; // documents directory, ending in "/"
    int32_t pid = 0;
    int32_t parentPid = 0;
};
