#include "analytics/AnaSqlitePersistHandler.h"

#include "analytics/AnaEncrypt.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/AnaErrorPopulator.h"
#include "analytics/AnaPersistQuery.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "platform/core/AppHome.h"
#include "platform/core/Clock.h"
#include "platform/core/DamagedDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <sqlite3.h>
#include <unistd.h>

#include <exception>
#include <new>

namespace {

const char* const kInsertPrepareFailure = "analytics persist object insert sql pragram error";
const char* const kInsertStepFailure = "analytics persist object insert ip sql meet sqlite error";

bool fail(AnaError* error, int code, const QString& description)
{
    AnaErrorPopulator::populateError(error, code, description);
    return false;
}

}

struct AnaSqlitePersistHandler::Statement {
    sqlite3_stmt* handle = nullptr;
    ~Statement() { sqlite3_finalize(handle); }
};

class AnaSqlitePersistHandler::Guard {
public:
    explicit Guard(AnaSqlitePersistHandler& store) : m_store(store)
    {
        m_store.m_mutex.lock();
        ++m_store.m_depth;
    }
    ~Guard()
    {
        --m_store.m_depth;
        m_store.m_mutex.unlock();
    }

private:
    AnaSqlitePersistHandler& m_store;
};

AnaSqlitePersistHandler::AnaSqlitePersistHandler(QString directory, const Clock* clock)
    : m_anaDbPath(std::move(directory)), m_clock(clock ? clock : &Clock::system())
{
}

AnaSqlitePersistHandler::~AnaSqlitePersistHandler()
{
    if (m_database)
        sqlite3_close(m_database);
}

namespace {
std::mutex g_defaultMutex;
}

AnaSqlitePersistHandler& AnaSqlitePersistHandler::getDefaultHandlerWithOutInitDB()
{
    static AnaSqlitePersistHandler* store = new AnaSqlitePersistHandler();   // lives for the process
    return *store;
}

AnaSqlitePersistHandler& AnaSqlitePersistHandler::getDefaultHandler()
{
    std::lock_guard lock(g_defaultMutex);
    AnaSqlitePersistHandler& store = getDefaultHandlerWithOutInitDB();
    if (!store.isInited())
        store.initDB(nullptr);
    return store;
}

AnaSqlitePersistHandler::Record AnaSqlitePersistHandler::getPersistObjectByType(int type)
{
    const auto factory = AnalyticsPersistObjectRegister::sharedInstance().getPersistObjectType(type);
    Record record = factory ? factory() : nullptr;
    if (record)
        record->setType(type);
    return record;
}

QString AnaSqlitePersistHandler::anaDbPath() const
{
    Guard guard(const_cast<AnaSqlitePersistHandler&>(*this));
    return m_anaDbPath;
}

QString AnaSqlitePersistHandler::dbFile() const
{
    Guard guard(const_cast<AnaSqlitePersistHandler&>(*this));
    return m_dbFile;
}

QString AnaSqlitePersistHandler::lastSql() const
{
    Guard guard(const_cast<AnaSqlitePersistHandler&>(*this));
    return m_lastSql;
}

bool AnaSqlitePersistHandler::initDB(AnaError* error)
{
    Guard guard(*this);
    m_isInited = false;
    if (m_anaDbPath.isEmpty()) {
        m_anaDbPath = AppHome::current().documents();
        if (!QFileInfo::exists(m_anaDbPath))
            QDir().mkdir(m_anaDbPath);
    }
    if (m_dbFile.isEmpty()) {
        if (m_anaDbPath.isEmpty())
            return fail(error, 5, "fialed to init database,db path nil");
        m_dbFile = QDir(m_anaDbPath).filePath(kFileName);
    }
    if (!m_database) {
        if (!openDatabase(error))
            return false;
        executeUpdateSQL("PRAGMA encoding = \"UTF-8\"", error);
        executeUpdateSQL("PRAGMA auto_vacuum=1", error);
    }
    buildDBTables(error);
    m_isInited = true;
    return true;
}

bool AnaSqlitePersistHandler::canWrite()
{
    Guard guard(*this);
    if (!m_isInited && !initDB(nullptr))
        return false;
    return m_database && sqlite3_db_readonly(m_database, "main") == 0
           && ::access(QFile::encodeName(m_anaDbPath).constData(), W_OK) == 0;
}

int AnaSqlitePersistHandler::checkHealth(sqlite3* db)
{
    Statement statement;
    if (sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &statement.handle, nullptr) != SQLITE_OK)
        return sqlite3_errcode(db);
    const int rc = sqlite3_step(statement.handle);
    if (rc != SQLITE_ROW)
        return rc;
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 0));
    if (!text || qstrcmp(text, "ok") != 0)
        return SQLITE_CORRUPT;
    return checkRecordTable(db);
}

int AnaSqlitePersistHandler::checkRecordTable(sqlite3* db)
{
    // A record table without the columns every statement here names would
    // refuse each row for good: as unusable as a damaged file.
    static constexpr const char* kColumns[] = {"id", "type", "priority", "encLength", "time", "count", "md5",
                                               "encodeData"};
    Statement statement;
    if (sqlite3_prepare_v2(db, "PRAGMA table_info(ana_persist)", -1, &statement.handle, nullptr) != SQLITE_OK)
        return sqlite3_errcode(db);
    QSet<QByteArray> columns;
    int rc;
    while ((rc = sqlite3_step(statement.handle)) == SQLITE_ROW)
        columns.insert(QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(statement.handle, 1))).toLower());
    if (rc != SQLITE_DONE)
        return rc;
    if (columns.isEmpty())
        return SQLITE_OK;   // no table yet: it is made
    for (const char* column : kColumns)
        if (!columns.contains(QByteArray(column).toLower()))
            return SQLITE_CORRUPT;
    return SQLITE_OK;
}

bool AnaSqlitePersistHandler::openDatabase(AnaError* error)
{
    const QByteArray file = QFile::encodeName(m_dbFile);
    for (bool fresh = false;; fresh = true) {
        sqlite3* db = nullptr;
        QString planted;
        if (!DamagedDatabase::clearPlanted(m_dbFile, &planted))
            return fail(error, 3, "fialed to open database");
        if (!planted.isEmpty())
            qWarning("analytics store: %s was not a regular file; it was moved to %s and a fresh store started",
                     qPrintable(m_dbFile), qPrintable(planted));
        if (sqlite3_open(file.constData(), &db) != SQLITE_OK) {
            sqlite3_close(db);
            return fail(error, 3, "fialed to open database");
        }
        sqlite3_busy_timeout(db, 1000);
        // Busy, locked or unreadable is not damaged. A store another process
        // holds refuses at once, and is opened again by a later call: kept
        // open, each statement on it would wait out the busy timeout.
        const int health = checkHealth(db);
        if (health == SQLITE_BUSY || health == SQLITE_LOCKED) {
            sqlite3_close(db);
            return fail(error, 3, "fialed to open database, it is busy");
        }
        if (!DamagedDatabase::isDamageCode(health)) {
            m_database = db;
            return true;
        }
        sqlite3_close(db);
        if (fresh)
            return fail(error, 3, "fialed to open database");
        const QString aside = DamagedDatabase::moveAside(m_dbFile);
        if (aside.isEmpty()) {
            qWarning("analytics store: %s is damaged and cannot be moved aside", qPrintable(m_dbFile));
            return fail(error, 3, "fialed to open database");
        }
        qWarning("analytics store: %s is damaged; it was moved to %s and a fresh store started",
                 qPrintable(m_dbFile), qPrintable(aside));
    }
}

bool AnaSqlitePersistHandler::setDBPathStr(const QString& directory)
{
    Guard guard(*this);
    if (directory.isEmpty() || !QFileInfo::exists(directory))
        return false;
    if (m_anaDbPath.isEmpty()) {
        m_anaDbPath = directory;
        return true;
    }
    if (m_anaDbPath == directory)
        return false;
    m_anaDbPath = directory;
    m_dbFile.clear();
    return true;
}

bool AnaSqlitePersistHandler::resetDBWithNewPath(const QString& directory, AnaError* error)
{
    Guard guard(*this);
    if (!setDBPathStr(directory))
        return false;
    if (m_database) {
        // The new path takes a new connection.
        sqlite3_close(m_database);
        m_database = nullptr;
    }
    return initDB(error);
}

bool AnaSqlitePersistHandler::executeUpdateSQL(const QString& sql, AnaError* error)
{
    Guard guard(*this);
    if (!checkDatabase(error))
        return false;
    char* message = nullptr;
    if (sqlite3_exec(m_database, sql.toUtf8().constData(), nullptr, nullptr, &message) != SQLITE_OK) {
        const QString text = QString("Failed to execute SQL '%1' with message '%2'.").arg(sql, QString::fromUtf8(message));
        sqlite3_free(message);
        return fail(error, 4, text);
    }
    return true;
}

bool AnaSqlitePersistHandler::tableExists(const QString& table)
{
    Guard guard(*this);
    Statement statement;
    if (!m_database || !prepare(statement, QString("pragma table_info(%1);").arg(table), {}))
        return false;
    return sqlite3_step(statement.handle) == SQLITE_ROW;
}

bool AnaSqlitePersistHandler::buildDBTables(AnaError* error)
{
    Guard guard(*this);
    if (tableExists(kTableName))
        return true;
    return executeUpdateSQL("create table if not exists ana_persist (id integer primary key, type integer, "
                            "priority integer,encLength integer,time integer, count integer, md5 integer, "
                            "encodeData blob)",
                            error);
}

bool AnaSqlitePersistHandler::dropAllTables(AnaError* error)
{
    return executeUpdateSQL(QString("%1%2").arg("drop table if exists ", kTableName), error);
}

bool AnaSqlitePersistHandler::dropDBTables(AnaError* error)
{
    return dropAllTables(error);
}

bool AnaSqlitePersistHandler::rebuildDBTables(AnaError* error)
{
    Guard guard(*this);
    return dropDBTables(error) && buildDBTables(error);
}

bool AnaSqlitePersistHandler::checkDatabase(AnaError* error)
{
    return m_database ? true : fail(error, 3, "database is nil");
}

bool AnaSqlitePersistHandler::canQuery(int count, AnaError* error, const char* cipherFailure)
{
    if (count < 1)
        return fail(error, 5, "count must > 0");
    if (!checkDatabase(error))
        return false;
    return AnaEncryptUtil::getEncrypt(1) ? true : fail(error, 5, cipherFailure);
}

bool AnaSqlitePersistHandler::bindValue(sqlite3_stmt* statement, int index, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob(statement, index, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    case QMetaType::QString: {
        const QByteArray text = value.toString().toUtf8();
        return sqlite3_bind_text(statement, index, text.constData(), int(text.size()), SQLITE_TRANSIENT) == SQLITE_OK;
    }
    case QMetaType::Int:
        return sqlite3_bind_int(statement, index, value.toInt()) == SQLITE_OK;
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(statement, index, value.toDouble()) == SQLITE_OK;
    default:
        return sqlite3_bind_int64(statement, index, value.toLongLong()) == SQLITE_OK;
    }
}

bool AnaSqlitePersistHandler::prepare(Statement& statement, const QString& sql, const QVariantList& binds)
{
    m_lastSql = sql;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(m_database, text.constData(), int(text.size()), &statement.handle, nullptr) != SQLITE_OK)
        return false;
    return bindAll(statement.handle, binds);
}

bool AnaSqlitePersistHandler::bindAll(sqlite3_stmt* statement, const QVariantList& binds)
{
    for (int i = 0; i < binds.size(); ++i)
        if (!bindValue(statement, i + 1, binds[i]))
            return false;
    return true;
}

bool AnaSqlitePersistHandler::sealRecord(AnalyticsPersistObject& record, QVariantList* binds, AnaError* error)
{
    const AnaEncrypt* cipher = AnaEncryptUtil::getEncrypt(1);
    const QByteArray plain = record.encodeData();
    if (plain.isNull())
        return fail(error, 5, "analytics persist object insert got nil nsdata ");
    const QByteArray sealed = cipher->encrypt(plain, kRecordKey);
    if (sealed.isEmpty())
        return fail(error, 4, "analytics persist object encrypt nsdata failed");
    record.setEncLength(int32_t(sealed.size()));
    *binds << record.type() << record.priority() << qint64(record.time()) << sealed << record.encLength()
           << record.count() << qint64(record.md5());
    return true;
}

bool AnaSqlitePersistHandler::writeRecord(AnalyticsPersistObject& record, const QString& sql, bool withId,
                                          AnaError* error, const char* prepareFailure, const char* stepFailure)
{
    QVariantList binds;
    if (withId)
        binds << record.id();
    if (!sealRecord(record, &binds, error))
        return false;
    return runStatement({sql, binds}, error, prepareFailure, stepFailure);
}

bool AnaSqlitePersistHandler::saveObject(AnalyticsPersistObject& record, AnaError* error)
{
    Guard guard(*this);
    if (!canQuery(1, error, "insert persist object get encypt util failed"))
        return false;
    return writeRecord(record, AnaPersistQuery::kInsert, false, error, kInsertPrepareFailure, kInsertStepFailure);
}

bool AnaSqlitePersistHandler::updateObject(AnalyticsPersistObject& record, AnaError* error)
{
    Guard guard(*this);
    if (!canQuery(1, error, "updateObject get encypt util failed"))
        return false;
    if (record.id() == -1) {
        if (!saveObject(record, error))
            return false;
        record.setId(int32_t(sqlite3_last_insert_rowid(m_database)));
        return true;
    }
    return writeRecord(record, AnaPersistQuery::kReplace, true, error, "analytics persist object update sql pragram error",
                       "analytics persist object update  sql meet sqlite error");
}

bool AnaSqlitePersistHandler::saveObjects(const Records& records, AnaError* error)
{
    Guard guard(*this);
    if (!canQuery(1, error, "insert persist objects get encypt util failed"))
        return false;
    if (records.empty())
        return true;
    // One statement for the batch, reset between records; no transaction, so
    // the records before a failing one stay stored.
    Statement statement;
    if (!prepare(statement, AnaPersistQuery::kInsert, {}))
        return fail(error, 4, kInsertPrepareFailure);
    for (const Record& record : records) {
        if (!record)
            return fail(error, 5, "analytics persist objects insert have object no matched ");
        QVariantList binds;
        if (!sealRecord(*record, &binds, error))
            return false;
        if (!bindAll(statement.handle, binds) || sqlite3_step(statement.handle) != SQLITE_DONE)
            return fail(error, 4, kInsertStepFailure);
        sqlite3_reset(statement.handle);
        sqlite3_clear_bindings(statement.handle);
    }
    return true;
}

AnaSqlitePersistHandler::Record AnaSqlitePersistHandler::readRow(sqlite3_stmt* statement, AnaError* error)
{
    const AnaEncrypt* cipher = AnaEncryptUtil::getEncrypt(1);
    if (!cipher) {
        fail(error, 5, "getPersistObjectFromResultSet failed for :error get AnaEncryptUtil");
        return nullptr;
    }
    const int32_t id = sqlite3_column_int(statement, 0);
    Record record = getPersistObjectByType(sqlite3_column_int(statement, 1));
    if (!record) {
        fail(error, 5, "getPersistObjectFromResultSet failed for : error type");
        return nullptr;
    }
    record->setId(id);
    record->setPriority(sqlite3_column_int(statement, 2));
    record->setTime(sqlite3_column_int64(statement, 3));
    record->setEncLength(sqlite3_column_int(statement, 5));
    record->setCount(sqlite3_column_int(statement, 6));
    record->setMd5(sqlite3_column_int64(statement, 7));
    const void* blob = sqlite3_column_blob(statement, 4);
    if (!blob) {
        fail(error, 5, "getPersistObjectFromResultSet failed for : nil data");
        return nullptr;
    }
    QString failure;
    try {
        const QByteArray sealed(static_cast<const char*>(blob), sqlite3_column_bytes(statement, 4));
        const QByteArray plain = cipher->decrypt(sealed, kRecordKey);
        if (plain.isNull()) {
            failure = "getPersistObjectFromResultSet failed for : decrypt data";
        } else {
            try {
                if (!record->setEncodeData(plain))
                    failure = "getPersistObjectFromResultSet failed for : in setEncodeData because setEncodeData got No result";
            } catch (const std::bad_alloc&) {
                throw;
            } catch (const std::exception& e) {
                failure = QString("getPersistObjectFromResultSet failed for : in setEncodeData because %1").arg(e.what());
            }
        }
    } catch (const std::bad_alloc&) {
        // Short of memory is no fault of the row: it stays for a later read.
        fail(error, 2, "getPersistObjectFromResultSet failed for : out of memory");
        return nullptr;
    }
    if (failure.isEmpty())
        return record;
    fail(error, 2, failure);
    deleteObjectById(id, nullptr);
    return nullptr;
}

AnaSqlitePersistHandler::Records AnaSqlitePersistHandler::runQuery(const AnaPersistQuery& query, AnaError* error,
                                                                    QList<AnaError>* rowErrors)
{
    const qint64 maxBytes = query.maxBytes;
    const qint64 takenBytes = query.takenBytes;
    Records records;
    {
        Statement statement;
        if (!prepare(statement, query.sql, query.binds)) {
            fail(error, 4, "analytics persist object query sql pragram error");
            return records;
        }
        qint64 total = takenBytes;
        bool anyRead = takenBytes > 0;
        while (sqlite3_step(statement.handle) == SQLITE_ROW) {
            const qint64 bytes = maxBytes > 0 ? sqlite3_column_int64(statement.handle, 8) : 0;
            if (maxBytes > 0 && anyRead && total + bytes > maxBytes)
                break;
            AnaError rowError;
            if (Record record = readRow(statement.handle, &rowError)) {
                records.push_back(std::move(record));
                // A row that failed to read holds nothing: the next is read in its place.
                total += bytes;
                anyRead = true;
            } else if (rowErrors) {
                rowErrors->append(rowError);
            }
        }
    }
    return records;
}

AnaSqlitePersistHandler::Record AnaSqlitePersistHandler::getObjectById(long id, AnaError* error)
{
    Guard guard(*this);
    if (!canQuery(1, error, "get persist object get encypt util failed"))
        return nullptr;
    Statement statement;
    const AnaPersistQuery query = AnaPersistQuery::byId(id);
    if (!prepare(statement, query.sql, query.binds)) {
        fail(error, 4, "analytics persist object query sql pragram error");
        return nullptr;
    }
    Record last;
    while (sqlite3_step(statement.handle) == SQLITE_ROW) {
        last = readRow(statement.handle, error);
        if (!last)
            return nullptr;
    }
    return last;
}

AnaSqlitePersistHandler::Records AnaSqlitePersistHandler::getObjectsWithCount(int count, AnaError* error,
                                                                               QList<AnaError>* rowErrors)
{
    Guard guard(*this);
    if (!canQuery(count, error, "get persist objects get encypt util failed"))
        return {};
    return runQuery(AnaPersistQuery::withCount(count), error, rowErrors);
}

AnaSqlitePersistHandler::Records AnaSqlitePersistHandler::getObjectsWithCountOfType(int type, int count,
                                                                                     AnaError* error,
                                                                                     QList<AnaError>* rowErrors)
{
    Guard guard(*this);
    if (!canQuery(count, error, "iget persist objects get encypt util failed"))
        return {};
    return runQuery(AnaPersistQuery::withCountOfType(type, count), error, rowErrors);
}

AnaSqlitePersistHandler::Records AnaSqlitePersistHandler::getObjectsWithCountOfTypes(const QList<int>& types,
                                                                                      int count, AnaError* error,
                                                                                      QList<AnaError>* rowErrors)
{
    Guard guard(*this);
    if (count >= 1 && types.isEmpty()) {
        fail(error, 3, "must set one typs");
        return {};
    }
    if (!canQuery(count, error, "get persist objects get encypt util failed"))
        return {};
    return runQuery(AnaPersistQuery::withCountOfTypes(types, count), error, rowErrors);
}

AnaSqlitePersistHandler::Records AnaSqlitePersistHandler::getObjectsByCondition(const QVariantMap& condition,
                                                                                 AnaError* error,
                                                                                 QList<AnaError>* rowErrors)
{
    Guard guard(*this);
    if (!canQuery(1, error, "getObjectsByCondition get encypt util failed"))
        return {};
    AnaPersistQuery query;
    if (!AnaPersistQuery::byCondition(condition, &query, error))
        return {};
    return runQuery(query, error, rowErrors);
}

QList<qint64> AnaSqlitePersistHandler::getTimesOfType(int type, AnaError* error)
{
    Guard guard(*this);
    QList<qint64> times;
    if (!checkDatabase(error))
        return times;
    Statement statement;
    if (!prepare(statement, "select time from ana_persist where type = ?", {type})) {
        fail(error, 4, "analytics persist object query sql pragram error");
        return times;
    }
    while (sqlite3_step(statement.handle) == SQLITE_ROW)
        times << sqlite3_column_int64(statement.handle, 0);
    return times;
}

int AnaSqlitePersistHandler::runCount(const AnaPersistQuery& query, AnaError* error)
{
    if (!checkDatabase(error))
        return -1;
    Statement statement;
    if (!prepare(statement, query.sql, query.binds)) {
        fail(error, 4, "analytics persist object count query sql pragram error");
        return -1;
    }
    if (sqlite3_step(statement.handle) != SQLITE_ROW)
        return -1;
    return sqlite3_column_int(statement.handle, 0);
}

int AnaSqlitePersistHandler::getObjectCount(AnaError* error)
{
    Guard guard(*this);
    return runCount({"select count(*) from ana_persist", {}}, error);
}

int AnaSqlitePersistHandler::getObjectCountOfType(int type, AnaError* error)
{
    Guard guard(*this);
    return runCount({"select count(*) from ana_persist where type = ? ", {type}}, error);
}

int AnaSqlitePersistHandler::getObjectCountOfTypes(const QList<int>& types, AnaError* error)
{
    Guard guard(*this);
    if (types.isEmpty()) {
        fail(error, 3, "must set one typs");
        return -1;
    }
    return runCount(AnaPersistQuery::countOfTypes(types), error);
}

bool AnaSqlitePersistHandler::runStatement(const AnaPersistQuery& query, AnaError* error, const char* prepareFailure,
                                           const char* stepFailure)
{
    if (!checkDatabase(error))
        return false;
    Statement statement;
    if (!prepare(statement, query.sql, query.binds))
        return fail(error, 4, prepareFailure);
    if (sqlite3_step(statement.handle) != SQLITE_DONE)
        return fail(error, 4, stepFailure);
    return true;
}

bool AnaSqlitePersistHandler::deleteObjectById(long id, AnaError* error)
{
    Guard guard(*this);
    return runStatement({"delete from ana_persist where id = ? ", {qint64(id)}}, error,
                        "analytics persist object delete sql pragram error",
                        "analytics persist object delete meet sqilte error");
}

bool AnaSqlitePersistHandler::deleteObjectsByIds(const QVariantList& ids, AnaError* error)
{
    Guard guard(*this);
    if (ids.isEmpty())
        return fail(error, 5, "analytics persist objects delete,ids or count is nil");
    return runStatement(AnaPersistQuery::deleteIds(ids), error, "analytics persist objects delete sql pragram error",
                        "analytics persist objects delete meet sqilte error");
}

bool AnaSqlitePersistHandler::deleteObjects(const Records& records, AnaError* error)
{
    Guard guard(*this);
    if (records.empty())
        return fail(error, 5, "analytics persist objects delete,src array is nnil");
    QVariantList ids;
    for (const Record& record : records) {
        if (!record)
            return fail(error, 5, "deleteObjectsByIds:arr have object that not instance of AnalyticsPersistObject");
        ids << qint64(record->id());
    }
    return runStatement(AnaPersistQuery::deleteIds(ids), error, "analytics persist objects delete sql pragram error",
                        "analytics persist objects delete meet sqilte error");
}

bool AnaSqlitePersistHandler::deleteObjectsByType(int type, AnaError* error)
{
    Guard guard(*this);
    return runStatement(AnaPersistQuery::deleteType(type), error, "deleteObjectsByType: delete sql pragram error",
                        "deleteObjectsByType: delete meet sqilte error");
}

bool AnaSqlitePersistHandler::cleanExpireDatas(AnaError* error)
{
    Guard guard(*this);
    const qint64 limit = m_clock->now().toSecsSinceEpoch() - 604800;
    return runStatement({"delete from ana_persist where time < ?", {limit}}, error,
                        "analytics persist object clean expire date sql pragram error",
                        "analytics persist object clean expire date meet sqilte error");
}

AnaSqlitePersistHandler::Record AnaSqlitePersistHandler::getLocalStrategy(AnaError* error)
{
    Guard guard(*this);
    Records records = getObjectsWithCountOfType(kLocalStrategyType, 10, error);
    if (records.size() >= 2) {
        deleteObjects(records, error);
        return nullptr;
    }
    return records.empty() ? nullptr : records.front();
}

bool AnaSqlitePersistHandler::updateLocalStrategy(AnalyticsPersistObject& strategy, AnaError* error)
{
    Guard guard(*this);
    if (!updateObject(strategy, error))
        return false;
    const Record stored = getLocalStrategy(error);
    if (!stored)
        return false;
    strategy.setId(stored->id());
    return true;
}

bool AnaSqlitePersistHandler::tryEnterForCrash()
{
    if (!m_mutex.try_lock())
        return false;
    if (m_depth.load() > 0) {
        // The crashing thread itself was inside the store.
        m_mutex.unlock();
        return false;
    }
    ++m_depth;
    return true;
}

void AnaSqlitePersistHandler::leaveForCrash()
{
    --m_depth;
    m_mutex.unlock();
}
