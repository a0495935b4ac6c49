#include "platform/core/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

namespace {
bool fail(QString* error, int code)
{
    if (error)
        *error = QString::fromLocal8Bit(std::strerror(code));
    return false;
}
}

int open(const QString& path, int flags, mode_t mode)
{
    if (path.isEmpty()) {
        errno = ENOENT;
        return -1;
    }
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, mode);
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
    int code = 0;
    QByteArray data;
    if (::fstat(fd, &info) != 0) {
        code = errno;
    } else if (info.st_size > cap) {
        code = EFBIG;
    } else {
        try {
            data = QByteArray(qsizetype(info.st_size), Qt::Uninitialized);
        } catch (const std::bad_alloc&) {
            code = ENOMEM;
        }
    }
    for (qsizetype done = 0; code == 0 && done < data.size();) {
        const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            code = n < 0 ? errno : ENODATA;
        else
            done += n;
    }
    ::close(fd);
    if (code != 0)
        return fail(error, code);
    *out = std::move(data);
    return true;
}

}
