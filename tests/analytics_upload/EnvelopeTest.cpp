#include "analytics/AnaEncrypt.h"
#include "analytics/AnaEncryptUtil.h"
#include "analytics/AnaZip.h"
#include "analytics/AnaZipUtil.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"
#include "support/GzipBomb.h"
#include "support/LoopbackEnvelope.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <random>

namespace {

// A body object that writes a fixed list of bytes at tag 0.
class BytesBody : public AnaNSObjTransToKelBufferProtocol {
public:
    explicit BytesBody(analyticsrov::KelBytes b) : bytes(std::move(b)) {}
    void setDataToBuffer(analyticsrov::KelOutputStream& os) const override { os.write(bytes, 0); }
    analyticsrov::KelBytes bytes;
};

std::shared_ptr<NSRequestPackage> mixRequest(analyticsrov::KelBytes payload)
{
    auto mix = std::make_shared<NSMixPackage>();
    mix->mixMap.emplace();
    (*mix->mixMap)[3] = std::make_shared<BytesBody>(std::move(payload));
    return NSRequestPackage::initWithData("app", "2.5.0", "sdk", "1.5.0", 4, mix);
}

QByteArray build(const NSRequestPackage& request, AnaError* error = nullptr, const QString& servant = "upload")
{
    return AnaNuxWrapHelper().createReqData(request, "detail", servant, "access", 2, 1,
                                            AnaNuxWrapHelper::kRequestKey, error);
}

std::shared_ptr<NSResponsePackage> parse(const QByteArray& bytes, AnaError* error)
{
    return AnaNuxWrapHelper().createRspData(bytes, "detail", QString(), error);
}

}

TEST(Envelope, RequestBodyIsZippedThenEncipheredAndDecodesBack)
{
    analyticsrov::KelBytes payload(5000);
    for (size_t i = 0; i < payload.size(); ++i)
        payload[i] = uint8_t(i * 7);
    const int32_t firstId = AnaNuxWrapHelper::peekNextRequestId();
    const QByteArray first = build(*mixRequest(payload));
    const QByteArray second = build(*mixRequest(payload));
    const auto decoded = LoopbackEnvelope::decodeRequest(first);
    ASSERT_TRUE(decoded.ok) << decoded.error.toStdString();
    EXPECT_EQ(decoded.header.iVersion, 2);
    EXPECT_EQ(decoded.header.iRequestId, firstId);
    EXPECT_EQ(LoopbackEnvelope::decodeRequest(second).header.iRequestId, firstId + 1);
    EXPECT_EQ(decoded.package.encryType, 1);
    EXPECT_EQ(decoded.package.zipType, 2);
    EXPECT_EQ(decoded.package.sdkVersion, "1.5.0");
    ASSERT_EQ(decoded.mix.count(3), 1u);
    BytesBody expected(payload);
    analyticsrov::KelOutputStream os;
    expected.setDataToBuffer(os);
    EXPECT_EQ(decoded.mix.at(3), os.bytes());
    // The 4-byte prefix counts the whole envelope.
    EXPECT_EQ(quint32(uchar(first[0])) << 24 | quint32(uchar(first[1])) << 16 | quint32(uchar(first[2])) << 8
                  | quint32(uchar(first[3])),
              quint32(first.size()));
}

TEST(Envelope, EmptyBodyGoesOutUntransformed)
{
    auto query = NSRequestPackage::initWithData("app", "1", "sdk", "1.5.0", 0, nullptr);
    const auto decoded = LoopbackEnvelope::decodeRequest(build(*query));
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.package.encryType, 0);
    EXPECT_EQ(decoded.package.zipType, 0);
    EXPECT_TRUE(decoded.package.sBuffer.empty());
}

TEST(Envelope, BuildErrorsConsumeNoRequestId)
{
    auto request = mixRequest({1, 2, 3});
    AnaNuxWrapHelper helper;
    AnaError error;
    const int32_t before = AnaNuxWrapHelper::peekNextRequestId();
    EXPECT_TRUE(helper.createReqData(*request, QString(), "upload", "access", 2, 1, "k", &error).isEmpty());
    EXPECT_EQ(error.code, 8);
    EXPECT_EQ(error.description, QString("error requestKey is nil "));
    EXPECT_TRUE(helper.createReqData(*request, "detail", QString(), "access", 2, 1, "k", &error).isEmpty());
    EXPECT_EQ(error.description, QString("error requestServant is nil "));
    EXPECT_TRUE(helper.createReqData(*request, "detail", "upload", QString(), 2, 1, "k", &error).isEmpty());
    EXPECT_EQ(error.description, QString("error requestFunc is nil "));
    EXPECT_TRUE(helper.createReqData(*request, "detail", "upload", "access", 3, 1, "k", &error).isEmpty());
    EXPECT_EQ(error.code, 5);
    EXPECT_EQ(error.description, QString("error got zip util"));
    EXPECT_TRUE(helper.createReqData(*request, "detail", "upload", "access", 2, 4, "k", &error).isEmpty());
    EXPECT_EQ(error.description, QString("error got encrypt util"));
    EXPECT_EQ(AnaNuxWrapHelper::peekNextRequestId(), before);

    EXPECT_TRUE(build(*request, &error, "").isEmpty());
    EXPECT_EQ(error.code, 7);
    EXPECT_EQ(error.description, QString("error encode req packet ServantName must not be empty"));
}

TEST(Envelope, RepliesAreDecipheredAndInflated)
{
    strategy::UploadStrategyPackage upload;
    upload.maxPackageSize = 40;
    upload.moduleStrategy = {{3, true}};
    analyticsrov::KelOutputStream os;
    upload.writeTo(os);
    LoopbackEnvelope::Reply reply;
    reply.cmd = 8;
    reply.body = os.bytes();
    reply.serverTime = 1'700'000'000'123LL;
    AnaError error;
    auto response = parse(LoopbackEnvelope::encodeReply(reply), &error);
    ASSERT_TRUE(response) << error.description.toStdString();
    EXPECT_EQ(response->serverTime, 1'700'000'000'123LL);
    auto mirror = std::dynamic_pointer_cast<NSUploadStrategyPackage>(response->sBuffer);
    ASSERT_TRUE(mirror);
    EXPECT_EQ(mirror->maxPackageSize, 40);

    reply.encryType = -1;
    reply.zipType = -1;
    EXPECT_TRUE(parse(LoopbackEnvelope::encodeReply(reply), &error));

    reply.encryType = 0;   // a body but no cipher
    EXPECT_FALSE(parse(LoopbackEnvelope::encodeReply(reply), &error));
    EXPECT_EQ(error.code, 5);
    EXPECT_EQ(error.description, QString("error got encrypt util"));

    reply.cmd = 4;
    reply.body.clear();   // an empty body is taken as it is
    EXPECT_TRUE(parse(LoopbackEnvelope::encodeReply(reply), &error));
}

TEST(Envelope, MalformedRepliesFailWithTheirError)
{
    AnaError error;
    EXPECT_FALSE(parse(QByteArray("\x00\x00", 2), &error));
    EXPECT_EQ(error.code, 7);
    EXPECT_EQ(error.description, QString("error decode rsp packet packet length too short"));

    LoopbackEnvelope::Reply other;
    other.key = "other";
    EXPECT_FALSE(parse(LoopbackEnvelope::encodeReply(other), &error));
    EXPECT_EQ(error.description,
              QString("error decode rsp packet UniAttribute not found key:detail,type:common.ResponsePackage"));

    EXPECT_FALSE(AnaNuxWrapHelper().createRspData(LoopbackEnvelope::reply(0), QString(), QString(), &error));
    EXPECT_EQ(error.description, QString("error requestKey is nil "));

    // A body cut short before encipherment is an error, not a short body.
    QByteArray gz = AnaZipUtil::getAnaZipUtil(2)->zip(QByteArray(4000, 'z'));
    gz.chop(10);
    const QByteArray enc = AnaEncryptUtil::getEncrypt(1)->encrypt(gz, AnaNuxWrapHelper::kResponseKey);
    LoopbackEnvelope::Reply truncated;
    truncated.body.assign(enc.begin(), enc.end());
    truncated.transformed = true;
    EXPECT_FALSE(parse(LoopbackEnvelope::encodeReply(truncated), &error));
    EXPECT_EQ(error.code, 5);
    EXPECT_EQ(error.description, QString("error encrypt or zip data"));

    // An inflation bomb: a small body that would inflate to 256 MiB.
    const QByteArray bomb = AnaEncryptUtil::getEncrypt(1)->encrypt(gzipOfZeros(256LL * 1024 * 1024),
                                                                   AnaNuxWrapHelper::kResponseKey);
    LoopbackEnvelope::Reply inflating;
    inflating.body.assign(bomb.begin(), bomb.end());
    inflating.transformed = true;
    error = AnaError();
    EXPECT_FALSE(parse(LoopbackEnvelope::encodeReply(inflating), &error));
    EXPECT_EQ(error.code, 5);
    EXPECT_EQ(error.description, QString("error encrypt or zip data"));
}

// The peak resident size since the last reset, and the size now, in KiB.
static long statusKiB(const char* field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(std::strlen(field)));
    return -1;
}

TEST(Envelope, StrategyMapOfMillionsOfKeysFailsBeforeItIsBuilt)
{
    // A command-10 body of 15.2 MB, inside the inflation cap: a map<int32,
    // bytes> of 1.9 million distinct keys with empty values, as a server
    // could send in a reply of about 4 MB.
    constexpr uint32_t keys = 1'900'000;
    LoopbackEnvelope::Reply reply;
    reply.cmd = 10;
    reply.body = {0x08, 0x02, uint8_t(keys >> 24), uint8_t(keys >> 16), uint8_t(keys >> 8), uint8_t(keys)};
    reply.body.reserve(6 + size_t(keys) * 8);
    for (uint32_t key = 0x01000000; key < 0x01000000 + keys; ++key)
        reply.body.insert(reply.body.end(), {0x02, uint8_t(key >> 24), uint8_t(key >> 16), uint8_t(key >> 8),
                                             uint8_t(key), 0x1D, 0x00, 0x0C});
    const QByteArray bytes = LoopbackEnvelope::encodeReply(reply);
    reply.body = {};
    EXPECT_LT(bytes.size(), 4 * 1024 * 1024);

    const bool peakReset = bool(std::ofstream("/proc/self/clear_refs") << "5");
    const long before = statusKiB("VmRSS:");
    AnaError error;
    EXPECT_FALSE(parse(bytes, &error));
    const long peak = statusKiB("VmHWM:");
    EXPECT_EQ(error.code, 7);
    EXPECT_EQ(error.description,
              QString("error create rsp local model too many elements, tag: 0, size: 1900000, left: 64"));
    // Inflating and copying the body is all it costs; the map would take
    // some 150 MB.
    if (peakReset && before > 0) {
        EXPECT_LT(peak - before, 48 * 1024);
    }

    // A map of a few strategies still decodes.
    reply.body = {0x08, 0x00, 0x40};
    for (int key = 100; key < 164; ++key)
        reply.body.insert(reply.body.end(), {0x00, uint8_t(key), 0x1D, 0x00, 0x0C});
    EXPECT_TRUE(parse(LoopbackEnvelope::encodeReply(reply), &error));
}

TEST(Envelope, MutatedRepliesNeverCrash)
{
    strategy::UploadStrategyPackage upload;
    upload.maxPackageSize = 40;
    upload.moduleStrategy = {{1, true}, {2, false}};
    analyticsrov::KelOutputStream os;
    upload.writeTo(os);
    LoopbackEnvelope::Reply reply;
    reply.cmd = 10;
    std::map<int32_t, analyticsrov::KelBytes> map{{8, os.bytes()}};
    analyticsrov::KelOutputStream mixOs;
    mixOs.write(map, 0);
    reply.body = mixOs.bytes();
    reply.encryType = -1;
    reply.zipType = -1;
    const QByteArray valid = LoopbackEnvelope::encodeReply(reply);
    std::mt19937 random(1234);
    int parsed = 0;
    for (int i = 0; i < 3000; ++i) {
        QByteArray bytes = valid;
        const int edits = 1 + int(random() % 4);
        for (int e = 0; e < edits; ++e) {
            const int at = int(random() % uint32_t(bytes.size()));
            switch (random() % 3) {
            case 0: bytes[at] = char(random()); break;
            case 1: bytes.truncate(at + 1); break;
            default: bytes.insert(at, char(random())); break;
            }
        }
        AnaError error;
        if (parse(bytes, &error))
            ++parsed;
        else
            EXPECT_FALSE(error.description.isEmpty());
    }
    EXPECT_LT(parsed, 3000);
}
