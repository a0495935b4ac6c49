#include "shell/InstanceLock.h"

#include "platform/core/RegularFile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

InstanceLock::InstanceLock(const QString& home)
{
    const QString path = QDir(home).filePath(QString::fromLatin1(kFileName));
    if (!QDir().mkpath(home)) {
        m_refusal = QStringLiteral("padolvo: cannot create the home folder %1\n").arg(home);
        return;
    }
    // A link, a pipe or a device at the name is refused, never followed.
    const int fd = RegularFile::open(path, O_RDWR | O_CREAT, 0644);
    if (fd < 0) {
        m_refusal = QStringLiteral("padolvo: cannot open %1: %2\n").arg(path, QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        m_refusal = err == EWOULDBLOCK
            ? QStringLiteral("padolvo: another padolvo is already running with the home folder %1; "
                             "close it first or start with another --home.\n").arg(home)
            : QStringLiteral("padolvo: cannot lock %1: %2\n").arg(path, QString::fromLocal8Bit(std::strerror(err)));
        return;
    }
    // The holder's process id, for whoever looks; not written into a file
    // that has a second name (a backup's copy).
    const QByteArray pid = QByteArray::number(qint64(::getpid())) + '\n';
    struct stat info {};
    if (::fstat(fd, &info) == 0 && info.st_nlink == 1 && ::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const ssize_t written = ::write(fd, pid.constData(), size_t(pid.size()));
    }
    m_fd = fd;
}

InstanceLock::~InstanceLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool InstanceLock::holdForProcess(const QString& home)
{
    static InstanceLock* held = nullptr;  // kept until the process ends
    auto* lock = new InstanceLock(home);
    if (!lock->isHeld()) {
        std::fputs(lock->refusal().toLocal8Bit().constData(), stderr);
        delete lock;
        return false;
    }
    delete held;
    held = lock;
    return true;
}
