#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderAssetsLibrary.h"
#include "platform/photolib/ThumbnailCache.h"
#include "support/FakePhotoAsset.h"
#include "support/ImageFixtures.h"
#include "support/VideoFixtures.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <QTimeZone>
#include <QCryptographicHash>

#include <sys/stat.h>

#include <algorithm>

#include <gtest/gtest.h>

namespace {

// Red left half, white right half: a turn shows where the red went.
QByteArray halvesJpeg(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter(&img).fillRect(0, 0, w / 2, h, Qt::red);
    return ImageFixtures::encode(img, "jpeg", 95);
}

class FolderAssetsLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = dir.filePath("Pictures");
        caches = dir.filePath("Caches");
        write("exif.jpg", ImageFixtures::withExif(halvesJpeg(64, 32), "2021:03:05 10:20:30", "", "", 1));
        write("rotated.jpg", ImageFixtures::withExif(halvesJpeg(64, 32), "2021:03:06 10:00:00", "", "", 6));
        write("plain \"quoted\" name.png", ImageFixtures::encode(ImageFixtures::solid(30, 10, Qt::blue), "png"));
        write("anim.gif", ImageFixtures::encode(ImageFixtures::solid(12, 12, Qt::green), "gif"));
        write("Trip/inside album.jpg", ImageFixtures::jpeg(20, 20));
        write(".hidden.jpg", ImageFixtures::jpeg(8, 8));
        ASSERT_TRUE(ImageFixtures::setModified(path("plain \"quoted\" name.png"),
                                               QDateTime(QDate(2019, 1, 2), QTime(3, 4, 5), Qt::UTC)));
        hasVideo = VideoFixtures::makeVideo(path("clip.mp4"), "2020-05-06T07:08:09Z");
    }

    QString path(const QString& rel) const { return root + "/" + rel; }
    void write(const QString& rel, const QByteArray& bytes) { ASSERT_TRUE(ImageFixtures::writeFile(path(rel), bytes)); }

    std::vector<AssetsGroup> scan(FolderAssetsLibrary& lib, unsigned types = AssetsGroupAll)
    {
        std::vector<AssetsGroup> groups;
        AssetsLibraryError error;
        EXPECT_TRUE(lib.enumerateGroups(types, &groups, &error)) << error.message.toStdString();
        return groups;
    }
    static PhotoAssetPtr named(const AssetsGroup& group, const QString& file)
    {
        for (const PhotoAssetPtr& a : group.assets) {
            if (QFileInfo(a->filePath()).fileName() == file)
                return a;
        }
        return nullptr;
    }

    QTemporaryDir dir;
    QString root;
    QString caches;
    bool hasVideo = false;
};

}

TEST_F(FolderAssetsLibraryTest, GroupsKindsAndDates)
{
    FolderAssetsLibrary lib(root, caches);
    const auto groups = scan(lib);
    ASSERT_EQ(groups.size(), 2u);
    const AssetsGroup& roll = groups[0];
    EXPECT_EQ(roll.type, AssetsGroupSavedPhotos);
    EXPECT_EQ(groups[1].type, AssetsGroupAlbum);
    EXPECT_EQ(groups[1].name, "Trip");
    EXPECT_EQ(groups[1].assets.size(), 1u);
    EXPECT_EQ(roll.assets.size(), hasVideo ? 5u : 4u);  // the hidden file is no item
    EXPECT_EQ(roll.count(AssetsFilter::AllPhotos), 4);

    EXPECT_EQ(named(roll, "exif.jpg")->date(),
              QDateTime(QDate(2021, 3, 5), QTime(10, 20, 30), QTimeZone::systemTimeZone()).toUTC());
    // No EXIF: the file time.
    EXPECT_EQ(named(roll, "plain \"quoted\" name.png")->date(), QDateTime(QDate(2019, 1, 2), QTime(3, 4, 5), Qt::UTC));
    EXPECT_EQ(named(roll, "anim.gif")->kind(), PhotoAssetKind::Photo);
    for (const PhotoAssetPtr& a : roll.assets)
        EXPECT_TRUE(a->date().isValid());
    // Ascending index is oldest first.
    for (size_t i = 1; i < roll.assets.size(); ++i)
        EXPECT_LE(roll.assets[i - 1]->date(), roll.assets[i]->date());

    EXPECT_EQ(scan(lib, AssetsGroupSavedPhotos).size(), 1u);
    EXPECT_EQ(scan(lib, AssetsGroupAlbum).size(), 1u);
}

TEST_F(FolderAssetsLibraryTest, VideoDurationDateAndPoster)
{
    if (!hasVideo)
        GTEST_SKIP() << "ffmpeg could not make a video fixture";
    FolderAssetsLibrary lib(root, caches);
    const PhotoAssetPtr clip = named(scan(lib)[0], "clip.mp4");
    ASSERT_TRUE(clip);
    EXPECT_EQ(clip->kind(), PhotoAssetKind::Video);
    EXPECT_GT(clip->duration(), 0);
    EXPECT_EQ(clip->date(), QDateTime(QDate(2020, 5, 6), QTime(7, 8, 9), Qt::UTC));
    const QImage thumb = lib.thumbnail(*clip);
    ASSERT_FALSE(thumb.isNull());
    EXPECT_EQ(thumb.size(), QSize(200, 200));
    EXPECT_FALSE(lib.fullScreenImage(*clip).isNull());
}

TEST_F(FolderAssetsLibraryTest, UrlsAreStableAndResolve)
{
    FolderAssetsLibrary lib(root, caches);
    const PhotoAssetPtr first = named(scan(lib)[0], "exif.jpg");
    FolderAssetsLibrary again(root, caches);
    const PhotoAssetPtr second = named(scan(again)[0], "exif.jpg");
    EXPECT_EQ(first->url(), second->url());
    EXPECT_TRUE(first->url().startsWith("assets-library://asset/asset.JPG?id="));
    EXPECT_TRUE(first->url().endsWith("ext=JPG"));
    const PhotoAssetPtr resolved = again.assetForUrl(first->url());
    ASSERT_TRUE(resolved);
    EXPECT_EQ(resolved->filePath(), first->filePath());
    EXPECT_EQ(resolved->date(), first->date());
    const PhotoAssetPtr quoted = named(scan(lib)[0], "plain \"quoted\" name.png");
    ASSERT_TRUE(lib.assetForUrl(quoted->url()));
    QFile::remove(path("exif.jpg"));
    EXPECT_FALSE(lib.assetForUrl(first->url()));
    // An asset deleted under a listing fails cleanly.
    EXPECT_TRUE(lib.thumbnail(*first).isNull());
    EXPECT_TRUE(lib.fullScreenImage(*first).isNull());
    QByteArray bytes;
    EXPECT_FALSE(first->readAll(&bytes));
}

TEST_F(FolderAssetsLibraryTest, MissingRootIsAnError)
{
    FolderAssetsLibrary lib(dir.filePath("nowhere"), caches);
    std::vector<AssetsGroup> groups;
    AssetsLibraryError error;
    EXPECT_FALSE(lib.enumerateGroups(AssetsGroupAll, &groups, &error));
    EXPECT_EQ(error.domain, "photolib");
    EXPECT_NE(error.code, 0);
    EXPECT_TRUE(groups.empty());
    FolderAssetsLibrary onFile(path("exif.jpg"), caches);
    EXPECT_FALSE(onFile.enumerateGroups(AssetsGroupAll, &groups, &error));
}

TEST_F(FolderAssetsLibraryTest, ImagesThumbnailsAndOrientation)
{
    FolderAssetsLibrary lib(root, caches);
    const AssetsGroup roll = scan(lib)[0];
    const PhotoAssetPtr rotated = named(roll, "rotated.jpg");
    // Stored 64 × 32 with the red half on the left; orientation 6 shows it
    // turned clockwise: 32 × 64 with red on top.
    const QImage full = lib.fullScreenImage(*rotated);
    ASSERT_EQ(full.size(), QSize(32, 64));
    EXPECT_GT(qRed(full.pixel(16, 8)), 200);
    EXPECT_LT(qBlue(full.pixel(16, 8)), 80);
    EXPECT_GT(qBlue(full.pixel(16, 56)), 200);
    ImageOrientation turn = ImageOrientation::Up;
    const QImage raw = lib.fullResolutionImage(*rotated, &turn);
    EXPECT_EQ(raw.size(), QSize(64, 32));
    EXPECT_EQ(turn, ImageOrientation::Right);

    const QImage square = lib.thumbnail(*named(roll, "exif.jpg"));
    EXPECT_EQ(square.size(), QSize(200, 200));
    const QImage aspect = lib.aspectRatioThumbnail(*named(roll, "plain \"quoted\" name.png"));
    EXPECT_EQ(aspect.size(), QSize(30, 10));  // small pictures are not blown up
    write("big.jpg", ImageFixtures::jpeg(1200, 600));
    const PhotoAssetPtr big = lib.assetForUrl(named(scan(lib)[0], "big.jpg")->url());
    EXPECT_EQ(lib.aspectRatioThumbnail(*big).size(), QSize(256, 128));
}

TEST_F(FolderAssetsLibraryTest, AOneBitPictureFittedIntoItsThumbnailIsGreyNotSpecks)
{
    // Wide enough that its decode, covering the thumbnail's square, is not
    // scaled: the thumbnail is made from the one-bit picture itself.
    write("lines.png", ImageFixtures::encode(ImageFixtures::oneBitLines(1200, 150), "png"));
    FolderAssetsLibrary lib(root, caches);
    const QImage aspect = lib.aspectRatioThumbnail(*named(scan(lib)[0], "lines.png"));
    ASSERT_EQ(aspect.size(), QSize(256, 32));
    EXPECT_TRUE(ImageFixtures::evenColumns(aspect, 170, 12));
}

TEST_F(FolderAssetsLibraryTest, APictureOnePixelThinKeepsThatPixelWhenFittedToTheScreenOrTheAspectThumbnail)
{
    // Fitted into 2048 x 1536 (or 256 x 256) such a side rounds to nothing:
    // the browser then showed its "cannot load" picture for a readable file.
    write("wide line.png", ImageFixtures::encode(ImageFixtures::solid(3000, 1, Qt::green), "png"));
    write("tall line.png", ImageFixtures::encode(ImageFixtures::solid(1, 2000, Qt::red), "png"));
    FolderAssetsLibrary lib(root, caches);
    const std::vector<AssetsGroup> groups = scan(lib);
    struct Case {
        const char* file;
        QSize screen;
        QSize aspect;
        QRgb colour;
    };
    for (const Case& c : {Case{"wide line.png", QSize(2048, 1), QSize(256, 1), qRgb(0, 255, 0)},
                          Case{"tall line.png", QSize(1, 1536), QSize(1, 256), qRgb(255, 0, 0)}}) {
        SCOPED_TRACE(c.file);
        const PhotoAssetPtr asset = named(groups[0], c.file);
        ASSERT_TRUE(asset);
        const QImage screen = lib.fullScreenImage(*asset);
        EXPECT_EQ(screen.size(), c.screen);
        const QImage aspect = lib.aspectRatioThumbnail(*asset);
        EXPECT_EQ(aspect.size(), c.aspect);
        if (!screen.isNull()) {
            EXPECT_EQ(screen.pixel(screen.width() / 2, screen.height() / 2) & RGB_MASK, c.colour & RGB_MASK);
        }
    }
}

TEST_F(FolderAssetsLibraryTest, ASecondOpeningServesFactsAndThumbnailsFromTheCaches)
{
    const QString target = path("exif.jpg");
    QDateTime firstDate;
    {
        FolderAssetsLibrary lib(root, caches);
        const PhotoAssetPtr a = named(scan(lib)[0], "exif.jpg");
        firstDate = a->date();
        ASSERT_FALSE(lib.thumbnail(*a).isNull());
    }
    // Same size, same file time, other content: only the caches still know
    // the old date and picture, so what comes back proves they were used.
    const QDateTime mtime = QFileInfo(target).lastModified();
    const QByteArray other = ImageFixtures::withExif(ImageFixtures::encode(ImageFixtures::solid(64, 32, Qt::black), "jpeg", 95),
                                                     "1999:01:01 00:00:00", "", "", 1);
    QByteArray sameSize = other.leftJustified(QFileInfo(target).size(), '\0', true);
    ASSERT_TRUE(ImageFixtures::writeFile(target, sameSize));
    ASSERT_TRUE(ImageFixtures::setModified(target, mtime));

    FolderAssetsLibrary again(root, caches);
    const PhotoAssetPtr b = named(scan(again)[0], "exif.jpg");
    EXPECT_EQ(b->date(), firstDate);
    const QImage thumb = again.thumbnail(*b);
    EXPECT_GT(qRed(thumb.pixel(20, 100)), 200);  // the old red half, not the new black

    // Touching the file time makes it a new file.
    ASSERT_TRUE(ImageFixtures::setModified(target, mtime.addSecs(10)));
    FolderAssetsLibrary third(root, caches);
    EXPECT_EQ(named(scan(third)[0], "exif.jpg")->date().date().year(), 1999);
}

// Cache files are written without a sync: after a crash one may be cut
// short. Such a file is made again, not shown half grey.
TEST_F(FolderAssetsLibraryTest, AThumbnailCutShortInTheCacheIsMadeAgain)
{
    {
        FolderAssetsLibrary lib(root, caches);
        ASSERT_FALSE(lib.thumbnail(*named(scan(lib)[0], "exif.jpg")).isNull());
    }
    QDirIterator stored(caches, {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
    int cut = 0;
    while (stored.hasNext()) {
        const QString file = stored.next();
        ASSERT_TRUE(QFile::resize(file, QFileInfo(file).size() / 2));
        ++cut;
    }
    ASSERT_GT(cut, 0);

    FolderAssetsLibrary again(root, caches);
    const QImage thumb = again.thumbnail(*named(scan(again)[0], "exif.jpg"));
    ASSERT_FALSE(thumb.isNull());
    EXPECT_GT(qRed(thumb.pixel(20, 100)), 200);
    const QColor corner = thumb.pixelColor(thumb.width() - 5, thumb.height() - 5);   // the white half, to the last row
    EXPECT_GT(std::min({corner.red(), corner.green(), corner.blue()}), 200) << corner.name().toStdString();
}

TEST_F(FolderAssetsLibraryTest, TheThumbnailsOfGoneOrChangedFilesAreDropped)
{
    const QString thumbs = caches + "/PhotoLibrary/Thumbnails";
    auto count = [&] {
        int n = 0;
        for (QDirIterator it(thumbs, {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories); it.hasNext(); it.next())
            ++n;
        return n;
    };
    {
        FolderAssetsLibrary lib(root, caches);
        for (const char* name : {"exif.jpg", "rotated.jpg", "anim.gif"}) {
            const PhotoAssetPtr a = named(scan(lib)[0], name);
            ASSERT_FALSE(lib.thumbnail(*a).isNull());
            ASSERT_FALSE(lib.aspectRatioThumbnail(*a).isNull());
        }
    }
    ASSERT_EQ(count(), 6);

    // One photo deleted, one rewritten: the next listing drops their four.
    ASSERT_TRUE(QFile::remove(path("anim.gif")));
    ASSERT_TRUE(ImageFixtures::writeFile(path("rotated.jpg"), ImageFixtures::jpeg(40, 40)));
    ASSERT_TRUE(ImageFixtures::setModified(path("rotated.jpg"), QDateTime(QDate(2022, 1, 1), QTime(0, 0), Qt::UTC)));
    FolderAssetsLibrary lib(root, caches);
    scan(lib, AssetsGroupSavedPhotos);
    EXPECT_EQ(count(), 2);
    // The kept ones still serve: no new file is written for them.
    lib.thumbnail(*named(scan(lib)[0], "exif.jpg"));
    EXPECT_EQ(count(), 2);
}

// The thumbnail folder, or the library's cache folder above it, replaced by
// a link to a folder of the user's pictures: the next listing's prune would
// delete every picture there whose name is not a thumbnail's. The link goes
// (its name only), the pictures stay, and thumbnails are kept in a fresh
// folder of the cache's own.
TEST_F(FolderAssetsLibraryTest, ALinkAtTheThumbnailFolderIsNotSweptThrough)
{
    for (const QString& linked : {QStringLiteral("/PhotoLibrary/Thumbnails"), QStringLiteral("/PhotoLibrary")}) {
        QTemporaryDir elsewhere;
        const QString outside = elsewhere.filePath("Holiday");
        for (const QString& name : {QStringLiteral("/beach.jpg"), QStringLiteral("/Thumbnails/ab/dune.jpg"),
                                   QStringLiteral("/Thumbnails/sea.jpg")})
            ASSERT_TRUE(ImageFixtures::writeFile(outside + name, ImageFixtures::jpeg(16, 16)));
        QDir(caches).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(QFileInfo(caches + linked).path()));
        ASSERT_TRUE(QFile::link(outside, caches + linked)) << linked.toStdString();
        {
            FolderAssetsLibrary lib(root, caches);
            ASSERT_FALSE(lib.thumbnail(*named(scan(lib)[0], "exif.jpg")).isNull());
        }
        FolderAssetsLibrary lib(root, caches);
        scan(lib, AssetsGroupSavedPhotos);

        EXPECT_TRUE(QFileInfo(outside + "/beach.jpg").isFile()) << linked.toStdString();
        EXPECT_TRUE(QFileInfo(outside + "/Thumbnails/ab/dune.jpg").isFile()) << linked.toStdString();
        EXPECT_TRUE(QFileInfo(outside + "/Thumbnails/sea.jpg").isFile()) << linked.toStdString();
        EXPECT_EQ(QDir(outside).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 2) << linked.toStdString();
        EXPECT_FALSE(QFileInfo(caches + linked).isSymLink()) << linked.toStdString();
        int kept = 0;
        for (QDirIterator it(caches + "/PhotoLibrary/Thumbnails", {"*.jpg"}, QDir::Files, QDirIterator::Subdirectories);
             it.hasNext(); it.next())
            ++kept;
        EXPECT_EQ(kept, 1) << linked.toStdString();
    }
}

TEST(ThumbnailCache, TheFolderStaysWithinItsBoundDroppingTheLeastRecentlyUsed)
{
    QTemporaryDir dir;
    auto picture = [](int seed) {
        QImage img = ImageFixtures::pattern(120, 120);
        img.setPixel(seed, seed, qRgb(seed, 0, 0));
        return img;
    };
    // Measure one thumbnail, then allow about four.
    qint64 one = 0;
    {
        ThumbnailCache probe(dir.filePath("probe"));
        probe.store("aa00", picture(0));
        one = probe.diskBytes();
        ASSERT_GT(one, 0);
    }
    const qint64 bound = one * 4 + one / 2;
    {
        ThumbnailCache cache(dir.filePath("c"), 1, bound);
        for (int i = 0; i < 12; ++i) {
            cache.store(QString("k%1").arg(i, 3, 10, QChar('0')), picture(i));
            QThread::msleep(5);  // distinct use times
            // The first one stays in use all along.
            ASSERT_FALSE(cache.find("k000").isNull()) << i;
            EXPECT_LE(cache.diskBytes(), bound);
        }
    }
    // A new cache on the folder (nothing in memory) still has the first and
    // the newest, not the ones in between.
    ThumbnailCache reopened(dir.filePath("c"), 1, bound);
    EXPECT_FALSE(reopened.find("k000").isNull());
    EXPECT_FALSE(reopened.find("k011").isNull());
    EXPECT_TRUE(reopened.find("k002").isNull());
    EXPECT_LE(reopened.diskBytes(), bound);
}

// A library copied with cp -a (or restored from a backup, fractions of a
// second lost) keeps names, bytes and times but not inodes: every photo keeps
// its id, so what the private album holds still counts as stored for the
// copy. A file that differs under the same name is another asset.
TEST_F(FolderAssetsLibraryTest, ACopyKeepingNamesBytesAndTimesKeepsEveryId)
{
    auto urlsByName = [this](const QString& at) {
        FolderAssetsLibrary lib(at, caches);
        QMap<QString, QString> urls;
        for (const AssetsGroup& group : scan(lib))
            for (const PhotoAssetPtr& a : group.assets)
                urls.insert(QDir(at).relativeFilePath(a->filePath()), a->url());
        return urls;
    };
    const QMap<QString, QString> original = urlsByName(root);
    ASSERT_GE(original.size(), 5);

    auto photos = std::make_shared<FolderPhotoLibrary>(root);
    PavPhotoManager store(dir.filePath("photo"), photos);
    ASSERT_TRUE(store.encryptAsset(*photos->assetForFile(path("exif.jpg"))));

    const QString copy = dir.filePath("Restored");
    ASSERT_EQ(QProcess::execute("cp", {"-a", root, copy}), 0);
    EXPECT_EQ(urlsByName(copy), original);
    FolderPhotoLibrary copied(copy);
    EXPECT_TRUE(store.isEncrypted(*copied.assetForFile(copy + "/exif.jpg")));
    EXPECT_FALSE(store.isEncrypted(*copied.assetForFile(copy + "/rotated.jpg")));

    // An archive of the usual format keeps whole seconds only.
    const QString archive = dir.filePath("backup.tar");
    const QString unpacked = dir.filePath("Unpacked");
    ASSERT_TRUE(QDir().mkpath(unpacked));
    ASSERT_EQ(QProcess::execute("tar", {"-cf", archive, "-C", root, "."}), 0);
    ASSERT_EQ(QProcess::execute("tar", {"-xf", archive, "-C", unpacked}), 0);
    EXPECT_EQ(urlsByName(unpacked), original);
    EXPECT_TRUE(store.isEncrypted(*FolderPhotoLibrary(unpacked).assetForFile(unpacked + "/exif.jpg")));

    // Other bytes under a kept name, written later: a new asset, not stored.
    ASSERT_TRUE(ImageFixtures::writeFile(copy + "/exif.jpg", ImageFixtures::jpeg(30, 30, 9)));
    ASSERT_TRUE(ImageFixtures::setModified(copy + "/exif.jpg", QDateTime::currentDateTimeUtc().addSecs(5)));
    const QMap<QString, QString> changed = urlsByName(copy);
    EXPECT_NE(changed.value("exif.jpg"), original.value("exif.jpg"));
    EXPECT_EQ(changed.value("Trip/inside album.jpg"), original.value("Trip/inside album.jpg"));
    EXPECT_FALSE(store.isEncrypted(*copied.assetForFile(copy + "/exif.jpg")));
}

namespace {

// The id of a file in the form the library used before ids left the inode
// out: rows stored then carry it.
QString inodeFormUrl(const QString& root, const QString& file)
{
    struct stat st {};
    if (::stat(QFile::encodeName(file).constData(), &st) != 0)
        return QString();
    const qint64 mtimeNs = qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    const QByteArray named = QDir(root).relativeFilePath(file).toUtf8() + '\0' + QByteArray::number(quint64(st.st_ino))
        + ':' + QByteArray::number(mtimeNs) + ':' + QByteArray::number(qint64(st.st_size));
    const QByteArray hex = QCryptographicHash::hash(named, QCryptographicHash::Sha1).toHex().toUpper();
    const QString id = QString::fromLatin1(hex.mid(0, 8) + "-" + hex.mid(8, 4) + "-" + hex.mid(12, 4) + "-"
                                           + hex.mid(16, 4) + "-" + hex.mid(20, 12));
    return "assets-library://asset/asset.JPG?id=" + id + "&ext=JPG";
}

}

// A photo stored while ids still held the inode stays stored: the row is
// taken over by today's URL as long as the file is the very one it was made
// from, and from then on a copy of the library keeps it. Another file under
// the name (or a copy made before the takeover) does not count.
TEST_F(FolderAssetsLibraryTest, APhotoStoredUnderTheInodeFormOfItsIdStaysStored)
{
    const QString file = path("exif.jpg");
    QByteArray bytes;
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        bytes = f.readAll();
    }
    auto photos = std::make_shared<FolderPhotoLibrary>(root);
    PavPhotoManager store(dir.filePath("photo"), photos);
    const QString former = inodeFormUrl(root, file);
    ASSERT_FALSE(former.isEmpty());
    ASSERT_TRUE(store.encryptAsset(*FakePhotoAsset::make(former, bytes)));

    // A copy made before the takeover has other inodes: not counted.
    const QString earlyCopy = dir.filePath("EarlyCopy");
    ASSERT_EQ(QProcess::execute("cp", {"-a", root, earlyCopy}), 0);
    FolderPhotoLibrary early(earlyCopy);
    EXPECT_FALSE(store.isEncrypted(*early.assetForFile(earlyCopy + "/exif.jpg")));

    const PhotoAssetPtr asset = photos->assetForFile(file);
    EXPECT_TRUE(store.isEncrypted(*asset));
    EXPECT_EQ(store.photoes().size(), 1);
    EXPECT_EQ(store.photoes().first()->photoURL(), asset->url());

    const QString copy = dir.filePath("Restored");
    ASSERT_EQ(QProcess::execute("cp", {"-a", root, copy}), 0);
    FolderPhotoLibrary copied(copy);
    EXPECT_TRUE(store.isEncrypted(*copied.assetForFile(copy + "/exif.jpg")));
    EXPECT_FALSE(store.isEncrypted(*copied.assetForFile(copy + "/rotated.jpg")));
}
