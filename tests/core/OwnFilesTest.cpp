// The one reader and the one writer of the program's own files, and the
// readers built on them, against what can be planted at a name: a link to an
// endless device, a link out of the folder, a pipe, a file past its cap.

#include "disk/PavDiskUserInfoManager.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"
#include "platform/core/UserDefaults.h"
#include "platform/photolib/ThumbnailCache.h"
#include "support/AddressSpaceCap.h"
#include "support/FifoWatch.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool isPlainFile(const QString& path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISREG(info.st_mode) && info.st_nlink == 1;
}

class OwnFilesTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_dir.isValid()); }
    QString path(const QString& name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

TEST_F(OwnFilesTest, TheReaderTakesRegularFilesWithinTheirCapOnly)
{
    ASSERT_TRUE(ImageFixtures::writeFile(path("small"), "12345"));
    ASSERT_TRUE(QFile::link(path("small"), path("link")));
    ASSERT_TRUE(FifoWatch::make(path("pipe")));
    {
        const int fd = ::open(QFile::encodeName(path("sparse")).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(::ftruncate(fd, off_t(1) << 34), 0);
        ::close(fd);
    }

    QByteArray out = "untouched";
    EXPECT_FALSE(RegularFile::read(path("small"), 4, &out));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_TRUE(RegularFile::read(path("small"), 5, &out));
    EXPECT_EQ(out, "12345");

    out = "untouched";
    FifoWatch watch({path("pipe")});
    QString error;
    EXPECT_FALSE(RegularFile::read(path("link"), 1 << 20, &out, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(RegularFile::read(path("pipe"), 1 << 20, &out));
    EXPECT_FALSE(RegularFile::read("/dev/zero", 1 << 20, &out));
    // 16 GiB claimed by a sparse file: refused by its size, unread.
    EXPECT_FALSE(RegularFile::read(path("sparse"), RegularFile::Cap::kPrivateItem, &out));
    EXPECT_EQ(errno, EFBIG);
    EXPECT_EQ(out, "untouched");
    EXPECT_FALSE(watch.fired());
}

TEST_F(OwnFilesTest, TheWriterReplacesWhatStandsAtTheNameAndNeverWritesThroughIt)
{
    const QString outside = path("outside");
    ASSERT_TRUE(ImageFixtures::writeFile(outside, "the user's"));
    ASSERT_TRUE(QFile::link(outside, path("linked")));
    ASSERT_EQ(::link(QFile::encodeName(outside).constData(), QFile::encodeName(path("hard")).constData()), 0);
    ASSERT_TRUE(FifoWatch::make(path("pipe")));
    FifoWatch watch({path("pipe")});

    for (const QString name : {"linked", "hard", "pipe"}) {
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(AtomicFile::write(path(name), "ours"));
        EXPECT_TRUE(isPlainFile(path(name)));
        EXPECT_EQ(ImageFixtures::readFile(path(name)), "ours");
    }

    // A file that grows in place keeps a plain file of its own and replaces
    // anything else.
    ASSERT_TRUE(ImageFixtures::writeFile(path("partial"), "half"));
    ASSERT_TRUE(QFile::link(outside, path("grown")));
    for (const QString name : {"partial", "grown"}) {
        const int fd = AtomicFile::openForGrowing(path(name));
        ASSERT_GE(fd, 0) << name.toStdString();
        ASSERT_EQ(::lseek(fd, 0, SEEK_END), name == "partial" ? 4 : 0);
        ASSERT_EQ(::write(fd, "!", 1), 1);
        ::close(fd);
        EXPECT_TRUE(isPlainFile(path(name)));
    }
    EXPECT_EQ(ImageFixtures::readFile(path("partial")), "half!");
    EXPECT_EQ(ImageFixtures::readFile(outside), "the user's");
    EXPECT_FALSE(watch.fired());
}

// A thumbnail cache entry and the saved disk account as links to an endless
// device: read whole, either would take all the memory there is.
TEST_F(OwnFilesTest, CachedThumbnailsAndTheSavedAccountAreNotReadThroughALinkToADevice)
{
    if (!AddressSpaceCap::supported())
        GTEST_SKIP() << "a sanitizer's shadow memory does not fit under the cap";
    const QString key = ThumbnailCache::keyFor("/pictures/a.jpg", 10, 20, "grid");
    {
        QImage image(16, 16, QImage::Format_RGB32);
        image.fill(Qt::red);
        ThumbnailCache(path("thumbs")).store(key, image);
    }
    QDirIterator stored(path("thumbs"), {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
    ASSERT_TRUE(stored.hasNext());
    const QString entry = stored.next();
    ASSERT_TRUE(QFile::remove(entry));
    ASSERT_TRUE(QFile::link("/dev/zero", entry));
    ThumbnailCache thumbnails(path("thumbs"));
    ASSERT_TRUE(QDir().mkpath(path("Documents")));
    ASSERT_TRUE(QFile::link("/dev/zero", path("Documents/KyDisk.user")));

    AddressSpaceCap cap(512ULL << 20);
    ASSERT_TRUE(cap.isSet());
    EXPECT_TRUE(thumbnails.find(key).isNull());
    PavDiskUserInfoManager account(path("Documents"), [] () -> UserDefaults& {
        static UserDefaults none{QString()};
        return none;
    });
    EXPECT_TRUE(account.uin().isEmpty());
}

}
