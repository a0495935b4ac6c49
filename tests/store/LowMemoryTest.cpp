#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "support/AddressSpaceCap.h"
#include "support/ImageFixtures.h"
#include "platform/photolib/FolderPhotoAsset.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <unistd.h>

namespace {

// The store on a machine short of memory: what cannot be had fails the one
// operation, never the process, and never costs the user a photo.
class LowMemoryTest : public StoreTestBase {
protected:
    void SetUp() override
    {
        if (!AddressSpaceCap::supported())
            GTEST_SKIP() << "no address-space cap under a sanitizer";
    }
    // A real photo followed by padding: as large as it needs to be.
    static QByteArray largePhoto() { return ImageFixtures::jpeg(320, 240, 5) + QByteArray(kPadding, '\0'); }
    static constexpr int kPadding = 64 << 20;
};

TEST_F(LowMemoryTest, AnItemTheRepairHasNoMemoryToDecipherStaysForTheNextStart)
{
    const QString uuid = "5A5A5A5A-5A5A-5A5A-5A5A-5A5A5A5A5A5A";
    const QString item = photoDir() + "/" + uuid;
    ASSERT_TRUE(PavEncryptManager::writeData(largePhoto(), item));
    const qint64 size = QFileInfo(item).size();
    m_store.reset();

    // Less room than the item takes to read (it is deciphered where it is read).
    {
        AddressSpaceCap cap(32 << 20);
        ASSERT_TRUE(cap.isSet());
        m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    }
    EXPECT_EQ(rowCount(), 0);
    EXPECT_EQ(QFileInfo(item).size(), size);
    EXPECT_TRUE(QDir(photoDir() + "/Quarantine").isEmpty());

    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    const PavPhotoModelList items = m_store->photoes();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items.first()->photoUUID(), uuid);
    EXPECT_EQ(items.first()->photoType(), PavPhotoModel::Photo);
}

TEST_F(LowMemoryTest, StoringAPhotoWithoutMemoryForItsCipherFailsAndLeavesNothing)
{
    const auto asset = FakePhotoAsset::make("assets-library://asset/asset.JPG?id=LARGE&ext=JPG", largePhoto());
    bool prepared = true;
    bool stored = true;
    {
        AddressSpaceCap cap(40 << 20);
        ASSERT_TRUE(cap.isSet());
        const PavPhotoManager::PreparedAsset ahead = PavPhotoManager::prepareAsset(*asset);
        prepared = !ahead.fullCipher.isEmpty();
        stored = m_store->encryptAsset(*asset, &ahead) || m_store->encryptAsset(*asset);
    }
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(stored);
    expectEmpty();

    // With memory the same photo is stored.
    EXPECT_TRUE(m_store->encryptAsset(*asset));
    EXPECT_TRUE(m_store->isEncrypted(*asset));
}

TEST_F(LowMemoryTest, ALibraryFileTooLargeToReadIntoMemoryIsNotStored)
{
    QTemporaryDir library;
    const QString path = library.path() + "/IMG_0001.JPG";
    ASSERT_TRUE(ImageFixtures::writeFile(path, ImageFixtures::jpeg(320, 240, 6)));
    ASSERT_EQ(::truncate(QFile::encodeName(path).constData(), off_t(256) << 20), 0);  // sparse
    const FolderPhotoAsset asset(library.path(), path);
    bool prepared = true;
    bool stored = true;
    {
        AddressSpaceCap cap(96 << 20);
        ASSERT_TRUE(cap.isSet());
        prepared = !PavPhotoManager::prepareAsset(asset).fullCipher.isEmpty();
        stored = m_store->encryptAsset(asset);
    }
    EXPECT_FALSE(prepared);
    EXPECT_FALSE(stored);
    expectEmpty();
}

}
