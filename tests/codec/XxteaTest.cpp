#include "codec/Xxtea.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
std::vector<uint8_t> encrypt(const std::string& plain, const CodecXxteaKey& key)
{
    std::vector<uint8_t> out(codec_xxtea_padded_size(plain.size()));
    codec_xxtea_encrypt_padded(reinterpret_cast<const uint8_t*>(plain.data()), plain.size(), out.data(), key);
    return out;
}
}

TEST(Xxtea, KnownAnswerForAllZeroKeyAndBlock)
{
    // Published XXTEA test vector: zero key, two zero words.
    uint32_t v[2] = {0, 0};
    CodecXxteaKey key{{0, 0, 0, 0}};
    codec_xxtea_encrypt(v, 2, key);
    EXPECT_EQ(v[0], 0x053704abu);
    EXPECT_EQ(v[1], 0x575d8c80u);
    codec_xxtea_decrypt(v, 2, key);
    EXPECT_EQ(v[0], 0u);
    EXPECT_EQ(v[1], 0u);
}

TEST(Xxtea, PaddedLengthsAndTrailer)
{
    EXPECT_EQ(codec_xxtea_padded_size(0), 4u);
    EXPECT_EQ(codec_xxtea_padded_size(1), 8u);
    EXPECT_EQ(codec_xxtea_padded_size(4), 8u);
    EXPECT_EQ(codec_xxtea_padded_size(5), 12u);
    const CodecXxteaKey key = codec_xxtea_key("abcdefg");
    for (size_t n : {0u, 1u, 3u, 4u, 5u, 8u, 1000u, 4097u}) {
        std::string plain(n, '\0');
        for (size_t i = 0; i < n; ++i)
            plain[i] = char('a' + i % 26);
        auto cipher = encrypt(plain, key);
        ASSERT_EQ(cipher.size(), codec_xxtea_padded_size(n));
        std::vector<uint8_t> back(cipher.size());
        const long len = codec_xxtea_decrypt_padded(cipher.data(), cipher.size(), back.data(), key);
        ASSERT_EQ(len, long(n));
        EXPECT_EQ(std::string(reinterpret_cast<char*>(back.data()), n), plain);
    }
}

TEST(Xxtea, RejectsBadSizesAndWrongKeys)
{
    const CodecXxteaKey key = codec_xxtea_key("abcdefg");
    auto cipher = encrypt(std::string(40, 'x'), key);
    std::vector<uint8_t> out(cipher.size());
    EXPECT_EQ(codec_xxtea_decrypt_padded(cipher.data(), 3, out.data(), key), kCodecXxteaBadPadding);
    EXPECT_EQ(codec_xxtea_decrypt_padded(cipher.data(), 41, out.data(), key), kCodecXxteaBadPadding);
    const CodecXxteaKey other = codec_xxtea_key("gfedcba");
    EXPECT_EQ(codec_xxtea_decrypt_padded(cipher.data(), cipher.size(), out.data(), other), kCodecXxteaBadPadding);
}

TEST(Xxtea, LongKeyStringsUseTheirDigest)
{
    const CodecXxteaKey shortKey = codec_xxtea_key("abc");
    EXPECT_EQ(shortKey.k[0], uint32_t('a') | uint32_t('b') << 8 | uint32_t('c') << 16);
    EXPECT_EQ(shortKey.k[1], 0u);
    const CodecXxteaKey exact = codec_xxtea_key("0123456789abcdef");
    EXPECT_EQ(exact.k[3], uint32_t('c') | uint32_t('d') << 8 | uint32_t('e') << 16 | uint32_t('f') << 24);
    // Longer than 16: the MD5 digest 461f13e3 e373ff0a b8a21928 3afe33db, read
    // as little-endian words; a block enciphered under it matches an
    // independent XXTEA.
    const CodecXxteaKey longer = codec_xxtea_key("0123456789abcdefg");
    EXPECT_EQ(longer.k[0], 0xe3131f46u);
    EXPECT_EQ(longer.k[1], 0x0aff73e3u);
    EXPECT_EQ(longer.k[2], 0x2819a2b8u);
    EXPECT_EQ(longer.k[3], 0xdb33fe3au);
    uint32_t block[2] = {0x64636261u, 0x68676665u};   // "abcdefgh"
    codec_xxtea_encrypt(block, 2, longer);
    EXPECT_EQ(block[0], 0x6ff49d05u);
    EXPECT_EQ(block[1], 0x57eda140u);
}
