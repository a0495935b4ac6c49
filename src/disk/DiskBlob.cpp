#include "disk/DiskBlob.h"

#include "disk/DiskStoreTypes.h"

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
    QFile blob(path);
    return blob.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

int openForWriting(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
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
