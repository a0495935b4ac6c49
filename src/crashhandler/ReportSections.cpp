#include "crashhandler/ReportSections.h"

#include "analytics/AnaModel.h"
#include "analytics/AnalyticsTimes.h"
#include "crashhandler/CrashClock.h"
#include "crashhandler/CrashReportData.h"
#include "crashhandler/CrashState.h"
#include "crashhandler/ImageTable.h"
#include "crashhandler/RegisterDump.h"
#include "crashhandler/SafeFormat.h"
#include "crashhandler/SafeOutput.h"
#include "crashhandler/StackWalker.h"
#include "crashhandler/FrameUnwinder.h"
#include "crashhandler/ThreadList.h"
#include "crashhandler/ThreadSampler.h"

void ReportSections::printFrame(SafeOutput& out, int index, uintptr_t pc, const ImageTable& images, FixedText<32768>* copy)
{
    ImageTable::Symbol sym = images.symbolise(pc);
    out.printf("%-2d %-30s %#010llx %#010llx + %lu\n", index, sym.name, (unsigned long long)pc,
               (unsigned long long)sym.base, (unsigned long)sym.offset);
    if (copy) {
        char line[512];
        SafeFormat::format(line, sizeof line, "%d %s %#010llx %#010llx + %lu\n", index, sym.name,
                           (unsigned long long)pc, (unsigned long long)sym.base, (unsigned long)sym.offset);
        copy->append(line);
    }
}

void ReportSections::PrintExceptionCS(SafeOutput& out, const ImageTable& images)
{
    CrashState& s = CrashState::instance();
    CrashReportData& data = CrashReportData::expData();
    data.errorStack.clear();
    for (int i = 0; i < CrashState::kMaxExceptionFrames && s.exceptionReturnAddresses[i]; ++i)
        printFrame(out, i, s.exceptionReturnAddresses[i], images, &data.errorStack);
    out.text("\n");
}

void ReportSections::askThreads(const ImageTable& images, ThreadList& threads, bool framePointersOnly)
{
    threads.collect();
    ThreadSampler::askAll(threads, ThreadList::currentTid(), images, framePointersOnly);
}

void ReportSections::PrintThreads(SafeOutput& out, void* context, const ImageTable& images, ThreadList& threads,
                                  bool framePointersOnly)
{
    CrashReportData& data = CrashReportData::expData();
    int self = ThreadList::currentTid();
    int crashed = threads.indexOf(self);
    // Static: the handler may run on a small alternate stack.
    static uintptr_t crashedFrames[StackWalker::kMaxFrames];
    const int crashedCount = framePointersOnly
                                 ? FrameUnwinder::walkFramePointers(context, images, crashedFrames, StackWalker::kMaxFrames)
                                 : FrameUnwinder::walk(context, images, crashedFrames, StackWalker::kMaxFrames);
    ThreadSampler::collect();

    out.printf("Crashed Thread: %d\n\n", crashed);
    char number[16];
    SafeFormat::format(number, sizeof number, "%d", crashed);
    data.thread.assign(number);
    bool fillStack = !data.errorStack.isSet();
    bool fillNames = !data.crashStackShortNames.isSet();
    for (int i = 0; i < threads.count(); ++i) {
        const bool isCrashed = i == crashed;
        out.printf("Thread %d%s:\n", i, isCrashed ? " Crashed" : "");
        const uintptr_t* frames = crashedFrames;
        const int count = isCrashed ? crashedCount : ThreadSampler::frames(i, &frames);
        for (int index = 0; index < count; ++index) {
            printFrame(out, index, frames[index], images, isCrashed && fillStack ? &data.errorStack : nullptr);
            if (isCrashed && fillNames)
                data.addShortName(images.symbolise(frames[index]).name);
        }
        out.text("\n");
    }
    RegisterDump::PrintThreadContext(out, unsigned(crashed), context);
}

void ReportSections::printHeader(SafeOutput& out, const timespec& now)
{
    CrashState& s = CrashState::instance();
    out.text("Hardware Model: ");
    out.text(s.hardwareModel.c_str());
    out.text("\nHardWare Localized Model: ");
    out.text(s.localizedModel.c_str());
    out.printf("\nProcess: %s [%d]\n", s.processName.c_str(), s.pid);
    out.text("Path: ");
    out.text(s.executablePath.c_str());
    out.printf("\nIdentifier: %s\nVersion:  %s\n", s.identifier.c_str(), s.version.c_str());
#if defined(__aarch64__)
    out.text("Code Type: ARM-64 (Native)\n");
#else
    out.text("Code Type: X86-64 (Native)\n");
#endif
    out.printf("Parent Process: %s [%d]\n\n", s.parentName.c_str(), s.parentPid);
    char date[64];
    CrashClock::dateTimeText(date, sizeof date, now, s.zoneOffsetSeconds.load());
    out.printf("Date/Time: %s\n", date);
    out.printf("OS Version: %s\n", s.osVersion.c_str());
    out.printf("Device Name: %s\n", s.deviceName.c_str());
    out.text("Report Version:  104\n\n");
}

void ReportSections::printSdkLines(SafeOutput& out)
{
    auto time = [&out](const char* fmt, int64_t v) {
        if (v > 0)
            out.printf(fmt, (long long)v);
    };
    time("SDK start time: %lli\n", AnalyticsTimes::startTime.load());
    time("SDK enter background time: %lli\n", AnalyticsTimes::backGroundTime.load());
    time("SDK resume time: %lli\n", AnalyticsTimes::resumeTime.load());
    time("SDK serverInit time: %lli\n", AnalyticsTimes::serverInitTime.load());
    const AnaModelSnapshot* m = AnaModel::published();
    if (m)
        time("SDK server time delta: %lli\n", m->serverTimeDelta);
    auto text = [&out](const char* fmt, const AnaModelSnapshot::Text& t) {
        if (t.has)
            out.printf(fmt, t.text);
    };
    if (m)
        text("HardWare OS: %s\n", m->hardwareOs);
#if defined(__aarch64__)
    out.text("Machine code Type: aarch64\n");
#else
    out.text("Machine code Type: x86_64\n");
#endif
    if (!m)
        return;
    text("VYT App Version: %s\n", m->appVersion);
    text("VYT Unique Identifier: %s\n", m->appVerbuild);
    text("VYT SDK Identifier: %s\n", m->sdkId);
    text("VYT SDK Version: %s\n", m->sdkVersion);
    text("Registed Uin : %s\n", m->qua);
    text("Network Type: %s\n", m->apn);
}
