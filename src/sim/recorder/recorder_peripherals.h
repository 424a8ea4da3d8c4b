#pragma once

#include <memory>
#include <optional>

#include "sim/recorder/sim_recorder.h"
#include "sim/recorder/sim_serial_channel.h"
#include "sim/recorder/sim_test_runs.h"

namespace kelcmd::sim {

class SimUnit;

// A simulated unit's data recorder, its own serial line and its tuning state, with the handlers
// of the recorder (0x68 to 0x6B), serial line (0x4B to 0x4E) and autotuning codes (0x60 to 0x62,
// 0x67). The handlers own it; it lives as long as the unit.
struct RecorderPeripherals {
    explicit RecorderPeripherals(const SimClock& clock) : recorder(clock) {}

    SimRecorder recorder;
    SimSerialChannel serial;
    std::mutex tuningMutex;
    std::optional<AutotuneSettings> tuning;  // set by InitAutotune
    int16_t lastImproveFactor = 0;
    int16_t pwmDutyCycle = 0;
    bool pwmMode = false;  // the output stage stayed in PWM mode after a PWM run
};

// Registers the handlers on a unit.
void InstallRecorderPeripherals(SimUnit& unit);

// The peripherals installed on a unit, or null.
std::shared_ptr<RecorderPeripherals> PeripheralsOf(const SimUnit& unit);

}  // namespace kelcmd::sim
