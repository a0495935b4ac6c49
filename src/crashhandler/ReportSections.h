#pragma once

#include "crashhandler/FixedText.h"

#include <cstdint>
#include <ctime>

class ImageTable;
class SafeOutput;
class ThreadList;

// The sections of a crash report, written by CBugReport::GenerateBugDesc.
// Async-signal-safe; they read CrashState and fill CrashReportData.
class ReportSections {
public:
    // "Hardware Model" down to "Report Version:  104" and the blank line.
    static void printHeader(SafeOutput& out, const timespec& now);
    // The SDK times and model texts, each only when set, and
    // "Machine code Type".
    static void printSdkLines(SafeOutput& out);
    // "%-2d %-30s %#010llx %#010llx + %lu\n"; with copy, also
    // "%d %s %#010llx %#010llx + %lu\n" appended to it.
    static void printFrame(SafeOutput& out, int index, uintptr_t pc, const ImageTable& images,
                           FixedText<32768>* copy);
    // The uncaught exception's return addresses as frames, then "\n";
    // they replace errorStack.
    static void PrintExceptionCS(SafeOutput& out, const ImageTable& images);
    // Lists the threads and asks all but the calling one for their stacks
    // (ThreadSampler), so they walk while the report is being written.
    // framePointersOnly: walks with frame pointers alone (a later pass,
    // after the writer itself faulted).
    static void askThreads(const ImageTable& images, ThreadList& threads, bool framePointersOnly);
    // After askThreads: "Crashed Thread: %d", every thread's frames (the
    // crashed one's walked here, the others' collected from the sampler;
    // headers only for one that did not answer), the register dump. The
    // sampled threads stay held until ThreadSampler::releaseAll.
    static void PrintThreads(SafeOutput& out, void* context, const ImageTable& images, ThreadList& threads,
                             bool framePointersOnly);
};
