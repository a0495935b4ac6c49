#pragma once

#include "albums/batch/BatchCounts.h"
#include "albums/batch/BatchOutcome.h"

#include <functional>

// What a batch's owner is told, always on the main thread. Any may be empty.
struct BatchCallbacks {
    // After each handled item, with the counts so far.
    std::function<void(const BatchCounts&)> progress;
    // The item in flight reported its own progress (0..1).
    std::function<void(unsigned index, float fraction)> itemProgress;
    // Once per batch, after the last progress.
    std::function<void(const BatchOutcome&)> finished;
};
