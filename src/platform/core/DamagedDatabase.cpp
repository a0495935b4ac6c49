#include "platform/core/DamagedDatabase.h"

#include <QDateTime>
#include <QFile>

#include <sqlite3.h>

bool DamagedDatabase::isDamageCode(int sqliteCode)
{
    const int primary = sqliteCode & 0xff;
    return primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
}

QString DamagedDatabase::moveAside(const QString& path)
{
    const QString aside = path + ".damaged-" + QDateTime::currentDateTimeUtc().toString("yyyyMMddHHmmsszzz");
    if (!QFile::rename(path, aside))
        return {};
    // Journal files left beside it belong to the damaged file.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        if (QFile::exists(path + suffix))
            QFile::rename(path + suffix, aside + suffix);
    return aside;
}
