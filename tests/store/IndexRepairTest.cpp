#include "StoreTestBase.h"

#include "Public/PavEncryptManager.h"
#include "support/ImageFixtures.h"
#include "support/SqlitePages.h"
#include "support/VideoFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimeZone>

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

namespace {

// An album whose index lost rows in the ways users meet: what the files
// hold must come back as rows, and only what holds no picture or video goes
// aside.
class IndexRepairTest : public StoreTestBase {
protected:
    void SetUp() override
    {
        // A photo with its date in EXIF, one without (its file time counts),
        // and one whose thumbnail is lost.
        const QByteArray dated = ImageFixtures::withExif(ImageFixtures::jpeg(640, 480, 1), "2019:03:04 05:06:07", {}, {});
        ASSERT_TRUE(m_store->encryptAsset(*FakePhotoAsset::make(kDated, dated)));
        ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(kPlain, 2)));
        ASSERT_TRUE(m_store->encryptAsset(*jpegAsset(kNoThumb, 3)));
        m_datedUuid = uuidOf(kDated);
        m_plainUuid = uuidOf(kPlain);
        m_noThumbUuid = uuidOf(kNoThumb);
        setFileTime(photoDir() + "/" + m_plainUuid, kPlainFileTime);
        ASSERT_TRUE(QFile::remove(photoDir() + "/" + m_noThumbUuid + ".thumb"));

        // A video stored before the index lost it: an item file with no thumbnail.
        QTemporaryDir scratch;
        m_hasVideo = VideoFixtures::makeVideo(scratch.filePath("clip.mp4"), "2020-05-06T07:08:09Z");
        if (m_hasVideo) {
            m_videoUuid = PavPhotoModel::createFileUUID();
            ASSERT_TRUE(PavEncryptManager::writeData(ImageFixtures::readFile(scratch.filePath("clip.mp4")),
                                                     photoDir() + "/" + m_videoUuid));
        }
        // What is neither: enciphered text, and a file that does not decipher.
        m_textUuid = PavPhotoModel::createFileUUID();
        ASSERT_TRUE(PavEncryptManager::writeData("a note, not a picture", photoDir() + "/" + m_textUuid));
        m_junkUuid = PavPhotoModel::createFileUUID();
        ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/" + m_junkUuid, "junk"));
        ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/" + m_junkUuid + ".thumb", "junk"));
    }

    QString uuidOf(const QString& url)
    {
        for (const PavPhotoModelPtr& item : m_store->photoes())
            if (item->photoURL() == url)
                return item->photoUUID();
        ADD_FAILURE() << "no row for " << url.toStdString();
        return {};
    }
    static void setFileTime(const QString& path, qint64 seconds)
    {
        struct utimbuf times{time_t(seconds), time_t(seconds)};
        ASSERT_EQ(::utime(QFile::encodeName(path).constData(), &times), 0);
    }
    PavPhotoModelPtr row(const QString& uuid)
    {
        for (const PavPhotoModelPtr& item : m_store->photoes())
            if (item->photoUUID() == uuid)
                return item;
        return nullptr;
    }

    // After a restart: every picture and the video has a row with what its
    // file holds, every row has both files, and only the two files that hold
    // neither are aside.
    void expectRebuilt(const QStringList& rowsKeptWithUrl)
    {
        m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
        EXPECT_EQ(rowCount(), 3 + int(m_hasVideo));

        const PavPhotoModelPtr dated = row(m_datedUuid);
        ASSERT_TRUE(dated);
        EXPECT_EQ(dated->photoType(), PavPhotoModel::Photo);
        if (!rowsKeptWithUrl.contains(kDated)) {
            EXPECT_EQ(dated->photoCreateTime().toSecsSinceEpoch(),
                      QDateTime(QDate(2019, 3, 4), QTime(5, 6, 7), QTimeZone::systemTimeZone()).toSecsSinceEpoch());
        }
        const PavPhotoModelPtr plain = row(m_plainUuid);
        ASSERT_TRUE(plain);
        ASSERT_TRUE(row(m_noThumbUuid));
        if (!rowsKeptWithUrl.contains(kPlain)) {
            EXPECT_EQ(plain->photoCreateTime().toSecsSinceEpoch(), kPlainFileTime);
        }
        for (const QString& url : {kDated, kPlain, kNoThumb}) {
            const PavPhotoModelPtr item = row(url == kDated ? m_datedUuid : url == kPlain ? m_plainUuid : m_noThumbUuid);
            // A rebuilt row knows no library URL.
            EXPECT_EQ(item->photoURL(), rowsKeptWithUrl.contains(url) ? url : QString()) << url.toStdString();
        }
        if (m_hasVideo) {
            const PavPhotoModelPtr video = row(m_videoUuid);
            ASSERT_TRUE(video);
            EXPECT_EQ(video->photoType(), PavPhotoModel::Video);
            EXPECT_GT(video->videoDuration(), 1.5);
            EXPECT_EQ(video->photoCreateTime(), QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9), Qt::UTC));
        }
        for (const PavPhotoModelPtr& item : m_store->photoes()) {
            EXPECT_TRUE(m_store->hasItemFiles(*item)) << item->photoUUID().toStdString();
            EXPECT_EQ(PavPhotoManager::decryptPhotoWithFullPath(m_store->getPhotoFullPath(*item) + ".thumb").size(),
                      QSize(150, 150));
        }
        QStringList aside = QDir(photoDir() + "/Quarantine").entryList(QDir::Files, QDir::Name);
        QStringList expected = {m_textUuid, m_junkUuid, m_junkUuid + ".thumb"};
        expected.sort();
        EXPECT_EQ(aside, expected);
        EXPECT_EQ(ImageFixtures::readFile(photoDir() + "/Quarantine/" + m_junkUuid), "junk");
        // No plaintext probe is left behind.
        EXPECT_TRUE(QDir(photoDir()).entryList({"*.pavtmp"}, QDir::Files | QDir::Hidden).isEmpty());

        // The next start finds nothing to do.
        m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
        EXPECT_EQ(rowCount(), 3 + int(m_hasVideo));
        EXPECT_EQ(QDir(photoDir() + "/Quarantine").entryList(QDir::Files).size(), 3);
    }
    void dropIndex()
    {
        m_store.reset();
        for (const char* name : {"photo", "photo-wal", "photo-shm"})
            QFile::remove(photoDir() + "/" + name);
    }

    const QString kDated = "assets-library://asset/asset.JPG?id=dated&ext=JPG";
    const QString kPlain = "assets-library://asset/asset.JPG?id=plain&ext=JPG";
    const QString kNoThumb = "assets-library://asset/asset.JPG?id=nothumb&ext=JPG";
    static constexpr qint64 kPlainFileTime = 1500000000;
    QString m_datedUuid, m_plainUuid, m_noThumbUuid, m_videoUuid, m_textUuid, m_junkUuid;
    bool m_hasVideo = false;
};

TEST_F(IndexRepairTest, AnEmptyIndexFileIsRebuiltFromTheItemFiles)
{
    dropIndex();
    ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/photo", QByteArray()));
    expectRebuilt({});
}

TEST_F(IndexRepairTest, AnIndexThatIsNoDatabaseIsKeptAsideAndRebuilt)
{
    dropIndex();
    const QByteArray garbage = QByteArray("this is not a database at all ").repeated(200);
    ASSERT_TRUE(ImageFixtures::writeFile(photoDir() + "/photo", garbage));
    expectRebuilt({});
    const QStringList damaged = QDir(photoDir()).entryList({"photo.damaged-*"}, QDir::Files);
    ASSERT_EQ(damaged.size(), 1);
    EXPECT_EQ(ImageFixtures::readFile(photoDir() + "/" + damaged.first()), garbage);
    // Storing works again on the fresh index.
    EXPECT_TRUE(m_store->encryptAsset(*jpegAsset("after", 9)));
}

TEST_F(IndexRepairTest, AnIndexWithAZeroedPageKeepsTheRowsStillReadableWithTheirUrls)
{
    m_store.reset();
    const QString index = photoDir() + "/photo";
    ASSERT_LE(QFileInfo(index + "-wal").size(), 0) << "the index at rest holds every row";
    // The URL index fills one page of its own: every row of the table stays readable.
    ASSERT_TRUE(SqlitePages::zeroPage(index, SqlitePages::rootPageOf(index, "photoes_url_index")));
    expectRebuilt({kDated, kPlain, kNoThumb});
    EXPECT_EQ(QDir(photoDir()).entryList({"photo.damaged-*"}, QDir::Files).size(), 1);
    // The fresh index answers by URL again.
    EXPECT_TRUE(m_store->isEncrypted(*jpegAsset(kPlain, 2)));
}

TEST_F(IndexRepairTest, AnIndexNamingSomeItemsKeepsThoseRowsAndGetsTheRest)
{
    ASSERT_TRUE(m_store->deleteRecord(*row(m_noThumbUuid)));
    ASSERT_TRUE(m_store->deleteRecord(*row(m_plainUuid)));
    m_store.reset();
    expectRebuilt({kDated});
}

TEST_F(IndexRepairTest, AStoredPhotoThatLostOnlyItsThumbnailGetsItBackAndIsNotStoredTwice)
{
    // The next start makes the lost thumbnail again; the row keeps its URL.
    m_store = std::make_unique<PavPhotoManager>(photoDir(), m_library);
    const PavPhotoModelPtr item = row(m_noThumbUuid);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->photoURL(), kNoThumb);
    EXPECT_EQ(PavPhotoManager::decryptPhotoWithFullPath(m_store->getPhotoFullPath(*item) + ".thumb").size(),
              QSize(150, 150));

    // The same photo chosen again counts as stored, as a batch asks before storing.
    const auto again = jpegAsset(kNoThumb, 3);
    EXPECT_TRUE(m_store->isEncrypted(*again));
    int rowsOfUrl = 0;
    for (const PavPhotoModelPtr& each : m_store->photoes())
        rowsOfUrl += each->photoURL() == kNoThumb;
    EXPECT_EQ(rowsOfUrl, 1);
}

TEST_F(IndexRepairTest, LinksPlantedAtItsTemporaryNamesAreSweptAndNeverWrittenThrough)
{
    // Dangling links where the repair puts the deciphered copy of an item
    // while it probes it, and where a write of a thumbnail would leave its
    // temporary file: the repair of these items must not make the files
    // they lead to outside the album.
    dropIndex();
    QTemporaryDir outside;
    const QString dated = photoDir() + "/" + m_datedUuid;
    const QStringList planted = {dated + "." + QString::number(::getpid()) + ".probe.pavtmp",
                                 dated + ".thumb.1.2.pavtmp"};
    for (int i = 0; i < planted.size(); ++i)
        ASSERT_TRUE(QFile::link(outside.filePath(QString::number(i)), planted[i]));

    expectRebuilt({});

    EXPECT_TRUE(QDir(outside.path()).entryList(QDir::Files | QDir::System | QDir::Hidden).isEmpty());
    for (const QString& link : planted)
        EXPECT_FALSE(QFileInfo(link).isSymLink()) << link.toStdString();
}

}
