#include "disk/DiskUploadSource.h"

#include "platform/core/AtomicFile.h"
#include "platform/photolib/PhotoLibrary.h"

#include <QFileInfo>
#include <QUrl>

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

bool readAll(const QString& source, QByteArray* out)
{
    if (const PhotoAssetPtr asset = assetOf(source))
        return asset->readAll(out);
    const QString path = localPath(source);
    return !path.isEmpty() && AtomicFile::read(path, out);
}

}
