// What a decode's memory estimate adds to a camera photo's thumbnail: the
// thumbnail through ImageCodec (estimate, reservation, 1/8-scale decode),
// the same decode by Qt's reader alone, and the estimate alone; for a
// baseline (0) and a progressive (1) JPEG of 4000 x 3000.
#include "platform/media/DecodeCost.h"
#include "platform/media/ImageCodec.h"
#include "support/ImageFixtures.h"
#include "support/JpegBomb.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

const QByteArray& photo(const benchmark::State& state)
{
    static const QByteArray baseline = jpegOf(ImageFixtures::pattern(4000, 3000), false);
    static const QByteArray progressive = jpegOf(ImageFixtures::pattern(4000, 3000), true);
    return state.range(0) != 0 ? progressive : baseline;
}

void openOver(QBuffer& buffer, const QByteArray& bytes)
{
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
}

void BM_ThumbnailThroughImageCodec(benchmark::State& state)
{
    const QByteArray& bytes = photo(state);
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCodec::decodeScaled(bytes, QSize(150, 150)));
}

void BM_ScaledDecodeByQtAlone(benchmark::State& state)
{
    const QByteArray& bytes = photo(state);
    for (auto _ : state) {
        QBuffer buffer;
        openOver(buffer, bytes);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        reader.setScaledSize(QSize(200, 150));
        benchmark::DoNotOptimize(reader.read());
    }
}

void BM_EstimateAlone(benchmark::State& state)
{
    const QByteArray& bytes = photo(state);
    for (auto _ : state) {
        QBuffer buffer;
        openOver(buffer, bytes);
        benchmark::DoNotOptimize(DecodeCost::read(&buffer).bytes({QSize(4000, 3000), QSize(200, 150), false, false}));
    }
}

}

BENCHMARK(BM_ThumbnailThroughImageCodec)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScaledDecodeByQtAlone)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EstimateAlone)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
