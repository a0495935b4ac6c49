#include "support/KelTestUtil.h"

using namespace analyticsrov;

namespace {

template <typename T>
T readFrom(const std::string& hex, uint32_t tag, bool require = true)
{
    const KelBytes bytes = fromHex(hex);
    KelInputStream is(bytes);
    T value{};
    is.read(value, tag, require);
    return value;
}

template <typename T>
std::string readError(const std::string& hex, uint32_t tag)
{
    return errorOf([&] { readFrom<T>(hex, tag); });
}

template <typename T>
T roundTrip(const T& value)
{
    KelOutputStream os;
    os.write(value, 7);
    KelInputStream is(os.bytes());
    T out{};
    is.read(out, 7, true);
    return out;
}

}

TEST(KelReader, RoundTripsEveryType)
{
    for (int64_t v : {0LL, 1LL, -1LL, 127LL, 128LL, -32769LL, 2147483647LL, 2147483648LL, -9000000000000LL})
        EXPECT_EQ(roundTrip(v), v);
    EXPECT_EQ(roundTrip(int32_t(-70000)), -70000);
    EXPECT_EQ(roundTrip(int16_t(-300)), -300);
    EXPECT_EQ(roundTrip(int8_t(-5)), -5);
    EXPECT_TRUE(roundTrip(true));
    EXPECT_FLOAT_EQ(roundTrip(0.25f), 0.25f);
    EXPECT_DOUBLE_EQ(roundTrip(-2.5), -2.5);
    EXPECT_EQ(roundTrip(std::string(300, 'z')), std::string(300, 'z'));
    EXPECT_EQ(roundTrip(KelBytes{0, 255, 7}), (KelBytes{0, 255, 7}));
    const std::map<int32_t, KelBytes> bytesMap{{3, {1, 2}}, {-8, {}}};
    EXPECT_EQ(roundTrip(bytesMap), bytesMap);
    const std::map<std::string, std::map<std::string, KelBytes>> nested{{"k", {{"t", {9}}}}};
    EXPECT_EQ(roundTrip(nested), nested);

    SampleStruct s;
    s.id = 70000;
    s.name = "name";
    s.tags = {"a", std::string(256, 'b')};
    s.flags = {{1, true}, {2, false}};
    s.blob = {1, 2, 3};
    s.stamp = -5000000000LL;
    EXPECT_EQ(roundTrip(std::vector<SampleStruct>{s, SampleStruct{}}), (std::vector<SampleStruct>{s, SampleStruct{}}));
}

TEST(KelReader, IntegerReadersSignExtendNarrowerTypes)
{
    EXPECT_EQ(readFrom<int64_t>("00 FF", 0), -1);
    EXPECT_EQ(readFrom<int64_t>("01 FF 7F", 0), -129);
    EXPECT_EQ(readFrom<int64_t>("02 FF FF 7F FF", 0), -32769);
    EXPECT_EQ(readFrom<int64_t>("03 FF FF FF FF 7F FF FF FF", 0), -2147483649LL);
    EXPECT_EQ(readFrom<int64_t>("0C", 0), 0);
    EXPECT_EQ(readFrom<int32_t>("01 80 00", 0), -32768);
    EXPECT_EQ(readFrom<int16_t>("00 80", 0), -128);
    EXPECT_EQ(readFrom<int8_t>("0C", 0), 0);
    EXPECT_TRUE(readFrom<bool>("00 02", 0));
}

TEST(KelReader, TypeMismatchTexts)
{
    EXPECT_EQ(readError<int8_t>("21 00 01", 2), "read 'Char' type mismatch, tag: 2, get type: 1.");
    EXPECT_EQ(readError<int16_t>("02 00 00 00 01", 0), "read 'Short' type mismatch, tag: 0, get type: 2.");
    EXPECT_EQ(readError<int32_t>("03 00 00 00 00 00 00 00 01", 0),
              "read 'Int32' type mismatch, tag: 0, get type: 3.");
    EXPECT_EQ(readError<int64_t>("06 00", 0), "read 'Int64' type mismatch, tag: 0, get type: 6.");
    EXPECT_EQ(readError<float>("05 00 00 00 00 00 00 00 00", 0), "read 'Float' type mismatch, tag: 0, get type: 5.");
    EXPECT_EQ(readError<std::string>("00 01", 0), "read 'string' type mismatch, tag: 0, get type: 0.");
    EXPECT_EQ((readError<std::map<int32_t, bool>>("09 0C", 0)), "read 'map' type mismatch, tag: 0, get type: 9.");
    EXPECT_EQ(readError<std::vector<std::string>>("08 0C", 0), "read 'vector' type mismatch, tag: 0, get type: 8.");
    EXPECT_EQ(readError<SampleStruct>("09 0C", 0), "read 'struct' type mismatch, tag: 0, get type: 9.");
    EXPECT_EQ(readError<KelBytes>("06 00", 0), "type mismatch, tag: 0, type: 6");
    EXPECT_EQ(readError<KelBytes>("0D 01 00 01", 0), "type mismatch, tag: 0, type: 13, 1");
}

TEST(KelReader, RequiredFieldTexts)
{
    EXPECT_EQ(readError<int32_t>("10 01", 0), "require field not exist, tag: 0");
    EXPECT_EQ(readError<int8_t>("10 01", 0), "require field not exist, tag: 0.");
    EXPECT_EQ(readError<std::string>("", 4), "require field not exist, tag: 4");
    // Absent optional fields keep their value; lower tags are skipped.
    EXPECT_EQ(readFrom<int32_t>("06 02 61 62 19 00 01 06 01 78 2C 30 07", 3), 7);
    EXPECT_EQ(readFrom<int32_t>("40 07", 3, false), 0);
    // A struct's missing required field.
    EXPECT_EQ(readError<SampleStruct>("0A 00 01 0B", 0), "require field not exist, tag: 5");
}

TEST(KelReader, SizeErrorTexts)
{
    EXPECT_EQ(readError<std::string>("07 FF FF FF FF", 0), "invalid string size, tag: 0, size: -1");
    EXPECT_EQ(readError<std::string>("07 06 40 00 01", 0), "invalid string size, tag: 0, size: 104857601");
    EXPECT_EQ(readError<std::string>("06 05 61 62", 0), "invalid string size, tag: 0, size: 5");
    EXPECT_EQ((readError<std::map<int32_t, bool>>("08 00 FF", 0)), "invalid map, tag: 0, size: -1");
    EXPECT_EQ(readError<std::vector<std::string>>("09 00 FF", 0), "invalid size, tag: 0, type: 9, size: -1");
    EXPECT_EQ(readError<KelBytes>("0D 00 00 FF", 0), "invalid size, tag: 0, type: 13, 0, size: -1");
    EXPECT_EQ(readError<KelBytes>("09 00 FF", 0), "invalid size, tag: 0, type: 9, size: -1");
    // The other form of bytes: a list of chars.
    EXPECT_EQ(readFrom<KelBytes>("09 00 02 00 05 0C", 0), (KelBytes{5, 0}));
}

TEST(KelReader, SkipFieldTexts)
{
    KelBytes bytes = fromHex("0E");
    KelInputStream is(bytes);
    EXPECT_EQ(errorOf([&] { is.skipField(); }), "skipField with invalid type, type value:14.");
    bytes = fromHex("0D 01 00 01");
    is.reset(bytes.data(), bytes.size());
    EXPECT_EQ(errorOf([&] { is.skipField(); }), "skipField with invalid type, type value: 13, 1.");
}

TEST(KelReader, AFieldSkippedOnTheWayMustBeValid)
{
    // A field of the unknown type 14 before the wanted tag 1: an error for
    // a required field and for an optional one, never "absent".
    EXPECT_EQ(readError<int32_t>("0E 12 00 00 00 05", 1), "skipField with invalid type, type value:14.");
    EXPECT_EQ(errorOf([] { readFrom<int32_t>("0E 10 05", 1, false); }), "skipField with invalid type, type value:14.");
    // A simple list whose element head is not a char.
    EXPECT_EQ(readError<std::string>("0D 01 00 01 16 01 61", 1), "skipField with invalid type, type value: 13, 1.");
    std::string deep;
    for (int i = 0; i < 100; ++i)
        deep += "0A ";
    EXPECT_EQ(readError<int32_t>(deep, 1).rfind("invalid nesting depth", 0), 0u);
    // Data that ends inside a skipped field is still absence.
    EXPECT_EQ(readFrom<int32_t>("06 09 61", 1, false), 0);
    EXPECT_EQ(readError<int32_t>("06 09 61", 1), "require field not exist, tag: 1");
}

TEST(KelReader, DataEndingInsideAValueFailsWithTheOverflowText)
{
    EXPECT_EQ(readError<int32_t>("02 00 01", 0), "buffer overflow when peekBuf, over 5.");
    EXPECT_EQ(readError<int64_t>("F3 20 00", 32), "buffer overflow when peekBuf, over 10.");
    EXPECT_EQ(readError<double>("05 3F F0", 0), "buffer overflow when peekBuf, over 9.");
    EXPECT_EQ(readError<std::string>("07 00 00", 0), "buffer overflow when peekBuf, over 5.");
    // A wide head cut after its first byte is absence, as is an empty buffer.
    EXPECT_EQ(readError<int32_t>("F2", 20), "require field not exist, tag: 20");
    EXPECT_EQ(readFrom<int32_t>("", 0, false), 0);
}

TEST(KelReader, HugeCountsFailBeforeAllocating)
{
    // Counts far beyond the bytes present, for every container form.
    EXPECT_EQ(readError<std::vector<std::string>>("09 02 7F FF FF FF", 0),
              "invalid size, tag: 0, type: 9, size: 2147483647");
    EXPECT_EQ((readError<std::map<std::string, std::string>>("08 02 10 00 00 00 06 00 16 00", 0)),
              "invalid map, tag: 0, size: 268435456");
    EXPECT_EQ(readError<KelBytes>("0D 00 02 7F FF FF FF 01", 0), "invalid size, tag: 0, type: 13, 0, size: 2147483647");
    EXPECT_EQ(readError<std::string>("07 7F FF FF FF 00", 0), "invalid string size, tag: 0, size: 2147483647");
    // The same when only skipped.
    EXPECT_ANY_THROW(readFrom<int32_t>("09 02 7F FF FF FF 10 01", 1));
    EXPECT_EQ(readFrom<int32_t>("09 02 7F FF FF FF 10 01", 1, false), 0);
}

TEST(KelReader, ListsAndMapsShareOneElementAllowancePerStream)
{
    // Counts that the bytes could hold still meet one allowance of list
    // items and map entries for the whole stream.
    const auto zeros = [](int n) {
        std::string hex;
        for (int i = 0; i < n; ++i)
            hex += " 0C";
        return hex;
    };
    EXPECT_EQ(readError<std::vector<std::vector<int32_t>>>("09 00 02 09 0C 09 02 00 01 00 01" + zeros(65537), 0),
              "too many elements, tag: 0, size: 65537, left: 65534");
    const KelBytes two = fromHex("09 02 00 00 80 00" + zeros(32768) + " 19 02 00 00 80 01" + zeros(32769));
    KelInputStream is(two);
    std::vector<int32_t> first, second;
    is.read(first, 0);
    EXPECT_EQ(first.size(), 32768u);
    EXPECT_EQ(errorOf([&] { is.read(second, 1); }), "too many elements, tag: 1, size: 32769, left: 32768");
    // An allowance lowered for one stream.
    const KelBytes three = fromHex("08 00 03 0C 1C 00 01 1C 00 02 1C");
    KelInputStream limited(three);
    limited.limitElements(2);
    std::map<int32_t, bool> flags;
    EXPECT_EQ(errorOf([&] { limited.read(flags, 0); }), "too many elements, tag: 0, size: 3, left: 2");
}

// A SampleStruct whose unknown field 6 holds `levels` nested structs.
static std::string nestedSample(int levels, bool closed)
{
    std::string hex = "0A 00 01 50 02";
    for (int i = 0; i < levels; ++i)
        hex += " 6A";
    if (closed)
        for (int i = 0; i <= levels; ++i)
            hex += " 0B";
    return hex;
}

TEST(KelReader, DeepNestingFailsInsteadOfOverflowingTheStack)
{
    EXPECT_EQ(readError<SampleStruct>(nestedSample(100000, false), 0),
              "invalid nesting depth, tag: 0, depth: 65");
    EXPECT_EQ(readError<SampleStruct>(nestedSample(64, true), 0), "invalid nesting depth, tag: 0, depth: 65");
    EXPECT_EQ(readFrom<SampleStruct>(nestedSample(63, true), 0).stamp, 2);

    std::string structs, lists;
    for (int i = 0; i < 100000; ++i)
        structs += "0A ";
    for (int i = 0; i < 1000; ++i)
        lists += "09 00 01 ";
    for (const std::string& hex : {structs, lists}) {
        const KelBytes bytes = fromHex(hex);
        KelInputStream is(bytes);
        EXPECT_EQ(errorOf([&] { is.skipField(); }).rfind("invalid nesting depth", 0), 0u);
    }
}

TEST(KelReader, TruncatedStructFailsAtEveryLength)
{
    SampleStruct s;
    s.id = 70000;
    s.name = "name";
    s.tags = {"a", "bc"};
    s.flags = {{1, true}};
    s.blob = {1, 2, 3};
    s.stamp = 5000000000LL;
    KelOutputStream os;
    os.write(s, 0);
    const KelBytes full = os.bytes();
    for (size_t n = 0; n + 1 < full.size(); ++n) {
        KelInputStream is(full.data(), n);
        SampleStruct out;
        EXPECT_ANY_THROW(is.read(out, 0, true)) << "length " << n;
    }
    KelInputStream is(full);
    SampleStruct out;
    is.read(out, 0, true);
    EXPECT_EQ(out, s);
}
