#include "AnalyticsTestSupport.h"

#include "analytics/AnaModel.h"
#include "analytics/facade/AnaModule.h"
#include "analytics/packages/NSMixPackage.h"
#include "analytics/packages/NSResponsePackage.h"
#include "analytics/packages/NSSecurityStrategyPackage.h"
#include "analytics/packages/NSUploadStrategyPackage.h"
#include "analytics/strategy/AnaServerStrategyProcesser.h"
#include "analytics/transport/AnaUploadAddress.h"


#include <gtest/gtest.h>

namespace {

struct CountingModule : AnaModule {
    int serverInits = 0;
    int enables = 0;
    void executeServerStrategyInit(const NSResponsePackage&) override { ++serverInits; }
    void checkAndEnable() override { ++enables; }
};

std::shared_ptr<NSResponsePackage> uploadAnswer(std::optional<std::map<int, bool>> modules, int maxSize = 40,
                                                QString server = {})
{
    auto package = std::make_shared<NSUploadStrategyPackage>();
    package->maxPackageSize = maxSize;
    package->moduleStrategy = std::move(modules);
    package->uploadServer = std::move(server);
    auto response = std::make_shared<NSResponsePackage>();
    response->cmd = 8;
    response->sBuffer = package;
    return response;
}

}

TEST(Strategy, CheckSafeClampsEveryField)
{
    LocalStrategy s;
    s.zipAlg = 0;
    s.encAlg = 2;
    s.maxPkgSize = 19;
    s.dbMaxSize = 99;
    s.uploadStrategy = -1;
    s.encKey = "short";
    s.checkSafe();
    EXPECT_EQ(s.zipAlg, -1);
    EXPECT_EQ(s.encAlg, -1);
    EXPECT_EQ(s.maxPkgSize, 50);
    EXPECT_EQ(s.dbMaxSize, 200);
    EXPECT_EQ(s.uploadStrategy, 3);
    EXPECT_EQ(s.encKey, QString("#T%v!Q&2"));
    for (auto [in, out] : {std::pair{101, 50}, {20, 20}, {100, 100}}) {
        s.maxPkgSize = in;
        s.checkSafe();
        EXPECT_EQ(s.maxPkgSize, out);
    }
    s.uploadStrategy = 4;
    s.checkSafe();
    EXPECT_EQ(s.uploadStrategy, 3);
}

TEST(Strategy, PayloadRoundTripAndStableBuildId)
{
    LocalStrategy s;
    s.setId(7);
    s.zipAlg = -1;
    s.encKey = "abcdefgh";
    s.uploadServer = "http://127.0.0.1:9/analytics/upload";
    s.maxPkgSize = 33;
    s.enableEventRecord = true;
    LocalStrategy back;
    ASSERT_TRUE(back.setEncodeData(s.encodeData()));
    EXPECT_EQ(back.id(), 7);
    EXPECT_EQ(back.zipAlg, -1);
    EXPECT_EQ(back.encKey, QString("abcdefgh"));
    EXPECT_EQ(back.uploadServer, s.uploadServer);
    EXPECT_EQ(back.maxPkgSize, 33);
    EXPECT_TRUE(back.enableEventRecord);
    EXPECT_FALSE(back.enableCrashReport);
    EXPECT_FALSE(back.setEncodeData(QByteArray()));
    // FNV-1a is the same in every process.
    EXPECT_EQ(LocalStrategy::stringHash(""), int32_t(0x811C9DC5u));
    EXPECT_EQ(LocalStrategy::stringHash("a"), int32_t(0xE40C292Cu));
    EXPECT_EQ(LocalStrategy::getDefaultHash(), QString::number(LocalStrategy::getDefaultId()));
    EXPECT_EQ(LocalStrategy::getObjWithDefaultSet()->md5(), LocalStrategy::getDefaultId());
}

TEST(Strategy, ModuleSwitchesFollowTheAnswer)
{
    LocalStrategy s;
    s.enableCrashReport = true;
    AnaServerStrategyProcesser::updateModuleStrategy(s, nullptr);
    EXPECT_TRUE(s.enableCrashReport);
    NSUploadStrategyPackage noMap;
    AnaServerStrategyProcesser::updateModuleStrategy(s, &noMap);
    EXPECT_TRUE(s.enableCrashReport);

    NSUploadStrategyPackage eventsOnly;
    eventsOnly.moduleStrategy = std::map<int, bool>{{1, true}};
    AnaServerStrategyProcesser::updateModuleStrategy(s, &eventsOnly);
    EXPECT_TRUE(s.enableEventRecord);
    EXPECT_FALSE(s.enableSpeedTrack);
    EXPECT_FALSE(s.enableCrashReport);

    NSUploadStrategyPackage empty;
    empty.moduleStrategy = std::map<int, bool>{};
    AnaServerStrategyProcesser::updateModuleStrategy(s, &empty);
    EXPECT_FALSE(s.enableEventRecord);
}

TEST(Strategy, ServerAnswerIsClampedStoredAndPassedOn)
{
    FacadeFixture f;
    auto module = std::make_shared<CountingModule>();
    f.facade->addModule(module);
    AnaModel& model = AnaModel::getDefualtAnaModel();
    model.setServerTimeDelta(42);

    auto answer = uploadAnswer(std::map<int, bool>{{3, true}}, 101, "http://127.0.0.1:8/x");
    AnaServerStrategyProcesser::sharedInstance().procees(*answer, *f.facade);
    auto s = f.facade->strategy();
    EXPECT_EQ(s->maxPkgSize, 50);
    EXPECT_EQ(s->uploadServer, QString("http://127.0.0.1:8/x"));
    EXPECT_TRUE(s->enableCrashReport);
    EXPECT_EQ(model.serverTimeDelta(), 42);   // serverTime 0 changes nothing
    EXPECT_EQ(module->serverInits, 1);
    EXPECT_EQ(module->enables, 1);
    auto stored = std::dynamic_pointer_cast<LocalStrategy>(f.store.getLocalStrategy(nullptr));
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->uploadServer, QString("http://127.0.0.1:8/x"));

    // Any other command is still clamped, stored and passed on.
    auto other = std::make_shared<NSResponsePackage>();
    other->cmd = 5;
    f.clock.setNow(QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC));
    other->serverTime = (f.clock.now().toSecsSinceEpoch() + 100) * 1000;
    AnaServerStrategyProcesser::sharedInstance().procees(*other, *f.facade);
    EXPECT_EQ(module->serverInits, 2);
    EXPECT_EQ(model.serverTimeDelta(), 100);
    EXPECT_TRUE(model.gotServerTime());
    model.setServerTimeDelta(0);
}

TEST(Strategy, ServerCannotInstallUnsafeAddressesOrShortKeys)
{
    FacadeFixture f;
    f.setStrategy([](LocalStrategy& s) { s.uploadServer = "http://127.0.0.1:1/analytics/upload"; });
    for (const QString bad : {"ftp://evil.example/x", "http://", "not a url", "file:///etc/passwd"}) {
        AnaServerStrategyProcesser::sharedInstance().procees(*uploadAnswer(std::map<int, bool>{}, 40, bad), *f.facade);
        EXPECT_EQ(f.facade->strategy()->uploadServer, QString("http://127.0.0.1:1/analytics/upload")) << bad.toStdString();
    }
    auto security = std::make_shared<NSSecurityStrategyPackage>();
    security->encryKey = "1234567";
    security->encryPublicKey = "";
    security->encryAlgorithm = 1;
    security->zipAlgorithm = 2;
    auto mix = std::make_shared<NSMixPackage>();
    mix->mixMap.emplace();
    (*mix->mixMap)[7] = security;
    auto answer = std::make_shared<NSResponsePackage>();
    answer->cmd = 10;
    answer->sBuffer = mix;
    AnaServerStrategyProcesser::sharedInstance().procees(*answer, *f.facade);
    EXPECT_EQ(f.facade->strategy()->encKey, QString("#T%v!Q&2"));
    EXPECT_EQ(f.facade->strategy()->encPubKey, QString("N[=W^W=]"));

    security->encryKey = "87654321";
    AnaServerStrategyProcesser::sharedInstance().procees(*answer, *f.facade);
    EXPECT_EQ(f.facade->strategy()->encKey, QString("87654321"));
}

TEST(Strategy, UnreadableStoredStrategyKeepsTheOtherRecords)
{
    FacadeFixture f;
    ASSERT_TRUE(f.store.saveObject(*TextRecord::make("kept"), nullptr));
    ASSERT_TRUE(f.store.executeUpdateSQL(
        "insert into ana_persist (type,priority,time,encodeData,encLength,count,md5) values (100,0,0,x'0102030405',5,0,0)",
        nullptr));
    EXPECT_TRUE(f.facade->fetchLocalStrategy());
    EXPECT_EQ(f.store.getObjectCountOfType(TextRecord::kType, nullptr), 1);
    EXPECT_EQ(f.facade->strategy()->maxPkgSize, 50);

    // A missing table is rebuilt.
    ASSERT_TRUE(f.store.dropDBTables(nullptr));
    EXPECT_FALSE(f.facade->fetchLocalStrategy());
    EXPECT_TRUE(f.store.tableExists("ana_persist"));
}

TEST(Strategy, DefaultStrategyUsesTheConfiguredAddress)
{
    const QString before = AnaUploadAddress::defaultUrl();
    AnaUploadAddress::setDefaultUrl("http://127.0.0.1:5/analytics/upload");
    auto s = LocalStrategy::getObjWithDefaultSet();
    EXPECT_EQ(s->uploadServer, QString("http://127.0.0.1:5/analytics/upload"));
    EXPECT_EQ(s->zipAlg, 2);
    EXPECT_EQ(s->encAlg, 1);
    EXPECT_FALSE(s->enableSpeedTrack || s->enableEventRecord || s->enableCrashReport);
    EXPECT_TRUE(AnaUploadAddress::isLoopbackUrl("http://127.0.0.1:5/analytics/upload"));
    EXPECT_TRUE(AnaUploadAddress::isLoopbackUrl("http://localhost/x"));
    EXPECT_FALSE(AnaUploadAddress::isLoopbackUrl("http://192.0.2.1/x"));
    EXPECT_FALSE(AnaUploadAddress::isLoopbackUrl(""));
    AnaUploadAddress::setDefaultUrl(before);
}
