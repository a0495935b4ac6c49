#include "disk/DiskUploadSource.h"

#include "platform/core/RegularFile.h"
#include "platform/photolib/PhotoLibrary.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <unistd.h>

namespace DiskUploadSource {

namespace {

QString localPath(const QString& source)
{
    return source.startsWith(kFileScheme) ? QUrl(source).toLocalFile() : QString();
}

PhotoAssetPtr assetOf(const QString& source)
{
    if (!source.startsWith(kAssetScheme))
        return nullptr;
    const std::shared_ptr<PhotoLibrary> library = PhotoLibrary::shared();
    return library ? library->assetForUrl(source) : nullptr;
}

}

qint64 sizeOf(const QString& source)
{
    if (const PhotoAssetPtr asset = assetOf(source))
        return asset->size();
    const QString path = localPath(source);
    const QFileInfo info(path);
    return !path.isEmpty() && info.isFile() ? info.size() : -1;
}

std::unique_ptr<QIODevice> open(const QString& source)
{
    if (const PhotoAssetPtr asset = assetOf(source)) {
        auto buffer = std::make_unique<QBuffer>();
        if (!asset->readAll(&buffer->buffer()) || !buffer->open(QIODevice::ReadOnly))
            return nullptr;
        return buffer;
    }
    // A regular file only: a pipe or a device would hold the upload's
    // thread, and with it the disk's shutdown, for as long as it gives bytes.
    const int fd = RegularFile::open(localPath(source));
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

}
