#include "DiskFixture.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskFileCache.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/mount.h>
#include <sys/statvfs.h>

namespace {

// A small file system of its own (tmpfs), mounted while the object lives.
class SmallFileSystem {
public:
    explicit SmallFileSystem(const char* size)
    {
        const QByteArray options = QByteArray("size=") + size;
        m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, options.constData()) == 0;
    }
    ~SmallFileSystem()
    {
        if (m_mounted)
            ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
    }
    bool mounted() const { return m_mounted; }
    QString path(const QString& name) const { return m_dir.path() + "/" + name; }
    qint64 freeBytes() const
    {
        struct statvfs info {};
        ::statvfs(QFile::encodeName(m_dir.path()).constData(), &info);
        return qint64(info.f_bavail) * qint64(info.f_frsize);
    }
    // Fills the file system until `left` bytes remain.
    bool leave(qint64 left)
    {
        QFile filler(path("filler"));
        if (!filler.open(QIODevice::WriteOnly | QIODevice::Append))
            return false;
        const QByteArray block(4096, 'f');
        while (freeBytes() > left)
            if (filler.write(block.constData(), std::min<qint64>(block.size(), freeBytes() - left)) <= 0
                || !filler.flush())
                return false;
        return true;
    }

private:
    QTemporaryDir m_dir;
    bool m_mounted = false;
};

class DiskFullDiskTest : public ::testing::Test {
protected:
    TempHome home;
};

// A store on a disk with room for the blob but hardly any beyond it: the
// index's own write of the finished size finds none. The upload either goes through whole or
// answers that the disk is full, and then leaves nothing behind: no blob,
// no row once the store is opened again, no row of its own to resume.
TEST_F(DiskFullDiskTest, AnUploadTheIndexHasNoRoomForAnswersNoSpaceAndLeavesNothing)
{
    const QByteArray bytes = bytePattern(768 * 1024, 4);
    const QString sourcePath = home.path("source.bin");
    ASSERT_TRUE(ImageFixtures::writeFile(sourcePath, bytes));
    int full = 0;
    for (const qint64 left : {0, 4096, 8192}) {
        SCOPED_TRACE(left);
        SmallFileSystem fs("3m");
        if (!fs.mounted())
            GTEST_SKIP() << "no tmpfs can be mounted here";
        std::shared_ptr<DiskStore> store = DiskStore::open(fs.path("store"));
        ASSERT_TRUE(store);
        DiskLoginModel login([&store] { return store; });
        DiskManager manager([&store] { return store; }, [&login] { return login.sessionKey(); });
        RecordingDiskResponse r;
        login.setDelegate(&r);
        login.loginWithUserName("10001", "secret");
        ASSERT_TRUE(waitUntil([&] { return r.log.size() == 1; }));
        manager.requestQueryUser(&r);
        ASSERT_TRUE(waitUntil([&] { return r.log.size() == 2 && r.user; }));
        manager.requestQueryDir(r.user->root_dir(), &r);
        ASSERT_TRUE(waitUntil([&] { return r.log.size() == 3 && !r.dirs.isEmpty(); }));
        // Once the file is registered and its first bytes stored, the disk
        // keeps room for the rest of the blob and `left` bytes more.
        bool filled = false;
        manager.setChunkObserver([&](const DiskFilePtr&, qint64 done) {
            if (!filled)
                filled = fs.leave(bytes.size() - done + left);
        });

        const DiskFilePtr file =
            DiskFile::initWithUploadSource(QUrl::fromLocalFile(sourcePath).toString(), "big.bin", r.dirs.first());
        ASSERT_TRUE(file);
        RecordingDiskResponse up;
        manager.requestUploadFile(file, &up);
        ASSERT_TRUE(waitUntil([&] { return !up.log.isEmpty(); }, 20000));
        const QStringList blobs = QDir(fs.path("store/blobs")).entryList(QDir::Files);
        if (up.log.first() == "upload ok") {
            ASSERT_EQ(blobs.size(), 1);
            EXPECT_EQ(ImageFixtures::readFile(fs.path("store/blobs/") + blobs.first()), bytes);
            continue;
        }
        ++full;
        EXPECT_TRUE(filled);
        EXPECT_EQ(up.lastError.code, -507);
        EXPECT_TRUE(blobs.isEmpty()) << blobs.join(' ').toStdString();
        EXPECT_FALSE(DiskFileCache::shared().contains(file->local_id()));
        manager.shutdown();
        store = DiskStore::open(fs.path("store"));
        ASSERT_TRUE(store);
        QList<QVariantList> rows;
        ASSERT_TRUE(store->db().queryValues(&rows, "SELECT file_id FROM files"));
        EXPECT_TRUE(rows.isEmpty());
    }
    EXPECT_GT(full, 0);
}

}
