#include "platform/core/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {
// One read call at most; a large item is not asked of the kernel in one go.
constexpr qsizetype kPiece = 1 << 20;

bool fail(QString* error, int code)
{
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(code));
    errno = code;
    return false;
}
}

int open(const QString& path, int flags, mode_t mode)
{
    if (path.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    return openNative(QFile::encodeName(path), flags | O_NOFOLLOW, mode);
}

int openNative(const QByteArray& name, int flags, mode_t mode)
{
    const int fd = ::open(name.constData(), flags | O_NONBLOCK | O_CLOEXEC, mode);
    if (fd < 0)
        return -1;
    struct stat info {};
    const int code = ::fstat(fd, &info) != 0 ? errno : S_ISREG(info.st_mode) ? 0 : EINVAL;
    if (code != 0) {
        ::close(fd);
        errno = code;
        return -1;
    }
    // Reads of a regular file never wait anyway; the caller gets a plain descriptor.
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool read(const QString& path, qint64 cap, QByteArray* out, QString* error)
{
    const int fd = open(path);
    if (fd < 0)
        return fail(error, errno);
    struct stat info {};
    int code = ::fstat(fd, &info) != 0 ? errno : info.st_size > cap ? EFBIG : 0;
    QByteArray data;
    if (code == 0) {
        try {
            data = QByteArray(qsizetype(info.st_size), Qt::Uninitialized);
        } catch (const std::bad_alloc&) {
            code = ENOMEM;
        }
    }
    for (qsizetype done = 0; code == 0 && done < data.size();) {
        const ssize_t n = ::read(fd, data.data() + done, size_t(std::min(kPiece, data.size() - done)));
        if (n < 0 && errno == EINTR)
            continue;
        code = n < 0 ? errno : n == 0 ? EIO : 0;
        done += std::max<ssize_t>(n, 0);
    }
    ::close(fd);
    if (code != 0)
        return fail(error, code);
    *out = std::move(data);
    return true;
}

}
