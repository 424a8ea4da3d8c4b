#pragma once

#include <cstdint>

#include "command/structure_definition.h"

namespace kelcmd::dialogs {

// The current structure of user parameter set 1 or 2 (each set has its own); it lives as long as
// the library and is changed only on the GUI thread.
CStructureDefinition& UserParameterStructure(int set);

// The set's structure, defined first when it has no elements. False, after "No struct loaded",
// when there is still none.
bool EnsureUserParameterStructure(int set);

// The edit dialog of a set: its structure (defined first when it has no elements; "No struct
// loaded" when there is still none), the set read from the unit ("Error reading parameter!"),
// the values edited, and on "&OK" the image written back ("Error writing parameter!"). 1 when
// written, 0 otherwise.
int EditUserParameterSet(const char* port, uint8_t slave, int set, bool permanent);

}  // namespace kelcmd::dialogs
