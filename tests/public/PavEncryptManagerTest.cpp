#include "Public/PavEncryptManager.h"
#include "codec/Xxtea.h"
#include "support/AddressSpaceCap.h"
#include "support/ImageFixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace {
QByteArray sample(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(i * 7 + 3);
    if (size >= 2) {   // a JPEG start, which must not show on disk
        bytes[0] = char(0xFF);
        bytes[1] = char(0xD8);
    }
    return bytes;
}

using ImageFixtures::readFile;
using ImageFixtures::writeFile;

class PavEncryptManagerTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.path() + "/" + name; }
    QTemporaryDir m_dir;
};
}

TEST_F(PavEncryptManagerTest, RoundTripsAndStoresThePaddedLength)
{
    for (int n : {1, 3, 4, 5, 8, 1000, 65537}) {
        const QByteArray plain = sample(n);
        const QString file = path(QString("item%1").arg(n));
        ASSERT_TRUE(PavEncryptManager::writeData(plain, file)) << n;
        const QByteArray onDisk = readFile(file);
        EXPECT_EQ(onDisk.size(), (n + 7) / 4 * 4) << n;
        if (n >= 2) {
            EXPECT_FALSE(onDisk.startsWith(plain.left(2))) << n;
        }
        EXPECT_EQ(PavEncryptManager::readDataFromPath(file), plain) << n;
    }
}

TEST_F(PavEncryptManagerTest, OnDiskFormatIsPaddedXxteaWithTheLengthTrailer)
{
    // Files written by any build must open in any other: the format and the
    // fixed key are part of the data.
    const QByteArray plain = sample(10);
    const QString file = path("format");
    ASSERT_TRUE(PavEncryptManager::writeData(plain, file));
    QByteArray words = readFile(file);
    ASSERT_EQ(words.size(), 16);
    std::vector<uint32_t> v(4);
    for (int i = 0; i < 4; ++i)
        v[i] = uint32_t(uint8_t(words[4 * i])) | uint32_t(uint8_t(words[4 * i + 1])) << 8
             | uint32_t(uint8_t(words[4 * i + 2])) << 16 | uint32_t(uint8_t(words[4 * i + 3])) << 24;
    codec_xxtea_decrypt(v.data(), v.size(), codec_xxtea_key("pdOlv07"));
    QByteArray clear(16, '\0');
    for (int i = 0; i < 16; ++i)
        clear[i] = char(v[i / 4] >> (8 * (i % 4)));
    EXPECT_EQ(clear.left(10), plain);
    EXPECT_EQ(clear.mid(10, 2), QByteArray(2, '\0'));
    EXPECT_EQ(v[3], 10u);   // plain length, little-endian last word
}

TEST_F(PavEncryptManagerTest, RefusesMissingDataOrPathAndWritesNothing)
{
    EXPECT_FALSE(PavEncryptManager::writeData(QByteArray(), path("null")));
    EXPECT_FALSE(PavEncryptManager::writeData(QByteArray(""), path("empty")));
    EXPECT_FALSE(PavEncryptManager::writeData(sample(8), QString()));
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty());

    ASSERT_TRUE(writeFile(path("blocker"), "x"));
    EXPECT_FALSE(PavEncryptManager::writeData(sample(8), path("blocker/inside")));
}

TEST_F(PavEncryptManagerTest, ReadGivesNothingForMissingEmptyOrDamagedFiles)
{
    EXPECT_TRUE(PavEncryptManager::readDataFromPath(QString()).isNull());
    EXPECT_TRUE(PavEncryptManager::readDataFromPath(path("missing")).isNull());

    ASSERT_TRUE(writeFile(path("empty"), QByteArray()));
    EXPECT_TRUE(PavEncryptManager::readDataFromPath(path("empty")).isNull());

    ASSERT_TRUE(writeFile(path("odd"), QByteArray(7, 'a')));
    EXPECT_TRUE(PavEncryptManager::readDataFromPath(path("odd")).isNull());

    // A lone word is a length in clear, never an enciphered file.
    ASSERT_TRUE(writeFile(path("oneword"), QByteArray(4, '\0')));
    EXPECT_TRUE(PavEncryptManager::readDataFromPath(path("oneword")).isNull());

    // One changed byte spreads over every word, the trailer included.
    const QString file = path("damaged");
    ASSERT_TRUE(PavEncryptManager::writeData(sample(100), file));
    QByteArray bytes = readFile(file);
    bytes[50] = char(bytes[50] ^ 0x01);
    ASSERT_TRUE(writeFile(file, bytes));
    EXPECT_TRUE(PavEncryptManager::readDataFromPath(file).isNull());

    QByteArray plain;
    EXPECT_FALSE(PavEncryptManager::decryptData(PavEncryptManager::encryptData(sample(20)).left(20), &plain));
}

TEST_F(PavEncryptManagerTest, WithoutMemoryForTheResultNothingIsWrittenAndTheBytesAreNotJudged)
{
    if (!AddressSpaceCap::supported())
        GTEST_SKIP() << "no address-space cap under a sanitizer";
    constexpr int kSize = 64 << 20;
    const QByteArray plain = sample(kSize);
    const QByteArray cipher = PavEncryptManager::encryptData(plain);
    ASSERT_TRUE(writeFile(path("item"), cipher));

    QByteArray encrypted;
    QByteArray deciphered;
    bool written = true;
    bool decrypted = true;
    bool tried = true;
    {
        AddressSpaceCap cap(16 << 20);
        ASSERT_TRUE(cap.isSet());
        encrypted = PavEncryptManager::encryptData(plain);
        written = PavEncryptManager::writeData(plain, path("new"));
        decrypted = PavEncryptManager::decryptData(cipher, &deciphered, &tried);
    }
    EXPECT_TRUE(encrypted.isEmpty());
    EXPECT_FALSE(written);
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).contains("item"));
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
    EXPECT_FALSE(decrypted);
    EXPECT_FALSE(tried);

    // Less room than the file takes: it is not judged. Room for it once is
    // enough, as it is deciphered where it was read.
    bool readable = true;
    QByteArray read;
    {
        AddressSpaceCap cap(32 << 20);
        ASSERT_TRUE(cap.isSet());
        read = PavEncryptManager::readDataFromPath(path("item"), &readable);
    }
    EXPECT_TRUE(read.isNull());
    EXPECT_FALSE(readable);
    {
        AddressSpaceCap cap(96 << 20);
        ASSERT_TRUE(cap.isSet());
        read = PavEncryptManager::readDataFromPath(path("item"), &readable);
    }
    EXPECT_TRUE(readable);
    EXPECT_EQ(read, plain);

    // With memory the same bytes decipher, and bytes cut short are judged.
    EXPECT_TRUE(PavEncryptManager::decryptData(cipher, &deciphered, &tried));
    EXPECT_TRUE(tried);
    EXPECT_TRUE(deciphered == plain);
    EXPECT_FALSE(PavEncryptManager::decryptData(cipher.left(20), &deciphered, &tried));
    EXPECT_TRUE(tried);
}
