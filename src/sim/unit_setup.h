#pragma once

#include <functional>

namespace kelcmd::sim {

class SimUnit;

using UnitSetup = std::function<void(SimUnit& unit)>;

// Installs what every unit created from now on gets beside the test commands, e.g. a drive model
// with the command catalogue. Replaces an earlier setup; an empty function removes it.
void SetDefaultUnitSetup(UnitSetup setup);

// Adds an installer that every unit created from now on runs, after the built-in installers and
// before the default setup. Installers stay for the life of the process.
void AddUnitInstaller(UnitSetup installer);

// Runs the built-in installers (the behaviour every unit has, such as executing batches), the
// added installers in order, then the default setup.
void ApplyDefaultUnitSetup(SimUnit& unit);

}  // namespace kelcmd::sim
