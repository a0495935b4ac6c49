#pragma once

#include <exception>

// Arms the crash report writer for this process: arms it first
// (CBugReport::arm: handlers, alternate stack, crash folder), so a crash in
// what follows is reported too, then gathers the process facts
// (identifier and version from AnaBundleUtil, the process and parent names,
// the OS text, the documents folder of AppHome::current() as the crash
// folder), calls initBugReport, gives every thread the project starts its
// own alternate signal stack (ThreadHooks start hook) and makes uncaught C++
// exceptions go through uncaughtExceptionHandler. Threads already running
// get alternate stacks too; the stack unwinder, the record step's stack and
// the run facts are set up here, before any crash. Needs no
// QCoreApplication: it is the first step of a launch. Returns Init's count.
int installCrashHandler();

// Keeps the crash writer's local-time offset, processor baseline and image
// table (libraries loaded since arming) fresh:
// refreshed now and then at every full minute, so a report written just
// after a daylight-saving change has the new offset. Needs the
// QCoreApplication; once per process.
void startCrashClockRefresh();

// The documents folder followed by "/" (filled on the first call).
const char* crashDirectory();

struct BRInitParam;
int initBugReport(const BRInitParam& param);

// The terminate handler: records the active exception's type name and
// what() ("objc_exception_name"/"objc_exception_reason"), its return
// addresses and symbol lines, then calls abort(); the SIGABRT report carries
// them. With no active exception it only aborts.
[[noreturn]] void uncaughtExceptionHandler();

// "%04d_%02d_%02d_%02d_%02d_%02d" of the local time now (async-signal-safe).
const char* crashTimeString();
