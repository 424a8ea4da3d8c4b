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
    std::vector<RecorderRequest> requests;
    for (const WireRequest& request : WireRequests(port)) {
        requests.push_back({request.mtype, request.data});
    }
    return requests;
}

// A simulated port whose units have the recorder, serial line and tuning peripherals.
struct RecorderPort : SimPort {
    explicit RecorderPort(int number) : SimPort(number) {}
    sim::RecorderPeripherals& Peripherals() { return *sim::PeripheralsOf(Unit(1)); }
};

}  // namespace kelcmd::testing
