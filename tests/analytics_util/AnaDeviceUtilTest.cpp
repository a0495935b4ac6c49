#include "analytics/AnaDeviceUtil.h"
#include "analytics/AnaErrorPopulator.h"

#include <gtest/gtest.h>

#include <sys/utsname.h>

TEST(AnaDeviceUtil, ModelCodesNamesAndUnknownModels)
{
    // A desktop's machine identifier is a simulator's: the tablet one in the
    // tablet idiom, else the phone one, which is named though not listed.
    EXPECT_EQ(AnaDeviceUtil::modelTypeFor("x86_64", true), 767);
    EXPECT_EQ(AnaDeviceUtil::modelNameFor(767, "x86_64"), "iPad Simulator");
    EXPECT_EQ(AnaDeviceUtil::modelTypeFor("x86_64", false), 511);
    EXPECT_EQ(AnaDeviceUtil::modelNameFor(511, "x86_64"), "iPhone Simulator");
    // The idiom changes no other model; identifiers sharing a code share the
    // name of its first row.
    EXPECT_EQ(AnaDeviceUtil::modelTypeFor("iPhone3,2", false), 260);
    EXPECT_EQ(AnaDeviceUtil::modelNameFor(260, "iPhone3,2"), "iPhone 4");
    EXPECT_EQ(AnaDeviceUtil::modelTypeFor("Pinebook9,9", true), 65535);
    EXPECT_EQ(AnaDeviceUtil::modelNameFor(65535, "Pinebook9,9"), "Pinebook9,9");

    AnaDeviceUtil::setModel("Pinebook9,9");
    EXPECT_EQ(AnaDeviceUtil::modelType(), 65535);
    EXPECT_EQ(AnaDeviceUtil::modelType(), 65535);   // not cached
    EXPECT_EQ(AnaDeviceUtil::modelName(), "Pinebook9,9");
    // This machine, as the payload reports it.
    utsname machine{};
    ASSERT_EQ(uname(&machine), 0);
    AnaDeviceUtil::setModel(QString());
    if (QByteArray(machine.machine) == "x86_64") {
        EXPECT_EQ(AnaDeviceUtil::modelType(), 767);
        EXPECT_EQ(AnaDeviceUtil::modelName(), "iPad Simulator");
    }
    AnaDeviceUtil::setModel("iPod2,1");
    EXPECT_EQ(AnaDeviceUtil::modelType(), 1026);
    EXPECT_TRUE(AnaDeviceUtil::isArmV6());
    AnaDeviceUtil::setModel(QString());
}

TEST(AnaDeviceUtil, SystemTextsAndMeasures)
{
    EXPECT_EQ(AnaDeviceUtil::osVersionText("6.1.0-18-amd64", "12"), "6.1.0-18-amd64(12)");
    EXPECT_EQ(AnaDeviceUtil::osVersionText("6.1.0-18-amd64", ""), "6.1.0-18-amd64");
    EXPECT_EQ(AnaDeviceUtil::buildFromOsRelease("NAME=\"Debian\"\nVERSION_ID=\"12\"\n"), "12");
    EXPECT_EQ(AnaDeviceUtil::buildFromOsRelease("VERSION_ID=24.04\nBUILD_ID=rolling\n"), "rolling");
    EXPECT_EQ(AnaDeviceUtil::buildFromOsRelease("NAME=x\n"), "");
    EXPECT_FLOAT_EQ(AnaDeviceUtil::leadingFloat("6.1.0-18"), 6.1f);
    EXPECT_FLOAT_EQ(AnaDeviceUtil::leadingFloat("kernel"), 0.0f);

    AnaDeviceUtil::CpuTicks a{100, 50, 800, 50};
    AnaDeviceUtil::CpuTicks b{200, 100, 900, 100};
    EXPECT_FLOAT_EQ(AnaDeviceUtil::cpuUsageBetween(a, b), 50.0f);
    EXPECT_FLOAT_EQ(AnaDeviceUtil::cpuUsageBetween(b, b), 0.0f);
    EXPECT_EQ(AnaDeviceUtil::batteryPercent(-1.0), -100);
    EXPECT_EQ(AnaDeviceUtil::batteryPercent(0.567), 56);

    float cpu = AnaDeviceUtil::getCpuUsage();
    EXPECT_TRUE(cpu >= 0.0f && cpu <= 100.0f);
    EXPECT_GT(AnaDeviceUtil::getFreeSpace(), 0.0f);
    EXPECT_GT(AnaDeviceUtil::getFreeMemory(), 0.0f);
    EXPECT_FALSE(AnaDeviceUtil::getDeviceName().isEmpty());
    EXPECT_EQ(AnaDeviceUtil::getOSName(), "Linux");
}

TEST(AnaErrorPopulator, FillsOnlyAGivenError)
{
    EXPECT_FALSE(AnaErrorPopulator::populateError(nullptr, 11, "error network not avaliable"));
    AnaError error;
    EXPECT_TRUE(AnaErrorPopulator::populateError(&error, AnaErrorNetworkUnavailable, "error network not avaliable"));
    EXPECT_EQ(error.domain, "AnalyticsErrorDomain");
    EXPECT_EQ(error.code, 11);
    EXPECT_EQ(error.description, "error network not avaliable");
}
