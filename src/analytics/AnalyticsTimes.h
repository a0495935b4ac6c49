#pragma once

#include <atomic>
#include <cstdint>

// The analytics facade's four times (milliseconds since 1970, 0 = unset).
// They live here, as plain atomics, so the crash writer can print them from
// inside a signal handler; the facade reads and writes them through these.
struct AnalyticsTimes {
    static std::atomic<int64_t> startTime;
    static std::atomic<int64_t> backGroundTime;
    static std::atomic<int64_t> resumeTime;
    static std::atomic<int64_t> serverInitTime;
};
