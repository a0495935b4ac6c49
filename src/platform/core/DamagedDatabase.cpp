#include "platform/core/DamagedDatabase.h"

#include <QDateTime>
#include <QFile>

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr const char* kJournalSuffixes[] = {"-journal", "-wal", "-shm"};

QString moveAsideName(const QString& path)
{
    return path + ".damaged-" + QDateTime::currentDateTimeUtc().toString("yyyyMMddHHmmsszzz");
}

// Whether something other than a regular file stands at the name.
bool isPlanted(const QByteArray& name)
{
    struct stat info {};
    return ::lstat(name.constData(), &info) == 0 && !S_ISREG(info.st_mode);
}
}

bool DamagedDatabase::isDamageCode(int sqliteCode)
{
    const int primary = sqliteCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString DamagedDatabase::moveAside(const QString& path)
{
    const QString aside = moveAsideName(path);
    // The name itself is renamed, whatever stands there (a dangling link too).
    if (::rename(QFile::encodeName(path).constData(), QFile::encodeName(aside).constData()) != 0)
        return {};
    // Journal files left beside it belong to the damaged file.
    for (const char* suffix : kJournalSuffixes)
        if (QFile::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    return aside;
}

bool DamagedDatabase::clearPlanted(const QString& path, QString* movedTo)
{
    const QByteArray name = QFile::encodeName(path);
    for (const char* suffix : kJournalSuffixes) {
        const QByteArray journal = name + suffix;
        // A folder there cannot be unlinked; it is renamed out of the way.
        if (isPlanted(journal) && ::unlink(journal.constData()) != 0
            && ::rename(journal.constData(), QFile::encodeName(moveAsideName(path) + suffix).constData()) != 0)
            return false;
    }
    if (!isPlanted(name))
        return true;
    const QString aside = moveAside(path);
    if (movedTo)
        *movedTo = aside;
    return !aside.isEmpty();
}
