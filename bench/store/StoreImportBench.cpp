// Import of 4000 x 3000 JPEGs into the private album, beside its unavoidable
// parts measured in the same run: reading the file, enciphering its bytes
// and a 1/8-scale decode. Run with --benchmark_repetitions=5 and compare the
// medians of BM_Import and BM_SumOfParts, and of BM_ImportInBatch (a batch's
// photo: the next photo is read and decoded while this one is written) and
// BM_EighthScaleDecode. BM_RebuildRow is what a start spends on a stored
// photo whose row the index lost (beside BM_Encipher and BM_EighthScaleDecode:
// a rebuild deciphers every photo).

#include "Public/PavEncryptManager.h"
#include "albums/store/ImportPrefetch.h"
#include "albums/store/PavPhotoManager.h"
#include "platform/photolib/FolderPhotoLibrary.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    QTemporaryDir dir;
    QString libraryRoot;
    QString photoPath;
    std::shared_ptr<FolderPhotoLibrary> library;
    PhotoAssetPtr asset;
    QByteArray bytes;

    Fixture()
    {
        libraryRoot = dir.path() + "/library";
        QDir().mkpath(libraryRoot);
        photoPath = libraryRoot + "/IMG_0001.JPG";
        // A photo-like picture: gradients and many shapes, JPEG quality 90.
        QImage image(4000, 3000, QImage::Format_RGB32);
        QPainter p(&image);
        QLinearGradient gradient(0, 0, 4000, 3000);
        gradient.setColorAt(0, QColor(30, 90, 160));
        gradient.setColorAt(1, QColor(220, 180, 60));
        p.fillRect(image.rect(), gradient);
        for (int i = 0; i < 400; ++i) {
            p.setBrush(QColor::fromHsv((i * 37) % 360, 120 + i % 120, 90 + i % 160));
            p.drawEllipse(QPoint((i * 7919) % 4000, (i * 104729) % 3000), 20 + i % 180, 15 + i % 140);
        }
        p.end();
        QImageWriter writer(photoPath, "jpeg");
        writer.setQuality(90);
        writer.write(image);
        library = std::make_shared<FolderPhotoLibrary>(libraryRoot);
        asset = library->assetForFile(photoPath);
        asset->readAll(&bytes);
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

QByteArray readPart()
{
    QByteArray bytes;
    fixture().asset->readAll(&bytes);
    return bytes;
}

QImage eighthDecodePart(const QByteArray& bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setScaledSize(reader.size() / 8);
    return reader.read();
}

void rate(benchmark::State& state)
{
    state.counters["photos/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_ReadFile(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(readPart());
    rate(state);
}

void BM_Encipher(benchmark::State& state)
{
    const QByteArray bytes = fixture().bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(PavEncryptManager::encryptData(bytes));
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}

void BM_EighthScaleDecode(benchmark::State& state)
{
    const QByteArray bytes = fixture().bytes;
    for (auto _ : state)
        benchmark::DoNotOptimize(eighthDecodePart(bytes));
}

// The three parts one after the other, as one photo would need them.
void BM_SumOfParts(benchmark::State& state)
{
    for (auto _ : state) {
        const QByteArray bytes = readPart();
        benchmark::DoNotOptimize(PavEncryptManager::encryptData(bytes));
        benchmark::DoNotOptimize(eighthDecodePart(bytes));
    }
    rate(state);
}

void BM_Import(benchmark::State& state)
{
    QTemporaryDir home;
    PavPhotoManager store(home.path() + "/photo", fixture().library);
    for (auto _ : state) {
        if (!store.encryptAsset(*fixture().asset))
            state.SkipWithError("import failed");
        state.PauseTiming();
        for (const PavPhotoModelPtr& item : store.photoes())
            store.deletePhoto(*item);
        state.ResumeTiming();
    }
    rate(state);
}

// One photo of a batch, as the device album's encrypt batch stores it: its
// read and decode were prepared while the photo before was written.
void BM_ImportInBatch(benchmark::State& state)
{
    QTemporaryDir home;
    PavPhotoManager store(home.path() + "/photo", fixture().library);
    ImportPrefetch prefetch;
    const PhotoAssetPtr asset = fixture().asset;
    prefetch.prefetch(asset);
    for (auto _ : state) {
        const auto prepared = prefetch.take(asset);
        prefetch.prefetch(asset);
        if (!store.encryptAsset(*asset, prepared.get()))
            state.SkipWithError("import failed");
    }
    prefetch.take(asset);
    rate(state);
}

void BM_RebuildRow(benchmark::State& state)
{
    QTemporaryDir home;
    PavPhotoManager store(home.path() + "/photo", fixture().library);
    if (!store.encryptAsset(*fixture().asset))
        state.SkipWithError("import failed");
    for (auto _ : state) {
        state.PauseTiming();
        for (const PavPhotoModelPtr& item : store.photoes())
            store.deleteRecord(*item);
        state.ResumeTiming();
        store.healIndex();
    }
    if (store.photoes().size() != 1)
        state.SkipWithError("no row rebuilt");
    rate(state);
}

}

BENCHMARK(BM_ReadFile)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Encipher)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EighthScaleDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SumOfParts)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Import)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ImportInBatch)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(40);
BENCHMARK(BM_RebuildRow)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
