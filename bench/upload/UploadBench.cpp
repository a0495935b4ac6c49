// The crash upload's cost: packing ten stored crash records into a request
// package and its envelope, and posting them to a server on 127.0.0.1.

#include "analytics/AnaModel.h"
#include "analytics/AnaSqlitePersistHandler.h"
#include "analytics/AnalyticsPersistObjectRegister.h"
#include "analytics/envelope/AnaNuxWrapHelper.h"
#include "analytics/facade/Analytics.h"
#include "analytics/facade/AnalyticsOperationCenter.h"
#include "analytics/packages/NSRequestPackage.h"
#include "analytics/transport/AnaCommunicationRequestDelegate.h"
#include "analytics/transport/AnaNetWorkHandlerQueue.h"
#include "analytics/transport/AnaNetworkState.h"
#include "analytics/transport/CommunicateInterface.h"
#include "crashhandler/CrashHandler.h"
#include "crashhandler/CrashReporter.h"
#include "crashhandler/CrashUploader.h"
#include "crashhandler/NSExpUpload.h"
#include "platform/core/Clock.h"
#include "platform/core/UserDefaults.h"
#include "support/LoopbackEnvelope.h"
#include "support/LoopbackHttpServer.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 10;

// Text that compresses about as badly as a real report's addresses.
std::string noise(size_t size, uint32_t seed)
{
    static const char digits[] = "0123456789abcdef";
    std::string out(size, ' ');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1664525u + 1013904223u;
        out[i] = (i % 20 == 19) ? '\n' : digits[(seed >> 24) & 15];
    }
    return out;
}

// Ten typical crash records (4 KiB call stack, 8 KiB report) in a store of
// their own, with the reporter and uploader over it.
struct Setup {
    QTemporaryDir dir;
    AnaSqlitePersistHandler store{dir.path()};
    UserDefaults defaults;
    CrashHandler handler{store, Clock::system(), dir.path(), &defaults};
    CrashReporter reporter{handler, AnaModel::getDefualtAnaModel(), dir.path()};
    AnalyticsOperationCenter operations;
    AnaNetWorkHandlerQueue handlers;
    Analytics facade{Analytics::Collaborators{&store, &defaults, nullptr, &operations, &handlers}};
    CrashUploader uploader{reporter, handler, {&operations, &handlers, &facade}};

    Setup()
    {
        AnalyticsPersistObjectRegister::sharedInstance().registPersisteObjectType<NSExpUpload>(NSExpUpload::kPersistType);
        AnaNetworkState::setSource([] { return AnaNetworkState{true, true, false}; });
        handler.setWlanProbe([] { return true; });
        store.initDB(nullptr);
        const int64_t now = QDateTime::currentMSecsSinceEpoch();
        for (int i = 0; i < kRecords; ++i) {
            NSExpUpload record;
            record.exceptionType = "SIGSEGV";
            record.cashTime = now - i;
            record.callStack = noise(4096, i);
            exceptionupload::Attachment report;
            report.type = 11;
            report.fileName = "crash_report.log";
            const std::string text = noise(8192, 100 + i);
            report.data.assign(text.begin(), text.end());
            record.attachmentList.push_back(report);
            record.setTime(now - i);
            record.setMd5(1000 + i);
            store.saveObject(record, nullptr);
        }
    }
    ~Setup() { AnaNetworkState::setSource({}); }
};

Setup& setup()
{
    static Setup s;
    return s;
}

struct Outcome : AnaCommunicationRequestDelegate {
    bool ok = false;
    QString error;
    void succeedWithResponse(const std::shared_ptr<NSResponsePackage>&) override { ok = true; }
    void failWithError(const AnaError& e) override
    {
        ok = false;
        error = e.domain + " " + QString::number(e.code) + " " + e.description;
    }
};

void BM_PackAndEnvelopeTenRecords(benchmark::State& state)
{
    Setup& s = setup();
    size_t bytes = 0;
    for (auto _ : state) {
        auto package = s.uploader.getUploadPkg(0, false);
        const QByteArray envelope = AnaNuxWrapHelper().createReqData(
            *package, "detail", "upload", "access", 2, 1, AnaNuxWrapHelper::kRequestKey, nullptr);
        bytes = size_t(envelope.size());
        if (CrashUploader::recordsOf(*package).size() != size_t(kRecords))
            state.SkipWithError("not all records packed");
        benchmark::DoNotOptimize(envelope.constData());
    }
    state.counters["envelope_bytes"] = double(bytes);
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_PackAndEnvelopeTenRecords)->Unit(benchmark::kMillisecond);

void BM_UploadTenRecordsThroughLoopback(benchmark::State& state)
{
    Setup& s = setup();
    LoopbackHttpServer server;
    server.setDefaultStep(LoopbackHttpServer::answer(LoopbackEnvelope::reply(0)));
    CommunicateInterface::Config config;
    config.servUrl = server.url();
    config.encKey = AnaNuxWrapHelper::kRequestKey;
    config.encPubKey = AnaNuxWrapHelper::kResponseKey;
    CommunicateInterface engine(config);
    for (auto _ : state) {
        auto package = s.uploader.getUploadPkg(0, false);
        Outcome outcome;
        engine.communicateWithSeverAsync(package, &outcome);
        if (!outcome.ok)
            state.SkipWithError(("upload failed: " + outcome.error).toStdString().c_str());
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kRecords);
}
BENCHMARK(BM_UploadTenRecordsThroughLoopback)->Unit(benchmark::kMillisecond)->Iterations(200)->UseRealTime();

}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
