#pragma once

#include "disk/DiskDir.h"

#include <QString>

#include <functional>
#include <memory>

// How a backup puts one photo into a cloud folder: a library item (the
// device album's backup) or a photo just taken (the cloud album's camera).
// Main thread only. After upload() exactly one done() follows (true on
// success), unless cancelCurrent() came first: a cancelled upload may end
// silently.
class CloudBackupUploader {
public:
    struct Callbacks {
        std::function<void(float percent)> progress;   // 0..100
        std::function<void(bool succeeded)> done;
        // Before done(false), when the account had no room left for it.
        std::function<void()> spaceFull;
        // Before done(false), when the sign-in key lapsed (-401).
        std::function<void()> requireLogin;
    };

    virtual ~CloudBackupUploader() = default;

    // source: the asset's URL text; fileName: the name in the folder.
    virtual void upload(const QString& source, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                        Callbacks callbacks) = 0;
    // The same for bytes made here (a photo just taken) under fileName.
    virtual void uploadData(const QByteArray& data, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                            Callbacks callbacks) = 0;
    // Stops the upload in flight and discards what it sent.
    virtual void cancelCurrent() = 0;
};
