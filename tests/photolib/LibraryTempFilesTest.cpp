#include "platform/photolib/LibraryTempFiles.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <unistd.h>

namespace {

// A name a save of a process that is gone leaves behind.
const QString kLeftover = QStringLiteral(".IMG_20260101_101010.4194999.3.pavtmp");

bool exists(const QString& path)
{
    return QFileInfo(path).exists() || QFileInfo(path).isSymLink();
}

}

TEST(LibraryTempFiles, TheSweepRemovesRealLeftoversAndFollowsNoLink)
{
    QTemporaryDir library;
    QTemporaryDir elsewhere;   // a folder of the user's outside the library
    const QString root = library.path();
    ASSERT_TRUE(QDir().mkpath(root + "/Trip"));
    ASSERT_TRUE(ImageFixtures::writeFile(root + "/" + kLeftover, "partial"));
    ASSERT_TRUE(ImageFixtures::writeFile(root + "/Trip/" + kLeftover, "partial"));
    ASSERT_TRUE(ImageFixtures::writeFile(elsewhere.path() + "/" + kLeftover, "not ours"));
    ASSERT_TRUE(ImageFixtures::writeFile(elsewhere.path() + "/target.jpg", "not ours"));

    // An album that is a link to the other folder, and a link named like a
    // leftover pointing at one of its files.
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path()).constData(),
                        QFile::encodeName(root + "/Linked").constData()), 0);
    const QString linkName = QStringLiteral(".IMG_20260101_101011.4194999.4.pavtmp");
    ASSERT_EQ(::symlink(QFile::encodeName(elsewhere.path() + "/target.jpg").constData(),
                        QFile::encodeName(root + "/" + linkName).constData()), 0);

    EXPECT_EQ(LibraryTempFiles::removeLeftovers(root), 2);
    EXPECT_FALSE(exists(root + "/" + kLeftover));
    EXPECT_FALSE(exists(root + "/Trip/" + kLeftover));
    EXPECT_TRUE(exists(elsewhere.path() + "/" + kLeftover));
    EXPECT_TRUE(exists(root + "/" + linkName));
    EXPECT_EQ(ImageFixtures::readFile(elsewhere.path() + "/target.jpg"), "not ours");
}

TEST(LibraryTempFiles, ALibraryThatIsALinkIsSweptAsTheFolderTheUserChose)
{
    QTemporaryDir real;
    QTemporaryDir holder;
    ASSERT_TRUE(ImageFixtures::writeFile(real.path() + "/" + kLeftover, "partial"));
    const QString root = holder.path() + "/Pictures";
    ASSERT_EQ(::symlink(QFile::encodeName(real.path()).constData(), QFile::encodeName(root).constData()), 0);

    EXPECT_EQ(LibraryTempFiles::removeLeftovers(root), 1);
    EXPECT_FALSE(exists(real.path() + "/" + kLeftover));
}
