#include "analytics/transport/CurlExchange.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

namespace {

CurlExchange::Limits fastLimits()
{
    CurlExchange::Limits limits;
    limits.allowanceBeforeResponse = 7;
    limits.allowance = 5;
    limits.tickLength = std::chrono::milliseconds(50);
    return limits;
}

}

TEST(CurlExchange, PostsBodyAndReadsAnswer)
{
    LoopbackHttpServer server;
    server.enqueue(LoopbackHttpServer::answer("reply-bytes"));
    CurlExchange exchange;
    const QByteArray body("\x00\x01\x02payload", 10);
    const auto result = exchange.post(server.url(), body, fastLimits());
    EXPECT_EQ(result.ending, CurlExchange::Ending::Finished);
    EXPECT_EQ(result.body, QByteArray("reply-bytes"));
    EXPECT_EQ(result.httpStatus, 200);
    EXPECT_EQ(result.downFlow, 66 + 11);
    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 1);
    EXPECT_EQ(requests[0].method, QByteArray("POST"));
    EXPECT_EQ(requests[0].target, QByteArray("/analytics/upload"));
    EXPECT_EQ(requests[0].body, body);
    EXPECT_FALSE(requests[0].headers.contains("expect"));
}

TEST(CurlExchange, TickTimeOutsBeforeAndAfterTheResponse)
{
    LoopbackHttpServer server;
    server.enqueue(LoopbackHttpServer::hang());
    server.enqueue(LoopbackHttpServer::headersThenStall());
    server.enqueue(LoopbackHttpServer::halfBodyThenStall(QByteArray(100, 'b')));
    CurlExchange exchange;

    const auto silent = exchange.post(server.url(), "x", fastLimits());
    EXPECT_EQ(silent.ending, CurlExchange::Ending::TimedOut);
    EXPECT_EQ(silent.timeoutTick, 8);
    EXPECT_FALSE(silent.responseReceived);

    const auto headersOnly = exchange.post(server.url(), "x", fastLimits());
    EXPECT_EQ(headersOnly.ending, CurlExchange::Ending::TimedOut);
    EXPECT_TRUE(headersOnly.responseReceived);
    EXPECT_EQ(headersOnly.timeoutTick, 6);

    const auto halfBody = exchange.post(server.url(), "x", fastLimits());
    EXPECT_EQ(halfBody.ending, CurlExchange::Ending::TimedOut);
    EXPECT_EQ(halfBody.body.size(), 50);
    server.release();
}

TEST(CurlExchange, RedirectKeepsPostAndBody)
{
    for (int status : {302, 307}) {
        LoopbackHttpServer server;
        server.enqueue(LoopbackHttpServer::redirect(status, "/moved/upload"));
        server.enqueue(LoopbackHttpServer::answer("ok"));
        CurlExchange exchange;
        const QByteArray body(300, '\x7f');
        const auto result = exchange.post(server.url(), body, fastLimits());
        EXPECT_EQ(result.ending, CurlExchange::Ending::Finished) << status;
        EXPECT_EQ(result.effectiveUrl, server.url("/moved/upload"));
        const auto requests = server.requests();
        ASSERT_EQ(requests.size(), 2);
        EXPECT_EQ(requests[1].method, QByteArray("POST"));
        EXPECT_EQ(requests[1].target, QByteArray("/moved/upload"));
        EXPECT_EQ(requests[1].body, body);
    }
}

TEST(CurlExchange, ReplyBodyIsCappedAtFourMebibytes)
{
    LoopbackHttpServer server;
    const qint64 flood = 256LL * 1024 * 1024;
    server.enqueue(LoopbackHttpServer::flood(flood));
    server.enqueue(LoopbackHttpServer::answer(QByteArray(4 * 1024 * 1024, 'r')));
    CurlExchange exchange;

    const auto flooded = exchange.post(server.url(), "x", fastLimits());
    EXPECT_EQ(flooded.ending, CurlExchange::Ending::Failed);
    EXPECT_TRUE(flooded.bodyTooLarge);
    EXPECT_EQ(flooded.curlCode, 23);   // CURLE_WRITE_ERROR
    EXPECT_EQ(flooded.curlMessage, QString("response body larger than 4194304 bytes"));
    // The most the exchange ever held: its body buffer only grows.
    EXPECT_LE(flooded.body.capacity(), 4 * 1024 * 1024);
    EXPECT_LT(server.floodSent(), flood);

    const auto atTheCap = exchange.post(server.url(), "x", fastLimits());
    EXPECT_EQ(atTheCap.ending, CurlExchange::Ending::Finished);
    EXPECT_EQ(atTheCap.body.size(), 4 * 1024 * 1024);
}

TEST(CurlExchange, RequestThatCannotBeSetUpIsNotCreated)
{
    LoopbackHttpServer server;
    CurlExchange exchange;
    // curl refuses option strings over its input limit of 8,000,000 bytes.
    const QString huge = server.url() + "?" + QString(9000000, 'a');
    const auto result = exchange.post(huge, "x", fastLimits());
    EXPECT_EQ(result.ending, CurlExchange::Ending::NotCreated);
    EXPECT_EQ(server.requestCount(), 0);
}
