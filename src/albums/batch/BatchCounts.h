#pragma once

// Where a batch stands: items in all, items handled, and how they ended.
struct BatchCounts {
    unsigned total = 0;
    unsigned done = 0;
    unsigned succeeded = 0;
    unsigned failed = 0;

    bool allHandled() const { return done >= total; }
    bool operator==(const BatchCounts&) const = default;
};
