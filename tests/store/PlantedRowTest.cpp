#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "Public/SqliteDBManager.h"
#include "albums/store/ItemId.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

const QString kUrl = "assets-library://asset/asset.JPG?id=PLANTED&ext=JPG";

// Rows in the index file that the store never wrote: ids that, joined onto
// the album folder, name the folder itself or one beside it.
class PlantedRowTest : public StoreTestBase {
protected:
    void SetUp() override
    {
        // A folder beside the album that "../x" names from inside it.
        ASSERT_TRUE(QDir().mkpath(outside() + "/inner"));
        ASSERT_TRUE(ImageFixtures::writeFile(outside() + "/inner/keep.jpg", "keep"));
        ASSERT_TRUE(ImageFixtures::writeFile(outside() + "/keep.jpg", "keep"));
        // A real item next to the planted rows.
        ASSERT_TRUE(m_store->encryptImage(ImageFixtures::pattern(80, 60)));
        m_real = m_store->photoes().first();
    }

    QString outside() const { return m_home.documents() + "/x"; }

    // Writes the rows into the index file while no store has it open, then
    // opens the store again, as a start would.
    void plant(const QList<QVariantList>& rows)
    {
        m_store.reset();
        {
            auto db = SqliteDBManager::initWithFilePath(photoDir() + "/photo");
            for (const QVariantList& row : rows)
                ASSERT_TRUE(db->executeSql("INSERT INTO photoes (datetime, photouuid, type, duration, systemurl, "
                                           "localpath) VALUES (1600000000, ?, 1, 0, ?, ?)",
                                           row));
        }
        m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    }

    void expectNothingElseGone() const
    {
        EXPECT_TRUE(QFileInfo(photoDir()).isDir());
        EXPECT_TRUE(QFileInfo::exists(photoDir() + "/photo"));
        EXPECT_TRUE(m_store->hasItemFiles(*m_real));
        EXPECT_TRUE(QFileInfo::exists(outside() + "/keep.jpg"));
        EXPECT_TRUE(QFileInfo::exists(outside() + "/inner/keep.jpg"));
    }

    PavPhotoModelPtr m_real;
};

PavPhotoModel modelWithId(const QString& id)
{
    PavPhotoModel model;
    model.setPhotoUUID(id);
    model.setPhotoPath(id);
    model.setPhotoURL(kUrl);
    return model;
}

}

TEST_F(PlantedRowTest, StoringThePhotoOfAPlantedRowRemovesOnlyTheFilesOfItsOwnStaleRows)
{
    // A genuine row of the same URL whose full file is gone: superseded,
    // with its thumbnail.
    const QString stale = "0A1B2C3D-0000-4000-8000-00000000ABCD";
    ASSERT_TRUE(PavEncryptManager::writeData(ImageFixtures::jpeg(10, 10), photoDir() + "/" + stale + ".thumb"));
    plant({{QString(""), kUrl, QString("")}, {QString("../x"), kUrl, QString("../x")}, {stale, kUrl, stale}});

    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(kUrl)));

    expectNothingElseGone();
    EXPECT_FALSE(QFileInfo::exists(photoDir() + "/" + stale + ".thumb"));
    const PavPhotoModelList listed = m_store->photoes();
    ASSERT_EQ(listed.size(), 2);  // the new item and the real one; planted rows are never listed
    EXPECT_EQ(std::count_if(listed.begin(), listed.end(), [](const auto& p) { return p->photoURL() == kUrl; }), 1);
    for (const PavPhotoModelPtr& item : listed)
        EXPECT_TRUE(m_store->hasItemFiles(*item));
    EXPECT_TRUE(m_store->isEncrypted(*jpegAsset(kUrl)));
    EXPECT_TRUE(m_store->encryptAlbumOp()->exitRecord(kUrl));
}

TEST_F(PlantedRowTest, DeletingOrReadingAnItemOfAPlantedIdTouchesNothing)
{
    // The last row names a real id but a foreign file.
    plant({{QString(""), kUrl, QString("")}, {QString("../x"), kUrl, QString("../x")},
           {m_real->photoUUID(), kUrl, QString("../x")}});
    EXPECT_EQ(m_store->photoes().size(), 1);
    EXPECT_FALSE(m_store->encryptAlbumOp()->exitRecord(kUrl));
    // Something that deciphers, where a foreign name would lead a read.
    ASSERT_TRUE(PavEncryptManager::writeData(ImageFixtures::jpeg(20, 20), outside() + ".thumb"));
    EXPECT_TRUE(PavPhotoManager::decryptPhotoToData("../x.thumb").isEmpty());
    EXPECT_FALSE(PavPhotoManager::decryptPhotoToData(m_real->photoUUID() + ".thumb").isEmpty());

    for (const QString& id : {QString(""), QString("../x"), QString("..")}) {
        SCOPED_TRACE(id.toStdString());
        EXPECT_FALSE(m_store->deletePhoto(modelWithId(id)));
        expectNothingElseGone();
    }
    // The planted rows stay in the index, untouched.
    EXPECT_EQ(rowCount(), 4);
}

TEST_F(PlantedRowTest, AnIdWithATrailingNewlineIsNeitherListedNorDeletedNorRead)
{
    const QString id = "5A5A5A5A-0000-4000-8000-000000000001\n";
    ASSERT_TRUE(PavEncryptManager::writeData(ImageFixtures::jpeg(30, 30), photoDir() + "/" + id));
    ASSERT_TRUE(PavEncryptManager::writeData(ImageFixtures::jpeg(20, 20), photoDir() + "/" + id + ".thumb"));
    plant({{id, kUrl, id}});

    EXPECT_FALSE(ItemId::isValid(id));
    EXPECT_FALSE(ItemId::isFileName(id + ".thumb"));
    EXPECT_EQ(m_store->photoes().size(), 1);
    EXPECT_TRUE(PavPhotoManager::decryptPhotoToData(id).isEmpty());
    EXPECT_FALSE(m_store->deletePhoto(modelWithId(id)));
    EXPECT_TRUE(QFileInfo::exists(photoDir() + "/" + id));
    EXPECT_TRUE(QFileInfo::exists(photoDir() + "/" + id + ".thumb"));
    expectNothingElseGone();
}
