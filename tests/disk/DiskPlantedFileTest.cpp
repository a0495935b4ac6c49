// Links and pipes planted where the disk facade keeps its own files: the
// download cache and the source of an upload an earlier run left behind.

#include "DiskFixture.h"

#include "Public/SqliteDBManager.h"
#include "disk/DiskFileCache.h"
#include "disk/DiskUploadResume.h"
#include "support/FifoWatch.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUrl>

#include <sys/stat.h>

namespace {

bool isPlainFile(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1;
}

class DiskPlantedFileTest : public DiskFixture {};

TEST_F(DiskPlantedFileTest, ADownloadReplacesALinkAtItsCacheNameAndLeavesTheLinkedFileAsItWas)
{
    const DiskDirPtr dir = signIn();
    const QByteArray photo = ImageFixtures::jpeg(320, 240, 5);
    ASSERT_TRUE(uploadBytes(photo, "a.jpg", dir));
    const QList<DiskFilePtr> files = filesIn(dir);
    ASSERT_EQ(files.size(), 1);
    const DiskFilePtr file = files.first();
    const QString cached = file->file_path();
    ASSERT_TRUE(cached.endsWith(file->file_id() + ".JPG"));
    ASSERT_TRUE(QDir().mkpath(QFileInfo(cached).absolutePath()));

    // A file of the user's outside the program's folders, reached by a
    // symbolic link and then by a second hard link at the cache's name.
    const QString outside = storeDir.path() + "/notes.txt";
    const QByteArray notes = "the user's own notes\n";
    for (const bool hard : {false, true}) {
        SCOPED_TRACE(hard ? "hard link" : "symbolic link");
        ASSERT_TRUE(ImageFixtures::writeFile(outside, notes));
        QFile::remove(cached);
        if (hard)
            ASSERT_EQ(::link(QFile::encodeName(outside).constData(), QFile::encodeName(cached).constData()), 0);
        else
            ASSERT_TRUE(QFile::link(outside, cached));

        RecordingDiskResponse down;
        manager->requestDownloadFile(file, &down);
        ASSERT_TRUE(waitForLog(down, 1));
        EXPECT_EQ(down.log, QStringList{"download ok"});
        EXPECT_TRUE(isPlainFile(cached));
        EXPECT_EQ(ImageFixtures::readFile(cached), photo);
        EXPECT_EQ(ImageFixtures::readFile(outside), notes);
    }
}

TEST_F(DiskPlantedFileTest, AResumedUploadFromAPipeFailsAndTheShutdownIsNotHeldByIt)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(dir);
    const QString fifo = storeDir.path() + "/source";
    ASSERT_TRUE(FifoWatch::make(fifo));
    // A row an earlier run left, as a damaged or planted cache holds it.
    {
        DiskFileCache::shared();
        auto db = SqliteDBManager::initWithFilePath(home.caches() + "/diskfilecache.db");
        ASSERT_TRUE(db);
        ASSERT_TRUE(db->executeSql(
            "INSERT INTO upload_files(local_id, file_id, file_name, father_key, source, file_size, launch)"
            " VALUES(?,?,?,?,?,?,?)",
            {"6F1C2A3B-4D5E-4F60-8172-93A4B5C6D7E8", "", "piped.jpg", dir->dir_key(),
             QUrl::fromLocalFile(fifo).toString(), -1, "an earlier run"}));
    }

    RecordingDiskResponse resumed;
    FifoWatch watch({fifo});
    DiskUploadResume::run(*manager, DiskFileCache::shared(), 0, &resumed);
    ASSERT_TRUE(waitForLog(resumed, 1));
    EXPECT_EQ(resumed.log, QStringList{"upload fail"});
    manager->shutdown();
    // Nothing waited on the pipe: the watch never had to let a reader go.
    EXPECT_FALSE(watch.fired());
}

TEST_F(DiskPlantedFileTest, LinksAtTheIndexNamesAreMovedAsideAndNothingIsMadeOrWrittenThroughThem)
{
    // SQLite follows a link at a database's name: it would make a dangling
    // link's target outside the program's folders, or write into the file a
    // link leads to.
    const QString outside = storeDir.path() + "/../" + QFileInfo(storeDir.path()).fileName() + "-outside";
    ASSERT_TRUE(QDir().mkpath(outside));
    const QByteArray notes = "the user's own notes\n";
    ASSERT_TRUE(ImageFixtures::writeFile(outside + "/notes.txt", notes));
    for (const bool dangling : {true, false}) {
        SCOPED_TRACE(dangling ? "dangling link" : "link to a file");
        QTemporaryDir root;
        const QString target = dangling ? outside + "/index.db" : outside + "/notes.txt";
        ASSERT_TRUE(QFile::link(target, root.path() + "/index.db"));
        ASSERT_TRUE(QFile::link(outside + "/notes.txt", root.path() + "/index.db-wal"));

        std::shared_ptr<DiskStore> opened = DiskStore::open(root.path(), &clock);
        ASSERT_TRUE(opened);
        store = opened;
        EXPECT_TRUE(signIn("10002", "secret"));
        EXPECT_TRUE(isPlainFile(root.path() + "/index.db"));
        EXPECT_FALSE(QFileInfo::exists(outside + "/index.db"));
        EXPECT_EQ(ImageFixtures::readFile(outside + "/notes.txt"), notes);
        // The link is kept aside, the name and never what it leads to.
        const QStringList aside = QDir(root.path()).entryList({"index.db.damaged-*"}, QDir::Files | QDir::System);
        ASSERT_EQ(aside.size(), 1);
        EXPECT_EQ(QFileInfo(root.path() + "/" + aside.first()).symLinkTarget(), QFileInfo(target).absoluteFilePath());
        manager.reset();
        login.reset();
        store.reset();
        opened.reset();
        login = std::make_unique<DiskLoginModel>([this] { return store; });
        manager = std::make_unique<DiskManager>([this] { return store; }, [this] { return login->sessionKey(); });
    }
    QDir(outside).removeRecursively();
}

}
