#include "disk/DiskBlob.h"

#include "disk/DiskStoreTypes.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace DiskBlob {

int failureOf(int error)
{
    return error == ENOSPC || error == EFBIG || error == EDQUOT ? DiskStoreRet::kNoSpace : DiskStoreRet::kIoError;
}

bool create(const QString& path)
{
    const int fd = AtomicFile::openForGrowing(path);
    if (fd < 0)
        return false;
    const bool ok = ::ftruncate(fd, 0) == 0;
    ::close(fd);
    return ok;
}

std::unique_ptr<QFile> openForReading(const QString& path, QIODevice::OpenMode mode)
{
    const int fd = RegularFile::open(path);
    if (fd < 0)
        return nullptr;
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly | mode, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return nullptr;
    }
    return file;
}

int openForWriting(const QString& path)
{
    return RegularFile::open(path, O_RDWR | O_CREAT, 0644);
}

int writeAt(int fd, qint64 offset, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    qint64 at = offset;
    while (left > 0) {
        const ssize_t n = ::pwrite(fd, data, size_t(left), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            (void)::ftruncate(fd, offset);
            return failureOf(error);
        }
        data += n, left -= n, at += n;
    }
    return DiskStoreRet::kOk;
}

int sync(int fd)
{
    return ::fdatasync(fd) == 0 ? DiskStoreRet::kOk : failureOf(errno);
}

}
