// Encoding and decoding one crash record with a 32 KiB call stack, beside a
// plain copy of the same bytes.
#include "analytics/kel/KelInputStream.h"
#include "analytics/kel/KelOutputStream.h"
#include "crashhandler/NSExpUpload.h"

#include <benchmark/benchmark.h>

#include <cstring>

namespace {

exceptionupload::ExceptionUpload sampleRecord()
{
    exceptionupload::ExceptionUpload record;
    record.exceptionType = "SIGSEGV";
    record.excepitonAddress = "0x10";
    record.hash = std::string(32, 'A');
    record.cashTime = 1700000000123LL;
    record.callStack.reserve(32 * 1024);
    for (int i = 0; record.callStack.size() < 32 * 1024; ++i)
        record.callStack += std::to_string(i) + "  padolvo  0x000055d0c0ffee00 main + 42\n";
    record.callStack.resize(32 * 1024);
    record.attachmentList.resize(1);
    record.attachmentList[0].type = 11;
    record.attachmentList[0].fileName = "crash.log";
    record.attachmentList[0].data.assign(4096, 'r');
    record.threadName = "0";
    record.causedBy = "SEGV_MAPERR";
    record.mobileInfo.symbol = "device";
    record.mobileInfo.other = "padolvo;x86_64;0123#";
    record.contactInfo.all = "none;host";
    return record;
}

analyticsrov::KelBytes encoded(const exceptionupload::ExceptionUpload& record)
{
    analyticsrov::KelOutputStream os;
    record.writeTo(os);
    return os.takeBytes();
}

void BM_Encode(benchmark::State& state)
{
    const auto record = sampleRecord();
    const size_t size = encoded(record).size();
    for (auto _ : state) {
        analyticsrov::KelOutputStream os;
        record.writeTo(os);
        benchmark::DoNotOptimize(os.bytes().data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(size));
    state.SetItemsProcessed(state.iterations());
}

void BM_Decode(benchmark::State& state)
{
    const auto bytes = encoded(sampleRecord());
    for (auto _ : state) {
        analyticsrov::KelInputStream is(bytes);
        exceptionupload::ExceptionUpload out;
        out.readFrom(is);
        benchmark::DoNotOptimize(out.callStack.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.SetItemsProcessed(state.iterations());
}

void BM_Memcpy(benchmark::State& state)
{
    const auto bytes = encoded(sampleRecord());
    std::vector<uint8_t> target(bytes.size());
    for (auto _ : state) {
        std::memcpy(target.data(), bytes.data(), bytes.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(bytes.size()));
    state.SetItemsProcessed(state.iterations());
}

}

BENCHMARK(BM_Encode);
BENCHMARK(BM_Decode);
BENCHMARK(BM_Memcpy);
BENCHMARK_MAIN();
