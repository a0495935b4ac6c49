#include "albums/store/DBOEncryptAlbumOp.h"

#include "Public/SqliteDBManager.h"
#include "Public/SqliteIndexFile.h"
#include "albums/store/ItemId.h"

#include <algorithm>

const char* const DBOEncryptAlbumOp::kCreateTableSql =
    "CREATE TABLE IF NOT EXISTS photoes (\tdatetime INTEGER,   photouuid TEXT,   type INTEGER,   "
    "duration DOUBLE DEFAULT 0,   systemurl TEXT,   localpath TEXT );";

const char* const DBOEncryptAlbumOp::kCreateIndexSql[4] = {
    "CREATE INDEX IF NOT EXISTS photoes_key ON photoes (photouuid ASC);",
    "CREATE INDEX IF NOT EXISTS photoes_datetime_index ON photoes (datetime DESC);",
    "CREATE INDEX IF NOT EXISTS photoes_type_index ON photoes (type ASC);",
    "CREATE INDEX IF NOT EXISTS photoes_url_index ON photoes (systemurl ASC);",
};

namespace {
const char* const kInsertSql = "INSERT INTO photoes (    datetime, photouuid, type, duration, systemurl, localpath)"
                               "VALUES (    ?, ?, ?, ?, ?, ?);";
const char* const kDeleteSql = "DELETE FROM photoes WHERE photouuid = ?;";
const char* const kByUrlSql = "SELECT datetime, photouuid, type, duration, systemurl, localpath FROM photoes "
                             "WHERE systemurl = ?;";
const char* const kExitSql = "SELECT * FROM photoes WHERE systemurl = ?;";
const char* const kByTypeSql = "SELECT datetime, photouuid, type, duration, systemurl, localpath FROM photoes "
                               "WHERE type = ? order by datetime desc;";
const char* const kAllSql = "SELECT datetime, photouuid, type, duration, systemurl, localpath FROM photoes "
                            "order by datetime desc;";
const char* const kNoUrlWhere = "(systemurl IS NULL OR systemurl = '' OR systemurl = ?)";
const char* const kUuidsSql = "SELECT photouuid FROM photoes;";

// Rows written before URLs went in as NULL carry this text for "no URL".
const char* const kLegacyNoUrl = "(null)";

bool hasUrl(const QString& url)
{
    return !url.isEmpty() && url != kLegacyNoUrl;
}
}

std::unique_ptr<DBOEncryptAlbumOp> DBOEncryptAlbumOp::initWithFilePath(const QString& path)
{
    const auto schema = [](SqliteDBManager& db) {
        // A write-ahead log synced at every commit: as durable as the
        // rollback journal, at one fsync per insert instead of several.
        bool ok = db.executeSql("PRAGMA journal_mode = WAL") && db.executeSql("PRAGMA synchronous = FULL")
            && db.executeSql(kCreateTableSql);
        for (const char* sql : kCreateIndexSql)
            ok = ok && db.executeSql(sql);
        return ok;
    };
    SqliteIndexFile::Opened opened = SqliteIndexFile::open(path, schema, "private album");
    // Rows carried from an index that lacked the column name their item file
    // as every row does: by the item's id.
    if (opened.startedAfresh && opened.db)
        opened.db->executeSql(QStringLiteral("UPDATE photoes SET localpath = photouuid WHERE localpath IS NULL"));
    return std::make_unique<DBOEncryptAlbumOp>(std::move(opened.db));
}

DBOEncryptAlbumOp::DBOEncryptAlbumOp(std::unique_ptr<SqliteDBManager> engine) : m_engine(std::move(engine)) {}

DBOEncryptAlbumOp::~DBOEncryptAlbumOp() = default;

bool DBOEncryptAlbumOp::insertRecord(const PavPhotoModel& model)
{
    return m_engine && insertLocked(model);
}

bool DBOEncryptAlbumOp::insertLocked(const PavPhotoModel& model)
{
    // Whole seconds since 1970, truncated toward zero, 64-bit.
    const qint64 seconds = model.photoCreateTime().toMSecsSinceEpoch() / 1000;
    const QVariant url = hasUrl(model.photoURL()) ? QVariant(model.photoURL()) : QVariant();
    return m_engine->executeSql(kInsertSql, {seconds, model.photoUUID(), model.photoType(), model.videoDuration(),
                                             url, model.photoPath()});
}

bool DBOEncryptAlbumOp::insertRecords(const PavPhotoModelList& models)
{
    return m_engine && m_engine->transaction([&] {
        for (const PavPhotoModelPtr& model : models)
            if (!insertLocked(*model))
                return false;
        return true;
    });
}

bool DBOEncryptAlbumOp::checkpoint()
{
    return m_engine && m_engine->executeSql("PRAGMA wal_checkpoint(TRUNCATE)");
}

bool DBOEncryptAlbumOp::deleteRecord(const PavPhotoModel& model)
{
    return m_engine && m_engine->executeSql(kDeleteSql, {model.photoUUID()});
}

PavPhotoModelList DBOEncryptAlbumOp::recordsWithURL(const QString& url)
{
    if (!hasUrl(url))
        return {};
    return query(kByUrlSql, {url}, 0);
}

bool DBOEncryptAlbumOp::exitRecord(const QString& url)
{
    return hasUrl(url) && !query(kExitSql, {url}, 0).isEmpty();
}

bool DBOEncryptAlbumOp::replaceURL(const QString& from, const QString& to)
{
    return m_engine && hasUrl(from) && hasUrl(to)
        && m_engine->executeSql(QStringLiteral("UPDATE photoes SET systemurl = ? WHERE systemurl = ?"), {to, from});
}

PavPhotoModelList DBOEncryptAlbumOp::recordsWithoutURL()
{
    return query(QStringLiteral("SELECT datetime, photouuid, type, duration, systemurl, localpath FROM photoes WHERE ")
                     + kNoUrlWhere,
                 {QString::fromLatin1(kLegacyNoUrl)}, 0);
}

bool DBOEncryptAlbumOp::setURLOfRecordWithoutURL(const QString& uuid, const QString& url)
{
    if (!m_engine || uuid.isEmpty() || !hasUrl(url))
        return false;
    const QString sql = QStringLiteral("UPDATE photoes SET systemurl = ? WHERE photouuid = ? AND ") + kNoUrlWhere;
    if (!m_engine->executeSql(sql, {url, uuid, QString::fromLatin1(kLegacyNoUrl)}))
        return false;
    // The statement also runs when no row matched: the row must carry the URL now.
    const PavPhotoModelList rows = query(kByUrlSql, {url}, 0);
    return std::any_of(rows.begin(), rows.end(), [&](const PavPhotoModelPtr& row) { return row->photoUUID() == uuid; });
}

PavPhotoModelList DBOEncryptAlbumOp::photoesWithType(int type)
{
    return query(kByTypeSql, {type}, type);
}

PavPhotoModelList DBOEncryptAlbumOp::photoes()
{
    return query(kAllSql, {}, 0);
}

PavPhotoModelList DBOEncryptAlbumOp::query(const QString& sql, const QVariantList& binds,
                                                          int forcedType)
{
    QList<SqliteDBManager::Row> rows;
    if (!m_engine || !m_engine->queryResult(&rows, sql, binds) || rows.isEmpty())
        return {};
    PavPhotoModelList models;
    models.reserve(rows.size());
    int skipped = 0;
    for (const SqliteDBManager::Row& row : rows) {
        // Both name files in the album folder: a row with anything else is
        // not one the store wrote, and never reaches a path.
        if (!ItemId::isValid(row.value("photouuid")) || !ItemId::isValid(row.value("localpath"))) {
            ++skipped;
            continue;
        }
        auto model = std::make_shared<PavPhotoModel>();
        if (row.contains("datetime"))
            model->setPhotoCreateTime(
                QDateTime::fromSecsSinceEpoch(qint64(row.value("datetime").toDouble()), Qt::UTC));
        model->setPhotoUUID(row.value("photouuid"));
        model->setPhotoType(forcedType ? forcedType : row.value("type").toInt());
        model->setVideoDuration(row.value("duration").toDouble());
        if (hasUrl(row.value("systemurl")))
            model->setPhotoURL(row.value("systemurl"));
        model->setPhotoPath(row.value("localpath"));
        models.append(std::move(model));
    }
    if (skipped > 0)
        qWarning("private album: skipped %d row(s) of the index whose item id is not in UUID form", skipped);
    return models;
}

bool DBOEncryptAlbumOp::photoUUIDs(QSet<QString>* uuids)
{
    QList<SqliteDBManager::Row> rows;
    if (!m_engine || !m_engine->queryResult(&rows, kUuidsSql))
        return false;
    uuids->clear();
    for (const SqliteDBManager::Row& row : rows)
        uuids->insert(row.value("photouuid"));
    return true;
}
