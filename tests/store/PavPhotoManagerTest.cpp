#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "Public/SqliteDBManager.h"
#include "codec/Xxtea.h"
#include "platform/media/ImageCodec.h"
#include "platform/photolib/FolderPhotoLibrary.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

using PavPhotoManagerTest = StoreTestBase;

const QString kUrlA = "assets-library://asset/asset.JPG?id=AAAA&ext=JPG";
const QString kUrlB = "assets-library://asset/asset.JPG?id=BBBB&ext=JPG";

QByteArray rawFile(const QString& path) { return ImageFixtures::readFile(path); }

void expectEnciphered(const QString& path, qint64 plainSize)
{
    const QByteArray raw = rawFile(path);
    EXPECT_EQ(raw.size(), qint64(codec_xxtea_padded_size(size_t(plainSize)))) << path.toStdString();
    ASSERT_GE(raw.size(), 2);
    EXPECT_FALSE(quint8(raw[0]) == 0xFF && quint8(raw[1]) == 0xD8) << "plain JPEG on disk";
    EXPECT_FALSE(quint8(raw[0]) == 0x89 && raw[1] == 'P') << "plain PNG on disk";
}

TEST_F(PavPhotoManagerTest, AStoredAssetAndItsThumbnailComeBackByteForByte)
{
    const QDateTime date = QDateTime::fromSecsSinceEpoch(1600000000, Qt::UTC);
    const QImage image = ImageFixtures::pattern(640, 480, 3);
    for (const char* format : {"jpeg", "png", "gif", "bmp"}) {
        const QByteArray bytes = ImageFixtures::encode(image, format);
        const QString url = QString("assets-library://asset/asset.X?id=%1&ext=X").arg(format);
        m_store->setIsUpdated(false);
        ASSERT_TRUE(m_store->encryptAsset(*FakePhotoAsset::make(url, bytes, PhotoAssetKind::Photo, date))) << format;
        EXPECT_TRUE(m_store->isUpdated());

        const PavPhotoModelPtr item = m_store->photoes().first();
        EXPECT_EQ(item->photoURL(), url);
        EXPECT_EQ(item->photoPath(), item->photoUUID());
        EXPECT_EQ(item->photoType(), PavPhotoModel::Photo);
        EXPECT_EQ(item->photoSize(), 0u);
        EXPECT_EQ(PavPhotoManager::decryptPhotoToData(item->photoUUID()), bytes) << format;

        const QByteArray thumb = PavPhotoManager::decryptPhotoToData(item->photoUUID() + ".thumb");
        EXPECT_EQ(thumb, ImageCodec::encodeJpeg(ImageCodec::thumbnailFromData(bytes, QSize(150, 150)), 100));
        EXPECT_EQ(ImageCodec::decode(thumb).size(), QSize(150, 150));
        EXPECT_EQ(PavPhotoManager::decryptPhoto(item->photoUUID()).size(), QSize(640, 480));

        expectEnciphered(m_store->getPhotoFullPath(*item), bytes.size());
        expectEnciphered(m_store->getPhotoFullPath(*item) + ".thumb", thumb.size());
        EXPECT_EQ(m_store->getPhotoSize(*item), quint64(codec_xxtea_padded_size(size_t(bytes.size()))));
        // Remove it so the next format is first again.
        ASSERT_TRUE(m_store->deletePhoto(*item));
    }
}

TEST_F(PavPhotoManagerTest, ACameraPhotoIsStoredAsJpegWithNoUrlAndNeverMatches)
{
    const QImage image = ImageFixtures::pattern(300, 200, 1);
    ASSERT_TRUE(m_store->encryptImage(image));
    const PavPhotoModelPtr item = m_store->photoes().first();
    EXPECT_TRUE(item->photoURL().isEmpty());
    EXPECT_EQ(PavPhotoManager::decryptPhotoToData(item->photoUUID()), ImageCodec::encodeJpeg(image, 100));
    EXPECT_EQ(PavPhotoManager::decryptPhoto(item->photoUUID() + ".thumb").size(), QSize(150, 150));

    // SQL NULL, not the text "(null)"; an asset without a URL is never "already stored".
    QList<QVariantList> rows;
    ASSERT_TRUE(m_store->encryptAlbumOp()->dbEngine()->queryValues(&rows, "SELECT systemurl FROM photoes"));
    EXPECT_TRUE(rows.at(0).at(0).isNull());
    EXPECT_FALSE(m_store->isEncrypted(*jpegAsset("")));
    // An old row with the text "(null)" still reads as "no URL" and is never matched.
    ASSERT_TRUE(m_store->encryptAlbumOp()->dbEngine()->executeSql(
        "INSERT INTO photoes (datetime, photouuid, type, duration, systemurl, localpath) VALUES (1, 'x', 1, 0, "
        "'(null)', 'x')"));
    EXPECT_TRUE(m_store->photoes().last()->photoURL().isEmpty());
    EXPECT_FALSE(m_store->isEncrypted(*jpegAsset("(null)")));
    EXPECT_FALSE(m_store->encryptImage(QImage()));
}

TEST_F(PavPhotoManagerTest, NoPartOfAnItemRemainsWhenStoringFails)
{
    // Bytes that do not decode as an image (a video among them).
    EXPECT_FALSE(m_store->encryptAsset(*FakePhotoAsset::make(kUrlA, QByteArray(5000, '\x42'))));
    EXPECT_FALSE(m_store->encryptAsset(*FakePhotoAsset::make(kUrlA, "moov-atom-bytes", PhotoAssetKind::Video)));
    expectEmpty();

    // A read that fails, and one that hands over fewer bytes than the size.
    auto failing = jpegAsset(kUrlA);
    failing->setReadFails(true);
    EXPECT_FALSE(m_store->encryptAsset(*failing));
    auto shortRead = jpegAsset(kUrlA);
    shortRead->setShortBy(100);
    EXPECT_FALSE(m_store->encryptAsset(*shortRead));
    EXPECT_EQ(shortRead->readCount(), 1);
    EXPECT_FALSE(m_store->encryptAsset(*FakePhotoAsset::make(kUrlA, QByteArray())));
    expectEmpty();

    // A failing insert (the database refuses writes): both files go again.
    makeReadOnly(true);
    EXPECT_FALSE(m_store->encryptAsset(*jpegAsset(kUrlA)));
    EXPECT_FALSE(m_store->encryptImage(ImageFixtures::pattern(50, 50)));
    makeReadOnly(false);
    expectEmpty();
    EXPECT_FALSE(m_store->isUpdated());
    EXPECT_TRUE(m_store->photoes().isEmpty());

    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(kUrlA)));
    EXPECT_EQ(itemFiles().size(), 2);
}

TEST_F(PavPhotoManagerTest, AnUnwritableFolderStoresNothing)
{
    // A file where the folder should be: no write can succeed, whoever runs the test.
    const QString blocked = m_home.path("blocked");
    ASSERT_TRUE(ImageFixtures::writeFile(blocked, "not a folder"));
    QTemporaryDir dbDir;
    PavPhotoManager store(blocked, m_library, DBOEncryptAlbumOp::initWithFilePath(dbDir.path() + "/photo"));
    EXPECT_FALSE(store.encryptAsset(*jpegAsset(kUrlA)));
    EXPECT_FALSE(store.encryptImage(ImageFixtures::pattern(50, 50)));
    EXPECT_TRUE(store.photoes().isEmpty());
    EXPECT_EQ(rawFile(blocked), "not a folder");
    QStringList besideTheDatabase = QDir(dbDir.path()).entryList(QDir::Files);
    besideTheDatabase.removeIf([](const QString& name) { return name.startsWith("photo"); });
    EXPECT_EQ(besideTheDatabase, QStringList());
}

TEST_F(PavPhotoManagerTest, DeleteRemovesRowAndFilesOnlyWhenTheRowWent)
{
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(kUrlA, 1)));
    ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(kUrlB, 2)));
    const PavPhotoModelList items = m_store->photoes();
    const PavPhotoModel& gone = *items[0];
    const PavPhotoModel& kept = *items[1];

    // A failing DELETE: false, and row and files stay.
    makeReadOnly(true);
    m_store->setIsUpdated(false);
    EXPECT_FALSE(m_store->deletePhoto(gone));
    EXPECT_FALSE(m_store->isUpdated());
    makeReadOnly(false);
    EXPECT_EQ(rowCount(), 2);
    EXPECT_EQ(itemFiles().size(), 4);

    EXPECT_TRUE(m_store->deletePhoto(gone));
    EXPECT_TRUE(m_store->isUpdated());
    EXPECT_FALSE(QFile::exists(m_store->getPhotoFullPath(gone)));
    EXPECT_FALSE(QFile::exists(m_store->getPhotoFullPath(gone) + ".thumb"));
    EXPECT_EQ(m_store->getPhotoSize(gone), std::nullopt);
    EXPECT_EQ(m_store->photoes().size(), 1);
    EXPECT_EQ(m_store->photoes().first()->photoUUID(), kept.photoUUID());
    EXPECT_EQ(itemFiles().size(), 2);

    // An item without a row deletes without complaint.
    PavPhotoModel stranger;
    stranger.setPhotoUUID(PavPhotoModel::createFileUUID());
    EXPECT_TRUE(m_store->deletePhoto(stranger));
    EXPECT_TRUE(m_store->deleteRecord(stranger));
    EXPECT_EQ(rowCount(), 1);
}

TEST_F(PavPhotoManagerTest, ListsNewestFirstWithDatesPast2038)
{
    EXPECT_TRUE(m_store->photoes().isEmpty());
    const qint64 after2038 = 4102444800LL;   // 2100-01-01
    const qint64 seconds[] = {1000000000, after2038, 946684799, 1600000000};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(QString("u%1").arg(i), i,
                                                     QDateTime::fromSecsSinceEpoch(seconds[i], Qt::UTC))));
    // An item of another type, from bytes that are an image all the same.
    ASSERT_TRUE(m_store->encryptAsset(*FakePhotoAsset::make("other", ImageFixtures::jpeg(40, 40),
                                                            PhotoAssetKind::Other,
                                                            QDateTime::fromSecsSinceEpoch(5, Qt::UTC))));

    QList<qint64> order;
    for (const PavPhotoModelPtr& item : m_store->photoes())
        order.append(item->photoCreateTime().toSecsSinceEpoch());
    EXPECT_EQ(order, QList<qint64>({after2038, 1600000000, 1000000000, 946684799, 5}));

    const PavPhotoModelList photos = m_store->photoesWithType(PavPhotoModel::Photo);
    EXPECT_EQ(photos.size(), 4);
    for (const PavPhotoModelPtr& item : photos)
        EXPECT_EQ(item->photoType(), PavPhotoModel::Photo);
    EXPECT_EQ(m_store->photoesWithType(PavPhotoModel::Other).first()->photoURL(), "other");
    EXPECT_TRUE(m_store->photoesWithType(PavPhotoModel::Video).isEmpty());
}

TEST_F(PavPhotoManagerTest, UrlsWithQuotesAndSqlAreStoredMatchedAndListed)
{
    const QString hostile = "assets-library://asset/asset.JPG?id=it's'); DROP TABLE photoes; --&ext=JPG";
    const auto asset = jpegAsset(hostile);
    EXPECT_FALSE(m_store->isEncrypted(*asset));
    ASSERT_TRUE(m_store->encryptAsset(*asset));
    EXPECT_TRUE(m_store->isEncrypted(*asset));
    EXPECT_FALSE(m_store->isEncrypted(*jpegAsset(kUrlA)));
    EXPECT_FALSE(m_store->isEncrypted(*jpegAsset("' OR '1'='1")));
    EXPECT_EQ(m_store->photoes().first()->photoURL(), hostile);

    // The same asset again makes a second item; the table is still there.
    ASSERT_TRUE(m_store->encryptAsset(*asset));
    EXPECT_EQ(m_store->photoes().size(), 2);
    EXPECT_EQ(rowCount(), 2);
}

TEST(PavPhotoManagerStaticTest, ContentTypeLooksAtTheFirstByteOnly)
{
    EXPECT_EQ(PavPhotoManager::getContentTypeOfImageData(QByteArray("\x89PNG", 4)), 0);
    EXPECT_EQ(PavPhotoManager::getContentTypeOfImageData(QByteArray("\xFF\xD8", 2)), 1);
    EXPECT_EQ(PavPhotoManager::getContentTypeOfImageData("GIF89a"), 2);
    EXPECT_EQ(PavPhotoManager::getContentTypeOfImageData("BM"), 3);
    EXPECT_EQ(PavPhotoManager::getContentTypeOfImageData(QByteArray()), 3);
}

}

TEST_F(PavPhotoManagerTest, ANewPhotoUnderAReusedFileNameIsNotAlreadyStored)
{
    QTemporaryDir pictures;
    FolderPhotoLibrary library(pictures.path());
    const QString path = pictures.path() + "/DSC_0001.JPG";
    ASSERT_TRUE(ImageFixtures::writeFile(path, ImageFixtures::jpeg(320, 240, 1)));
    const PhotoAssetPtr stored = library.assetForFile(path);
    ASSERT_TRUE(m_store->encryptAsset(*stored));
    EXPECT_TRUE(m_store->isEncrypted(*library.assetForFile(path)));  // the same file, listed again

    // The user deletes it and a new photo comes in under the same name.
    ASSERT_TRUE(QFile::remove(path));
    QThread::msleep(30);
    ASSERT_TRUE(ImageFixtures::writeFile(path, ImageFixtures::jpeg(320, 240, 2)));
    const PhotoAssetPtr fresh = FolderPhotoLibrary(pictures.path()).assetForFile(path);
    EXPECT_FALSE(m_store->isEncrypted(*fresh));
    ASSERT_TRUE(m_store->encryptAsset(*fresh));
    EXPECT_EQ(rowCount(), 2);
}

// Name, size and modification time are all an id holds: a file with other
// bytes under them (a same-length rewrite whose time was put back, two files
// of one size and time swapping names) is not the photo that was stored, or
// the browser would tell the user to delete an original the album lacks.
TEST_F(PavPhotoManagerTest, OtherBytesUnderTheSameNameSizeAndTimeAreNotAlreadyStored)
{
    QTemporaryDir pictures;
    const QString a = pictures.path() + "/IMG_0001.JPG";
    const QString b = pictures.path() + "/IMG_0002.JPG";
    const QByteArray bytesA = ImageFixtures::jpeg(320, 240, 1);
    QByteArray bytesB = bytesA;
    bytesB[bytesB.size() / 2] = char(bytesB[bytesB.size() / 2] ^ 0x5A);   // same length, other content
    ASSERT_TRUE(ImageFixtures::writeFile(a, bytesA));
    ASSERT_TRUE(ImageFixtures::writeFile(b, bytesB));
    const auto sameTime = [](const QString& path) {
        const struct timespec times[2] = {{1600000000, 123456789}, {1600000000, 123456789}};
        return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
    };
    ASSERT_TRUE(sameTime(a) && sameTime(b));
    ASSERT_TRUE(m_store->encryptAsset(*FolderPhotoLibrary(pictures.path()).assetForFile(a)));
    EXPECT_TRUE(m_store->isEncrypted(*FolderPhotoLibrary(pictures.path()).assetForFile(a)));

    // The two swap names, keeping their times.
    const QString swap = pictures.path() + "/swap";
    ASSERT_TRUE(QFile::rename(a, swap) && QFile::rename(b, a) && QFile::rename(swap, b));
    ASSERT_TRUE(sameTime(a) && sameTime(b));
    const PhotoAssetPtr swapped = FolderPhotoLibrary(pictures.path()).assetForFile(a);
    EXPECT_FALSE(m_store->isEncrypted(*swapped));
    EXPECT_FALSE(m_store->isEncrypted(*FolderPhotoLibrary(pictures.path()).assetForFile(b)));

    // Encrypting it stores it; then both contents count, each under its own bytes.
    ASSERT_TRUE(m_store->encryptAsset(*swapped));
    EXPECT_EQ(rowCount(), 2);
    EXPECT_TRUE(m_store->isEncrypted(*FolderPhotoLibrary(pictures.path()).assetForFile(a)));
    ASSERT_TRUE(QFile::rename(b, swap) && QFile::rename(a, b) && QFile::rename(swap, a));
    EXPECT_TRUE(m_store->isEncrypted(*FolderPhotoLibrary(pictures.path()).assetForFile(a)));

    // The file rewritten in place with the same length, its time put back,
    // after an import batch had read it ahead: what is stored is what the
    // file now holds.
    const PhotoAssetPtr listed = FolderPhotoLibrary(pictures.path()).assetForFile(a);
    const PavPhotoManager::PreparedAsset readAhead = PavPhotoManager::prepareAsset(*listed);
    QByteArray rewritten = bytesA;
    rewritten[rewritten.size() - 100] = char(rewritten[rewritten.size() - 100] ^ 0x33);
    ASSERT_TRUE(ImageFixtures::writeFile(a, rewritten));
    ASSERT_TRUE(sameTime(a));
    EXPECT_FALSE(m_store->isEncrypted(*listed));
    ASSERT_TRUE(m_store->encryptAsset(*listed, &readAhead));
    EXPECT_TRUE(m_store->isEncrypted(*FolderPhotoLibrary(pictures.path()).assetForFile(a)));
    const PavPhotoModelList items = m_store->photoes();
    EXPECT_TRUE(std::any_of(items.begin(), items.end(), [&](const PavPhotoModelPtr& item) {
        return PavPhotoManager::decryptPhotoToData(item->photoUUID()) == rewritten;
    }));
}

TEST_F(PavPhotoManagerTest, ARowWhoseItemFilesAreGoneDoesNotCountAsStored)
{
    const auto asset = jpegAsset(kUrlA, 1);
    const auto other = jpegAsset(kUrlB, 2);
    ASSERT_TRUE(m_store->encryptAsset(*asset));
    ASSERT_TRUE(m_store->encryptAsset(*other));
    const PavPhotoModelPtr first = m_store->encryptAlbumOp()->recordsWithURL(kUrlA).value(0);
    ASSERT_TRUE(first);

    // The full file gone, then emptied: not stored, whatever the row says.
    ASSERT_TRUE(QFile::remove(m_store->getPhotoFullPath(*first)));
    EXPECT_FALSE(m_store->isEncrypted(*asset));
    ASSERT_TRUE(ImageFixtures::writeFile(m_store->getPhotoFullPath(*first), QByteArray()));
    EXPECT_FALSE(m_store->isEncrypted(*asset));
    EXPECT_TRUE(m_store->isEncrypted(*other));

    // Storing it again stores it, and the stale row goes.
    ASSERT_TRUE(m_store->encryptAsset(*asset));
    EXPECT_TRUE(m_store->isEncrypted(*asset));
    EXPECT_EQ(rowCount(), 2);
    const PavPhotoModelList rows = m_store->encryptAlbumOp()->recordsWithURL(kUrlA);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_NE(rows.first()->photoUUID(), first->photoUUID());
    EXPECT_EQ(PavPhotoManager::decryptPhotoToData(rows.first()->photoUUID()), ImageFixtures::jpeg(321, 240, 1));
    EXPECT_FALSE(QFile::exists(m_store->getPhotoFullPath(*first)));

    // A lost thumbnail makes the item as good as gone too.
    ASSERT_TRUE(QFile::remove(m_store->getPhotoFullPath(*rows.first()) + ".thumb"));
    EXPECT_FALSE(m_store->isEncrypted(*asset));

    // A full file cut short (a copy of the home that did not finish) is not
    // the photo either: it is stored again, and what is left of the cut one
    // stays.
    const PavPhotoModelPtr cut = m_store->encryptAlbumOp()->recordsWithURL(kUrlB).value(0);
    ASSERT_TRUE(cut);
    QFile full(m_store->getPhotoFullPath(*cut));
    ASSERT_TRUE(full.resize(full.size() / 2));
    EXPECT_FALSE(m_store->isEncrypted(*other));
    ASSERT_TRUE(m_store->encryptAsset(*other));
    EXPECT_TRUE(m_store->isEncrypted(*other));
    const PavPhotoModelList both = m_store->encryptAlbumOp()->recordsWithURL(kUrlB);
    ASSERT_EQ(both.size(), 2);
    EXPECT_TRUE(QFile::exists(m_store->getPhotoFullPath(*cut)));
}
