#pragma once

#include "albums/batch/BatchOutcome.h"

#include <QString>

// What the cloud album shows when one of its two batches ends, without
// widgets: an alert, a toast or nothing, and the usage event that goes with
// it. A lost network shows only the network alert.
struct CloudBatchNotice {
    enum class Batch { Save, Delete };
    enum class Kind { None, Alert, Toast };

    static constexpr int kSaveFinishedEvent = 27145;
    static constexpr double kToastSeconds = 0.8;

    Kind kind = Kind::None;
    QString message;
    int usageEvent = 0;

    static CloudBatchNotice decide(Batch batch, const BatchOutcome& outcome);
    // "网络连接错误，请检查网络。"
    static QString networkErrorText();
};
