// A start over a library holding JPEG bombs: three files of a few kilobytes,
// progressive, whose headers claim 65000 x 8000 pixels (any decode of one
// keeps 1.5 GB of coefficients), beside a camera photo, and one more bomb
// among the private album's items with no row, for the start's repair.

#include "Public/PavEncryptManager.h"
#include "albums/store/PavPhotoManager.h"
#include "albums/store/PavPhotoModel.h"
#include "support/ChildProcess.h"
#include "support/ImageFixtures.h"
#include "support/JpegBomb.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(DecodeBombStart, ThreeJpegBombsInTheLibraryShowTheirPlaceholderAndTheStartStaysUnderAGibibyte)
{
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    const QString library = dir.filePath("Pictures");
    ASSERT_TRUE(QDir().mkpath(library));
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(ImageFixtures::writeFile(QStringLiteral("%1/BOMB_%2.JPG").arg(library).arg(i),
                                             jpegClaiming(65000, 8000)));
    ASSERT_TRUE(ImageFixtures::writeFile(library + "/IMG_0001.JPG", ImageFixtures::jpeg(4000, 3000)));
    const QString album = home + "/Documents/photo";
    ASSERT_TRUE(QDir().mkpath(album));
    ASSERT_TRUE(PavEncryptManager::writeData(jpegClaiming(65000, 8000), album + "/" + PavPhotoModel::createFileUUID()));

    const ChildResult run = ChildProcess::run(
        "decode_bombs_child", {"--home", home, "--library", library, "--disk-root", dir.filePath("disk")}, 240000,
        {"TILES=4", "QT_QPA_PLATFORM=offscreen"});
    ASSERT_FALSE(run.hung) << run.output.toStdString();
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    EXPECT_TRUE(run.output.contains("tiles 4 placeholders 3 pictures 1\n")) << run.output.toStdString();
    const qsizetype at = run.output.indexOf("peak ");
    ASSERT_GE(at, 0) << run.output.toStdString();
    const qint64 peakKb = run.output.mid(at + 5).trimmed().toLongLong();
    EXPECT_GT(peakKb, 0);
    EXPECT_LT(peakKb, 1024 * 1024) << "peak " << peakKb / 1024 << " MB";

    // The private album's bomb is a photo it cannot show, kept in place.
    PavPhotoManager store(album, nullptr);
    const PavPhotoModelList items = store.photoes();
    ASSERT_EQ(items.size(), 1);
    EXPECT_EQ(items[0]->photoType(), PavPhotoModel::Photo);
    EXPECT_TRUE(QDir(album + "/Quarantine").entryList(QDir::Files).isEmpty());
}
