#include "albums/device/DiskBackupUploader.h"

#include "disk/DiskFileHelper.h"
#include "disk/DiskManager.h"

DiskBackupUploader::DiskBackupUploader(DiskManager* disk) : m_disk(disk ? *disk : DiskManager::shareDiskManager()) {}

void DiskBackupUploader::upload(const QString& source, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                                Callbacks callbacks)
{
    DiskFilePtr file = DiskFile::initWithUploadSource(source, fileName, dir);
    if (!file) {
        // The photo is gone from the library.
        if (callbacks.done)
            callbacks.done(false);
        return;
    }
    file->setExtType(DiskFileHelper::fileExtensionTypeFrom(file->file_name()));
    m_current = file;
    m_callbacks = std::move(callbacks);
    m_disk.requestUploadFile(file, this);
}

void DiskBackupUploader::cancelCurrent()
{
    if (!m_current)
        return;
    DiskFilePtr file = std::move(m_current);
    m_current.reset();
    m_callbacks = Callbacks();
    m_disk.requestDeleteFile(file, nullptr);
}

void DiskBackupUploader::fileUploading(float percent, const DiskFilePtr& file)
{
    if (file && file == m_current && m_callbacks.progress)
        m_callbacks.progress(percent);
}

void DiskBackupUploader::fileUploadSuccess(const DiskFilePtr& file)
{
    end(file, true);
}

void DiskBackupUploader::fileUploadFail(const DiskFilePtr& file)
{
    end(file, false);
}

void DiskBackupUploader::end(const DiskFilePtr& file, bool succeeded)
{
    if (!file || file != m_current)
        return;
    m_current.reset();
    Callbacks callbacks = std::move(m_callbacks);
    m_callbacks = Callbacks();
    if (callbacks.done)
        callbacks.done(succeeded);
}
