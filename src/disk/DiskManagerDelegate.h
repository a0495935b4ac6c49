#pragma once

#include "disk/DiskDir.h"
#include "disk/DiskError.h"
#include "disk/DiskFile.h"
#include "disk/DiskLifetime.h"
#include "disk/DiskUser.h"

#include <QList>

#include <memory>

using DiskDirPtr = std::shared_ptr<DiskDir>;
using DiskUserPtr = std::shared_ptr<DiskUser>;

// What the disk facade tells a request's response object, always on the
// main thread. Every message is optional. The facade holds response objects
// weakly: one destroyed before its answer hears nothing.
class DiskManagerDelegate : public DiskLifetime {
public:
    ~DiskManagerDelegate() override = default;

    // Uploads.
    virtual void fileUploading(float percent, const DiskFilePtr& file) { (void)percent, (void)file; }
    virtual void fileUploadSuccess(const DiskFilePtr& file) { (void)file; }
    virtual void fileUploadFail(const DiskFilePtr& file) { (void)file; }
    // The failure with its reason; unless overridden it is told as fileUploadFail.
    virtual void fileUploadFailWithError(const DiskFilePtr& file, const DiskError& error)
    {
        (void)error;
        fileUploadFail(file);
    }
    // Instead of the failure, when the upload cannot start because the same
    // file is already uploading (here or in another run of the program); the
    // count of this facade's uploads under way.
    virtual void fileUploadRunning(int count) { (void)count; }

    // Downloads.
    virtual void fileDownloading(float percent, const DiskFilePtr& file) { (void)percent, (void)file; }
    virtual void fileDownloadSuccess(const DiskFilePtr& file) { (void)file; }
    virtual void fileDonwloadFail(const DiskFilePtr& file, const DiskError& error) { (void)file, (void)error; }

    // Deletion.
    virtual void fileDidDeleteSuccess(const DiskFilePtr& file) { (void)file; }
    virtual void fileDidDeleteFail(const DiskFilePtr& file, const DiskError& error) { (void)file, (void)error; }

    // Thumbnails.
    virtual void thumbnailDownloadSuccess(const DiskFilePtr& file) { (void)file; }
    virtual void thumbnailDonwloadFail(const DiskFilePtr& file, const DiskError& error) { (void)file, (void)error; }

    // Folder listings.
    virtual void fileDidQueryDirListSuccess(const DiskDirPtr& dir, const QList<DiskFilePtr>& files,
                                            const QList<DiskDirPtr>& dirs)
    {
        (void)dir, (void)files, (void)dirs;
    }
    virtual void fileDidQueryDirListRootDir(const DiskDirPtr& dir, const QList<DiskFilePtr>& files,
                                            const QList<DiskDirPtr>& dirs)
    {
        (void)dir, (void)files, (void)dirs;
    }
    virtual void fileDidQueryDirListFail(const DiskDirPtr& dir, const QString& message) { (void)dir, (void)message; }

    // The account.
    virtual void fileDidQueryUserUserInfo(const DiskUserPtr& user) { (void)user; }
    virtual void fileDidQueryUserNeedPassword(const DiskUserPtr& user) { (void)user; }
    virtual void fileDidQueryUserUserInfoFail(const DiskUserPtr& user, const DiskError& error) { (void)user, (void)error; }
    virtual void fileDidQueryPasswordFail(const DiskUserPtr& user, const DiskError* error) { (void)user, (void)error; }
    virtual void fileDidUpdateUserFreeSpaceSize(const DiskUserPtr& user) { (void)user; }
    virtual void fileOperationStateDidChange(const DiskFilePtr& file) { (void)file; }

    // New folders.
    virtual void fileMakeDirSuccess(const DiskDirPtr& dir) { (void)dir; }
    virtual void fileMakeDirFailWithErrorCode(const DiskError& error) { (void)error; }

    // A command's reply said the sign-in key lapsed (-401).
    virtual void fileRequireLogin() {}
    // Whether the facade may show its own error alert for this object's requests.
    virtual bool canShowErrorAlert() { return false; }
};
