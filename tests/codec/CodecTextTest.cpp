#include "codec/Digest.h"
#include "codec/Hex.h"
#include "codec/UrlEscape.h"

#include <gtest/gtest.h>

TEST(CodecHex, EncodesHighNibbleFirstInEitherCase)
{
    const uint8_t bytes[] = {0x00, 0x0f, 0xa5, 0xff};
    EXPECT_EQ(codec_hex_encode(bytes, sizeof bytes), "000fa5ff");
    EXPECT_EQ(codec_hex_encode(bytes, sizeof bytes, true), "000FA5FF");
    EXPECT_EQ(codec_hex_encode(std::string_view()), "");
}

TEST(CodecHex, DecodesBothCasesAndRefusesMalformedText)
{
    const auto bytes = codec_hex_decode("00fFa5");
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, (std::vector<uint8_t>{0x00, 0xff, 0xa5}));
    EXPECT_TRUE(codec_hex_decode("")->empty());
    EXPECT_FALSE(codec_hex_decode("abc"));    // odd length
    EXPECT_FALSE(codec_hex_decode("0g"));     // not a digit
    EXPECT_FALSE(codec_hex_decode("0 "));
}

TEST(CodecDigest, MatchesPublishedVectors)
{
    EXPECT_EQ(codec_md5_hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(codec_md5_hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(codec_md5_hex("abc", true), "900150983CD24FB0D6963F7D28E17F72");
    EXPECT_EQ(codec_sha1_hex(""), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(codec_sha1_hex("abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    // Embedded zero bytes are part of the input.
    EXPECT_NE(codec_md5_hex(std::string_view("a\0b", 3)), codec_md5_hex("ab"));
}

TEST(CodecDigest, StreamAndKeyDerivationMatchPublishedVectors)
{
    // SHA-1 in pieces is the SHA-1 of the whole; the stream then starts over.
    CodecSha1Stream stream;
    stream.update("ab", 2);
    stream.update("c", 1);
    EXPECT_EQ(stream.finishHex(), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(stream.finishHex(), "da39a3ee5e6b4b0d3255bfef95601890afd80709");
    EXPECT_EQ(codec_pbkdf2_sha256_hex("passwd", "salt", 1, 64),
              "55ac046e56e3089fec1691c22544b605f94185216dde0465e68b9d57c20dacbc"
              "49ca9cccf179b645991664b39d77ef317c71b845b1e30bd509112041d3a19783");
}

TEST(CodecUrlEscape, KeepsLegalCharactersAndEscapesTheRest)
{
    EXPECT_EQ(codec_url_escape("AZaz09-_.!~*'()"), "AZaz09-_.!~*'()");
    EXPECT_EQ(codec_url_escape(";/?:@&=+$,#"), ";/?:@&=+$,#");
    EXPECT_EQ(codec_url_escape("a b"), "a%20b");
    EXPECT_EQ(codec_url_escape("100%"), "100%25");
    EXPECT_EQ(codec_url_escape("\"<>\\^`{|}[]"), "%22%3C%3E%5C%5E%60%7B%7C%7D%5B%5D");
    EXPECT_EQ(codec_url_escape("\xe4\xb8\xad"), "%E4%B8%AD");   // one CJK character in UTF-8
    EXPECT_EQ(codec_url_escape(std::string_view("\0\n", 2)), "%00%0A");
}
