#include "Public/SqliteDBManager.h"

#include "platform/core/DamagedDatabase.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <chrono>
#include <thread>

namespace {
bool isBusy(int rc)
{
    const int primary = rc & 0xff;
    return primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
}
}

void SqliteDBManager::backoffLocked()
{
    if (m_busyRetryHook)
        m_busyRetryHook();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
}

std::unique_ptr<SqliteDBManager> SqliteDBManager::initWithFilePath(const QString& path)
{
    if (path.isEmpty())
        return nullptr;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QString aside;
    if (path != QLatin1String(":memory:") && !DamagedDatabase::clearPlanted(path, &aside)) {
        qWarning("database %s is not a regular file and cannot be moved aside; it is not opened", qPrintable(path));
        return nullptr;
    }
    if (!aside.isEmpty())
        qWarning("database %s was not a regular file (a link, a pipe or a folder); it was moved to %s and a fresh"
                 " one started", qPrintable(path), qPrintable(aside));
    sqlite3* db = nullptr;
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(db);
        return nullptr;
    }
    sqlite3_busy_timeout(db, 200);
    return std::unique_ptr<SqliteDBManager>(new SqliteDBManager(path, db));
}

SqliteDBManager::SqliteDBManager(QString path, sqlite3* db) : m_path(std::move(path)), m_db(db) {}

SqliteDBManager::~SqliteDBManager()
{
    sqlite3_close_v2(m_db);
}

QString SqliteDBManager::sqlString(const QString& text)
{
    QString out = text;
    out.replace("'", "''");
    return out;
}

QString SqliteDBManager::lastError() const
{
    QMutexLocker lock(&m_mutex);
    return m_lastError;
}

int SqliteDBManager::lastErrorCode() const
{
    QMutexLocker lock(&m_mutex);
    return sqlite3_errcode(m_db) & 0xff;
}

bool SqliteDBManager::prepareLocked(const QString& sql, const QVariantList& binds, sqlite3_stmt** stmt)
{
    const QByteArray text = sql.toUtf8();
    int rc;
    int tries = 0;
    while (isBusy(rc = sqlite3_prepare_v2(m_db, text.constData(), int(text.size()), stmt, nullptr))
           && tries++ < m_maxBusyRetries)
        backoffLocked();
    if (rc != SQLITE_OK) {
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(*stmt);
        *stmt = nullptr;
        return false;
    }
    for (int i = 0; i < binds.size(); ++i) {
        const QVariant& v = binds[i];
        const int index = i + 1;
        switch (v.isNull() ? QMetaType::UnknownType : QMetaType::Type(v.typeId())) {
        case QMetaType::UnknownType:
            rc = sqlite3_bind_null(*stmt, index);
            break;
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::UChar:
            rc = sqlite3_bind_int64(*stmt, index, v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            rc = sqlite3_bind_double(*stmt, index, v.toDouble());
            break;
        case QMetaType::QByteArray: {
            const QByteArray bytes = v.toByteArray();
            rc = sqlite3_bind_blob64(*stmt, index, bytes.constData(), sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
            break;
        }
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            rc = sqlite3_bind_text64(*stmt, index, utf8.constData(), sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        }
        }
        if (rc != SQLITE_OK) {
            m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
            sqlite3_finalize(*stmt);
            *stmt = nullptr;
            return false;
        }
    }
    return true;
}

int SqliteDBManager::stepLocked(sqlite3_stmt* stmt)
{
    int rc;
    int tries = 0;
    while (isBusy(rc = sqlite3_step(stmt)) && tries++ < m_maxBusyRetries) {
        sqlite3_reset(stmt);
        backoffLocked();
    }
    return rc;
}

bool SqliteDBManager::runLocked(const QString& sql, const QVariantList& binds, qint64* lastId, int* affected)
{
    sqlite3_stmt* stmt = nullptr;
    if (!prepareLocked(sql, binds, &stmt))
        return false;
    const int rc = stepLocked(stmt);
    const bool ok = rc == SQLITE_DONE || rc == SQLITE_ROW;
    if (!ok)
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    if (ok) {
        m_lastError.clear();
        if (lastId)
            *lastId = sqlite3_last_insert_rowid(m_db);
        if (affected)
            *affected = sqlite3_changes(m_db);
    }
    return ok;
}

bool SqliteDBManager::executeSql(const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&m_mutex);
    return runLocked(sql, binds, nullptr, nullptr);
}

bool SqliteDBManager::executeSql(const QString& sql, const QVariantList& binds, qint64* lastInsertedId)
{
    QMutexLocker lock(&m_mutex);
    return runLocked(sql, binds, lastInsertedId, nullptr);
}

bool SqliteDBManager::executeSqlWithAffectedRowNumber(const QString& sql, const QVariantList& binds, int* affectedRows)
{
    QMutexLocker lock(&m_mutex);
    return runLocked(sql, binds, nullptr, affectedRows);
}

bool SqliteDBManager::executeScript(const QString& sql)
{
    QMutexLocker lock(&m_mutex);
    const QByteArray text = sql.toUtf8();
    int rc;
    int tries = 0;
    char* message = nullptr;
    while (isBusy(rc = sqlite3_exec(m_db, text.constData(), nullptr, nullptr, &message)) && tries++ < m_maxBusyRetries) {
        sqlite3_free(message);
        message = nullptr;
        backoffLocked();
    }
    if (rc != SQLITE_OK)
        m_lastError = message ? QString::fromUtf8(message) : QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_free(message);
    return rc == SQLITE_OK;
}

bool SqliteDBManager::eachRowLocked(const QString& sql, const QVariantList& binds,
                                    const std::function<void(sqlite3_stmt*)>& onRow)
{
    sqlite3_stmt* stmt = nullptr;
    if (!prepareLocked(sql, binds, &stmt))
        return false;
    int rc;
    while ((rc = stepLocked(stmt)) == SQLITE_ROW)
        onRow(stmt);
    const bool ok = rc == SQLITE_DONE;
    if (!ok)
        m_lastError = QString::fromUtf8(sqlite3_errmsg(m_db));
    sqlite3_finalize(stmt);
    return ok;
}

QVariant SqliteDBManager::columnValue(sqlite3_stmt* stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return qint64(sqlite3_column_int64(stmt, column));
    case SQLITE_FLOAT:
        return sqlite3_column_double(stmt, column);
    case SQLITE_BLOB: {
        const void* data = sqlite3_column_blob(stmt, column);   // before its size is asked
        return QByteArray(static_cast<const char*>(data), sqlite3_column_bytes(stmt, column));
    }
    case SQLITE_NULL:
        return QVariant();
    default: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
        return QString::fromUtf8(text, sqlite3_column_bytes(stmt, column));
    }
    }
}

bool SqliteDBManager::queryValues(QList<QVariantList>* rows, const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&m_mutex);
    QList<QVariantList> result;
    const bool ok = eachRowLocked(sql, binds, [&result](sqlite3_stmt* stmt) {
        const int columns = sqlite3_column_count(stmt);
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(columnValue(stmt, c));
        result.append(std::move(row));
    });
    if (ok && rows)
        *rows = std::move(result);
    return ok;
}

bool SqliteDBManager::queryResult(QList<Row>* rows, const QString& sql, const QVariantList& binds)
{
    QMutexLocker lock(&m_mutex);
    QList<Row> result;
    const bool ok = eachRowLocked(sql, binds, [&result](sqlite3_stmt* stmt) {
        Row row;
        const int columns = sqlite3_column_count(stmt);
        for (int c = 0; c < columns; ++c) {
            if (sqlite3_column_type(stmt, c) == SQLITE_NULL)
                continue;
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
            row.insert(QString::fromUtf8(sqlite3_column_name(stmt, c)),
                       QString::fromUtf8(text, sqlite3_column_bytes(stmt, c)));
        }
        result.append(std::move(row));
    });
    if (ok && rows)
        *rows = std::move(result);
    return ok;
}

bool SqliteDBManager::columnExistsInTable(const QString& column, const QString& table)
{
    QList<Row> rows;
    if (!queryResult(&rows, "PRAGMA table_info(" + table + ")"))
        return false;
    for (const Row& row : rows)
        if (row.value("name").compare(column, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}

bool SqliteDBManager::transaction(const std::function<bool()>& fn)
{
    QMutexLocker lock(&m_mutex);
    if (!runLocked("BEGIN IMMEDIATE", {}, nullptr, nullptr))
        return false;
    if (fn()) {
        if (runLocked("COMMIT", {}, nullptr, nullptr))
            return true;
    }
    runLocked("ROLLBACK", {}, nullptr, nullptr);
    return false;
}
