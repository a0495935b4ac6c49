#include "DiskFixture.h"

#include "support/EventLoop.h"
#include "support/FifoWatch.h"
#include "support/ImageFixtures.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

class DiskBlobTrustTest : public DiskFixture {};

// Asks for the file's thumbnail and its download; the answers in order.
QStringList thumbnailAndDownload(DiskManager& manager, const DiskFilePtr& file)
{
    QFile::remove(file->file_path());
    RecordingDiskResponse thumb, down;
    manager.requestDownloadThumbnail(file, &thumb);
    manager.requestDownloadFile(file, &down);
    waitUntil([&] { return thumb.log.size() + down.log.size() >= 2; }, 10000);
    return thumb.log + down.log;
}

}

// Blobs that are not what the store wrote: a FIFO, or a symbolic link to a
// file outside the store. Neither is waited on, read, nor written through.
TEST_F(DiskBlobTrustTest, BlobsThatAreAFifoOrALinkOutOfTheStoreAreRefusedWithoutWaitingOrWritingThrough)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(dir);
    ASSERT_TRUE(uploadBytes(ImageFixtures::jpeg(640, 400), "p.jpg", dir));
    const QByteArray big = bytePattern(3 * 64 * 1024);
    DiskFilePtr partial = DiskFile::initWithUploadData(big, "big.bin", dir);
    ASSERT_TRUE(partial);
    manager->setChunkObserver([&](const DiskFilePtr& f, qint64 done) {
        if (done == 64 * 1024)
            manager->requestStopUploadFile(f);
    });
    RecordingDiskResponse first;
    manager->requestUploadFile(partial, &first);
    ASSERT_TRUE(waitForLog(first, 1));
    manager->setChunkObserver({});
    ASSERT_EQ(partial->file_cur_size(), 64 * 1024);
    DiskFilePtr photo;
    for (const DiskFilePtr& file : filesIn(dir))
        if (file->file_name() == "p.jpg")
            photo = file;
    ASSERT_TRUE(photo);
    const QString blob = storeDir.path() + "/blobs/" + photo->file_id();

    // A link to a picture outside: no thumbnail of it, no copy of it.
    QTemporaryDir outside;
    ASSERT_TRUE(ImageFixtures::writeFile(outside.filePath("outside.jpg"), ImageFixtures::jpeg(320, 200, 7)));
    ASSERT_TRUE(QFile::remove(blob));
    ASSERT_TRUE(QFile::link(outside.filePath("outside.jpg"), blob));
    EXPECT_EQ(thumbnailAndDownload(*manager, photo), (QStringList{"thumb fail", "download fail"}));
    EXPECT_FALSE(QFileInfo(photo->file_path()).size() > 0);

    // The stopped upload's blob as a link: the resume is refused and the file it names keeps its bytes.
    const QByteArray otherBytes = bytePattern(200 * 1024, 5);
    ASSERT_TRUE(ImageFixtures::writeFile(outside.filePath("other.bin"), otherBytes));
    ASSERT_TRUE(QFile::remove(storeDir.path() + "/blobs/" + partial->file_id()));
    ASSERT_TRUE(QFile::link(outside.filePath("other.bin"), storeDir.path() + "/blobs/" + partial->file_id()));
    RecordingDiskResponse resumed;
    manager->requestUploadFile(partial, &resumed);
    ASSERT_TRUE(waitForLog(resumed, 1));
    EXPECT_EQ(resumed.log, QStringList{"upload fail"});
    EXPECT_EQ(ImageFixtures::readFile(outside.filePath("other.bin")), otherBytes);

    // A FIFO: answered at once, and both workers are free so the facade and the store go.
    ASSERT_TRUE(QFile::remove(blob));
    ASSERT_TRUE(FifoWatch::make(blob));
    FifoWatch watch({blob});
    EXPECT_EQ(thumbnailAndDownload(*manager, photo), (QStringList{"thumb fail", "download fail"}));
    manager.reset();
    store.reset();
    EXPECT_FALSE(watch.fired());
}
