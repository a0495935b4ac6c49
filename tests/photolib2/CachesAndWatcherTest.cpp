#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"
#include "platform/photolib/LibraryWatcher.h"
#include "platform/photolib/MetadataCache.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>


TEST(MetadataCache, RoundTripKeyedBySizeAndTime)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Caches/meta.bin");
    const QString root = dir.filePath("lib");
    {
        MetadataCache cache(file);
        cache.store(root + "/a.jpg", 10, 1000, FileFacts{1, 123456, 0, 6});
        cache.store(root + "/b.mp4", 20, 2000, FileFacts{2, 42, 3.5, 1});
        cache.save(root);
    }
    MetadataCache again(file);
    const auto a = again.find(root + "/a.jpg", 10, 1000);
    ASSERT_TRUE(a.has_value());
    EXPECT_EQ(a->dateMs, 123456);
    EXPECT_EQ(a->orientation, 6);
    EXPECT_DOUBLE_EQ(again.find(root + "/b.mp4", 20, 2000)->duration, 3.5);
    EXPECT_FALSE(again.find(root + "/a.jpg", 11, 1000).has_value());   // size changed
    EXPECT_FALSE(again.find(root + "/a.jpg", 10, 1001).has_value());   // rewritten
    again.save(root);
    // A scan that no longer finds b.mp4 forgets it and keeps a.jpg.
    MetadataCache third(file);
    EXPECT_TRUE(third.find(root + "/a.jpg", 10, 1000).has_value());
    third.save(root);
    MetadataCache fourth(file);
    EXPECT_TRUE(fourth.find(root + "/a.jpg", 10, 1000).has_value());
    EXPECT_FALSE(fourth.find(root + "/b.mp4", 20, 2000).has_value());
}

TEST(MetadataCache, DamagedFileIsIgnored)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("meta.bin");
    {
        MetadataCache cache(file);
        cache.store("/r/a.jpg", 1, 2, FileFacts{1, 3, 0, 1});
        cache.save("/r");
    }
    QByteArray bytes;
    ASSERT_TRUE(RegularFile::read(file, 1 << 20, &bytes));
    QByteArray huge = bytes.left(8);
    huge.append("\x7f\xff\xff\xff", 4);  // a count far beyond the bytes left
    ASSERT_TRUE(AtomicFile::write(file, huge));
    EXPECT_FALSE(MetadataCache(file).find("/r/a.jpg", 1, 2).has_value());
    ASSERT_TRUE(AtomicFile::write(file, bytes.left(bytes.size() - 3)));
    EXPECT_FALSE(MetadataCache(file).find("/r/a.jpg", 1, 2).has_value());
}

TEST(LibraryWatcher, OneNoticePerBurstAndNoneForHiddenOrTemporaryFiles)
{
    QTemporaryDir dir;
    QDir().mkpath(dir.filePath("Trip"));
    LibraryWatcher watcher(dir.path(), nullptr, 150);
    QSignalSpy spy(&watcher, &LibraryWatcher::changed);

    for (int i = 0; i < 5; ++i)
        ImageFixtures::writeFile(dir.filePath(QString("p%1.jpg").arg(i)), "x");
    ImageFixtures::writeFile(dir.filePath("Trip/q.jpg"), "y");
    ASSERT_TRUE(waitUntil([&] { return spy.count() >= 1; }, 5000));
    spinEvents(500);
    EXPECT_EQ(spy.count(), 1);

    ImageFixtures::writeFile(dir.filePath(".hidden.jpg"), "z");
    ImageFixtures::writeFile(dir.filePath(QString("n.jpg") + AtomicFile::kTempSuffix), "z");
    spinEvents(600);
    EXPECT_EQ(spy.count(), 1);

    QFile::remove(dir.filePath("Trip/q.jpg"));
    ASSERT_TRUE(waitUntil([&] { return spy.count() >= 2; }, 5000));
    spinEvents(400);
    EXPECT_EQ(spy.count(), 2);
}

TEST(LibraryWatcher, APhotoRewrittenInPlaceIsAnnouncedOnce)
{
    QTemporaryDir dir;
    const QByteArray bytes = ImageFixtures::jpeg(64, 48);
    ASSERT_TRUE(ImageFixtures::writeFile(dir.filePath("a.jpg"), bytes));
    ASSERT_TRUE(ImageFixtures::writeFile(dir.filePath("Trip/b.jpg"), bytes));
    LibraryWatcher watcher(dir.path(), nullptr, 150);
    QSignalSpy spy(&watcher, &LibraryWatcher::changed);
    QThread::msleep(30);  // past the file system's time granularity

    // An editor saves over the same file: same name, same length, in a few writes.
    auto rewrite = [&](const QString& name) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        for (int i = 0; i < 4; ++i) {
            file.seek(200 + i);
            file.write("\x01", 1);
            file.flush();
        }
        file.close();
    };
    rewrite("a.jpg");
    ASSERT_TRUE(waitUntil([&] { return spy.count() >= 1; }, 5000));
    spinEvents(500);
    EXPECT_EQ(spy.count(), 1);

    QThread::msleep(30);
    rewrite("Trip/b.jpg");
    ASSERT_TRUE(waitUntil([&] { return spy.count() >= 2; }, 5000));
    spinEvents(500);
    EXPECT_EQ(spy.count(), 2);
    EXPECT_FALSE(watcher.isPolling());
}

TEST(LibraryWatcher, MissingRootFallsBackToPollingAndSeesItAppear)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("later");
    LibraryWatcher watcher(root, nullptr, 50, 100);
    EXPECT_TRUE(watcher.isPolling());
    QSignalSpy spy(&watcher, &LibraryWatcher::changed);
    ImageFixtures::writeFile(root + "/a.jpg", "x");
    ASSERT_TRUE(waitUntil([&] { return spy.count() >= 1; }, 5000));
    EXPECT_FALSE(watcher.isPolling());
}
