// Listing and first-screen costs of the folder photo library on a generated
// library of 10,000 JPEGs, against a plain directory listing with stat().
//
//   bench_photolib [--library-dir DIR] [benchmark flags]
//
// The library is generated once into DIR (default: a folder under /tmp that
// is kept between runs, since making it takes a while).

#include "platform/photolib/FolderAssetsLibrary.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <sys/stat.h>
#include <dirent.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kFiles = 10000;
constexpr int kFirstScreen = 35;
QString g_root;
QString g_cachesBase;

QByteArray sampleJpeg(int seed)
{
    QImage img(640, 480, QImage::Format_RGB32);
    QPainter p(&img);
    QLinearGradient g(0, 0, 640, 480);
    g.setColorAt(0, QColor::fromHsv(seed % 360, 160, 220));
    g.setColorAt(1, QColor::fromHsv((seed * 7) % 360, 200, 90));
    p.fillRect(img.rect(), g);
    p.setBrush(Qt::white);
    p.drawEllipse(QPoint(100 + seed % 400, 240), 60, 60);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "JPG", 80);
    return bytes;
}

void ensureLibrary()
{
    QDir dir(g_root);
    if (dir.exists() && dir.entryList(QDir::Files).size() == kFiles)
        return;
    dir.mkpath(".");
    std::fprintf(stderr, "generating %d JPEGs in %s ...\n", kFiles, qPrintable(g_root));
    // A handful of distinct pictures, written under many names.
    std::vector<QByteArray> samples;
    for (int i = 0; i < 16; ++i)
        samples.push_back(sampleJpeg(i * 37));
    for (int i = 0; i < kFiles; ++i) {
        QFile f(g_root + QString("/IMG_%1.JPG").arg(i, 5, 10, QChar('0')));
        f.open(QIODevice::WriteOnly);
        f.write(samples[i % samples.size()]);
    }
}

QString freshCaches(const char* name)
{
    const QString path = g_cachesBase + "/" + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

void BM_PlainListingWithStat(benchmark::State& state)
{
    const QByteArray root = g_root.toLocal8Bit();
    for (auto _ : state) {
        DIR* dir = opendir(root.constData());
        int n = 0;
        while (dirent* e = readdir(dir)) {
            if (e->d_name[0] == '.')
                continue;
            struct stat st;
            const std::string path = std::string(root.constData()) + "/" + e->d_name;
            if (stat(path.c_str(), &st) == 0)
                ++n;
        }
        closedir(dir);
        benchmark::DoNotOptimize(n);
    }
}

std::vector<AssetsGroup> listing(FolderAssetsLibrary& lib)
{
    std::vector<AssetsGroup> groups;
    lib.enumerateGroups(AssetsGroupSavedPhotos, &groups, nullptr);
    return groups;
}

// Runs body on a library made (and destroyed) outside the timed part.
template <typename Body>
void timedOnFreshLibrary(benchmark::State& state, const QString& caches, bool clearCaches, Body body)
{
    for (auto _ : state) {
        state.PauseTiming();
        if (clearCaches)
            freshCaches(qPrintable(QFileInfo(caches).fileName()));
        auto lib = std::make_unique<FolderAssetsLibrary>(g_root, caches);
        std::vector<AssetsGroup> kept;
        state.ResumeTiming();
        kept = body(*lib);
        state.PauseTiming();
        kept.clear();
        lib.reset();
        state.ResumeTiming();
    }
}

void BM_FirstListingCold(benchmark::State& state)
{
    timedOnFreshLibrary(state, freshCaches("cold"), true, [](FolderAssetsLibrary& lib) { return listing(lib); });
}

void BM_SecondListingWarm(benchmark::State& state)
{
    const QString caches = freshCaches("warm");
    {
        FolderAssetsLibrary first(g_root, caches);
        listing(first);
    }
    timedOnFreshLibrary(state, caches, false, [](FolderAssetsLibrary& lib) { return listing(lib); });
}

// The grid's first screen: the listing, then the 35 newest thumbnails.
std::vector<AssetsGroup> firstScreen(FolderAssetsLibrary& lib)
{
    auto groups = listing(lib);
    const auto& assets = groups.front().assets;
    for (int i = 0; i < kFirstScreen; ++i)
        benchmark::DoNotOptimize(lib.thumbnail(*assets[assets.size() - 1 - i]));
    return groups;
}

void BM_FirstScreenCold(benchmark::State& state)
{
    timedOnFreshLibrary(state, freshCaches("screen-cold"), true, firstScreen);
}

void BM_FirstScreenWarm(benchmark::State& state)
{
    const QString caches = freshCaches("screen-warm");
    {
        FolderAssetsLibrary first(g_root, caches);
        firstScreen(first);
    }
    timedOnFreshLibrary(state, caches, false, firstScreen);
}

}

BENCHMARK(BM_PlainListingWithStat)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_FirstListingCold)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SecondListingWarm)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(BM_FirstScreenCold)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_FirstScreenWarm)->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QGuiApplication app(argc, argv);
    g_root = QDir::tempPath() + "/pav-bench-photolib/library";
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--library-dir") == 0)
            g_root = QString::fromLocal8Bit(argv[i + 1]);
    }
    g_cachesBase = QDir::tempPath() + "/pav-bench-photolib/caches";
    ensureLibrary();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
