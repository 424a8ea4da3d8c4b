#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

namespace kelcmd::sim {

// What an autotuning, square current or PWM run of a simulated unit leaves: the recording of its
// four vectors, the improvement it achieved, and how long it took in simulated time.
struct TestRun {
    std::array<uint8_t, 4> signals{};
    uint32_t periodUs = 0;
    std::array<std::vector<int16_t>, 4> samples;
    int16_t improveFactor = 0;
    std::chrono::microseconds duration{0};
};

struct AutotuneSettings {
    uint8_t toTune = 2;  // 1 current, 2 position regulator
    uint8_t startParam = 0;
    uint8_t costFunction = 202;
    uint8_t extent = 0;  // 0 coarse, 1 fine
};

// The settings of InitAutotune when the unit accepts them: cost functions 102 to 105 tune the
// current regulator, 201 to 204 the position regulator.
std::optional<AutotuneSettings> CheckAutotuneSettings(uint8_t toTune, uint8_t startParam,
                                                      uint8_t costFunction, uint8_t extent);

// The tuning iterations: P, I and D gains converging and the performance index falling (signals
// 10 to 13); fine tuning takes more iterations and gains more.
TestRun RunAutotune(const AutotuneSettings& settings);

// A current stepping between +amplitude and -amplitude (mA) with a first-order regulator
// following it: current integrator, PWM duty cycle, current must, current is (signals 7, 6, 4, 5).
TestRun RunSquareCurrent(uint16_t amplitude);

// The output stage driven at a fixed duty cycle (per 266, -266 to 266): the same four signals.
std::optional<TestRun> RunPwm(int16_t dutyCycle);

}  // namespace kelcmd::sim
