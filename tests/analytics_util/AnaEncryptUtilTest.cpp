#include "analytics/AnaEncrypt.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/SAXAnaEncryptUtil.h"

#include <gtest/gtest.h>

namespace {

struct Vector {
    const char* key;
    const char* plain;
    const char* cipherHex;
};

// Both keys have wrong DES parity bits; the cipher ignores parity.
const Vector kVectors[] = {
    {"#T%v!Q&2", "", "bd12302d2aa1fea7"},
    {"N[=W^W=]", "", "40b63929da22d292"},
    {"#T%v!Q&2", "12345678", "006ec0213c473b3132f71662c3326a8b"},
    {"#T%v!Q&2", "hello analytics payload", "f70724b0754aed671a8fb99b99220b539bf1e7d1f9da4817"},
    {"N[=W^W=]", "hello analytics payload", "615ff4a29e2768524440c754c3effb35b6843b5640cdccad"},
};

}

TEST(AnaEncryptUtil, DesKnownAnswersBothWays)
{
    for (const Vector& v : kVectors) {
        QByteArray plain(v.plain);
        EXPECT_EQ(AnaEncryptUtil::enCryptDES(plain, v.key).toHex(), QByteArray(v.cipherHex)) << v.plain;
        QByteArray back = AnaEncryptUtil::deCryptDES(QByteArray::fromHex(v.cipherHex), v.key);
        EXPECT_FALSE(back.isNull());
        EXPECT_EQ(back, plain);
    }
    AnaEncrypt* des = AnaEncryptUtil::getEncrypt(1);
    ASSERT_NE(des, nullptr);
    EXPECT_EQ(des->encrypt("12345678", "#T%v!Q&2").toHex(), "006ec0213c473b3132f71662c3326a8b");
    // Only the first eight key bytes count.
    EXPECT_EQ(AnaEncryptUtil::enCryptDES("12345678", "#T%v!Q&2tail").toHex(), "006ec0213c473b3132f71662c3326a8b");
}

TEST(AnaEncryptUtil, DesRejectsWrongKeysShortKeysAndBrokenInput)
{
    QByteArray cipher = QByteArray::fromHex("f70724b0754aed671a8fb99b99220b539bf1e7d1f9da4817");
    // Under the other key the last block's padding comes out invalid.
    EXPECT_TRUE(AnaEncryptUtil::deCryptDES(cipher, "N[=W^W=]").isNull());
    EXPECT_TRUE(AnaEncryptUtil::deCryptDES(QByteArray::fromHex("006ec0213c473b3132f71662c3326a8b"), "N[=W^W=]")
                    .isNull());
    EXPECT_TRUE(AnaEncryptUtil::enCryptDES("data", "short").isNull());
    EXPECT_TRUE(AnaEncryptUtil::deCryptDES(cipher, "").isNull());
    EXPECT_TRUE(AnaEncryptUtil::deCryptDES(cipher.left(13), "#T%v!Q&2").isNull());
    EXPECT_TRUE(AnaEncryptUtil::deCryptDES(QByteArray(), "#T%v!Q&2").isNull());
    // "12345678" enciphers to two blocks, the second eight bytes of 0x08. A
    // byte changed in the first cipher block changes the same byte of the
    // second plain block (CBC): a last byte of 0 or 7 is no PKCS#7 padding.
    for (char flip : {'\x08', '\x0f'}) {
        QByteArray bad = QByteArray::fromHex("006ec0213c473b3132f71662c3326a8b");
        bad[7] = char(bad.at(7) ^ flip);
        EXPECT_TRUE(AnaEncryptUtil::deCryptDES(bad, "#T%v!Q&2").isNull()) << int(flip);
    }
}

TEST(AnaEncryptUtil, FactoryDigestAndPassThrough)
{
    EXPECT_EQ(AnaEncryptUtil::getEncrypt(0), nullptr);
    EXPECT_EQ(AnaEncryptUtil::getEncrypt(2), nullptr);
    EXPECT_EQ(AnaEncryptUtil::getEncrypt(1), AnaEncryptUtil::getEncrypt(1));
    EXPECT_EQ(AnaEncryptUtil::MD5("abc"), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(AnaEncryptUtil::MD5(""), "D41D8CD98F00B204E9800998ECF8427E");
    SAXAnaEncryptUtil sax;
    EXPECT_EQ(sax.encrypt("raw", "k"), "raw");
    EXPECT_EQ(sax.decrypt("raw", "k"), "raw");
}
