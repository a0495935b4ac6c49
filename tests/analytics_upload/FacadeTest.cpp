#include "AnalyticsTestSupport.h"

#include "analytics/AnaModel.h"
#include "analytics/facade/AnaModule.h"
#include "analytics/kel/KelOutputStream.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/UploadStrategyPackage.h"
#include "analytics/traffic/AnaNetFlowRecorder.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaNetworkHandlerBase.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "analytics/transport/AnalyticsNetwokHandler.h"
#include "analytics/transport/CommunicateInterface.h"
#include "support/EventLoop.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <future>

namespace {

// Restores the SDK model's user number and gateway.
struct ModelGuard {
    QString qua = AnaModel::getDefualtAnaModel().qua();
    QString gateway = AnaModel::getDefualtAnaModel().gatewayIP();
    ~ModelGuard()
    {
        AnaModel::getDefualtAnaModel().setQua(qua);
        AnaModel::getDefualtAnaModel().setGatewayIP(gateway);
    }
};

// Sees the facade's status at the moment an upload's handler starts.
struct StatusWatch : AnaUploadConfirmer {
    Analytics* facade = nullptr;
    std::atomic<int> seen{-1};
    bool confirmUpload() override
    {
        seen = facade->status();
        return true;
    }
};

struct NetworkGuard {
    NetworkGuard() { AnaNetworkState::setSource([] { return AnaNetworkState{true, false, false}; }); }
    ~NetworkGuard() { AnaNetworkState::setSource({}); }
};

}

TEST(Facade, EnablingFallsBackAndAnUnknownWorkTypeEndsInStatusFour)
{
    ModelGuard guard;
    TempHome home;
    FacadeFixture f;
    EXPECT_TRUE(f.facade->enableAnlytics(7, QString(), QString()));
    f.operations.waitUntilIdle();
    EXPECT_EQ(AnaModel::getDefualtAnaModel().qua(), QString("10000"));
    EXPECT_EQ(AnaModel::getDefualtAnaModel().gatewayIP(), QString("unknown"));
    EXPECT_EQ(f.facade->status(), 4);
    EXPECT_EQ(Analytics::startTime(), f.clock.now().toSecsSinceEpoch() * 1000);
}

TEST(Facade, BuildCheckRebuildsOnlyOnANewBuild)
{
    FacadeFixture f;
    ASSERT_TRUE(f.store.saveObject(*TextRecord::make("old build"), nullptr));
    f.facade->checkDBEnv();
    EXPECT_EQ(f.store.getObjectCount(nullptr), 0);
    EXPECT_EQ(f.facade->getVersionHash(), LocalStrategy::getDefaultId());

    ASSERT_TRUE(f.store.saveObject(*TextRecord::make("same build"), nullptr));
    f.facade->checkDBEnv();
    EXPECT_EQ(f.store.getObjectCount(nullptr), 1);
}

TEST(Facade, NetInfoRefreshesNeverPileUp)
{
    FacadeFixture f;
    std::promise<void> gate;
    std::shared_future<void> open = gate.get_future().share();
    f.operations.addRefreshNetinfoThreadOperation([open] { open.wait(); });
    for (int i = 0; i < 5; ++i)
        f.facade->onAsynRefreshNetInfoCallBack();
    EXPECT_EQ(f.operations.getRefreshNetinfoOperationCount(), 1);
    gate.set_value();
    f.operations.waitUntilIdle();
    f.facade->onAsynRefreshNetInfoCallBack();
    f.facade->onAsynRefreshNetInfoCallBack();
    EXPECT_LE(f.operations.getRefreshNetinfoOperationCount(), 1);
}

TEST(Facade, ConfirmerCanDropUploads)
{
    struct No : AnaUploadConfirmer {
        bool confirmUpload() override { return false; }
    };
    struct Counting : AnalyticsNetwokHandler {
        std::atomic<int> ends{0};
        void finishWithResponse(const std::shared_ptr<NSResponsePackage>&) override { ++ends; }
        void failWithResponse(const AnaError&) override { ++ends; }
    };
    NetworkGuard network;
    FacadeFixture f;
    LoopbackHttpServer server;
    f.facade->setUploadConfirmer(std::make_shared<No>());
    f.handlers.registHandlerClass<Counting>("Confirm");
    auto request = AnaRequestDataPackage::initWithRequestPackage(
        NSRequestPackage::initWithData("a", "1", "s", "1.5.0", 4, nullptr), 1, "Confirm", server.url());
    auto handler = std::dynamic_pointer_cast<Counting>(f.handlers.addRequest(request));
    ASSERT_TRUE(handler);
    EXPECT_TRUE(handler->waitUntilFinished(5000));
    EXPECT_EQ(handler->ends, 0);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST(Facade, FullServiceQueriesTheStrategyAndAppliesTheAnswer)
{
    ModelGuard guard;
    NetworkGuard network;
    TempHome home;
    FacadeFixture f;
    LoopbackHttpServer server;
    CommunicateInterface::setTickLength(std::chrono::milliseconds(50));
    f.setStrategy([&](LocalStrategy& s) { s.uploadServer = server.url(); });
    auto watch = std::make_shared<StatusWatch>();
    watch->facade = f.facade.get();
    f.facade->setUploadConfirmer(watch);

    strategy::UploadStrategyPackage upload;
    upload.maxPackageSize = 30;
    upload.uploadServer = server.url("/moved").toStdString();
    upload.moduleStrategy = {{1, true}};
    analyticsrov::KelOutputStream os;
    upload.writeTo(os);
    LoopbackEnvelope::Reply reply;
    reply.cmd = 8;
    reply.body = os.bytes();
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::encodeReply(reply)));

    f.facade->enableAnlytics(0, "777", "10.0.0.1");
    f.operations.waitUntilIdle();
    ASSERT_TRUE(server.waitForRequests(1, 10000));
    ASSERT_TRUE(waitUntil([&] { return f.facade->status() == 3; }, 10000));
    f.handlers.waitUntilAllOperationsAreFinished();
    // Start-up said 2 before the query left, so the answer's 3 stands.
    EXPECT_EQ(watch->seen, 2);
    EXPECT_EQ(f.facade->status(), 3);
    const auto query = LoopbackEnvelope::decodeRequest(server.requests()[0].body);
    ASSERT_TRUE(query.ok);
    EXPECT_EQ(query.package.cmd, 0);
    EXPECT_TRUE(query.package.sBuffer.empty());
    EXPECT_EQ(query.package.qua, "777");
    EXPECT_EQ(f.facade->strategy()->maxPkgSize, 30);
    EXPECT_EQ(f.facade->strategy()->uploadServer, server.url("/moved"));
    EXPECT_TRUE(f.facade->strategy()->enableEventRecord);
    EXPECT_GT(Analytics::serverInitTime(), 0);
    // Enabling again queues nothing new.
    f.facade->enableAnlytics(1, "1", "1");
    EXPECT_EQ(f.facade->workType(), 0);
    f.facade->cleanAnalytics();
    EXPECT_EQ(f.facade->status(), 0);
    CommunicateInterface::setTickLength(std::chrono::milliseconds(1000));
    AnaNetFlowRecorder::sharedInstance().enable(false);
}
