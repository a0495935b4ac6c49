// Upload and download of a 20 MB file through the disk store's facade (64 KB
// chunks with progress, the blob synced and its size recorded every few
// megabytes and at the end, the SHA-1 taken as the bytes pass and checked at
// the end of both), beside `cp` of the same bytes in the same run (alone, and
// followed by `sync` of the copy). Run with --benchmark_repetitions=5
// --benchmark_report_aggregates_only=true and compare the medians: the upload
// with cp + sync, the download with cp alone.

#include "disk/DiskAccounts.h"
#include "disk/DiskLoginModel.h"
#include "disk/DiskManager.h"
#include "disk/DiskStore.h"
#include "platform/core/AppHome.h"
#include "support/EventLoop.h"
#include "support/RecordingDiskResponse.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

namespace {

constexpr int kFileSize = 20 * 1024 * 1024;

struct Fixture {
    QTemporaryDir dir;
    QString sourcePath;
    std::shared_ptr<DiskStore> store;
    std::unique_ptr<DiskLoginModel> login;
    std::unique_ptr<DiskManager> manager;
    DiskDirPtr folder;

    Fixture()
    {
        AppHome::setCurrent(dir.path() + "/home");
        AppHome::current().ensure();
        sourcePath = dir.path() + "/source.bin";
        QByteArray bytes(kFileSize, Qt::Uninitialized);
        quint32 x = 12345;
        for (char& c : bytes)
            c = char((x = x * 1103515245u + 12345u) >> 24);
        QFile source(sourcePath);
        source.open(QIODevice::WriteOnly);
        source.write(bytes);
        source.close();

        store = DiskStore::open(dir.path() + "/store");
        login = std::make_unique<DiskLoginModel>([this] { return store; });
        manager = std::make_unique<DiskManager>([this] { return store; }, [this] { return login->sessionKey(); });
        RecordingDiskResponse r;
        login->setDelegate(&r);
        login->loginWithUserName("10001", "secret");
        waitUntil([&] { return !r.log.isEmpty(); }, 30000);
        manager->requestQueryUser(&r);
        waitUntil([&] { return r.log.size() >= 2; }, 30000);
        manager->requestQueryDir(r.user->root_dir(), &r);
        waitUntil([&] { return r.log.size() >= 3; }, 30000);
        folder = r.dirs.value(0);
    }

    DiskFilePtr upload()
    {
        DiskFilePtr file = DiskFile::initWithUploadSource(QUrl::fromLocalFile(sourcePath).toString(), "f.bin", folder);
        RecordingDiskResponse r;
        manager->requestUploadFile(file, &r);
        waitUntil([&] { return !r.log.isEmpty(); }, 120000);
        return r.log.value(0) == "upload ok" ? file : nullptr;
    }

    bool download(const DiskFilePtr& file)
    {
        RecordingDiskResponse r;
        manager->requestDownloadFile(file, &r);
        waitUntil([&] { return !r.log.isEmpty(); }, 120000);
        return r.log.value(0) == "download ok";
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void BM_StoreUpload(benchmark::State& state)
{
    Fixture& f = fixture();
    for (auto _ : state) {
        const DiskFilePtr file = f.upload();
        if (!file) {
            state.SkipWithError("upload failed");
            break;
        }
        state.PauseTiming();
        f.store->deleteFile(f.login->sessionKey(), file->file_id());
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

void BM_StoreDownload(benchmark::State& state)
{
    Fixture& f = fixture();
    const DiskFilePtr file = f.upload();
    if (!file) {
        state.SkipWithError("upload failed");
        return;
    }
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(file->file_path());
        state.ResumeTiming();
        if (!f.download(file)) {
            state.SkipWithError("download failed");
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
    f.store->deleteFile(f.login->sessionKey(), file->file_id());
}

// `cp` alone leaves the bytes in the page cache; with `sync` they are on disk
// as the store's are.
void BM_Cp(benchmark::State& state, bool synced)
{
    Fixture& f = fixture();
    const QString target = f.dir.path() + "/copy.bin";
    for (auto _ : state) {
        if (QProcess::execute("cp", {f.sourcePath, target}) != 0
            || (synced && QProcess::execute("sync", {target}) != 0)) {
            state.SkipWithError("cp failed");
            break;
        }
        state.PauseTiming();
        QFile::remove(target);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kFileSize);
}

}

BENCHMARK(BM_StoreUpload)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StoreDownload)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Cp, plain, false)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_Cp, synced, true)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
