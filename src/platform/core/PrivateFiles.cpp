#include "platform/core/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <atomic>
#include <sys/stat.h>

namespace {
std::atomic<int> g_userUmask{-1};

bool tightenOne(const QByteArray& path, mode_t* mode)
{
    struct stat st{};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    *mode = st.st_mode;
    if (S_ISLNK(st.st_mode))
        return true;
    if ((st.st_mode & 077) == 0)
        return true;
    return ::chmod(path.constData(), st.st_mode & 07700) == 0;
}

bool tightenTree(const QString& path)
{
    mode_t mode = 0;
    bool ok = tightenOne(QFile::encodeName(path), &mode);
    if (!ok || !S_ISDIR(mode))
        return ok;
    const QStringList names = QDir(path).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        ok = tightenTree(path + "/" + name) && ok;
    return ok;
}
}

void PrivateFiles::restrictNewFiles()
{
    const mode_t previous = ::umask(077);
    int expected = -1;
    g_userUmask.compare_exchange_strong(expected, int(previous));
}

mode_t PrivateFiles::userUmask()
{
    const int saved = g_userUmask.load();
    if (saved >= 0)
        return mode_t(saved);
    // Read without setting it, so that no file made meanwhile by another
    // thread gets a wrong mode.
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("Umask:"))
                return mode_t(line.mid(6).trimmed().toUInt(nullptr, 8));
        }
    }
    return 022;
}

mode_t PrivateFiles::sharedFileMode()
{
    return 0666 & ~userUmask();
}

bool PrivateFiles::makeSharedPath(const QString& path)
{
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    const QString absolute = info.absoluteFilePath();
    const QString parent = QFileInfo(absolute).path();
    if (parent == absolute || !makeSharedPath(parent))
        return false;
    const QByteArray name = QFile::encodeName(absolute);
    // The process mask keeps new folders private; the mode is set afterwards.
    if (::mkdir(name.constData(), 0700) == 0)
        ::chmod(name.constData(), 0777 & ~userUmask());
    return QFileInfo(absolute).isDir();
}

bool PrivateFiles::tighten(const QString& path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return true;
    return tightenTree(path);
}

bool PrivateFiles::tightenEntries(const QString& folder, const QStringList& prefixes)
{
    bool ok = true;
    const QStringList names = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names) {
        for (const QString& prefix : prefixes) {
            if (name.startsWith(prefix)) {
                ok = tightenTree(folder + "/" + name) && ok;
                break;
            }
        }
    }
    return ok;
}
