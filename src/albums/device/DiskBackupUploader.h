#pragma once

#include "albums/device/CloudBackupUploader.h"
#include "disk/DiskManagerDelegate.h"

class DiskManager;

// The backup's uploads through the cloud-disk facade: a new upload file
// from the asset's URL (or from bytes), its kind from its name, queued with this object as
// the response. One upload at a time; a cancelled one is deleted on the
// disk (which stops it) and its late answer is ignored.
class DiskBackupUploader : public CloudBackupUploader, public DiskManagerDelegate {
public:
    explicit DiskBackupUploader(DiskManager* disk = nullptr);   // null: the shared facade

    void upload(const QString& source, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                Callbacks callbacks) override;
    void uploadData(const QByteArray& data, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                    Callbacks callbacks) override;
    void cancelCurrent() override;

    const DiskFilePtr& curUploadFile() const { return m_current; }

    // DiskManagerDelegate
    void fileUploading(float percent, const DiskFilePtr& file) override;
    void fileUploadSuccess(const DiskFilePtr& file) override;
    void fileUploadFail(const DiskFilePtr& file) override;
    void fileUploadFailWithError(const DiskFilePtr& file, const DiskError& error) override;
    void fileRequireLogin() override;

private:
    void send(DiskFilePtr file, Callbacks callbacks);
    void end(const DiskFilePtr& file, bool succeeded);

    DiskManager& m_disk;
    DiskFilePtr m_current;
    Callbacks m_callbacks;
};
