#include "sim/recorder/sim_test_runs.h"

#include <algorithm>
#include <cmath>

#include "sim/recorder/sim_recorder.h"

namespace kelcmd::sim {
namespace {

constexpr std::array<uint8_t, 4> kTuningSignals{10, 11, 12, 13};
constexpr std::array<uint8_t, 4> kCurrentSignals{7, 6, 4, 5};
constexpr size_t kCurrentSamples = 512;
constexpr uint32_t kCurrentPeriodUs = 100;
// The simulated motor's electrical behaviour: mA per duty cycle unit at standstill, and the time
// constant of the current in samples.
constexpr double kMilliampsPerDuty = 10.0;
constexpr double kCurrentLag = 5.0;

void Push(TestRun& run, double integrator, double duty, double must, double is) {
    const std::array<double, 4> values{integrator, duty, must, is};
    for (size_t vector = 0; vector < values.size(); ++vector) {
        run.samples[vector].push_back(RecordedSample(run.signals[vector], values[vector]));
    }
}

}  // namespace

std::optional<AutotuneSettings> CheckAutotuneSettings(uint8_t toTune, uint8_t startParam,
                                                      uint8_t costFunction, uint8_t extent) {
    const bool current = toTune == 1 && costFunction >= 102 && costFunction <= 105;
    const bool position = toTune == 2 && costFunction >= 201 && costFunction <= 204;
    if (!(current || position) || startParam > 1 || extent > 1) return std::nullopt;
    return AutotuneSettings{toTune, startParam, costFunction, extent};
}

TestRun RunAutotune(const AutotuneSettings& settings) {
    TestRun run;
    run.signals = kTuningSignals;
    run.periodUs = 20000;  // one iteration every 20 ms
    const size_t iterations = settings.extent == 1 ? 150 : 60;
    // Starting from the default gains is further from the optimum than the active ones.
    const double startCost = settings.startParam == 1 ? 4000.0 : 2500.0;
    const double finalCost = settings.extent == 1 ? 250.0 : 500.0;
    for (size_t i = 0; i < iterations; ++i) {
        const double progress = 1.0 - std::exp(-5.0 * static_cast<double>(i) / iterations);
        const double cost = startCost + (finalCost - startCost) * progress;
        const std::array<double, 4> values{100 + 150 * progress, 20 + 60 * progress,
                                           300 + 200 * progress, cost};
        for (size_t vector = 0; vector < values.size(); ++vector) {
            run.samples[vector].push_back(RecordedSample(run.signals[vector], values[vector]));
        }
    }
    const int16_t last = run.samples[3].back();
    run.improveFactor = static_cast<int16_t>(last > 0 ? std::lround(100.0 * startCost / last) : 0);
    run.duration = std::chrono::microseconds(iterations * run.periodUs);
    return run;
}

TestRun RunSquareCurrent(uint16_t amplitude) {
    TestRun run;
    run.signals = kCurrentSignals;
    run.periodUs = kCurrentPeriodUs;
    double is = 0.0;
    double integrator = 0.0;
    for (size_t i = 0; i < kCurrentSamples; ++i) {
        const double must = ((i / 128) % 2 == 0 ? 1.0 : -1.0) * amplitude;
        integrator += (must - is) * 0.05;
        const double duty = std::clamp((must - is) * 0.5 + integrator, -266.0 * kMilliampsPerDuty,
                                       266.0 * kMilliampsPerDuty) /
                            kMilliampsPerDuty;
        is += (must - is) / kCurrentLag;
        Push(run, integrator, duty, must, is);
    }
    run.duration = std::chrono::microseconds(kCurrentSamples * run.periodUs);
    return run;
}

std::optional<TestRun> RunPwm(int16_t dutyCycle) {
    if (dutyCycle < -266 || dutyCycle > 266) return std::nullopt;
    TestRun run;
    run.signals = kCurrentSignals;
    run.periodUs = kCurrentPeriodUs;
    double is = 0.0;
    const double target = dutyCycle * kMilliampsPerDuty;
    for (size_t i = 0; i < kCurrentSamples; ++i) {
        is += (target - is) / kCurrentLag;
        Push(run, 0.0, dutyCycle, 0.0, is);
    }
    run.duration = std::chrono::microseconds(kCurrentSamples * run.periodUs);
    return run;
}

}  // namespace kelcmd::sim
