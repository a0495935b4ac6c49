#include "platform/photolib/FolderAssetsLibrary.h"
#include "support/ImageFixtures.h"

#include <QMap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <latch>
#include <thread>

namespace {

// A folder library that counts its decodes and how many of them ran at once.
class CountingLibrary : public FolderAssetsLibrary {
public:
    using FolderAssetsLibrary::FolderAssetsLibrary;

    QMap<int, int> decodesBySide() const
    {
        std::lock_guard lock(m_mutex);
        return m_bySide;
    }
    int mostAtOnce() const { return m_mostAtOnce; }

protected:
    QImage decodeSource(const PhotoAsset& asset, const QSize& cover) const override
    {
        {
            std::lock_guard lock(m_mutex);
            ++m_bySide[cover.width()];
            m_mostAtOnce = std::max(m_mostAtOnce, ++m_running);
        }
        const QImage image = FolderAssetsLibrary::decodeSource(asset, cover);
        std::lock_guard lock(m_mutex);
        --m_running;
        return image;
    }

private:
    mutable std::mutex m_mutex;
    mutable QMap<int, int> m_bySide;
    mutable int m_running = 0;
    mutable int m_mostAtOnce = 0;
};

}

TEST(OneDecodePerFile, ConcurrentRequestsForABigPictureDecodeItOnce)
{
    QTemporaryDir dir;
    const QString root = dir.filePath("Pictures");
    // One colour, so it compresses to little and takes long to inflate.
    ASSERT_TRUE(ImageFixtures::writeFile(root + "/big.png", ImageFixtures::plainPng(8000, 8000, Qt::darkGreen)));
    CountingLibrary lib(root, dir.filePath("Caches"));
    std::vector<AssetsGroup> groups;
    AssetsLibraryError error;
    ASSERT_TRUE(lib.enumerateGroups(AssetsGroupSavedPhotos, &groups, &error));
    ASSERT_EQ(groups.at(0).assets.size(), 1u);
    const PhotoAssetPtr big = groups[0].assets[0];

    // Tiles of the grid and of the browser's strip ask at once.
    constexpr int kSquares = 5;
    constexpr int kAspects = 3;
    std::latch start(kSquares + kAspects);
    std::vector<QImage> squares(kSquares);
    std::vector<QImage> aspects(kAspects);
    std::vector<std::thread> threads;
    for (int i = 0; i < kSquares; ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            squares[size_t(i)] = lib.thumbnail(*big);
        });
    for (int i = 0; i < kAspects; ++i)
        threads.emplace_back([&, i] {
            start.arrive_and_wait();
            aspects[size_t(i)] = lib.aspectRatioThumbnail(*big);
        });
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(lib.decodesBySide(), (QMap<int, int>{{200, 1}, {256, 1}}));
    EXPECT_EQ(lib.mostAtOnce(), 1);
    for (const QImage& square : squares) {
        ASSERT_EQ(square.size(), QSize(200, 200));
        EXPECT_NEAR(square.pixelColor(100, 100).green(), QColor(Qt::darkGreen).green(), 3);
    }
    for (const QImage& aspect : aspects)
        EXPECT_EQ(aspect.size(), QSize(256, 256));
}
