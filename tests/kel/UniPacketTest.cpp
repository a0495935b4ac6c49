#include "support/KelTestUtil.h"

#include "analytics/kel/UniPacket.h"

using namespace analyticsrov;
using analyticsnux::UniAttribute;
using analyticsnux::UniPacket;

namespace {

struct Body : KelStructBase {
    int32_t value = 0;
    void writeTo(KelOutputStream& os) const override { os.write(value, 0); }
    void readFrom(KelInputStream& is) override { is.read(value, 0, true); }
};

KelBytes packetWith(int32_t value, int32_t requestId = 0)
{
    UniPacket packet;
    packet.setServantName("upload");
    packet.setFuncName("access");
    packet.setRequestId(requestId);
    Body body;
    body.value = value;
    packet.put("detail", "common.RequestPackage", body);
    return packet.encode();
}

}

TEST(UniPacket, EncodesHeaderAttributesAndLengthPrefix)
{
    const KelBytes bytes = packetWith(5);
    const std::string map = "08 00 01 06 06 64 65 74 61 69 6C 18 00 01 06 15 " + toHex(KelBytes(
        reinterpret_cast<const uint8_t*>("common.RequestPackage"), reinterpret_cast<const uint8_t*>("common.RequestPackage") + 21)) +
        " 1D 00 00 04 0A 00 05 0B";
    const std::string fields = "10 02 2C 3C 4C 56 06 75 70 6C 6F 61 64 66 06 61 63 63 65 73 73 7D 00 00 2D " + map +
                               " 8C 98 0C A8 0C";
    const KelBytes body = fromHex(fields);
    ASSERT_EQ(bytes.size(), body.size() + 4);
    EXPECT_EQ(toHex(bytes), toHex(KelBytes{0, 0, 0, uint8_t(body.size() + 4)}) + " " + fields);
    EXPECT_NE(toHex(packetWith(5, 1)).find("3C 40 01 56 06 75"), std::string::npos);
}

TEST(UniPacket, DecodesWhatItEncodes)
{
    UniPacket packet;
    packet.decode(packetWith(70000, 9));
    EXPECT_EQ(packet.packet().iVersion, 2);
    EXPECT_EQ(packet.packet().iRequestId, 9);
    EXPECT_EQ(packet.packet().sServantName, "upload");
    EXPECT_EQ(packet.packet().sFuncName, "access");
    Body body;
    packet.get("detail", "common.RequestPackage", body);
    EXPECT_EQ(body.value, 70000);
}

TEST(UniPacket, EncodeNeedsBothNames)
{
    UniPacket packet;
    EXPECT_EQ(errorOf([&] { packet.encode(); }), "ServantName must not be empty");
    packet.setServantName("upload");
    EXPECT_EQ(errorOf([&] { packet.encode(); }), "FuncName must not be empty");
}

TEST(UniPacket, DecodeRejectsShortAndMislabelledPackets)
{
    UniPacket packet;
    EXPECT_EQ(errorOf([&] { packet.decode(KelBytes{0, 0, 0}); }), "packet length too short");
    KelBytes bytes = packetWith(1);
    KelBytes padded = bytes;
    padded.push_back(0);
    EXPECT_EQ(errorOf([&] { packet.decode(padded); }),
              "packet length mismatch, head: " + std::to_string(bytes.size()) + ", size: " + std::to_string(padded.size()));
    // Every truncation fails; with the prefix fixed up, every one that cuts
    // into the required fields (all but the last five optional bytes).
    for (size_t n = 4; n < bytes.size(); ++n) {
        KelBytes cut(bytes.begin(), bytes.begin() + long(n));
        EXPECT_ANY_THROW(packet.decode(cut)) << n;
        cut[3] = uint8_t(n);
        if (n < bytes.size() - 5) {
            EXPECT_ANY_THROW(packet.decode(cut)) << n;
        }
    }
}

TEST(UniAttribute, GetTextsAndTheQuestionMarkRule)
{
    UniAttribute attribute;
    Body body;
    EXPECT_EQ(errorOf([&] { attribute.get("detail", "common.ResponsePackage", body); }),
              "UniAttribute not found key:detail,type:common.ResponsePackage");
    body.value = 3;
    attribute.put("detail", "common.RequestPackage", body);
    EXPECT_EQ(errorOf([&] { attribute.get("detail", "common.ResponsePackage", body); }),
              "UniAttribute type match fail,key:detail,type:common.ResponsePackage,may be:common.RequestPackage");
    attribute.put("any", "?", body);
    Body out;
    attribute.get("any", "common.ResponsePackage", out);
    EXPECT_EQ(out.value, 3);
    // put replaces the value of the same type under the same name.
    body.value = 4;
    attribute.put("any", "?", body);
    attribute.get("any", "?", out);
    EXPECT_EQ(out.value, 4);
    EXPECT_EQ(attribute.data().at("any").size(), 1u);
}
