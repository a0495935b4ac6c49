#include "analytics/facade/AnaProtocolDataRegister.h"
#include "analytics/kel/KelDecodeException.h"
#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/packages/NSSecurityStrategyPackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"

#include <gtest/gtest.h>

using analyticsrov::KelBytes;
using analyticsrov::KelOutputStream;

namespace {

template <typename T>
KelBytes fieldsOf(const T& value)
{
    KelOutputStream os;
    value.writeTo(os);
    return os.takeBytes();
}

KelBytes bytes(std::initializer_list<int> list)
{
    KelBytes out;
    for (int b : list)
        out.push_back(uint8_t(b));
    return out;
}

}

TEST(Packages, RequestWithoutOptionalTextsWritesEveryTagInOrder)
{
    auto package = NSRequestPackage::initWithData("a", "1", "s", "v", 4, nullptr);
    common::RequestPackage model;
    package->createNuxModel(model);
    // platformId 2, "a", "1", "s", "v", cmd 4, empty body, then "" in 7 and
    // 8, zero bytes in 9 and 10, "" in 11 and 12.
    EXPECT_EQ(fieldsOf(model), bytes({0x00, 0x02, 0x16, 0x01, 'a', 0x26, 0x01, '1', 0x36, 0x01, 's', 0x46, 0x01,
                                      'v', 0x50, 0x04, 0x6D, 0x00, 0x0C, 0x76, 0x00, 0x86, 0x00, 0x9C, 0xAC,
                                      0xB6, 0x00, 0xC6, 0x00}));
}

TEST(Packages, EmptyMixPackageWritesAnEmptyMap)
{
    NSMixPackage mix;
    mix.mixMap.emplace();
    KelOutputStream os;
    mix.setDataToBuffer(os);
    EXPECT_EQ(os.bytes(), bytes({0x08, 0x0C}));
}

TEST(Packages, ReplyBodiesBecomeObjectsByCommand)
{
    strategy::SecurityStrategyPackage security;
    security.encryKey = "12345678";
    security.encryPublicKey = "abcdefgh";
    security.encryAlgorithm = 1;
    strategy::UploadStrategyPackage upload;
    upload.maxPackageSize = 30;
    upload.uploadServer = "http://127.0.0.1:1/analytics/upload";
    upload.moduleStrategy = {{1, true}, {3, false}};

    common::ResponsePackage reply;
    reply.cmd = 10;
    std::map<int32_t, KelBytes> map{{7, fieldsOf(security)}, {8, fieldsOf(upload)}};
    KelOutputStream os;
    os.write(map, 0);
    reply.sBuffer = os.takeBytes();
    auto all = NSResponsePackage::initWithNuxModel(reply);
    auto mix = std::dynamic_pointer_cast<NSMixPackage>(all->sBuffer);
    ASSERT_TRUE(mix && mix->mixMap);
    auto sec = std::dynamic_pointer_cast<NSSecurityStrategyPackage>(mix->mixMap->at(7));
    auto up = std::dynamic_pointer_cast<NSUploadStrategyPackage>(mix->mixMap->at(8));
    ASSERT_TRUE(sec && up);
    EXPECT_EQ(sec->encryPublicKey, QString("abcdefgh"));
    EXPECT_EQ(up->maxPackageSize, 30);
    EXPECT_EQ(up->moduleStrategy->at(1), true);

    reply.cmd = 8;
    reply.sBuffer = fieldsOf(upload);
    auto only = NSResponsePackage::initWithNuxModel(reply);
    ASSERT_TRUE(std::dynamic_pointer_cast<NSUploadStrategyPackage>(only->sBuffer));

    reply.cmd = 5;   // nothing registered for it
    EXPECT_EQ(NSResponsePackage::initWithNuxModel(reply)->sBuffer, nullptr);
}

TEST(Packages, UploadStrategyWithoutRequiredTagsFailsToDecode)
{
    common::ResponsePackage reply;
    reply.cmd = 8;
    KelOutputStream noSize;
    noSize.write(int32_t(3), 0);
    noSize.write(std::map<int32_t, bool>{}, 4);
    reply.sBuffer = noSize.takeBytes();
    try {
        NSResponsePackage::initWithNuxModel(reply);
        FAIL() << "decoded without maxPackageSize";
    } catch (const analyticsrov::KelDecodeException& e) {
        EXPECT_STREQ(e.what(), "require field not exist, tag: 1");
    }

    KelOutputStream noModules;
    noModules.write(int32_t(40), 1);
    reply.sBuffer = noModules.takeBytes();
    try {
        NSResponsePackage::initWithNuxModel(reply);
        FAIL() << "decoded without moduleStrategy";
    } catch (const analyticsrov::KelDecodeException& e) {
        EXPECT_STREQ(e.what(), "require field not exist, tag: 4");
    }
}

TEST(Packages, UploadElementsGoThroughTheRegisteredRequestTypes)
{
    struct EmptyPackage : AnaNSObjTransToKelBufferProtocol {
        void setDataToBuffer(KelOutputStream& os) const override { os.write(int32_t(0), 0); }
        bool addPkgElements(const AnaRecordList&) override { return true; }
    };
    auto& registry = AnaProtocolDataRegister::sharedInstance();
    registry.clear();
    NSMixPackage mix;
    EXPECT_FALSE(mix.getUploadElements().has_value());
    registry.registRequestObjectType([] { return std::make_shared<EmptyPackage>(); }, 2);
    registry.registRequestObjectType(nullptr, 2);
    mix.addUploadElements(AnaRecordList{nullptr});
    ASSERT_TRUE(mix.mixMap.has_value());
    EXPECT_EQ(mix.mixMap->size(), 1u);
    const auto elements = mix.getUploadElements();
    ASSERT_TRUE(elements.has_value());
    EXPECT_TRUE(elements->empty());
    registry.clear();
}

TEST(Packages, RegisterLooksUpClassesByCodeAndTheFirstRegistrationWins)
{
    struct Reply : AnaLocalObjInitWithNuxProtocol {
        explicit Reply(int v) : version(v) {}
        void initLocalObjWithNuxBuffer(analyticsrov::KelInputStream&) override {}
        int version;
    };
    auto& registry = AnaProtocolDataRegister::sharedInstance();
    registry.clear();
    EXPECT_FALSE(registry.getResponseObjectType(12));
    EXPECT_FALSE(registry.getRequestObjectType(12));
    registry.registResponseObjectType([] { return std::make_shared<Reply>(1); }, 12);
    registry.registResponseObjectType([] { return std::make_shared<Reply>(2); }, 12);
    const auto type = registry.getResponseObjectType(12);
    ASSERT_TRUE(type);
    EXPECT_EQ(std::dynamic_pointer_cast<Reply>(type())->version, 1);
    EXPECT_FALSE(registry.getRequestObjectType(12));
    EXPECT_FALSE(registry.getResponseObjectType(13));
    registry.clear();
}
