#include "support/PeakMemory.h"

#include <QFile>

#include <sys/resource.h>

namespace {
qint64 statusKb(const QByteArray& field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}
qint64 g_residentAtRestartKb = 0;
}

qint64 peakResidentMb()
{
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

bool restartResidentPeak()
{
    QFile clear("/proc/self/clear_refs");
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return false;
    clear.close();
    g_residentAtRestartKb = statusKb("VmRSS");
    return g_residentAtRestartKb >= 0;
}

qint64 residentPeakSinceRestartMb()
{
    return (statusKb("VmHWM") - g_residentAtRestartKb) / 1024;
}
