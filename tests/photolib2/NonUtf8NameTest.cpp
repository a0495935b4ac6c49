// Library files whose names are bytes that are not valid UTF-8, as older
// cameras, archives and other systems leave them.

#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/photolib/NativeName.h"
#include "support/ImageFixtures.h"

#include <QFile>
#include <QMap>
#include <QScopeGuard>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

std::filesystem::path raw(const QByteArray& bytes) { return std::filesystem::path(bytes.toStdString()); }

QByteArray readBack(const PhotoAsset& asset)
{
    QByteArray bytes;
    EXPECT_TRUE(asset.readAll(&bytes));
    return bytes;
}

}

TEST(NativeName, EveryNameEncodesBackToItsOwnBytes)
{
    // Latin-1, a sequence cut short, a surrogate written as UTF-8, an
    // overlong '/', a U+FFFD of the name's own, a pair then a stray byte.
    for (const QByteArray name : {"caf\xe9.png", "\xe7\x85.jpg", "\xed\xb3\xbf.jpg", "\xc0\xaf.jpg",
                                   "\xef\xbf\xbd.jpg", "\xf0\x9f\x93\xb7\xdc.jpg"})
        EXPECT_EQ(NativeName::encode(NativeName::decode(name)), name) << name.toHex().constData();
    EXPECT_EQ(NativeName::decode("\xe7\x85\xa7.jpg"), QString::fromUtf8("照.jpg"));
}

TEST(NonUtf8Name, SuchAFileListsShowsReadsHidesAndFollowsTheUsersMoves)
{
    QTemporaryDir dir;
    const QByteArray root = QFile::encodeName(dir.filePath("Pictures"));
    std::filesystem::create_directory(raw(root));
    const auto cleanUp = qScopeGuard([&] { std::filesystem::remove_all(raw(root)); });   // QTemporaryDir cannot
    // Two names that differ only in a Latin-1 byte: "café.png" and "cafè.png".
    const QByteArray red = ImageFixtures::encode(ImageFixtures::solid(40, 20, Qt::red), "png");
    const QByteArray blue = ImageFixtures::encode(ImageFixtures::solid(40, 20, Qt::blue), "png");
    std::ofstream(raw(root + "/caf\xe9.png"), std::ios::binary).write(red.constData(), red.size());
    std::ofstream(raw(root + "/caf\xe8.png"), std::ios::binary).write(blue.constData(), blue.size());
    auto lib = std::make_shared<FolderAssetsLibrary>(QFile::decodeName(root), dir.filePath("Caches"));
    const auto list = [&] {
        std::vector<AssetsGroup> groups;
        AssetsLibraryError error;
        EXPECT_TRUE(lib->enumerateGroups(AssetsGroupAll, &groups, &error));
        QMap<QByteArray, PhotoAssetPtr> byPath;
        for (const AssetsGroup& group : groups)
            for (const PhotoAssetPtr& asset : group.assets)
                byPath.insert(NativeName::encode(asset->filePath()), asset);
        return byPath;
    };

    QMap<QByteArray, PhotoAssetPtr> listed = list();
    const PhotoAssetPtr cafe = listed.value(root + "/caf\xe9.png");
    const PhotoAssetPtr other = listed.value(root + "/caf\xe8.png");
    ASSERT_TRUE(cafe && other);
    EXPECT_NE(cafe->url(), other->url());
    // Each shows its own picture, reads back its own bytes and can be hidden.
    const QImage thumb = lib->thumbnail(*cafe);
    ASSERT_EQ(thumb.size(), QSize(200, 200));
    EXPECT_GT(qRed(thumb.pixel(100, 100)), 200);
    EXPECT_GT(qBlue(lib->thumbnail(*other).pixel(100, 100)), 200);
    EXPECT_EQ(lib->fullScreenImage(*cafe).size(), QSize(40, 20));
    EXPECT_EQ(readBack(*cafe), red);
    EXPECT_EQ(readBack(*lib->assetForUrl(other->url())), blue);
    PavPhotoManager store(dir.filePath("photo"), lib);
    EXPECT_TRUE(store.encryptAsset(*cafe));
    EXPECT_TRUE(store.isEncrypted(*cafe));

    // The user moves one into an album whose name is no UTF-8 either, and
    // deletes the other.
    std::filesystem::create_directory(raw(root + "/Trip\xff"));
    std::filesystem::rename(raw(root + "/caf\xe9.png"), raw(root + "/Trip\xff/caf\xe9.png"));
    std::filesystem::remove(raw(root + "/caf\xe8.png"));
    listed = list();
    ASSERT_EQ(listed.keys(), QList<QByteArray>{root + "/Trip\xff/caf\xe9.png"});
    EXPECT_EQ(readBack(*listed.first()), red);
    EXPECT_GT(qRed(lib->thumbnail(*listed.first()).pixel(100, 100)), 200);
    EXPECT_TRUE(lib->thumbnail(*other).isNull());
}
