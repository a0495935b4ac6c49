#include "crashhandler/CrashClock.h"

#include "crashhandler/SafeFormat.h"

CrashClock::Civil CrashClock::civil(int64_t t)
{
    int64_t days = t >= 0 ? t / 86400 : -((-t + 86399) / 86400);
    int64_t rest = t - days * 86400;
    // Days since 1970-01-01 to a civil date (proleptic Gregorian).
    int64_t z = days + 719468;
    int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    int64_t doe = z - era * 146097;
    int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    int64_t mp = (5 * doy + 2) / 153;
    int64_t d = doy - (153 * mp + 2) / 5 + 1;
    int64_t m = mp < 10 ? mp + 3 : mp - 9;
    int64_t y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return Civil{int(y), int(m), int(d), int(rest / 3600), int(rest % 3600 / 60), int(rest % 60)};
}

int CrashClock::zoneValue(long offsetSeconds)
{
    long west = -offsetSeconds / 60;   // minutes west of Greenwich
    return int(-((west / 60) * 100 + west % 60));
}

void CrashClock::crashTimeText(char* out, std::size_t cap, const timespec& now, long offsetSeconds)
{
    Civil c = civil(int64_t(now.tv_sec) + offsetSeconds);
    SafeFormat::format(out, cap, "%04d_%02d_%02d_%02d_%02d_%02d", c.year, c.month, c.day, c.hour, c.minute,
                       c.second);
}

void CrashClock::dateTimeText(char* out, std::size_t cap, const timespec& now, long offsetSeconds)
{
    Civil c = civil(int64_t(now.tv_sec) + offsetSeconds);
    SafeFormat::format(out, cap, "%d-%02d-%02d %02d:%02d:%02d.%03d %+05d", c.year, c.month, c.day, c.hour,
                       c.minute, c.second, int(now.tv_nsec / 1000000), zoneValue(offsetSeconds));
}

long CrashClock::currentOffset()
{
    time_t now = time(nullptr);
    tm local{};
    localtime_r(&now, &local);
    return local.tm_gmtoff;
}

int64_t CrashClock::msUntilNextMinute(int64_t nowMs)
{
    constexpr int64_t kMinute = 60000;
    constexpr int64_t kPastTheMinute = 20;
    const int64_t intoMinute = ((nowMs % kMinute) + kMinute) % kMinute;
    return kMinute - intoMinute + kPastTheMinute;
}
