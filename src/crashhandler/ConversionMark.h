#pragma once

#include <QString>

// The leftover crash this process is converting, as the report writer sees
// it. Should this process crash while the mark is set, on any thread, the
// writer renames the crash's facts file to the name that counts one more
// attempt (PendingCrash): only a conversion that crashed is counted. A
// process killed or stopped meanwhile leaves the name as it was, so a kill
// uses up no attempt.
//
// Normal context sets and clears the mark, one conversion at a time, and
// writes its paths only while it is clear; the writer takes it once,
// async-signal-safe, and a mark it took is never written again.
class ConversionMark {
public:
    // False when a path does not fit or a crash is being written.
    static bool set(const QString& factsPath, const QString& crashedPath);
    static void clear();
    // The crash path: renames the marked facts file once. Async-signal-safe.
    static void countCrash();
};
