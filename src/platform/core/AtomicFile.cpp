#include "platform/core/AtomicFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
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

bool writeNative(const QByteArray& target, const QByteArray& bytes, QString* error)
{
    if (target.isEmpty()) {
        setError(error, "empty path");
        return false;
    }
    QByteArray temp = target + "." + QByteArray::number(::getpid()) + "."
        + QByteArray::number(reinterpret_cast<quintptr>(&bytes), 16) + kTempSuffix;
    int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        setError(error, QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    bool ok = writeAll(fd, bytes.constData(), bytes.size()) && ::fsync(fd) == 0;
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
    // Make the rename itself durable.
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray dir = slash < 0 ? QByteArray(".") : slash == 0 ? QByteArray("/") : target.left(slash);
    int dfd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool read(const QString& path, QByteArray* out, QString* error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setError(error, file.errorString());
        return false;
    }
    const qint64 size = file.size();
    QByteArray data = file.readAll();
    if (data.size() != size) {
        setError(error, "short read");
        return false;
    }
    *out = std::move(data);
    return true;
}

}
