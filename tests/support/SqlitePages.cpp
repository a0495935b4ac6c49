#include "support/SqlitePages.h"

#include "Public/SqliteDBManager.h"

#include <QFile>

namespace SqlitePages {

namespace {
int pageSize(const QByteArray& file)
{
    if (file.size() < 100)
        return 0;
    const int size = (quint8(file[16]) << 8) | quint8(file[17]);
    return size == 1 ? 65536 : size;
}
}

int pageHolding(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray all = file.readAll();
    const int size = pageSize(all);
    const qsizetype at = all.indexOf(bytes);
    return size && at >= 0 ? int(at / size) + 1 : 0;
}

int rootPageOf(const QString& path, const QString& name)
{
    std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(path);
    QList<QVariantList> rows;
    if (!db || !db->queryValues(&rows, "SELECT rootpage FROM sqlite_master WHERE name = ?", {name}) || rows.isEmpty())
        return 0;
    return rows.first().value(0).toInt();
}

bool zeroPage(const QString& path, int page)
{
    QFile file(path);
    if (page < 1 || !file.open(QIODevice::ReadWrite))
        return false;
    const int size = pageSize(file.read(100));
    return size && file.size() >= qint64(page) * size && file.seek(qint64(page - 1) * size)
        && file.write(QByteArray(size, '\0')) == size && file.flush();
}

}
