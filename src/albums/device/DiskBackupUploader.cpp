#include "albums/device/DiskBackupUploader.h"

#include "disk/DiskFileHelper.h"
#include "disk/DiskManager.h"
#include "disk/DiskStoreTypes.h"

DiskBackupUploader::DiskBackupUploader(DiskManager* disk) : m_disk(disk ? *disk : DiskManager::shareDiskManager()) {}

void DiskBackupUploader::upload(const QString& source, const QString& fileName, const std::shared_ptr<DiskDir>& dir,
                                Callbacks callbacks)
{
    // Without a file the photo is gone from the library.
    send(DiskFile::initWithUploadSource(source, fileName, dir), std::move(callbacks));
}

void DiskBackupUploader::uploadData(const QByteArray& data, const QString& fileName,
                                    const std::shared_ptr<DiskDir>& dir, Callbacks callbacks)
{
    // Without a file its cached copy could not be written.
    send(DiskFile::initWithUploadData(data, fileName, dir), std::move(callbacks));
}

void DiskBackupUploader::send(DiskFilePtr file, Callbacks callbacks)
{
    if (!file) {
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

void DiskBackupUploader::fileUploadFailWithError(const DiskFilePtr& file, const DiskError& error)
{
    if (file && file == m_current && error.code == DiskStoreRet::kNoSpace && m_callbacks.spaceFull)
        m_callbacks.spaceFull();
    end(file, false);
}

void DiskBackupUploader::fileRequireLogin()
{
    // Only an upload in flight fails with it.
    if (m_current && m_callbacks.requireLogin)
        m_callbacks.requireLogin();
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
