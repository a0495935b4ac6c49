#include "CrashFixture.h"
#include "Public/ZoDadiUsageInfoManager.h"
#include "crashhandler/CrashReporter.h"
#include "crashhandler/NSExpUpload.h"
#include "platform/core/UserDefaults.h"
#include "support/ChildProcess.h"
#include "support/CrashRecords.h"
#include "support/FakeClock.h"
#include "support/ImageFixtures.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <QElapsedTimer>
#include <QProcess>

#include <csignal>
#include <map>
#include <poll.h>
#include <sqlite3.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace {

// The signal that ended the child, or -(exit code + 1) when it exited, or 0
// when it hung (it is killed after the limit, a minute unless given).
int runChild(const QString& home, const char* mode, int limitMs = 60000, const QStringList& more = {})
{
    const ChildResult result = ChildProcess::run("crash_records_child", QStringList{"--home", home, mode} + more, limitMs);
    if (result.hung)
        return 0;
    return result.signaled ? result.signal : -(result.exitCode + 1);
}

class CrashEndToEnd : public ::testing::Test {
protected:
    std::vector<std::shared_ptr<NSExpUpload>> records() { return CrashRecords::storedIn(home.documents()); }
    QStringList crashFiles() const { return QDir(home.documents()).entryList({"crash_*"}, QDir::Files); }
    qint64 defaultsInteger(const char* key) const
    {
        return UserDefaults(home.root() + "/Library/Preferences/defaults.json").integerForKey(key);
    }
    int usageCount(int type) const
    {
        return ZoDadiUsageInfoManager(ZoDadiUsageInfoManager::defaultDatabasePath()).recordCountForType(type);
    }
    double lastCrashTime() const
    {
        return UserDefaults(home.root() + "/Library/Preferences/defaults.json").doubleForKey("last_crash_time");
    }
    QJsonObject attachFile() const
    {
        QFile file(home.documents() + "/" + CrashReporter::kAttachFileName);
        return file.open(QIODevice::ReadOnly) ? QJsonDocument::fromJson(file.readAll()).object() : QJsonObject();
    }
    void expectEndedAtOnceAndCountedLater(const char* mode, int signal);
    // Two launches end normally and leave one crash file: the named facts
    // file, set aside.
    void launchTwiceSettingAside(const char* mode, const QString& facts)
    {
        for (int launch = 0; launch < 2; ++launch)
            ASSERT_EQ(runChild(home.root(), mode), -1) << launch;
        const QStringList left = crashFiles();
        ASSERT_EQ(left.size(), 1) << left.join(",").toStdString();
        EXPECT_TRUE(left[0].startsWith(facts + ".damaged-")) << left[0].toStdString();
    }

    TempHome home;
};


}

TEST_F(CrashEndToEnd, ACrashIsStoredAtOnceAndItsRepeatMerges)
{
    ASSERT_EQ(runChild(home.root(), "segv"), SIGSEGV);
    auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGSEGV");
    EXPECT_EQ(stored[0]->excepitonAddress, "0x10");
    EXPECT_EQ(stored[0]->causedBy, "SEGV_MAPERR");
    EXPECT_EQ(stored[0]->contactInfo.qua, "none");
    EXPECT_NE(attachmentText(*stored[0], "crash.log").find("Exception Addr: 0x10"), std::string::npos);
    EXPECT_TRUE(crashFiles().isEmpty());
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 1);
    EXPECT_EQ(usageCount(27230), 1);
    EXPECT_EQ(usageCount(27298), 1);
    // The attach text filed at crash time sits under the record's time.
    EXPECT_TRUE(attachFile().value(QString::number(stored[0]->cashTime)).toString().startsWith("lc=9C40E2A7B53D18F6"));
    const int64_t firstTime = stored[0]->cashTime;

    ASSERT_EQ(runChild(home.root(), "segv-background"), SIGSEGV);
    stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->count(), 0);
    EXPECT_EQ(attachmentText(*stored[0], "crash_times.log"),
              std::to_string(firstTime) + ";" + std::to_string(stored[0]->cashTime));
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 2);
    EXPECT_EQ(usageCount(27230), 2);
    EXPECT_EQ(usageCount(27298), 1);
    // The repeat's attach text replaced the first one's: one per record.
    EXPECT_EQ(attachFile().keys(), QStringList{QString::number(stored[0]->cashTime)});
}

TEST_F(CrashEndToEnd, ACrashWhileTheStoreIsHeldIsConvertedAtTheNextLaunch)
{
    ASSERT_EQ(runChild(home.root(), "abort-store-held"), SIGABRT);
    EXPECT_TRUE(records().empty());
    const QStringList left = crashFiles();
    ASSERT_EQ(left.size(), 2) << left.join(",").toStdString();
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 0);

    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGABRT");
    EXPECT_TRUE(crashFiles().isEmpty());
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 1);
    EXPECT_EQ(usageCount(27230), 1);
    EXPECT_TRUE(attachFile().contains(QString::number(stored[0]->cashTime)));
}

// Another process holds the record store through a launch: the launch
// does not wait on it crash after crash; the crashes stay for the launch
// after, which stores and counts each once.
TEST_F(CrashEndToEnd, ALaunchOverAStoreHeldElsewhereGoesOnAndLeavesItsCrashes)
{
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(home.documents() + "/.analytics.db").constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int i = 0; i < 4; ++i)
        ASSERT_EQ(runChild(home.root(), "segv-first-launch"), SIGSEGV);
    ASSERT_EQ(crashFiles().size(), 8);
    // Each statement on a held store waits a second: a launch that went on
    // converting would take some twenty.
    EXPECT_EQ(runChild(home.root(), "launch", 6000), -1);
    EXPECT_EQ(crashFiles().size(), 8);
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    EXPECT_EQ(records().size(), 1u);
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 4);
    EXPECT_EQ(usageCount(27230) + usageCount(27334), 4);
}

TEST_F(CrashEndToEnd, ADowngradeKeepsTheNewerVersionsRecords)
{
    ASSERT_EQ(runChild(home.root(), "segv"), SIGSEGV);
    ASSERT_EQ(records().size(), 1u);
    {
        // What a launch of a newer version leaves behind.
        UserDefaults defaults(home.root() + "/Library/Preferences/defaults.json");
        defaults.setString("PavLastVersion", "99.0");
        defaults.setString("PavCrashRecordsVersion", "99.0");
    }
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    EXPECT_EQ(records().size(), 1u);
}

TEST_F(CrashEndToEnd, ACrashDuringTheNextLaunchsConversionLeavesAReport)
{
    ASSERT_EQ(runChild(home.root(), "abort-store-held"), SIGABRT);
    ASSERT_EQ(runChild(home.root(), "launch-crash-in-conversion"), SIGSEGV);
    const QStringList left = crashFiles();
    ASSERT_FALSE(left.filter(".log").isEmpty()) << left.join(",").toStdString();

    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    QStringList types;
    for (const auto& record : records())
        types << QString::fromStdString(record->exceptionType);
    types.sort();
    EXPECT_EQ(types, (QStringList{"SIGABRT", "SIGSEGV"}));
    EXPECT_TRUE(crashFiles().isEmpty());
}

TEST_F(CrashEndToEnd, AFullDiskLeavesNoEmptyReportBehind)
{
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    // No byte can be written; the file-size signal, when it is not ignored,
    // ends the writer before its first byte.
    ASSERT_EQ(runChild(home.root(), "segv-disk-full"), SIGSEGV);
    const int signal = runChild(home.root(), "segv-file-limit");
    EXPECT_TRUE(signal == SIGSEGV || signal == SIGXFSZ) << signal;
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
    EXPECT_TRUE(records().empty());
}

// A crash whose thread holds a lock the record step needs ends at once: the
// step never waits for the watchdog. What it could not do the next launch
// does, once.
void CrashEndToEnd::expectEndedAtOnceAndCountedLater(const char* mode, int signal)
{
    // Under the record step's 5 s watchdog, however loaded the machine.
    ASSERT_EQ(runChild(home.root(), mode, 4000), signal);
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 0);

    for (int launch = 0; launch < 2; ++launch)
        ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, signal == SIGSEGV ? "SIGSEGV" : "SIGABRT");
    EXPECT_NE(attachmentText(*stored[0], "crash.log").find("Binary Images:"), std::string::npos);
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 1);
    EXPECT_EQ(lastCrashTime(), double(stored[0]->cashTime));
    EXPECT_EQ(usageCount(27230), 1);
    EXPECT_TRUE(attachFile().contains(QString::number(stored[0]->cashTime)));
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
}

TEST_F(CrashEndToEnd, ACrashInsideTheDefaultsSaveEndsAtOnceAndIsCountedByTheNextLaunch)
{
    expectEndedAtOnceAndCountedLater("segv-in-defaults-save", SIGSEGV);
}

TEST_F(CrashEndToEnd, ACrashInsideTheAllocatorEndsAtOnceAndIsStoredByTheNextLaunch)
{
    expectEndedAtOnceAndCountedLater("abort-in-free", SIGABRT);
}

// A worker thread crashes while the launch converts what earlier runs left:
// the launch leaves the crash of its own process alone, and the crash is
// stored whole, once.
TEST_F(CrashEndToEnd, ALaunchDoesNotTakeTheCrashItsOwnProcessIsWriting)
{
    ASSERT_EQ(runChild(home.root(), "launch-worker-crash"), SIGSEGV);
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_NE(stored[0]->threadName, "nil");
    EXPECT_NE(attachmentText(*stored[0], "crash.log").find("Binary Images:"), std::string::npos);
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 1);
}

// A version's first launch crashed right after arming, before its version
// check: the next launch stores and counts that crash and then, as the
// version check runs, removes only the earlier versions' crash events.
TEST_F(CrashEndToEnd, AFirstLaunchsCrashEventsSurviveTheVersionCheck)
{
    {
        FakeClock before(QDateTime::fromSecsSinceEpoch(1600000000, Qt::UTC));
        ZoDadiUsageInfoManager earlier(ZoDadiUsageInfoManager::defaultDatabasePath(), before);
        ASSERT_TRUE(earlier.insertRecordForType(27230));
        ASSERT_TRUE(earlier.insertRecordForType(27334));
        ASSERT_TRUE(earlier.insertRecordForType(27123));
    }
    ASSERT_EQ(runChild(home.root(), "segv-first-launch"), SIGSEGV);
    EXPECT_FALSE(crashFiles().isEmpty());
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGSEGV");
    EXPECT_TRUE(crashFiles().isEmpty());
    EXPECT_EQ(usageCount(27230), 1);
    EXPECT_EQ(usageCount(27334), 0);
    EXPECT_EQ(usageCount(27123), 1);
    EXPECT_EQ(UserDefaults(home.root() + "/Library/Preferences/defaults.json").stringForKey("PavLastVersion"),
              QStringLiteral(PAV_VERSION));
}

TEST_F(CrashEndToEnd, ASecondSignalDuringTheRecordStepLeavesOneCrash)
{
    const int signal = runChild(home.root(), "segv-signal-in-record");
    ASSERT_GT(signal, 0);
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGSEGV");
    EXPECT_EQ(stored[0]->count(), 0);
    EXPECT_EQ(attachmentText(*stored[0], "crash_times.log"), "<none>");
    EXPECT_EQ(defaultsInteger("PavCrashCount"), 1);
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
}

// A facts file with a length no file holds: the launch goes on, the file is
// set aside once, kept as it was, and no later launch reads it.
TEST_F(CrashEndToEnd, AFactsFileWithAnAbsurdLengthIsSetAsideAndTheLaunchGoesOn)
{
    ASSERT_TRUE(QDir().mkpath(home.documents()));
    const QByteArray damaged = "time 9223372036854775807:1\n";
    QFile facts(home.documents() + "/crash_1700000000000.facts");
    ASSERT_TRUE(facts.open(QIODevice::WriteOnly));
    facts.write(damaged);
    facts.close();

    launchTwiceSettingAside("launch", "crash_1700000000000.facts");
    QFile aside(home.documents() + "/" + crashFiles().value(0));
    ASSERT_TRUE(aside.open(QIODevice::ReadOnly));
    EXPECT_EQ(aside.readAll(), damaged);
    EXPECT_TRUE(records().empty());
}

// A home moved elsewhere (or restored from a backup) with a crash left in
// it: its facts name the report at the old path; the report beside them is
// the one stored.
TEST_F(CrashEndToEnd, AMovedHomeKeepsTheReportOfItsLeftoverCrash)
{
    const QString before = home.root() + "/before";
    const QString after = home.root() + "/after";
    ASSERT_EQ(runChild(before, "abort-store-held"), SIGABRT);
    ASSERT_TRUE(QDir().rename(before, after));

    ASSERT_EQ(runChild(after, "launch"), -1);
    const auto stored = CrashRecords::storedIn(after + "/Documents");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGABRT");
    EXPECT_NE(attachmentText(*stored[0], "crash.log").find("Binary Images:"), std::string::npos);
    EXPECT_TRUE(QDir(after + "/Documents").entryList({"crash_*"}, QDir::Files).isEmpty());
}

// Facts files are small: the writer's largest converts, while one past any
// size it writes (a sparse giant larger than the launch's memory) is set
// aside unread, once, and the launch goes on.
TEST_F(CrashEndToEnd, AFactsFilePastAnyWrittenSizeIsSetAsideUnread)
{
    const QString dir = home.documents() + "/";
    ASSERT_TRUE(QDir().mkpath(dir));
    const QMap<QString, QByteArray> largest{{"time", "1700000000001"},
                                            {"type", "SIGSEGV"},
                                            {"binInfo", QByteArray(65535, 'b')},
                                            {"errorStack", QByteArray(32767, 'e')},
                                            {"crashStackShortNames", QByteArray(8191, 's')},
                                            {"error", QByteArray(2047, 'r')}};
    ASSERT_TRUE(ImageFixtures::writeFile(dir + "crash_1700000000001.facts", factsText(largest)));
    QFile giant(dir + "crash_1700000000004.facts");
    ASSERT_TRUE(giant.open(QIODevice::WriteOnly));
    giant.write(factsText({{"time", "1700000000004"}, {"type", "SIGBUS"}}));
    const qint64 giantSize = qint64(3) << 30;
    ASSERT_TRUE(giant.resize(giantSize));
    giant.close();

    launchTwiceSettingAside("launch-low-memory", "crash_1700000000004.facts");
    EXPECT_EQ(QFileInfo(dir + crashFiles().value(0)).size(), giantSize);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGSEGV");
    EXPECT_EQ(stored[0]->mobileInfo.other, largest["binInfo"].toStdString());
}

// A report larger than any the writer makes is not its report: the crash is
// stored from its facts without it, and its files go.
TEST_F(CrashEndToEnd, AReportPastAnyWrittenSizeIsLeftOutOfItsRecord)
{
    ASSERT_EQ(runChild(home.root(), "abort-store-held"), SIGABRT);
    const QStringList reports = QDir(home.documents()).entryList({"crash_*.log"}, QDir::Files);
    ASSERT_EQ(reports.size(), 1) << crashFiles().join(",").toStdString();
    QFile report(home.documents() + "/" + reports[0]);
    ASSERT_TRUE(report.resize(CrashHandler::kMaxReportBytes + 1));

    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGABRT");
    EXPECT_EQ(attachmentText(*stored[0], "crash.log"), "<none>");
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
}

// A second name is no damage: a facts file linked in from elsewhere is read
// as any is. What a link brings in is refused by its content: a file of the
// user's linked in as a report lacks the writer's header and is left out of
// the record, and the linked files are left as they were.
TEST_F(CrashEndToEnd, AReportWithASecondNameIsReadOnlyWhenTheWriterWroteIt)
{
    ASSERT_EQ(runChild(home.root(), "abort-store-held"), SIGABRT);
    const QString dir = home.documents() + "/";
    const QStringList reports = QDir(dir).entryList({"crash_*.log"}, QDir::Files);
    ASSERT_EQ(reports.size(), 1);
    const QString secret = home.root() + "/secret.bin";
    ASSERT_TRUE(ImageFixtures::writeFile(secret, "the user's secret"));
    ASSERT_TRUE(QFile::remove(dir + reports[0]));
    ASSERT_EQ(::link(QFile::encodeName(secret).constData(), QFile::encodeName(dir + reports[0]).constData()), 0);
    const QString outsideFacts = home.root() + "/facts.txt";
    const QByteArray factsBytes = factsText({{"time", "1700000000018"}, {"type", "SIGBUS"}});
    ASSERT_TRUE(ImageFixtures::writeFile(outsideFacts, factsBytes));
    ASSERT_EQ(::link(QFile::encodeName(outsideFacts).constData(),
                     QFile::encodeName(dir + "crash_1700000000018.facts").constData()),
              0);

    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    std::map<std::string, std::string> stored;
    for (const auto& record : records())
        stored[record->exceptionType] = attachmentText(*record, "crash.log");
    EXPECT_EQ(stored, (std::map<std::string, std::string>{{"SIGABRT", "<none>"}, {"SIGBUS", "<none>"}}));
    EXPECT_EQ(ImageFixtures::readFile(secret), "the user's secret");
    EXPECT_EQ(ImageFixtures::readFile(outsideFacts), factsBytes);
}

// A home backed up with hard links (cp -al) has two names for every file:
// the next launch of either copy stores each leftover crash with its report.
TEST_F(CrashEndToEnd, AHomeCopiedWithHardLinksKeepsEveryLeftoverCrash)
{
    const QString original = home.root() + "/original";
    const QString copy = home.root() + "/copy";
    ASSERT_EQ(runChild(original, "abort-store-held"), SIGABRT);
    ASSERT_EQ(runChild(original, "segv-first-launch"), SIGSEGV);
    ASSERT_EQ(QDir(original + "/Documents").entryList({"crash_*"}, QDir::Files).size(), 4);
    ASSERT_EQ(QProcess::execute("cp", {"-al", original, copy}), 0);

    for (const QString& root : {copy, original}) {
        SCOPED_TRACE(root.toStdString());
        ASSERT_EQ(runChild(root, "launch"), -1);
        std::map<std::string, bool> withReport;
        for (const auto& record : CrashRecords::storedIn(root + "/Documents"))
            withReport[record->exceptionType] =
                attachmentText(*record, "crash.log").find("Binary Images:") != std::string::npos;
        EXPECT_EQ(withReport, (std::map<std::string, bool>{{"SIGABRT", true}, {"SIGSEGV", true}}));
        EXPECT_TRUE(QDir(root + "/Documents").entryList({"crash_*"}, QDir::Files).isEmpty());
    }
}

namespace {

// Waits until a process opens a leftover crash's facts file for the
// `count`th time in the watched folder; false at the deadline.
bool waitForFactsOpens(int inotifyFd, int count, const QProcess& child)
{
    QElapsedTimer since;
    since.start();
    int seen = 0;
    alignas(inotify_event) char buffer[4096];
    while (seen < count && child.state() == QProcess::Running && since.elapsed() < 60000) {
        pollfd ready{inotifyFd, POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        const ssize_t got = ::read(inotifyFd, buffer, sizeof buffer);
        for (ssize_t at = 0; got > 0 && at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            if ((event->mask & IN_OPEN) && event->len > 0 && QByteArray(event->name).contains(".facts"))
                ++seen;
            at += ssize_t(sizeof(inotify_event) + event->len);
        }
    }
    return seen >= count;
}

}

// Launches killed (kill -9) one after another, each while it converts the
// same leftover crash (it waits on a store another process holds): a kill
// is no crash of the conversion, and the launch after stores the crash.
TEST_F(CrashEndToEnd, KillsDuringAConversionDoNotLoseTheCrash)
{
    ASSERT_EQ(runChild(home.root(), "abort-store-held"), SIGABRT);
    ASSERT_EQ(crashFiles().size(), 2);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(home.documents() + "/.analytics.db").constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    for (int kill = 0; kill < 3; ++kill) {
        SCOPED_TRACE(kill);
        const int watch = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        ASSERT_GE(watch, 0);
        ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(home.documents()).constData(), IN_OPEN), 0);
        QProcess child;
        child.start(PAV_TEST_BIN_DIR "/crash_records_child", {"--home", home.root(), "launch"});
        ASSERT_TRUE(child.waitForStarted(10000));
        // Listed, then read again for its record: the conversion is under way.
        const bool converting = waitForFactsOpens(watch, 2, child);
        ::kill(pid_t(child.processId()), SIGKILL);
        ::close(watch);
        ASSERT_TRUE(child.waitForFinished(60000));
        ASSERT_TRUE(converting);
        EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    }
    sqlite3_exec(other, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(other);

    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    const auto stored = records();
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->exceptionType, "SIGABRT");
    EXPECT_NE(attachmentText(*stored[0], "crash.log").find("Binary Images:"), std::string::npos);
    EXPECT_TRUE(crashFiles().isEmpty()) << crashFiles().join(",").toStdString();
}

// Records near the largest a report makes, more than a launch's memory holds
// at once: a launch within 1 GiB that uploads reads them a batch at a time;
// one it cannot hold is left for later, whole, and the launch never aborts.
TEST_F(CrashEndToEnd, LargeRecordsAreReadInBatchesWithinALaunchsMemoryAndNoneIsLost)
{
    // A first launch of this version, which starts with no records.
    ASSERT_EQ(runChild(home.root(), "launch"), -1);
    constexpr int kRecords = 4;
    {
        AnaSqlitePersistHandler store(home.documents());
        ASSERT_TRUE(store.initDB(nullptr));
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (int i = 0; i < kRecords; ++i) {
            NSExpUpload record;
            record.exceptionType = "SIGSEGV";
            record.setTime(now - 1000 + i);
            record.cashTime = record.time();
            record.setMd5(i + 1);
            exceptionupload::Attachment report;
            report.type = 11;
            report.fileName = "crash.log";
            report.data.assign(size_t(96) << 20, 'r');
            record.attachmentList.push_back(std::move(report));
            ASSERT_TRUE(store.saveObject(record, nullptr)) << i;
        }
    }
    LoopbackHttpServer server;
    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));

    for (int launch = 0; launch < 2; ++launch)
        ASSERT_EQ(runChild(home.root(), "launch-low-memory", 120000, {server.url()}), -1) << launch;
    EXPECT_EQ(records().size(), size_t(kRecords));
    // Whatever went out went one record at a time.
    for (const auto& request : server.requests())
        EXPECT_EQ(CrashRecords::sent(request.body).size(), 1u);
}
