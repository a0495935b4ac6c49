#pragma once

#include <QList>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QVariant>

#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

// One SQLite connection with its own lock. Every statement runs under the
// lock and is retried a bounded number of times while the database is busy
// or locked. Values always travel as bound parameters ("?" placeholders);
// only table and column names are part of the SQL text.
class SqliteDBManager {
public:
    using Row = QMap<QString, QString>;   // column name -> text; NULL columns left out

    // Opens or creates the database (and its folder); nullptr when it cannot.
    static std::unique_ptr<SqliteDBManager> initWithFilePath(const QString& path);
    ~SqliteDBManager();
    SqliteDBManager(const SqliteDBManager&) = delete;
    SqliteDBManager& operator=(const SqliteDBManager&) = delete;

    const QString& path() const { return m_path; }

    // Runs one statement; true only when it succeeded.
    bool executeSql(const QString& sql, const QVariantList& binds = {});
    bool executeSql(const QString& sql, const QVariantList& binds, qint64* lastInsertedId);
    bool executeSqlWithAffectedRowNumber(const QString& sql, const QVariantList& binds, int* affectedRows);
    // Runs a script of several statements without values (schema set-up).
    bool executeScript(const QString& sql);

    // Runs a query; rows as text. True on success (also with no rows).
    bool queryResult(QList<Row>* rows, const QString& sql, const QVariantList& binds = {});
    // The same with typed values (integers, doubles, text, blobs; NULL as an invalid QVariant).
    bool queryValues(QList<QVariantList>* rows, const QString& sql, const QVariantList& binds = {});

    // A column of a stepped statement as queryValues gives it.
    static QVariant columnValue(sqlite3_stmt* stmt, int column);

    bool columnExistsInTable(const QString& column, const QString& table);

    // Runs fn inside one transaction; commits when fn returns true.
    bool transaction(const std::function<bool()>& fn);

    // Doubles single quotes, for the rare text that must be inside SQL.
    static QString sqlString(const QString& text);

    QString lastError() const;
    // The primary SQLite result code of the connection's latest call
    // (SQLITE_CORRUPT, SQLITE_NOTADB, ...).
    int lastErrorCode() const;
    int maxBusyRetries() const { return m_maxBusyRetries; }
    void setMaxBusyRetries(int retries) { m_maxBusyRetries = retries; }
    // Runs before each retry of a busy statement, on the calling thread with
    // this connection's lock held (a test seam: it may release another
    // connection's lock).
    void setBusyRetryHook(std::function<void()> hook) { m_busyRetryHook = std::move(hook); }

private:
    SqliteDBManager(QString path, sqlite3* db);
    bool prepareLocked(const QString& sql, const QVariantList& binds, sqlite3_stmt** stmt);
    int stepLocked(sqlite3_stmt* stmt);
    // Steps a prepared statement, handing each row to onRow; false on an error.
    bool eachRowLocked(const QString& sql, const QVariantList& binds,
                       const std::function<void(sqlite3_stmt*)>& onRow);
    bool runLocked(const QString& sql, const QVariantList& binds, qint64* lastId, int* affected);
    void backoffLocked();

    QString m_path;
    sqlite3* m_db;
    mutable QRecursiveMutex m_mutex;
    QString m_lastError;
    int m_maxBusyRetries = 100;
    std::function<void()> m_busyRetryHook;
};
