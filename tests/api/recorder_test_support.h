#pragma once

#include <cstdint>
#include <vector>

#include "command/kel_command.h"
#include "sim/recorder/recorder_peripherals.h"
#include "support/sim_port.h"

namespace kelcmd::testing {

// One request the host wrote: its code and data.
struct RecorderRequest {
    uint8_t mtype = 0;
    std::vector<uint8_t> data;
    bool operator==(const RecorderRequest&) const = default;
};

inline std::vector<RecorderRequest> RecorderRequests(const SimPort& port) {
    std::vector<std::vector<uint8_t>> frames;
    for (const sim::WireByte& byte : port.bus->WireLog()) {
        if (byte.ninthBit) frames.emplace_back();
        if (!frames.empty()) frames.back().push_back(byte.value);
    }
    std::vector<RecorderRequest> requests;
    for (const auto& frame : frames) {
        if (frame.size() < kHeaderSize + 2) continue;
        requests.push_back({frame[4], {frame.begin() + kHeaderSize, frame.end() - 2}});
    }
    return requests;
}

// A simulated port whose units have the recorder, serial line and tuning peripherals.
struct RecorderPort : SimPort {
    explicit RecorderPort(int number) : SimPort(number) {}
    sim::RecorderPeripherals& Peripherals() { return *sim::PeripheralsOf(Unit(1)); }
};

}  // namespace kelcmd::testing
