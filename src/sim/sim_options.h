#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kelcmd::sim {

// What a simulated device text "sim" or "sim:<options>" asks for. Options are comma-separated: unit
// addresses as ranges or single numbers ("1-3", "5"), "bus=NAME", "speed=F" and "paced".
// Options that the device leaves out stay unset, so that opening an existing bus does not undo what
// a test configured on it.
struct SimOptions {
    std::string busName;             // "bus=NAME", else the whole device string
    std::vector<uint8_t> addresses;  // sorted, unique; empty when the device names none
    std::optional<double> speed;     // simulated time runs this many times faster than real time
    bool paced = false;              // bytes become readable at the line's baud rate
};

// Null when the device is not a simulated device or an option is malformed.
std::optional<SimOptions> ParseSimOptions(const std::string& device);

// Why a simulated device text ("sim" or "sim:...") does not parse, e.g. "'x' is not an option
// (...)"; "" when it parses or is no simulated device at all. Opening such a device fails; this
// tells a program what to say.
std::string SimOptionsProblem(const std::string& device);

// Unit addresses are 1 to 127: 0 is the PC, 128 and above are group and broadcast addresses.
constexpr uint8_t kFirstUnitAddress = 1;
constexpr uint8_t kLastUnitAddress = 127;

}  // namespace kelcmd::sim
