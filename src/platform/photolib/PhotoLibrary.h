#pragma once

#include "platform/photolib/PhotoAsset.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <functional>
#include <memory>

// The device photo library as the albums see it. The folder-backed library
// serves the application; tests use fakes.
class PhotoLibrary {
public:
    struct SaveResult {
        QString url;     // the new asset's URL on success
        QString error;   // empty on success
        bool ok() const { return error.isEmpty(); }
    };
    using SaveCompletion = std::function<void(const SaveResult&)>;

    virtual ~PhotoLibrary() = default;

    // The asset a URL names, or null when the library has no such item.
    virtual PhotoAssetPtr assetForUrl(const QString& url) = 0;

    // Saves bytes unchanged as a new item of the camera roll, with the given
    // extension ("JPG", "PNG"...) and, when valid, date. The completion runs
    // exactly once, later, on the main thread; it carries an error when the
    // save failed. Callable from any thread.
    virtual void saveToLibrary(const QByteArray& bytes, const QString& ext, const QDateTime& date,
                               SaveCompletion completion) = 0;

    // At the program's end: saves not yet begun are refused (their
    // completions carry an error), the one being written is finished, and
    // this returns once it is. Main thread, before main() returns.
    virtual void stopSaves() {}

    // The process-wide library (a folder library at FolderPhotoLibrary's
    // default root unless one was set).
    static std::shared_ptr<PhotoLibrary> shared();
    static void setShared(std::shared_ptr<PhotoLibrary> library);
    // stopSaves() on the process-wide library, when there is one.
    static void stopSharedSaves();
};
