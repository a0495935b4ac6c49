#pragma once

#include "albums/batch/BatchCounts.h"

#include <QString>
#include <QStringList>

// The end message of a private-album batch that handled its items: a success
// toast or an alert, worked out from the counts.
struct SecretBatchSummary {
    enum class Kind { MoveOut, Delete };

    static constexpr int kMoveOutDoneTag = 102;     // "不再提示" stores the hide key
    static constexpr int kMoveOutFailedTag = 103;
    static constexpr double kToastSeconds = 0.8;
    static constexpr const char* kHideAlertKey = "LocalAlbumDecryptSuccessHideAlert";

    bool toast = false;
    QString text;
    QString cancelTitle;
    QStringList otherTitles;
    int tag = 0;

    // hideSuccessAlert: the hide key holds a value (move-out only).
    static SecretBatchSummary of(Kind kind, const BatchCounts& counts, bool hideSuccessAlert);
};
