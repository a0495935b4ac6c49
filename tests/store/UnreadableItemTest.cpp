#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "Public/SqliteDBManager.h"
#include "support/AddressSpaceCap.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Item files in the album folder that are not what the store wrote: a
// symbolic link out of the folder, a file larger than any item. Neither is
// followed or read whole.
class UnreadableItemTest : public StoreTestBase {
protected:
    QString itemPath(const QString& name) const { return photoDir() + "/" + name; }
    // An item file of size bytes that takes no room on the disk.
    void plantSparseItem(const QString& uuid, qint64 size) const
    {
        const int fd = ::open(QFile::encodeName(itemPath(uuid)).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(size)), 0);
        ::close(fd);
    }

    // Writes a row for uuid into the index while no store has it open, and
    // opens the store again, as a start would.
    void plantRow(const QString& uuid)
    {
        m_store.reset();
        {
            auto db = SqliteDBManager::initWithFilePath(photoDir() + "/photo");
            ASSERT_TRUE(db->executeSql("INSERT INTO photoes (datetime, photouuid, type, duration, systemurl, "
                                       "localpath) VALUES (1796634000, ?, 1, 0, NULL, ?)",
                                       {uuid, uuid}));
        }
        m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    }
    // Moves the item out; the error it answers ("" for a success).
    QString moveOut(const PavPhotoModelPtr& item)
    {
        auto error = std::make_shared<QString>("no answer");
        m_store->decryptPhoto(item, nullptr, [error](const PavPhotoModelPtr&, const QString& e) { *error = e; });
        waitUntil([&] { return *error != "no answer"; }, 3000);
        return *error;
    }
};

TEST_F(UnreadableItemTest, AnItemLinkedToAnotherAlbumsItemIsNeitherShownNorMovedOut)
{
    // A real item of another home's album.
    QTemporaryDir other;
    const QString otherDir = other.path() + "/photo";
    QString target;
    {
        PavPhotoManager foreign(otherDir, m_library);
        ASSERT_TRUE(foreign.encryptAsset(*jpegAsset("assets-library://asset/asset.JPG?id=OTHER&ext=JPG", 4)));
        target = foreign.getPhotoFullPath(*foreign.photoes().first());
    }
    ASSERT_FALSE(PavPhotoManager::decryptPhotoWithFullPath(target + ".thumb").isNull());

    const QString uuid = "ABABABAB-ABAB-ABAB-ABAB-ABABABABABAB";
    ASSERT_TRUE(QFile::link(target, itemPath(uuid)));
    ASSERT_TRUE(QFile::link(target + ".thumb", itemPath(uuid + ".thumb")));
    plantRow(uuid);
    ASSERT_EQ(m_store->photoes().size(), 1);
    const PavPhotoModelPtr item = m_store->photoes().first();

    EXPECT_TRUE(PavPhotoManager::decryptPhotoWithFullPath(m_store->thumbnailPath(*item)).isNull());
    EXPECT_TRUE(PavPhotoManager::decryptPhotoWithFullPath(m_store->getPhotoFullPath(*item), QSize(150, 150)).isNull());
    EXPECT_FALSE(moveOut(item).isEmpty());
    EXPECT_TRUE(m_library->saved().isEmpty());
}

TEST_F(UnreadableItemTest, AFileLargerThanAnyItemIsLeftInPlaceByTheRepairWithoutBeingRead)
{
    const QString uuid = "77777777-7777-7777-7777-777777777777";
    const qint64 size = PavEncryptManager::maxFileSize() + 4;
    ASSERT_NO_FATAL_FAILURE(plantSparseItem(uuid, size));
    const int rows = rowCount();
    m_store.reset();

    // Reading it whole would need far more than this allowance.
    bool threw = false;
    {
        AddressSpaceCap cap(1ULL << 30);
        try {
            m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
        } catch (...) {
            threw = true;
        }
    }
    ASSERT_FALSE(threw);

    EXPECT_EQ(rowCount(), rows);
    EXPECT_EQ(QFileInfo(itemPath(uuid)).size(), size);
    EXPECT_FALSE(QFileInfo::exists(photoDir() + "/Quarantine/" + uuid));
}

}

namespace {

// The most memory the process has held at once since the last reset, in bytes.
qint64 peakResident()
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
    return -1;
}

bool resetPeakResident()
{
    QFile clear("/proc/self/clear_refs");
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

TEST_F(UnreadableItemTest, AnItemPastTheItemCapIsRefusedUnreadAndKeptInPlace)
{
    // 1.5 GiB, sparse: more than an item may be, far less than a cipher can say.
    const QString uuid = "5A5A5A5A-5A5A-5A5A-5A5A-5A5A5A5A5A5A";
    const qint64 size = 3LL << 29;
    ASSERT_NO_FATAL_FAILURE(plantSparseItem(uuid, size));
    const int rows = rowCount();
    m_store.reset();
    if (!resetPeakResident())
        GTEST_SKIP() << "the peak of resident memory cannot be reset here";
    const qint64 before = peakResident();
    ASSERT_GT(before, 0);

    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);

    EXPECT_LT(peakResident() - before, 256LL << 20);
    EXPECT_EQ(rowCount(), rows);
    EXPECT_EQ(QFileInfo(itemPath(uuid)).size(), size);
    EXPECT_FALSE(QFileInfo::exists(photoDir() + "/Quarantine/" + uuid));
}

}
