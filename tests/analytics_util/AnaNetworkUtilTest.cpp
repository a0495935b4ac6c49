#include "analytics/AnaNetworkUtil.h"
#include "platform/sys/NetworkHelper.h"
#include "support/LoopbackHttpServer.h"

#include <gtest/gtest.h>

namespace {

class FakeFacts : public AnaNetworkFacts {
public:
    bool readFlags(Flags& out) const override
    {
        if (!readable)
            return false;
        out = flags;
        return true;
    }
    QString wifiAddress() const override { return wifi; }
    QString carrierName() const override { return carrier; }

    bool readable = true;
    Flags flags;
    QString wifi;
    QString carrier;
};

class AnaNetworkUtilTest : public ::testing::Test {
protected:
    void SetUp() override { AnaNetworkUtil::setFacts(&facts); }
    void TearDown() override { AnaNetworkUtil::setFacts(nullptr); }
    FakeFacts facts;
};

}

TEST_F(AnaNetworkUtilTest, ApnNamesWifiCellularAndNothing)
{
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "unknown");
    EXPECT_FALSE(AnaNetworkUtil::networkAvaliable());

    facts.flags.reachable = true;
    facts.wifi = "192.168.1.20";
    facts.carrier = "Carrier One";
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "WiFi");
    EXPECT_EQ(AnaNetworkUtil::localWiFiIPAddress(), "192.168.1.20");

    facts.wifi = QString();
    facts.flags.cellular = true;
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "Carrier%20One;3G");
    facts.flags.transient = true;
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "Carrier%20One;2G");
    facts.carrier = QString();
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "unkown;2G");

    facts.flags.connectionRequired = true;
    EXPECT_FALSE(AnaNetworkUtil::activeWWAN());
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "unknown");
}

TEST_F(AnaNetworkUtilTest, UnreadableFlagsKeepThePreviousOnes)
{
    facts.flags.reachable = true;
    EXPECT_TRUE(AnaNetworkUtil::networkAvaliable());
    facts.readable = false;
    facts.flags.reachable = false;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(AnaNetworkUtil::networkAvaliable());
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "Error. Could not recover flags");
    EXPECT_EQ(AnaNetworkUtil::getDNSServerIP(), "0.0.0.0");
    EXPECT_TRUE(AnaNetworkUtil::localHostname().endsWith(".local"));
    EXPECT_EQ(AnaNetworkUtil::ipForHost("http://127.0.0.1:8080/x"), "127.0.0.1");
    EXPECT_TRUE(AnaNetworkUtil::ipForHost("").isNull());
}

TEST(AnaNetworkUtilSystem, FollowsTheConnectionKindOfNetworkHelper)
{
    AnaNetworkUtil::setFacts(nullptr);
    NetworkHelper::setConnectionProvider([] { return int(NetworkConnectionNone); });
    EXPECT_FALSE(AnaNetworkUtil::networkAvaliable());
    EXPECT_EQ(AnaNetworkUtil::getAPN(), "unknown");
    NetworkHelper::setConnectionProvider([] { return int(NetworkConnectionInternet); });
    EXPECT_TRUE(AnaNetworkUtil::networkAvaliable());
    EXPECT_TRUE(AnaNetworkUtil::activeWWAN());
    NetworkHelper::setConnectionProvider([] { return int(NetworkConnectionBoth); });
    EXPECT_FALSE(AnaNetworkUtil::activeWWAN());
    NetworkHelper::setConnectionProvider({});
}

TEST(AnaNetworkUtilAddress, FetchesTheTextOrSaysWhyNot)
{
    LoopbackHttpServer server;
    server.enqueue(LoopbackHttpServer::answer("203.0.113.5"));
    EXPECT_EQ(AnaNetworkUtil::addressFromURL(server.url("/myip")), QString("203.0.113.5"));
    ASSERT_EQ(server.requestCount(), 1);
    EXPECT_EQ(server.requests()[0].method, QByteArray("GET"));
    EXPECT_EQ(server.requests()[0].target, QByteArray("/myip"));

    const QString refused = AnaNetworkUtil::addressFromURL(LoopbackHttpServer::refusedUrl());
    EXPECT_FALSE(refused.isEmpty());
    EXPECT_TRUE(refused.contains("onnect")) << refused.toStdString();
}
