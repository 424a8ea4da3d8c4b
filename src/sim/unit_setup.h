#pragma once

#include <functional>

namespace kelcmd::sim {

class SimUnit;

using UnitSetup = std::function<void(SimUnit& unit)>;

// Installs what every unit created from now on gets beside the test commands instead of the drive
// model (a setup that wants the drive too calls InstallDriveModel). An empty function brings the
// drive model back.
void SetDefaultUnitSetup(UnitSetup setup);

// Runs the default setup on a new unit: the installed one, or else the drive model and the
// parameter memory.
void ApplyDefaultUnitSetup(SimUnit& unit);

}  // namespace kelcmd::sim
