#pragma once

#include "crashhandler/FixedText.h"

#include <atomic>
#include <csignal>
#include <cstdint>

// The writer's process-wide state: facts pre-computed at install and the
// per-crash state of the passes. Static storage, never destroyed, written on
// the crash path without locks (the report owner is the only writer then).
struct CrashState {
    static CrashState& instance();

    // Install time.
    FixedText<256> identifier;
    FixedText<64> version;
    FixedText<256> processName;
    FixedText<256> osVersion;
    FixedText<256> parentName;
    FixedText<1024> crashDirectory;
    FixedText<4096> executablePath;
    FixedText<256> hardwareModel;
    FixedText<256> localizedModel;
    FixedText<256> deviceName;
    int32_t pid = 0;
    int32_t parentPid = 0;
    int dirFd = -1;
    std::atomic<long> zoneOffsetSeconds{0};   // seconds east of UTC
    std::atomic<int> appActive{0};
    int samplerSignal = 0;

    // Crash time.
    std::atomic<int> reentryCount{0};
    std::atomic<int> ownerTid{0};
    int firstReportFile = -1;   // the first pass's report while open, else -1
    bool firstReportSet = false;
    bool reportOpened = false;
    int signal = 0;
    int code = 0;
    FixedText<1024> factsName;
    FixedText<64> crashTimeText;

    // Uncaught C++ exception, set before abort().
    FixedText<4096> exceptionText;
    static constexpr int kMaxExceptionFrames = 128;
    uintptr_t exceptionReturnAddresses[kMaxExceptionFrames + 1] = {};
    bool hasExceptionAddresses = false;
};
