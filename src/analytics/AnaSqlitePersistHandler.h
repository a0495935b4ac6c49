#pragma once

#include "analytics/AnaError.h"
#include "analytics/AnalyticsDataPersiter.h"
#include "analytics/AnalyticsPersistObject.h"

#include <QList>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;
struct AnaPersistQuery;
class Clock;

// The analytics record store: one row of "ana_persist" per record in
// ".analytics.db" of the Documents folder, the payload DES-enciphered under
// the record key. Every operation runs under one recursive lock; failures
// fill the error (domain "AnalyticsErrorDomain") and never throw. A
// database found damaged when it opens (a record table without the store's
// columns counts as damaged: it would refuse every row) is moved aside
// (".analytics.db.damaged-<time>", one log line) and a fresh one started; a
// busy one is used as it is. Its SQL is built by AnaPersistQuery: values
// always travel as bound parameters; conditions name record columns only.
class AnaSqlitePersistHandler : public AnalyticsDataPersiter {
public:

    static constexpr const char* kRecordKey = "N[=W^W=]";
    static constexpr const char* kTableName = "ana_persist";
    static constexpr const char* kFileName = ".analytics.db";
    static constexpr int kLocalStrategyType = 100;
    static constexpr const char* kMaxBytesKey = "maxBytes";
    static constexpr const char* kTakenBytesKey = "takenBytes";

    // directory: the folder of the database file (default: Documents of the
    // current home, taken when the store opens).
    explicit AnaSqlitePersistHandler(QString directory = {}, const Clock* clock = nullptr);
    ~AnaSqlitePersistHandler() override;
    AnaSqlitePersistHandler(const AnaSqlitePersistHandler&) = delete;
    AnaSqlitePersistHandler& operator=(const AnaSqlitePersistHandler&) = delete;

    // The process-wide store, opened (again, after a failure) on each call.
    static AnaSqlitePersistHandler& getDefaultHandler();
    static AnaSqlitePersistHandler& getDefaultHandlerWithOutInitDB();
    // A new record of the class registered for the type, or null.
    static Record getPersistObjectByType(int type);

    bool initDB(AnaError* error);
    bool buildDBTables(AnaError* error);
    bool dropDBTables(AnaError* error);
    bool rebuildDBTables(AnaError* error);
    bool dropAllTables(AnaError* error);
    bool tableExists(const QString& table);
    bool executeUpdateSQL(const QString& sql, AnaError* error);
    bool setDBPathStr(const QString& directory);
    bool resetDBWithNewPath(const QString& directory, AnaError* error);
    bool isInited() const { return m_isInited; }
    // Whether a change would be kept: the database (opened here when it is
    // not yet) is writable and its folder takes the journal. A store that
    // cannot record an answer is not to be acted on as if it could.
    bool canWrite();
    // The folder of the database file; empty until set or opened.
    QString anaDbPath() const;
    QString dbFile() const;

    // Insert; the record's id in memory stays as it was.
    bool saveObject(AnalyticsPersistObject& record, AnaError* error) override;
    // Replace by id; a record never saved (id -1) is inserted and takes the
    // new row id.
    bool updateObject(AnalyticsPersistObject& record, AnaError* error) override;
    bool saveObjects(const Records& records, AnaError* error) override;

    // A row that fails to decode is skipped (and deleted when it no longer
    // deciphers) and its error goes to `rowErrors`.
    Record getObjectById(long id, AnaError* error) override;
    Records getObjectsWithCount(int count, AnaError* error, QList<AnaError>* rowErrors = nullptr) override;
    Records getObjectsWithCountOfType(int type, int count, AnaError* error,
                                      QList<AnaError>* rowErrors = nullptr) override;
    Records getObjectsWithCountOfTypes(const QList<int>& types, int count, AnaError* error,
                                       QList<AnaError>* rowErrors = nullptr) override;
    // Keys: record columns (id, type, priority, time, encLength, count, md5)
    // with a number, a string, a list of those, or an ANAPersistPropRange;
    // "limit" with a number; kMaxBytesKey with a number: rows are read while
    // their stored payloads add up to at most that many bytes, counting
    // kTakenBytesKey's number as read already (with none taken, the first
    // row is read whatever its size).
    Records getObjectsByCondition(const QVariantMap& condition, AnaError* error,
                                  QList<AnaError>* rowErrors = nullptr) override;

    // The times of the records of a type, without their payloads.
    QList<qint64> getTimesOfType(int type, AnaError* error);

    int getObjectCount(AnaError* error) override;
    int getObjectCountOfType(int type, AnaError* error) override;
    int getObjectCountOfTypes(const QList<int>& types, AnaError* error) override;

    bool deleteObjectById(long id, AnaError* error) override;
    bool deleteObjectsByIds(const QVariantList& ids, AnaError* error) override;
    bool deleteObjects(const Records& records, AnaError* error) override;
    bool deleteObjectsByType(int type, AnaError* error) override;
    bool cleanExpireDatas(AnaError* error) override;

    Record getLocalStrategy(AnaError* error);
    bool updateLocalStrategy(AnalyticsPersistObject& strategy, AnaError* error);

    // The crash path: takes the store only when no thread, the calling one
    // included, is inside it. Pair with leaveForCrash().
    bool tryEnterForCrash();
    void leaveForCrash();

    // The SQL text of the last statement prepared (tests check its shape).
    QString lastSql() const;

private:
    class Guard;
    struct Statement;

    bool prepare(Statement& statement, const QString& sql, const QVariantList& binds);
    bool bindValue(sqlite3_stmt* statement, int index, const QVariant& value);
    bool bindAll(sqlite3_stmt* statement, const QVariantList& binds);
    // Enciphers the payload, sets encLength and appends the seven insert values.
    bool sealRecord(AnalyticsPersistObject& record, QVariantList* binds, AnaError* error);
    bool writeRecord(AnalyticsPersistObject& record, const QString& sql, bool withId, AnaError* error,
                     const char* prepareFailure, const char* stepFailure);
    Record readRow(sqlite3_stmt* statement, AnaError* error);
    // With a byte bound, rows stop once the next would pass it (see getObjectsByCondition).
    Records runQuery(const AnaPersistQuery& query, AnaError* error, QList<AnaError>* rowErrors);
    int runCount(const AnaPersistQuery& query, AnaError* error);
    // Runs one statement that returns no rows (an insert, update or delete).
    bool runStatement(const AnaPersistQuery& query, AnaError* error, const char* prepareFailure,
                      const char* stepFailure);
    bool checkDatabase(AnaError* error);
    // Opens the database file; a damaged one is moved aside first and a
    // fresh one started.
    bool openDatabase(AnaError* error);
    // SQLITE_OK when the quick check passes and the record table (if any)
    // has the store's columns; SQLITE_CORRUPT when it finds damage; else
    // the code that stopped it (busy, not a database, ...).
    static int checkHealth(sqlite3* db);
    // SQLITE_CORRUPT when the record table lacks a column the store uses.
    static int checkRecordTable(sqlite3* db);
    // The count is at least 1, the database open and the cipher there.
    bool canQuery(int count, AnaError* error, const char* cipherFailure);

    QString m_anaDbPath;
    QString m_dbFile;
    sqlite3* m_database = nullptr;
    bool m_isInited = false;
    const Clock* m_clock;
    QString m_lastSql;
    mutable std::recursive_mutex m_mutex;
    std::atomic<int> m_depth{0};
};
