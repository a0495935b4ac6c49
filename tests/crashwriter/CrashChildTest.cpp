// Real crashes: crash_child crashes in a chosen way with the writer
// installed; each test checks that it died by the expected signal and left
// the expected report and facts file.

#include "ElfFile.h"
#include "crashhandler/CrashFacts.h"
#include "support/ChildProcess.h"
#include "support/ImageFixtures.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <csignal>
#include <ctime>
#include <sys/stat.h>

#include <gtest/gtest.h>

namespace {

class CrashChild : public ::testing::Test {
protected:
    ChildResult crash(const QString& scenario, int parked = 0, const QStringList& env = {},
                      ChildProcess::Stdout mode = ChildProcess::Stdout::Pipe, int timeoutMs = 15000)
    {
        QStringList args{home.path(), scenario};
        if (parked)
            args << QString::number(parked);
        return ChildProcess::run("crash_child", args, timeoutMs, env, mode);
    }
    QString documents() const { return home.path() + "/Documents"; }
    QStringList files(const QString& pattern) const
    {
        return QDir(documents()).entryList({pattern}, QDir::Files, QDir::Name);
    }
    QString report(int index = 0) const
    {
        QStringList logs = files("crash_*.log");
        if (index >= logs.size())
            return {};
        return QString::fromUtf8(ImageFixtures::readFile(documents() + "/" + logs[index]));
    }
    QMap<QString, QByteArray> facts() const
    {
        QStringList pending = CrashFacts::pending(documents());
        return pending.size() == 1 ? CrashFacts::read(pending[0]) : QMap<QString, QByteArray>();
    }

    QTemporaryDir home;
};

QString lineStartingWith(const QString& text, const QString& prefix)
{
    for (const QString& line : text.split('\n')) {
        if (line.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return {};
}

struct Scenario {
    const char* name;
    int signal;
    const char* exceptionCode;
    const char* address;   // exact text, or "" for any non-zero address
};

class CrashScenario : public CrashChild, public ::testing::WithParamInterface<Scenario> {};

}

TEST_P(CrashScenario, DiesByItsSignalAndLeavesReportAndFacts)
{
    const Scenario& s = GetParam();
    ChildResult r = crash(s.name);
    ASSERT_FALSE(r.hung) << "hang";
    ASSERT_TRUE(r.signaled) << "exit code " << r.exitCode << ": " << r.output.constData();
    EXPECT_EQ(r.signal, s.signal);

    ASSERT_EQ(files("crash_*.log").size(), 1);
    QString text = report();
    EXPECT_EQ(lineStartingWith(text, "Exception Code: "), QString(s.exceptionCode));
    QString address = lineStartingWith(text, "Exception Addr: ");
    if (*s.address)
        EXPECT_EQ(address, QString(s.address));
    else
        EXPECT_TRUE(address.startsWith("0x") && address != "0x0") << address.toStdString();
    EXPECT_FALSE(text.contains("Objective-C exception:"));
    EXPECT_FALSE(text.contains("Last Exception Backtrace"));
    EXPECT_TRUE(text.contains("\nBinary Images:\n"));

    QFileInfo info(documents() + "/" + files("crash_*.log")[0]);
    EXPECT_EQ(info.permissions() & (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
              QFile::Permissions());

    QMap<QString, QByteArray> f = facts();
    EXPECT_EQ(f.value("complete"), "1");
    EXPECT_EQ(f.value("signal").toInt(), s.signal);
    EXPECT_EQ(QString(f.value("type") + "," + f.value("error")), QString(s.exceptionCode));
    EXPECT_EQ(QString(f.value("address")), address);
    EXPECT_EQ(f.value("reportOpened"), "1");
    EXPECT_EQ(f.value("crashPath"), f.value("backPath"));
    EXPECT_TRUE(QFile::exists(QString(f.value("crashPath"))));
}

INSTANTIATE_TEST_SUITE_P(Signals, CrashScenario,
                         ::testing::Values(Scenario{"segv", SIGSEGV, "SIGSEGV,SEGV_MAPERR", "0x10"},
                                           Scenario{"accerr", SIGSEGV, "SIGSEGV,SEGV_ACCERR", ""},
                                           Scenario{"bus", SIGBUS, "SIGBUS,BUS_ADRERR", ""},
#if defined(__x86_64__)
                                           Scenario{"fpe", SIGFPE, "SIGFPE,FPE_INTDIV", ""},
                                           Scenario{"ill", SIGILL, "SIGILL,ILL_ILLOPN", ""},
                                           Scenario{"trap", SIGTRAP, "SIGTRAP,TRAP_BRKPT", "0x0"},
                                           // The walk from its frame faults; the report is still whole.
                                           Scenario{"bad_frame", SIGSEGV, "SIGSEGV,SEGV_MAPERR", "0x10"},
#endif
                                           Scenario{"abort", SIGABRT, "SIGABRT,-6", "0x0"},
                                           Scenario{"sent_segv", SIGSEGV, "SIGSEGV,SEGV_NOOP", "0x0"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(CrashChild, SegvReportHasTheLinesInOrderWithLocalZoneAndBuildId)
{
    // A zone half an hour off the hour (POSIX TZ text: no zone database needed).
    ChildResult r = crash("segv", 0, {"TZ=IST-5:30"});
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    QString text = report();
    const char* order[] = {"Hardware Model: ", "HardWare Localized Model: ", "Process: crash_child [", "Path: ",
                           "Identifier: ", "Version:  ", "Code Type: ", "Parent Process: ", "Date/Time: ",
                           "OS Version: ", "Device Name: ", "Report Version:  104\n\n", "SDK start time: 1700000000000\n",
                           "HardWare OS: ", "Machine code Type: ", "VYT App Version: ", "VYT SDK Identifier: corvane.pav.analytics\n",
                           "VYT SDK Version: 1.5.0\n", "Registed Uin : 12345\n", "App UUID : ",
                           "\nException Code: SIGSEGV,SEGV_MAPERR\n", "Exception Addr: 0x10\n",
                           "Crashed Thread: 0\n\nThread 0 Crashed:\n0  crash_child", "Thread 0 crashed with ",
                           "Binary Images:\n"};
    qsizetype at = 0;
    for (const char* line : order) {
        qsizetype next = text.indexOf(QString(line), at);
        ASSERT_GE(next, at) << "missing or out of order: " << line;
        at = next;
    }
    EXPECT_TRUE(text.startsWith("Hardware Model: "));

    // The local time and zone of the crash instant, without localtime.
    QString date = lineStartingWith(text, "Date/Time: ");
    QRegularExpressionMatch m = QRegularExpression(R"(^(\d+)-(\d\d)-(\d\d) (\d\d):(\d\d):(\d\d)\.\d{3} ([+-]\d{4})$)").match(date);
    ASSERT_TRUE(m.hasMatch()) << date.toStdString();
    EXPECT_EQ(m.captured(7), "+0530");
    QMap<QString, QByteArray> f = facts();
    time_t local = time_t(f.value("time").toLongLong() / 1000) + 5 * 3600 + 30 * 60;
    tm civil{};
    gmtime_r(&local, &civil);
    EXPECT_EQ(m.captured(1).toInt(), civil.tm_year + 1900);
    EXPECT_EQ(m.captured(3).toInt(), civil.tm_mday);
    EXPECT_EQ(m.captured(4).toInt(), civil.tm_hour);
    EXPECT_EQ(m.captured(5).toInt(), civil.tm_min);
    EXPECT_EQ(m.captured(6).toInt(), civil.tm_sec);
    EXPECT_TRUE(files("crash_*.log").value(0).startsWith(
        QString::asprintf("crash_%04d_%02d_%02d_%02d_%02d_%02d", civil.tm_year + 1900, civil.tm_mon + 1,
                          civil.tm_mday, civil.tm_hour, civil.tm_min, civil.tm_sec)));

    // The executable comes first, marked, with the build-id of its file.
    QString exe = QString(PAV_TEST_BIN_DIR) + "/crash_child";
    QString id = buildIdOfFile(exe);
    ASSERT_FALSE(id.isEmpty());
    EXPECT_EQ(lineStartingWith(text, "App UUID : "), id);
    QString images = text.mid(text.indexOf("Binary Images:\n") + 15);
    EXPECT_TRUE(images.section('\n', 0, 0).endsWith(" +crash_child x86_64 <" + id + "> " + exe) ||
                images.section('\n', 0, 0).contains("+crash_child aarch64 <" + id + ">"));
    EXPECT_TRUE(f.value("binInfo").startsWith(QString("crash_child;").toUtf8()));
    EXPECT_TRUE(f.value("binInfo").endsWith("#"));

    // The register dump's pc is frame 0 of the crashed thread.
    QString frame0 = lineStartingWith(text, "0  crash_child");
    QString pc = frame0.simplified().section(' ', 0, 0);
    QString reg = text.contains(" rip: 0x") ? "rip" : "pc";
    QString dumped = text.mid(text.indexOf(reg + ": 0x") + reg.size() + 2, 18);
    EXPECT_EQ(dumped.toULongLong(nullptr, 16), pc.toULongLong(nullptr, 16));
    EXPECT_FALSE(text.contains("x-detect"));
    EXPECT_EQ(f.value("crashStackShortNames").split('\n').first(), "crash_child");
    EXPECT_TRUE(f.value("errorStack").startsWith("0 crash_child 0x"));
}

TEST_F(CrashChild, UncaughtExceptionReportsNameReasonAndBothBacktraces)
{
    ChildResult r = crash("exception");
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.signaled);
    EXPECT_EQ(r.signal, SIGABRT);
    QString text = report();
    EXPECT_TRUE(text.startsWith("Objective-C exception:\nobjc_exception_name: std::runtime_error\n"
                                "objc_exception_reason: boom\n\nHardware Model: "));
    qsizetype symbols = text.indexOf("\n\nLast Exception Backtrace: \n");
    qsizetype frames = text.indexOf("\nLast Exception Backtrace Original:\n0  ");
    ASSERT_GT(symbols, 0);
    EXPECT_GT(frames, symbols);
    EXPECT_GT(text.indexOf("Exception Code: SIGABRT,-6\n"), frames);
    QMap<QString, QByteArray> f = facts();
    EXPECT_EQ(f.value("type"), "std::runtime_error");
    EXPECT_EQ(f.value("error"), "boom");
    EXPECT_TRUE(f.value("errorStack").startsWith("0 crash_child 0x")) << f.value("errorStack").constData();
}

TEST_F(CrashChild, ListsEveryThreadAndMarksTheCrashedOne)
{
    ChildResult r = crash("segv", 3);
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    QString text = report();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(text.contains(QString("\nThread %1%2:\n").arg(i).arg(i == 0 ? " Crashed" : "")));
    EXPECT_FALSE(text.contains("\nThread 4"));
    EXPECT_EQ(text.count(" Crashed:"), 1);
    // Parked threads answer the sampler and show their frames (one that
    // does not answer in time keeps its header alone).
    int withFrames = 0;
    for (int i = 1; i < 4; ++i) {
        qsizetype at = text.indexOf(QString("\nThread %1:\n").arg(i));
        withFrames += text.mid(at + 11, 3) == "0  " ? 1 : 0;
    }
    EXPECT_GE(withFrames, 1);
}

TEST_F(CrashChild, CrashOnSecondaryThreadNamesThatThread)
{
    ChildResult r = crash("thread", 2);
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    QString text = report();
    int crashed = lineStartingWith(text, "Crashed Thread: ").toInt();
    EXPECT_GT(crashed, 0);
    EXPECT_TRUE(text.contains(QString("\nThread %1 Crashed:\n0  crash_child").arg(crashed)));
    EXPECT_TRUE(text.contains(QString("Thread %1 crashed with ").arg(crashed)));
    EXPECT_EQ(text.count(QRegularExpression("\nThread \\d+( Crashed)?:\n")), 4);
    EXPECT_EQ(facts().value("thread").toInt(), crashed);
}

TEST_F(CrashChild, TwoThreadsCrashingAtOnceGiveOneReport)
{
    ChildResult r = crash("two_threads");
    ASSERT_FALSE(r.hung);
    EXPECT_TRUE(r.signaled && r.signal == SIGSEGV);
    ASSERT_EQ(files("crash_*.log").size(), 1);
    EXPECT_EQ(report().count(" Crashed:"), 1);
    EXPECT_EQ(facts().value("pass"), "1");
    EXPECT_EQ(facts().value("complete"), "1");
}

TEST_F(CrashChild, LaterCrashesNeverOverwriteEarlierReports)
{
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(crash("abort").signaled);
    EXPECT_EQ(files("crash_*.log").size(), 3);
    EXPECT_EQ(files("crash_*.facts").size(), 3);
}

TEST_F(CrashChild, StackOverflowIsReportedOnMainAndProjectThreads)
{
    for (const char* scenario : {"overflow_main", "overflow_thread"}) {
        QDir(documents()).removeRecursively();
        ChildResult r = crash(scenario);
        ASSERT_FALSE(r.hung) << scenario;
        EXPECT_TRUE(r.signaled && r.signal == SIGSEGV) << scenario;
        EXPECT_TRUE(report().contains("Exception Code: SIGSEGV,")) << scenario;
        EXPECT_EQ(facts().value("complete"), "1") << scenario;
    }
}

TEST_F(CrashChild, FaultInsideTheWriterLeavesASecondReport)
{
    ChildResult r = crash("nested");
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.signaled);
    EXPECT_EQ(r.signal, SIGBUS);
    QStringList logs = files("crash_*.log");
    ASSERT_EQ(logs.size(), 2);
    EXPECT_TRUE(logs[1].endsWith("_2.log"));
    EXPECT_TRUE(report(0).contains("Exception Code: SIGSEGV,SEGV_MAPERR"));
    EXPECT_TRUE(report(1).contains("Exception Code: SIGBUS,-6"));
    QMap<QString, QByteArray> f = facts();
    EXPECT_EQ(f.value("pass"), "2");
    EXPECT_EQ(QString(f.value("backPath")), documents() + "/" + logs[0]);
    EXPECT_EQ(QString(f.value("crashPath")), documents() + "/" + logs[1]);
    EXPECT_EQ(f.value("type"), "SIGSEGV");
}

TEST_F(CrashChild, UnwritableFolderSendsTheReportToTheLaunchsOwnStandardOutput)
{
    // A file where the documents folder should be: no report can be opened.
    ASSERT_TRUE(ImageFixtures::writeFile(documents(), "not a folder"));

    for (ChildProcess::Stdout mode : {ChildProcess::Stdout::File, ChildProcess::Stdout::Pipe}) {
        ChildResult r = crash("segv", 0, {}, mode);
        EXPECT_TRUE(r.signaled && r.signal == SIGSEGV);
        EXPECT_TRUE(r.output.contains("Exception Code: SIGSEGV,SEGV_MAPERR\n")) << r.output.left(200).constData();
        EXPECT_TRUE(r.output.endsWith("\n")) << r.output.right(200).constData();
        EXPECT_TRUE(r.output.contains("Binary Images:\n"));
    }

    // A pipe nobody reads fails the writes; the crash still ends by its own signal.
    ChildResult closed = crash("segv", 0, {"CRASH_STDOUT=closed_pipe"});
    EXPECT_TRUE(closed.signaled);
    EXPECT_EQ(closed.signal, SIGSEGV);

    // Standard output closed after arming, its number reused by a file of
    // the program: the report does not land in that file.
    ChildResult reused = crash("segv", 0, {"CRASH_STDOUT=reused"});
    EXPECT_TRUE(reused.signaled && reused.signal == SIGSEGV);
    EXPECT_EQ(QFileInfo(home.path() + "/reused.db").size(), 0);
}

TEST_F(CrashChild, AFileSizeLimitCutsTheReportWithoutEndingTheWriter)
{
    ChildResult r = crash("segv", 0, {"CRASH_FSIZE=2048"});
    ASSERT_FALSE(r.hung);
    EXPECT_TRUE(r.signaled);
    EXPECT_EQ(r.signal, SIGSEGV);
    ASSERT_EQ(files("crash_*.log").size(), 1);
    EXPECT_EQ(QFileInfo(documents() + "/" + files("crash_*.log")[0]).size(), 2048);
    EXPECT_EQ(facts().value("type"), "SIGSEGV");
}

TEST_F(CrashChild, ACrashWhileTheInstallerGathersItsFactsIsReported)
{
    ChildResult r = crash("segv", 0, {"CRASH_IN_PREAMBLE=1"});
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.signaled);
    EXPECT_EQ(r.signal, SIGSEGV);
    EXPECT_FALSE(r.output.contains("survived"));
    ASSERT_EQ(files("crash_*.log").size(), 1);
    const QString text = report();
    EXPECT_EQ(lineStartingWith(text, "Exception Code: "), "SIGSEGV,SEGV_MAPERR");
    EXPECT_TRUE(text.contains("\nThread 0 Crashed:\n0  crash_child")) << text.toStdString();
    EXPECT_EQ(facts().value("complete"), "1");
}

// The crash-time walks use neither the loader's lock nor any other: a
// thread holding it when the process crashes does not stall the report.
TEST_F(CrashChild, AThreadHoldingTheLoadersLockDoesNotStallTheReport)
{
    ChildResult r = crash("abort", 2, {"CRASH_LOADER_LOCKED=1", "CRASH_FAULT_TIME=1"});
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.signaled && r.signal == SIGABRT);
    const long long faultNs = ImageFixtures::readFile(home.path() + "/fault.ns").toLongLong();
    // The writer's watchdog (10 s) is what ended a stalled one.
    EXPECT_LT((now.tv_sec * 1000000000LL + now.tv_nsec - faultNs) / 1000000, 5000);
    EXPECT_EQ(facts().value("complete"), "1");
    const QString text = report();
    EXPECT_TRUE(text.contains(QRegularExpression("Thread 0 Crashed:\n0  libc\\.so\\.6 .*\n1  "))) << text.toStdString();
    // The thread inside the loader answered with its own frames.
    EXPECT_EQ(text.count(QRegularExpression("\nThread \\d+:\n0  ")), 3) << text.toStdString();
}

#if defined(__x86_64__)
// A thread whose walk faults (its frame pointer points nowhere) answers
// with what the frame-pointer walk finds, instead of never.
TEST_F(CrashChild, AThreadWhoseWalkFaultsStillAnswers)
{
    ChildResult r = crash("segv", 0, {"CRASH_BAD_FRAME_THREAD=1"});
    ASSERT_FALSE(r.hung);
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    const QString text = report();
    EXPECT_EQ(text.count(QRegularExpression("\nThread \\d+( Crashed)?:\n")), 2) << text.toStdString();
    EXPECT_EQ(text.count(QRegularExpression("\nThread 1:\n0  crash_child ")), 1) << text.toStdString();
    EXPECT_EQ(facts().value("complete"), "1");
}
#endif

// Eight threads that never answer the sampler are given up together: each
// once cost a wait of its own (1.6 s for eight).
TEST_F(CrashChild, ThreadsThatBlockTheSamplerAreGivenUpTogether)
{
    ChildResult r = crash("segv", 8, {"CRASH_BLOCK_SAMPLER=1", "CRASH_FAULT_TIME=1"});
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const long long exitNs = now.tv_sec * 1000000000LL + now.tv_nsec;
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    const long long faultNs = ImageFixtures::readFile(home.path() + "/fault.ns").toLongLong();
    ASSERT_GT(faultNs, 0);
    EXPECT_LT((exitNs - faultNs) / 1000000, 800);

    const QString text = report();
    EXPECT_EQ(text.count(QRegularExpression("\nThread \\d+( Crashed)?:\n")), 9);
    EXPECT_EQ(text.count(QRegularExpression("\nThread \\d+:\n\n")), 8);   // headers alone
    EXPECT_EQ(facts().value("complete"), "1");
}

TEST_F(CrashChild, RecordStepGetsTheFilledDataAndAHangingOneIsCutShort)
{
    ChildResult r = crash("segv", 0, {"CRASH_RECORD=marker", "CRASH_ACTIVE=1"});
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    QFile marker(home.path() + "/record.marker");
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    QList<QByteArray> lines = marker.readAll().split('\n');
    ASSERT_GE(lines.size(), 4);
    EXPECT_EQ(lines[0], "SIGSEGV");
    EXPECT_EQ(lines[1], "0x10");
    EXPECT_EQ(lines[2], "0");
    EXPECT_EQ(QFileInfo(QString(lines[3])).fileName(), files("crash_*.log").value(0));
    EXPECT_EQ(facts().value("active"), "1");

    QDir(documents()).removeRecursively();
    ChildResult hung = crash("segv", 0, {"CRASH_RECORD=hang"});
    ASSERT_FALSE(hung.hung) << "the watchdog did not end the process";
    EXPECT_TRUE(hung.signaled);
    EXPECT_EQ(hung.signal, SIGSEGV);
    EXPECT_EQ(facts().value("complete"), "1");
}

TEST_F(CrashChild, AnAbortReportWalksOutOfTheSystemLibraryToTheCrashingFunction)
{
    ChildResult r = crash("abort");
    ASSERT_TRUE(r.signaled && r.signal == SIGABRT);
    const auto [start, end] = functionRange(QString(PAV_TEST_BIN_DIR) + "/crash_child", "crashChildAbortHere");
    ASSERT_LT(start, end);
    // The crashed thread's frames: "index image pc base + offset".
    const QString text = report();
    const qsizetype from = text.indexOf(QRegularExpression("Thread \\d+ Crashed:\n"));
    ASSERT_GE(from, 0);
    const QStringList frames = text.mid(from).section("\n\n", 0, 0).split('\n').mid(1);
    ASSERT_FALSE(frames.isEmpty());
    EXPECT_TRUE(frames[0].contains("libc.so.6")) << frames[0].toStdString();
    bool named = false;
    for (const QString& frame : frames) {
        const QStringList parts = frame.simplified().split(' ');
        if (parts.size() == 6 && parts[1] == "crash_child") {
            const quint64 offset = parts[5].toULongLong();
            named = named || (offset > start && offset <= end);
        }
        EXPECT_NE(parts.value(1), "<unknown-name>") << frame.toStdString();
    }
    EXPECT_TRUE(named) << text.mid(from).section("\n\n", 0, 0).toStdString();
}

// Stacks of the crashed and of three parked threads through libc, images
// and facts, without one heap allocation.
TEST_F(CrashChild, TheThreadWalkAllocatesNothing)
{
    ChildResult r = crash("abort", 3, {"CRASH_RECORD=allocations"});
    ASSERT_TRUE(r.signaled && r.signal == SIGABRT);
    QFile marker(home.path() + "/record.marker");
    ASSERT_TRUE(marker.open(QIODevice::ReadOnly));
    EXPECT_EQ(marker.readAll(), "allocations 0\n");
    EXPECT_EQ(report().count(QRegularExpression("\\n1  \\S+ ")), 4) << report().toStdString();
}

TEST_F(CrashChild, TheRecordStepHasRoomBeyondTheSignalStack)
{
    ChildResult r = crash("segv", 0, {"CRASH_RECORD=deep"});
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    EXPECT_TRUE(QFile::exists(home.path() + "/record.marker"));
}

TEST_F(CrashChild, RunFactsAreTakenAtCrashTime)
{
    ChildResult r = crash("segv");
    ASSERT_TRUE(r.signaled && r.signal == SIGSEGV);
    const QMap<QString, QByteArray> f = facts();
    bool ok = false;
    EXPECT_GT(f.value("freeMem").toLongLong(&ok), 0);
    EXPECT_TRUE(ok);
    EXPECT_GT(f.value("freeStorage").toLongLong(), 0);
    EXPECT_GT(f.value("freeSDCard").toLongLong(), 0);
    f.value("cpu").toDouble(&ok);
    EXPECT_TRUE(ok) << f.value("cpu").constData();
    EXPECT_TRUE(f.contains("battery"));
}

TEST_F(CrashChild, InstallingTwiceKeepsAllSixHandlers)
{
    ChildResult r = crash("install_twice");
    ASSERT_FALSE(r.signaled);
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.output.startsWith("installed 2\n"));
    EXPECT_EQ(r.output.count("ok\n"), 6) << r.output.constData();
}
