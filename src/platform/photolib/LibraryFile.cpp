#include "platform/photolib/LibraryFile.h"

#include "platform/photolib/NativeName.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

int LibraryFile::openRegular(const QString& path)
{
    const int fd = ::open(NativeName::encode(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    struct stat st {};
    const int code = ::fstat(fd, &st) != 0 ? errno : S_ISREG(st.st_mode) ? 0 : EINVAL;
    if (code != 0) {
        ::close(fd);
        errno = code;
        return -1;
    }
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

LibraryFile::LibraryFile(const QString& path) : m_path(path)
{
    const int fd = openRegular(path);
    if (fd >= 0 && !m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
}

QString LibraryFile::readerPath() const
{
    // Not even the plain path when the file could not be opened: a reader
    // opening it itself would wait on a pipe there.
    if (!m_file.isOpen())
        return QString();
    if (NativeName::isPlain(m_path))
        return m_path;
    return QStringLiteral("/proc/self/fd/%1").arg(m_file.handle());
}
