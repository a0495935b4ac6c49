#pragma once

#include "crashhandler/BRInitParam.h"

#include <csignal>
#include <cstdint>

class CrashReportData;

// The crash report writer: catches SIGABRT, SIGBUS, SIGFPE, SIGILL, SIGSEGV
// and SIGTRAP and, on the crashing thread, writes "crash_<local time>.log"
// (and "crash_<time>_2.log" when the writer itself faults) plus a facts file
// "crash_<time>.facts" into the crash directory, and fills CrashReportData.
//
// Everything from the signal to the report's last byte is async-signal-safe:
// the crash folder is opened at install, static facts and the image table
// are pre-computed, buffers are static, text goes through SafeFormat, and no
// malloc, stdio, locks (the loader's included) or localtime are used. The
// other threads are asked for their stacks all at once as a crash begins
// and held until the report and facts are out. When the report cannot be
// opened it goes to standard output, while descriptor 1 is still the file
// it was at arming. The first crashing thread owns the report; a
// second thread that crashes meanwhile parks until the process dies. No
// program counter is ever moved: after the report the default actions come
// back and the signal is raised again, so the process dies by its own signal.
// A leftover crash this process was converting meanwhile has its attempt
// counted first (ConversionMark).
//
// Record step (the seam for the crash record keeper):
//   CBugReport::setRecordStep(fn) registers fn. At crash time, after the
//   report and the complete facts file are on disk and CrashReportData is
//   filled, the owner thread calls fn(CrashReportData::expData()) once, still
//   inside the signal handler, under an alarm watchdog of
//   kRecordWatchdogSeconds: should fn hang, the watchdog ends the process by
//   the original signal. fn is not called when no step is registered. fn must
//   itself decline to run when the record store is busy (any thread, the
//   crashing one included, inside it); the files stay behind and the next
//   launch converts them (CrashFacts::pending / CrashFacts::read). fn may
//   delete the report and facts files once its record is stored.
class CBugReport {
public:
    using RecordStep = void (*)(const CrashReportData& data);
    static constexpr unsigned kRecordWatchdogSeconds = 5;
    static constexpr unsigned kWriterWatchdogSeconds = 10;
    static constexpr int kSignalCount = 6;
    // Stands for any text parameter that is absent.
    static constexpr const char* emptyText = "";
    static const int kSignals[kSignalCount];   // in installation order

    // Arms the writer before anything else of the launch runs: opens the
    // crash folder (when none is open yet), gives the calling thread an
    // alternate signal stack, installs the six handlers and the sampler for
    // the other threads' stacks, and ignores SIGXFSZ (a file-size limit makes
    // the writer's writes fail instead of ending it). A crash after this
    // leaves a report, with the facts Init has not filled in yet empty.
    static void arm(const char* crashDirectory);
    // Copies the parameters, arms (again), builds the image table from the
    // loader's list and (re)installs the six handlers. Returns the number of
    // Init calls so far.
    static uint8_t Init(const BRInitParam& param);
    // Normal context: rebuilds the image table when a library came or went
    // since it was built (the crash path then needs not read the mappings).
    static void refreshImages();
    static uint8_t installedCount();
    // Gives the calling thread a 64 KiB (or larger) alternate signal stack;
    // false when it already had one or registration failed.
    static bool InitAltStack();

    static void setRecordStep(RecordStep step);

    // Whether the application is active (in front); recorded in the facts.
    static void setAppActive(bool active);

    // Set by the uncaught-exception path before abort(): the exception's
    // type name and what(), its return addresses and symbol lines.
    static void setException(const char* name, const char* reason,
                             void* const* returnAddresses, int count,
                             const char* symbolLines);

    // The installed handler.
    static void signal_handler(int sig, siginfo_t* info, void* context);
    // Restores the default actions and raises sig again.
    static void sighandler(int sig, siginfo_t* info, void* context);
    // Writes one report (one pass).
    static void GenerateBugDesc(int flag, siginfo_t* info, void* context);

    // The local UTC offset in seconds, taken at install; refresh it from a
    // normal context (the installer does so hourly).
    static void refreshZoneOffset();

    // Tests only: called in each pass after the report header is written,
    // with the pass number (1 for the first).
    using FaultHook = void (*)(int pass);
    static void setTestFaultHook(FaultHook hook);
};
