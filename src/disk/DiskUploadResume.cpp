#include "disk/DiskUploadResume.h"

#include "disk/DiskFileCache.h"
#include "disk/DiskFileHelper.h"
#include "disk/DiskManager.h"
#include "disk/DiskUploadSource.h"
#include "platform/core/Uuid.h"

namespace DiskUploadResume {

namespace {

DiskFilePtr fileOf(const DiskFileCache::Entry& entry)
{
    auto file = std::make_shared<DiskFile>();
    file->setLocal_id(entry.localId);
    file->setFile_id(entry.fileId);
    file->setFile_name(entry.fileName);
    file->setFile_path(DiskFile::localPathFor(entry.localId, entry.fileName));
    file->setFile_size(entry.fileSize);
    file->setUploadSource(entry.source);
    file->setExtType(DiskFileHelper::fileExtensionTypeFrom(entry.fileName));
    file->setFatherDir(std::make_shared<DiskDir>(QString(), entry.fatherKey));
    return file;
}

}

void run(DiskManager& disk, DiskFileCache& cache, qint64 uin, DiskManagerDelegate* response)
{
    for (const DiskFileCache::Entry& entry : cache.fromEarlierLaunches()) {
        if (entry.uin != 0 && entry.uin != uin)
            continue;
        // The local id names the file's cached copy: only an id of the form
        // the program gives is made into a path.
        if (!Uuid::isWellFormed(entry.localId)) {
            qWarning("disk uploads: the unfinished upload \"%s\" has a damaged id; it is left alone",
                     qPrintable(entry.localId));
            continue;
        }
        const DiskFilePtr file = fileOf(entry);
        // A registered file is the upload's to judge: it reads the store's
        // row first, so a complete copy is kept whatever became of the source.
        if (!entry.fileId.isEmpty()
            || (DiskUploadSource::sizeOf(entry.source) == entry.fileSize && !entry.fatherKey.isEmpty()))
            disk.requestUploadFile(file, response);
        else
            cache.discard(*file);
    }
}

}
