#include "StoreTestBase.h"

#include "Public/SqliteDBManager.h"
#include "support/ImageFixtures.h"

#include <QHash>
#include <QSet>

#include <atomic>
#include <thread>

namespace {

using StoreConcurrencyTest = StoreTestBase;

// Eight threads store and list at once: every store succeeds, and every
// listing holds each item at most once; at the end each item is listed once.
TEST_F(StoreConcurrencyTest, EightThreadsStoringAndListingSeeEachItemOnce)
{
    constexpr int kThreads = 8;
    constexpr int kPerThread = 4;
    std::vector<QByteArray> images;
    for (int i = 0; i < kThreads; ++i)
        images.push_back(ImageFixtures::jpeg(200, 150, i));

    std::atomic<int> failures{0};
    std::atomic<int> duplicateListings{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kPerThread; ++i) {
                const QString url = QString("assets-library://asset/asset.JPG?id=%1-%2&ext=JPG").arg(t).arg(i);
                if (!m_store->encryptAsset(*FakePhotoAsset::make(url, images[size_t(t)])))
                    ++failures;
                if (!m_store->isEncrypted(*FakePhotoAsset::make(url, images[size_t(t)])))
                    ++failures;
                const PavPhotoModelList listed = m_store->photoes();
                if (listed.isEmpty()) {
                    ++failures;
                    continue;
                }
                QSet<QString> seen;
                for (const PavPhotoModelPtr& item : listed) {
                    if (seen.contains(item->photoUUID()))
                        ++duplicateListings;
                    seen.insert(item->photoUUID());
                }
            }
        });
    }
    for (std::thread& t : threads)
        t.join();

    EXPECT_EQ(failures.load(), 0) << m_store->encryptAlbumOp()->dbEngine()->lastError().toStdString();
    EXPECT_EQ(duplicateListings.load(), 0);
    const PavPhotoModelList all = m_store->photoes();
    QHash<QString, int> perUrl;
    for (const PavPhotoModelPtr& item : all)
        ++perUrl[item->photoURL()];
    EXPECT_EQ(all.size(), kThreads * kPerThread);
    EXPECT_EQ(perUrl.size(), kThreads * kPerThread);
    for (auto it = perUrl.cbegin(); it != perUrl.cend(); ++it)
        EXPECT_EQ(it.value(), 1) << it.key().toStdString();
    EXPECT_EQ(itemFiles().size(), 2 * kThreads * kPerThread);
}

}
