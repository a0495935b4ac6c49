#include "crashhandler/CrashInstall.h"

#include "analytics/AnaBundleUtil.h"
#include "analytics/AnaDeviceUtil.h"
#include "analytics/AnaModel.h"
#include "crashhandler/AltStack.h"
#include "crashhandler/CBugReport.h"
#include "crashhandler/CrashClock.h"
#include "crashhandler/CrashRunFacts.h"
#include "crashhandler/CrashState.h"
#include "crashhandler/RecordStack.h"
#include "crashhandler/ThreadStartStacks.h"
#include "platform/core/AppHome.h"
#include "platform/core/ThreadHooks.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QTimer>
#include <cstdlib>
#include <cstring>
#include <cxxabi.h>
#include <execinfo.h>
#include <unistd.h>

namespace {

char crashDirectoryText[1024];

QByteArray processName(int pid)
{
    QFile f(QString("/proc/%1/comm").arg(pid));
    return f.open(QIODevice::ReadOnly) ? f.readAll().trimmed() : QByteArray();
}

QByteArray osVersionText()
{
    QFile f("/etc/os-release");
    QByteArray release = f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    QString build = AnaDeviceUtil::buildFromOsRelease(release);
    return QString("%1 %2 (%3)").arg(AnaDeviceUtil::getOSName(), AnaDeviceUtil::systemVersion(), build).toUtf8();
}

}

const char* crashDirectory()
{
    if (!crashDirectoryText[0]) {
        QByteArray dir = QFile::encodeName(AppHome::current().documents()) + "/";
        std::size_t n = std::min<std::size_t>(dir.size(), sizeof crashDirectoryText - 1);
        std::memcpy(crashDirectoryText, dir.constData(), n);
        crashDirectoryText[n] = '\0';
    }
    return crashDirectoryText;
}

int initBugReport(const BRInitParam& param) { return CBugReport::Init(param); }

int installCrashHandler()
{
    AppHome::current().ensure();
    // Armed before the rest of the preamble: a crash while the facts are
    // gathered leaves a report too.
    CBugReport::arm(crashDirectory());
    AnaModel::getDefualtAnaModel();   // publishes the model for the report

    int pid = getpid();
    int ppid = getppid();
    QByteArray self = processName(pid);
    QByteArray parent = processName(ppid);
    QByteArray identifier = AnaBundleUtil::getBundleId().toUtf8();
    if (identifier.isEmpty())
        identifier = self;
    QByteArray version = AnaBundleUtil::getBundleVersion().toUtf8();
    if (version.isEmpty())
        version = "???";
    if (self.isEmpty())
        self = identifier;
    QByteArray os = osVersionText();

    BRInitParam param;
    param.identifier = identifier.constData();
    param.version = version.constData();
    param.processName = self.constData();
    param.osVersion = os.constData();
    param.parentName = parent.constData();
    param.crashDirectory = crashDirectory();
    param.pid = pid;
    param.parentPid = ppid;
    int installed = initBugReport(param);

    ThreadHooks::setStartHook(&AltStack::threadStartHook);
    ThreadStartStacks::enable();
    // Threads started before this point get their stacks now.
    AltStack::adoptRunningThreads();
    // Load the unwinders now: backtrace() in the terminate handler must not
    // have to load a library, and the crash walk must not set itself up.
    void* warm[2];
    backtrace(warm, 2);
    RecordStack::prepare();
    CrashRunFacts::prepare(QFile::encodeName(AppHome::current().root()).constData());
    std::set_terminate(&uncaughtExceptionHandler);
    return installed;
}

void startCrashClockRefresh()
{
    static QTimer* timer = nullptr;
    if (timer || !QCoreApplication::instance())
        return;
    timer = new QTimer(QCoreApplication::instance());
    timer->setSingleShot(true);
    timer->setTimerType(Qt::PreciseTimer);
    const auto schedule = [] {
        timer->start(int(CrashClock::msUntilNextMinute(QDateTime::currentMSecsSinceEpoch())));
    };
    QObject::connect(timer, &QTimer::timeout, [schedule] {
        CBugReport::refreshZoneOffset();
        CBugReport::refreshImages();
        CrashRunFacts::refreshBaseline();
        schedule();
    });
    CBugReport::refreshZoneOffset();
    CBugReport::refreshImages();
    schedule();
}

void uncaughtExceptionHandler()
{
    if (std::exception_ptr current = std::current_exception()) {
        static void* callStackReturnAddresses[CrashState::kMaxExceptionFrames];
        int count = backtrace(callStackReturnAddresses, CrashState::kMaxExceptionFrames);
        QByteArray name = "unknown";
        if (std::type_info* type = abi::__cxa_current_exception_type()) {
            int status = 0;
            char* demangled = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
            name = demangled && status == 0 ? QByteArray(demangled) : QByteArray(type->name());
            std::free(demangled);
        }
        QByteArray reason;
        try {
            std::rethrow_exception(current);
        } catch (const std::exception& e) {
            reason = e.what();
        } catch (...) {
        }
        QByteArray callStackSymbols;
        if (char** lines = backtrace_symbols(callStackReturnAddresses, count)) {
            for (int i = 0; i < count; ++i)
                callStackSymbols += QByteArray(lines[i]) + (i + 1 < count ? "\n" : "");
            std::free(lines);
        }
        CBugReport::setException(name.constData(), reason.constData(), callStackReturnAddresses, count,
                                 callStackSymbols.constData());
    }
    std::abort();
}

const char* crashTimeString()
{
    static char text[128];
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    CrashClock::crashTimeText(text, sizeof text, now, CrashState::instance().zoneOffsetSeconds.load());
    return text;
}
