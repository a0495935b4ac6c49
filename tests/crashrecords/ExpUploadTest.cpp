#include "crashhandler/NSExceptionUploadPackage.h"
#include "crashhandler/NSContactInfo.h"
#include "crashhandler/NSExpAttachment.h"
#include "crashhandler/NSExpUpload.h"
#include "crashhandler/NSMobileInfo.h"
#include "crashhandler/NSRunInfo.h"

#include "support/KelTestUtil.h"

using namespace analyticsrov;

namespace {

std::string blobHex(const NSExpUpload& record)
{
    const QByteArray data = record.encodeData();
    return toHex(KelBytes(data.begin(), data.end()));
}

QByteArray fromHexBlob(const std::string& hex)
{
    const KelBytes bytes = fromHex(hex);
    return QByteArray(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
}

const std::string kDefaultTail = "16 00 26 00 3C 49 0C 56 00 66 00 76 00 "
                                 "8A 06 00 16 00 0B "
                                 "9A 04 00 00 00 00 14 00 00 00 00 2C 3C 4C 0B "
                                 "AA 06 00 16 00 26 00 36 00 46 00 56 00 0B";

}

TEST(ExpUpload, GoldenBytesOfADefaultRecord)
{
    NSExpUpload record;
    record.exceptionType = "SIGSEGV";
    EXPECT_EQ(blobHex(record), "06 07 53 49 47 53 45 47 56 " + kDefaultTail);
    record.cashTime = 1700000000000LL;
    EXPECT_NE(blobHex(record).find("26 00 33 00 00 01 8B CF E5 68 00 49 0C"), std::string::npos);
}

TEST(ExpUpload, AttachmentAndFloatGoldenBytes)
{
    NSExpUpload record;
    record.attachmentList.push_back({});
    record.attachmentList.back().type = 11;
    record.attachmentList.back().fileName = "crash.log";
    record.attachmentList.back().data = {'a', 'b', 'c'};
    record.runInfo.battery = 0.5f;
    const std::string hex = blobHex(record);
    EXPECT_NE(hex.find("49 00 01 0A 00 0B 16 09 63 72 61 73 68 2E 6C 6F 67 2D 00 00 03 61 62 63 0B"), std::string::npos);
    EXPECT_NE(hex.find("9A 04 3F 00 00 00"), std::string::npos);
}

TEST(ExpUpload, RoundTripKeepsEveryField)
{
    NSExpUpload record;
    record.exceptionType = "SIGABRT";
    record.excepitonAddress = "0x0";
    record.hash = "ABCDEF";
    record.cashTime = 1700000000123LL;
    record.attachmentList.resize(2);
    record.attachmentList[0].type = 11;
    record.attachmentList[0].data = {1, 2};
    record.attachmentList[1].fileName = "crash_times.log";
    record.threadName = "3";
    record.callStack = std::string(40000, 's');
    record.causedBy = "SI_TKILL";
    record.mobileInfo.symbol = "guid";
    record.mobileInfo.other = "bin";
    record.runInfo.cpu = 12.5f;
    record.runInfo.freeMem = 5000000000LL;
    record.runInfo.freeSDCard = -1;
    record.contactInfo.all = "nil;host";
    NSExpUpload copy;
    ASSERT_TRUE(copy.setEncodeData(record.encodeData()));
    EXPECT_EQ(copy.wire(), record.wire());
}

TEST(ExpUpload, MissingRequiredFieldsAreDecodeErrors)
{
    NSExpUpload record;
    auto decodeError = [&](const std::string& hex) {
        return errorOf([&] { record.setEncodeData(fromHexBlob(hex)); });
    };
    EXPECT_EQ(decodeError("16 00"), "require field not exist, tag: 0");
    EXPECT_EQ(decodeError("06 00 49 0C"), "require field not exist, tag: 3");
    EXPECT_EQ(decodeError("06 00 3C"), "require field not exist, tag: 4");
    EXPECT_EQ(decodeError("06 00 3C 49 0C 9A 04 00 00 00 00 14 00 00 00 00 3C 0B"),
              "require field not exist, tag: 2");
    EXPECT_EQ(decodeError("06 00 3C 48 0C"), "read 'vector' type mismatch, tag: 4, get type: 8.");
    EXPECT_EQ(decodeError("06 00 3C 49 0C 89 0C"), "read 'struct' type mismatch, tag: 8, get type: 9.");
    EXPECT_EQ(decodeError("06 00 3C 49 0C 9A 0C"), "require field not exist, tag: 1");
    EXPECT_EQ(decodeError("06 00 3C 49 0C 9A 05 00 00 00 00 00 00 00 00"), "read 'Float' type mismatch, tag: 0, get type: 5.");
    EXPECT_EQ(decodeError("06 00 3C 49 00 FF"), "invalid size, tag: 4, type: 9, size: -1");
    // A failed decode leaves the record as it was.
    record.exceptionType = "kept";
    EXPECT_FALSE(decodeError("06 00").empty());
    EXPECT_EQ(record.exceptionType, "kept");
}

TEST(ExpUpload, PackageKeepsCrashRecordsAsAListAtTagZero)
{
    NSExceptionUploadPackage package;
    auto a = std::make_shared<NSExpUpload>();
    auto b = std::make_shared<NSExpUpload>();
    b->exceptionType = "SIGBUS";
    package.addPkgElements({a, std::make_shared<AnalyticsPersistObject>(), b});
    ASSERT_EQ(package.list().size(), 2u);
    KelOutputStream os;
    package.setDataToBuffer(&os);
    const std::string hex = toHex(os.bytes());
    EXPECT_EQ(hex.substr(0, 14), "09 00 02 0A 06");
    EXPECT_EQ(hex, "09 00 02 0A 06 00 " + kDefaultTail + " 0B 0A 06 06 53 49 47 42 55 53 " + kDefaultTail + " 0B");
    package.addPkgElements({});
    EXPECT_EQ(package.list().size(), 2u);
}

TEST(ExpUpload, AttachmentsByteFormRoundTripsAndRejectsCutBytes)
{
    NSExpUpload record;
    NSExpAttachment log;
    log.type = 11;
    log.fileName = "crash.log";
    log.data = "AB";
    log.createNuxModel(record.attachmentList.emplace_back());
    const QByteArray bytes = record.encodeAttach();
    // count, length, then type, name length, name, data length, data
    EXPECT_EQ(bytes.toHex(' '), QByteArray("01 00 00 00 11 0b 09 63 72 61 73 68 2e 6c 6f 67 00 00 00 02 41 42"));

    NSExpUpload back;
    ASSERT_TRUE(back.decodeAttach(bytes));
    ASSERT_EQ(back.attachmentList.size(), 1u);
    EXPECT_EQ(back.attachmentList[0], record.attachmentList[0]);
    EXPECT_FALSE(back.decodeAttach(bytes.left(bytes.size() - 1)));
    EXPECT_FALSE(back.decodeAttach(QByteArray("\x02\x00\x00\x00\x00", 5)));
    EXPECT_EQ(back.attachmentList.size(), 1u);
}

TEST(ExpUpload, NestedMirrorsStartAsDocumentedAndConvertBothWays)
{
    NSMobileInfo mobile;
    NSContactInfo contact;
    NSRunInfo run;
    EXPECT_EQ(mobile.symbol + mobile.other, "unknownunknown");
    EXPECT_EQ(contact.all + contact.tel + contact.qua + contact.email + contact.comment + contact.other,
              QString("unknown").repeated(6));
    EXPECT_EQ(run.freeMem + run.freeStorage + run.freeSDCard, 0);

    NSExpUpload record;
    contact.qua = "10001";
    contact.createNuxModel(record.contactInfo);
    mobile.createNuxModel(record.mobileInfo);
    run.battery = 0.5f;
    run.createNuxModel(record.runInfo);
    NSExpUpload back;
    ASSERT_TRUE(back.setEncodeData(record.encodeData()));
    NSContactInfo contactBack;
    contactBack.initWithNuxModel(back.contactInfo);
    EXPECT_EQ(contactBack.qua, "10001");
    NSRunInfo runBack;
    runBack.initWithNuxModel(back.runInfo);
    EXPECT_EQ(runBack.battery, 0.5f);
    NSMobileInfo mobileBack;
    mobileBack.initWithNuxModel(back.mobileInfo);
    EXPECT_EQ(mobileBack.symbol, "unknown");
}
