#pragma once

class CrashReportData;

// The run facts of a crash (processor load, battery, free memory and
// storage), taken at crash time with system calls only, so that a crash
// converted at a later launch still carries its own. prepare() finds the
// battery and takes the processor baseline in a normal context; take() is
// async-signal-safe.
class CrashRunFacts {
public:
    static void prepare(const char* homeRoot);
    // Takes a new processor baseline (normal context).
    static void refreshBaseline();
    // Fills cpu (load since the baseline), battery, freeMem, freeStoreage
    // and freesdcard of the crash data.
    static void take(CrashReportData& data);
};
