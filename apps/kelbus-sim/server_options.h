#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "fault_dice.h"

namespace kelcmd::simserver {

// What the command line of kelbus-sim asks for.
struct ServerOptions {
    std::string units = "1";  // unit addresses as ranges and single numbers: "1-3,7"
    std::string link;         // a symbolic link to create to the slave; empty: none
    std::optional<double> speed;
    bool paced = false;
    std::vector<FaultRate> faults;
    uint32_t seed = 1;
    bool trace = false;
    uint32_t latencyTimerMs = 0;  // a USB adapter's receive buffering; 0: bytes pass at once
    bool help = false;
};

// Parses the command line; returns an error text, or empty on success.
std::string ParseServerOptions(int argc, char** argv, ServerOptions& options);

// The simulated device text of the units, e.g. "sim:1-3,7,bus=kelbus-sim"; the bus's speed and
// pacing are set on it directly.
std::string SimulatedDevice(const ServerOptions& options);

std::string UsageText();

}  // namespace kelcmd::simserver
