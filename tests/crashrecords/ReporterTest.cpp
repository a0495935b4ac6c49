#include "CrashFixture.h"

#include "Public/ZoDadiUsageInfoManager.h"
#include "analytics/AnaBundleUtil.h"
#include "analytics/AnaModel.h"
#include "crashhandler/CrashReporter.h"
#include "crashhandler/PavCrashReportManager.h"
#include "platform/core/UserDefaults.h"
#include "shell/CrashReportWiring.h"
#include "shell/LaunchHooks.h"
#include "support/FakeUsageRecorder.h"

#include <QDateTime>

#include <type_traits>

namespace {

// The crash reporter over a usage store: the home's real one, or a fake
// where a test needs the store to refuse.
template <class Usage>
class ReporterOn : public CrashFixture {
protected:
    ReporterOn()
        : model(AnaModel::Inputs{})
        , reporter(handler, model, home.documents())
        , usage(makeUsage())
        , manager(reporter, handler, nullptr, &usage)
    {
        reporter.setInstaller([this] { ++installs; });
        reporter.setUploader([this](const auto&) { ++uploads; });
        manager.setHasAPT(false);
        manager.setDeviceId("device-id");
        UserDefaults::standardUserDefaults().setString("PavLastVersion", AnaBundleUtil::getBundleVersion());
    }

    // A crash at the given local time, converted as at a launch.
    void crashAt(const QDateTime& when, bool active)
    {
        static int n = 0;
        ++n;
        leaveCrash(QString("2026_01_01_00_00_%1").arg(n, 4, 10, QChar('0')),
                   {{"time", QByteArray::number(when.toMSecsSinceEpoch())},
                    {"type", "SIGSEGV"},
                    {"address", "0x10"},
                    {"active", active ? "1" : "0"}});
        manager.run();
    }

    // Rows in the usage store of 27230, 27298, 27330, 27331, 27334, 27335.
    std::vector<int> counts()
    {
        std::vector<int> out;
        for (int id : {27230, 27298, 27330, 27331, 27334, 27335})
            out.push_back(usage.recordCountForType(id));
        return out;
    }

    Usage makeUsage()
    {
        if constexpr (std::is_same_v<Usage, ZoDadiUsageInfoManager>)
            return Usage(home.path("Documents/resource"), clock);
        else
            return Usage();
    }

    AnaModel model;
    CrashReporter reporter;
    Usage usage;
    PavCrashReportManager manager;
    int installs = 0;
    int uploads = 0;
};

using Reporter = ReporterOn<ZoDadiUsageInfoManager>;
using ReporterOnAFakeStore = ReporterOn<FakeUsageRecorder>;


}

TEST_F(Reporter, InstallingTwiceInstallsAndUploadsOnce)
{
    reporter.install("", true);
    reporter.install("42", true);
    EXPECT_EQ(installs, 1);
    EXPECT_EQ(uploads, 1);
    EXPECT_TRUE(reporter.isInstalled());
    EXPECT_EQ(model.qua(), "42");
    reporter.install(QString(), false);
    EXPECT_EQ(model.qua(), "");
    EXPECT_FALSE(model.qua().isNull());
    reporter.setGUID("");
    EXPECT_EQ(model.guid(), "unknown");
    reporter.setGUID("g");
    EXPECT_EQ(model.guid(), "g");
}

TEST_F(Reporter, AttachTextIsFiledOnlyForACurrentCrash)
{
    reporter.setAttachLog("text");
    EXPECT_FALSE(QFile::exists(reporter.attachFilePath()));

    handler.convertCrash(leaveCrash("2026_01_01_00_00_00", {{"time", "1234"}, {"type", "SIGBUS"}}));
    reporter.setAttachLog("no address");
    EXPECT_FALSE(QFile::exists(reporter.attachFilePath()));

    handler.convertCrash(leaveCrash("2026_01_01_00_00_01", {{"time", "5678"}, {"type", "SIGBUS"}, {"address", "0x0"}}));
    reporter.setAttachLog("first");
    reporter.setAttachLog("second");
    EXPECT_EQ(reporter.attachLogs().value("5678"), "second");

    // A damaged or empty file no longer swallows the new text.
    for (const QByteArray& damaged : {QByteArray("{}"), QByteArray("not json"), QByteArray()}) {
        QFile file(reporter.attachFilePath());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(damaged);
        file.close();
        reporter.setAttachLog("fresh");
        EXPECT_EQ(reporter.attachLogs().size(), 1);
        EXPECT_EQ(reporter.attachLogs().value("5678"), "fresh");
    }
}

TEST_F(Reporter, LaunchConvertsLeftoverCrashesThenInstalls)
{
    // Left by a newer version, converted after a downgrade.
    leaveSimpleCrash(1, QDateTime::currentMSecsSinceEpoch(), "SIGSEGV", "99.0");
    manager.run();
    EXPECT_EQ(crashes().size(), 1u);
    EXPECT_EQ(installs, 1);
    EXPECT_EQ(uploads, 1);
    EXPECT_EQ(model.qua(), "none");
    EXPECT_EQ(model.guid(), "device-id");
    EXPECT_TRUE(reporter.checkCrash());
    // The crash's attach text is filed under its time and names the
    // version that crashed.
    const auto record = crashes().at(0);
    const QString text = reporter.attachLogs().value(QString::number(record->cashTime));
    EXPECT_TRUE(text.startsWith("lc=9C40E2A7B53D18F6&ver=99.0&system=")) << text.toStdString();

    PavCrashReportManager::setUserNumberSource([] { return QString("10001"); });
    manager.run();
    PavCrashReportManager::setUserNumberSource(nullptr);
    EXPECT_EQ(model.qua(), "10001");
}

TEST_F(Reporter, ANewVersionStartsWithoutOlderCrashesAndADowngradeKeepsNewerOnes)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    // The first launch of this version: older records and left crashes go,
    // a crash this version left before "PavLastVersion" was written stays.
    storeRecord(9, 0, 1);
    leaveSimpleCrash(1, 1000, "SIGSEGV", "0.0.1");
    leaveSimpleCrash(2, 2000, "SIGBUS", PAV_VERSION);
    defaults.setString("PavLastVersion", "0.0.1");
    manager.run();
    ASSERT_EQ(crashes().size(), 1u);
    EXPECT_EQ(crashes()[0]->exceptionType, "SIGBUS");
    EXPECT_EQ(defaults.stringForKey("PavCrashRecordsVersion"), PAV_VERSION);
    EXPECT_TRUE(crashFiles().isEmpty());

    // Later launches of the same version keep what is stored, whatever
    // "PavLastVersion" says.
    defaults.removeObjectForKey("PavLastVersion");
    manager.run();
    EXPECT_EQ(crashes().size(), 1u);

    // Back from a newer version: its records stay.
    defaults.setString("PavCrashRecordsVersion", "99.0");
    defaults.setString("PavLastVersion", "99.0");
    manager.run();
    EXPECT_EQ(crashes().size(), 1u);
    EXPECT_EQ(defaults.stringForKey("PavCrashRecordsVersion"), "99.0");
}

TEST_F(Reporter, CrashesAreCountedPerCrashDayIntoTheUsageStore)
{
    ASSERT_TRUE(usage.isOpen());
    const QDateTime day(QDate(2026, 3, 5), QTime(10, 0), Qt::LocalTime);
    crashAt(day, true);
    EXPECT_EQ(counts(), (std::vector<int>{1, 1, 1, 1, 0, 0}));
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey("PavCrashCount"), 1);
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey("PavCrashDate"),
              QDateTime(QDate(2026, 3, 5), QTime(0, 0), Qt::LocalTime).toSecsSinceEpoch());

    // In the background: no "while active" events.
    for (int i = 1; i < 10; ++i)
        crashAt(day.addSecs(i), false);
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey("PavCrashCount"), 10);
    EXPECT_EQ(counts(), (std::vector<int>{10, 1, 10, 1, 0, 0}));

    // The eleventh that day counts only as "many crashes".
    crashAt(day.addSecs(20), true);
    EXPECT_EQ(counts(), (std::vector<int>{10, 1, 10, 1, 1, 1}));

    manager.setHasAPT(true);
    crashAt(day.addSecs(30), true);
    EXPECT_EQ(counts(), (std::vector<int>{10, 1, 10, 1, 2, 1}));

    // A new day starts its count afresh.
    crashAt(day.addDays(1), false);
    EXPECT_EQ(UserDefaults::standardUserDefaults().integerForKey("PavCrashCount"), 1);
    EXPECT_EQ(counts(), (std::vector<int>{11, 1, 10, 1, 2, 1}));
}

// Over many days the plain crash counts reach the threshold: the crash that
// makes them 31 relabels them all as "many crashes".
TEST_F(Reporter, TheThirtyFirstCrashRelabelsTheCountsAsManyCrashes)
{
    for (int i = 0; i < 29; ++i) {
        ASSERT_TRUE(usage.insertRecordForType(27230));
        ASSERT_TRUE(usage.insertRecordForType(27330));
    }
    const QDateTime day(QDate(2026, 3, 5), QTime(10, 0), Qt::LocalTime);
    crashAt(day, false);
    EXPECT_EQ(counts(), (std::vector<int>{30, 0, 30, 0, 0, 0}));
    crashAt(day.addDays(1), false);
    EXPECT_EQ(counts(), (std::vector<int>{0, 0, 0, 0, 31, 31}));
}

TEST_F(ReporterOnAFakeStore, ACrashIsCountedOnceWhicheverLaunchFinishesIt)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    const QDateTime when(QDate(2026, 3, 5), QTime(10, 0), Qt::LocalTime);
    // The usage store refuses: the crash is stored and counted, its events
    // wait with its facts.
    usage.setFailing(true);
    crashAt(when, true);
    ASSERT_EQ(crashes().size(), 1u);
    EXPECT_EQ(defaults.integerForKey("PavCrashCount"), 1);
    EXPECT_TRUE(usage.types().empty());
    // Its report went with the record; its facts wait.
    EXPECT_EQ(crashFiles().size(), 1);
    EXPECT_EQ(handler.getLastCrashTime(), when.toMSecsSinceEpoch());

    usage.setFailing(false);
    for (int launch = 0; launch < 3; ++launch)
        manager.run();
    EXPECT_EQ(usage.types(), (std::vector<int>{27230, 27330, 27298, 27331}));
    EXPECT_EQ(defaults.integerForKey("PavCrashCount"), 1);
    EXPECT_EQ(crashes().size(), 1u);
    EXPECT_TRUE(crashFiles().isEmpty());

    // The same crash left again (its process died before its files went).
    leaveCrash("2026_01_01_00_00_0x", {{"time", QByteArray::number(when.toMSecsSinceEpoch())},
                                       {"type", "SIGSEGV"}, {"address", "0x10"}});
    manager.run();
    EXPECT_EQ(defaults.integerForKey("PavCrashCount"), 1);
    EXPECT_EQ(usage.types().size(), 4u);
    // A second crash that day is the day's second.
    crashAt(when.addSecs(5), false);
    EXPECT_EQ(defaults.integerForKey("PavCrashCount"), 2);
    EXPECT_EQ(usage.types().size(), 6u);
    // A crash converted late never moves the last crash time back.
    leaveSimpleCrash(9, when.addSecs(-60).toMSecsSinceEpoch());
    manager.run();
    EXPECT_EQ(handler.getLastCrashTime(), when.addSecs(5).toMSecsSinceEpoch());
}

TEST_F(ReporterOnAFakeStore, TheVersionCheckRemovesOnlyEarlierVersionsCrashEvents)
{
    UserDefaults& defaults = UserDefaults::standardUserDefaults();
    defaults.setString("PavCrashRecordsVersion", "0.0.1");
    CrashReportWiring::install();
    PavCrashReportManager::setUserNumberSource(nullptr);
    clock.setNow(QDateTime::fromSecsSinceEpoch(1800000000, Qt::UTC));
    manager.run();
    EXPECT_EQ(defaults.integerForKey("PavCrashRecordsVersionTime"), 1800000000);
    // A later launch of the same version keeps the time its events start at.
    clock.advanceSeconds(3600);
    manager.run();
    LaunchHooks::removePreviousVersionCrashCounters();
    EXPECT_EQ(usage.removedBefore(), std::vector<qint64>{1800000000});
    LaunchHooks::setCrashReport(nullptr);
    LaunchHooks::setRemovePreviousVersionCrashCounters(nullptr);
}
