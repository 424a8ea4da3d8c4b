#pragma once

#include <cstdint>
#include <vector>

#include "sim/sim_bus.h"
#include "support/sim_port.h"

namespace kelcmd::testing {

// A request frame as the unit saw it on the wire.
struct WireRequest {
    uint8_t dest = 0;
    uint8_t mtype = 0;
    std::vector<uint8_t> data;
};

// Every frame the host wrote on the port's bus, split at the address bytes (ninth bit set).
inline std::vector<WireRequest> WireRequests(const SimPort& port) {
    std::vector<std::vector<uint8_t>> frames;
    for (const sim::WireByte& byte : port.bus->WireLog()) {
        if (byte.ninthBit) frames.emplace_back();
        if (!frames.empty()) frames.back().push_back(byte.value);
    }
    std::vector<WireRequest> requests;
    for (const std::vector<uint8_t>& frame : frames) {
        if (frame.size() < 7) continue;  // dest, length word, send, mtype, CRC
        requests.push_back({frame[0], frame[4], {frame.begin() + 5, frame.end() - 2}});
    }
    return requests;
}

}  // namespace kelcmd::testing
