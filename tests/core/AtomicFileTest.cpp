#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(AtomicFile, ReplacesWholeFileAndLeavesNoTemporaries)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/data.bin";
    ASSERT_TRUE(AtomicFile::write(path, QByteArray(100000, 'a')));
    ASSERT_TRUE(AtomicFile::write(path, "short"));
    QByteArray back;
    ASSERT_TRUE(RegularFile::read(path, 1 << 20, &back));
    EXPECT_EQ(back, "short");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"data.bin"});
}

TEST(AtomicFile, FailsIntoMissingFolderWithoutLeavingAnything)
{
    QTemporaryDir dir;
    QString error;
    EXPECT_FALSE(AtomicFile::write(dir.path() + "/missing/data.bin", "x", &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(AtomicFile::write(QString(), "x"));
    QByteArray out;
    EXPECT_FALSE(RegularFile::read(dir.path() + "/nothing", 1 << 20, &out));
}
