// Library files whose names are bytes that are not valid UTF-8, as older
// cameras, archives and other systems leave them.

#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "platform/photolib/NativeName.h"
#include "support/ImageFixtures.h"
#include "support/VideoFixtures.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeRaw(const QByteArray& path, const QByteArray& bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == ssize_t(bytes.size());
    return ::close(fd) == 0 && ok;
}

bool existsRaw(const QByteArray& path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

QByteArray png(const QColor& color)
{
    return ImageFixtures::encode(ImageFixtures::solid(40, 20, color), "png");
}

class NonUtf8NameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = dir.filePath("Pictures");
        rawRoot = QFile::encodeName(root);
        ASSERT_EQ(::mkdir(rawRoot.constData(), 0755), 0);
        // Two names that differ only in a Latin-1 byte: "café.png" and "cafè.png".
        ASSERT_TRUE(writeRaw(rawRoot + "/caf\xe9.png", red));
        ASSERT_TRUE(writeRaw(rawRoot + "/caf\xe8.png", blue));
    }

    // QTemporaryDir cannot remove names Qt does not encode back.
    void TearDown() override { std::filesystem::remove_all(std::filesystem::path(rawRoot.toStdString())); }

    std::vector<AssetsGroup> scan(FolderAssetsLibrary& lib)
    {
        std::vector<AssetsGroup> groups;
        AssetsLibraryError error;
        EXPECT_TRUE(lib.enumerateGroups(AssetsGroupAll, &groups, &error)) << error.message.toStdString();
        return groups;
    }
    static PhotoAssetPtr withRawPath(const AssetsGroup& group, const QByteArray& path)
    {
        for (const PhotoAssetPtr& a : group.assets)
            if (NativeName::encode(a->filePath()) == path)
                return a;
        return nullptr;
    }
    static QByteArray readBack(const PhotoAsset& asset)
    {
        QByteArray bytes;
        QString error;
        EXPECT_TRUE(asset.readAll(&bytes, &error)) << error.toStdString();
        return bytes;
    }

    QTemporaryDir dir;
    QString root;
    QByteArray rawRoot;
    const QByteArray red = png(Qt::red);
    const QByteArray blue = png(Qt::blue);
};

}

TEST(NativeName, EveryNameEncodesBackToItsOwnBytes)
{
    const QList<QByteArray> names = {
        "IMG_0001.JPG",
        "\xe7\x85\xa7\xe7\x89\x87.jpg",          // valid UTF-8
        "caf\xe9.png",                            // Latin-1
        "\xff\xfe.jpg",
        "\xe7\x85.jpg",                           // a sequence cut short
        "\xed\xb3\xbf.jpg",                       // a surrogate written as UTF-8
        "\xc0\xaf.jpg",                           // an overlong '/'
        "\xf4\x90\x80\x80.jpg",                   // past U+10FFFF
        "\xef\xbf\xbd.jpg",                       // a U+FFFD of the name's own
        "\xf0\x9f\x93\xb7\xdc.jpg",               // a pair, then a stray byte
    };
    for (const QByteArray& name : names)
        EXPECT_EQ(NativeName::encode(NativeName::decode(name)), name) << name.toHex().constData();
    EXPECT_NE(NativeName::decode("caf\xe9.png"), NativeName::decode("caf\xe8.png"));
    EXPECT_EQ(NativeName::decode("\xe7\x85\xa7\xe7\x89\x87.jpg"), QString::fromUtf8("照片.jpg"));
}

TEST_F(NonUtf8NameTest, SuchAFileListsShowsReadsAndFollowsTheUsersMoves)
{
    FolderAssetsLibrary lib(root, dir.filePath("Caches"));
    std::vector<AssetsGroup> groups = scan(lib);
    ASSERT_EQ(groups.size(), 1u);
    const PhotoAssetPtr cafe = withRawPath(groups[0], rawRoot + "/caf\xe9.png");
    const PhotoAssetPtr other = withRawPath(groups[0], rawRoot + "/caf\xe8.png");
    ASSERT_TRUE(cafe && other);
    EXPECT_NE(cafe->url(), other->url());

    // Each shows its own picture, and reads back its own bytes.
    const QImage thumb = lib.thumbnail(*cafe);
    ASSERT_EQ(thumb.size(), QSize(200, 200));
    EXPECT_GT(qRed(thumb.pixel(100, 100)), 200);
    EXPECT_LT(qBlue(thumb.pixel(100, 100)), 60);
    EXPECT_GT(qBlue(lib.thumbnail(*other).pixel(100, 100)), 200);
    EXPECT_EQ(lib.fullScreenImage(*cafe).size(), QSize(40, 20));
    EXPECT_EQ(lib.fullResolutionImage(*other, nullptr).size(), QSize(40, 20));
    EXPECT_EQ(readBack(*cafe), red);
    EXPECT_EQ(readBack(*other), blue);
    const PhotoAssetPtr found = lib.assetForUrl(other->url());
    ASSERT_TRUE(found);
    EXPECT_EQ(readBack(*found), blue);

    // The plain library, as the batches list it: each can be hidden in the
    // private album.
    auto plain = std::make_shared<FolderPhotoLibrary>(root);
    PavPhotoManager store(dir.filePath("photo"), plain);
    const QStringList files = plain->scanFiles();
    ASSERT_EQ(files.size(), 2);
    for (const QString& file : files) {
        const PhotoAssetPtr asset = plain->assetForFile(file);
        ASSERT_TRUE(asset);
        EXPECT_TRUE(store.encryptAsset(*asset));
        EXPECT_TRUE(store.isEncrypted(*asset));
    }

    // The user moves one into an album whose name is no UTF-8 either, and
    // deletes the other.
    ASSERT_EQ(::mkdir((rawRoot + "/Trip\xff").constData(), 0755), 0);
    ASSERT_EQ(::rename((rawRoot + "/caf\xe9.png").constData(), (rawRoot + "/Trip\xff/caf\xe9.png").constData()), 0);
    ASSERT_EQ(::unlink((rawRoot + "/caf\xe8.png").constData()), 0);
    groups = scan(lib);
    ASSERT_EQ(groups.size(), 2u);
    EXPECT_TRUE(groups[0].assets.empty());
    const PhotoAssetPtr moved = withRawPath(groups[1], rawRoot + "/Trip\xff/caf\xe9.png");
    ASSERT_TRUE(moved);
    EXPECT_EQ(NativeName::encode(groups[1].name), QByteArray("Trip\xff"));
    EXPECT_EQ(readBack(*moved), red);
    EXPECT_GT(qRed(lib.thumbnail(*moved).pixel(100, 100)), 200);
    EXPECT_TRUE(lib.thumbnail(*other).isNull());
    QByteArray gone;
    EXPECT_FALSE(other->readAll(&gone));
    EXPECT_TRUE(existsRaw(rawRoot + "/Trip\xff/caf\xe9.png"));
}

TEST_F(NonUtf8NameTest, SuchAVideoHasItsLengthAndPoster)
{
    const QString plainName = dir.filePath("clip.mp4");
    if (!VideoFixtures::makeVideo(plainName))
        GTEST_SKIP() << "ffmpeg could not make a video fixture";
    ASSERT_EQ(::rename(QFile::encodeName(plainName).constData(), (rawRoot + "/clip\xff.mp4").constData()), 0);
    FolderAssetsLibrary lib(root, dir.filePath("Caches"));
    const PhotoAssetPtr clip = withRawPath(scan(lib)[0], rawRoot + "/clip\xff.mp4");
    ASSERT_TRUE(clip);
    EXPECT_GT(clip->duration(), 0);
    EXPECT_EQ(lib.thumbnail(*clip).size(), QSize(200, 200));
}
