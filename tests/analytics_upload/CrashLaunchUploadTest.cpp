#include "crashhandler/NSExpUpload.h"
#include "support/ChildProcess.h"
#include "support/CrashRecords.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sqlite3.h>

namespace {

ChildResult launch(const QString& home, const LoopbackHttpServer& server)
{
    return ChildProcess::run("upload_launch_child", {home, server.url(), "50"}, 60000);
}

}

// The crashing child dies; each later launch converts and sends its record
// through the real crash path. Refused, timed-out and dropped uploads leave
// the record unsent; the launch after that sends it, and only then is it
// marked sent.
TEST(CrashLaunchUpload, RecordStaysUntilTheServerTakesIt)
{
    QTemporaryDir home;
    LoopbackHttpServer server;
    const ChildResult crash = ChildProcess::run("crash_child", {home.path(), "segv"}, 20000);
    ASSERT_TRUE(crash.signaled);
    EXPECT_EQ(crash.signal, SIGSEGV);

    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(1)));
    ASSERT_EQ(launch(home.path(), server).exitCode, 0);
    auto stored = CrashRecords::storedIn(home.path() + "/Documents");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->count(), 0);
    EXPECT_EQ(stored[0]->exceptionType, "SIGSEGV");
    ASSERT_FALSE(stored[0]->attachmentList.empty());
    EXPECT_FALSE(stored[0]->attachmentList[0].data.empty());

    for (auto step : {LoopbackHttpServer::hang(), LoopbackHttpServer::drop()}) {
        server.setDefaultStep(step);
        ASSERT_EQ(launch(home.path(), server).exitCode, 0);
        stored = CrashRecords::storedIn(home.path() + "/Documents");
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0]->count(), 0);
    }
    EXPECT_EQ(server.requestCount(), 1 + 3 + 1);

    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    ASSERT_EQ(launch(home.path(), server).exitCode, 0);
    const auto sent = CrashRecords::sent(server.requests().last().body);
    stored = CrashRecords::storedIn(home.path() + "/Documents");
    ASSERT_EQ(stored.size(), 1u);
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], stored[0]->wire());
    EXPECT_EQ(stored[0]->count(), 1);
    server.release();
}

// A crash right at the start of a version's first launch (the writer armed,
// nothing else done, no version stored yet) is sent by the next launch, and
// later launches neither lose nor resend it. With random bytes over the
// record store, or a record table of another shape in it (it would refuse
// every row), the launch moves the store aside and starts a fresh one.
TEST(CrashLaunchUpload, ACrashAtTheStartOfAFirstLaunchIsSentLaterOverADamagedStoreToo)
{
    enum Store { None, Noise, OtherTable };
    for (const Store kind : {None, Noise, OtherTable}) {
        SCOPED_TRACE(kind == None ? "no store yet" : kind == Noise ? "random bytes" : "a table of another shape");
        const bool damaged = kind != None;
        QTemporaryDir home;
        LoopbackHttpServer server;
        const ChildResult crash =
            ChildProcess::run("crash_records_child", {"--home", home.path(), "segv-first-launch"}, 20000);
        ASSERT_TRUE(crash.signaled);
        EXPECT_EQ(crash.signal, SIGSEGV);
        const QString documents = home.path() + "/Documents";
        if (kind == Noise) {
            QByteArray noise(4096, '\0');
            for (int i = 0; i < noise.size(); ++i)
                noise[i] = char((i * 131 + 7) % 256);
            QFile store(documents + "/.analytics.db");
            ASSERT_TRUE(store.open(QIODevice::WriteOnly));
            store.write(noise);
        } else if (kind == OtherTable) {
            QFile::remove(documents + "/.analytics.db");
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(QFile::encodeName(documents + "/.analytics.db").constData(), &db), SQLITE_OK);
            EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE ana_persist (x); INSERT INTO ana_persist VALUES (1)", nullptr,
                                   nullptr, nullptr),
                      SQLITE_OK);
            sqlite3_close(db);
        }

        server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
        for (int i = 0; i < 4; ++i)
            ASSERT_EQ(launch(home.path(), server).exitCode, 0);
        ASSERT_EQ(server.requestCount(), 1);
        const auto sent = CrashRecords::sent(server.requests().last().body);
        ASSERT_EQ(sent.size(), 1u);
        EXPECT_EQ(sent[0].exceptionType, "SIGSEGV");
        EXPECT_EQ(sent[0].excepitonAddress, "0x10");
        const auto stored = CrashRecords::storedIn(documents);
        ASSERT_EQ(stored.size(), 1u);
        EXPECT_EQ(stored[0]->count(), 1);
        EXPECT_EQ(QDir(documents).entryList({".analytics.db.damaged-*"}, QDir::Files | QDir::Hidden).size(),
                  damaged ? 1 : 0);
        EXPECT_TRUE(QDir(documents).entryList({"crash_*"}, QDir::Files).isEmpty());
        server.release();
    }
}

// A launch whose record store cannot be written could not mark what the
// server took: it sends nothing, and the first launch that can write sends
// the record once.
TEST(CrashLaunchUpload, ARecordIsSentOnlyWhenItCanBeMarkedSent)
{
    QTemporaryDir home;
    LoopbackHttpServer server;
    // Stored at once, as the crash happens.
    const ChildResult crash = ChildProcess::run("crash_records_child", {"--home", home.path(), "segv"}, 20000);
    ASSERT_TRUE(crash.signaled);
    ASSERT_EQ(CrashRecords::storedIn(home.path() + "/Documents").size(), 1u);
    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));

    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(ChildProcess::run("upload_launch_child", {home.path(), server.url(), "50", "read-only-documents"}, 60000)
                      .exitCode,
                  0);
    EXPECT_EQ(server.requestCount(), 0);
    for (int i = 0; i < 2; ++i)
        ASSERT_EQ(launch(home.path(), server).exitCode, 0);
    EXPECT_EQ(server.requestCount(), 1);
    const auto stored = CrashRecords::storedIn(home.path() + "/Documents");
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0]->count(), 1);
    server.release();
}
