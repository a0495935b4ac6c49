#include "analytics/AnalyticsTimes.h"

std::atomic<int64_t> AnalyticsTimes::startTime{0};
std::atomic<int64_t> AnalyticsTimes::backGroundTime{0};
std::atomic<int64_t> AnalyticsTimes::resumeTime{0};
std::atomic<int64_t> AnalyticsTimes::serverInitTime{0};
