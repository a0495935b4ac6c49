// File cipher throughput beside a plain copy of the same buffer.
#include "Public/PavEncryptManager.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <random>

namespace {
QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    std::mt19937 rng(42);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(rng());
    return bytes;
}

void setBytes(benchmark::State& state)
{
    state.SetBytesProcessed(int64_t(state.iterations()) * state.range(0));
}

void BM_Memcpy(benchmark::State& state)
{
    const QByteArray source = randomBytes(state.range(0));
    QByteArray target(source.size(), Qt::Uninitialized);
    for (auto _ : state) {
        std::memcpy(target.data(), source.constData(), size_t(source.size()));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    setBytes(state);
}

void BM_EncryptData(benchmark::State& state)
{
    const QByteArray plain = randomBytes(state.range(0));
    for (auto _ : state) {
        QByteArray cipher = PavEncryptManager::encryptData(plain);
        benchmark::DoNotOptimize(cipher.data());
    }
    setBytes(state);
}

void BM_DecryptData(benchmark::State& state)
{
    const QByteArray cipher = PavEncryptManager::encryptData(randomBytes(state.range(0)));
    QByteArray plain;
    for (auto _ : state) {
        if (!PavEncryptManager::decryptData(cipher, &plain))
            state.SkipWithError("decipher failed");
        benchmark::DoNotOptimize(plain.data());
    }
    setBytes(state);
}
}

constexpr int64_t kMiB = 1 << 20;
BENCHMARK(BM_Memcpy)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EncryptData)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DecryptData)->Arg(kMiB)->Arg(16 * kMiB)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
