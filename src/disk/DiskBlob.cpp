#include "disk/DiskBlob.h"

#include "codec/Digest.h"
#include "disk/DiskStoreTypes.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace DiskBlob {

namespace {

bool isNoSpace(int error)
{
    return error == ENOSPC || error == EFBIG || error == EDQUOT;
}

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

}

bool create(const QString& path)
{
    QFile blob(path);
    return blob.open(QIODevice::WriteOnly | QIODevice::Truncate);
}

qint64 sizeOf(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() ? info.size() : 0;
}

int writeAt(const QString& path, qint64 offset, const QByteArray& bytes)
{
    if (!QFile::exists(path) && !create(path))
        return DiskStoreRet::kIoError;
    const Fd fd(::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC));
    struct stat info {};
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0
        || (info.st_size != offset && ::ftruncate(fd.get(), offset) != 0))
        return DiskStoreRet::kIoError;
    const char* data = bytes.constData();
    qint64 left = bytes.size();
    qint64 at = offset;
    while (left > 0) {
        const ssize_t n = ::pwrite(fd.get(), data, size_t(left), off_t(at));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            (void)::ftruncate(fd.get(), offset);
            return isNoSpace(error) ? DiskStoreRet::kNoSpace : DiskStoreRet::kIoError;
        }
        data += n, left -= n, at += n;
    }
    if (::fdatasync(fd.get()) != 0) {
        const int error = errno;
        (void)::ftruncate(fd.get(), offset);
        return isNoSpace(error) ? DiskStoreRet::kNoSpace : DiskStoreRet::kIoError;
    }
    return DiskStoreRet::kOk;
}

bool sha1Hex(const QString& path, QString* out)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    CodecSha1Stream sha1;
    QByteArray piece(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = file.read(piece.data(), piece.size());
        if (n < 0)
            return false;
        if (n == 0)
            break;
        sha1.update(piece.constData(), size_t(n));
    }
    *out = QString::fromStdString(sha1.finishHex());
    return true;
}

}
