#include "platform/photolib/LibraryTempFiles.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

TEST(LibraryTempFiles, TheSweepRemovesRealLeftoversAndFollowsNoLink)
{
    QTemporaryDir library;
    QTemporaryDir elsewhere;   // a folder of the user's outside the library
    const QString root = library.path();
    const QString leftover = ".IMG_20260101_101010.4194999.3.pavtmp";   // of a process that is gone
    const QString linkName = ".IMG_20260101_101011.4194999.4.pavtmp";
    ASSERT_TRUE(QDir().mkpath(root + "/Trip"));
    for (const QString& path : {root + "/" + leftover, root + "/Trip/" + leftover, elsewhere.path() + "/" + leftover,
                                elsewhere.path() + "/target.jpg"})
        ASSERT_TRUE(ImageFixtures::writeFile(path, "bytes"));
    // An album that is a link to the other folder, and a link named like a
    // leftover pointing at one of its files.
    ASSERT_TRUE(QFile::link(elsewhere.path(), root + "/Linked"));
    ASSERT_TRUE(QFile::link(elsewhere.path() + "/target.jpg", root + "/" + linkName));

    EXPECT_EQ(LibraryTempFiles::removeLeftovers(root), 2);
    EXPECT_FALSE(QFileInfo::exists(root + "/" + leftover));
    EXPECT_FALSE(QFileInfo::exists(root + "/Trip/" + leftover));
    EXPECT_TRUE(QFileInfo::exists(elsewhere.path() + "/" + leftover));
    EXPECT_TRUE(QFileInfo(root + "/" + linkName).isSymLink());
    EXPECT_EQ(ImageFixtures::readFile(elsewhere.path() + "/target.jpg"), "bytes");
}
