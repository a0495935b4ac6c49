// What a decode's memory estimate adds to a camera photo's thumbnail: the
// thumbnail through ImageCodec (estimate, reservation, 1/8-scale decode),
// the same decode by Qt's reader alone, and the estimate alone.
#include "platform/media/DecodeCost.h"
#include "platform/media/ImageCodec.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

QByteArray cameraPhoto(bool progressive)
{
    QImage image(4000, 3000, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 4000, 3000);
    gradient.setColorAt(0, QColor(30, 90, 160));
    gradient.setColorAt(1, QColor(220, 180, 60));
    p.fillRect(image.rect(), gradient);
    for (int i = 0; i < 400; ++i)
        p.fillRect((i * 397) % 3900, (i * 211) % 2900, 60, 60, QColor::fromHsv((i * 37) % 360, 200, 220));
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(90);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

const QByteArray& photo(bool progressive)
{
    static const QByteArray baseline = cameraPhoto(false);
    static const QByteArray stepwise = cameraPhoto(true);
    return progressive ? stepwise : baseline;
}

void BM_ThumbnailThroughImageCodec(benchmark::State& state)
{
    const QByteArray& bytes = photo(state.range(0) != 0);
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageCodec::decodeScaled(bytes, QSize(150, 150)));
}

void BM_ScaledDecodeByQtAlone(benchmark::State& state)
{
    const QByteArray& bytes = photo(state.range(0) != 0);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        reader.setScaledSize(QSize(200, 150));
        benchmark::DoNotOptimize(reader.read());
    }
}

void BM_EstimateAlone(benchmark::State& state)
{
    const QByteArray& bytes = photo(state.range(0) != 0);
    for (auto _ : state) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
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
