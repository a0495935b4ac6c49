#include "support/KelTestUtil.h"

#include "analytics/kel/KelDecodeException.h"

using namespace analyticsrov;

TEST(KelWriter, HeadFormsBelowAndFromTag15)
{
    KelOutputStream os;
    os.writeHead(KelInt32, 0);
    os.writeHead(KelStructEnd, 14);
    os.writeHead(KelString1, 15);
    os.writeHead(KelMap, 255);
    EXPECT_EQ(toHex(os.bytes()), "02 EB F6 0F F8 FF");
    EXPECT_THROW(os.writeHead(KelChar, 256), KelDecodeException);
}

TEST(KelWriter, IntegersTakeTheNarrowestForm)
{
    EXPECT_EQ(encodedHex(int8_t(0), 1), "1C");
    EXPECT_EQ(encodedHex(int8_t(-1), 1), "10 FF");
    EXPECT_EQ(encodedHex(true, 0), "00 01");
    EXPECT_EQ(encodedHex(false, 0), "0C");
    EXPECT_EQ(encodedHex(int16_t(127), 0), "00 7F");
    EXPECT_EQ(encodedHex(int16_t(-128), 0), "00 80");
    EXPECT_EQ(encodedHex(int16_t(128), 0), "01 00 80");
    EXPECT_EQ(encodedHex(int16_t(-129), 0), "01 FF 7F");
    EXPECT_EQ(encodedHex(int32_t(32767), 0), "01 7F FF");
    EXPECT_EQ(encodedHex(int32_t(-32768), 0), "01 80 00");
    EXPECT_EQ(encodedHex(int32_t(32768), 0), "02 00 00 80 00");
    EXPECT_EQ(encodedHex(int32_t(-32769), 0), "02 FF FF 7F FF");
    EXPECT_EQ(encodedHex(int64_t(0), 3), "3C");
    EXPECT_EQ(encodedHex(int64_t(2147483647), 0), "02 7F FF FF FF");
    EXPECT_EQ(encodedHex(int64_t(-2147483648LL), 0), "02 80 00 00 00");
    EXPECT_EQ(encodedHex(int64_t(2147483648LL), 0), "03 00 00 00 00 80 00 00 00");
    EXPECT_EQ(encodedHex(int64_t(1700000000000LL), 3), "33 00 00 01 8B CF E5 68 00");
}

TEST(KelWriter, FloatsAreNeverCompacted)
{
    EXPECT_EQ(encodedHex(0.5f, 0), "04 3F 00 00 00");
    EXPECT_EQ(encodedHex(0.0f, 1), "14 00 00 00 00");
    EXPECT_EQ(encodedHex(1.0, 2), "25 3F F0 00 00 00 00 00 00");
}

TEST(KelWriter, StringsSwitchToFourByteLengthAt256)
{
    const std::string s255(255, 'a');
    const std::string s256(256, 'b');
    EXPECT_EQ(encodedHex(std::string(), 6), "66 00");
    EXPECT_EQ(encodedHex(s255, 0).substr(0, 8), "06 FF 61");
    EXPECT_EQ(encodedHex(s255, 0).size(), (2 + 255) * 3 - 1);
    EXPECT_EQ(encodedHex(s256, 0).substr(0, 17), "07 00 00 01 00 62");
    EXPECT_EQ(encodedHex(s256, 0).size(), (5 + 256) * 3 - 1);
}

TEST(KelWriter, BytesAreASimpleList)
{
    EXPECT_EQ(encodedHex(KelBytes{1, 2, 3}, 2), "2D 00 00 03 01 02 03");
    EXPECT_EQ(encodedHex(KelBytes{}, 0), "0D 00 0C");
}

TEST(KelWriter, MapsGoInAscendingKeyOrder)
{
    std::map<std::string, std::string> m{{"b", "2"}, {"a", "1"}};
    EXPECT_EQ(encodedHex(m, 9), "98 00 02 06 01 61 16 01 31 06 01 62 16 01 32");
    std::map<int32_t, bool> flags{{300, true}, {-1, false}};
    EXPECT_EQ(encodedHex(flags, 0), "08 00 02 00 FF 1C 01 01 2C 10 01");
    EXPECT_EQ(encodedHex(std::map<int32_t, KelBytes>{}, 0), "08 0C");
}

TEST(KelWriter, ListsOfStructsWriteEachAtTagZero)
{
    SampleStruct a;
    a.id = 1;
    a.stamp = 2;
    std::vector<SampleStruct> list{a, a};
    const std::string one = "0A 00 01 16 00 29 0C 38 0C 4D 00 0C 50 02 0B";
    EXPECT_EQ(encodedHex(list, 4), "49 00 02 " + one + " " + one);
}

TEST(KelWriter, OverlongStringFailsWithItsText)
{
    const std::string huge(kKelMaxStringLength + 1, 'x');
    EXPECT_EQ(errorOf([&] { encodedHex(huge, 3); }), "invalid string size, tag: 3, size: 104857601");
}
