#pragma once

#include "albums/batch/BatchOutcome.h"

#include <QString>
#include <QStringList>

#include <optional>

// What the device album shows when one of its two batches ends, without
// widgets: an alert (tagged, with its buttons), a toast, or nothing, and
// what goes with it (a picker closing at once, a usage event, the value to
// store under the "don't tell me again" key of the move).
struct DeviceBatchNotice {
    enum class Batch { Encrypt, Upload };
    enum class Kind { None, Alert, Toast };

    static constexpr int kEncryptFirstNoticeTag = 100;
    static constexpr int kEncryptNoticeTag = 101;
    static constexpr int kEncryptFailureTag = 102;
    static constexpr int kUploadFailureTag = 104;
    static constexpr int kUploadOverCellularTag = 110;
    static constexpr int kUploadSucceededEvent = 27130;
    static constexpr double kToastSeconds = 0.8;
    static constexpr const char* kHideAlertKey = "LocalAlbumEncryptSuccessHideAlert";

    Kind kind = Kind::None;
    QString message;
    QString cancelTitle;
    QStringList otherTitles;
    int tag = 0;
    // An album alert that closes itself when the application goes to the
    // background (only the first notice of a move on the private album's
    // picker); every other alert is a plain one.
    bool closesInBackground = false;
    // A picker closes at once (nothing to wait for); after an alert with a
    // tag of 100 to 104 it closes when the alert is answered.
    bool popPickerNow = false;
    int usageEvent = 0;
    std::optional<bool> storeHideAlert;

    // hideAlert: the stored "LocalAlbumEncryptSuccessHideAlert" (absent
    // until the first move without failures).
    static DeviceBatchNotice decide(Batch batch, const BatchOutcome& outcome, int useType,
                                    std::optional<bool> hideAlert);

    // Whether answering the alert with this tag closes a picker.
    static bool alertClosesPicker(int tag) { return tag >= kEncryptFirstNoticeTag && tag <= kUploadFailureTag; }
};
