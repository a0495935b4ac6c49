#include "crashhandler/RegularFile.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool RegularFile::read(const QString& path, QByteArray* out, qint64 limit)
{
    if (path.isEmpty())
        return false;
    // Non-blocking, so that a pipe in a report's place cannot hold the open.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat st{};
    QFile file;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    *out = limit < 0 ? file.readAll() : file.read(limit);
    return file.error() == QFileDevice::NoError;
}
