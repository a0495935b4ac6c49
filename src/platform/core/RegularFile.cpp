#include "platform/core/RegularFile.h"

#include <QFile>

#include <cerrno>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace RegularFile {

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

bool read(const QString& path, qint64 cap, QByteArray* out)
{
    const int fd = open(path);
    if (fd < 0)
        return false;
    struct stat info {};
    QByteArray data;
    bool ok = ::fstat(fd, &info) == 0 && info.st_size <= cap;
    if (ok) {
        try {
            data = QByteArray(qsizetype(info.st_size), Qt::Uninitialized);
        } catch (const std::bad_alloc&) {
            ok = false;
        }
    }
    for (qsizetype done = 0; ok && done < data.size();) {
        const ssize_t n = ::read(fd, data.data() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        done += n;
    }
    ::close(fd);
    if (ok)
        *out = std::move(data);
    return ok;
}

}
