#include "shell/LaunchHooks.h"

#include <QMutex>

namespace {
QMutex g_mutex;
LaunchHooks::Hook g_crashReport;
LaunchHooks::Hook g_removeCounters;

LaunchHooks::Hook take(const LaunchHooks::Hook& hook)
{
    QMutexLocker lock(&g_mutex);
    return hook;
}
}

void LaunchHooks::setCrashReport(Hook hook)
{
    QMutexLocker lock(&g_mutex);
    g_crashReport = std::move(hook);
}

void LaunchHooks::setRemovePreviousVersionCrashCounters(Hook hook)
{
    QMutexLocker lock(&g_mutex);
    g_removeCounters = std::move(hook);
}

void LaunchHooks::crashReport()
{
    if (Hook hook = take(g_crashReport))
        hook();
}

void LaunchHooks::removePreviousVersionCrashCounters()
{
    if (Hook hook = take(g_removeCounters))
        hook();
}

