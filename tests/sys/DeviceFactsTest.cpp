#include "platform/sys/CustomUDID.h"
#include "platform/sys/NetworkHelper.h"
#include "platform/sys/UIDeviceEx.h"
#include "support/FakeNetworkKind.h"

#include <QRegularExpression>

#include <gtest/gtest.h>

#include <thread>

TEST(CustomUDID, IsTheLowerCaseMd5OfAddressAndMachine)
{
    EXPECT_EQ(CustomUDID::udidFor("0A:1B:2C:3D:4E:5F", "x86_64"), "deee3a9c87726bf74da00fb11ee713ae");
    EXPECT_EQ(CustomUDID::udidFor("0a:1b:2c:3d:4e:5f", "x86_64"), "deee3a9c87726bf74da00fb11ee713ae");

    const QString id = CustomUDID::udidWithWifiMacAddressAndDeviceModelMD5();
    EXPECT_TRUE(QRegularExpression("^[0-9a-f]{32}$").match(id).hasMatch()) << id.toStdString();
    EXPECT_EQ(id, CustomUDID::udidWithWifiMacAddressAndDeviceModelMD5());
    EXPECT_EQ(id, CustomUDID::udidFor(CustomUDID::wifiHardwareAddress(), UIDeviceEx::model()));
    EXPECT_TRUE(QRegularExpression("^([0-9A-F]{2}:){5}[0-9A-F]{2}$").match(CustomUDID::wifiHardwareAddress()).hasMatch());
}

TEST(NetworkHelper, AnInjectedKindWinsAndStaysInRange)
{
    {
        FakeNetworkKind fake(NetworkConnectionInternet);
        EXPECT_EQ(NetworkHelper::getNetworkConnction(), 1);
        fake.set(NetworkConnectionNone);
        int fromThread = -1;
        std::thread([&] { fromThread = NetworkHelper::getNetworkConnction(); }).join();
        EXPECT_EQ(fromThread, 0);
        fake.set(7);   // nonsense from a provider counts as no network
        EXPECT_EQ(NetworkHelper::getNetworkConnction(), 0);
        EXPECT_EQ(fake.queries(), 3);
    }
    const int system = NetworkHelper::getNetworkConnction();
    EXPECT_GE(system, 0);
    EXPECT_LE(system, 3);
}
