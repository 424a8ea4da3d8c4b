#pragma once

#include <functional>

namespace kelcmd::sim {

class SimUnit;

using UnitSetup = std::function<void(SimUnit& unit)>;

// Installs what every unit created from now on gets beside the test commands, e.g. a drive model
// with the command catalogue. Replaces an earlier setup; an empty function removes it.
void SetDefaultUnitSetup(UnitSetup setup);

// Runs the default setup on a new unit (nothing when none is installed).
void ApplyDefaultUnitSetup(SimUnit& unit);

}  // namespace kelcmd::sim
