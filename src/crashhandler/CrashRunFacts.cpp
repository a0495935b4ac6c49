#include "crashhandler/CrashRunFacts.h"

#include "crashhandler/CrashReportData.h"
#include "crashhandler/FixedText.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <fcntl.h>
#include <sys/statfs.h>
#include <sys/sysinfo.h>
#include <unistd.h>

namespace {

FixedText<512> g_batteryCapacity;
FixedText<1024> g_home;
std::atomic<uint64_t> g_busy{0};
std::atomic<uint64_t> g_all{0};

// Reads a small file into buf with open/read; the length, or -1.
int readSmall(const char* path, char* buf, int cap)
{
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    int got = 0;
    while (got < cap - 1) {
        ssize_t n = ::read(fd, buf + got, std::size_t(cap - 1 - got));
        if (n <= 0)
            break;
        got += int(n);
    }
    ::close(fd);
    buf[got] = '\0';
    return got;
}

const char* number(const char* p, uint64_t& value)
{
    while (*p == ' ')
        ++p;
    value = 0;
    while (*p >= '0' && *p <= '9')
        value = value * 10 + uint64_t(*p++ - '0');
    return p;
}

// Busy and all ticks of the first line of /proc/stat ("cpu user nice system idle ...").
bool cpuTicks(uint64_t& busy, uint64_t& all)
{
    char text[512];
    if (readSmall("/proc/stat", text, sizeof text) < 4 || text[0] != 'c' || text[1] != 'p' || text[2] != 'u')
        return false;
    uint64_t user = 0, nice = 0, system = 0, idle = 0;
    number(number(number(number(text + 3, user), nice), system), idle);
    busy = user + system;
    all = busy + idle + nice;
    return true;
}

int64_t freeBytes(const char* path)
{
    struct statfs s{};
    if (!*path || statfs(path, &s) != 0)
        return -1;
    return int64_t(s.f_frsize) * int64_t(s.f_bfree);
}

}

void CrashRunFacts::prepare(const char* homeRoot)
{
    g_home.assign(homeRoot ? homeRoot : "");
    const QDir supplies("/sys/class/power_supply");
    for (const QString& name : supplies.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile type(supplies.filePath(name + "/type"));
        if (type.open(QIODevice::ReadOnly) && type.readAll().trimmed() == "Battery") {
            g_batteryCapacity.assign(QFile::encodeName(supplies.filePath(name + "/capacity")).constData());
            break;
        }
    }
    refreshBaseline();
}

void CrashRunFacts::refreshBaseline()
{
    uint64_t busy = 0, all = 0;
    if (cpuTicks(busy, all)) {
        g_busy.store(busy);
        g_all.store(all);
    }
}

void CrashRunFacts::take(CrashReportData& data)
{
    uint64_t busy = 0, all = 0;
    if (cpuTicks(busy, all)) {
        const uint64_t dBusy = busy - g_busy.load();
        const uint64_t dAll = all - g_all.load();
        data.cpu = dAll == 0 ? 0.0f : float(double(dBusy) * 100.0 / double(dAll));
    }
    char text[32];
    if (g_batteryCapacity.size() > 0 && readSmall(g_batteryCapacity.c_str(), text, sizeof text) > 0) {
        uint64_t percent = 0;
        number(text, percent);
        data.battery = int32_t(percent);
    }
    struct sysinfo info{};
    if (sysinfo(&info) == 0)
        data.freeMem = int64_t(info.freeram) * int64_t(info.mem_unit);
    data.freeStoreage = freeBytes("/");
    data.freesdcard = freeBytes(g_home.c_str());
}
