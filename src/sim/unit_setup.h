#pragma once

#include <functional>
#include <string>

namespace kelcmd::sim {

class SimUnit;

using UnitSetup = std::function<void(SimUnit& unit)>;

// Installs what every unit created from now on gets beside the test commands instead of the drive
// model (a setup that wants the drive too calls InstallDriveModel). An empty function brings the
// drive model back.
void SetDefaultUnitSetup(UnitSetup setup);

// Adds a further installer under a key, run after the default setup in the order the keys were
// first added; so independent parts of a unit (a drive model, a recorder) install side by side.
// Adding a key again replaces its installer; an empty function removes it.
void AddUnitSetup(const std::string& key, UnitSetup setup);

// Runs on a new unit: the batch handler, the default setup (the installed one, or else the drive
// model with its parameter memory, recorder, serial line and tuning runs), then the keyed
// installers; finally it connects the parts that work together (ConnectUnitParts).
void ApplyDefaultUnitSetup(SimUnit& unit);

}  // namespace kelcmd::sim
