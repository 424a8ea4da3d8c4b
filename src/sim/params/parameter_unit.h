#pragma once

#include <memory>

#include "sim/params/parameter_memory.h"

namespace kelcmd::sim {

class SimUnit;

// Gives a unit a parameter memory and the commands that reach it: single system parameters,
// whole sets (short and extended), reset and permanent storage, gains, version words, the user
// parameter areas and the check of the memory areas. Replaces an earlier parameter memory.
void InstallParameterMemory(SimUnit& unit);

// The parameter memory of a unit, for the other simulated parts (the drive model reads its
// position limits there) and for tests; null when the unit has none.
std::shared_ptr<ParameterMemory> ParameterMemoryOf(const SimUnit& unit);

}  // namespace kelcmd::sim
