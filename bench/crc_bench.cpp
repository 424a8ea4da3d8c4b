// Frame checksum throughput over frames of the sizes the bus carries.
#include <benchmark/benchmark.h>

#include <vector>

#include "transport/frame.h"

static void FrameCrcThroughput(benchmark::State& state) {
    std::vector<uint8_t> frame(static_cast<size_t>(state.range(0)));
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint8_t>(i * 31 + 7);
    for (auto _ : state) benchmark::DoNotOptimize(kelcmd::FrameCrc(frame));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * state.range(0));
}
BENCHMARK(FrameCrcThroughput)->Arg(5)->Arg(64)->Arg(1028);
