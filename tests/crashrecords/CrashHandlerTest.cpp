#include "CrashFixture.h"

#include "crashhandler/PendingCrash.h"
#include "platform/core/UserDefaults.h"
#include "support/ChildProcess.h"
#include "support/ImageFixtures.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cmath>
#include <map>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int g_callbackCalls = 0;
int countingCallback(int flag)
{
    g_callbackCalls += flag;
    return 1;
}

}

TEST_F(CrashFixture, ARecordCarriesTheCrashFactsAndItsReports)
{
    const QString facts = leaveCrash("2026_01_01_10_00_00_2",
                                     {{"time", "1700000000123"},
                                      {"type", "SIGSEGV"},
                                      {"error", "SEGV_MAPERR"},
                                      {"address", "0x10"},
                                      {"thread", "0"},
                                      {"errorStack", "0 padolvo 0x1"},
                                      {"binInfo", "padolvo;x86_64;abc#"},
                                      {"qua", "123 45"},
                                      {"guid", "g-1"},
                                      {"appId", "app"},
                                      {"appVersion", "2.5"},
                                      {"deviceName", "my host"},
                                      {"contact", "me@x"},
                                      {"active", "1"},
                                      {"crashStackShortNames", "padolvo\nlibc.so.6\n"},
                                      {"backPath", (home.documents() + "/crash_2026_01_01_10_00_00.log").toUtf8()}},
                                     "second pass");
    ASSERT_TRUE(ImageFixtures::writeFile(home.documents() + "/crash_2026_01_01_10_00_00.log",
                                         writerReport(1700000000123LL, 4242, "first pass")));
    crashCallback.store(&countingCallback);
    g_callbackCalls = 0;

    ASSERT_TRUE(handler.convertCrash(facts));
    EXPECT_EQ(g_callbackCalls, 1);
    EXPECT_TRUE(crashFiles().isEmpty());
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 1u);
    const NSExpUpload& r = *stored[0];
    const QString hash = QCryptographicHash::hash("app2.5SIGSEGV0x10", QCryptographicHash::Md5).toHex().toUpper();
    EXPECT_EQ(r.hash, hash.toStdString());
    EXPECT_EQ(r.md5(), CrashHandler::keyForHash(hash));
    EXPECT_EQ(r.type(), 3);
    EXPECT_EQ(r.priority(), 1);
    EXPECT_EQ(r.count(), 0);
    EXPECT_EQ(r.time(), 1700000000123LL);
    EXPECT_EQ(r.cashTime, 1700000000123LL);
    EXPECT_EQ(r.exceptionType, "SIGSEGV");
    EXPECT_EQ(r.excepitonAddress, "0x10");
    EXPECT_EQ(r.threadName, "0");
    EXPECT_EQ(r.callStack, "0 padolvo 0x1");
    EXPECT_EQ(r.causedBy, "SEGV_MAPERR");
    EXPECT_EQ(r.mobileInfo.symbol, "g-1");
    EXPECT_EQ(r.mobileInfo.other, "padolvo;x86_64;abc#");
    EXPECT_EQ(r.contactInfo.qua, "123%2045");
    EXPECT_EQ(r.contactInfo.other, "my%20host#me@x");
    EXPECT_EQ(r.contactInfo.all, "123%2045;my%20host#me@x");
    EXPECT_EQ(r.contactInfo.tel, "unknown");
    EXPECT_EQ(r.contactInfo.email, "unknown");
    EXPECT_EQ(r.contactInfo.comment, "unknown");
    ASSERT_EQ(r.attachmentList.size(), 2u);
    EXPECT_EQ(reportBody(r, "crash.log"), "second pass");
    EXPECT_EQ(reportBody(r, "crash_original.log"), "first pass");
    EXPECT_EQ(r.attachmentList[0].type, 11);
    EXPECT_EQ(handler.getLastCrashTime(), 1700000000123LL);
    EXPECT_EQ(handler.currentCrash().shortNames, (QStringList{"padolvo", "libc.so.6"}));
    EXPECT_TRUE(handler.currentCrash().active);
}

TEST_F(CrashFixture, UnsetFactsReadNil)
{
    ASSERT_TRUE(handler.convertCrash(leaveCrash("2026_01_01_10_00_00", {{"time", "5"}, {"type", "SIGABRT"}})));
    const auto r = crashes().at(0);
    EXPECT_EQ(r->hash, QCryptographicHash::hash("SIGABRTnil", QCryptographicHash::Md5).toHex().toUpper().toStdString());
    EXPECT_EQ(r->threadName, "nil");
    EXPECT_EQ(r->callStack, "nil");
    EXPECT_EQ(r->causedBy, "nil");
    EXPECT_EQ(r->mobileInfo.symbol, "nil");
    EXPECT_EQ(r->contactInfo.qua, "nil");
    EXPECT_EQ(r->contactInfo.all, "nil;nil");
    ASSERT_EQ(r->attachmentList.size(), 1u);
}

// A writer ended while it wrote its facts (a kill, a full disk): facts cut
// before their type are stored by their signal; cut before that, even to
// nothing beside a written report, they are set aside. Launch after launch,
// none is ever deleted.
TEST_F(CrashFixture, FactsCutBeforeTheirTypeAreStoredByTheirSignalOrSetAside)
{
    crashCallback.store(&countingCallback);
    g_callbackCalls = 0;
    const QString dir = home.documents() + "/";
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_10_00_00.log", writerReport(5000, 77, "cut")));
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_10_00_00.facts",
                                         "time 4:5000\npid 2:77\nsignal 2:11\ncode 1:1\nty"));
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_11_00_00.facts", "time 4:6000\nsig"));
    // Ended after its report and before the first byte of its facts.
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_12_00_00.log", writerReport(7000, 78, "empty")));
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_12_00_00.facts", ""));
    for (int launch = 0; launch < PendingCrash::kMaxAttempts + 1; ++launch)
        EXPECT_EQ(handler.convertPendingCrashes(), launch == 0 ? 1 : 0) << launch;
    EXPECT_EQ(g_callbackCalls, 1);
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGSEGV");
    EXPECT_EQ(stored[0]->causedBy, "SEGV_MAPERR");
    EXPECT_EQ(stored[0]->cashTime, 5000);
    EXPECT_EQ(reportBody(*stored[0], "crash.log"), "cut");
    const QStringList left = crashFiles();
    ASSERT_EQ(left.size(), 3) << left.join(",").toStdString();
    EXPECT_TRUE(left[0].startsWith("crash_2026_01_01_11_00_00.facts.damaged-")) << left[0].toStdString();
    EXPECT_TRUE(left[1].startsWith("crash_2026_01_01_12_00_00.facts.damaged-")) << left[1].toStdString();
    EXPECT_EQ(left[2], "crash_2026_01_01_12_00_00.log");
}

// A crash whose conversion crashed the program each time is kept aside,
// with its report, rather than deleted.
TEST_F(CrashFixture, ACrashWhoseConversionsCrashedIsSetAsideWithItsReport)
{
    const QString facts = leaveSimpleCrash(1, 1000);
    ASSERT_TRUE(QFile::rename(facts, facts + ".try3"));
    EXPECT_EQ(handler.convertPendingCrashes(), 0);
    EXPECT_TRUE(crashes().empty());
    const QStringList left = crashFiles();
    ASSERT_EQ(left.size(), 2) << left.join(",").toStdString();
    EXPECT_TRUE(left[0].startsWith("crash_2026_01_01_00_00_01.facts.try3.damaged-")) << left[0].toStdString();
    EXPECT_EQ(left[1], "crash_2026_01_01_00_00_01.log");
}

// Reports are tied to their crash by the writer's header: a facts file that
// names another crash's report takes nothing of it, and that report stays
// for its own crash.
TEST_F(CrashFixture, AFactsFileNamingAnotherCrashsReportLeavesItToItsOwn)
{
    const QString own = leaveCrash("2026_01_01_10_00_00", {{"time", "1000000"}, {"pid", "11"}, {"type", "SIGSEGV"}},
                                   "its own report");
    const QByteArray ownReport = (home.documents() + "/crash_2026_01_01_10_00_00.log").toUtf8();
    // Another process's crash at that moment, and one of the same process an hour on.
    const QString other = leaveCrashWithReport("2026_01_01_11_00_00",
                                               {{"time", "1000000"}, {"pid", "22"}, {"type", "SIGBUS"},
                                                {"crashPath", ownReport}, {"backPath", ownReport}},
                                               "");
    const QString later = leaveCrashWithReport("2026_01_01_12_00_00",
                                               {{"time", "4600000"}, {"pid", "11"}, {"type", "SIGILL"},
                                                {"crashPath", ownReport}, {"backPath", ownReport}},
                                               "");
    EXPECT_TRUE(handler.convertCrash(other));
    EXPECT_TRUE(handler.convertCrash(later));
    EXPECT_TRUE(QFile::exists(ownReport));
    EXPECT_TRUE(handler.convertCrash(own));
    std::map<std::string, std::string> reports;
    for (const auto& record : crashes())
        reports[record->exceptionType] = reportBody(*record, "crash.log");
    EXPECT_EQ(reports, (std::map<std::string, std::string>{
                           {"SIGSEGV", "its own report"}, {"SIGBUS", "<none>"}, {"SIGILL", "<none>"}}));
    EXPECT_FALSE(QFile::exists(ownReport));
}

TEST_F(CrashFixture, ACrashWhoseRecordIsStoredAlreadyIsNotStoredAgain)
{
    EXPECT_TRUE(handler.convertCrash(leaveSimpleCrash(1, 1000)));
    // The same crash left again, as when the process died after storing it.
    EXPECT_FALSE(handler.convertCrash(leaveSimpleCrash(1, 1000)));
    ASSERT_EQ(crashes().size(), 1u);
    EXPECT_EQ(attachmentText(*crashes()[0], "crash_times.log"), "<none>");
    EXPECT_TRUE(crashFiles().isEmpty());
    // A real repeat at another time still merges.
    EXPECT_TRUE(handler.convertCrash(leaveSimpleCrash(1, 2000)));
    EXPECT_EQ(attachmentText(*crashes()[0], "crash_times.log"), "1000;2000");
    EXPECT_FALSE(handler.convertCrash(leaveSimpleCrash(1, 1000)));
    EXPECT_EQ(attachmentText(*crashes()[0], "crash_times.log"), "1000;2000");
}

TEST_F(CrashFixture, RunFactsComeFromTheCrashNotFromTheLaunchThatConvertsIt)
{
    const QString facts = leaveCrash("2026_01_01_12_00_00", {{"time", "7"},
                                                             {"type", "SIGSEGV"},
                                                             {"cpu", "12.500"},
                                                             {"battery", "42"},
                                                             {"freeMem", "123456"},
                                                             {"freeStorage", "2000000"},
                                                             {"freeSDCard", "3000000"}});
    ASSERT_TRUE(handler.convertCrash(facts));
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 1u);
    const auto& run = stored[0]->runInfo;
    EXPECT_EQ(run.cpu, 12.5f);
    EXPECT_EQ(run.battery, 42.0f);
    EXPECT_EQ(run.freeMem, 123456);
    EXPECT_EQ(run.freeStorage, 2000000);
    EXPECT_EQ(run.freeSDCard, 3000000);
}

// Run facts out of every range (a damaged file) are not cast into the
// record: the launch's own take their place.
TEST_F(CrashFixture, RunFactsNoFieldCanHoldAreTakenFromTheLaunch)
{
    ASSERT_TRUE(handler.convertCrash(leaveCrash(
        "2026_01_01_12_00_00",
        {{"time", "7"}, {"type", "SIGSEGV"}, {"cpu", "1e300"}, {"freeMem", "1e300"}, {"freeStorage", "-9.3e18"}})));
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 1u);
    const auto& run = stored[0]->runInfo;
    EXPECT_TRUE(std::isfinite(run.cpu));
    EXPECT_GT(run.freeMem, 0);
    EXPECT_GE(run.freeStorage, 0);
}

TEST_F(CrashFixture, AStoreThatRefusesUsesUpNoAttempt)
{
    QFile::remove(home.documents() + "/blocker");
    ASSERT_TRUE(ImageFixtures::writeFile(home.documents() + "/blocker", "not a folder"));
    AnaSqlitePersistHandler broken(home.documents() + "/blocker");
    broken.initDB(nullptr);
    CrashHandler brokenHandler(broken, clock, home.documents());
    leaveSimpleCrash(1, 1000);
    const QStringList left = crashFiles();
    // Launch after launch with a store that refuses: the crash waits, whole.
    for (int launch = 0; launch < PendingCrash::kMaxAttempts + 2; ++launch) {
        EXPECT_EQ(brokenHandler.convertPendingCrashes(), 0);
        EXPECT_EQ(crashFiles(), left);
    }
    // The next launch with a working store converts it.
    EXPECT_EQ(handler.convertPendingCrashes(), 1);
    EXPECT_EQ(crashes().size(), 1u);
    EXPECT_TRUE(crashFiles().isEmpty());
}

TEST_F(CrashFixture, AReportWhoseWriterIsAliveIsNotTaken)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const QByteArray self = QByteArray::number(getpid());
    const QByteArray header = "Hardware Model: x\nProcess: crash child [" + self + "]\n";
    QFile comm("/proc/self/comm");
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    const QByteArray selfName = comm.readAll().trimmed();
    // This very process wrote it a moment ago, and goes on running: by the
    // facts' pid, or (an older writer's facts) by its report's.
    leaveCrashWithReport("2026_01_01_10_00_00", {{"time", QByteArray::number(now)}, {"pid", self}, {"type", "SIGSEGV"}},
                         writerReport(now, getpid(), "report", selfName));
    leaveCrashWithReport("2026_01_01_10_00_01", {{"time", QByteArray::number(now)}, {"type", "SIGSEGV"}}, header);
    const QStringList left = crashFiles();
    EXPECT_EQ(handler.convertPendingCrashes(), 0);
    EXPECT_EQ(crashFiles(), left);
    EXPECT_TRUE(crashes().empty());

    // A crash from before this process started: the writer's id was reused.
    leaveCrash("2026_01_01_09_00_00", {{"time", "1000"}, {"pid", self}, {"type", "SIGBUS"}});
    // A crash written by a process of another name under this one's id (a
    // home carried over from another machine): the writer is not this one.
    leaveCrash("2026_01_01_09_30_00", {{"time", QByteArray::number(now)}, {"pid", self}, {"type", "SIGFPE"}});
    // And one whose writer has ended.
    const ChildResult child = ChildProcess::run("crash_records_child", {}, 10000);
    ASSERT_FALSE(child.hung);
    leaveCrash("2026_01_01_08_00_00",
               {{"time", QByteArray::number(now)}, {"pid", QByteArray::number(child.pid)}, {"type", "SIGILL"}});
    EXPECT_EQ(handler.convertPendingCrashes(), 3);
    EXPECT_EQ(crashFiles(), left);
}

// No writer of this machine wrote a crash days ahead of its clock: such
// facts naming a long-running process (pid 1) are set aside, not waited for
// at every launch.
TEST_F(CrashFixture, FactsFromTheFutureAreSetAside)
{
    const qint64 future = QDateTime::currentMSecsSinceEpoch() + qint64(2) * 24 * 3600 * 1000;
    leaveCrashWithReport("2026_01_01_10_00_00", {{"time", QByteArray::number(future)}, {"type", "SIGSEGV"}},
                         "Process: init [1]\n");
    EXPECT_EQ(handler.convertPendingCrashes(), 0);
    const QStringList left = crashFiles();
    ASSERT_EQ(left.size(), 2) << left.join(",").toStdString();
    EXPECT_TRUE(left[0].startsWith("crash_2026_01_01_10_00_00.facts.damaged-")) << left[0].toStdString();
    EXPECT_TRUE(crashes().empty());
}

TEST_F(CrashFixture, EmptyReportsGoUnlessAWaitingCrashNamesThem)
{
    const QString dir = home.documents() + "/";
    // A writer stopped before its first byte, with or without its facts.
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_11_00_00.log", ""));
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_10_00_00.log", ""));
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_10_00_00.facts", ""));
    // A report with text but no facts is the user's to keep.
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_2026_01_01_11_00_01.log", "Process: x [1]"));
    // A crash waiting for its store keeps its empty report.
    QFile::remove(dir + "blocker");
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "blocker", "not a folder"));
    AnaSqlitePersistHandler broken(dir + "blocker");
    CrashHandler brokenHandler(broken, clock, home.documents());
    leaveCrashWithReport("2026_01_01_11_00_02", {{"time", "1000"}, {"type", "SIGSEGV"}}, "");
    EXPECT_EQ(brokenHandler.convertPendingCrashes(), 0);
    EXPECT_EQ(crashFiles(), (QStringList{"crash_2026_01_01_11_00_01.log", "crash_2026_01_01_11_00_02.facts",
                                         "crash_2026_01_01_11_00_02.log"}));
}

TEST_F(CrashFixture, PendingCrashesConvertOldestFirstAndKeepTenRecords)
{
    for (int i = 0; i < 11; ++i)
        leaveSimpleCrash(i, 1000 + i);
    EXPECT_EQ(handler.convertPendingCrashes(), 11);
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 10u);
    EXPECT_EQ(stored.front()->cashTime, 1001);
    EXPECT_EQ(stored.back()->cashTime, 1010);
    EXPECT_TRUE(handler.expExist());
}

// A termination asked for while leftover crashes convert stops the
// conversion after the crash in hand; the others stay whole for later.
TEST_F(CrashFixture, ATerminationStopsTheConversionBetweenCrashes)
{
    for (int i = 0; i < 3; ++i)
        leaveSimpleCrash(i, 1000 + i, "SIGSEGV");
    int asked = 0;
    handler.setStopRequest([&asked] { return ++asked > 1; });
    EXPECT_EQ(handler.convertPendingCrashes(), 1);
    ASSERT_EQ(crashes().size(), 1u);
    EXPECT_EQ(crashes()[0]->cashTime, 1000);
    EXPECT_EQ(crashFiles().size(), 4) << crashFiles().join(",").toStdString();

    handler.setStopRequest({});
    EXPECT_EQ(handler.convertPendingCrashes(), 2);
    ASSERT_EQ(crashes().size(), 3u);
    for (const auto& record : crashes())
        EXPECT_EQ(reportBody(*record, "crash.log"), "report");
}

TEST_F(CrashFixture, ARepeatMergesIntoTheFirstRecordAndStaysUnsent)
{
    handler.convertCrash(leaveSimpleCrash(1, 1000));
    // Fill up to ten records, then repeat the first crash: nothing else goes.
    for (int i = 2; i <= 10; ++i)
        handler.convertCrash(leaveSimpleCrash(i, 1000 + i));
    QFile::remove(home.documents() + "/crash_2026_01_01_00_00_01.log");
    handler.convertCrash(leaveCrash("2026_01_01_00_00_01", {{"time", "2000"}, {"type", "SIGSEGV"}, {"address", "0x1"},
                                                            {"appId", "app"}, {"appVersion", "1.0"}}, "again"));
    handler.convertCrash(leaveCrash("2026_01_01_00_00_01", {{"time", "3000"}, {"type", "SIGSEGV"}, {"address", "0x1"},
                                                            {"appId", "app"}, {"appVersion", "1.0"}}, "third"));
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 10u);
    const auto& first = *stored.front();
    EXPECT_EQ(first.exceptionType, "SIGSEGV");
    EXPECT_EQ(first.excepitonAddress, "0x1");
    EXPECT_EQ(first.count(), 0);
    EXPECT_EQ(first.time(), 3000);
    EXPECT_EQ(first.cashTime, 3000);
    EXPECT_EQ(reportBody(first, "crash.log"), "report");
    EXPECT_EQ(attachmentText(first, "crash_times.log"), "1000;2000;3000");
    EXPECT_TRUE(crashFiles().isEmpty());

    // Once sent (count 1), repeats count up.
    auto sent = stored.front();
    sent->setCount(1);
    ASSERT_TRUE(handler.updateCrash(*sent));
    handler.convertCrash(leaveCrash("2026_01_01_00_00_01", {{"time", "4000"}, {"type", "SIGSEGV"}, {"address", "0x1"},
                                                            {"appId", "app"}, {"appVersion", "1.0"}}));
    EXPECT_EQ(crashes().front()->count(), 2);
}

TEST_F(CrashFixture, RowsSharingAKeyMergeIntoTheOldest)
{
    auto a = storeRecord(77, 2, 100);
    storeRecord(5, 0, 100);
    storeRecord(77, 3, 200);
    auto found = handler.getCrashWithMD5(77);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->id(), a->id());
    EXPECT_EQ(found->count(), 5);
    EXPECT_EQ(crashes().size(), 2u);
    EXPECT_FALSE(handler.getCrashWithMD5(0));
}

TEST_F(CrashFixture, UploadSelectionTakesNewCrashesThenOlderRepeats)
{
    const int64_t today = handler.getTimeOfTodayStart();
    for (int i = 0; i < 5; ++i)
        storeRecord(100 + i, 2 + i, today - 1000 - i);
    storeRecord(1, 0, today + 5);
    storeRecord(2, 0, today + 6);
    storeRecord(3, 3, today);   // today: not "before today"
    auto chosen = handler.getCrashedNeedUpload(3);
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen[0]->md5(), 1);
    EXPECT_EQ(chosen[1]->md5(), 2);
    EXPECT_EQ(chosen[2]->md5(), 100);

    handler.cleanCrashReports({chosen[0], chosen[1]});
    handler.setWlanProbe([] { return true; });
    EXPECT_EQ(handler.uploadLimit(), 10);
    chosen = handler.getCrashedNeedUpload(10);
    EXPECT_EQ(chosen.size(), 5u);

    for (int i = 10; i < 14; ++i)
        storeRecord(i, 0, today);
    EXPECT_EQ(handler.getCrashedNeedUpload(3).size(), 3u);
}

// An upload reads the stored records only up to a total stored size, new
// crashes and older repeats together; one record past that size is read
// alone rather than never.
TEST_F(CrashFixture, UploadSelectionReadsWithinAByteBudgetAndALargeRecordAlone)
{
    const int64_t today = handler.getTimeOfTodayStart();
    const auto withReport = [this](int64_t md5, int count, int64_t time, qint64 bytes) {
        auto record = storeRecord(md5, count, time);
        exceptionupload::Attachment report;
        report.fileName = "crash.log";
        for (qint64 i = 0; i < bytes; ++i)
            report.data.push_back(char('a' + i % 23));
        record->attachmentList.push_back(std::move(report));
        EXPECT_TRUE(store.updateObject(*record, nullptr));
        return record;
    };
    const qint64 third = CrashHandler::kReadBudget * 3 / 10;
    for (int i = 0; i < 3; ++i)
        withReport(i + 1, 0, today + i, third);
    withReport(100, 3, today - 1000, third);
    withReport(101, 3, today - 1001, third);
    handler.setWlanProbe([] { return true; });

    CrashHandler::Records chosen = handler.getCrashedNeedUpload(10);
    ASSERT_EQ(chosen.size(), 3u);
    qint64 total = 0;
    for (const auto& record : chosen)
        total += record->encLength();
    EXPECT_LE(total, CrashHandler::kReadBudget);
    ASSERT_TRUE(handler.cleanCrashReports(chosen));
    chosen = handler.getCrashedNeedUpload(10);
    ASSERT_EQ(chosen.size(), 2u);
    EXPECT_EQ(chosen[0]->count(), 3);
    ASSERT_TRUE(handler.cleanCrashReports(chosen));

    withReport(7, 0, today, CrashHandler::kReadBudget + 1);
    withReport(8, 0, today + 1, 10);
    chosen = handler.getCrashedNeedUpload(10);
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_EQ(chosen[0]->md5(), 7);
    // Only what the store knows is read for the attach texts' owners.
    EXPECT_EQ(handler.storedCrashTimes(), (QList<qint64>{today, today + 1}));
}

TEST_F(CrashFixture, AfterUploadOldRecordsGoAndTodaysAreMarkedSent)
{
    const int64_t today = handler.getTimeOfTodayStart();
    auto yesterday = storeRecord(1, 0, today - 1);
    auto midnight = storeRecord(2, 0, today);
    auto repeated = storeRecord(3, 4, today + 10);
    ASSERT_TRUE(handler.doUploadPostProcess({yesterday, midnight, repeated}));
    const auto left = crashes();
    ASSERT_EQ(left.size(), 2u);
    EXPECT_EQ(left[0]->md5(), 2);
    EXPECT_EQ(left[0]->count(), 1);
    EXPECT_EQ(left[1]->count(), 4);
    // A record stamped exactly at midnight is today's, in both places.
    EXPECT_TRUE(handler.getCrashBeforeTodayWithOneCount().empty());
    storeRecord(4, 1, today - 1);
    EXPECT_EQ(handler.getCrashBeforeTodayWithOneCount().size(), 1u);
    EXPECT_TRUE(handler.doUploadPostProcess({}));
}

TEST_F(CrashFixture, LastCrashTimeAndCleaning)
{
    handler.persistLastCrashTime(0);
    EXPECT_EQ(handler.getLastCrashTime(), 0);
    handler.persistLastCrashTime(1700000000999LL);
    EXPECT_EQ(handler.getLastCrashTime(), 1700000000999LL);
    EXPECT_DOUBLE_EQ(UserDefaults::standardUserDefaults().doubleForKey("last_crash_time"), 1700000000999.0);

    storeRecord(1, 0, 1);
    auto second = storeRecord(2, 0, 1);
    EXPECT_TRUE(handler.cleanCrashReport(second->id()));
    EXPECT_TRUE(handler.cleanCrashReports({}));
    EXPECT_TRUE(handler.expExist());
    EXPECT_TRUE(handler.cleanAllCrashReport());
    EXPECT_FALSE(handler.expExist());
    AnalyticsPersistObject other;
    EXPECT_FALSE(handler.updateCrash(other));
}

// A report named by a facts file is read only as the crash folder's own
// regular file: a link out of the home or a pipe in its place adds nothing
// to the record, and the crash is still stored.
TEST_F(CrashFixture, AReportThatIsALinkOrAPipeIsNotRead)
{
    QTemporaryDir outside;
    const QString secret = outside.path() + "/id_key";
    ASSERT_TRUE(ImageFixtures::writeFile(secret, "the user's secret"));
    const QString linked = leaveCrash("2026_01_01_10_00_00", {{"time", "1000"}, {"type", "SIGSEGV"}});
    const QString report = home.documents() + "/crash_2026_01_01_10_00_00.log";
    ASSERT_TRUE(QFile::remove(report));
    ASSERT_TRUE(QFile::link(secret, report));
    const QString piped = leaveCrash("2026_01_01_11_00_00", {{"time", "2000"}, {"type", "SIGBUS"}});
    const QString pipe = home.documents() + "/crash_2026_01_01_11_00_00.log";
    ASSERT_TRUE(QFile::remove(pipe));
    ASSERT_EQ(mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);

    EXPECT_TRUE(handler.convertCrash(linked));
    EXPECT_TRUE(handler.convertCrash(piped));
    const auto stored = crashes();
    ASSERT_EQ(stored.size(), 2u);
    for (const auto& record : stored)
        EXPECT_TRUE(record->attachmentList.empty()) << attachmentText(*record, "crash.log");
    EXPECT_EQ(ImageFixtures::readFile(secret), "the user's secret");
}
