#include "analytics/ANAPersistPropRange.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "crashhandler/NSExpUpload.h"
#include "support/ImageFixtures.h"
#include "support/TempHome.h"
#include "support/TextRecord.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <sqlite3.h>

#include <functional>
#include <thread>

namespace {

constexpr int kPlainType = TextRecord::kType;

std::shared_ptr<TextRecord> plain(const QByteArray& text, int64_t time = 0)
{
    auto record = TextRecord::make(text);
    record->setTime(time);
    return record;
}

class PersistStore : public ::testing::Test {
protected:
    void SetUp() override
    {
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<TextRecord>(kPlainType);
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<NSExpUpload>(NSExpUpload::kPersistType);
        ASSERT_TRUE(store.initDB(nullptr));
    }

    int64_t save(const QByteArray& text, int64_t time = 0)
    {
        auto record = plain(text, time);
        EXPECT_TRUE(store.saveObject(*record, nullptr));
        return rowIds().back();
    }

    std::vector<int64_t> rowIds(const char* where = "")
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(home.documents() + "/.analytics.db").constData(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, (std::string("select id from ana_persist ") + where + " order by id").c_str(), -1,
                           &statement, nullptr);
        std::vector<int64_t> ids;
        while (sqlite3_step(statement) == SQLITE_ROW)
            ids.push_back(sqlite3_column_int64(statement, 0));
        sqlite3_finalize(statement);
        sqlite3_close(db);
        return ids;
    }

    void storeRawRow(int type, const QByteArray& blob)
    {
        sqlite3* db = nullptr;
        sqlite3_open(QFile::encodeName(home.documents() + "/.analytics.db").constData(), &db);
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(db, "insert into ana_persist (type,encodeData) values (?,?)", -1, &statement, nullptr);
        sqlite3_bind_int(statement, 1, type);
        sqlite3_bind_blob(statement, 2, blob.constData(), int(blob.size()), SQLITE_TRANSIENT);
        sqlite3_step(statement);
        sqlite3_finalize(statement);
        sqlite3_close(db);
    }

    TempHome home;
    AnaSqlitePersistHandler store;
};

}

TEST_F(PersistStore, SavesIntoDocumentsWithAnEncipheredPayload)
{
    EXPECT_EQ(store.dbFile(), home.documents() + "/.analytics.db");
    auto record = plain("hello", 1700000000000LL);
    record->setMd5(0x7FFFFFFFFFFFFFFFLL);
    ASSERT_TRUE(store.saveObject(*record, nullptr));
    EXPECT_EQ(record->id(), -1);
    EXPECT_EQ(record->encLength(), 8);

    const auto ids = rowIds();
    ASSERT_EQ(ids.size(), 1u);
    auto back = std::dynamic_pointer_cast<TextRecord>(store.getObjectById(long(ids[0]), nullptr));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->id(), ids[0]);
    EXPECT_EQ(back->text, "hello");
    EXPECT_EQ(back->time(), 1700000000000LL);
    EXPECT_EQ(back->md5(), 0x7FFFFFFFFFFFFFFFLL);

    // The stored blob is the payload under the record key.
    EXPECT_TRUE(ImageFixtures::readFile(store.dbFile()).contains(AnaEncryptUtil::enCryptDES("hello", "N[=W^W=]")));
}

TEST_F(PersistStore, UpdateReplacesByIdAndInsertsANeverSavedRecord)
{
    auto a = plain("a");
    auto b = plain("b");
    ASSERT_TRUE(store.updateObject(*a, nullptr));
    ASSERT_TRUE(store.updateObject(*b, nullptr));
    EXPECT_NE(a->id(), -1);
    EXPECT_NE(a->id(), b->id());
    a->text = "a2";
    a->setCount(4);
    ASSERT_TRUE(store.updateObject(*a, nullptr));
    auto back = std::dynamic_pointer_cast<TextRecord>(store.getObjectById(a->id(), nullptr));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, "a2");
    EXPECT_EQ(back->count(), 4);
    EXPECT_EQ(store.getObjectCount(nullptr), 2);
}

TEST_F(PersistStore, BadRowsAreDroppedOrSkippedWhileOthersReturn)
{
    save("first");
    storeRawRow(kPlainType, AnaEncryptUtil::enCryptDES("other key", "abcdefgh"));
    save("refuse");
    storeRawRow(77, AnaEncryptUtil::enCryptDES("unregistered", "N[=W^W=]"));
    storeRawRow(NSExpUpload::kPersistType, AnaEncryptUtil::enCryptDES(QByteArray("\x16\x00", 2), "N[=W^W=]"));
    save("last");

    AnaError error;
    QList<AnaError> rowErrors;
    const auto records = store.getObjectsWithCount(100, &error, &rowErrors);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(error.code, 0);
    ASSERT_EQ(rowErrors.size(), 4);
    EXPECT_EQ(rowErrors[0].code, 2);  // wrong key
    EXPECT_EQ(rowErrors[2].code, 5);  // unregistered type
    // Undecodable rows are gone; the unregistered one stays.
    EXPECT_EQ(store.getObjectCount(nullptr), 3);
    EXPECT_EQ(rowIds("where type = 77").size(), 1u);
}

TEST_F(PersistStore, ServesThroughThePersisterInterfaceFromItsFolder)
{
    EXPECT_EQ(QDir(store.anaDbPath()), QDir(home.documents()));
    AnalyticsDataPersiter& persister = store;
    ASSERT_TRUE(persister.saveObject(*plain("via the interface"), nullptr));
    EXPECT_EQ(persister.getObjectCountOfType(kPlainType, nullptr), 1);
    EXPECT_TRUE(persister.deleteObjectsByType(kPlainType, nullptr));
    EXPECT_EQ(persister.getObjectCount(nullptr), 0);
    // A store given a folder keeps it; one without takes Documents on opening.
    EXPECT_EQ(AnaSqlitePersistHandler("/some/folder").anaDbPath(), QString("/some/folder"));
    EXPECT_TRUE(AnaSqlitePersistHandler().anaDbPath().isEmpty());
}

TEST_F(PersistStore, SaveObjectsStopsAtTheFirstFailureKeepingEarlierRows)
{
    AnaError error;
    EXPECT_FALSE(store.saveObjects({plain("a"), std::make_shared<AnalyticsPersistObject>(), plain("c")}, &error));
    EXPECT_EQ(error.description, "analytics persist object insert got nil nsdata ");
    EXPECT_EQ(store.getObjectCount(nullptr), 1);
    EXPECT_TRUE(store.saveObjects({}, nullptr));
    EXPECT_TRUE(store.saveObjects({plain("d"), plain("e")}, nullptr));
    EXPECT_EQ(store.getObjectCountOfTypes({kPlainType, 9}, nullptr), 3);
    EXPECT_EQ(store.getObjectsWithCountOfTypes({9, kPlainType}, 2, nullptr).size(), 2u);
    // One insert statement serves the batch; each record keeps its own values.
    QStringList texts;
    for (const auto& record : store.getObjectsWithCountOfType(kPlainType, 10, nullptr))
        texts << QString::fromUtf8(std::static_pointer_cast<TextRecord>(record)->text);
    EXPECT_EQ(texts, QStringList({"a", "d", "e"}));
    store.dropDBTables(nullptr);
    EXPECT_FALSE(store.saveObjects({plain("f")}, &error));
    EXPECT_EQ(error.code, 4);
    EXPECT_EQ(error.description, "analytics persist object insert sql pragram error");
}

TEST_F(PersistStore, DeleteByIdsAndByType)
{
    for (int i = 0; i < 10; ++i)
        save(QByteArray::number(i));
    ASSERT_TRUE(store.deleteObjectsByIds({4, 7, QString("9")}, nullptr));
    ASSERT_TRUE(store.deleteObjectsByIds({4, 2}, nullptr));
    ASSERT_TRUE(store.deleteObjectsByIds({1}, nullptr));
    EXPECT_EQ(rowIds(), (std::vector<int64_t>{3, 5, 6, 8, 10}));
    ASSERT_TRUE(store.deleteObjectsByType(kPlainType, nullptr));
    EXPECT_EQ(store.getObjectCountOfType(kPlainType, nullptr), 0);
}

TEST_F(PersistStore, ConditionsBindValuesAndNameOnlyRecordColumns)
{
    save("a", 100);
    save("b", 200);
    save("c", 300);

    EXPECT_EQ(store.getObjectsByCondition({{"limit", 0}}, nullptr).size(), 3u);

    ANAPersistPropRange from;
    from.mix = 200;
    auto rows = store.getObjectsByCondition({{"time", QVariant::fromValue(from)}, {"limit", 1}}, nullptr);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0]->time(), 200);

    ANAPersistPropRange upTo;
    upTo.max = 200;
    EXPECT_EQ(store.getObjectsByCondition({{"time", QVariant::fromValue(upTo)}}, nullptr).size(), 2u);
    ANAPersistPropRange both{100, 200};
    EXPECT_EQ(store.getObjectsByCondition({{"time", QVariant::fromValue(both)}, {"type", kPlainType}}, nullptr).size(), 2u);

    EXPECT_EQ(store.getObjectsByCondition({{"time", QVariantList{100, 300}}}, nullptr).size(), 2u);

    // A quote in a value is data, not SQL.
    EXPECT_TRUE(store.getObjectsByCondition({{"md5", "1' or '1'='1"}}, nullptr).empty());
    AnaError error;
    EXPECT_TRUE(store.getObjectsByCondition({{"1=1 or type", 3}}, &error).empty());
    EXPECT_EQ(error.code, 5);
    EXPECT_TRUE(store.getObjectsByCondition({{"time", QVariant::fromValue(ANAPersistPropRange{})}}, &error).empty());
    EXPECT_TRUE(store.getObjectsByCondition({{"time", QVariantList{}}}, &error).empty());
    EXPECT_TRUE(store.getObjectsByCondition({{"time", QVariantList{QVariantMap{}}}}, &error).empty());
    EXPECT_TRUE(store.getObjectsByCondition({{"time", QVariantMap{}}}, &error).empty());
}

TEST_F(PersistStore, TwoLocalStrategiesAreBothDropped)
{
    AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<TextRecord>(
        AnaSqlitePersistHandler::kLocalStrategyType);
    auto strategy = plain("strategy");
    strategy->setType(AnaSqlitePersistHandler::kLocalStrategyType);
    ASSERT_TRUE(store.updateLocalStrategy(*strategy, nullptr));
    auto one = store.getLocalStrategy(nullptr);
    ASSERT_TRUE(one);
    EXPECT_EQ(one->id(), strategy->id());
    auto second = plain("second");
    second->setType(AnaSqlitePersistHandler::kLocalStrategyType);
    ASSERT_TRUE(store.saveObject(*second, nullptr));
    EXPECT_FALSE(store.getLocalStrategy(nullptr));
    EXPECT_EQ(store.getObjectCountOfType(AnaSqlitePersistHandler::kLocalStrategyType, nullptr), 0);
}

TEST_F(PersistStore, CleanExpireDatasDropsRecordsOlderThanAWeek)
{
    const int64_t now = QDateTime::currentSecsSinceEpoch();
    save("old", now - 604800 - 10);
    save("new", now - 10);
    ASSERT_TRUE(store.cleanExpireDatas(nullptr));
    EXPECT_EQ(store.getObjectCount(nullptr), 1);
}

TEST(PersistStoreOpen, AStoreThatCannotOpenAnswersDatabaseIsNil)
{
    TempHome home;
    ASSERT_TRUE(ImageFixtures::writeFile(home.path("not-a-folder"), "not a folder"));
    AnaSqlitePersistHandler store(home.path("not-a-folder"));
    AnaError error;
    EXPECT_FALSE(store.initDB(&error));
    EXPECT_EQ(error.code, 3);
    EXPECT_EQ(error.description, "fialed to open database");
    EXPECT_FALSE(store.isInited());
    auto record = plain("x");
    for (const auto& call : std::vector<std::function<bool()>>{
             [&] { return store.saveObject(*record, &error); },
             [&] { return store.updateObject(*record, &error); },
             [&] { return store.deleteObjectById(1, &error); },
             [&] { return store.getObjectCount(&error) != -1; },
             [&] { return !store.getObjectsByCondition({}, &error).empty(); }}) {
        error = {};
        EXPECT_FALSE(call());
        EXPECT_EQ(error.code, 3);
        EXPECT_EQ(error.description, "database is nil");
    }
}

TEST_F(PersistStore, CrashEntryOnlyWhenNobodyIsInside)
{
    EXPECT_TRUE(store.tryEnterForCrash());
    store.leaveForCrash();

    // The calling thread itself inside the store.
    bool insideAnswer = true;
    auto record = plain("probe");
    record->probe = [&] { insideAnswer = store.tryEnterForCrash(); };
    ASSERT_TRUE(store.saveObject(*record, nullptr));
    EXPECT_FALSE(insideAnswer);

    // Another thread inside the store.
    std::atomic<bool> entered{false}, release{false};
    auto blocker = plain("blocker");
    blocker->probe = [&] {
        entered = true;
        while (!release)
            std::this_thread::yield();
    };
    std::thread other([&] { store.saveObject(*blocker, nullptr); });
    while (!entered)
        std::this_thread::yield();
    EXPECT_FALSE(store.tryEnterForCrash());
    release = true;
    other.join();
    EXPECT_TRUE(store.tryEnterForCrash());
    store.leaveForCrash();
}

TEST(PersistStoreOpen, ADamagedStoreIsMovedAsideAndABusyOneIsNot)
{
    TempHome home;
    AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<TextRecord>(kPlainType);
    const QString file = home.documents() + "/.analytics.db";
    const auto aside = [&] {
        return QDir(home.documents()).entryList({".analytics.db.damaged-*"}, QDir::Files | QDir::Hidden);
    };

    // One damaged page of a store with rows in it.
    {
        AnaSqlitePersistHandler store(home.documents());
        ASSERT_TRUE(store.initDB(nullptr));
        for (int i = 0; i < 60; ++i) {
            auto record = plain(QByteArray(300, char('a' + i % 26)));
            ASSERT_TRUE(store.saveObject(*record, nullptr));
        }
    }
    QFile damaged(file);
    ASSERT_TRUE(damaged.open(QIODevice::ReadWrite));
    ASSERT_GT(damaged.size(), 4 * 4096);
    damaged.seek(3 * 4096);
    damaged.write(QByteArray(4096, '\x5a'));
    damaged.close();
    AnaSqlitePersistHandler store(home.documents());
    ASSERT_TRUE(store.initDB(nullptr));
    EXPECT_EQ(aside().size(), 1);
    EXPECT_EQ(store.getObjectCount(nullptr), 0);

    // Busy: another connection holds the write lock while the store opens.
    auto record = plain("kept");
    ASSERT_TRUE(store.saveObject(*record, nullptr));
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    {
        AnaSqlitePersistHandler busy(home.documents());
        busy.initDB(nullptr);
        EXPECT_EQ(aside().size(), 1);
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    AnaSqlitePersistHandler reopened(home.documents());
    ASSERT_TRUE(reopened.initDB(nullptr));
    EXPECT_EQ(reopened.getObjectCount(nullptr), 1);
}
