#include "AnalyticsTestSupport.h"

#include "analytics/AnaModel.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/AnaUploadAddress.h"
#include "analytics/transport/CommunicateInterface.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashReporter.h"
#include "crashhandler/CrashUploadResultDelegete.h"
#include "crashhandler/CrashUploader.h"
#include "crashhandler/NSExpUpload.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/RegularFile.h"
#include "support/CrashRecords.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"

#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace {

struct RecordingDelegate : CrashUploadResultDelegete {
    std::atomic<int> successes{0};
    std::atomic<int> failures{0};
    QString reason;
    void onUploadCrashSuccess() override { ++successes; }
    void onUploadCrashFail(const QString& r) override
    {
        reason = r;
        ++failures;
    }
    int ends() const { return successes + failures; }
};

class CrashUpload : public ::testing::Test {
protected:
    CrashUpload()
        : crashDir(f.dir.path() + "/crash"),
          handler(f.store, f.clock, crashDir, &f.defaults),
          reporter(handler, AnaModel::getDefualtAnaModel(), crashDir),
          uploader(reporter, handler, {&f.operations, &f.handlers, f.facade.get()})
    {
        QDir().mkpath(crashDir);
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<NSExpUpload>(NSExpUpload::kPersistType);
        uploader.registerHandler();
        f.setStrategy([this](LocalStrategy& s) { s.uploadServer = server.url(); });
        AnaNetworkState::setSource([] { return AnaNetworkState{true, false, false}; });
        CommunicateInterface::setTickLength(std::chrono::milliseconds(50));
    }
    ~CrashUpload() override
    {
        server.release();
        f.handlers.cancelAllOperations();
        f.handlers.waitUntilAllOperationsAreFinished();
        AnaNetworkState::setSource({});
        CommunicateInterface::setTickLength(std::chrono::milliseconds(1000));
        CommunicateInterface::setExchangeDeadline(std::chrono::minutes(3));
    }

    std::shared_ptr<NSExpUpload> storeCrash(const std::string& type, int64_t timeMs, size_t stackBytes = 100,
                                            bool withReport = true)
    {
        auto record = std::make_shared<NSExpUpload>();
        record->exceptionType = type;
        record->cashTime = timeMs;
        record->callStack = std::string(stackBytes, 's');
        if (withReport) {
            exceptionupload::Attachment report;
            report.type = 11;
            report.fileName = "crash_report.log";
            const std::string text = "report of " + type;
            report.data.assign(text.begin(), text.end());
            record->attachmentList.push_back(report);
        }
        record->setTime(timeMs);
        record->setMd5(int64_t(std::hash<std::string>{}(type) & 0x7fffffff));
        EXPECT_TRUE(f.store.saveObject(*record, nullptr));
        return record;
    }
    int64_t nowMs() const { return f.clock.now().toMSecsSinceEpoch(); }
    std::vector<std::shared_ptr<NSExpUpload>> stored() { return CrashRecords::stored(f.store); }
    // Runs one launch's upload and waits for its end.
    void launchUpload(const std::shared_ptr<RecordingDelegate>& delegate = nullptr)
    {
        uploader.uploadCrashes(delegate);
        f.operations.waitUntilIdle();
        f.handlers.waitUntilAllOperationsAreFinished();
    }
    static std::vector<exceptionupload::ExceptionUpload> sentRecords(const QByteArray& envelope)
    {
        const auto decoded = LoopbackEnvelope::decodeRequest(envelope);
        EXPECT_EQ(decoded.package.cmd, 4);
        EXPECT_EQ(decoded.package.platformId, 2);
        EXPECT_EQ(decoded.package.encryType, 1);
        EXPECT_EQ(decoded.package.zipType, 2);
        return CrashRecords::sent(envelope);
    }
    void fileAttach(int64_t timeMs, const QString& text)
    {
        QJsonObject object = QJsonDocument::fromJson([&] {
            QByteArray b;
            RegularFile::read(reporter.attachFilePath(), 1 << 20, &b);
            return b;
        }()).object();
        object.insert(QString::number(timeMs), text);
        AtomicFile::write(reporter.attachFilePath(), QJsonDocument(object).toJson());
    }

    FacadeFixture f;
    LoopbackHttpServer server;
    QString crashDir;
    CrashHandler handler;
    CrashReporter reporter;
    CrashUploader uploader;
};

}

TEST_F(CrashUpload, ResultZeroSendsTheStoredRecordsAndMarksThemSent)
{
    const auto a = storeCrash("SIGSEGV", nowMs() - 1000);
    const auto b = storeCrash("SIGABRT", nowMs() - 500);
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    const auto delegate = std::make_shared<RecordingDelegate>();
    launchUpload(delegate);
    EXPECT_EQ(delegate->successes, 1);
    EXPECT_EQ(delegate->ends(), 1);
    ASSERT_EQ(server.requestCount(), 1);
    const auto sent = sentRecords(server.requests()[0].body);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[0], a->wire());
    EXPECT_EQ(sent[1], b->wire());
    for (const auto& record : stored())
        EXPECT_EQ(record->count(), 1);   // sent today
}

TEST_F(CrashUpload, FailedUploadsLeaveRecordsForTheNextLaunch)
{
    storeCrash("SIGSEGV", nowMs() - 1000);
    auto delegate = std::make_shared<RecordingDelegate>();
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(1)));   // refused
    launchUpload(delegate);
    EXPECT_EQ(delegate->reason, QString("unknown err"));
    server.setDefaultStep(LoopbackHttpServer::drop());
    launchUpload(delegate);
    server.setDefaultStep(LoopbackHttpServer::hang());
    launchUpload(delegate);
    // A server that drips its answer, a byte within every allowance, is
    // abandoned at the exchange's deadline.
    CommunicateInterface::setExchangeDeadline(std::chrono::milliseconds(300));
    server.setDefaultStep(LoopbackHttpServer::drip(LoopbackEnvelope::reply(0), 100));
    launchUpload(delegate);
    EXPECT_EQ(delegate->failures, 4);
    EXPECT_EQ(delegate->successes, 0);
    EXPECT_EQ(server.requestCount(), 1 + 1 + 3 + 3);   // time-outs are tried three times
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0]->count(), 0);

    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    launchUpload(delegate);
    EXPECT_EQ(delegate->successes, 1);
    EXPECT_EQ(stored()[0]->count(), 1);

    // The reporter holds its delegate weakly: one gone by the answer hears nothing.
    storeCrash("SIGBUS", nowMs() - 100);
    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    std::weak_ptr<RecordingDelegate> gone = delegate;
    uploader.uploadCrashes(gone);
    delegate.reset();
    f.operations.waitUntilIdle();
    f.handlers.waitUntilAllOperationsAreFinished();
    EXPECT_TRUE(gone.expired());
    EXPECT_FALSE(uploader.delegate());
}

TEST_F(CrashUpload, NoNetworkOrNoAddressSendsNothing)
{
    storeCrash("SIGSEGV", nowMs() - 1000);
    AnaNetworkState::setSource([] { return AnaNetworkState{false, false, false}; });
    launchUpload();
    const QString before = AnaUploadAddress::defaultUrl();
    AnaUploadAddress::setDefaultUrl("");
    AnaNetworkState::setSource({});
    launchUpload();
    AnaUploadAddress::setDefaultUrl(before);
    EXPECT_EQ(server.requestCount(), 0);
    EXPECT_EQ(stored()[0]->count(), 0);
}

TEST_F(CrashUpload, BudgetTakesTheFirstRecordAlwaysAndStopsBeforeItIsReached)
{
    storeCrash("SIGSEGV", nowMs() - 2000, 20000);
    storeCrash("SIGBUS", nowMs() - 1000, 20000);
    auto package = uploader.getUploadPkg(CrashUploader::kBudget, false);
    ASSERT_TRUE(package);
    ASSERT_EQ(CrashUploader::recordsOf(*package).size(), 1u);
    EXPECT_EQ(std::dynamic_pointer_cast<NSExpUpload>(CrashUploader::recordsOf(*package)[0])->exceptionType, "SIGSEGV");
    EXPECT_EQ(CrashUploader::recordsOf(*uploader.getUploadPkg(0, false)).size(), 2u);
    for (const auto& record : stored())
        EXPECT_EQ(record->count(), 0);
}

TEST_F(CrashUpload, AttachTextIsConsumedOnlyWithASentRecordAndOrphansArePruned)
{
    const int64_t t = nowMs() - 3000;
    storeCrash("SIGSEGV", t);
    fileAttach(t, "lc=1&ver=2");
    fileAttach(12345, "someone else's");

    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(1)));
    launchUpload();
    EXPECT_TRUE(reporter.attachLogs().contains(QString::number(t)));

    server.enqueue(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    launchUpload();
    const auto sent = sentRecords(server.requests().last().body);
    ASSERT_EQ(sent.size(), 1u);
    ASSERT_EQ(sent[0].attachmentList.size(), 2u);
    EXPECT_EQ(sent[0].attachmentList[1].fileName, "crash_attach.log");
    EXPECT_EQ(std::string(sent[0].attachmentList[1].data.begin(), sent[0].attachmentList[1].data.end()), "lc=1&ver=2");
    const auto logs = reporter.attachLogs();
    EXPECT_FALSE(logs.contains(QString::number(t)));
    // An entry that belongs to no record goes when an upload is built.
    EXPECT_FALSE(logs.contains("12345"));
    ASSERT_EQ(stored().size(), 1u);
    EXPECT_EQ(stored()[0]->attachmentList.size(), 2u);   // kept with the sent record
}

TEST_F(CrashUpload, HostDrivenPairKeepsRecordsUntilSuccess)
{
    storeCrash("SIGSEGV", nowMs() - 1000);
    AnaError error;
    const QByteArray first = uploader.getUploadData(false, &error);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(error.code, 0);
    const QByteArray again = uploader.getUploadData(false, &error);
    EXPECT_EQ(again, first);
    EXPECT_EQ(error.code, 8);
    EXPECT_EQ(error.description, QString("invalid callable, set cleanDataAtomatic to NO must call "
                                         "uploadFinishWithResult before another call of  getUploadData"));
    EXPECT_TRUE(uploader.uploadFinishWithResult(false, nullptr));
    EXPECT_EQ(stored().size(), 1u);

    uploader.getUploadData(false, nullptr);
    EXPECT_TRUE(uploader.uploadFinishWithResult(true, nullptr));
    EXPECT_TRUE(stored().empty());
    EXPECT_TRUE(uploader.getUploadData(false, &error).isEmpty());
}

TEST_F(CrashUpload, TheReporterCarriesTheUploadCalls)
{
    storeCrash("SIGSEGV", nowMs() - 1000);
    EXPECT_FALSE(reporter.getUploadPkg(CrashUploader::kBudget, false));   // no upload yet
    reporter.setUpload(&uploader);
    ASSERT_TRUE(reporter.getUploadPkg(CrashUploader::kBudget, false));
    AnaError error;
    EXPECT_FALSE(reporter.getUploadData(false, &error).isEmpty());
    EXPECT_EQ(error.code, 0);
    EXPECT_TRUE(reporter.uploadFinishWithResult(true, nullptr));
    EXPECT_TRUE(stored().empty());
    const auto delegate = std::make_shared<RecordingDelegate>();
    reporter.setDelegate(delegate);
    EXPECT_EQ(reporter.delegate(), delegate);
    EXPECT_EQ(uploader.delegate(), delegate);
}
