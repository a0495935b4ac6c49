#include "platform/core/AtomicFile.h"

#include "platform/core/RegularFile.h"

#include <QDir>
#include <QFile>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {
void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

bool writeAll(int fd, const char* data, qsizetype size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, static_cast<size_t>(size));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= n;
    }
    return true;
}
}

bool write(const QString& path, const QByteArray& bytes, QString* error)
{
    return writeNative(QFile::encodeName(path), bytes, error);
}

namespace {
int openTemp(const QByteArray& temp, mode_t mode)
{
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int fd = ::open(temp.constData(), flags, mode);
    // A leftover (or something planted) at the name is removed, never written into.
    if (fd < 0 && errno == EEXIST && ::unlink(temp.constData()) == 0)
        fd = ::open(temp.constData(), flags, mode);
    return fd;
}

QByteArray folderOf(const QByteArray& target)
{
    const qsizetype slash = target.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
}
}

bool writeNative(const QByteArray& target, const QByteArray& bytes, QString* error, const Options& options)
{
    if (target.isEmpty()) {
        setError(error, "empty path");
        return false;
    }
    static std::atomic<unsigned> serial{0};
    const QByteArray temp = target + "." + QByteArray::number(::getpid()) + "." + QByteArray::number(serial++)
        + kTempSuffix;
    int fd = openTemp(temp, options.mode);
    if (fd < 0 && errno == ENOENT && options.makeFolder && QDir().mkpath(QFile::decodeName(folderOf(target))))
        fd = openTemp(temp, options.mode);
    if (fd < 0) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    bool ok = writeAll(fd, bytes.constData(), bytes.size()) && (!options.sync || ::fsync(fd) == 0);
    int savedErrno = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        savedErrno = errno;
    }
    if (ok && ::rename(temp.constData(), target.constData()) != 0) {
        ok = false;
        savedErrno = errno;
    }
    if (!ok) {
        ::unlink(temp.constData());
        setError(error, QString::fromLocal8Bit(std::strerror(savedErrno)));
        return false;
    }
    if (!options.sync)
        return true;
    // Make the rename itself durable.
    int dfd = ::open(folderOf(target).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

int openForGrowing(const QString& path, mode_t mode)
{
    const int fd = RegularFile::open(path, O_RDWR | O_CREAT, mode);
    if (fd >= 0) {
        struct stat info {};
        if (::fstat(fd, &info) == 0 && info.st_nlink == 1)
            return fd;
        ::close(fd);
    } else if (errno != ELOOP && errno != EINVAL) {
        return -1;
    }
    const QByteArray name = QFile::encodeName(path);
    if (::unlink(name.constData()) != 0 && errno != ENOENT)
        return -1;
    return RegularFile::open(path, O_RDWR | O_CREAT | O_EXCL, mode);
}

}
