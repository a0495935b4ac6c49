#include "platform/core/AtomicFile.h"
#include "platform/core/MainThread.h"
#include "platform/photolib/FolderPhotoAsset.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/EventLoop.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <sys/stat.h>

using ImageFixtures::readFile;
using ImageFixtures::writeFile;

namespace {

class FolderPhotoLibraryTest : public ::testing::Test {
protected:
    QString file(const QString& relative) const { return m_dir.path() + "/" + relative; }
    QString put(const QString& relative, const QByteArray& bytes)
    {
        EXPECT_TRUE(writeFile(file(relative), bytes));
        return file(relative);
    }
    QStringList entries() const { return QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden); }

    struct Outcome {
        int calls = 0;
        bool onMainThread = true;
        PhotoLibrary::SaveResult result;
    };
    // Saves and waits for the completion; checks it came once, on the main thread.
    Outcome save(FolderPhotoLibrary& target, const QByteArray& bytes, const QString& ext,
                 const QDateTime& date = QDateTime())
    {
        auto outcome = std::make_shared<Outcome>();
        target.saveToLibrary(bytes, ext, date, [outcome](const PhotoLibrary::SaveResult& result) {
            ++outcome->calls;
            outcome->onMainThread = outcome->onMainThread && MainThread::isMainThread();
            outcome->result = result;
        });
        EXPECT_TRUE(waitUntil([&] { return outcome->calls > 0; }));
        spinEvents(50);
        return *outcome;
    }

    QTemporaryDir m_dir;
    FolderPhotoLibrary library{m_dir.path()};
};

TEST_F(FolderPhotoLibraryTest, UrlHasThePlatformShapeAndStaysTheSameAcrossScans)
{
    const QString path = put("Trip/IMG_1.jpg", "x");
    FolderPhotoLibrary first(m_dir.path());
    const PhotoAssetPtr a = first.assetForFile(path);
    ASSERT_TRUE(a);
    const QString id = FolderPhotoAsset::idOfUrl(a->url());
    EXPECT_EQ(a->url(), "assets-library://asset/asset.JPG?id=" + id + "&ext=JPG");
    EXPECT_EQ(PhotoAsset::extensionOfUrl(a->url()), "JPG");
    EXPECT_EQ(id.size(), 36);
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$").match(id).hasMatch());

    FolderPhotoLibrary second(m_dir.path());
    EXPECT_EQ(second.assetForFile(path)->url(), a->url());
    EXPECT_NE(second.assetForFile(put("IMG_1.jpg", "x"))->url(), a->url());
}

TEST_F(FolderPhotoLibraryTest, ANewFileUnderAReusedNameIsANewAsset)
{
    const QString path = put("DSC_0001.JPG", ImageFixtures::jpeg(64, 48, 1));
    const QString first = library.assetForFile(path)->url();
    EXPECT_EQ(FolderPhotoLibrary(m_dir.path()).assetForFile(path)->url(), first);  // unchanged: same URL

    // Deleted, then another picture of the same size takes its name in a
    // later second (ids keep whole seconds, as archives do; within the same
    // second the private album tells the two apart by content).
    ASSERT_TRUE(QFile::remove(path));
    QByteArray other = ImageFixtures::jpeg(64, 48, 1);
    other[other.size() - 3] = char(other[other.size() - 3] ^ 0x5a);
    put("DSC_0001.JPG", other);
    ASSERT_TRUE(ImageFixtures::setModified(path, QDateTime::currentDateTimeUtc().addSecs(2)));
    const PhotoAssetPtr again = FolderPhotoLibrary(m_dir.path()).assetForFile(path);
    EXPECT_NE(again->url(), first);
    EXPECT_FALSE(library.assetForUrl(first));  // the old URL names no file any more
    EXPECT_EQ(library.assetForUrl(again->url())->filePath(), path);
}

TEST_F(FolderPhotoLibraryTest, KindComesFromTheExtension)
{
    EXPECT_EQ(library.assetForFile(put("a.JPEG", "x"))->kind(), PhotoAssetKind::Photo);
    EXPECT_EQ(library.assetForFile(put("b.png", "x"))->kind(), PhotoAssetKind::Photo);
    EXPECT_EQ(library.assetForFile(put("c.MOV", "x"))->kind(), PhotoAssetKind::Video);
    EXPECT_EQ(library.assetForFile(put("d.txt", "x"))->kind(), PhotoAssetKind::Other);
}

TEST_F(FolderPhotoLibraryTest, HiddenTemporaryAndOutsideFilesAreNotItems)
{
    EXPECT_FALSE(library.assetForFile(put(".hidden.jpg", "x")));
    EXPECT_FALSE(library.assetForFile(put(QString("a.jpg.1") + AtomicFile::kTempSuffix, "x")));
    EXPECT_FALSE(library.assetForFile(file("missing.jpg")));
    QTemporaryDir elsewhere;
    writeFile(elsewhere.path() + "/out.jpg", "x");
    EXPECT_FALSE(library.assetForFile(elsewhere.path() + "/out.jpg"));

    put("b.jpg", "x");
    put("Album/c.png", "x");
    EXPECT_EQ(library.scanFiles(), QStringList({file("b.jpg"), file("Album/c.png")}));
}

TEST_F(FolderPhotoLibraryTest, AssetForUrlFindsFilesNotSeenBefore)
{
    const QString path = put("Album/x'y.png", "bytes");
    const QString url = FolderPhotoLibrary(m_dir.path()).assetForFile(path)->url();

    FolderPhotoLibrary fresh(m_dir.path());
    const PhotoAssetPtr found = fresh.assetForUrl(url);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->filePath(), path);
    EXPECT_FALSE(fresh.assetForUrl("assets-library://asset/asset.PNG?id=NOPE&ext=PNG"));
    EXPECT_FALSE(fresh.assetForUrl(""));
    QFile::remove(path);
    EXPECT_FALSE(fresh.assetForUrl(url));
}

TEST_F(FolderPhotoLibraryTest, ReadAllIsCheckedAgainstTheSize)
{
    const QByteArray bytes = ImageFixtures::jpeg(64, 48);
    const QString path = put("a.jpg", bytes);
    const PhotoAssetPtr asset = library.assetForFile(path);
    QByteArray out;
    ASSERT_TRUE(asset->readAll(&out));
    EXPECT_EQ(out, bytes);
    EXPECT_EQ(asset->size(), bytes.size());

    // The file shrinks after the asset was made: a short read.
    QFile::resize(path, bytes.size() - 10);
    QString error;
    EXPECT_FALSE(asset->readAll(&out, &error));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_FALSE(error.isEmpty());

    EXPECT_FALSE(library.assetForFile(put("empty.jpg", ""))->readAll(&out));
}

TEST_F(FolderPhotoLibraryTest, AFileThatChangedSinceItWasListedFailsTheRead)
{
    const QByteArray bytes = ImageFixtures::jpeg(64, 48);
    const QString path = put("grown.jpg", bytes);
    const PhotoAssetPtr listed = library.assetForFile(path);

    // It grows after the listing (a copy still being written).
    QFile grow(path);
    ASSERT_TRUE(grow.open(QIODevice::Append));
    grow.write(QByteArray(5000, 'y'));
    grow.close();
    QByteArray out;
    QString error;
    EXPECT_FALSE(listed->readAll(&out, &error));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_EQ(error, path + " changed after it was listed");

    // Rewritten in place with other bytes of the same length.
    const PhotoAssetPtr relisted = library.assetForFile(path);
    ASSERT_TRUE(relisted->readAll(&out));
    QByteArray rewritten = out;
    rewritten[100] = char(rewritten[100] ^ 1);
    QThread::msleep(30);
    QFile same(path);
    ASSERT_TRUE(same.open(QIODevice::ReadWrite));
    same.write(rewritten);
    same.close();
    EXPECT_FALSE(relisted->readAll(&out, &error));
    EXPECT_EQ(error, path + " changed after it was listed");
    ASSERT_TRUE(library.assetForFile(path)->readAll(&out));
    EXPECT_EQ(out, rewritten);
}

TEST_F(FolderPhotoLibraryTest, DateComesFromExifInOrderThenTheFileTime)
{
    const QByteArray plain = ImageFixtures::jpeg(32, 32);
    const auto local = [](const char* text) { return QDateTime::fromString(text, Qt::ISODate).toUTC(); };

    auto dateOf = [&](const QString& name, const QByteArray& bytes) {
        return library.assetForFile(put(name, bytes))->date();
    };
    EXPECT_EQ(dateOf("o.jpg", ImageFixtures::withExif(plain, "2001:02:03 04:05:06", "2002:01:01 00:00:00",
                                                      "2003:01:01 00:00:00")),
              local("2001-02-03T04:05:06"));
    EXPECT_EQ(dateOf("d.jpg", ImageFixtures::withExif(plain, "", "2002:01:01 00:00:00", "2003:01:01 00:00:00")),
              local("2002-01-01T00:00:00"));
    EXPECT_EQ(dateOf("t.jpg", ImageFixtures::withExif(plain, "", "", "2003:01:01 00:00:00")),
              local("2003-01-01T00:00:00"));

    const QString bare = put("m.jpg", ImageFixtures::withExif(plain, "", "", "", 6));
    const QDateTime mtime = QDateTime::fromSecsSinceEpoch(1234567890, Qt::UTC);
    ASSERT_TRUE(ImageFixtures::setModified(bare, mtime));
    EXPECT_EQ(library.assetForFile(bare)->date(), mtime);
}

TEST_F(FolderPhotoLibraryTest, VideoFactsComeFromTheProbe)
{
    const QDateTime when = QDateTime::fromSecsSinceEpoch(3000000000LL, Qt::UTC);
    std::atomic<int> probes{0};
    library.setVideoProbe([&](const QString&) -> std::optional<VideoFacts> {
        ++probes;
        return VideoFacts{when, 12.5};
    });
    const PhotoAssetPtr video = library.assetForFile(put("v.mov", "moov"));
    EXPECT_EQ(video->date(), when);
    EXPECT_DOUBLE_EQ(video->duration(), 12.5);
    EXPECT_EQ(probes.load(), 1);
    EXPECT_DOUBLE_EQ(library.assetForFile(put("p.png", "x"))->duration(), 0.0);
    EXPECT_EQ(probes.load(), 1);
}

TEST_F(FolderPhotoLibraryTest, SaveWritesANewFileOnceAndAnswersOnTheMainThread)
{
    const QByteArray bytes = ImageFixtures::jpeg(40, 30);
    const QDateTime date = QDateTime::fromSecsSinceEpoch(1000000000, Qt::UTC);

    const Outcome first = save(library, bytes, "JPG", date);
    EXPECT_EQ(first.calls, 1);
    EXPECT_TRUE(first.onMainThread);
    ASSERT_TRUE(first.result.ok());
    const PhotoAssetPtr saved = library.assetForUrl(first.result.url);
    ASSERT_TRUE(saved);
    EXPECT_EQ(readFile(saved->filePath()), bytes);
    EXPECT_EQ(QFileInfo(saved->filePath()).lastModified().toUTC(), date);
    EXPECT_EQ(QFileInfo(saved->filePath()).dir().absolutePath(), QDir(m_dir.path()).absolutePath());

    // The same second again: another name; nothing replaced.
    const Outcome second = save(library, "other", "JPG");
    ASSERT_TRUE(second.result.ok());
    EXPECT_NE(second.result.url, first.result.url);
    EXPECT_EQ(readFile(saved->filePath()), bytes);
    EXPECT_EQ(entries().size(), 2);   // no temporary file left
}

TEST_F(FolderPhotoLibraryTest, SaveNeverReplacesAFileThatHasTheName)
{
    // Take every name the save could pick within the next seconds.
    const QDateTime now = QDateTime::currentDateTime();
    QStringList mine;
    for (int s = 0; s < 5; ++s)
        mine.append(put("IMG_" + now.addSecs(s).toString("yyyyMMdd_HHmmss") + ".PNG", "mine"));
    const Outcome outcome = save(library, "new", "PNG");
    ASSERT_TRUE(outcome.result.ok());
    for (const QString& path : mine)
        EXPECT_EQ(readFile(path), "mine");
    const QString saved = library.assetForUrl(outcome.result.url)->filePath();
    EXPECT_FALSE(mine.contains(saved));
    EXPECT_EQ(readFile(saved), "new");
    EXPECT_EQ(entries().size(), 6);
}

TEST_F(FolderPhotoLibraryTest, ASavedFileTakesTheUsualModeUnderTheUmask)
{
    const mode_t before = ::umask(022);
    const Outcome usual = save(library, "bytes", "JPG");
    ::umask(027);
    const Outcome tighter = save(library, "bytes", "JPG");
    ::umask(before);
    ASSERT_TRUE(usual.result.ok());
    ASSERT_TRUE(tighter.result.ok());
    struct stat st;
    ASSERT_EQ(::stat(QFile::encodeName(library.assetForUrl(usual.result.url)->filePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    ASSERT_EQ(::stat(QFile::encodeName(library.assetForUrl(tighter.result.url)->filePath()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
}

TEST_F(FolderPhotoLibraryTest, AnExtensionOfAnythingButLettersAndDigitsIsRefused)
{
    FolderPhotoLibrary inner(m_dir.path() + "/lib");
    QDir().mkpath(m_dir.path() + "/lib/sub");
    for (const QString& ext : {QString("JPG/../../x"), QString("."), QString("J PG"), QString("jp\u00e9"),
                               QString("../up"), QString("/sub"), QString("JPG\n")}) {
        const Outcome outcome = save(inner, "bytes", ext);
        EXPECT_FALSE(outcome.result.ok()) << ext.toStdString();
        EXPECT_EQ(outcome.result.error, "the extension may hold only letters and digits");
    }
    EXPECT_EQ(entries(), QStringList());
    EXPECT_EQ(QDir(m_dir.path() + "/lib").entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_EQ(QDir(m_dir.path() + "/lib/sub").entryList(QDir::Files | QDir::Hidden), QStringList());
    EXPECT_TRUE(save(inner, "bytes", "heic2").result.ok());
    EXPECT_TRUE(save(inner, "bytes", "").result.ok());
}

TEST_F(FolderPhotoLibraryTest, AFailedSaveAnswersWithAnErrorOnce)
{
    const QString notAFolder = put("plain-file", "x");
    FolderPhotoLibrary library(notAFolder + "/lib");
    const Outcome outcome = save(library, "bytes", "JPG");
    EXPECT_EQ(outcome.calls, 1);
    EXPECT_TRUE(outcome.onMainThread);
    EXPECT_FALSE(outcome.result.ok());

    FolderPhotoLibrary good(m_dir.path());
    EXPECT_FALSE(save(good, QByteArray(), "JPG").result.ok());
}

}
