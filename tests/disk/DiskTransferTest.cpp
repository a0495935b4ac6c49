#include "DiskFixture.h"

#include "albums/cloud/DiskErrorAlerts.h"
#include "platform/core/AppLifecycle.h"
#include "disk/DiskFileCache.h"
#include "platform/media/ImageCodec.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/EventLoop.h"
#include "platform/ui/ChoiceDialog.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QSemaphore>
#include <QUrl>

namespace {

class DiskTransferTest : public DiskFixture {
protected:
    // The file's bytes as a fresh download from the store brings them (its
    // local copy removed first); empty when the download fails.
    QByteArray downloadedAgain(const DiskFilePtr& file)
    {
        QFile::remove(file->file_path());
        RecordingDiskResponse down;
        manager->requestDownloadFile(file, &down);
        if (!waitForLog(down, 1) || down.log != QStringList{"download ok"})
            return {};
        return ImageFixtures::readFile(file->file_path());
    }
    // Starts the file's upload and waits until its first chunk went
    // through; there it waits for go.release().
    bool startHeldUpload(const DiskFilePtr& file, RecordingDiskResponse& response)
    {
        reached.acquire(reached.available());
        manager->setChunkObserver([this](const DiskFilePtr&, qint64 done) {
            if (done == 64 * 1024) {
                reached.release();
                go.acquire();
            }
        });
        manager->requestUploadFile(file, &response);
        return waitUntil([this] { return reached.available() > 0; });
    }

    // Another object for the same stored file, as the resume at a sign-in makes it.
    static DiskFilePtr sameStoredFile(const DiskFilePtr& file)
    {
        auto copy = std::make_shared<DiskFile>();
        copy->setLocal_id(file->local_id());
        copy->setFile_path(file->file_path());
        copy->setFile_id(file->file_id());
        copy->setFile_name(file->file_name());
        copy->setFile_size(file->file_size());
        copy->setUploadSource(file->uploadSource());
        copy->setFatherDir(file->fatherDir());
        return copy;
    }

    // With the file's upload held (until go), a request for the same stored
    // file under another object, then a stop of the upload; false when an
    // answer did not come.
    bool followThenStop(const DiskFilePtr& file, RecordingDiskResponse& first, DiskFilePtr* copy,
                        RecordingDiskResponse& follower)
    {
        *copy = sameStoredFile(file);
        manager->requestUploadFile(*copy, &follower);
        const bool running = waitForLog(follower, 1);
        manager->requestStopUploadFile(file);
        go.release();
        const bool answered = running && waitForLog(first, 1) && waitForLog(follower, 2);
        spinEvents(30);
        return answered;
    }

    QSemaphore reached;
    QSemaphore go;
};

TEST_F(DiskTransferTest, UploadGoesInChunksAndResumesFromTheStoredSizeAfterAStop)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(dir);
    const QByteArray bytes = bytePattern(5 * 64 * 1024 + 123);
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, "big.bin", dir);
    ASSERT_TRUE(file);
    EXPECT_TRUE(DiskFileCache::shared().contains(file->local_id()));
    QList<qint64> chunkEnds;
    manager->setChunkObserver([&](const DiskFilePtr& f, qint64 done) {
        chunkEnds.append(done);
        if (done == 2 * 64 * 1024)
            manager->requestStopUploadFile(f);
    });

    RecordingDiskResponse first;
    manager->requestUploadFile(file, &first);
    ASSERT_TRUE(waitForLog(first, 1));
    spinEvents(20);
    EXPECT_EQ(first.log, QStringList{"upload fail"});
    EXPECT_EQ(file->file_cur_size(), 2 * 64 * 1024);
    EXPECT_EQ(first.uploadProgress.size(), 2);

    RecordingDiskResponse second;
    manager->requestUploadFile(file, &second);
    ASSERT_TRUE(waitForLog(second, 1));
    spinEvents(20);
    EXPECT_EQ(second.log, QStringList{"upload ok"});
    // Every chunk is at most 64 KB and the second run starts where the first stopped.
    EXPECT_EQ(chunkEnds, (QList<qint64>{65536, 131072, 196608, 262144, 327680, 327803}));
    ASSERT_EQ(second.uploadProgress.size(), 4);
    EXPECT_FLOAT_EQ(second.uploadProgress.last(), 100.0f);
    EXPECT_EQ(file->file_cur_size(), bytes.size());

    // The stored bytes come back whole.
    EXPECT_EQ(downloadedAgain(file), bytes);
}

TEST_F(DiskTransferTest, DownloadResumesFromTheLocalFileAndRefusesIncompleteFiles)
{
    const DiskDirPtr dir = signIn();
    const QByteArray bytes = bytePattern(3 * 64 * 1024);
    ASSERT_TRUE(uploadBytes(bytes, "a.bin", dir));

    const QList<DiskFilePtr> files = filesIn(dir);
    ASSERT_EQ(files.size(), 1);
    DiskFilePtr listed = files.first();
    EXPECT_TRUE(listed->file_path().endsWith(listed->file_id() + ".BIN"));
    // 100000 bytes are already here.
    ASSERT_TRUE(ImageFixtures::writeFile(listed->file_path(), bytes.left(100000)));
    QList<qint64> reads;
    manager->setChunkObserver([&](const DiskFilePtr&, qint64 done) { reads.append(done); });

    RecordingDiskResponse down;
    manager->requestDownloadFile(listed, &down);
    ASSERT_TRUE(waitForLog(down, 1));
    EXPECT_EQ(down.log, QStringList{"download ok"});
    EXPECT_EQ(reads, (QList<qint64>{165536, 196608}));
    EXPECT_EQ(ImageFixtures::readFile(listed->file_path()), bytes);

    listed->setFile_cur_size(10);
    RecordingDiskResponse refused;
    manager->requestDownloadFile(listed, &refused);
    ASSERT_TRUE(waitForLog(refused, 1));
    EXPECT_EQ(refused.log, QStringList{"download fail"});
    EXPECT_EQ(refused.lastError.message, "下载失败，不能下载没完成上传文件");
}

TEST_F(DiskTransferTest, ThumbnailIsA128SquareBesideTheLocalFile)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(uploadBytes(ImageFixtures::jpeg(640, 400), "p.jpg", dir));
    ASSERT_TRUE(uploadBytes(bytePattern(1000), "n.txt", dir));
    const QList<DiskFilePtr> files = filesIn(dir);
    ASSERT_EQ(files.size(), 2);

    RecordingDiskResponse r;
    manager->requestDownloadThumbnail(files[1], &r);   // the older one: the photo
    manager->requestDownloadThumbnail(files[0], &r);   // not an image
    ASSERT_TRUE(waitForLog(r, 2));
    EXPECT_TRUE(r.log.contains("thumb ok"));
    EXPECT_TRUE(r.log.contains("thumb fail"));
    const QImage thumb = ImageCodec::decodeFile(files[1]->file_path() + ".thumb");
    EXPECT_EQ(thumb.size(), QSize(128, 128));

    // While ignoring is on, a request is answered as dropped.
    manager->setIgnoreThumbnailRequest(true);
    RecordingDiskResponse ignored;
    manager->requestDownloadThumbnail(files[1], &ignored);
    ASSERT_TRUE(waitForLog(ignored, 1));
    EXPECT_EQ(ignored.log, QStringList{"thumb fail"});
    EXPECT_EQ(ignored.lastError.code, DiskErrorCode::kStopped);
}

TEST_F(DiskTransferTest, ListingIsNewestFirstAndMakeDirAddsAFolder)
{
    const DiskDirPtr dir = signIn();
    ASSERT_TRUE(makeDir("old", dir));
    clock.advanceSeconds(10);
    ASSERT_TRUE(uploadBytes(bytePattern(10), "first.jpg", dir));
    clock.advanceSeconds(10);
    const DiskDirPtr newer = makeDir("new", dir);
    ASSERT_TRUE(newer);
    EXPECT_EQ(newer->dir_father(), dir);
    EXPECT_EQ(newer->fullPath(), "/Ky网盘/new");
    clock.advanceSeconds(10);
    ASSERT_TRUE(uploadBytes(bytePattern(20), "second.jpg", dir));

    RecordingDiskResponse r;
    manager->requestQueryDir(dir, &r);
    ASSERT_TRUE(waitForLog(r, 1));
    EXPECT_EQ(r.log, QStringList{"list"});
    ASSERT_EQ(r.dirs.size(), 2);
    EXPECT_EQ(r.dirs[0]->dir_name(), "new");
    EXPECT_EQ(r.dirs[1]->dir_name(), "old");
    ASSERT_EQ(r.files.size(), 2);
    EXPECT_EQ(r.files[0]->file_name(), "second.jpg");
    EXPECT_EQ(r.files[0]->extType(), 8);
    EXPECT_EQ(r.files[1]->file_name(), "first.jpg");

    // The account's top answers as the root listing and refreshes the used space.
    RecordingDiskResponse top;
    manager->requestQueryDir(manager->current_user()->root_dir(), &top);
    ASSERT_TRUE(waitForLog(top, 1));
    EXPECT_EQ(top.log, QStringList{"list root"});
    EXPECT_EQ(manager->current_user()->used_space(), 30);
}

TEST_F(DiskTransferTest, UploadIntoTheRootIsRefusedWithOneAnswer)
{
    ASSERT_TRUE(signIn());
    DiskFilePtr file = DiskFile::initWithUploadData("x", "x.jpg", manager->current_user()->root_dir());
    RecordingDiskResponse r;
    manager->requestUploadFile(file, &r);
    ASSERT_TRUE(waitForLog(r, 1));
    spinEvents(20);
    EXPECT_EQ(r.log, QStringList{"upload fail"});
}

TEST_F(DiskTransferTest, DeleteStopsARunningUploadAndEachRequestAnswersOnce)
{
    const DiskDirPtr dir = signIn();
    DiskFilePtr file = DiskFile::initWithUploadData(bytePattern(4 * 64 * 1024), "d.jpg", dir);
    RecordingDiskResponse up;
    ASSERT_TRUE(startHeldUpload(file, up));
    RecordingDiskResponse del;
    manager->requestDeleteFile(file, &del);
    go.release();
    ASSERT_TRUE(waitForLog(up, 1));
    ASSERT_TRUE(waitForLog(del, 1));
    spinEvents(30);
    EXPECT_EQ(up.log, QStringList{"upload fail"});
    EXPECT_EQ(del.log, QStringList{"delete ok"});
    EXPECT_FALSE(DiskFileCache::shared().contains(file->local_id()));

    RecordingDiskResponse list;
    manager->requestQueryDir(dir, &list);
    ASSERT_TRUE(waitForLog(list, 1));
    EXPECT_TRUE(list.files.isEmpty());
}

// Asked again while it goes up, the same file cannot start a second
// upload: that request answers that it is running, then once with the
// outcome of the upload under way, and the first one stores the whole file.
// Where another run of the program uploads it (here: another facade over
// the same store), that outcome cannot be followed: the request fails once.
TEST_F(DiskTransferTest, AnUploadOfAFileAlreadyUploadingAnswersRunningThenEndsOnce)
{
    const DiskDirPtr dir = signIn();
    DiskManager otherRun([this] { return store; }, [this] { return login->sessionKey(); });
    // The second request, made while the first upload waits at its first chunk.
    auto askedWhileHeld = [&](const DiskFilePtr& file, DiskManager& facade,
                              const std::function<DiskFilePtr()>& again) {
        RecordingDiskResponse first;
        RecordingDiskResponse second;
        EXPECT_TRUE(startHeldUpload(file, first));
        facade.requestUploadFile(again(), &second);
        const bool answered = waitForLog(second, 1);
        go.release();
        EXPECT_TRUE(answered);
        EXPECT_TRUE(waitForLog(first, 1));
        EXPECT_TRUE(waitForLog(second, 2));
        spinEvents(30);
        manager->setChunkObserver({});
        EXPECT_EQ(first.log, QStringList{"upload ok"});
        return second.log;
    };

    const QByteArray bytes = bytePattern(4 * 64 * 1024 + 7, 3);
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, "twice.jpg", dir);
    EXPECT_EQ(askedWhileHeld(file, *manager, [&] { return file; }), (QStringList{"upload running", "upload ok"}));
    EXPECT_EQ(downloadedAgain(file), bytes);

    const QByteArray other = bytePattern(4 * 64 * 1024 + 3, 9);
    DiskFilePtr elsewhere = DiskFile::initWithUploadData(other, "elsewhere.jpg", dir);
    EXPECT_EQ(askedWhileHeld(elsewhere, otherRun, [&] { return sameStoredFile(elsewhere); }),
              (QStringList{"upload running", "upload fail"}));
    EXPECT_EQ(downloadedAgain(elsewhere), other);
}

// The same stored file under another object (as the resume at a sign-in
// makes it) follows the upload under way: it hears that upload's stop once,
// and a later request takes the upload up to its end.
TEST_F(DiskTransferTest, ARequestFollowingAStoppedUploadFailsOnceAndTheFileCanBeResumed)
{
    const DiskDirPtr dir = signIn();
    const QByteArray bytes = bytePattern(6 * 64 * 1024 + 11, 5);
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, "resumed.jpg", dir);
    RecordingDiskResponse first;
    ASSERT_TRUE(startHeldUpload(file, first));
    DiskFilePtr copy;
    RecordingDiskResponse follower;
    ASSERT_TRUE(followThenStop(file, first, &copy, follower));
    EXPECT_EQ(follower.log, (QStringList{"upload running", "upload fail"}));
    EXPECT_EQ(follower.lastError.code, DiskErrorCode::kStopped);
    EXPECT_EQ(first.log, QStringList{"upload fail"});
    EXPECT_EQ(copy->file_cur_size(), 64 * 1024);

    manager->setChunkObserver({});
    RecordingDiskResponse resumed;
    manager->requestUploadFile(copy, &resumed);
    ASSERT_TRUE(waitForLog(resumed, 1));
    spinEvents(30);
    EXPECT_EQ(resumed.log, QStringList{"upload ok"});
    EXPECT_EQ(downloadedAgain(copy), bytes);
}

// A restarted upload reads back the bytes already sent to check them; a
// stop (a quit) meanwhile ends that check at once, not at the end of the
// file, and what was sent stays for the next try.
TEST_F(DiskTransferTest, AStopDuringTheCheckOfTheBytesAlreadySentEndsItAtOnce)
{
    const DiskDirPtr dir = signIn();
    const QByteArray bytes = bytePattern(40 * 64 * 1024 + 5, 7);
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, "long.bin", dir);
    manager->setChunkObserver([this](const DiskFilePtr& f, qint64 done) {
        if (done == 20 * 64 * 1024)
            manager->requestStopUploadFile(f);
    });
    RecordingDiskResponse cut;
    manager->requestUploadFile(file, &cut);
    ASSERT_TRUE(waitForLog(cut, 1));
    ASSERT_EQ(file->file_cur_size(), 20 * 64 * 1024);
    manager->setChunkObserver({});

    QList<qint64> checked;
    manager->setResumeCheckObserver([&](const DiskFilePtr& f, qint64 n) {
        checked.append(n);
        if (checked.size() == 1)
            manager->requestStopUploadFile(f);
    });
    RecordingDiskResponse stopped;
    manager->requestUploadFile(file, &stopped);
    ASSERT_TRUE(waitForLog(stopped, 1));
    spinEvents(30);
    EXPECT_EQ(stopped.log, QStringList{"upload fail"});
    EXPECT_EQ(stopped.lastError.code, DiskErrorCode::kStopped);
    // The first piece read back is the store's: all of the 20 chunks held.
    EXPECT_EQ(checked, QList<qint64>{20 * 64 * 1024}) << "the check went on after the stop";

    manager->setResumeCheckObserver({});
    RecordingDiskResponse resumed;
    manager->requestUploadFile(file, &resumed);
    ASSERT_TRUE(waitForLog(resumed, 1));
    EXPECT_EQ(resumed.log, QStringList{"upload ok"});
    EXPECT_EQ(downloadedAgain(file), bytes);
}

// The check of a restarted upload first reads back what the store holds,
// in pieces of 4 MiB: a request for the same file meanwhile follows that
// upload (it is not refused as held by someone else), and a stop there ends
// the check at the piece it is on; both hear the stop once.
TEST_F(DiskTransferTest, AStopWhileTheStoreReadsBackTheBytesSentEndsItThereAndARequestMeanwhileFollows)
{
    const DiskDirPtr dir = signIn();
    constexpr qint64 kMiB = 1024 * 1024;
    const QByteArray bytes = bytePattern(3 * 4 * kMiB + 5, 11);
    DiskFilePtr file = DiskFile::initWithUploadData(bytes, "large.bin", dir);
    manager->setChunkObserver([this](const DiskFilePtr& f, qint64 done) {
        if (done == 9 * kMiB)
            manager->requestStopUploadFile(f);
    });
    RecordingDiskResponse cut;
    manager->requestUploadFile(file, &cut);
    ASSERT_TRUE(waitForLog(cut, 1));
    ASSERT_EQ(file->file_cur_size(), 9 * kMiB);
    manager->setChunkObserver({});

    QList<qint64> checked;
    manager->setResumeCheckObserver([&](const DiskFilePtr&, qint64 n) {
        checked.append(n);
        if (checked.size() == 1) {
            reached.release();
            go.acquire();
        }
    });
    RecordingDiskResponse restarted;
    manager->requestUploadFile(file, &restarted);
    ASSERT_TRUE(waitUntil([this] { return reached.available() > 0; }));
    DiskFilePtr copy;
    RecordingDiskResponse follower;
    ASSERT_TRUE(followThenStop(file, restarted, &copy, follower));
    manager->setResumeCheckObserver({});
    EXPECT_EQ(checked, QList<qint64>{4 * kMiB}) << "the check went on after the stop";
    EXPECT_EQ(restarted.log, QStringList{"upload fail"});
    EXPECT_EQ(restarted.lastError.code, DiskErrorCode::kStopped);
    EXPECT_EQ(follower.log, (QStringList{"upload running", "upload fail"}));
    EXPECT_EQ(follower.lastError.code, DiskErrorCode::kStopped);

    RecordingDiskResponse resumed;
    manager->requestUploadFile(copy, &resumed);
    ASSERT_TRUE(waitForLog(resumed, 1));
    EXPECT_EQ(resumed.log, QStringList{"upload ok"});
    EXPECT_EQ(downloadedAgain(copy), bytes);
}

TEST_F(DiskTransferTest, StoppedQueuedDownloadsAnswerOnceAndAGoneResponseHearsNothing)
{
    const DiskDirPtr dir = signIn();
    QList<DiskFilePtr> files;
    for (int i = 0; i < 3; ++i) {
        files.append(uploadBytes(bytePattern(2 * 64 * 1024), QString("f%1.jpg").arg(i), dir));
        QFile::remove(files.last()->file_path());   // nothing here yet: each download has to read
    }
    // Hold both download threads so that the third download stays queued.
    QSemaphore go;
    manager->setChunkObserver([&](const DiskFilePtr&, qint64) { go.acquire(); });
    RecordingDiskResponse r;
    for (const DiskFilePtr& f : files)
        manager->requestDownloadFile(f, &r);
    manager->requestStopDownloadFile(files[2]);
    manager->requestStopDownloadFile(files[0]);
    go.release(100);
    ASSERT_TRUE(waitForLog(r, 3));
    spinEvents(30);
    EXPECT_EQ(r.log.count("download fail"), 2);
    EXPECT_EQ(r.log.count("download ok"), 1);

    // A destroyed response object gets nothing; the listing queue answers in order.
    auto gone = std::make_unique<RecordingDiskResponse>();
    manager->requestQueryDir(dir, gone.get());
    gone.reset();
    RecordingDiskResponse after;
    manager->requestQueryDir(dir, &after);
    EXPECT_TRUE(waitForLog(after, 1));
}

TEST_F(DiskTransferTest, CommandsWithoutASignInAskForItAndShowOneAlertPerText)
{
    QStringList sunk;
    manager->setErrorSink([&sunk](const QString& message) { sunk << message; });
    RecordingDiskResponse quiet;
    auto dir = std::make_shared<DiskDir>("x", "nope");
    manager->requestQueryDir(dir, &quiet);
    ASSERT_TRUE(waitForLog(quiet, 2));
    EXPECT_TRUE(sunk.isEmpty()) << "a response object that does not allow alerts gets none";

    RecordingDiskResponse r;
    r.allowAlerts = true;
    manager->requestQueryDir(dir, &r);
    manager->requestQueryDir(dir, &r);
    ASSERT_TRUE(waitForLog(r, 4));
    EXPECT_EQ(r.log, (QStringList{"require login", "list fail", "require login", "list fail"}));
    ASSERT_EQ(sunk.size(), 2);

    // The application's sink shows one alert per text while it is up.
    DiskErrorAlerts alerts;
    for (const QString& message : sunk)
        alerts.show(message);
    EXPECT_EQ(alerts.shown(), QSet<QString>{sunk.first()});
    ASSERT_EQ(ui::ChoiceDialog::showing().size(), 1);

    // The alert the background took away lets its text come up again.
    AppLifecycle::shared().enterBackground();
    EXPECT_TRUE(ui::ChoiceDialog::showing().isEmpty());
    EXPECT_TRUE(alerts.shown().isEmpty());
    AppLifecycle::shared().enterForeground();
    alerts.show(sunk.first());
    EXPECT_EQ(alerts.shown(), QSet<QString>{sunk.first()});
    ASSERT_EQ(ui::ChoiceDialog::showing().size(), 1);
    for (ui::ChoiceDialog* d : ui::ChoiceDialog::showing())
        delete d;
}

}

namespace {

TEST_F(DiskTransferTest, UploadSourcesFromTheLibraryAndFromFiles)
{
    const DiskDirPtr dir = signIn();
    const QString pictures = home.path("Pictures");
    ASSERT_TRUE(QDir().mkpath(pictures));
    const QByteArray photo = ImageFixtures::jpeg(300, 200);
    ASSERT_TRUE(ImageFixtures::writeFile(pictures + "/IMG_77.JPG", photo));
    auto library = std::make_shared<FolderPhotoLibrary>(pictures);
    const PhotoAssetPtr asset = library->assetForFile(pictures + "/IMG_77.JPG");
    ASSERT_TRUE(asset);
    const QString url = asset->url();
    PhotoLibrary::setShared(library);

    DiskFilePtr fromLibrary = DiskFile::initWithUploadSource(url, "IMG_77.JPG", dir);
    ASSERT_TRUE(fromLibrary);
    EXPECT_EQ(fromLibrary->file_size(), photo.size());
    EXPECT_EQ(fromLibrary->extType(), 8);
    const QString path = home.path("plain.txt");
    ASSERT_TRUE(ImageFixtures::writeFile(path, "hello"));
    DiskFilePtr fromFile = DiskFile::initWithUploadSource(QUrl::fromLocalFile(path).toString(), "plain.txt", dir);
    ASSERT_TRUE(fromFile);
    EXPECT_EQ(DiskFile::initWithUploadSource("assets-library://asset/asset.JPG?id=missing&ext=JPG", "x.jpg", dir),
              nullptr);

    RecordingDiskResponse r;
    manager->requestUploadFile(fromLibrary, &r);
    manager->requestUploadFile(fromFile, &r);
    ASSERT_TRUE(waitForLog(r, 2));
    EXPECT_EQ(r.log, (QStringList{"upload ok", "upload ok"}));
    PhotoLibrary::setShared(nullptr);
    // The library file's bytes are what the store holds.
    EXPECT_EQ(downloadedAgain(fromLibrary), photo);

    // Bytes given directly carry their digests.
    DiskFilePtr fromData = DiskFile::initWithUploadData("abc", "a.txt", dir);
    EXPECT_EQ(fromData->sha1(), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(fromData->md5(), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_TRUE(fromData->uploadSource().startsWith("file://"));
}

}
