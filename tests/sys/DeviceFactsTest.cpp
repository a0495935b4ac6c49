#include "platform/sys/CustomUDID.h"
#include "platform/sys/NetworkHelper.h"
#include "support/FakeNetworkKind.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <thread>

#include <sys/utsname.h>

TEST(CustomUDID, IsTheLowerCaseMd5OfAddressAndMachine)
{
    EXPECT_EQ(CustomUDID::udidFor("0A:1B:2C:3D:4E:5F", "x86_64"), "deee3a9c87726bf74da00fb11ee713ae");
    EXPECT_EQ(CustomUDID::udidFor("0a:1b:2c:3d:4e:5f", "x86_64"), "deee3a9c87726bf74da00fb11ee713ae");

    // This machine's id, from its facts as the kernel shows them: the first
    // wireless interface's address, else the first other one by name.
    QString address = "02:00:00:00:00:00";
    bool found = false;
    bool wirelessFound = false;
    const QDir net("/sys/class/net");
    for (const QString& name : net.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        QFile file(net.filePath(name + "/address"));
        if (name == "lo" || !file.open(QIODevice::ReadOnly))
            continue;
        const QString mac = QString::fromLatin1(file.readAll().trimmed()).toUpper();
        if (mac.isEmpty() || mac == "00:00:00:00:00:00")
            continue;
        const bool wireless = QFileInfo::exists(net.filePath(name + "/wireless"));
        if (!found || (wireless && !wirelessFound)) {
            address = mac;
            found = true;
            wirelessFound = wireless;
        }
    }
    utsname machine{};
    ASSERT_EQ(uname(&machine), 0);
    const QString expected = QString::fromLatin1(
        QCryptographicHash::hash(address.toUtf8() + machine.machine, QCryptographicHash::Md5).toHex());
    EXPECT_EQ(CustomUDID::wifiHardwareAddress(), address);
    EXPECT_EQ(CustomUDID::udidWithWifiMacAddressAndDeviceModelMD5(), expected);
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
