#pragma once

#include <string>

#include "api/bus_scan.h"

namespace kelcmd::bridge {

// The retained state document of one unit, read from the unit now: position, velocity, current,
// the axis status as named bits, error and warning with their texts, and the versions the scan
// read. A unit that does not answer gives {"unit": N, "reachable": false, "reason": ...}. The
// text is the same for the same state, so that a change shows as a different text.
std::string ReadUnitState(const std::string& port, const ScannedUnit& unit);

}  // namespace kelcmd::bridge
