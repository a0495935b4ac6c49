#include "platform/photolib/LibraryTempFiles.h"

#include "platform/core/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <csignal>
#include <unistd.h>

namespace LibraryTempFiles {

namespace {
bool processGone(qint64 pid)
{
    if (pid <= 0 || pid == ::getpid())
        return true;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

int removeIn(const QString& folder)
{
    static const QRegularExpression leftover(
        QStringLiteral("^\\..+\\.(\\d+)\\.\\d+\\%1(\\.\\d+\\.[0-9a-f]+\\%1)?$").arg(AtomicFile::kTempSuffix));
    int removed = 0;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QRegularExpressionMatch match = leftover.match(name);
        if (match.hasMatch() && processGone(match.captured(1).toLongLong()) && QFile::remove(folder + "/" + name))
            ++removed;
    }
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
    if (root.isEmpty() || !QDir(root).exists())
        return 0;
    int removed = removeIn(root);
    const QStringList albums = QDir(root).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString& album : albums)
        removed += removeIn(root + "/" + album);
    if (removed > 0)
        qWarning("photo library: removed %d temporary file(s) of unfinished saves from %s", removed,
                 qUtf8Printable(root));
    return removed;
}

}
