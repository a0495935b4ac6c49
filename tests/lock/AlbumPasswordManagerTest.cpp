#include "LockFixture.h"

#include "Public/PavEncryptManager.h"
#include "support/ImageFixtures.h"


namespace {

using PasswordFileTest = LockFixture;

TEST_F(PasswordFileTest, StoresOnlyTheEncipheredUtf8BytesAndUnlocks)
{
    const AlbumPasswordFile& file = manager->passwordFile();
    EXPECT_EQ(file.path(), dir.path() + "/photo/uid");
    EXPECT_FALSE(file.exists());
    EXPECT_FALSE(manager->hasVerified());

    ASSERT_TRUE(manager->save("0123"));
    EXPECT_TRUE(manager->hasVerified());
    EXPECT_TRUE(file.exists());
    EXPECT_EQ(PavEncryptManager::readDataFromPath(file.path()), QByteArray("0123"));
    EXPECT_FALSE(ImageFixtures::readFile(file.path()).contains("0123"));

    ASSERT_TRUE(manager->save("9876"));
    EXPECT_EQ(file.read(), "9876");
}

TEST_F(PasswordFileTest, VerifyMatchesExactlyAndOnlyAMatchUnlocks)
{
    ASSERT_TRUE(manager->save("1234"));
    manager->setHasVerified(false);

    for (const QString& wrong : {QString(), QString("123"), QString("12345"), QString(" 1234")})
        EXPECT_FALSE(manager->verifyPassword(wrong));
    EXPECT_FALSE(manager->hasVerified());

    EXPECT_TRUE(manager->verifyPassword("1234"));
    EXPECT_TRUE(manager->hasVerified());
    // A later mismatch leaves the album unlocked.
    EXPECT_FALSE(manager->verifyPassword("0000"));
    EXPECT_TRUE(manager->hasVerified());
}

TEST_F(PasswordFileTest, UnreadableFilesMeanNoPassword)
{
    ASSERT_TRUE(manager->save("1234"));
    const QString path = manager->passwordFile().path();
    QByteArray bytes = ImageFixtures::readFile(path);
    bytes[bytes.size() - 1] = char(bytes[bytes.size() - 1] ^ 0x5a);   // bad trailer
    ASSERT_TRUE(ImageFixtures::writeFile(path, bytes));
    EXPECT_FALSE(manager->passwordFile().exists());
    EXPECT_TRUE(manager->passwordFile().read().isNull());
    EXPECT_FALSE(manager->verifyPassword("1234"));

    ASSERT_TRUE(ImageFixtures::writeFile(path, QByteArray()));   // empty file
    EXPECT_FALSE(manager->passwordFile().exists());
}

TEST_F(PasswordFileTest, FailedWritesKeepTheOldPasswordAndTheLock)
{
    ASSERT_TRUE(manager->save("1111"));
    manager->setHasVerified(false);

    failWrites = true;
    EXPECT_FALSE(manager->save("2222"));
    EXPECT_FALSE(manager->hasVerified());
    EXPECT_EQ(manager->passwordFile().read(), "1111");

    // A real failure: the album folder's name is taken by a plain file.
    QTemporaryDir other;
    ASSERT_TRUE(ImageFixtures::writeFile(other.path() + "/photo", "not a folder"));
    PavAlbumPasswordManager blocked(AlbumPasswordFile([&] { return other.path(); }),
                                    AlbumRecoveryBinding([this]() -> UserDefaults& { return defaults; }));
    EXPECT_FALSE(blocked.save("3333"));
    EXPECT_FALSE(blocked.hasVerified());
    EXPECT_FALSE(blocked.passwordFile().exists());
}

using RecoveryBindingTest = LockFixture;

TEST_F(RecoveryBindingTest, TruthTable)
{
    const AlbumRecoveryBinding& b = manager->binding();
    EXPECT_FALSE(b.usedBinding());
    EXPECT_FALSE(b.hasBinded());
    EXPECT_TRUE(b.getBinding().isNull());

    b.initBinding();
    EXPECT_TRUE(defaults.contains("SecretAlbumBindingKy"));
    EXPECT_TRUE(b.usedBinding());
    EXPECT_FALSE(b.hasBinded());
    EXPECT_TRUE(b.getBinding().isNull());

    b.setBinding("12345");
    EXPECT_TRUE(b.usedBinding());
    EXPECT_TRUE(b.hasBinded());
    EXPECT_EQ(b.getBinding(), "12345");

    b.initBinding();   // never overwrites a stored account
    EXPECT_EQ(b.getBinding(), "12345");

    b.removeBinding();
    EXPECT_EQ(defaults.stringForKey("SecretAlbumBindingKy"), "");
    EXPECT_TRUE(b.usedBinding());
    EXPECT_FALSE(b.hasBinded());
}

TEST_F(RecoveryBindingTest, ANonStringValueCountsAsNeverInitialised)
{
    defaults.setInteger("SecretAlbumBindingKy", 12345);
    const AlbumRecoveryBinding& b = manager->binding();
    EXPECT_FALSE(b.usedBinding());
    EXPECT_TRUE(b.getBinding().isNull());
    b.initBinding();
    EXPECT_EQ(defaults.objectForKey("SecretAlbumBindingKy"), QVariant(QString("")));
}

}
