#include "analytics/AnaModel.h"
#include "analytics/AnaNetworkFacts.h"
#include "analytics/AnaNetworkUtil.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaNetworkHandlerBase.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/AnaRequestDataPackage.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "analytics/transport/CommunicateInterface.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"

#include <QElapsedTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <mutex>

namespace {

class RecordingHandler : public AnaNetworkHandlerBase {
public:
    std::atomic<int> finishes{0};
    std::atomic<int> failures{0};
    std::atomic<int> lastResult{-100};
    mutable std::mutex mutex;
    AnaError lastError;

    AnaError error() const
    {
        std::lock_guard lock(mutex);
        return lastError;
    }
    int timeoutTick() const
    {
        auto e = std::dynamic_pointer_cast<CommunicateInterface>(engine());
        return e ? e->lastTimeoutTick() : -1;
    }

protected:
    void finishWithResponse(const std::shared_ptr<NSResponsePackage>& response) override
    {
        lastResult = response ? response->result : -1;
        ++finishes;
    }
    void failWithResponse(const AnaError& error) override
    {
        std::lock_guard lock(mutex);
        lastError = error;
        ++failures;
    }
};

// Notes the nice value of the thread it is prepared on, as the kernel
// reports it for that thread.
class PriorityHandler : public RecordingHandler {
public:
    std::atomic<int> niceValue{-100};

protected:
    bool prepare(const std::shared_ptr<AnaRequestDataPackage>& request) override
    {
        errno = 0;
        const int nice = getpriority(PRIO_PROCESS, id_t(gettid()));
        niceValue = errno == 0 ? nice : -100;
        return RecordingHandler::prepare(request);
    }
};

class Transport : public ::testing::Test {
protected:
    void SetUp() override
    {
        CommunicateInterface::setTickLength(std::chrono::milliseconds(50));
        setNetwork(true, true, false);
        queue.registHandlerClass<RecordingHandler>("TestKey");
    }
    void TearDown() override
    {
        server.release();
        queue.cancelAllOperations();
        queue.waitUntilAllOperationsAreFinished();
        AnaNetworkState::setSource({});
        CommunicateInterface::setTickLength(std::chrono::milliseconds(1000));
        CommunicateInterface::setExchangeDeadline(std::chrono::minutes(3));
    }
    void setNetwork(bool available, bool wlan, bool wwan)
    {
        AnaNetworkState::setSource([=] { return AnaNetworkState{available, wlan, wwan}; });
    }
    std::shared_ptr<RecordingHandler> send(bool needRetry, const QString& url = {}, int priority = 1)
    {
        auto package = NSRequestPackage::initWithData("app", "1.0", "sdk", "1.5.0", 4, nullptr);
        auto request = AnaRequestDataPackage::initWithRequestPackage(package, priority, "TestKey",
                                                                     url.isNull() ? server.url() : url);
        request->needRetry = needRetry;
        request->retryDuratuion = 0.02;
        auto handler = std::dynamic_pointer_cast<RecordingHandler>(queue.addRequest(request));
        EXPECT_TRUE(handler);
        return handler;
    }
    static void expectOneEnd(const RecordingHandler& h)
    {
        EXPECT_TRUE(h.waitUntilFinished(10000));
        EXPECT_EQ(h.finishes + h.failures, 1);
    }

    LoopbackHttpServer server;
    AnaNetWorkHandlerQueue queue;
};

}

TEST_F(Transport, AnswerReachesTheHandlerOnce)
{
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    auto handler = send(true);
    expectOneEnd(*handler);
    EXPECT_EQ(handler->finishes, 1);
    EXPECT_EQ(handler->lastResult, 0);
    const auto decoded = LoopbackEnvelope::decodeRequest(server.requests().value(0).body);
    ASSERT_TRUE(decoded.ok) << decoded.error.toStdString();
    EXPECT_EQ(decoded.header.sServantName, "upload");
    EXPECT_EQ(decoded.header.sFuncName, "access");
    EXPECT_EQ(decoded.package.cmd, 4);
    EXPECT_EQ(decoded.package.platformId, 2);
}

TEST_F(Transport, NoNetworkRetriesUpToTheLimitOnlyWhenAsked)
{
    setNetwork(false, false, false);
    auto retried = send(true);
    expectOneEnd(*retried);
    EXPECT_EQ(retried->exchangeCount(), 3);
    EXPECT_EQ(retried->error().code, 11);
    EXPECT_EQ(retried->error().domain, QString("AnalyticsErrorDomain"));

    auto once = send(false);
    expectOneEnd(*once);
    EXPECT_EQ(once->exchangeCount(), 1);
    EXPECT_EQ(server.requestCount(), 0);
}

TEST_F(Transport, TimeOutComesOnTheTickForTheNetworkKind)
{
    server.setDefaultStep(LoopbackHttpServer::hang());
    auto wifi = send(false);
    expectOneEnd(*wifi);
    EXPECT_EQ(wifi->error().domain, QString("AnalyticsNetworkTimeOutError"));
    EXPECT_EQ(wifi->error().code, -1005);
    EXPECT_EQ(wifi->timeoutTick(), 8);

    setNetwork(true, false, true);
    auto cellular = send(false);
    expectOneEnd(*cellular);
    EXPECT_EQ(cellular->timeoutTick(), 16);
}

TEST_F(Transport, ADripFedAnswerEndsAtTheExchangeDeadline)
{
    // One byte every 60 ms keeps the 5-tick allowance (250 ms) from ever
    // running out; only the deadline ends the exchange.
    const QByteArray answer = LoopbackEnvelope::reply(0);
    CommunicateInterface::setExchangeDeadline(std::chrono::milliseconds(500));
    server.enqueue(LoopbackHttpServer::drip(answer, 60));
    QElapsedTimer clock;
    clock.start();
    auto dripped = send(false);
    expectOneEnd(*dripped);
    EXPECT_EQ(dripped->failures, 1);
    EXPECT_EQ(dripped->error().domain, QString("AnalyticsNetworkTimeOutError"));
    EXPECT_EQ(dripped->error().code, -1005);
    EXPECT_GE(clock.elapsed(), 500);
    EXPECT_LT(clock.elapsed(), 60 * answer.size());

    // The same drip within the deadline is read whole.
    CommunicateInterface::setExchangeDeadline(std::chrono::seconds(30));
    server.enqueue(LoopbackHttpServer::drip(answer, 5));
    auto read = send(false);
    expectOneEnd(*read);
    EXPECT_EQ(read->finishes, 1);
    EXPECT_EQ(read->lastResult, 0);
}

TEST_F(Transport, RetryAfterATimeOutCanSucceed)
{
    server.enqueue(LoopbackHttpServer::hang());
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    auto handler = send(true);
    expectOneEnd(*handler);
    EXPECT_EQ(handler->finishes, 1);
    EXPECT_EQ(handler->currentRetryCount(), 1);
    EXPECT_EQ(server.requestCount(), 2);
}

TEST_F(Transport, TimeOutsStopAfterTheRetryLimit)
{
    server.setDefaultStep(LoopbackHttpServer::hang());
    auto handler = send(true);
    expectOneEnd(*handler);
    EXPECT_EQ(handler->failures, 1);
    EXPECT_EQ(handler->exchangeCount(), 3);
    EXPECT_EQ(handler->error().code, -1005);
}

TEST_F(Transport, ServerFailuresEndWithoutRetry)
{
    server.enqueue(LoopbackHttpServer::answer(QByteArray()));
    auto empty = send(true);
    expectOneEnd(*empty);
    EXPECT_EQ(empty->error().code, 13);
    EXPECT_EQ(empty->error().description, QString("response data is nil"));

    server.enqueue(LoopbackHttpServer::serverError());
    auto html = send(true);
    expectOneEnd(*html);
    EXPECT_EQ(html->error().code, 7);

    server.enqueue(LoopbackHttpServer::drop());
    auto dropped = send(true);
    expectOneEnd(*dropped);
    EXPECT_EQ(dropped->error().domain, QString("AnalyticsCurlErrorDomain"));

    auto refused = send(true, LoopbackHttpServer::refusedUrl());
    expectOneEnd(*refused);
    EXPECT_EQ(refused->exchangeCount(), 1);
    EXPECT_EQ(refused->error().domain, QString("AnalyticsCurlErrorDomain"));
    EXPECT_EQ(server.requestCount(), 3);
}

TEST_F(Transport, FloodedReplyAndUncreatableConnectionEndWithoutRetry)
{
    server.enqueue(LoopbackHttpServer::flood(64LL * 1024 * 1024));
    auto flooded = send(true);
    expectOneEnd(*flooded);
    EXPECT_EQ(flooded->exchangeCount(), 1);
    EXPECT_EQ(flooded->error().domain, QString("AnalyticsCurlErrorDomain"));
    EXPECT_EQ(flooded->error().description, QString("response body larger than 4194304 bytes"));

    auto uncreatable = send(true, server.url() + "?" + QString(9000000, 'u'));
    expectOneEnd(*uncreatable);
    EXPECT_EQ(uncreatable->exchangeCount(), 1);
    EXPECT_EQ(uncreatable->error().domain, QString("AnalyticsNetworkDomainError"));
    EXPECT_EQ(uncreatable->error().code, 13);
    EXPECT_TRUE(uncreatable->error().description.isEmpty());
    EXPECT_EQ(server.requestCount(), 1);
}

TEST_F(Transport, RedirectedRetryGoesToTheNewAddress)
{
    server.enqueue(LoopbackHttpServer::redirect(307, "/moved"));
    server.enqueue(LoopbackHttpServer::hang());
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    auto handler = send(true);
    expectOneEnd(*handler);
    EXPECT_EQ(handler->finishes, 1);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 3);
    EXPECT_EQ(requests[1].target, QByteArray("/moved"));
    EXPECT_EQ(requests[2].target, QByteArray("/moved"));
    EXPECT_EQ(requests[1].body, requests[0].body);
}

TEST_F(Transport, CancelAbortsTheTransferAndEndsWithoutCallbacks)
{
    server.setDefaultStep(LoopbackHttpServer::hang());
    CommunicateInterface::setTickLength(std::chrono::milliseconds(1000));
    auto handler = send(true);
    ASSERT_TRUE(server.waitForRequests(1, 5000));
    queue.cancelRequest(handler);
    EXPECT_TRUE(handler->waitUntilFinished(5000));
    EXPECT_EQ(handler->finishes + handler->failures, 0);
    EXPECT_EQ(handler->exchangeCount(), 1);
    queue.waitUntilAllOperationsAreFinished();
}

TEST_F(Transport, AtMostThreeExchangesRunAtOnce)
{
    // Long ticks: a loaded machine must not turn slow answers into time-outs.
    CommunicateInterface::setTickLength(std::chrono::milliseconds(2000));
    for (int i = 0; i < 5; ++i)
        server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0), 200, 150));
    std::vector<std::shared_ptr<RecordingHandler>> handlers;
    for (int i = 0; i < 5; ++i)
        handlers.push_back(send(false));
    for (auto& h : handlers)
        expectOneEnd(*h);
    // How many overlap depends on scheduling; the queue's limit must hold.
    EXPECT_LE(server.maxOpenConnections(), 3);
    EXPECT_GE(server.maxOpenConnections(), 1);
    for (auto& h : handlers)
        EXPECT_EQ(h->finishes, 1);
}

// A request of priority 2 runs on a thread of the highest priority, one of
// priority 0 on the lowest, any other just above the normal one.
// A low-priority request runs at a raised nice value; the others at the
// process's own (raising it takes a privilege the program does not ask
// for), also after a low one ran.
TEST_F(Transport, HandlersRunAtTheThreadPriorityOfTheirRequest)
{
    ASSERT_GE(AnaModel::getDefualtAnaModel().osVerFloat(), 4.0f);
    queue.registHandlerClass<PriorityHandler>("PriorityKey");
    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    const int base = getpriority(PRIO_PROCESS, 0);
    const int lowered = std::min(19, base + 15);
    const std::pair<int, int> cases[] = {{0, lowered}, {2, base}, {1, base}, {7, base}, {0, lowered}};
    for (const auto& [priority, expected] : cases) {
        auto package = NSRequestPackage::initWithData("app", "1.0", "sdk", "1.5.0", 4, nullptr);
        auto handler = std::dynamic_pointer_cast<PriorityHandler>(
            queue.addRequest(AnaRequestDataPackage::initWithRequestPackage(package, priority, "PriorityKey", server.url())));
        ASSERT_TRUE(handler);
        expectOneEnd(*handler);
        EXPECT_EQ(handler->niceValue, expected) << "request priority " << priority;
    }
}

// The default address is posted to as given when it has a path, and to
// "/analytics/upload" when it has none.
TEST_F(Transport, AnAddressWithoutAPathIsPostedToTheUploadPath)
{
    const QString before = AnaUploadAddress::defaultUrl();
    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    const std::pair<QString, QByteArray> cases[] = {
        {server.url(""), "/analytics/upload"}, {server.url("/"), "/analytics/upload"}, {server.url("/crash/in"), "/crash/in"}};
    for (const auto& [given, target] : cases) {
        AnaUploadAddress::setDefaultUrl(given);
        auto request = std::make_shared<AnaRequestDataPackage>();
        request->requestPackage = NSRequestPackage::initWithData("app", "1.0", "sdk", "1.5.0", 4, nullptr);
        request->handlerKey = "TestKey";
        auto handler = std::dynamic_pointer_cast<RecordingHandler>(queue.addRequest(request));
        ASSERT_TRUE(handler);
        expectOneEnd(*handler);
        EXPECT_EQ(handler->finishes, 1);
        EXPECT_EQ(server.requests().last().target, target) << given.toStdString();
    }
    AnaUploadAddress::setDefaultUrl("");
    EXPECT_EQ(AnaUploadAddress::defaultUrl(), "");
    AnaUploadAddress::setDefaultUrl(before);
}

TEST(UploadAddress, LoopbackIsReachableAndNoAddressIsNoNetwork)
{
    struct Offline : AnaNetworkFacts {
        bool readFlags(Flags& flags) const override
        {
            flags = Flags{};
            return true;
        }
        QString wifiAddress() const override { return {}; }
        QString carrierName() const override { return {}; }
    } offline;
    const QString before = AnaUploadAddress::defaultUrl();
    AnaNetworkUtil::setFacts(&offline);
    AnaUploadAddress::setDefaultUrl("http://127.0.0.1:9/analytics/upload");
    EXPECT_TRUE(AnaNetworkUtil::networkAvaliable());
    EXPECT_TRUE(AnaNetworkState::current().available);
    AnaUploadAddress::setDefaultUrl("http://192.0.2.7/analytics/upload");
    EXPECT_FALSE(AnaNetworkUtil::networkAvaliable());
    AnaUploadAddress::setDefaultUrl("");
    EXPECT_FALSE(AnaNetworkState::current().available);
    AnaNetworkUtil::setFacts(nullptr);
    AnaUploadAddress::setDefaultUrl(before);
}
