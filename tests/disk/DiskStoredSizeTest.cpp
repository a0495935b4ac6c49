#include "DiskFixture.h"
#include "StoreLog.h"

#include "Public/SqliteDBManager.h"
#include "platform/core/Uuid.h"

#include <limits>

namespace {

class DiskStoredSizeTest : public DiskFixture {};

// File rows whose stored size the store never writes (the largest 64-bit
// number, below zero, text) neither lock the account nor count as used:
// the account is read, listed and stored into as before, and each row is
// logged.
TEST_F(DiskStoredSizeTest, ASizeTheStoreNeverWritesIsLeftOutOfTheUsedSpace)
{
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    const QString skey = login->sessionKey();
    ASSERT_TRUE(uploadBytes(bytePattern(3000, 1), "kept.jpg", disk));

    const QVariantList sizes = {std::numeric_limits<qint64>::max(), std::numeric_limits<qint64>::max(), -5,
                                "12 bytes", (1LL << 50) + 1};
    QStringList ids;
    for (const QVariant& size : sizes) {
        ids << Uuid::create();
        ASSERT_TRUE(store->db().executeSql("INSERT INTO files(file_id, uin, dir_key, name, size, cur_size, sha1, md5,"
                                           " ctime) VALUES(?, 10001, ?, 'planted.jpg', ?, ?, NULL, NULL, 1)",
                                           {ids.last(), disk->dir_key(), size, size}));
    }

    StoreLog log;
    DiskStoreAccount account;
    ASSERT_EQ(store->queryAccount(skey, &account), 0);
    EXPECT_EQ(account.usedSpace, 3000);
    EXPECT_GE(account.totalSpace, account.usedSpace);
    EXPECT_LE(account.totalSpace, 10LL * 1024 * 1024 * 1024);
    ASSERT_EQ(log.lines().size(), ids.size()) << log.lines().join('\n').toStdString();
    for (int i = 0; i < ids.size(); ++i)
        EXPECT_TRUE(log.lines()[i].contains(ids[i]) && log.lines()[i].contains("damaged")) << i;
    // Logged once, not at every reading.
    ASSERT_EQ(store->queryAccount(skey, &account), 0);
    EXPECT_EQ(log.lines().size(), ids.size());

    // The account goes on working through the program's own paths.
    ASSERT_TRUE(uploadBytes(bytePattern(2000, 2), "after.jpg", disk));
    ASSERT_EQ(store->queryAccount(skey, &account), 0);
    EXPECT_EQ(account.usedSpace, 5000);
    EXPECT_EQ(filesIn(disk).size(), 2 + sizes.size());
}

}
