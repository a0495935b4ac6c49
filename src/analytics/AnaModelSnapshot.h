#pragma once

#include <cstdint>

// A copy of the SDK model's texts in fixed buffers, published for the crash
// writer, which reads it inside a signal handler (no locks, no allocation).
// A field with has* false was nil.
struct AnaModelSnapshot {
    static constexpr int kTextSize = 256;

    struct Text {
        bool has = false;
        char text[kTextSize] = {};
    };

    Text appId;
    Text appVersion;
    Text sdkId;
    Text sdkVersion;
    Text appVerbuild;
    Text hardwareOs;
    Text qua;
    Text guid;
    Text apn;
    Text contact;
    int64_t serverTimeDelta = 0;
};
