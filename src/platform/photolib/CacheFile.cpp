#include "platform/photolib/CacheFile.h"

#include "platform/core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace CacheFile {

bool write(const QString& path, const QByteArray& bytes)
{
    static std::atomic<unsigned> serial{0};
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temp = target + "." + QByteArray::number(::getpid()) + "." + QByteArray::number(serial++)
        + AtomicFile::kTempSuffix;
    int fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 && errno == ENOENT && QDir().mkpath(QFileInfo(path).absolutePath()))
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += n;
    }
    const bool ok = ::close(fd) == 0 && done == bytes.size() && ::rename(temp.constData(), target.constData()) == 0;
    if (!ok)
        ::unlink(temp.constData());
    return ok;
}

}
