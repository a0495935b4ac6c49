#include "crashhandler/CrashFolderFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kStep = 64 * 1024;

// Reads at most limit bytes of path into out; *more tells whether the file
// holds more. A file whose size is already past the limit is not read at
// all when only the whole of it would do. False when refused.
bool readUpTo(const QString& path, QByteArray* out, qint64 limit, bool wholeOnly, bool* more)
{
    *more = false;
    if (path.isEmpty())
        return false;
    // Non-blocking, so that a pipe in a report's place cannot hold the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st{};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return false;
    }
    if (wholeOnly && st.st_size > limit) {
        ::close(fd);
        *more = true;
        return true;
    }
    bool ok = true;
    QByteArray bytes;
    qint64 got = 0;
    try {
        // One byte past the limit tells a file that grew past it.
        bytes.resize(qMin<qint64>(qint64(st.st_size) + 1, limit + 1));
        for (;;) {
            if (got == bytes.size()) {
                if (got > limit)
                    break;
                bytes.resize(qMin(limit + 1, got + kStep));
            }
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                ok = n == 0;
                break;
            }
            got += n;
        }
        bytes.truncate(qMin(got, limit));
    } catch (const std::bad_alloc&) {
        ok = false;
    }
    ::close(fd);
    if (!ok)
        return false;
    *more = got > limit;
    *out = std::move(bytes);
    return true;
}

}

CrashFolderFile::Read CrashFolderFile::readAll(const QString& path, QByteArray* out, qint64 maxSize)
{
    QByteArray bytes;
    bool more = false;
    if (!readUpTo(path, &bytes, maxSize, true, &more))
        return Read::Refused;
    if (more)
        return Read::TooLarge;
    *out = std::move(bytes);
    return Read::Done;
}

bool CrashFolderFile::readHead(const QString& path, QByteArray* out, qint64 size)
{
    bool more = false;
    return readUpTo(path, out, size, false, &more);
}
