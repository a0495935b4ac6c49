#include "platform/photolib/LibraryFile.h"

#include "platform/core/RegularFile.h"
#include "platform/photolib/NativeName.h"

#include <fcntl.h>
#include <unistd.h>

int LibraryFile::openRegular(const QString& path)
{
    return RegularFile::openNative(NativeName::encode(path));
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
