#include "DiskFixture.h"

#include "support/EventLoop.h"
#include "support/FifoWatch.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

// Blobs that are not what the store wrote: a FIFO, or a symbolic link to a
// file outside the store. Neither is waited on, read, nor written through.
class DiskBlobTrustTest : public DiskFixture {
protected:
    void SetUp() override
    {
        dir = signIn();
        ASSERT_TRUE(dir);
        ASSERT_TRUE(uploadBytes(ImageFixtures::jpeg(640, 400), "p.jpg", dir));
        const QList<DiskFilePtr> files = filesIn(dir);
        ASSERT_EQ(files.size(), 1);
        photo = files.first();
    }
    QString blobOf(const DiskFilePtr& file) const { return storeDir.path() + "/blobs/" + file->file_id(); }
    // Asks for the photo's thumbnail and its download; the answers in order.
    QStringList thumbnailAndDownload()
    {
        QFile::remove(photo->file_path());
        RecordingDiskResponse thumb, down;
        manager->requestDownloadThumbnail(photo, &thumb);
        manager->requestDownloadFile(photo, &down);
        waitUntil([&] { return thumb.log.size() + down.log.size() >= 2; }, 10000);
        return thumb.log + down.log;
    }

    DiskDirPtr dir;
    DiskFilePtr photo;
};

TEST_F(DiskBlobTrustTest, AFifoBlobIsRefusedForThumbnailAndDownloadWithoutWaiting)
{
    const QString blob = blobOf(photo);
    ASSERT_TRUE(QFile::remove(blob));
    ASSERT_TRUE(FifoWatch::make(blob));

    FifoWatch watch({blob});
    EXPECT_EQ(thumbnailAndDownload(), (QStringList{"thumb fail", "download fail"}));
    EXPECT_FALSE(QFileInfo(photo->file_path()).size() > 0);
    // Both workers are free: the facade and the store go at once.
    manager.reset();
    store.reset();
    EXPECT_FALSE(watch.fired());
}

TEST_F(DiskBlobTrustTest, ABlobLinkedOutOfTheStoreIsNeitherShownNorDownloadedNorWrittenThrough)
{
    QTemporaryDir outside;
    const QString picture = outside.filePath("outside.jpg");
    const QByteArray pictureBytes = ImageFixtures::jpeg(320, 200, 7);
    ASSERT_TRUE(ImageFixtures::writeFile(picture, pictureBytes));
    ASSERT_TRUE(QFile::remove(blobOf(photo)));
    ASSERT_TRUE(QFile::link(picture, blobOf(photo)));

    EXPECT_EQ(thumbnailAndDownload(), (QStringList{"thumb fail", "download fail"}));
    EXPECT_FALSE(QFileInfo(photo->file_path()).size() > 0);

    // An upload stopped halfway whose blob is then a link: the resume is
    // refused, and the file the link names keeps its bytes.
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
    const QString other = outside.filePath("other.bin");
    const QByteArray otherBytes = bytePattern(200 * 1024, 5);
    ASSERT_TRUE(ImageFixtures::writeFile(other, otherBytes));
    ASSERT_TRUE(QFile::remove(blobOf(partial)));
    ASSERT_TRUE(QFile::link(other, blobOf(partial)));
    RecordingDiskResponse resumed;
    manager->requestUploadFile(partial, &resumed);
    ASSERT_TRUE(waitForLog(resumed, 1));
    EXPECT_EQ(resumed.log, QStringList{"upload fail"});
    EXPECT_EQ(ImageFixtures::readFile(other), otherBytes);

    // Deleting the photo removes the link only.
    RecordingDiskResponse deleted;
    manager->requestDeleteFile(photo, &deleted);
    ASSERT_TRUE(waitForLog(deleted, 1));
    EXPECT_FALSE(QFileInfo(blobOf(photo)).isSymLink());
    EXPECT_EQ(ImageFixtures::readFile(picture), pictureBytes);
}

}
