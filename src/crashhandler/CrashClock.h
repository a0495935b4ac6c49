#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>

// Local time texts without localtime: the caller passes the UTC offset taken
// in a normal context (seconds east, daylight saving included), and the
// civil date comes from day arithmetic. Async-signal-safe.
class CrashClock {
public:
    struct Civil {
        int year, month, day, hour, minute, second;
    };
    static Civil civil(int64_t localSeconds);

    // "%04d_%02d_%02d_%02d_%02d_%02d"
    static void crashTimeText(char* out, std::size_t cap, const timespec& now, long offsetSeconds);
    // "%d-%02d-%02d %02d:%02d:%02d.%03d %+05d", the zone as signed hhmm.
    static void dateTimeText(char* out, std::size_t cap, const timespec& now, long offsetSeconds);
    static int zoneValue(long offsetSeconds);

    // The current offset, through localtime_r (normal context only).
    static long currentOffset();
    // Milliseconds from nowMs (since 1970) to just past the next full
    // minute, when zone changes take effect.
    static int64_t msUntilNextMinute(int64_t nowMs);
};
