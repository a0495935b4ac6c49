#include "platform/photolib/LibraryTempFiles.h"

#include "platform/core/AtomicFile.h"
#include "platform/photolib/NativeName.h"

#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace LibraryTempFiles {

namespace {
bool processGone(qint64 pid)
{
    if (pid <= 0 || pid == ::getpid())
        return true;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

bool isLeftover(const char* name)
{
    static const QRegularExpression leftover(
        QStringLiteral("^\\..+\\.(\\d+)\\.\\d+\\%1(\\.\\d+\\.[0-9a-f]+\\%1)?$").arg(AtomicFile::kTempSuffix));
    const QRegularExpressionMatch match = leftover.match(NativeName::decode(name));
    return match.hasMatch() && processGone(match.captured(1).toLongLong());
}

// Removes the leftovers among the real files of the folder `name` (under
// parentFd), and with `descend` those of its real album folders too.
// Symbolic links are never followed: a linked folder is not swept and a
// link named like a leftover stays, as does what it points to.
int sweep(int parentFd, const QByteArray& name, bool descend, int openFlags)
{
    const int fd = ::openat(parentFd, name.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | openFlags);
    if (fd < 0)
        return 0;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return 0;
    }
    int removed = 0;
    std::vector<QByteArray> albums;
    while (const dirent* e = ::readdir(dir)) {
        struct stat st;
        if (::fstatat(fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            if (descend && e->d_name[0] != '.')
                albums.emplace_back(e->d_name);
        } else if (S_ISREG(st.st_mode) && isLeftover(e->d_name) && ::unlinkat(fd, e->d_name, 0) == 0) {
            ++removed;
        }
    }
    for (const QByteArray& album : albums)
        removed += sweep(fd, album, false, O_NOFOLLOW);
    ::closedir(dir);
    return removed;
}
}

QByteArray pathFor(const QByteArray& folder, const QString& base, int serial)
{
    return folder + "/." + QFile::encodeName(base) + "." + QByteArray::number(::getpid()) + "."
        + QByteArray::number(serial) + AtomicFile::kTempSuffix;
}

int removeLeftovers(const QString& root)
{
    if (root.isEmpty())
        return 0;
    // The root is the folder the user chose, a link to it included.
    const int removed = sweep(AT_FDCWD, NativeName::encode(root), true, 0);
    if (removed > 0)
        qWarning("photo library: removed %d temporary file(s) of unfinished saves from %s", removed,
                 qUtf8Printable(root));
    return removed;
}

}
