#include "platform/photolib/FolderAssetsLibrary.h"
#include "support/ImageFixtures.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <latch>
#include <thread>

namespace {

// Counts the decodes by the side asked for, and the most that ran at once.
class CountingLibrary : public FolderAssetsLibrary {
public:
    using FolderAssetsLibrary::FolderAssetsLibrary;
    mutable std::mutex mutex;
    mutable QMap<int, int> decodes;
    mutable int running = 0;
    mutable int mostAtOnce = 0;

protected:
    QImage decodeSource(const PhotoAsset& asset, const QSize& cover) const override
    {
        {
            std::lock_guard lock(mutex);
            ++decodes[cover.width()];
            mostAtOnce = std::max(mostAtOnce, ++running);
        }
        const QImage image = FolderAssetsLibrary::decodeSource(asset, cover);
        std::lock_guard lock(mutex);
        --running;
        return image;
    }
};

}

TEST(OneDecodePerFile, ConcurrentRequestsForABigPictureDecodeItOnce)
{
    QTemporaryDir dir;
    // One colour: small on disk, long to inflate.
    ASSERT_TRUE(ImageFixtures::writeFile(dir.filePath("Pictures/big.png"),
                                         ImageFixtures::plainPng(8000, 8000, Qt::darkGreen)));
    CountingLibrary lib(dir.filePath("Pictures"), dir.filePath("Caches"));
    std::vector<AssetsGroup> groups;
    AssetsLibraryError error;
    ASSERT_TRUE(lib.enumerateGroups(AssetsGroupSavedPhotos, &groups, &error));
    const PhotoAssetPtr big = groups.at(0).assets.at(0);

    // Grid tiles and the browser's strip ask at once.
    std::latch start(8);
    std::vector<QImage> made(8);
    std::vector<std::thread> threads;
    for (size_t i = 0; i < made.size(); ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            made[i] = i < 5 ? lib.thumbnail(*big) : lib.aspectRatioThumbnail(*big);
        });
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(lib.decodes, (QMap<int, int>{{200, 1}, {256, 1}}));
    EXPECT_EQ(lib.mostAtOnce, 1);
    for (size_t i = 0; i < made.size(); ++i) {
        EXPECT_EQ(made[i].size(), i < 5 ? QSize(200, 200) : QSize(256, 256));
        EXPECT_NEAR(made[i].pixelColor(100, 100).green(), QColor(Qt::darkGreen).green(), 3);
    }
}
