#pragma once

#include <cstdint>

// The run facts of a crash (processor load, battery, free memory and
// storage), taken at crash time with system calls only, so that a crash
// converted at a later launch still carries its own. prepare() finds the
// battery and takes the processor baseline in a normal context; take() is
// async-signal-safe.
class CrashRunFacts {
public:
    struct Values {
        int64_t cpuMilli = -1000;    // processor load since the baseline, in thousandths of a percent
        int battery = -100;          // percent, -100 when there is no battery
        int64_t freeMem = -1;        // bytes
        int64_t freeStorage = -1;    // bytes free on "/"
        int64_t freeSDCard = -1;     // bytes free where the home is
    };

    static void prepare(const char* homeRoot);
    // Takes a new processor baseline (normal context).
    static void refreshBaseline();
    static Values take();
};
