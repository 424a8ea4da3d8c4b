#pragma once

#include <functional>
#include <vector>

namespace kelcmd::sim {

class SimUnit;

using UnitSetup = std::function<void(SimUnit& unit)>;

// Installs what every unit created from now on gets beside the test commands, e.g. a drive model
// with the command catalogue. Replaces an earlier setup; an empty function removes it.
void SetDefaultUnitSetup(UnitSetup setup);

// Runs the built-in unit parts (BuiltInUnitParts), then the default setup (when one is installed)
// on a new unit.
void ApplyDefaultUnitSetup(SimUnit& unit);

// The parts every simulated unit is built with, in order, whatever default setup is installed:
// each installs its command handlers (the parameter memory, ...). A part that a later one
// replaces keeps nothing of its codes.
using UnitPart = void (*)(SimUnit& unit);
const std::vector<UnitPart>& BuiltInUnitParts();

}  // namespace kelcmd::sim
