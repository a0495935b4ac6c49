// Salvage of a private album index of 10,000 rows whose table root page was
// zeroed (every row then found by reading each page of the file), beside
// the floor of the same run: the same rows inserted into a fresh index in
// one transaction. Run with --benchmark_repetitions=5 and compare the
// medians of BM_SalvageZeroedRoot and BM_InsertRows.

#include "Public/SqliteDBManager.h"
#include "Public/SqliteIndexFile.h"
#include "albums/store/DBOEncryptAlbumOp.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUuid>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 10000;

bool photoSchema(SqliteDBManager& db)
{
    bool ok = db.executeSql(DBOEncryptAlbumOp::kCreateTableSql);
    for (const char* sql : DBOEncryptAlbumOp::kCreateIndexSql)
        ok = ok && db.executeSql(sql);
    return ok;
}

bool insertRows(SqliteDBManager& db)
{
    return db.transaction([&db] {
        for (int i = 0; i < kRows; ++i) {
            const QString uuid = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
            if (!db.executeSql("INSERT INTO photoes(datetime, photouuid, type, duration, systemurl, localpath)"
                               " VALUES(?, ?, 1, 0, ?, ?)",
                               {1500000000 + i, uuid, QString("assets-library://asset/asset.JPG?id=%1&ext=JPG").arg(i),
                                uuid}))
                return false;
        }
        return true;
    });
}

struct Damaged {
    QTemporaryDir dir;
    QString whole = dir.filePath("whole");
    int root = 0;

    Damaged()
    {
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(whole);
        QList<QVariantList> rows;
        if (db && photoSchema(*db) && insertRows(*db)
            && db->queryValues(&rows, "SELECT rootpage FROM sqlite_master WHERE name = 'photoes'") && !rows.isEmpty())
            root = rows.first().value(0).toInt();
    }
};

void BM_SalvageZeroedRoot(benchmark::State& state)
{
    Damaged damaged;
    if (damaged.root <= 1) {
        state.SkipWithError("no index to damage");
        return;
    }
    int carried = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const QString path = damaged.dir.filePath("photo");
        for (const QString& name : QDir(damaged.dir.path()).entryList({"photo*"}, QDir::Files))
            QFile::remove(damaged.dir.filePath(name));
        QFile::copy(damaged.whole, path);
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.seek(qint64(damaged.root - 1) * 4096);
        file.write(QByteArray(4096, '\0'));
        file.close();
        state.ResumeTiming();
        SqliteIndexFile::Opened opened = SqliteIndexFile::open(path, &photoSchema, "bench");
        QList<QVariantList> rows;
        if (opened.db && opened.db->queryValues(&rows, "SELECT COUNT(*) FROM photoes"))
            carried = rows.first().value(0).toInt();
    }
    state.counters["rows"] = carried;
}

void BM_InsertRows(benchmark::State& state)
{
    QTemporaryDir dir;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(dir.filePath("fresh"));
        std::unique_ptr<SqliteDBManager> db = SqliteDBManager::initWithFilePath(dir.filePath("fresh"));
        photoSchema(*db);
        state.ResumeTiming();
        insertRows(*db);
    }
}

}

BENCHMARK(BM_SalvageZeroedRoot)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_InsertRows)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
