#include "AnalyticsTestSupport.h"

#include "analytics/facade/AnaModule.h"
#include "analytics/facade/AnaProtocolDataRegister.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/mixupload/AnaMixDataPersistDataMaxSizeChecker.h"
#include "analytics/mixupload/AnaMixDataUploadHander.h"
#include "analytics/mixupload/AnaMixDataUploader.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/CommunicateInterface.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

namespace {

// The package of the event records in a mixed upload.
class TextPackage : public AnaNSObjTransToKelBufferProtocol {
public:
    void setDataToBuffer(analyticsrov::KelOutputStream& os) const override
    {
        std::vector<std::string> texts;
        for (const auto& r : m_records)
            texts.push_back(static_cast<const TextRecord&>(*r).text.toStdString());
        os.write(texts, 0);
    }
    bool addPkgElements(const AnaRecordList& records) override
    {
        for (const auto& r : records)
            if (std::dynamic_pointer_cast<TextRecord>(r))
                m_records.push_back(r);
        return true;
    }
    AnaRecordList getPkgElements() const override { return m_records; }

private:
    AnaRecordList m_records;
};

class MixUpload : public ::testing::Test {
protected:
    MixUpload() : uploader(f.facade.get()), checker(f.facade.get())
    {
        AnaProtocolDataRegister::sharedInstance().registRequestObjectType(
            [] { return std::make_shared<TextPackage>(); }, TextRecord::kType);
        uploader.registUploadObjectType(TextRecord::kType);
        f.facade->enableAnlytics(1, "1", "1");
        f.operations.waitUntilIdle();
        f.facade->setUserEnableEventUpload(true);
        f.setStrategy([this](LocalStrategy& s) {
            s.enableEventRecord = true;
            s.uploadServer = server.url();
        });
        setWifi(false);
    }
    ~MixUpload() override
    {
        AnaProtocolDataRegister::sharedInstance().clear();
        AnaNetworkState::setSource({});
        server.release();
    }
    void setWifi(bool wifi)
    {
        AnaNetworkState::setSource([wifi] { return AnaNetworkState{true, wifi, false}; });
    }
    void store(int count, int bytes = 10)
    {
        AnaSqlitePersistHandler::Records records;
        for (int i = 0; i < count; ++i)
            records.push_back(TextRecord::make(QByteArray(bytes, 'e')));
        f.store.executeUpdateSQL("begin", nullptr);
        ASSERT_TRUE(f.store.saveObjects(records, nullptr));
        f.store.executeUpdateSQL("commit", nullptr);
    }
    size_t batchSize(long limit = AnaMixDataUploader::kByteLimit)
    {
        auto package = uploader.getUploadPkg(limit, false);
        if (!package)
            return 0;
        auto mix = std::dynamic_pointer_cast<NSMixPackage>(package->sBuffer);
        return mix ? mix->getUploadElements()->size() : 0;
    }

    FacadeFixture f;
    LoopbackHttpServer server;
    AnaMixDataUploader uploader;
    AnaMixDataPersistDataMaxSizeChecker checker;
};

}

TEST_F(MixUpload, ThresholdIsHalvedOnWifiAndStrategyTwoNeverUploadsAfterAFlush)
{
    store(24);
    setWifi(true);
    EXPECT_FALSE(checker.checkMaxSizeWithStrategy());
    store(1);
    EXPECT_TRUE(checker.checkMaxSizeWithStrategy());
    setWifi(false);
    EXPECT_FALSE(checker.checkMaxSizeWithStrategy());
    EXPECT_TRUE(checker.checkOnstartUploadWithStrategy());
    f.setStrategy([](LocalStrategy& s) { s.uploadStrategy = 1; });
    EXPECT_FALSE(checker.checkOnstartUploadWithStrategy());
    f.setStrategy([](LocalStrategy& s) { s.uploadStrategy = 2; });
    store(100);
    EXPECT_FALSE(checker.checkMaxSizeWithStrategy());
    f.setStrategy([](LocalStrategy& s) { s.uploadStrategy = 0; });
    EXPECT_TRUE(checker.checkMaxSizeWithStrategy());
    f.facade->setUserEnableEventUpload(false);
    EXPECT_FALSE(checker.checkMixSizeForUpload(1));
}

TEST_F(MixUpload, BatchLimitsAndAFirstRecordLargerThanTheLimit)
{
    store(120);
    setWifi(true);
    EXPECT_EQ(batchSize(), 100u);
    setWifi(false);
    EXPECT_EQ(batchSize(), 50u);
    f.store.deleteObjectsByType(TextRecord::kType, nullptr);
    store(3, 20000);
    EXPECT_EQ(batchSize(), 1u);
    store(1, 40000);
    EXPECT_EQ(batchSize(1000), 1u);   // the first record always goes
    EXPECT_EQ(batchSize(0), 4u);
}

TEST_F(MixUpload, NoTypesMeansNoBatchAndTheUploaderIsFree)
{
    store(5);
    uploader.removeUploadObjectTypeUsingKey(TextRecord::kType);
    uploader.setIsUploading(true);
    uploader.doUpload();
    EXPECT_FALSE(uploader.isUploading());
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(MixUpload, HostDrivenCallWhilePendingGivesErrorEightAndTheSameBytes)
{
    store(3);
    AnaError error;
    const QByteArray first = uploader.getUploadData(false, &error);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(uploader.getUploadData(false, &error), first);
    EXPECT_EQ(error.code, 8);
    EXPECT_TRUE(uploader.uploadFinishWithResult(true, nullptr));
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 0);
}

TEST_F(MixUpload, RecordsAreDeletedOnlyAfterResultZero)
{
    CommunicateInterface::setTickLength(std::chrono::milliseconds(50));
    f.handlers.registHandlerClass([] { return std::make_shared<AnaMixDataUploadHander>(); },
                                  Analytics::kMixDataUploadHanderKey);
    AnaMixDataUploader& shared = AnaMixDataUploader::sharedInstance();
    shared.registUploadObjectType(TextRecord::kType);
    store(4);
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(1)));
    shared.doUpload();
    f.handlers.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 4);
    EXPECT_FALSE(shared.isUploading());

    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    shared.checkAndDoOnstartUpload();
    f.handlers.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 0);
    const auto decoded = LoopbackEnvelope::decodeRequest(server.requests().last().body);
    ASSERT_TRUE(decoded.ok);
    EXPECT_EQ(decoded.mix.count(TextRecord::kType), 1u);
    shared.removeUploadObjectTypeUsingKey(TextRecord::kType);
    CommunicateInterface::setTickLength(std::chrono::milliseconds(1000));
}

TEST_F(MixUpload, ACancelledOrRefusedUploadLeavesTheUploaderFree)
{
    struct Refuse : AnaUploadConfirmer {
        bool confirmUpload() override { return false; }
    };
    CommunicateInterface::setTickLength(std::chrono::milliseconds(50));
    f.handlers.registHandlerClass<AnaMixDataUploadHander>(Analytics::kMixDataUploadHanderKey);
    AnaMixDataUploader& shared = AnaMixDataUploader::sharedInstance();
    shared.registUploadObjectType(TextRecord::kType);
    store(2);

    server.enqueue(LoopbackHttpServer::hang());
    shared.checkAndDoOnstartUpload();
    ASSERT_TRUE(server.waitForRequests(1, 10000));
    EXPECT_TRUE(shared.isUploading());
    f.handlers.cancelAllOperations();
    f.handlers.waitUntilAllOperationsAreFinished();
    server.release();
    EXPECT_FALSE(shared.isUploading());

    f.facade->setUploadConfirmer(std::make_shared<Refuse>());
    shared.checkAndDoOnstartUpload();
    f.handlers.waitUntilAllOperationsAreFinished();
    EXPECT_FALSE(shared.isUploading());
    EXPECT_EQ(server.requestCount(), 1);
    f.facade->setUploadConfirmer(nullptr);

    // The next upload runs and its answer clears the batch.
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    shared.checkAndDoOnstartUpload();
    f.handlers.waitUntilAllOperationsAreFinished();
    EXPECT_EQ(server.requestCount(), 2);
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 0);
    EXPECT_FALSE(shared.isUploading());
    shared.removeUploadObjectTypeUsingKey(TextRecord::kType);
    CommunicateInterface::setTickLength(std::chrono::milliseconds(1000));
}

TEST_F(MixUpload, RecordsWithoutAPackageClassNeverGoOutAsAnEmptyMix)
{
    f.handlers.registHandlerClass<AnaMixDataUploadHander>(Analytics::kMixDataUploadHanderKey);
    AnaProtocolDataRegister::sharedInstance().clear();
    AnaMixDataUploader& shared = AnaMixDataUploader::sharedInstance();
    shared.registUploadObjectType(TextRecord::kType);
    store(3);
    EXPECT_EQ(uploader.getUploadPkg(AnaMixDataUploader::kByteLimit, true), nullptr);
    for (int flush = 0; flush < 3; ++flush) {
        shared.checkAndDoOnstartUpload();
        f.handlers.waitUntilAllOperationsAreFinished();
        EXPECT_FALSE(shared.isUploading());
    }
    EXPECT_TRUE(uploader.getUploadData(true, nullptr).isEmpty());
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 3);
    shared.removeUploadObjectTypeUsingKey(TextRecord::kType);
}
