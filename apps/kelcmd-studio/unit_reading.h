#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace kelcmd::studio {

// The axis status bits the cockpit names.
inline constexpr uint16_t kStatusError = 1u << 8;
inline constexpr uint16_t kStatusWarning = 1u << 9;

// One poll of one unit: its live values, or why it did not answer.
struct UnitReading {
    uint8_t address = 0;
    bool answered = false;
    std::string failure;  // why it did not answer
    std::chrono::steady_clock::time_point time;
    int32_t position = 0;  // qc
    float velocity = 0;    // qc/ms, the mean over the unit's last cycle
    int16_t current = 0;   // mA, the mean over the unit's last cycle
    uint16_t status = 0;   // the axis status word
    int16_t error = 0;     // read only while the status shows an error, else 0
    int16_t warning = 0;   // read only while the status shows a warning, else 0
};

}  // namespace kelcmd::studio
