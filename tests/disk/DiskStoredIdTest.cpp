#include "DiskFixture.h"
#include "StoreLog.h"

#include "Public/SqliteDBManager.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

class DiskStoredIdTest : public DiskFixture {};

// A files row whose id was not made by the store (a planted or damaged row)
// must never reach a path: not listed, not read, not deleted.
TEST_F(DiskStoredIdTest, AFileIdThatLeavesTheStoreIsRefusedForListReadAndDelete)
{
    QTemporaryDir outside;
    const QString victim = outside.filePath("victim.jpg");
    ASSERT_TRUE(ImageFixtures::writeFile(victim, ImageFixtures::jpeg(64, 64, 5)));
    const QByteArray victimBytes = ImageFixtures::readFile(victim);
    const DiskDirPtr disk = signIn("10001", "pw");
    ASSERT_TRUE(disk);
    const QString skey = login->sessionKey();
    const QString dirKey = disk->dir_key();
    QList<DiskStoreDir> dirs;
    QList<DiskStoreFile> files;

    DiskStoreFile good;
    const QByteArray goodBytes = bytePattern(300);
    ASSERT_EQ(store->registerFile(skey, dirKey, "good.jpg", goodBytes.size(), {}, {}, &good), 0);
    qint64 size = 0;
    ASSERT_EQ(store->appendChunk(skey, good.fileId, 0, goodBytes, &size), 0);

    // "../../<folder>/victim.jpg" from the store's folder of blobs.
    const QStringList planted = {QDir(storeDir.path() + "/blobs").relativeFilePath(victim), "../index.db", ""};
    ASSERT_TRUE(planted.first().startsWith("../../"));
    for (const QString& id : planted)
        ASSERT_TRUE(store->db().executeSql("INSERT INTO files(file_id, uin, dir_key, name, size, cur_size, sha1, md5,"
                                           " ctime) VALUES(?, 10001, ?, 'victim.jpg', ?, ?, NULL, NULL, 1)",
                                           {id, dirKey, victimBytes.size(), victimBytes.size()}));

    StoreLog log;
    ASSERT_EQ(store->listDir(skey, dirKey, &dirs, &files), 0);
    ASSERT_EQ(files.size(), 1);
    EXPECT_EQ(files.first().fileId, good.fileId);
    EXPECT_TRUE(log.lines().size() >= planted.size() && log.lines().first().contains("damaged"))
        << log.lines().join("\n").toStdString();

    for (const QString& id : planted) {
        SCOPED_TRACE(id.toStdString());
        QByteArray read;
        EXPECT_EQ(store->readChunk(skey, id, 0, 1 << 20, &read), -404);
        EXPECT_TRUE(read.isEmpty());
        DiskStoreFile row;
        std::unique_ptr<QFile> blob;
        EXPECT_EQ(store->openBlob(skey, id, &row, &blob), -404);
        EXPECT_FALSE(blob);
        QByteArray thumb;
        EXPECT_EQ(store->thumbnail(skey, id, 128, &thumb), -404);
        EXPECT_EQ(store->appendChunk(skey, id, victimBytes.size(), "more", &size), -404);
        bool complete = false;
        EXPECT_EQ(store->deleteUnfinished(skey, id, &complete), -404);
        EXPECT_EQ(store->deleteFile(skey, id), -404);
    }
    EXPECT_EQ(ImageFixtures::readFile(victim), victimBytes);
    EXPECT_TRUE(QFile::exists(storeDir.path() + "/index.db"));
    // The rows stay as they are, for whoever looks into the index.
    QList<QVariantList> rows;
    ASSERT_TRUE(store->db().queryValues(&rows, "SELECT COUNT(*) FROM files"));
    EXPECT_EQ(rows.first().value(0).toInt(), 1 + planted.size());

    // The store's own file is still served.
    QByteArray read;
    EXPECT_EQ(store->readChunk(skey, good.fileId, 0, 1 << 20, &read), 0);
    EXPECT_EQ(read, goodBytes);
}

}
