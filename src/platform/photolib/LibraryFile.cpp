#include "platform/photolib/LibraryFile.h"

#include "platform/photolib/NativeName.h"

#include <fcntl.h>
#include <unistd.h>

LibraryFile::LibraryFile(const QString& path) : m_path(path)
{
    const int fd = ::open(NativeName::encode(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd >= 0 && !m_file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        ::close(fd);
}

QString LibraryFile::readerPath() const
{
    if (NativeName::isPlain(m_path))
        return m_path;
    if (!m_file.isOpen())
        return QString();
    return QStringLiteral("/proc/self/fd/%1").arg(m_file.handle());
}
