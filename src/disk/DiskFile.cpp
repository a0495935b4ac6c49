#include "disk/DiskFile.h"

#include "codec/Digest.h"
#include "disk/DiskFileCache.h"
#include "disk/DiskFileHelper.h"
#include "disk/DiskUploadSource.h"
#include "platform/core/AppHome.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Uuid.h"

#include <QDir>
#include <QUrl>

QString DiskFile::cacheFolder()
{
    return AppHome::current().caches() + "/DiskFiles";
}

QString DiskFile::localPathFor(const QString& id, const QString& fileName)
{
    const QString ext = DiskFileHelper::upperExtension(fileName);
    return cacheFolder() + "/" + id + (ext.isEmpty() ? QString() : "." + ext);
}

QString DiskFile::file_id() const
{
    QMutexLocker lock(&m_mutex);
    return m_fileId;
}

void DiskFile::setFile_id(const QString& id)
{
    QMutexLocker lock(&m_mutex);
    m_fileId = id;
}

std::shared_ptr<DiskFile> DiskFile::initWithUploadSource(const QString& source, const QString& fileName,
                                                         std::shared_ptr<DiskDir> fatherDir)
{
    const qint64 size = DiskUploadSource::sizeOf(source);
    if (size < 0)
        return nullptr;
    auto file = std::make_shared<DiskFile>();
    file->setLocal_id(Uuid::create());
    file->setFile_name(fileName);
    file->setFile_path(localPathFor(file->local_id(), fileName));
    file->setFile_size(size);
    file->setUploadSource(source);
    file->setExtType(DiskFileHelper::fileExtensionTypeFrom(fileName));
    file->setFatherDir(std::move(fatherDir));
    DiskFileCache::shared().record(*file);
    return file;
}

std::shared_ptr<DiskFile> DiskFile::initWithUploadData(const QByteArray& data, const QString& fileName,
                                                       std::shared_ptr<DiskDir> fatherDir)
{
    const QString id = Uuid::create();
    const QString path = localPathFor(id, fileName);
    if (!QDir().mkpath(cacheFolder()) || !AtomicFile::write(path, data))
        return nullptr;
    auto file = std::make_shared<DiskFile>();
    file->setLocal_id(id);
    file->setFile_name(fileName);
    file->setFile_path(path);
    file->setFile_size(data.size());
    file->setUploadSource(QUrl::fromLocalFile(path).toString());
    file->setExtType(DiskFileHelper::fileExtensionTypeFrom(fileName));
    file->setFatherDir(std::move(fatherDir));
    const std::string bytes = data.toStdString();
    file->setDigests(QString::fromStdString(codec_sha1_hex(bytes)), QString::fromStdString(codec_md5_hex(bytes)));
    DiskFileCache::shared().record(*file);
    return file;
}
