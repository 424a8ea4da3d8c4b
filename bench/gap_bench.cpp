// The bus gaps: how far a requested gap overshoots (median and 99th percentile over the run) and
// what it costs in CPU, for the sleeping wait the line uses and the pure spin beside it; and the
// CPU time of one whole paced exchange at 19200 baud, gaps included.
#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <string>
#include <vector>

#include "command/kel_command.h"
#include "platform/clock.h"
#include "sim/bus_registry.h"
#include "sim/sim_device.h"
#include "transport/packet_protocol.h"
#include "transport/serial_line.h"

namespace {

double ThreadCpuMicros() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e6 + static_cast<double>(now.tv_nsec) * 1e-3;
}

double Percentile(std::vector<double> values, double fraction) {
    if (values.empty()) return 0;
    const auto index = static_cast<size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(index),
                     values.end());
    return values[index];
}

template <void (*Wait)(uint32_t)>
void GapOvershoot(benchmark::State& state) {
    const auto gap = static_cast<uint32_t>(state.range(0));
    std::vector<double> overshoots;
    overshoots.reserve(static_cast<size_t>(state.max_iterations));
    const double cpuStart = ThreadCpuMicros();
    for (auto _ : state) {
        const uint64_t start = kelcmd::MonotonicNanoseconds();
        Wait(gap);
        const uint64_t waited = kelcmd::MonotonicNanoseconds() - start;
        overshoots.push_back(static_cast<double>(waited) * 1e-3 - gap);
    }
    const double cpu = (ThreadCpuMicros() - cpuStart) / static_cast<double>(overshoots.size());
    state.counters["overshoot_p50_us"] = Percentile(overshoots, 0.5);
    state.counters["overshoot_p99_us"] = Percentile(overshoots, 0.99);
    state.counters["cpu_us"] = cpu;
}

void SleepingGap(benchmark::State& state) {
    GapOvershoot<kelcmd::PreciseWaitMicroseconds>(state);
}
void SpinningGap(benchmark::State& state) {
    GapOvershoot<kelcmd::BusyWaitMicroseconds>(state);
}
BENCHMARK(SleepingGap)
    ->Arg(100)
    ->Arg(200)
    ->Arg(600)
    ->Arg(1000)
    ->Arg(1200)
    ->Arg(2000)
    ->Iterations(1000)
    ->UseRealTime();
BENCHMARK(SpinningGap)->Arg(100)->Arg(1200)->Iterations(300)->UseRealTime();

// One ReadPosition exchange with the simulated drive on a line paced at 19200 baud.
void PacedExchangeAt19200(benchmark::State& state) {
    using namespace kelcmd;
    sim::RegisterSimulatedDevices();
    const auto busControl = static_cast<uint8_t>(state.range(0));
    const std::string bus = "bench-paced-cpu-" + std::to_string(busControl);
    CSerialLine line;
    if (line.Open(19200, "sim:1,paced,bus=" + bus, busControl, 100, 4) != 0) {
        state.SkipWithError("cannot open the simulated bus");
        return;
    }
    CKelCommand command;
    command.GetMessageBuffer()[0] = 1;
    command.GetMessageBuffer()[4] = 0x30;  // ReadPosition
    command.BuildFrame(0);
    const double cpuStart = ThreadCpuMicros();
    for (auto _ : state) {
        if (Transfer(line, 4, command.Exchange()) != 0) {
            state.SkipWithError("exchange failed");
            break;
        }
    }
    state.counters["cpu_us_per_exchange"] =
        (ThreadCpuMicros() - cpuStart) / static_cast<double>(state.iterations());
    line.Close();
    sim::RemoveBus(bus);
}
BENCHMARK(PacedExchangeAt19200)
    ->ArgName("auto_control")
    ->Arg(kelcmd::RTS_CONTROL)
    ->Arg(kelcmd::AUTO_CONTROL)
    ->Iterations(300)
    ->UseRealTime();

}  // namespace
