#include "analytics/AnaModel.h"

#include <gtest/gtest.h>

namespace {

AnaModel::Inputs inputs()
{
    AnaModel::Inputs in;
    in.bundleId = "com.corvane.padolvo";
    in.bundleVersion = "2.5.0";
    in.executable = "sixteen_chars_ok";
    in.modelName = "iPad Simulator";
    in.systemName = "Linux";
    in.systemVersion = "6.1.0-18-amd64";
    return in;
}

}

TEST(AnaModel, InitialFieldsFromBundleAndDevice)
{
    AnaModel m(inputs());
    EXPECT_EQ(m.appId(), "com.corvane.padolvo");
    EXPECT_EQ(m.hardwareOs(), "iPad Simulator;Linux6.1.0-18-amd64");
    EXPECT_EQ(m.executeable(), "sixteen_chars_ok");
    EXPECT_FALSE(m.appVerbuild().isNull());
    EXPECT_EQ(m.appVerbuild(), "");
    EXPECT_FLOAT_EQ(m.osVerFloat(), 6.1f);
    EXPECT_TRUE(m.guid().isNull());

    AnaModel::Inputs missing = inputs();
    missing.bundleId = QString();
    missing.modelName = QString();
    missing.systemVersion = QString();
    missing.executable = "seventeen_chars_x";
    missing.buildUuid = "b-1";
    AnaModel n(missing);
    EXPECT_EQ(n.appId(), "nil");
    EXPECT_EQ(n.hardwareOs(), "nil;Linuxnil");
    EXPECT_EQ(n.executeable(), "seventeen_chars_");
    EXPECT_EQ(n.appVerbuild(), "b-1");
}

TEST(AnaModel, IntUinReadsALeadingNumber)
{
    AnaModel m(inputs());
    const std::pair<const char*, uint32_t> cases[] = {
        {"12345abc", 12345}, {"abc", 0}, {"  42", 42}, {"-1", 0xffffffffu}, {"99999999999", 2147483647u}, {"", 0},
    };
    for (const auto& [qua, uin] : cases) {
        m.setQua(qua);
        EXPECT_EQ(m.getIntUin(), uin) << qua;
        EXPECT_EQ(m.uin(), uin);
    }
}

TEST(AnaModel, SnapshotFollowsChangesAndNilStaysAbsent)
{
    AnaModel m(inputs());
    EXPECT_FALSE(m.snapshot().apn.has);
    m.setQua("777");
    m.setApn("WiFi");
    m.setServerTimeDelta(12);
    EXPECT_STREQ(m.snapshot().qua.text, "777");
    EXPECT_TRUE(m.snapshot().apn.has);
    EXPECT_EQ(m.snapshot().serverTimeDelta, 12);
    m.setApn(QString());
    EXPECT_FALSE(m.snapshot().apn.has);

    const AnaModel& shared = AnaModel::getDefualtAnaModel();
    ASSERT_NE(AnaModel::published(), nullptr);
    EXPECT_EQ(AnaModel::published(), &shared.snapshot());
}
