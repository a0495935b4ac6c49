#include "Public/SqliteIndexFile.h"

#include "Public/SqliteDBManager.h"
#include "Public/SqliteSalvage.h"
#include "platform/core/DamagedDatabase.h"

#include <QFileInfo>
#include <QSet>
#include <QStringList>

SqliteIndexFile::State SqliteIndexFile::check(SqliteDBManager& db, const Schema& schema, QString* why)
{
    QList<QVariantList> rows;
    if (!db.queryValues(&rows, QStringLiteral("PRAGMA quick_check")))
        return DamagedDatabase::isDamageCode(db.lastErrorCode()) ? State::Damaged : State::Failed;
    if (rows.isEmpty() || rows.first().value(0).toString() != QLatin1String("ok"))
        return State::Damaged;
    // Looked at before the schema is set up: a view at a table's name fails it.
    const QString strangers = strangeObjects(db, schema);
    if (!strangers.isEmpty()) {
        *why = QStringLiteral("its schema is not the program's: ") + strangers;
        return State::Damaged;
    }
    const bool madeSchema = schema(db);
    if (!madeSchema && DamagedDatabase::isDamageCode(db.lastErrorCode()))
        return State::Damaged;
    const int failure = db.lastErrorCode();
    // Tables the program reads and writes but not as it makes them: every
    // query or store would fail (or find nothing) on such an index.
    QMap<QString, SqliteTableShape> expected;
    QMap<QString, SqliteTableShape> actual;
    if (programShape(schema, &expected) && SqliteTableShape::readAll(queryOf(db), &actual)) {
        const QString departure = SqliteTableShape::departure(expected, actual);
        if (!departure.isEmpty()) {
            *why = QStringLiteral("its schema is not the program's: ") + departure;
            return State::Damaged;
        }
    }
    if (madeSchema)
        return State::Usable;
    return DamagedDatabase::isDamageCode(failure) ? State::Damaged : State::Failed;
}

SqliteTableShape::Query SqliteIndexFile::queryOf(SqliteDBManager& db)
{
    return [&db](const QString& sql, QList<QVariantList>* rows) { return db.queryValues(rows, sql); };
}

QString SqliteIndexFile::strangeObjects(SqliteDBManager& db, const Schema& schema)
{
    const QString sql = QStringLiteral("SELECT type, name, sql FROM sqlite_master"
                                       " WHERE type IN ('view', 'trigger', 'index') AND sql IS NOT NULL");
    QList<QVariantList> found;
    if (!db.queryValues(&found, sql))
        return {};
    if (found.isEmpty())
        return {};
    const std::unique_ptr<SqliteDBManager> reference = SqliteDBManager::initWithFilePath(QStringLiteral(":memory:"));
    QList<QVariantList> own;
    if (!reference || !schema(*reference) || !reference->queryValues(&own, sql))
        return {};
    const auto key = [](const QVariantList& row) {
        return (row.value(0).toString() + ' ' + row.value(2).toString().simplified()).toLower();
    };
    QSet<QString> program;
    for (const QVariantList& row : own)
        program.insert(key(row));
    QStringList strangers;
    for (const QVariantList& row : found)
        if (!program.contains(key(row)))
            strangers << QStringLiteral("the %1 %2 is not the program's").arg(row.value(0).toString(), row.value(1).toString());
    return strangers.join(QStringLiteral("; "));
}

bool SqliteIndexFile::programShape(const Schema& schema, QMap<QString, SqliteTableShape>* out)
{
    const std::unique_ptr<SqliteDBManager> reference = SqliteDBManager::initWithFilePath(QStringLiteral(":memory:"));
    return reference && schema(*reference) && SqliteTableShape::readAll(queryOf(*reference), out);
}

bool SqliteIndexFile::useWriteAheadLog(SqliteDBManager& db)
{
    QList<QVariantList> rows;
    return db.queryValues(&rows, QStringLiteral("PRAGMA journal_mode=WAL")) && !rows.isEmpty()
        && rows.first().value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) == 0
        && db.executeSql(QStringLiteral("PRAGMA synchronous=NORMAL"));
}

bool SqliteIndexFile::isLost(const QString& path, const HoldsFiles& holdsFiles)
{
    const QFileInfo info(path);
    return holdsFiles && info.isFile() && info.size() == 0 && holdsFiles();
}

SqliteIndexFile::Opened SqliteIndexFile::open(const QString& path, const Schema& schema, const char* owner,
                                              const HoldsFiles& holdsFiles)
{
    Opened opened;
    if (isLost(path, holdsFiles)) {
        const QString aside = DamagedDatabase::moveAside(path);
        if (aside.isEmpty()) {
            qWarning("%s: the index %s is damaged (empty while the store holds files) and cannot be moved aside",
                     owner, qPrintable(path));
            return opened;
        }
        qWarning("%s: the index %s is damaged: it is empty while the store holds files (the index was lost); it was"
                 " moved to %s and a fresh index started (the stored files stay where they are)",
                 owner, qPrintable(path), qPrintable(aside));
        opened.startedAfresh = true;
    }
    opened.db = SqliteDBManager::initWithFilePath(path);
    if (!opened.db) {
        qWarning("%s: the index %s cannot be opened", owner, qPrintable(path));
        return opened;
    }
    QString why;
    const State state = check(*opened.db, schema, &why);
    if (state == State::Usable)
        return opened;
    if (state == State::Failed) {
        qWarning("%s: the index %s cannot be used: %s", owner, qPrintable(path), qPrintable(opened.db->lastError()));
        opened.db.reset();
        return opened;
    }
    opened.db.reset();
    const QString aside = DamagedDatabase::moveAside(path);
    if (aside.isEmpty()) {
        qWarning("%s: the index %s is damaged and cannot be moved aside", owner, qPrintable(path));
        return opened;
    }
    opened.startedAfresh = true;
    opened.db = SqliteDBManager::initWithFilePath(path);
    QString freshWhy;
    if (!opened.db || check(*opened.db, schema, &freshWhy) != State::Usable) {
        qWarning("%s: the index %s is damaged and was moved to %s, but no fresh index can be started", owner,
                 qPrintable(path), qPrintable(aside));
        opened.db.reset();
        return opened;
    }
    const SqliteSalvage::Result carried = SqliteSalvage::carry(aside, *opened.db);
    qWarning("%s: the index %s is damaged%s; it was moved to %s and a fresh index started with the %d rows"
             " that could still be read from it%s (the stored files stay where they are)",
             owner, qPrintable(path), qPrintable(why.isEmpty() ? QString() : " (" + why + ")"), qPrintable(aside),
             carried.rows,
             carried.lostStretches ? ", the rest could not be read" : "");
    return opened;
}
